// The link extraction beside a memchr pass and beside a real HTML5 parser (gumbo) that builds the
// document tree and collects every <a href> with its text, all on the same page in the same
// iteration. Target: decoding plus scanning at least 30 times faster than the parser.
//
// Both sides are timed twice: only looking at the links where they lie ("parser_x_views": the scan
// ends where it hands a link to its sink), and keeping a copy of every link as the link table does
// ("parser_x"), copies that any way of finding the links would have to make.
//
// Times are the thread's CPU time: the benchmark machine is shared, and a wall clock would charge
// whichever side happened to be descheduled.

#include "BenchPages.h"

#include "core/Conversion.h"
#include "core/DocumentDecoding.h"
#include "core/LinkScan.h"
#include "core/Text.h"
#include "platform/SystemCodec.h"

#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <cstring>
#include <ctime>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using namespace orvane;
using namespace orvane::bench;

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <typename Fn> double CpuSeconds(Fn&& fn) {
    const double start = ThreadSeconds();
    fn();
    return ThreadSeconds() - start;
}

// Keeps copies of the links, as the link table does.
class StoringSink final : public ScanSink {
public:
    std::vector<std::pair<std::u16string, std::u16string>> links;
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t) override {
        links.emplace_back(url, name);
    }
};

// Looks at each link without keeping it.
class ViewingSink final : public ScanSink {
public:
    std::size_t units = 0;
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t) override {
        units += url.size() + name.size();
    }
};

// What a conversion does with the file's bytes, without the windows.
template <typename Sink> std::size_t DecodeAndScan(std::string_view bytes, LinkLevel level) {
    std::u16string work =
        JoinLines(DecodeDocument(bytes, platform::SystemCodec::Instance()), [](std::size_t) {});
    RemoveLineBreaks(work);
    Sink sink;
    if constexpr (std::is_same_v<Sink, StoringSink>)
        sink.links.reserve(2048);
    const ScanResult result = ScanLinks(work, {level, NameRule::StripTags, 0}, sink);
    benchmark::DoNotOptimize(sink);
    return static_cast<std::size_t>(result.links);
}

// The text inside an element: `out(text)` for each piece, in document order.
template <typename Out> void VisitText(const GumboNode* node, Out&& out) {
    std::vector<const GumboNode*> stack{node};
    while (!stack.empty()) {
        const GumboNode* n = stack.back();
        stack.pop_back();
        if (n->type == GUMBO_NODE_TEXT || n->type == GUMBO_NODE_WHITESPACE || n->type == GUMBO_NODE_CDATA) {
            out(n->v.text.text);
        } else if (n->type == GUMBO_NODE_ELEMENT || n->type == GUMBO_NODE_TEMPLATE) {
            const GumboVector& children = n->v.element.children;
            for (unsigned i = children.length; i > 0; --i)
                stack.push_back(static_cast<const GumboNode*>(children.data[i - 1]));
        }
    }
}

// The parser's way to the same list: the whole tree, then every anchor's target and text, kept
// (`keep`) or only looked at.
std::size_t ParseAnchors(std::string_view utf8, bool keep) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.data(), utf8.size());
    std::vector<std::pair<std::string, std::string>> anchors;
    if (keep)
        anchors.reserve(2048);
    std::size_t found = 0;
    std::size_t bytes = 0;
    std::vector<const GumboNode*> stack{output->root};
    while (!stack.empty()) {
        const GumboNode* n = stack.back();
        stack.pop_back();
        if (n->type != GUMBO_NODE_ELEMENT && n->type != GUMBO_NODE_TEMPLATE)
            continue;
        const GumboElement& e = n->v.element;
        if (e.tag == GUMBO_TAG_A) {
            if (const GumboAttribute* href = gumbo_get_attribute(&e.attributes, "href")) {
                ++found;
                if (keep) {
                    std::string text;
                    VisitText(n, [&text](const char* piece) { text += piece; });
                    anchors.emplace_back(href->value, std::move(text));
                } else {
                    bytes += std::strlen(href->value);
                    VisitText(n, [&bytes](const char* piece) { bytes += std::strlen(piece); });
                }
            }
        }
        for (unsigned i = e.children.length; i > 0; --i)
            stack.push_back(static_cast<const GumboNode*>(e.children.data[i - 1]));
    }
    benchmark::DoNotOptimize(anchors.data());
    benchmark::DoNotOptimize(bytes);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return found;
}

