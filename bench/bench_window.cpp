// Speed of the window's own work on ledgers far larger than one class's
// year: recording an entry, switching to a term page after a change, opening
// and saving a ledger file, the print preview and the PDF export, the CSV
// export and the receipt check. Runs on the offscreen platform.

#include "FlexGrid.h"
#include "LedgerFile.h"
#include "RollFile.h"
#include "SharedState.h"
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
#include <benchmark/benchmark.h>

using namespace sorobe;

namespace {

// A year of entries repeated: one in five an expense, 60 items.
ArticlePtr makeLedger(int count) {
    ArticlePtr ledger = SorobeArticle::create();
    SorobeArticle* tail = ledger.get();
    const QDate start(2002, 4, 1);
    for (int i = 0; i < count; ++i) {
        ArticlePtr e = SorobeArticle::create();
        e->setTaDate(DateTime::fromQDate(start.addDays(i * 365 / count)));
        e->setTaIncome(i % 5 != 0);
        e->setTaReceipt(e->taIncome() ? 0 : std::int16_t(i % 999 + 1));
        e->setTaArticle(QStringLiteral("項目%1").arg(i % 60));
        e->setTaSubArticle(e->taIncome() ? QStringLiteral("%1月分").arg(i % 12 + 1) : QString());
        e->setTaAmount(1000 + i % 100);
        e->setTaKey(i + 1);
        tail->insertArticle(e);
        tail = e.get();
    }
    return ledger;
}

struct Window {
    SharedState state;
    std::unique_ptr<frmMain> window;
    explicit Window(int entries) {
        window = std::make_unique<frmMain>(state);
        window->Form_Load();
        if (entries > 0) {
            ArticlePtr ledger = makeLedger(entries);
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
    Window w(int(run.range(0)));
    for (auto _ : run) {
        w.window->CommandIncomeNew_Click();
        w.window->ComboIncomeArticle->setEditText(QStringLiteral("学級費"));
        w.window->TextIncomeAmount->setText(QStringLiteral("35000"));
        w.window->CommandIncomeRecord_Click();
    }
}
BENCHMARK(recordOneIncome)->Arg(5'000)->Unit(benchmark::kMillisecond)->Iterations(20);

void termPageAfterARecording(benchmark::State& run) {
    Window w(int(run.range(0)));
    for (auto _ : run) {
        run.PauseTiming();
        w.window->SSTabSheets->setCurrentIndex(1);
        w.window->CommandIncomeNew_Click();
        w.window->TextIncomeAmount->setText(QStringLiteral("100"));
        w.window->CommandIncomeRecord_Click();
        run.ResumeTiming();
        w.window->SSTabSheets->setCurrentIndex(3);
    }
}
BENCHMARK(termPageAfterARecording)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(10);

// Taking back and doing again the deletion of the first income entry: every
// row of the longer list moves, the worst case for the lists.
void undoOrRedoOneStep(benchmark::State& run) {
    Window w(int(run.range(0)));
    const bool redo = run.range(1) != 0;
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
    ->ArgNames({"entries", "redo"})
    ->Args({10'000, 0})
    ->Args({10'000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// The chosen print kind (年間元帳) written as a PDF by the export command,
// tabulation included.
void exportPdf(benchmark::State& run) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("元帳.pdf"));
    Window w(int(run.range(0)));
    w.state.fillPrintKindNames();
    w.window->setFileChooser([&](const QString&, const QString&, bool) { return path; });
    for (auto _ : run)
        w.window->mnuFileExportPdf_Click();
}
BENCHMARK(exportPdf)->Arg(2'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The print preview of the chosen kind (年間元帳) from the command to the
// first page drawn on the screen, tabulation included; closed once seen.
void previewPrintout(benchmark::State& run) {
    Window w(int(run.range(0)));
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
BENCHMARK(previewPrintout)->Arg(2'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The CSV command: the whole ledger (choice 0) or the term pages with their
// tabulation (2), in UTF-8, and the same in Shift_JIS (1, 3).
void exportCsv(benchmark::State& run) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("元帳.csv"));
    Window w(int(run.range(0)));
    w.window->setFileChooser([&](const QString&, QString& filter, bool) {
        filter = filter.split(QStringLiteral(";;")).value(int(run.range(1)));
        return path;
    });
    for (auto _ : run) {
        w.state.termsStale = true;
        w.window->mnuFileExportCsv_Click();
    }
    run.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(exportCsv)
    ->ArgsProduct({{10'000}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The receipt check from the command to its window filled.
void receiptCheck(benchmark::State& run) {
    Window w(int(run.range(0)));
    for (auto _ : run)
        w.window->mnuToolsReceiptCheck_Click();
}
BENCHMARK(receiptCheck)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(5);

void openLedgerFile(benchmark::State& run) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("大きな元帳.txt"));
    {
        ArticlePtr ledger = makeLedger(int(run.range(0)));
        saveLedgerFile(path, LedgerTitles{}, ledger);
    }
    for (auto _ : run) {
        run.PauseTiming();
        auto w = std::make_unique<Window>(0);
        run.ResumeTiming();
        w->window->loadArticleFile(path);
        run.PauseTiming();
        w.reset();
        run.ResumeTiming();
    }
}
BENCHMARK(openLedgerFile)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(3);

void saveLedgerFileFromWindow(benchmark::State& run) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("大きな元帳.txt"));
    Window w(int(run.range(0)));
    for (auto _ : run)
        w.window->saveArticleFile(path);
}
BENCHMARK(saveLedgerFileFromWindow)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(5);

// A class of 40 with 40 collections (all incomes of a 2,000-entry year
// given an amount per pupil would be too many: 40 is a busy year).
ArticlePtr makeCollectionLedger(int entries, int collections) {
    ArticlePtr ledger = makeLedger(entries);
    int made = 0;
    for (ArticlePtr e = ledger->nextArticle(); e && made < collections; e = e->nextArticle()) {
        if (e->taIncome() && e->taKey() % (entries / collections / 2 + 1) == 0) {
            e->setTaPerPerson(e->taAmount() / 40 + 1);
            e->setTaStudentsNumber(40);
            ++made;
        }
    }
    return ledger;
}

// A tick toggled on the 集金 page (40 pupils, 40 collections) and the
// table drawn again with the pupil's 未納額 and the column's foot.
void toggleRollTick(benchmark::State& run) {
    Window w(0);
    ArticlePtr ledger = makeCollectionLedger(2'000, 40);
    mergeIntoLedger(w.state.ledger, ledger);
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
BENCHMARK(toggleRollTick)->Unit(benchmark::kMillisecond)->Iterations(200);

// Opening a 2,000-entry ledger as the window does (read, lists, roll
// following the ledger) without (0) and with (1) its roll file of 40
// pupils × 40 collections, every other tick paid.
void openLedgerWithRoll(benchmark::State& run) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("集金のある元帳.txt"));
    {
        Window w(0);
        mergeIntoLedger(w.state.ledger, makeCollectionLedger(2'000, 40));
        w.state.studentCount = 40;
        w.window->SSTabSheets->setCurrentIndex(9);
        QAbstractItemModel* table = w.window->GridRoll->model();
        for (int pupil = 0; pupil < 40; ++pupil) {
            for (int column = pupil % 2; column < 40; column += 2)
                emit w.window->GridRoll->clicked(table->index(pupil, column));
        }
        w.window->saveArticleFile(path);
        if (run.range(0) == 0)
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
BENCHMARK(openLedgerWithRoll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
