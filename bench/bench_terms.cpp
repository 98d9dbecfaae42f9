// The term tabulation as the window runs it: the twelve period lists rebuilt
// from the ledger and the six term pages refilled, on the offscreen platform.

#include "BenchLedgers.h"
#include "FlexGrid.h"
#include "SharedState.h"
#include "TermCalendar.h"
#include "TermTabulation.h"
#include "WindowBenchmarkMain.h"
#include "frmMain.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace sorobe;
using namespace sorobe::bench;

namespace {

// Lists and pages; the lists alone show how much of it is the pages. The
// window on its first page, as after opening a file: every term page is owed
// its refill, run when it is looked at.
void BM_TabulateTerms(benchmark::State& bench) {
    SharedState state;
    frmMain window(state);
    window.Form_Load();
    state.ledger = benchLedger(int(bench.range(0)), int(bench.range(1)));
    for (auto _ : bench) {
        state.termsStale = true;
        window.tabulateTerms();
        benchmark::DoNotOptimize(state.periodIncomeSum);
    }
}
BENCHMARK(BM_TabulateTerms)->Apply(sizesAndMixes);

// The same, then every one of the six pages looked at in turn.
void BM_TabulateTermsAndFillEveryPage(benchmark::State& bench) {
    SharedState state;
    frmMain window(state);
    window.Form_Load();
    state.ledger = benchLedger(int(bench.range(0)), int(bench.range(1)));
    for (auto _ : bench) {
        state.termsStale = true;
        window.tabulateTerms();
        for (const PeriodInfo& info : termPeriods)
            benchmark::DoNotOptimize(window.termGrid(info.period)->Rows());
    }
}
BENCHMARK(BM_TabulateTermsAndFillEveryPage)->Apply(sizesAndMixes);

void BM_TabulateTermListsOnly(benchmark::State& bench) {
    SharedState state;
    state.ledger = benchLedger(int(bench.range(0)), int(bench.range(1)));
    for (auto _ : bench) {
        state.termsStale = true;
        tabulateTerms(state, [](Period) {});
        benchmark::DoNotOptimize(state.periodIncomeSum);
    }
}
BENCHMARK(BM_TabulateTermListsOnly)->Apply(sizesAndMixes);

} // namespace

int main(int argc, char** argv) {
    return sorobe::bench::runWindowBenchmarks(argc, argv);
}