enum Page {
    kDenseAscii,
    kDenseShiftJis,
    kAddressText,
    kManyTags,
    kKeysAHref,
    kKeysHttp,
    kBrackets,
    kBracketsInName
};

struct PageCase {
    std::string bytes;
    LinkLevel level = LinkLevel::AHref;
    // The parser reads UTF-8 only: the Shift_JIS page is handed to it converted, once, before timing.
    std::string parserInput;
};

PageCase MakeCase(int page) {
    PageCase c;
    switch (page) {
    case kDenseAscii:
        c.bytes = DenseLinkPage(PageCharset::Ascii);
        break;
    case kDenseShiftJis:
        c.bytes = DenseLinkPage(PageCharset::ShiftJis);
        c.parserInput = ToUtf8(DecodeDocument(c.bytes, platform::SystemCodec::Instance()));
        break;
    case kAddressText:
        c.bytes = AddressTextPage();
        c.level = LinkLevel::Http;
        break;
    case kManyTags:
        c.bytes = ManyTagsInOneName();
        break;
    case kKeysAHref:
        c.bytes = KeysWithoutEnd("a href");
        break;
    case kKeysHttp:
        c.bytes = KeysWithoutEnd("http:");
        c.level = LinkLevel::Http;
        break;
    case kBrackets:
        c.bytes = OpenBrackets();
        break;
    default:
        c.bytes = OpenBracketsInName();
        break;
    }
    if (c.parserInput.empty())
        c.parserInput = c.bytes;
    return c;
}

void BM_EngineVersusParser(benchmark::State& state, int which) {
    const PageCase page = MakeCase(which);
    double memchrSeconds = 0;
    double engineSeconds = 0;
    double parserSeconds = 0;
    double engineViewSeconds = 0;
    double parserViewSeconds = 0;
    std::size_t brackets = 0;
    std::size_t links = 0;
    std::size_t anchors = 0;
    for (auto _ : state) {
        memchrSeconds += CpuSeconds([&] { brackets = CountOpenBrackets(page.bytes); });
        engineSeconds += CpuSeconds([&] { links = DecodeAndScan<StoringSink>(page.bytes, page.level); });
        parserSeconds += CpuSeconds([&] { anchors = ParseAnchors(page.parserInput, true); });
        engineViewSeconds += CpuSeconds([&] { DecodeAndScan<ViewingSink>(page.bytes, page.level); });
        parserViewSeconds += CpuSeconds([&] { ParseAnchors(page.parserInput, false); });
        benchmark::DoNotOptimize(brackets);
    }
    if ((which == kDenseAscii || which == kDenseShiftJis) && links != anchors) {
        state.SkipWithError("the engine and the parser found different numbers of anchors");
        return;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["memchr_us"] = memchrSeconds / n * 1e6;
    state.counters["engine_us"] = engineSeconds / n * 1e6;
    state.counters["parser_us"] = parserSeconds / n * 1e6;
    state.counters["parser_x"] = parserSeconds / engineSeconds;
    state.counters["engine_views_us"] = engineViewSeconds / n * 1e6;
    state.counters["parser_views_us"] = parserViewSeconds / n * 1e6;
    state.counters["parser_x_views"] = parserViewSeconds / engineViewSeconds;
    state.counters["engine_x_memchr"] = engineSeconds / memchrSeconds;
    state.counters["links"] = static_cast<double>(links);
    state.counters["anchors"] = static_cast<double>(anchors);
    state.counters["bytes"] = static_cast<double>(page.bytes.size());
}
BENCHMARK_CAPTURE(BM_EngineVersusParser, dense_ascii, kDenseAscii)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EngineVersusParser, dense_shift_jis, kDenseShiftJis)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EngineVersusParser, address_text, kAddressText)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EngineVersusParser, worst_many_tags, kManyTags)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EngineVersusParser, worst_keys_a_href, kKeysAHref)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EngineVersusParser, worst_keys_http, kKeysHttp)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EngineVersusParser, worst_brackets, kBrackets)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EngineVersusParser, worst_brackets_in_name, kBracketsInName)
    ->Unit(benchmark::kMicrosecond);

} // namespace
