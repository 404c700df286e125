// The level that reads the tags, from the file's bytes to the links as a conversion does it (without
// the windows): decoding, the UTF-8 the parser reads, the parse and the links with their names.
// Targets: a dense page of 128,000 bytes within 15 ms, a page of 8 MiB within 1 s.
//
// Times are the measuring thread's CPU time (the machine may be shared).

#include "BenchPages.h"

#include "core/Conversion.h"
#include "core/DocumentDecoding.h"
#include "core/TagScan.h"
#include "core/Text.h"
#include "platform/SystemCodec.h"

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace orvane;
using namespace orvane::bench;

class StoringSink final : public ScanSink {
public:
    std::vector<std::pair<std::u16string, std::u16string>> links;
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t) override {
        links.emplace_back(url, name);
    }
};

// Arguments: the page size in bytes, the character set, the name rule.
void BM_TagScan(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    const auto charset = static_cast<PageCharset>(state.range(1));
    const std::string page = DenseLinkPage(charset, bytes);
    const auto& codec = platform::SystemCodec::Instance();
    TagScanOptions options;
    options.nameRule = state.range(2) == 0 ? NameRule::StripTags : NameRule::AltText;
    options.documentAddress = "file:///home/user/links/page.htm";
    std::size_t links = 0;
    for (auto _ : state) {
        const std::string utf8 = ToUtf8(DecodeDocument(page, codec));
        StoringSink sink;
        links = static_cast<std::size_t>(ScanTags(utf8, options, sink).links);
        benchmark::DoNotOptimize(sink.links.data());
    }
    state.counters["links"] = static_cast<double>(links);
    state.counters["anchors"] = static_cast<double>(CountAnchors(page));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_TagScan)
    ->ArgNames({"bytes", "charset", "alt"})
    ->Args({static_cast<long>(kPageBytes), static_cast<int>(PageCharset::Ascii), 0})
    ->Args({static_cast<long>(kPageBytes), static_cast<int>(PageCharset::ShiftJis), 0})
    ->Args({static_cast<long>(kPageBytes), static_cast<int>(PageCharset::ShiftJis), 1})
    ->Args({static_cast<long>(kMaxTagInputBytes), static_cast<int>(PageCharset::Ascii), 0})
    ->Args({static_cast<long>(kMaxTagInputBytes), static_cast<int>(PageCharset::ShiftJis), 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
