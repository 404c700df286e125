// Writing 2,000 Internet shortcuts through the save-destination window's "作成" button, into a new
// directory each time, with no overwrite question (FILE_OVER_SAVE off).

#include "GuiBench.h"

#include "core/Globals.h"
#include "forms/frmSave.h"

#include <QDir>
#include <benchmark/benchmark.h>

namespace {

using namespace orvane;
using namespace orvane::bench;

void BM_WriteShortcuts(benchmark::State& state) {
    constexpr int kShortcuts = 2000;
    auto window = StartMainWindow();
    gConfirmOverwrite = false;
    FillLinkTable(kShortcuts);
    window->ShowNewLinks(kShortcuts);
    frmSave& save = frmSave::Load(window.get());
    TakeMessageCount();
    int run = 0;
    qsizetype written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString dir = ProgramDirectory() + QStringLiteral("shortcuts%1").arg(run++);
        QDir().mkpath(dir);
        save.SetPath(dir);
        Settle();
        state.ResumeTiming();
        save.OKButton_Click();
        Settle();
        state.PauseTiming();
        written = QDir(dir).entryList({QStringLiteral("*.url")}, QDir::Files).size();
        QDir(dir).removeRecursively();
        state.ResumeTiming();
    }
    // One message per run: the completion report, and it must not list failures.
    if (TakeMessageCount() != run || LastMessageTitle() != QStringLiteral("完了") || written != kShortcuts) {
        state.SkipWithError("the shortcuts were not all written");
        return;
    }
    state.counters["files"] = static_cast<double>(written);
}
BENCHMARK(BM_WriteShortcuts)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
