// Opening and saving a ledger of 10,000 entries: a school year of a very busy
// class. Opening (read, parse and build the ledger, then merge it into the
// document) has to stay well under a second, saving under 200 ms.

#include "ItemHistoryFile.h"
#include "LedgerFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

using namespace sorobe;

namespace {

constexpr int entryCount = 10000;

// Entries over one school year in date order, as a saved ledger holds them.
ArticlePtr yearLedger(int count) {
    ArticlePtr head = SorobeArticle::create();
    SorobeArticle* last = head.get();
    const DateTime april = DateTime::fromDate(2002, 4, 1);
    // 27 entries a day: the collections first, then the expenses by receipt number.
    for (int i = 0; i < count; ++i) {
        ArticlePtr entry = SorobeArticle::create();
        const int ofDay = i % 27;
        const bool income = ofDay < 9;
        entry->setTaIncome(income);
        entry->setTaDate(DateTime(april.serial() + i / 27));
        entry->setTaArticle(income ? QStringLiteral("学級費") : QStringLiteral("画用紙と色鉛筆"));
        entry->setTaSubArticle(income ? QStringLiteral("4月分") : QString());
        entry->setTaStudentsNumber(income ? 30 : 0);
        entry->setTaPerPerson(income ? 500 : 0);
        entry->setTaReceipt(static_cast<std::int16_t>(income ? 0 : ofDay - 8));
        entry->setTaAmount(income ? 15000 : 1200 + i % 700);
        entry->setTaKey(i + 1);
        last->insertArticle(entry);
        last = entry.get();
    }
    return head;
}

LedgerTitles titles() {
    return {AccountKind::ClassAccount,
            QStringLiteral("市立そろばん小学校"),
            QStringLiteral("平成14年度(2002年度）"),
            QStringLiteral("第３学年"),
            QStringLiteral("２組"),
            QStringLiteral("山田　花子"),
            QString(),
            QString()};
}

void BM_EncodeLedger(benchmark::State& state) {
    const ArticlePtr ledger = yearLedger(entryCount);
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeLedger(titles(), ledger).bytes.size());
}
BENCHMARK(BM_EncodeLedger)->Unit(benchmark::kMillisecond);

// A save over an existing file: the backup copy, then the whole new file.
void BM_SaveLedgerFile(benchmark::State& state) {
    const ArticlePtr ledger = yearLedger(entryCount);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2002年度.txt"));
    saveLedgerFile(path, titles(), ledger);
    for (auto _ : state) {
        if (!saveLedgerFile(path, titles(), ledger).ok)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveLedgerFile)->Unit(benchmark::kMillisecond);

// The whole open: read the file, build its ledger, merge it into the document.
void BM_OpenLedgerFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2002年度.txt"));
    saveLedgerFile(path, titles(), yearLedger(entryCount));
    for (auto _ : state) {
        LedgerReadResult read = readLedgerFile(path);
        if (!read.ok()) {
            state.SkipWithError("read failed");
            break;
        }
        ArticlePtr document = SorobeArticle::create();
        mergeIntoLedger(document, read.contents->ledger);
        benchmark::DoNotOptimize(document->nextArticle());
    }
}
BENCHMARK(BM_OpenLedgerFile)->Unit(benchmark::kMillisecond);

// The same entries in a file shuffled by hand: no order to profit from.
void BM_ParseShuffledLedger(benchmark::State& state) {
    std::vector<ArticlePtr> entries;
    const ArticlePtr inOrder = yearLedger(entryCount);
    for (ArticlePtr e = inOrder->nextArticle(); e; e = e->nextArticle())
        entries.push_back(e->cloneArticle());
    std::shuffle(entries.begin(), entries.end(), std::mt19937(2002));
    ArticlePtr shuffled = SorobeArticle::create();
    for (auto e = entries.rbegin(); e != entries.rend(); ++e)
        shuffled->insertArticle(*e);
    const QByteArray bytes = encodeLedger(titles(), shuffled).bytes;
    for (auto _ : state)
        benchmark::DoNotOptimize(parseLedger(bytes, QString()).ok());
}
BENCHMARK(BM_ParseShuffledLedger)->Unit(benchmark::kMillisecond);

// Building the ledger by addArticle alone, for comparison.
void BM_BuildByAddArticle(benchmark::State& state) {
    const ArticlePtr inOrder = yearLedger(entryCount);
    for (auto _ : state) {
        ArticlePtr head = SorobeArticle::create();
        for (ArticlePtr e = inOrder->nextArticle(); e; e = e->nextArticle())
            head->addArticle(e->cloneArticle());
        benchmark::DoNotOptimize(head->nextArticle());
    }
}
BENCHMARK(BM_BuildByAddArticle)->Unit(benchmark::kMillisecond);

// A Sorobe.ini of `names` item names, half income and half expenses, as years
// of saves leave it: the most used first, counts tied in runs, every name used
// within the last two years, and a name in fifty written twice by a hand edit
// (the second read counts it up and moves it forward).
QString writeItemHistory(const QString& path, int names) {
    auto history = [names](int first) {
        SelectionPtr head = SorobeSelection::create();
        SorobeSelection* last = head.get();
        for (int i = first; i < names; i += 2) {
            const auto count = static_cast<std::int16_t>(std::max(1, 500 - i / 80));
            const DateTime date = DateTime::fromDate(2025 + i % 2, 1 + i % 12, 1 + i % 28);
            const QString name =
                QStringLiteral("品目%1").arg(i % 50 == 49 ? i - 40 : i, 6, 10, QLatin1Char('0'));
            SelectionPtr record = SorobeSelection::create(name, count, date);
            last->insertSelection(record);
            last = record.get();
        }
        return head;
    };
    saveItemHistory(history(0), history(1), path);
    return path;
}

// Reading the item history at start-up.
void BM_LoadItemHistory(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = writeItemHistory(dir.filePath(QStringLiteral("Sorobe.ini")),
                                          static_cast<int>(state.range(0)));
    for (auto _ : state) {
        SelectionPtr income = SorobeSelection::create();
        SelectionPtr supply = SorobeSelection::create();
        loadItemHistory(income, supply, path, QDate(2026, 6, 1));
        benchmark::DoNotOptimize(income->nextSelection());
    }
    state.counters["file_bytes"] = static_cast<double>(QFile(path).size());
}
BENCHMARK(BM_LoadItemHistory)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
