// Speed of the window's own work on ledgers far larger than one class's
// year: recording an entry, switching to a term page after a change, opening
// and saving a ledger file, the print preview and the PDF export, the CSV
// export and the receipt check. Runs on the offscreen platform.

#include "BenchLedgers.h"
#include "FlexGrid.h"
#include "LedgerFile.h"
#include "RollFile.h"
#include "SharedState.h"
#include "WindowBenchmarkMain.h"
#include "frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace sorobe;
using namespace sorobe::bench;

namespace {

struct Window {
    SharedState state;
    // The program keeps a recovery copy after every step, as a teacher's does.
    QTemporaryDir recovery;
    std::unique_ptr<frmMain> window;
    explicit Window(int entries, int mix = Realistic) {
        window = std::make_unique<frmMain>(state);
        window->Form_Load();
        window->keepRecoveryCopiesIn(recovery.path());
        if (entries > 0) {
            ArticlePtr ledger = benchLedger(entries, mix);
            mergeIntoLedger(state.ledger, ledger);
            for (ArticlePtr e = state.ledger->nextArticle(); e; e = e->nextArticle())
                (e->taIncome() ? state.incomeCount : state.supplyCount)++;
            state.keyCounter = entries + 1;
            window->MSFlexGridIncome->setRows(state.incomeCount + 1);
            window->MSFlexGridSupply->setRows(state.supplyCount + 1);
            window->showIncomeList();
            window->showSupplyList();
        }
    }
};

void recordOneIncome(benchmark::State& run) {
    Window w(int(run.range(0)), int(run.range(1)));
    for (auto _ : run) {
        w.window->CommandIncomeNew_Click();
        w.window->ComboIncomeArticle->setEditText(QStringLiteral("学級費"));
        w.window->TextIncomeAmount->setText(QStringLiteral("35000"));
        w.window->CommandIncomeRecord_Click();
    }
}
BENCHMARK(recordOneIncome)->Apply(sizesAndMixes)->Iterations(10);

// A tab switch to the page after an income is recorded, which tabulates anew.
void pageAfterARecording(benchmark::State& run, int page) {
    Window w(int(run.range(0)), int(run.range(1)));
    for (auto _ : run) {
        run.PauseTiming();
        w.window->SSTabSheets->setCurrentIndex(1);
        w.window->CommandIncomeNew_Click();
        w.window->TextIncomeAmount->setText(QStringLiteral("100"));
        w.window->CommandIncomeRecord_Click();
        run.ResumeTiming();
        w.window->SSTabSheets->setCurrentIndex(page);
    }
}

void termPageAfterARecording(benchmark::State& run) {
    pageAfterARecording(run, 3);
}
BENCHMARK(termPageAfterARecording)->Apply(sizesAndMixes)->Iterations(5);

// The 年間 page, the longest: every line of the year.
void yearPageAfterARecording(benchmark::State& run) {
    pageAfterARecording(run, 8);
}
BENCHMARK(yearPageAfterARecording)->Apply(sizesAndMixes)->Iterations(5);

// Taking back and doing again the deletion of the first income entry: every
// row of the longer list moves, the worst case for the lists.
void undoOrRedoOneStep(benchmark::State& run) {
    Window w(int(run.range(0)), int(run.range(1)));
    const bool redo = run.range(2) != 0;
    w.window->TextIncomeNo->setText(QStringLiteral("1"));
    w.window->CommandIncomeDelete_Click();
    for (auto _ : run) {
        if (redo) {
            run.PauseTiming();
            w.window->mnuEditUndo_Click();
            run.ResumeTiming();
            w.window->mnuEditRedo_Click();
        } else {
            w.window->mnuEditUndo_Click();
            run.PauseTiming();
            w.window->mnuEditRedo_Click();
            run.ResumeTiming();
        }
    }
}
BENCHMARK(undoOrRedoOneStep)
    ->ArgNames({"entries", "distinct", "redo"})
    ->ArgsProduct({{2'000, 10'000, 50'000}, {Realistic, EveryItemDifferent}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// The chosen print kind (年間元帳) written as a PDF by the export command,
// tabulation included.
void exportPdf(benchmark::State& run) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("元帳.pdf"));
    Window w(int(run.range(0)), int(run.range(1)));
    w.state.fillPrintKindNames();
    w.window->setFileChooser([&](const QString&, const QString&, bool) { return path; });
    for (auto _ : run)
        w.window->mnuFileExportPdf_Click();
}
BENCHMARK(exportPdf)->Apply(sizesAndMixes)->Iterations(2);

// The print preview of the chosen kind (年間元帳) from the command to the
// first page drawn on the screen, tabulation included; closed once seen.
void previewPrintout(benchmark::State& run) {
    Window w(int(run.range(0)), int(run.range(1)));
    w.state.fillPrintKindNames();
    int pages = 0;
    for (auto _ : run) {
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
            if (!preview) {
                // A message instead of the preview: close it rather than wait forever.
                if (modal)
                    modal->close();
                return;
            }
            pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
            benchmark::DoNotOptimize(preview->grab());
            preview->reject();
        });
        w.window->mnuFilePreview_Click();
    }
    run.counters["pages"] = pages;
}
BENCHMARK(previewPrintout)->Apply(sizesAndMixes)->Iterations(2);

