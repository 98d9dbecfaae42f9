// Speed of the printouts: the year's ledger of ledgers far larger than one
// class's year, written to a PDF file through the window's command (the
// tabulation included), and the layout alone as the tests see it.

#include "BenchLedgers.h"
#include "PrintKinds.h"
#include "RecordingPrintSurface.h"
#include "SharedState.h"
#include "TermTabulation.h"
#include "WindowBenchmarkMain.h"
#include "frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace sorobe;
using namespace sorobe::bench;

namespace {

PrintTitles titles() {
    PrintTitles result;
    result.schoolName = QStringLiteral("市立桜ヶ丘小学校");
    result.grade = QStringLiteral("第１学年");
    result.room = QStringLiteral("１組");
    result.teacher = QStringLiteral("山田花子");
    result.reportDate = QDate(2026, 3, 19);
    return result;
}

// 年間元帳 to a PDF by the export command: the terms tabulated, every sheet
// laid out, numbered and written.
void BM_YearLedgerToPdf(benchmark::State& bench) {
    SharedState state;
    state.fillPrintKindNames();
    frmMain window(state);
    window.Form_Load();
    state.ledger = benchLedger(int(bench.range(0)), int(bench.range(1)));
    state.printKind = 11;
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("ledger.pdf"));
    window.setFileChooser([&](const QString&, const QString&, bool) { return fileName; });
    for (auto _ : bench) {
        state.termsStale = true;
        window.mnuFileExportPdf_Click();
    }
    bench.counters["pdf_bytes"] = static_cast<double>(QFileInfo(fileName).size());
}
BENCHMARK(BM_YearLedgerToPdf)->Apply(sizesAndMixes)->Iterations(2);

// The layout alone, without a printer: what the tests see.
void BM_YearLedgerLayout(benchmark::State& bench) {
    SharedState state;
    state.ledger = benchLedger(int(bench.range(0)), int(bench.range(1)));
    tabulateTerms(state, [](Period) {});
    for (auto _ : bench) {
        RecordingPrintSurface surface;
        benchmark::DoNotOptimize(printKind(surface, state, 11, titles()).ok);
    }
}
BENCHMARK(BM_YearLedgerLayout)->Apply(sizesAndMixes);

// One item of `characters` characters among ordinary entries: an expense
// whose item is a pasted letter to the parents, and an income whose sub-item
// is the same text. The ledger is saved and opened whatever its length.
void fillLedgerWithLongItem(SharedState& state, int characters) {
    const QString phrase = QStringLiteral("修学旅行（京都・奈良）のしおり印刷代 Vol.2、");
    QString longItem;
    while (longItem.size() < characters)
        longItem += phrase;
    longItem.truncate(characters);

    ArticlePtr ledger = SorobeArticle::create();
    const QDate start(2025, 4, 1);
    for (int i = 0; i < 20; ++i) {
        ArticlePtr entry = SorobeArticle::create();
        entry->setTaDate(DateTime::fromQDate(start.addDays(i * 7)));
        entry->setTaIncome(i % 2 == 0);
        entry->setTaReceipt(entry->taIncome() ? 0 : std::int16_t(i));
        entry->setTaArticle(i == 10 ? longItem : QStringLiteral("学級費"));
        entry->setTaSubArticle(i == 4 ? longItem : QStringLiteral("%1月分").arg(i % 12 + 1));
        entry->setTaAmount(entry->taIncome() ? 1050 : 700 + i);
        ledger->addArticle(entry);
    }
    state.ledger = ledger;
    state.termLists.yearIncome->collectArticle(true, ledger->nextArticle());
    state.termLists.yearSupply->collectArticle(false, ledger->nextArticle());
}

// The year's ledger (kind 11) and the year's report (kind 12) of a ledger with
// one very long item, laid out as the print command does, page numbers and all.
void BM_LongItem(benchmark::State& bench) {
    SharedState state;
    fillLedgerWithLongItem(state, static_cast<int>(bench.range(0)));
    const int kind = static_cast<int>(bench.range(1));
    for (auto _ : bench) {
        RecordingPrintSurface surface;
        if (!printKind(surface, state, kind, titles()).ok)
            bench.SkipWithError("the printout failed");
        benchmark::DoNotOptimize(surface.operations().size());
    }
}
BENCHMARK(BM_LongItem)
    ->ArgsProduct({{800, 3200, 10000}, {11, 12}})
    ->ArgNames({"characters", "kind"})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return sorobe::bench::runWindowBenchmarks(argc, argv);
}
