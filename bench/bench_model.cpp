// Speed of the ledger model on ledgers far larger than one class's year.

#include "SorobeArticle.h"

#include <benchmark/benchmark.h>

using namespace sorobe;

namespace {

// A school year's worth of entries, repeated: dates spread over April-March,
// one in five an expense, items cycling through `items` names.
std::vector<ArticlePtr> makeEntries(int count, int items) {
    std::vector<ArticlePtr> entries;
    entries.reserve(count);
    const QDate start(2002, 4, 1);
    for (int i = 0; i < count; ++i) {
        ArticlePtr entry = SorobeArticle::create();
        entry->setTaDate(DateTime::fromQDate(start.addDays(i * 365 / count)));
        entry->setTaIncome(i % 5 != 0);
        entry->setTaReceipt(entry->taIncome() ? 0 : std::int16_t(i % 999 + 1));
        entry->setTaArticle(QStringLiteral("項目%1").arg(i % items));
        entry->setTaSubArticle(QStringLiteral("%1月分").arg(i % items % 12 + 1));
        entry->setTaAmount(1000 + i % 100);
        entry->setTaKey(i + 1);
        entries.push_back(entry);
    }
    return entries;
}

ArticlePtr makeLedger(int count, int items) {
    ArticlePtr ledger = SorobeArticle::create();
    SorobeArticle* tail = ledger.get();
    for (const ArticlePtr& entry : makeEntries(count, items)) {
        tail->insertArticle(entry);
        tail = entry.get();
    }
    return ledger;
}

void addInDateOrder(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<ArticlePtr> entries = makeEntries(int(state.range(0)), 50);
        ArticlePtr ledger = SorobeArticle::create();
        state.ResumeTiming();
        for (const ArticlePtr& entry : entries)
            benchmark::DoNotOptimize(ledger->addArticle(entry));
        state.PauseTiming();
        ledger.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(addInDateOrder)->Arg(10'000)->Unit(benchmark::kMillisecond);

void collectMonthlyAndSum(benchmark::State& state) {
    ArticlePtr ledger = makeLedger(int(state.range(0)), 50);
    ArticlePtr summary = SorobeArticle::create();
    for (auto _ : state) {
        summary->collectMonthlyArticle(true, 10, 15, ledger->nextArticle());
        benchmark::DoNotOptimize(summary->sumArticle());
    }
}
BENCHMARK(collectMonthlyAndSum)->Arg(10'000)->Unit(benchmark::kMillisecond);

void collectYearAndSum(benchmark::State& state) {
    ArticlePtr ledger = makeLedger(int(state.range(0)), 50);
    ArticlePtr summary = SorobeArticle::create();
    for (auto _ : state) {
        summary->collectArticle(true, ledger->nextArticle());
        benchmark::DoNotOptimize(summary->sumArticle());
    }
}
BENCHMARK(collectYearAndSum)->Arg(10'000)->Unit(benchmark::kMillisecond);

void dropLedger(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ArticlePtr ledger = makeLedger(int(state.range(0)), 50);
        state.ResumeTiming();
        ledger.reset();
    }
}
BENCHMARK(dropLedger)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