// The CSV command: the whole ledger (choice 0) or the term pages with their
// tabulation (2), in UTF-8, and the same in Shift_JIS (1, 3).
void exportCsv(benchmark::State& run) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("元帳.csv"));
    Window w(int(run.range(0)), int(run.range(1)));
    w.window->setFileChooser([&](const QString&, QString& filter, bool) {
        filter = filter.split(QStringLiteral(";;")).value(int(run.range(2)));
        return path;
    });
    for (auto _ : run) {
        w.state.termsStale = true;
        w.window->mnuFileExportCsv_Click();
    }
    run.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(exportCsv)
    ->ArgNames({"entries", "distinct", "choice"})
    ->ArgsProduct({{2'000, 10'000, 50'000}, {Realistic, EveryItemDifferent}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The receipt check from the command to its window filled.
void receiptCheck(benchmark::State& run) {
    Window w(int(run.range(0)), int(run.range(1)));
    for (auto _ : run)
        w.window->mnuToolsReceiptCheck_Click();
}
BENCHMARK(receiptCheck)->Apply(sizesAndMixes)->Iterations(5);

void saveLedgerFileFromWindow(benchmark::State& run) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("大きな元帳.txt"));
    Window w(int(run.range(0)), int(run.range(1)));
    for (auto _ : run)
        w.window->saveArticleFile(path);
}
BENCHMARK(saveLedgerFileFromWindow)->Apply(sizesAndMixes)->Iterations(5);

// The ledger with 40 collections for a class of 40, spread over the year:
// the other incomes lose their amount per pupil (a busy year has 40).
ArticlePtr makeCollectionLedger(int entries, int mix) {
    ArticlePtr ledger = benchLedger(entries, mix);
    int incomes = 0;
    for (ArticlePtr e = ledger->nextArticle(); e; e = e->nextArticle())
        incomes += e->taIncome() ? 1 : 0;
    int seen = 0;
    for (ArticlePtr e = ledger->nextArticle(); e; e = e->nextArticle()) {
        if (!e->taIncome())
            continue;
        const bool collection = seen++ % std::max(1, incomes / 40) == 0;
        e->setTaPerPerson(collection ? 500 : 0);
        e->setTaStudentsNumber(collection ? 40 : 0);
        if (collection)
            e->setTaAmount(500 * 40);
    }
    return ledger;
}

// A tick toggled on the 集金 page (40 pupils, 40 collections) and the
// table drawn again with the pupil's 未納額 and the column's foot.
void toggleRollTick(benchmark::State& run) {
    Window w(0);
    mergeIntoLedger(w.state.ledger, makeCollectionLedger(int(run.range(0)), int(run.range(1))));
    w.state.studentCount = 40;
    w.window->show();
    w.window->SSTabSheets->setCurrentIndex(9);
    QAbstractItemModel* table = w.window->GridRoll->model();
    int k = 0;
    for (auto _ : run) {
        const QModelIndex cell = table->index(k % 40, (k / 40) % 40);
        emit w.window->GridRoll->clicked(cell);
        // Drawn as the screen shows it: the cell, the pupil's 未納額, the foot.
        benchmark::DoNotOptimize(w.window->GridRoll->grab());
        ++k;
    }
    run.counters["collections"] = w.window->roll().columnCount();
}
BENCHMARK(toggleRollTick)->Apply(sizesAndMixes)->Iterations(200);

// Opening a ledger as the window does (read, lists, roll
// following the ledger) without (0) and with (1) its roll file of 40
// pupils × 40 collections, every other tick paid.
void openLedgerWithRoll(benchmark::State& run) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("集金のある元帳.txt"));
    {
        Window w(0);
        mergeIntoLedger(w.state.ledger, makeCollectionLedger(int(run.range(0)), int(run.range(1))));
        w.state.studentCount = 40;
        w.window->SSTabSheets->setCurrentIndex(9);
        QAbstractItemModel* table = w.window->GridRoll->model();
        for (int pupil = 0; pupil < 40; ++pupil) {
            for (int column = pupil % 2; column < 40; column += 2)
                emit w.window->GridRoll->clicked(table->index(pupil, column));
        }
        w.window->saveArticleFile(path);
        if (run.range(2) == 0)
            QFile::remove(rollPathFor(path));
    }
    for (auto _ : run) {
        run.PauseTiming();
        auto w = std::make_unique<Window>(0);
        run.ResumeTiming();
        w->window->openLedger(path);
        run.PauseTiming();
        run.counters["collections"] = w->window->roll().columnCount();
        w.reset();
        run.ResumeTiming();
    }
}
BENCHMARK(openLedgerWithRoll)
    ->ArgNames({"entries", "distinct", "roll"})
    ->ArgsProduct({{2'000, 10'000, 50'000}, {Realistic, EveryItemDifferent}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return sorobe::bench::runWindowBenchmarks(argc, argv);
}
