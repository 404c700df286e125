// The link scan on the largest accepted file. Targets: the scan of a link-dense page within 3 times a
// memchr loop over the same bytes, decoding plus scanning within 0.5 ms, and no worst case above
// 10 times the dense page.

#include "BenchPages.h"

#include "core/Conversion.h"
#include "core/DocumentDecoding.h"
#include "core/LinkScan.h"
#include "platform/SystemCodec.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace orvane;
using namespace orvane::bench;

// Takes the links without keeping them: the scan alone is measured.
class CountingSink final : public ScanSink {
public:
    std::size_t links = 0;
    std::size_t units = 0;
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t) override {
        ++links;
        units += url.size() + name.size();
    }
};

// Keeps copies of the links, as the link table does.
class StoringSink final : public ScanSink {
public:
    std::vector<std::pair<std::u16string, std::u16string>> links;
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t) override {
        links.emplace_back(url, name);
    }
};

std::u16string WorkingText(std::string_view bytes) {
    std::u16string work =
        JoinLines(DecodeDocument(bytes, platform::SystemCodec::Instance()), [](std::size_t) {});
    RemoveLineBreaks(work);
    return work;
}

template <typename Fn> double Seconds(Fn&& fn) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::size_t Scan(std::u16string_view work, LinkLevel level) {
    CountingSink sink;
    const ScanResult result = ScanLinks(work, {level, NameRule::StripTags, 0}, sink);
    benchmark::DoNotOptimize(sink.units);
    return static_cast<std::size_t>(result.links);
}

// The dense page's scan and the memchr loop, timed side by side in every iteration.
void BM_DenseScanVersusMemchr(benchmark::State& state) {
    const auto level = static_cast<LinkLevel>(state.range(0));
    const std::string page = DenseLinkPage();
    const std::u16string work = WorkingText(page);
    double scanSeconds = 0;
    double memchrSeconds = 0;
    std::size_t links = 0;
    std::size_t brackets = 0;
    for (auto _ : state) {
        memchrSeconds += Seconds([&] { brackets = CountOpenBrackets(page); });
        scanSeconds += Seconds([&] { links = Scan(work, level); });
        benchmark::DoNotOptimize(brackets);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["scan_us"] = scanSeconds / n * 1e6;
    state.counters["memchr_us"] = memchrSeconds / n * 1e6;
    state.counters["ratio"] = scanSeconds / memchrSeconds;
    state.counters["links"] = static_cast<double>(links);
    state.counters["anchors"] = static_cast<double>(CountAnchors(page));
}
BENCHMARK(BM_DenseScanVersusMemchr)->ArgName("http")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// From the file's bytes to the links, as a conversion does it (without the windows).
void BM_DecodeAndScan(benchmark::State& state) {
    const auto charset = static_cast<PageCharset>(state.range(0));
    const std::string page = DenseLinkPage(charset);
    const auto& codec = platform::SystemCodec::Instance();
    std::size_t links = 0;
    for (auto _ : state) {
        std::u16string work = JoinLines(DecodeDocument(page, codec), [](std::size_t) {});
        RemoveLineBreaks(work);
        StoringSink sink;
        sink.links.reserve(2048);
        links =
            static_cast<std::size_t>(ScanLinks(work, {LinkLevel::AHref, NameRule::StripTags, 0}, sink).links);
        benchmark::DoNotOptimize(sink.links.data());
    }
    state.counters["links"] = static_cast<double>(links);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_DecodeAndScan)
    ->ArgName("charset")
    ->Arg(static_cast<int>(PageCharset::ShiftJis))
    ->Arg(static_cast<int>(PageCharset::Utf8))
    ->Unit(benchmark::kMicrosecond);

// The same on pages as they are written today (TodaysLinkPage): LF line ends, character references
// and, for Shift_JIS, the detector's choice of the undeclared encoding.
void BM_DecodeAndScanToday(benchmark::State& state) {
    const auto charset = static_cast<PageCharset>(state.range(0));
    const std::string page = TodaysLinkPage(charset);
    const auto& codec = platform::SystemCodec::Instance();
    std::size_t links = 0;
    for (auto _ : state) {
        std::u16string work = JoinLines(DecodeDocument(page, codec), [](std::size_t) {});
        RemoveLineBreaks(work);
        StoringSink sink;
        sink.links.reserve(2048);
        links =
            static_cast<std::size_t>(ScanLinks(work, {LinkLevel::AHref, NameRule::StripTags, 0}, sink).links);
        benchmark::DoNotOptimize(sink.links.data());
    }
    state.counters["links"] = static_cast<double>(links);
    state.counters["bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_DecodeAndScanToday)
    ->ArgName("charset")
    ->Arg(static_cast<int>(PageCharset::Ascii))
    ->Arg(static_cast<int>(PageCharset::ShiftJis))
    ->Arg(static_cast<int>(PageCharset::Utf8))
    ->Unit(benchmark::kMicrosecond);

// Decoding alone, to tell the character set's share of the above.
void BM_Decode(benchmark::State& state) {
    const std::string page = DenseLinkPage(static_cast<PageCharset>(state.range(0)));
    const auto& codec = platform::SystemCodec::Instance();
    for (auto _ : state) {
        std::u16string text = DecodeDocument(page, codec);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Decode)
    ->ArgName("charset")
    ->Arg(static_cast<int>(PageCharset::ShiftJis))
    ->Arg(static_cast<int>(PageCharset::Utf8))
    ->Unit(benchmark::kMicrosecond);

enum WorstCase { kManyTags, kKeysAHref, kKeysHttp, kBrackets, kBracketsInName };

// Each worst case beside the dense page at the same level, so the ratio comes from one run.
void BM_WorstCase(benchmark::State& state) {
    LinkLevel level = LinkLevel::AHref;
    std::string page;
    switch (state.range(0)) {
    case kManyTags:
        page = ManyTagsInOneName();
        break;
    case kKeysAHref:
        page = KeysWithoutEnd("a href");
        break;
    case kKeysHttp:
        page = KeysWithoutEnd("http:");
        level = LinkLevel::Http;
        break;
    case kBrackets:
        page = OpenBrackets();
        break;
    default:
        page = OpenBracketsInName();
        break;
    }
    const std::u16string work = WorkingText(page);
    const std::u16string dense = WorkingText(DenseLinkPage());
    double worstSeconds = 0;
    double denseSeconds = 0;
    for (auto _ : state) {
        worstSeconds += Seconds([&] { Scan(work, level); });
        denseSeconds += Seconds([&] { Scan(dense, level); });
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["worst_us"] = worstSeconds / n * 1e6;
    state.counters["dense_us"] = denseSeconds / n * 1e6;
    state.counters["vs_dense"] = worstSeconds / denseSeconds;
    state.counters["bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_WorstCase)
    ->ArgName("case")
    ->Arg(kManyTags)
    ->Arg(kKeysAHref)
    ->Arg(kKeysHttp)
    ->Arg(kBrackets)
    ->Arg(kBracketsInName)
    ->Unit(benchmark::kMicrosecond);

} // namespace
