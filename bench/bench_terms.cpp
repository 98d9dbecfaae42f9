// The term tabulation over a large ledger: 10,000 entries of one school year
// with 60 distinct items, income and expenses spread over April to March.

#include "SharedState.h"
#include "TermTabulation.h"

#include <QDate>
#include <QString>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

using namespace sorobe;

namespace {

constexpr int entryCount = 10'000;
constexpr int incomeItemCount = 20;
constexpr int supplyItemCount = 40;

// A school year's ledger in date order, then receipt order, as addArticle
// would leave it (appended at the tail here to keep the set-up quick).
ArticlePtr makeLedger() {
    std::mt19937 random(20020401);
    const QDate firstDay(2002, 4, 1);
    const int days = static_cast<int>(firstDay.daysTo(QDate(2003, 3, 31))) + 1;
    std::uniform_int_distribution<int> dayOf(0, days - 1);
    std::uniform_int_distribution<int> incomeItem(0, incomeItemCount - 1);
    std::uniform_int_distribution<int> supplyItem(0, supplyItemCount - 1);
    std::uniform_int_distribution<int> amountOf(1, 300);
    std::bernoulli_distribution isIncome(0.4);

    std::vector<ArticlePtr> entries;
    entries.reserve(entryCount);
    std::int16_t receipt = 0;
    for (int n = 0; n < entryCount; ++n) {
        ArticlePtr entry = SorobeArticle::create();
        const QDate date = firstDay.addDays(dayOf(random));
        entry->setTaDate(DateTime::fromQDate(date));
        entry->setTaKey(n + 1);
        if (isIncome(random)) {
            const int item = incomeItem(random);
            entry->setTaIncome(true);
            entry->setTaArticle(QStringLiteral("学級費%1").arg(item + 1));
            // Most collections are monthly ("4月分"); a few items have no breakdown.
            if (item % 4 != 0)
                entry->setTaSubArticle(QStringLiteral("%1月分").arg(date.month()));
            entry->setTaPerPerson(amountOf(random) * 10);
            entry->setTaStudentsNumber(30);
            entry->setTaAmount(entry->taPerPerson() * 30);
        } else {
            entry->setTaReceipt(++receipt);
            entry->setTaArticle(QStringLiteral("教材費%1").arg(supplyItem(random) + 1));
            entry->setTaAmount(amountOf(random) * 100);
        }
        entries.push_back(entry);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const ArticlePtr& a, const ArticlePtr& b) {
        if (a->taDate() != b->taDate())
            return a->taDate() < b->taDate();
        return a->taReceipt() < b->taReceipt();
    });

    ArticlePtr ledger = SorobeArticle::create();
    SorobeArticle* tail = ledger.get();
    for (const ArticlePtr& entry : entries) {
        tail->insertArticle(entry);
        tail = entry.get();
    }
    return ledger;
}

void BM_TabulateTerms(benchmark::State& bench) {
    SharedState state;
    state.ledger = makeLedger();
    for (auto _ : bench) {
        state.termsStale = true;
        tabulateTerms(state, [](Period) {});
        benchmark::DoNotOptimize(state.periodIncomeSum);
    }
}
BENCHMARK(BM_TabulateTerms)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
