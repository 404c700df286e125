#include "core/LinkTable.h"

#include <utility>

namespace orvane {

int LinkTable::Add(std::u16string url, std::u16string name, std::int16_t seq) {
    LinkRecord& slot = records_.back();
    slot.seq = seq;
    slot.url = std::move(url);
    slot.name = std::move(name);
    slot.deleted = false;
    records_.emplace_back();
    return Size() - 1;
}

int LinkTable::LiveCount() const {
    int live = 0;
    for (std::size_t i = 0; i + 1 < records_.size(); ++i)
        live += records_[i].deleted ? 0 : 1;
    return live;
}

void LinkTable::Clear() {
    ++revision_;
    records_.clear();
    records_.emplace_back();
}

void LinkTable::TruncateTo(int size) {
    if (size < 0 || size >= Size())
        return;
    ++revision_;
    records_.resize(static_cast<std::size_t>(size));
    records_.emplace_back();
}

} // namespace orvane
