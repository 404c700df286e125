#pragma once
// The link table: every link taken in this run, in the order it was taken. Positions never change
// while a record exists; deleting only flags a record. The table always ends with one empty record,
// the end mark, and readers stop at the first record whose name is empty.

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

struct LinkRecord {
    std::int16_t seq = 0;
    std::u16string url;
    std::u16string name;
    bool deleted = false;
};

class LinkTable {
public:
    /// Records before the end mark: the range of the readers' 16-bit position.
    static constexpr int kMaxRecords = 32767;

    LinkTable() : records_(1) {}

    /// Puts a record in the place of the end mark and returns its position. The caller keeps the
    /// table below kMaxRecords (see Full()).
    int Add(std::u16string url, std::u16string name, std::int16_t seq);

    /// Number of records before the end mark, deleted ones included.
    int Size() const { return static_cast<int>(records_.size()) - 1; }
    bool Full() const { return Size() >= kMaxRecords; }

    /// A record to change. Every call counts as a change (see Revision()), so read through a const
    /// table where nothing is written.
    LinkRecord& At(int position) {
        ++revision_;
        return records_.at(static_cast<std::size_t>(position));
    }
    const LinkRecord& At(int position) const { return records_.at(static_cast<std::size_t>(position)); }

    /// Records before the end mark that are not deleted: the entries of the list, derived here so
    /// that no count has to be kept in step with the table by hand.
    int LiveCount() const;

    /// Grows whenever a record may have been written or the table changed; views that order the
    /// records compare it to know whether their order may be stale.
    std::uint64_t Revision() const { return revision_; }

    /// Empties the table down to its end mark.
    void Clear();
    /// Drops every record at or after `size` (the records a failed conversion appended).
    void TruncateTo(int size);

    /// Calls fn(position, record) for each record the writers take: from position 0, stopping at the
    /// first record with an empty name, skipping deleted ones.
    template <typename Fn> void ForEachLive(Fn&& fn) const {
        for (int i = 0; i <= kMaxRecords && i < static_cast<int>(records_.size()); ++i) {
            const LinkRecord& r = records_[static_cast<std::size_t>(i)];
            if (r.name.empty())
                return;
            if (!r.deleted)
                fn(i, r);
        }
    }

private:
    std::vector<LinkRecord> records_;
    std::uint64_t revision_ = 0;
};

} // namespace orvane
