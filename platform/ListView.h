#pragma once
// The link list control: a report view with two columns (name, URL), a tag per entry, single
// selection, in-place editing of the name, and header-click sorting driven by its owner.
// The view holds no names or addresses of its own: each row is a position in the link table, and
// the cells read that record, so the view always shows what the table (and so every output) holds.
// A sort permutes the positions.

#include <QAbstractTableModel>
#include <QString>
#include <QTreeView>
#include <cstdint>
#include <vector>

namespace orvane {
class LinkTable;
}

namespace orvane::platform {

/// One row as the view shows it, read from the table when asked for.
struct ListEntry {
    QString text; // the name column: the record's name
    QString url;  // sub-item 1: the record's address
    int tag = 0;  // position of the record in the link table
};

class ListViewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    /// The table the rows point into; it outlives the model.
    void SetTable(const LinkTable* table) { table_ = table; }
    const LinkTable* Table() const { return table_; }

    void SetHeaders(const QString& first, const QString& second);
    /// Appends rows for the records at positions first .. first + count - 1.
    void AppendPositions(int first, int count);
    void RemoveRow(int row);
    void ClearAll();
    /// The records behind these rows changed: the view repaints them.
    void RowsChanged(int firstRow, int lastRow);
    /// Stable sort by column 0 (name) or 1 (URL), locale collation, letter case ignored.
    void SortBy(int key, Qt::SortOrder order);

    /// The position in the table that a row shows.
    int PositionAt(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
    const std::vector<int>& Positions() const { return rows_; }

Q_SIGNALS:
    /// The user finished editing an entry's text in place; the owner writes the record (the view
    /// then shows what it wrote) or sets *cancel to keep the record as it was.
    void labelEdited(int row, const QString& newText, bool* cancel);

private:
    QString Name(int row) const;
    QString Url(int row) const;

    const LinkTable* table_ = nullptr;
    std::vector<int> rows_; // positions in the table, in the order shown
    QString headers_[2];
};

class ListView final : public QTreeView {
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);

    // Entries: indexes are 1-based, as the list's owner speaks of them; 0 means "none".
    /// The table the entries point into; set once by the owner before any entry is added.
    void SetTable(const LinkTable* table) { model_->SetTable(table); }

    int Count() const;
    ListEntry Entry(int index) const;
    int Tag(int index) const;
    int SelectedIndex() const;
    int IndexOfTag(int tag) const;
    void Select(int index);
    /// Adds entries for the records at positions first .. first + count - 1.
    void AddRecords(int first, int count);
    /// The record behind this entry changed: repaint it and keep the sort order.
    void EntryChanged(int index);
    /// Records may have changed behind the view's back (renamed by the shortcut output): repaint
    /// every entry, and put them in order again when the table changed since the last sort.
    void Refresh();
    void Remove(int index);
    void Clear();

    void SetColumnHeaders(const QString& first, const QString& second);

    // Sorting: once switched on it stays on, and new entries take their place in the order.
    void SetSortKey(int key) { sortKey_ = key; }
    void SetSorted(bool on);
    bool Sorted() const { return sorted_; }
    void SetSortOrder(Qt::SortOrder order);
    Qt::SortOrder SortOrder() const { return order_; }

    ListViewModel* Model() const { return model_; }

    /// The hover text at a point of the viewport: a cell's own text when the cell cuts it off,
    /// otherwise the list's help text (toolTip()).
    QString HoverTextAt(const QPoint& viewportPos) const;

Q_SIGNALS:
    void ItemClick(int index);
    void ColumnClick(int column); // 1-based
    void DblClick();
    void AfterLabelEdit(int index, const QString& newText, bool* cancel);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void Resort();

    ListViewModel* model_;
    int sortKey_ = 0;
    bool sorted_ = false;
    Qt::SortOrder order_ = Qt::DescendingOrder;
    std::uint64_t sortedRevision_ = 0; // the table's revision when the rows were last put in order
};

} // namespace orvane::platform
