#pragma once
// The link list control: a report view with two columns (name, URL), a tag per entry, single
// selection, in-place editing of the name, and header-click sorting driven by its owner.
// Entries live in a flat model so 32,767 of them add, sort and clear quickly.

#include <QAbstractTableModel>
#include <QString>
#include <QTreeView>
#include <vector>

namespace orvane::platform {

struct ListEntry {
    QString text; // the name column
    QString url;  // sub-item 1
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

    void SetHeaders(const QString& first, const QString& second);
    void Append(std::vector<ListEntry> entries);
    void RemoveRow(int row);
    void ClearAll();
    void SetRow(int row, const QString& text, const QString& url);
    /// Stable sort by column 0 (text) or 1 (URL), locale collation, letter case ignored.
    void SortBy(int key, Qt::SortOrder order);

    const std::vector<ListEntry>& Entries() const { return entries_; }

Q_SIGNALS:
    /// The user finished editing an entry's text in place; set *cancel to keep the old text.
    void labelEdited(int row, const QString& newText, bool* cancel);

private:
    std::vector<ListEntry> entries_;
    QString headers_[2];
};

class ListView final : public QTreeView {
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);

    // Entries: indexes are 1-based, as the list's owner speaks of them; 0 means "none".
    int Count() const;
    const ListEntry& Entry(int index) const;
    int SelectedIndex() const;
    int IndexOfTag(int tag) const;
    void Select(int index);
    void AddEntries(std::vector<ListEntry> entries);
    void SetEntry(int index, const QString& text, const QString& url);
    void Remove(int index);
    void Clear();

    void SetColumnHeaders(const QString& first, const QString& second);

    // Sorting: once switched on it stays on, and new entries take their place in the order.
    void SetSortKey(int key) { sortKey_ = key; }
    int SortKey() const { return sortKey_; }
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
};

} // namespace orvane::platform
