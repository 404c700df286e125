// Conversions through the real main window, offscreen: the progress window, the event pump at every
// key, the status line, the list view and the count, each timed until the window has repainted.
// Targets: ConvertHtmlFile on the dense page within 30 ms, with the status line shown as well.

#include "BenchPages.h"
#include "GuiBench.h"

#include "core/Conversion.h"
#include "core/ConversionHost.h"
#include "core/Globals.h"
#include "platform/Qt.h"
#include "platform/SystemCodec.h"

#include <QLabel>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using namespace orvane;
using namespace orvane::bench;

// Arguments: the status line shown (1) or hidden (0), and the page's character set.
void BM_ConvertHtmlFile(benchmark::State& state) {
    const bool showStatus = state.range(0) != 0;
    const auto charset = static_cast<PageCharset>(state.range(1));
    const QString path = WriteInputFile(QStringLiteral("dense.htm"), DenseLinkPage(charset));
    auto window = StartMainWindow();
    gShowStatus = showStatus;
    auto* target = Child<QLabel>(window.get(), "lblTgtFile");
    TakeMessageCount();
    for (auto _ : state) {
        state.PauseTiming();
        window->comListClear_Click();
        target->setText(path);
        Settle();
        state.ResumeTiming();
        window->ConvertHtmlFile(path);
        Settle();
    }
    if (TakeMessageCount() != 0) {
        state.SkipWithError("the conversion showed a message");
        return;
    }
    state.counters["links"] = gLinks.Size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPageBytes));
}
BENCHMARK(BM_ConvertHtmlFile)
    ->ArgNames({"status", "charset"})
    ->Args({0, static_cast<int>(PageCharset::Ascii)})
    ->Args({1, static_cast<int>(PageCharset::Ascii)})
    ->Args({0, static_cast<int>(PageCharset::ShiftJis)})
    ->Args({1, static_cast<int>(PageCharset::ShiftJis)})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

// A drop of 100 different files of 20,000 bytes each (about 22,000 links in all), and in the same
// iteration the core converting the same files without windows (counter core_ms, ratio drop ÷ core).
void BM_DropHundredFiles(benchmark::State& state) {
    constexpr int kFiles = 100;
    constexpr std::size_t kFileBytes = 20000;
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        const auto first = static_cast<std::size_t>(i) * 1000;
        paths.append(WriteInputFile(QStringLiteral("drop%1.htm").arg(i),
                                    DenseLinkPage(PageCharset::Ascii, kFileBytes, first)));
    }
    auto window = StartMainWindow();
    gShowStatus = false;
    TakeMessageCount();
    WindowlessConversionHost core;
    double coreSeconds = 0;
    double dropSeconds = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        state.PauseTiming();
        window->comListClear_Click();
        Settle();
        const auto coreStart = Clock::now();
        for (const QString& path : paths) {
            core.target = platform::U(path);
            RunConversion(core.target, core, platform::SystemCodec::Instance());
        }
        coreSeconds += std::chrono::duration<double>(Clock::now() - coreStart).count();
        window->comListClear_Click();
        Settle();
        const auto dropStart = Clock::now();
        state.ResumeTiming();
        window->InputDroppedFiles(paths);
        Settle();
        state.PauseTiming();
        dropSeconds += std::chrono::duration<double>(Clock::now() - dropStart).count();
        state.ResumeTiming();
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["core_ms"] = coreSeconds * 1000 / runs;
    state.counters["drop_ms"] = dropSeconds * 1000 / runs;
    state.counters["ratio"] = dropSeconds / coreSeconds;
    if (TakeMessageCount() != 0) {
        state.SkipWithError("the drop showed a message");
        return;
    }
    state.counters["links"] = gLinks.Size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFiles * kFileBytes));
}
BENCHMARK(BM_DropHundredFiles)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
