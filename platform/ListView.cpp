#include "platform/ListView.h"

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
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ListEntry& e = entries_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return index.column() == 0 ? e.text : e.url;
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
    const QString text = value.toString();
    bool cancel = false;
    Q_EMIT labelEdited(index.row(), text, &cancel);
    if (cancel)
        return false;
    entries_[static_cast<std::size_t>(index.row())].text = text;
    Q_EMIT dataChanged(index, index);
    return true;
}

void ListViewModel::SetHeaders(const QString& first, const QString& second) {
    headers_[0] = first;
    headers_[1] = second;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, 1);
}

void ListViewModel::Append(std::vector<ListEntry> entries) {
    if (entries.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(entries.size()) - 1);
    entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()),
                    std::make_move_iterator(entries.end()));
    endInsertRows();
}

void ListViewModel::RemoveRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    entries_.erase(entries_.begin() + row);
    endRemoveRows();
}

void ListViewModel::ClearAll() {
    beginResetModel();
    entries_.clear();
    entries_.shrink_to_fit();
    endResetModel();
}

void ListViewModel::SetRow(int row, const QString& text, const QString& url) {
    if (row < 0 || row >= rowCount())
        return;
    ListEntry& e = entries_[static_cast<std::size_t>(row)];
    e.text = text;
    e.url = url;
    Q_EMIT dataChanged(index(row, 0), index(row, 1));
}

void ListViewModel::SortBy(int key, Qt::SortOrder order) {
    if (entries_.size() < 2)
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
    keys.reserve(entries_.size());
    for (const ListEntry& e : entries_)
        keys.push_back(collator.sortKey(key == 0 ? e.text : e.url));
    std::vector<int> perm(entries_.size());
    std::iota(perm.begin(), perm.end(), 0);
    std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
        const int c = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    std::vector<ListEntry> sorted;
    sorted.reserve(entries_.size());
    std::vector<int> newRowOf(entries_.size());
    for (std::size_t i = 0; i < perm.size(); ++i) {
        newRowOf[static_cast<std::size_t>(perm[i])] = static_cast<int>(i);
        sorted.push_back(std::move(entries_[static_cast<std::size_t>(perm[i])]));
    }
    entries_ = std::move(sorted);

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

const ListEntry& ListView::Entry(int index) const {
    return model_->Entries().at(static_cast<std::size_t>(index - 1));
}

int ListView::SelectedIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

int ListView::IndexOfTag(int tag) const {
    const auto& entries = model_->Entries();
    const auto it =
        std::find_if(entries.begin(), entries.end(), [tag](const ListEntry& e) { return e.tag == tag; });
    return it == entries.end() ? 0 : static_cast<int>(it - entries.begin()) + 1;
}

void ListView::Select(int index) {
    if (index < 1 || index > Count()) {
        clearSelection();
        return;
    }
    const QModelIndex i = model_->index(index - 1, 0);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::AddEntries(std::vector<ListEntry> entries) {
    model_->Append(std::move(entries));
    if (sorted_)
        Resort();
}

void ListView::SetEntry(int index, const QString& text, const QString& url) {
    model_->SetRow(index - 1, text, url);
    if (sorted_)
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
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(sortKey_, order_);
}

QString ListView::HoverTextAt(const QPoint& viewportPos) const {
    const QModelIndex index = indexAt(viewportPos);
    if (index.isValid()) {
        const QString text = index.data(Qt::DisplayRole).toString();
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
