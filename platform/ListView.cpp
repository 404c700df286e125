#include "platform/ListView.h"

#include "core/LinkTable.h"
#include "platform/Qt.h"

#include <QCollator>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <numeric>

namespace orvane::platform {

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QString ListViewModel::Name(int row) const {
    return table_ ? Q(table_->At(PositionAt(row)).name) : QString();
}

QString ListViewModel::Url(int row) const {
    return table_ ? Q(table_->At(PositionAt(row)).url) : QString();
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return index.column() == 0 ? Name(index.row()) : Url(index.row());
    return {};
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 2)
        return headers_[section];
    return {};
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ListViewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != 0)
        return false;
    bool cancel = false;
    Q_EMIT labelEdited(index.row(), value.toString(), &cancel);
    if (cancel)
        return false;
    // The owner wrote the record; the cell shows what it wrote.
    Q_EMIT dataChanged(index, index);
    return true;
}

void ListViewModel::SetHeaders(const QString& first, const QString& second) {
    headers_[0] = first;
    headers_[1] = second;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, 1);
}

void ListViewModel::AppendPositions(int first, int count) {
    if (count <= 0)
        return;
    const int row = rowCount();
    beginInsertRows({}, row, row + count - 1);
    rows_.reserve(rows_.size() + static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        rows_.push_back(first + i);
    endInsertRows();
}

void ListViewModel::RemoveRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void ListViewModel::ClearAll() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    endResetModel();
}

void ListViewModel::RowsChanged(int firstRow, int lastRow) {
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, rowCount() - 1);
    if (firstRow > lastRow)
        return;
    Q_EMIT dataChanged(index(firstRow, 0), index(lastRow, 1));
}

void ListViewModel::SortBy(int key, Qt::SortOrder order) {
    if (rows_.size() < 2 || !table_)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> rowsBefore;
    rowsBefore.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& i : before)
        rowsBefore.push_back(i.row());

    // Sort keys once per entry: comparing collation keys is far cheaper than collating each pair.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows_.size());
    for (const int position : rows_) {
        const LinkRecord& r = table_->At(position);
        keys.push_back(collator.sortKey(Q(key == 0 ? r.name : r.url)));
    }
    std::vector<int> perm(rows_.size());
    std::iota(perm.begin(), perm.end(), 0);
    std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
        const int c = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    std::vector<int> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newRowOf(rows_.size());
    for (std::size_t i = 0; i < perm.size(); ++i) {
        newRowOf[static_cast<std::size_t>(perm[i])] = static_cast<int>(i);
        sorted.push_back(rows_[static_cast<std::size_t>(perm[i])]);
    }
    rows_ = std::move(sorted);

    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(newRowOf[static_cast<std::size_t>(rowsBefore[static_cast<std::size_t>(i)])],
                           before[i].column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

ListView::ListView(QWidget* parent) : QTreeView(parent), model_(new ListViewModel(this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);

    connect(this, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Q_EMIT ItemClick(index.row() + 1);
    });
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { Q_EMIT ColumnClick(logical + 1); });
    connect(model_, &ListViewModel::labelEdited, this, [this](int row, const QString& text, bool* cancel) {
        Q_EMIT AfterLabelEdit(row + 1, text, cancel);
    });
}

int ListView::Count() const {
    return model_->rowCount();
}

ListEntry ListView::Entry(int index) const {
    const int row = index - 1;
    const QModelIndex name = model_->index(row, 0);
    return {name.data().toString(), model_->index(row, 1).data().toString(), model_->PositionAt(row)};
}

int ListView::Tag(int index) const {
    return model_->PositionAt(index - 1);
}

int ListView::SelectedIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

int ListView::IndexOfTag(int tag) const {
    const std::vector<int>& rows = model_->Positions();
    const auto it = std::find(rows.begin(), rows.end(), tag);
    return it == rows.end() ? 0 : static_cast<int>(it - rows.begin()) + 1;
}

void ListView::Select(int index) {
    if (index < 1 || index > Count()) {
        clearSelection();
        return;
    }
    const QModelIndex i = model_->index(index - 1, 0);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::AddRecords(int first, int count) {
    model_->AppendPositions(first, count);
    if (sorted_)
        Resort();
}

void ListView::EntryChanged(int index) {
    model_->RowsChanged(index - 1, index - 1);
    if (sorted_)
        Resort();
}

void ListView::Refresh() {
    model_->RowsChanged(0, Count() - 1);
    const LinkTable* table = model_->Table();
    if (sorted_ && table && table->Revision() != sortedRevision_)
        Resort();
}

void ListView::Remove(int index) {
    model_->RemoveRow(index - 1);
}

void ListView::Clear() {
    model_->ClearAll();
}

void ListView::SetColumnHeaders(const QString& first, const QString& second) {
    model_->SetHeaders(first, second);
}

void ListView::SetSorted(bool on) {
    sorted_ = on;
    if (on)
        Resort();
}

void ListView::SetSortOrder(Qt::SortOrder order) {
    order_ = order;
    if (sorted_)
        Resort();
}

void ListView::Resort() {
    model_->SortBy(sortKey_, order_);
    if (const LinkTable* table = model_->Table())
        sortedRevision_ = table->Revision();
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(sortKey_, order_);
}

QString ListView::HoverTextAt(const QPoint& viewportPos) const {
    const QModelIndex index = indexAt(viewportPos);
    if (index.isValid()) {
        QString text = index.data(Qt::DisplayRole).toString();
        // The room the cell's text has: the cell less the style's text margins on both sides.
        const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
        if (fontMetrics().horizontalAdvance(text) > visualRect(index).width() - 2 * margin)
            return text;
    }
    return toolTip();
}

bool ListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = HoverTextAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QTreeView::viewportEvent(event);
}

void ListView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    // Moving the selection with the keys loads the entry as a click does.
    if (state() != QAbstractItemView::EditingState && currentIndex().isValid() &&
        currentIndex().row() != before.row())
        Q_EMIT ItemClick(currentIndex().row() + 1);
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    Q_EMIT DblClick();
}

} // namespace orvane::platform
