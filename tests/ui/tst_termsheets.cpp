#include "FlexGrid.h"
#include "SharedState.h"
#include "frmMain.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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
