// Opening and saving ledgers far larger than one class's year: the file's
// encoding and decoding, the save with its backup, and the whole open as the
// window does it (read, parse, merge, tabulate, fill the lists).

#include "BenchLedgers.h"
#include "ItemHistoryFile.h"
#include "LedgerFile.h"
#include "SharedState.h"
#include "WindowBenchmarkMain.h"
#include "frmMain.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <vector>

using namespace sorobe;
using namespace sorobe::bench;

namespace {

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

ArticlePtr ledgerOf(const benchmark::State& state) {
    return benchLedger(int(state.range(0)), int(state.range(1)));
}

void BM_EncodeLedger(benchmark::State& state) {
    const ArticlePtr ledger = ledgerOf(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeLedger(titles(), ledger).bytes.size());
}
BENCHMARK(BM_EncodeLedger)->Apply(sizesAndMixes);

// A save over an existing file: the backup copy, then the whole new file.
void BM_SaveLedgerFile(benchmark::State& state) {
    const ArticlePtr ledger = ledgerOf(state);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2002年度.txt"));
    saveLedgerFile(path, titles(), ledger);
    for (auto _ : state) {
        if (!saveLedgerFile(path, titles(), ledger).ok)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveLedgerFile)->Apply(sizesAndMixes);

// The whole open, as the teacher waits for it: the window's open command
// reads and parses the file, merges it into the empty document, tabulates
// the terms and fills the lists. A fresh window each time, made untimed.
void BM_OpenLedgerFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2002年度.txt"));
    saveLedgerFile(path, titles(), ledgerOf(state));
    for (auto _ : state) {
        state.PauseTiming();
        SharedState shared;
        auto window = std::make_unique<frmMain>(shared);
        window->Form_Load();
        state.ResumeTiming();
        if (!window->openLedger(path))
            state.SkipWithError("open failed");
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLedgerFile)->Apply(sizesAndMixes)->Iterations(3);

// The same entries in a file shuffled by hand: no order to profit from.
void BM_ParseShuffledLedger(benchmark::State& state) {
    std::vector<ArticlePtr> entries;
    const ArticlePtr inOrder = ledgerOf(state);
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
BENCHMARK(BM_ParseShuffledLedger)->Apply(sizesAndMixes);

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

int main(int argc, char** argv) {
    return sorobe::bench::runWindowBenchmarks(argc, argv);
}
