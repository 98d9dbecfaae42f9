// Speed of the ledger model on ledgers far larger than one class's year.

#include "BenchLedgers.h"
#include "SorobeArticle.h"

#include <benchmark/benchmark.h>
#include <vector>

using namespace sorobe;
using namespace sorobe::bench;

namespace {

std::vector<ArticlePtr> entriesOf(const ArticlePtr& ledger) {
    std::vector<ArticlePtr> entries;
    for (ArticlePtr e = ledger->nextArticle(); e; e = e->nextArticle())
        entries.push_back(e->cloneArticle());
    return entries;
}

// Every entry recorded in date order, as addArticle places a new one.
void addInDateOrder(benchmark::State& state) {
    const std::vector<ArticlePtr> entries =
        entriesOf(benchLedger(int(state.range(0)), int(state.range(1))));
    for (auto _ : state) {
        state.PauseTiming();
        ArticlePtr ledger = SorobeArticle::create();
        std::vector<ArticlePtr> fresh;
        for (const ArticlePtr& e : entries)
            fresh.push_back(e->cloneArticle());
        state.ResumeTiming();
        for (const ArticlePtr& entry : fresh)
            benchmark::DoNotOptimize(ledger->addArticle(entry));
        state.PauseTiming();
        ledger.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(addInDateOrder)->Apply(sizesAndMixes);

// The summaries of one term and of the year, as the tabulation builds them.
void collectMonthlyAndSum(benchmark::State& state) {
    ArticlePtr ledger = benchLedger(int(state.range(0)), int(state.range(1)));
    ArticlePtr summary = SorobeArticle::create();
    for (auto _ : state) {
        summary->collectMonthlyArticle(false, 10, 15, ledger->nextArticle());
        benchmark::DoNotOptimize(summary->sumArticle());
    }
}
BENCHMARK(collectMonthlyAndSum)->Apply(sizesAndMixes);

void collectYearAndSum(benchmark::State& state) {
    ArticlePtr ledger = benchLedger(int(state.range(0)), int(state.range(1)));
    ArticlePtr summary = SorobeArticle::create();
    for (auto _ : state) {
        summary->collectArticle(false, ledger->nextArticle());
        benchmark::DoNotOptimize(summary->sumArticle());
    }
}
BENCHMARK(collectYearAndSum)->Apply(sizesAndMixes);

// Freeing a ledger: one node after another, never a recursion as deep as
// the ledger is long; a million entries show it.
void dropLedger(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ArticlePtr ledger = benchLedger(int(state.range(0)), int(state.range(1)));
        state.ResumeTiming();
        ledger.reset();
    }
}
BENCHMARK(dropLedger)->Apply(sizesAndMixes)->Args({1'000'000, Realistic})->Iterations(3);

} // namespace

BENCHMARK_MAIN();
