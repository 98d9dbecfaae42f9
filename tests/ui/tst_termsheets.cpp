#include "FlexGrid.h"
#include "LedgerFile.h"
#include "SharedState.h"
#include "TermCalendar.h"
#include "frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <limits>

using namespace sorobe;

namespace {

ArticlePtr entry(bool income, QDate date, const QString& item, const QString& sub,
                 std::int32_t amount, std::int32_t key) {
    ArticlePtr e = SorobeArticle::create();
    e->setTaIncome(income);
    e->setTaDate(DateTime::fromQDate(date));
    e->setTaArticle(item);
    e->setTaSubArticle(sub);
    e->setTaAmount(amount);
    e->setTaKey(key);
    return e;
}

// Columns 0-4 of every data row, "|"-joined, for comparing a whole sheet.
QStringList rows(const FlexGrid* grid) {
    QStringList result;
    for (int r = 1; r < grid->Rows(); ++r) {
        QStringList cells;
        for (int c = 0; c <= 4; ++c)
            cells.append(grid->TextMatrix(r, c));
        result.append(cells.join(u'|'));
    }
    return result;
}

QColor foreColour(FlexGrid* grid, int row, int column) {
    grid->setRow(row);
    grid->setCol(column);
    return grid->CellForeColor();
}

// All of a term page that can be seen or read: the current cell, then per row
// its height and, per column, text, colour and alignment.
QStringList sheetState(FlexGrid* grid) {
    const int row = grid->Row();
    const int column = grid->Col();
    QStringList state{QStringLiteral("current %1,%2").arg(row).arg(column)};
    for (int r = 1; r < grid->Rows(); ++r) {
        QStringList cells{QString::number(grid->RowHeight(r))};
        for (int c = 0; c <= 5; ++c) {
            grid->setRow(r);
            grid->setCol(c);
            cells.append(grid->TextMatrix(r, c) + u'/' + grid->CellForeColor().name() + u'/' +
                         QString::number(grid->CellAlignment()));
        }
        state.append(cells.join(u'|'));
    }
    grid->setRow(row);
    grid->setCol(column);
    return state;
}

// A year of entries over every month, some negative so that lines and
// balances are red, items that repeat and items that appear once.
ArticlePtr yearOfEntries() {
    ArticlePtr ledger = SorobeArticle::create();
    std::int32_t key = 1;
    for (int n = 0; n < 36; ++n) {
        const QDate date = QDate(2002, 4, 3).addDays(n * 10);
        const bool income = n % 3 == 0;
        const std::int32_t amount = (n % 7 == 2 ? -300 : 100) * (n % 5 + 1);
        const QString item =
            n % 4 == 0 ? QStringLiteral("学級費") : QStringLiteral("品目%1").arg(n);
        ledger->addArticle(entry(income, date, item,
                                 n % 2 ? QStringLiteral("%1月分").arg(date.month()) : QString(),
                                 amount, key++));
    }
    return ledger;
}

} // namespace

