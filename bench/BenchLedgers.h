#pragma once

// The ledgers every benchmark runs on, at the three sizes that show how a
// command grows: 2,000 entries (a very busy class's year), 10,000 and
// 50,000; each with a realistic item set (20 collections a month, 40
// expense items) and with every expense item different, the worst case for
// the summaries (one summary line per expense).

#include "SorobeArticle.h"

#include <QDate>
#include <QString>
#include <benchmark/benchmark.h>
#include <random>

namespace sorobe::bench {

enum ItemMix : int { Realistic = 0, EveryItemDifferent = 1 };

// `count` entries over one school year in ledger order (by date), four in
// ten collections with an amount per pupil, the rest expenses with receipts.
inline ArticlePtr benchLedger(int count, int mix) {
    std::mt19937 random(20020401);
    std::uniform_int_distribution<int> item(0, 59);
    std::uniform_int_distribution<int> amount(1, 300);
    std::bernoulli_distribution isIncome(0.4);
    const QDate april(2002, 4, 1);
    ArticlePtr ledger = SorobeArticle::create();
    SorobeArticle* tail = ledger.get();
    std::int16_t receipt = 0;
    for (int n = 0; n < count; ++n) {
        ArticlePtr entry = SorobeArticle::create();
        const QDate day = april.addDays(qint64(n) * 365 / count);
        entry->setTaDate(DateTime::fromQDate(day));
        entry->setTaKey(n + 1);
        if (isIncome(random)) {
            const int k = item(random) % 20;
            entry->setTaIncome(true);
            entry->setTaArticle(QStringLiteral("学級費%1").arg(k + 1));
            if (k % 4 != 0)
                entry->setTaSubArticle(QStringLiteral("%1月分").arg(day.month()));
            entry->setTaPerPerson(amount(random) * 10);
            entry->setTaStudentsNumber(30);
            entry->setTaAmount(entry->taPerPerson() * 30);
        } else {
            receipt = std::int16_t(receipt % 30000 + 1);
            entry->setTaReceipt(receipt);
            entry->setTaArticle(mix == EveryItemDifferent
                                    ? QStringLiteral("教材費 その%1").arg(n + 1)
                                    : QStringLiteral("教材費%1").arg(item(random) % 40 + 1));
            entry->setTaAmount(amount(random) * 10);
        }
        tail->insertArticle(entry);
        tail = entry.get();
    }
    return ledger;
}

// Every benchmark: the three sizes, both item mixes.
inline void sizesAndMixes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"entries", "distinct"});
    b->ArgsProduct({{2'000, 10'000, 50'000}, {Realistic, EveryItemDifferent}});
    b->Unit(benchmark::kMillisecond);
}

} // namespace sorobe::bench
