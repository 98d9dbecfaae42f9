// Speed of the printouts: the year's ledger of a ledger far larger than one
// class's year, written to a PDF file as the print command would.

#include "PainterPrintSurface.h"
#include "PrintKinds.h"
#include "RecordingPrintSurface.h"
#include "SharedState.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace sorobe;

namespace {

// `count` entries over one school year, one in five an expense with a receipt,
// one item in twenty too long for its column.
void fillLedger(SharedState& state, int count) {
    ArticlePtr ledger = SorobeArticle::create();
    const QDate start(2025, 4, 1);
    for (int i = 0; i < count; ++i) {
        ArticlePtr entry = SorobeArticle::create();
        entry->setTaDate(DateTime::fromQDate(start.addDays(i * 365 / count)));
        entry->setTaIncome(i % 5 != 0);
        entry->setTaReceipt(entry->taIncome() ? 0 : std::int16_t(i % 999 + 1));
        entry->setTaArticle(i % 20 == 0 ? QStringLiteral("学習発表会の衣装用布地・糸・ボタン一式")
                                        : QStringLiteral("学級費"));
        entry->setTaSubArticle(QStringLiteral("%1月分").arg(i % 12 + 1));
        entry->setTaPerPerson(entry->taIncome() ? 30 : 0);
        entry->setTaStudentsNumber(35);
        entry->setTaAmount(entry->taIncome() ? 1050 : 700 + i % 100);
        ledger->addArticle(entry);
    }
    state.ledger = ledger;
    state.termLists.yearIncome->collectArticle(true, ledger->nextArticle());
    state.termLists.yearSupply->collectArticle(false, ledger->nextArticle());
}

PrintTitles titles() {
    PrintTitles result;
    result.schoolName = QStringLiteral("市立桜ヶ丘小学校");
    result.grade = QStringLiteral("第１学年");
    result.room = QStringLiteral("１組");
    result.teacher = QStringLiteral("山田花子");
    result.reportDate = QDate(2026, 3, 19);
    return result;
}

void BM_YearLedgerToPdf(benchmark::State& bench) {
    SharedState state;
    fillLedger(state, static_cast<int>(bench.range(0)));
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("ledger.pdf"));
    for (auto _ : bench) {
        QPrinter printer(QPrinter::HighResolution);
        preparePdfPrinter(printer, fileName);
        PainterPrintSurface surface(printer);
        if (!printKind(surface, state, 11, titles()).ok)
            bench.SkipWithError("the printout failed");
    }
    bench.counters["pdf_bytes"] = static_cast<double>(QFileInfo(fileName).size());
}
BENCHMARK(BM_YearLedgerToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The layout alone, without a printer: what the tests see.
void BM_YearLedgerLayout(benchmark::State& bench) {
    SharedState state;
    fillLedger(state, static_cast<int>(bench.range(0)));
    for (auto _ : bench) {
        RecordingPrintSurface surface;
        benchmark::DoNotOptimize(printKind(surface, state, 11, titles()).ok);
    }
}
BENCHMARK(BM_YearLedgerLayout)->Arg(10000)->Unit(benchmark::kMillisecond);

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
    // Fonts need a GUI application; no screen is needed for a PDF.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