class TestTermSheets : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;

    struct Loaded {
        SharedState state;
        std::unique_ptr<frmMain> window;
        Loaded() {
            window = std::make_unique<frmMain>(state);
            window->Form_Load();
        }
        void add(const ArticlePtr& e) { state.ledger->addArticle(e); }
        // The ledger taken into the window as an opened file is.
        void take(const ArticlePtr& ledger) {
            mergeIntoLedger(state.ledger, ledger);
            for (ArticlePtr e = state.ledger->nextArticle(); e; e = e->nextArticle()) {
                (e->taIncome() ? state.incomeCount : state.supplyCount)++;
                state.keyCounter = std::max(state.keyCounter, e->taKey() + 1);
            }
            window->MSFlexGridIncome->setRows(state.incomeCount + 1);
            window->MSFlexGridSupply->setRows(state.supplyCount + 1);
            window->showIncomeList();
            window->showSupplyList();
        }
        // Other entries in place of the ledger's, the pages told.
        void replaceLedger(const QList<ArticlePtr>& entries) {
            while (state.ledger->nextArticle())
                state.ledger->removeNextArticle();
            for (const ArticlePtr& e : entries)
                add(e);
            state.termsStale = true;
        }
        void recordIncome(QDate date, const QString& item, const QString& amount) {
            window->SSTabSheets->setCurrentIndex(1);
            window->CommandIncomeNew_Click();
            window->DTPickerIncomeDate->setDate(date);
            window->ComboIncomeArticle->setEditText(item);
            window->TextIncomeAmount->setText(amount);
            window->CommandIncomeRecord_Click();
        }
        void recordExpense(QDate date, const QString& item, const QString& amount) {
            window->SSTabSheets->setCurrentIndex(2);
            window->CommandSupplyNew_Click();
            window->DTPickerSupplyDate->setDate(date);
            window->ComboSupplyArticle->setEditText(item);
            window->TextSupplyAmount->setText(amount);
            window->CommandSupplyRecord_Click();
        }
        void select(int page) {
            window->SSTabSheets->setCurrentIndex(0);
            window->SSTabSheets->setCurrentIndex(page);
        }
    };

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    void emptyLedgerShowsOnlyTotalsAndCarryForwards() {
        Loaded loaded;
        loaded.state.termsStale = true;
        loaded.select(4); // 2学期
        QVERIFY(!loaded.state.termsStale);
        QCOMPARE(rows(loaded.window->MSFlexGridSpring), (QStringList{"|合　計|0|0|0"}));
        QCOMPARE(rows(loaded.window->MSFlexGridAutumn),
                 (QStringList{"1|１学期の繰越金 |0||0", "|合　計|0|0|0"}));
        QCOMPARE(rows(loaded.window->MSFlexGridYear), (QStringList{"|合　計|0|0|0"}));
    }

    void balanceRunsThroughIncomeThenExpenses() {
        Loaded loaded;
        loaded.add(entry(true, QDate(2002, 4, 10), "学級費", "4月分", 5000, 1));
        loaded.add(entry(false, QDate(2002, 4, 12), "画用紙", "", 10000, 2));
        loaded.add(entry(true, QDate(2002, 5, 10), "学級費", "5月分", 3000, 3));
        loaded.state.termsStale = true;
        loaded.select(3);
        FlexGrid* spring = loaded.window->MSFlexGridSpring;
        QCOMPARE(rows(spring),
                 (QStringList{"1|学級費 4月分|5,000||5,000", "2|学級費 5月分|3,000||8,000",
                              "3|画用紙 ||10,000|-2,000", "|合　計|8,000|10,000|-2,000"}));
        QCOMPARE(foreColour(spring, 3, 4), QColor(255, 0, 0));
        QCOMPARE(foreColour(spring, 2, 4), QColor(0, 0, 0));
        QCOMPARE(foreColour(spring, 3, 3), QColor(0, 0, 0));
        QCOMPARE(spring->TextMatrix(1, 5), QStringLiteral("1"));
        // The balance of 1学期 is carried into 2学期 as its first line.
        QCOMPARE(loaded.window->MSFlexGridAutumn->TextMatrix(1, 1),
                 QStringLiteral("１学期の繰越金 "));
        QCOMPARE(loaded.window->MSFlexGridAutumn->TextMatrix(1, 2), QStringLiteral("-2,000"));
        QCOMPARE(foreColour(loaded.window->MSFlexGridAutumn, 1, 2), QColor(255, 0, 0));
    }

    void aLongItemGetsATallerRow() {
        Loaded loaded;
        const QString longItem(60, QChar(u'遠'));
        loaded.add(entry(true, QDate(2002, 4, 10), longItem, "", 100, 1));
        loaded.add(entry(true, QDate(2002, 4, 11), "短い", "", 100, 2));
        loaded.state.termsStale = true;
        loaded.select(3);
        FlexGrid* spring = loaded.window->MSFlexGridSpring;
        const int standard = loaded.state.gridRowHeight;
        QCOMPARE(spring->RowHeight(2), standard);
        QVERIFY(spring->RowHeight(1) >= 2 * standard);
        QCOMPARE(spring->RowHeight(1) % standard, 0);
    }

    void termGridsShrinkWhileTheYearKeepsItsRows() {
        Loaded loaded;
        for (int i = 0; i < 10; ++i)
            loaded.add(entry(true, QDate(2002, 4, 1 + i), QStringLiteral("項目%1").arg(i), "", 100,
                             i + 1));
        loaded.state.termsStale = true;
        loaded.select(3);
        QCOMPARE(loaded.window->MSFlexGridSpring->Rows(), 12);
        QCOMPARE(loaded.window->MSFlexGridYear->Rows(), 12);

        for (int i = 0; i < 6; ++i)
            loaded.state.ledger->deleteArticle(loaded.state.ledger->nextArticle());
        loaded.state.termsStale = true;
        loaded.select(8);
        QCOMPARE(loaded.window->MSFlexGridSpring->Rows(), 6);
        FlexGrid* year = loaded.window->MSFlexGridYear;
        QCOMPARE(year->Rows(), 12);
        QCOMPARE(year->TextMatrix(5, 1), QStringLiteral("合　計"));
        QCOMPARE(year->TextMatrix(5, 2), QStringLiteral("400"));
        for (int r = 6; r < 12; ++r) {
            for (int c = 0; c <= 4; ++c)
                QVERIFY(year->TextMatrix(r, c).isEmpty());
        }
    }

    void onlyATermPageAfterAChangeTabulates() {
        Loaded loaded;
        loaded.add(entry(true, QDate(2002, 4, 10), "学級費", "", 100, 1));
        loaded.state.termsStale = true;
        for (int page : {0, 1, 2}) {
            loaded.window->SSTabSheets->setCurrentIndex(page);
            QVERIFY(loaded.state.termsStale);
        }
        loaded.window->SSTabSheets->setCurrentIndex(6); // 前期
        QVERIFY(!loaded.state.termsStale);
        QCOMPARE(loaded.window->MSFlexGridBefore->TextMatrix(1, 2), QStringLiteral("100"));

        // A change the pages were not told of is not shown: no tabulation without cause.
        loaded.add(entry(true, QDate(2002, 4, 11), "学級費", "", 50, 2));
        loaded.window->SSTabSheets->setCurrentIndex(3);
        QCOMPARE(loaded.window->MSFlexGridSpring->TextMatrix(1, 2), QStringLiteral("100"));
        loaded.state.termsStale = true;
        loaded.window->SSTabSheets->setCurrentIndex(4);
        QCOMPARE(loaded.window->MSFlexGridSpring->TextMatrix(1, 2), QStringLiteral("150"));
    }

    // A page filled only when it is looked at shows exactly what a page
    // filled at every tabulation shows: the same window, one kept on the
    // page and one on another term page, through recordings, an undo, a
    // file opened and entries taken away under the pages.
    void aPageFilledWhenLookedAtIsThePageFilledAtEveryTabulation_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("onScreen");
        for (int page = 3; page <= 8; ++page) {
            for (int steps = 1; steps <= 10; ++steps)
                QTest::addRow("page %d, %d steps", page, steps) << page << steps << false;
            // Windows on the screen, whose pages are shown and drawn.
            for (int steps : {4, 10})
                QTest::addRow("page %d, %d steps, on screen", page, steps) << page << steps << true;
        }
    }
    void aPageFilledWhenLookedAtIsThePageFilledAtEveryTabulation() {
        QFETCH(int, page);
        QFETCH(int, steps);
        QFETCH(bool, onScreen);
        const QTemporaryDir files;
        const QStringList paths{files.filePath(QStringLiteral("a.txt")),
                                files.filePath(QStringLiteral("b.txt"))};
        {
            Loaded writer;
            writer.take(yearOfEntries());
            for (const QString& path : paths)
                QVERIFY(writer.window->saveArticleFile(path));
        }

        Loaded looking;
        Loaded aside;
        const int asideHome = page == 3 ? 8 : page - 1;
        const QList<std::pair<Loaded*, int>> windows{{&looking, page}, {&aside, asideHome}};
        if (onScreen) {
            for (auto [w, home] : windows) {
                w->window->show();
                QVERIFY(QTest::qWaitForWindowExposed(w->window.get()));
            }
        }
        const QList<std::function<void(Loaded&, int, int)>> stepsTaken{
            [](Loaded& w, int, int) {
                w.take(yearOfEntries());
                w.state.termsStale = true;
            },
            [](Loaded& w, int, int) { w.recordIncome(QDate(2002, 5, 1), "寄付", "2500"); },
            [](Loaded& w, int, int) { w.recordExpense(QDate(2002, 11, 2), "品目新", "90000"); },
            [](Loaded& w, int, int) { w.window->mnuEditUndo_Click(); },
            [&](Loaded& w, int, int which) {
                w.state.modified = false;
                QVERIFY(w.window->openLedger(paths[which]));
            },
            // Items merged and a month taken away, with no recording to
            // tell the pages: the year's page keeps its rows.
            [](Loaded& w, int, int) {
                for (ArticlePtr e = w.state.ledger->nextArticle(); e; e = e->nextArticle()) {
                    if (e->taArticle().startsWith(u'品') && e->taKey() % 2 == 0)
                        e->setTaArticle(QStringLiteral("学級費"));
                }
                for (ArticlePtr e = w.state.ledger; e->nextArticle();) {
                    if (e->nextArticle()->taDate().month() == 6)
                        e->removeNextArticle();
                    else
                        e = e->nextArticle();
                }
                w.state.termsStale = true;
            },
            [](Loaded& w, int, int) { w.replaceLedger({}); },
            // Red expenses, then incomes in their rows, then a period left
            // empty: its 合　計 row shows the colours of the expenses.
            [](Loaded& w, int, int) {
                w.replaceLedger({entry(false, QDate(2002, 4, 10), "返金", "", -100, 1),
                                 entry(false, QDate(2002, 5, 10), "返金", "5月分", -200, 2),
                                 entry(false, QDate(2003, 1, 10), "返金", "1月分", -300, 3)});
            },
            [](Loaded& w, int, int) {
                w.replaceLedger({entry(true, QDate(2002, 4, 10), "会費", "", 100, 4),
                                 entry(true, QDate(2002, 5, 10), "会費", "5月分", 200, 5),
                                 entry(true, QDate(2003, 1, 10), "会費", "1月分", 300, 6)});
            },
            [](Loaded& w, int, int) {
                w.replaceLedger({entry(true, QDate(2003, 1, 10), "会費", "1月分", 300, 6)});
            },
        };
        for (int step = 0; step < steps; ++step) {
            for (int which = 0; which < 2; ++which) {
                auto [w, home] = windows[which];
                stepsTaken[step](*w, home, which);
                w->select(home);
                if (onScreen)
                    QTest::qWait(1);
            }
        }

        const Period period = termPeriods[std::size_t(page - 3)].period;
        FlexGrid* owed = aside.window->termGrid(period);
        QVERIFY(owed->hasPendingFill());
        // Read without being shown, then shown: the same page either way.
        QCOMPARE(sheetState(owed), sheetState(looking.window->termGrid(period)));
        QCOMPARE(aside.state.sheetRowCount, looking.state.sheetRowCount);
        aside.select(page);
        QCOMPARE(sheetState(owed), sheetState(looking.window->termGrid(period)));
    }

    void anOverflowSaysSoAndKeepsThePagesStale() {
        Loaded loaded;
        const std::int32_t max = std::numeric_limits<std::int32_t>::max();
        loaded.add(entry(true, QDate(2002, 9, 1), "寄付", "", max, 1));
        loaded.add(entry(true, QDate(2002, 10, 1), "寄付", "", max, 2));
        loaded.state.termsStale = true;

        QString message;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message = box->text();
                box->accept();
            }
        });
        loaded.window->SSTabSheets->setCurrentIndex(3);
        QVERIFY(message.contains(QStringLiteral("大きすぎる")));
        QVERIFY(loaded.state.termsStale);
        // The window goes on working: the entry pages still answer.
        loaded.window->SSTabSheets->setCurrentIndex(1);
        QVERIFY(loaded.window->CommandIncomeNew->isEnabled());
    }
};

QTEST_MAIN(TestTermSheets)
#include "tst_termsheets.moc"
