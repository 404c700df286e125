// The list view with the most entries the list takes (32,767): adding them as a conversion does
// (ShowNewLinks), sorting them by a header click, and clearing the list, each timed until the window
// has repainted. Targets: add within 100 ms, sort within 50 ms, clear within 20 ms.

#include "GuiBench.h"

#include "core/Globals.h"
#include "core/LinkTable.h"
#include "platform/ListView.h"

#include <benchmark/benchmark.h>

namespace {

using namespace orvane;
using namespace orvane::bench;

constexpr int kEntries = LinkTable::kMaxRecords;

bool ListIsFull(const frmMain& window) {
    return Child<platform::ListView>(&window, "ListView1")->Count() == kEntries;
}

void BM_ListAdd(benchmark::State& state) {
    auto window = StartMainWindow();
    for (auto _ : state) {
        state.PauseTiming();
        window->comListClear_Click();
        FillLinkTable(kEntries);
        Settle();
        state.ResumeTiming();
        window->ShowNewLinks(kEntries);
        Settle();
    }
    if (!ListIsFull(*window))
        state.SkipWithError("the list does not hold every entry");
}
BENCHMARK(BM_ListAdd)->Unit(benchmark::kMillisecond)->Iterations(20);

// Each click sorts by the other column than the one before, so every click reorders the list.
void BM_ListSort(benchmark::State& state) {
    auto window = StartMainWindow();
    FillLinkTable(kEntries);
    window->ShowNewLinks(kEntries);
    Settle();
    int column = 1;
    for (auto _ : state) {
        window->ListView1_ColumnClick(column);
        Settle();
        column = 3 - column;
    }
    if (!ListIsFull(*window))
        state.SkipWithError("the list does not hold every entry");
}
BENCHMARK(BM_ListSort)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ListClear(benchmark::State& state) {
    auto window = StartMainWindow();
    for (auto _ : state) {
        state.PauseTiming();
        FillLinkTable(kEntries);
        window->ShowNewLinks(kEntries);
        Settle();
        state.ResumeTiming();
        window->comListClear_Click();
        Settle();
    }
    if (gLinks.Size() != 0 || Child<platform::ListView>(window.get(), "ListView1")->Count() != 0)
        state.SkipWithError("the list was not emptied");
}
BENCHMARK(BM_ListClear)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
