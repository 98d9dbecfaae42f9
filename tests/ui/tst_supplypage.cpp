// The expense page: where it differs from the income page (the receipt number
// typed first, looked up when typed or chosen, kept by Cancel), its list and
// the money left shown on both pages.

#include "../app/ModalWatcher.h"
#include "EntryPageDriver.h"
#include "FlexGrid.h"
#include "SharedState.h"
#include "frmMain.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace sorobe;

namespace {

const QColor red(255, 0, 0), black(0, 0, 0);

struct Page : PageDriver {
    Page()
        : PageDriver(2) {
        click("TextSupplyNo");
    }
    QDate date() { return get<QDateEdit>("DTPickerSupplyDate")->date(); }
    void clickCell(int row, int col) { PageDriver::clickCell("MSFlexGridSupply", row, col); }
    QString mode() { return PageDriver::mode("Supply"); }
    QStringList rows() { return PageDriver::rows("MSFlexGridSupply"); }
    // Entries as a loaded file brings them, both lists shown.
    void load(std::initializer_list<ArticlePtr> entries) {
        addEntries(entries);
        window.fillSupplyReceiptList();
        click("TextSupplyNo");
    }
    // New, receipt, Right to the item, Tab to the amount, Enter: an expense typed.
    void typeExpense(const QString& receipt, const QString& item, const QString& amount,
                     QDate date = {}) {
        click("CommandSupplyNew");
        type(receipt);
        if (date.isValid())
            get<QDateEdit>("DTPickerSupplyDate")->setDate(date);
        press(Qt::Key_Right);
        type(item);
        press(Qt::Key_Tab);
        type(amount);
        press(Qt::Key_Return);
    }
};

ArticlePtr entry(bool income, QDate date, int receipt, const QString& item, int amount) {
    ArticlePtr e = SorobeArticle::create();
    e->setTaIncome(income);
    e->setTaDate(DateTime::fromQDate(date));
    e->setTaReceipt(std::int16_t(receipt));
    e->setTaArticle(item);
    e->setTaAmount(amount);
    return e;
}

QColor textColour(FlexGrid* grid, int row, int col) {
    grid->setRow(row);
    grid->setCol(col);
    return grid->CellForeColor();
}

} // namespace

class TestSupplyPage : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    void newStartsAtTheReceiptAndCancelKeepsIt() {
        Page p;
        p.click("ComboSupplyReceipt");
        type(QStringLiteral("5"));
        p.click("CommandSupplyNew");
        QCOMPARE(p.mode(), QStringLiteral("New"));
        QCOMPARE(focusName(), QStringLiteral("ComboSupplyReceipt"));
        QCOMPARE(p.texts({"TextSupplyNo", "ComboSupplyReceipt"}), QStringLiteral("1|"));
        QVERIFY(p.get<QLineEdit>("TextSupplyNo")->isReadOnly());
        QCOMPARE(p.state.studentCount, std::int16_t(30));
        type(QStringLiteral("7"));
        press(Qt::Key_Right);
        type(QStringLiteral("画用紙"));
        press(Qt::Key_Tab);
        type(QStringLiteral("1200"));
        p.get<QDateEdit>("DTPickerSupplyDate")->setDate({2001, 5, 1});
        p.click("CommandSupplyCancel");
        QCOMPARE(p.mode(), QStringLiteral("Browsing"));
        QCOMPARE(p.texts({"TextSupplyNo", "ComboSupplyReceipt", "ComboSupplyArticle",
                          "TextSupplyAmount"}),
                 QStringLiteral("|7||"));
        QCOMPARE(p.date(), QDate::currentDate());
        QCOMPARE(focusName(), QStringLiteral("TextSupplyNo"));
        QCOMPARE(p.rows(), QStringList());
        QCOMPARE(p.state.supplyCount, std::int16_t(0));
        QVERIFY(!p.state.ledger->nextArticle());
    }

    // The date follows a receipt number that exists; a number that turns
    // out to be new gives back the date the expense had.
    void receiptLookupWhenTyped() {
        Page p;
        p.load({entry(true, {2001, 4, 20}, 0, QStringLiteral("集金"), 9000),
                entry(false, {2001, 4, 10}, 1, QStringLiteral("のり"), 200),
                entry(false, {2001, 5, 10}, 12, QStringLiteral("画用紙"), 500)});
        p.click("CommandSupplyNew");
        type(QStringLiteral("1"));
        QCOMPARE(p.date(), QDate(2001, 4, 10));
        type(QStringLiteral("2"));
        QCOMPARE(p.date(), QDate(2001, 5, 10));
        press(Qt::Key_Backspace);
        type(QStringLiteral("6")); // 16: no entry carries it
        QCOMPARE(p.date(), QDate::currentDate());
        press(Qt::Key_Backspace);
        press(Qt::Key_Backspace);
        type(QStringLiteral("0")); // the income entries' 0 is no receipt
        QCOMPARE(p.date(), QDate::currentDate());
        // A date chosen by hand is the one a new number gives back.
        p.get<QDateEdit>("DTPickerSupplyDate")->setDate({2001, 6, 1});
        type(QStringLiteral("17"));
        QCOMPARE(p.date(), QDate(2001, 6, 1));
        press(Qt::Key_Right);
        type(QStringLiteral("はさみ"));
        press(Qt::Key_Tab);
        type(QStringLiteral("400"));
        press(Qt::Key_Return);
        QCOMPARE(p.rows().last(), QStringLiteral("3|01/06/01|No.17|はさみ|400"));
    }

    void receiptLookupWhenChosenFromTheList() {
        Page p;
        p.typeExpense(QStringLiteral("3"), QStringLiteral("のり"), QStringLiteral("300"),
                      {2001, 6, 1});
        QCOMPARE(p.mode(), QStringLiteral("Editing"));
        p.click("CommandSupplyNew");
        auto* combo = p.get<QComboBox>("ComboSupplyReceipt");
        const int index = combo->findText(QStringLiteral(" 3")); // the choices stay as they were
        QVERIFY(index >= 0);
        QCOMPARE(p.date(), QDate::currentDate());
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        QTRY_VERIFY(list->isVisible());
        const QRect item = list->visualRect(list->model()->index(index, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTRY_COMPARE(p.date(), QDate(2001, 6, 1));
        QCOMPARE(combo->currentText().trimmed(), QStringLiteral("3"));
    }

    void anExpenseWithoutReceiptShowsZero() {
        Page p;
        p.typeExpense(QString(), QStringLiteral("切手"), QStringLiteral("80"));
        QCOMPARE(p.texts({"TextSupplyNo", "ComboSupplyReceipt"}), QStringLiteral("1|0"));
        QCOMPARE(p.rows(),
                 QStringList{"1|" + QDate::currentDate().toString("yy/MM/dd") + "||切手|80"});
        p.click("CommandSupplyRecord");
        QCOMPARE(p.state.ledger->nextArticle()->taReceipt(), std::int16_t(0));
        QVERIFY(!p.state.ledger->nextArticle()->nextArticle());
        QCOMPARE(p.texts({"ComboSupplyReceipt"}), QStringLiteral("0"));
    }

    void listOrderCellsAndColours() {
        Page p;
        p.load({entry(false, {2001, 5, 2}, 7, QStringLiteral("お茶"), 1500),
                entry(false, {2001, 5, 2}, 2, QStringLiteral("払い戻し"), -2500),
                entry(false, {2001, 5, 1}, 0, QStringLiteral("切手"), 80)});
        QCOMPARE(p.rows(), (QStringList{"1|01/05/01||切手|80", "2|01/05/02|No.2|払い戻し|-2,500",
                                        "3|01/05/02|No.7|お茶|1,500"}));
        auto* grid = p.get<FlexGrid>("MSFlexGridSupply");
        QCOMPARE((QList<QColor>{textColour(grid, 2, 2), textColour(grid, 3, 2),
                                textColour(grid, 2, 4), textColour(grid, 3, 4)}),
                 (QList<QColor>{red, red, red, black}));
        QCOMPARE(grid->TextMatrix(3, 5), QStringLiteral("0"));
        grid->setTextMatrix(1, 3, QStringLiteral("x")); // every refresh writes every row
        type(QStringLiteral("2"));
        QCOMPARE(p.texts({"ComboSupplyReceipt", "ComboSupplyArticle", "TextSupplyAmount"}),
                 QStringLiteral("2|払い戻し|-2500"));
        QCOMPARE(p.date(), QDate(2001, 5, 2));
        // An entry shows its own date, also when an earlier line shares its
        // receipt, and recording it again leaves it on that date.
        p.load({entry(false, {2001, 5, 9}, 7, QStringLiteral("紙コップ"), 300)});
        QCOMPARE(grid->TextMatrix(1, 3), QStringLiteral("切手"));
        type(QStringLiteral("4"));
        QCOMPARE(p.texts({"ComboSupplyArticle"}), QStringLiteral("紙コップ"));
        QCOMPARE(p.date(), QDate(2001, 5, 9));
        p.click("ComboSupplyReceipt"); // its own number typed again
        press(Qt::Key_End);
        press(Qt::Key_Backspace);
        type(QStringLiteral("7"));
        QCOMPARE(p.date(), QDate(2001, 5, 9));
        p.click("TextSupplyAmount");
        type(QStringLiteral("350"));
        p.click("CommandSupplyRecord");
        QCOMPARE(p.rows().last(), QStringLiteral("4|01/05/09|No.7|紙コップ|350"));
    }

    void aListClickFocusesTheClickedColumn() {
        Page p;
        p.load({entry(false, {2001, 5, 1}, 4, "A", 100), entry(false, {2001, 5, 2}, 5, "B", 200)});
        const char* const fields[] = {"TextSupplyNo", "DTPickerSupplyDate", "ComboSupplyReceipt",
                                      "ComboSupplyArticle", "TextSupplyAmount"};
        for (int column = 4; column >= 0; --column) {
            p.clickCell(2, column);
            QCOMPARE(p.mode(), QStringLiteral("Editing"));
            QCOMPARE(p.texts({"TextSupplyNo", "ComboSupplyArticle"}), QStringLiteral("2|B"));
            QCOMPARE(focusName(), QString::fromLatin1(fields[column]));
            QCOMPARE(p.state.supplyHighlightRow, std::int16_t(2));
        }
    }

    void aNegativeBalanceIsRedOnBothPages() {
        Page p;
        p.load({entry(true, {2001, 4, 5}, 0, QStringLiteral("集金"), 1000)});
        p.typeExpense(QStringLiteral("1"), QStringLiteral("遠足"), QStringLiteral("1300"));
        for (const char* name : {"LabelIncomeRemainder", "LabelSupplyRemainder"}) {
            QCOMPARE(p.get<QLabel>(name)->text(), QStringLiteral("-300"));
            QCOMPARE(p.get<QLabel>(name)->palette().color(QPalette::WindowText), red);
        }
        p.get<QTabWidget>("SSTabSheets")->setCurrentIndex(1);
        p.click("CommandIncomeNew");
        p.click("TextIncomeAmount");
        type(QStringLiteral("300"));
        press(Qt::Key_Return);
        for (const char* name : {"LabelIncomeRemainder", "LabelSupplyRemainder"}) {
            QCOMPARE(p.get<QLabel>(name)->text(), QStringLiteral("0"));
            QCOMPARE(p.get<QLabel>(name)->palette().color(QPalette::WindowText), black);
        }
    }

    void deleteAsksNothingAndEnterStartsTheNext() {
        Page p;
        p.load({entry(false, {2001, 5, 1}, 1, "A", 100), entry(false, {2001, 5, 2}, 2, "B", 200),
                entry(false, {2001, 5, 3}, 0, "C", 300)});
        p.state.sheetRowCount.fill(9);
        p.clickCell(2, 3);
        ModalWatcher watcher([](QWidget*) {});
        p.click("CommandSupplyDelete");
        QVERIFY(!watcher.sawModal());
        QCOMPARE(p.rows(), (QStringList{"1|01/05/01|No.1|A|100", "2|01/05/03||C|300"}));
        QVERIFY(p.state.modified && p.state.termsStale);
        QCOMPARE(p.state.sheetRowCount, (std::array<int, 6>{1, 1, 1, 1, 1, 1}));
        QCOMPARE(p.get<QLabel>("LabelIncomeRemainder")->text(), QStringLiteral("-400"));
        QCOMPARE(focusName(), QStringLiteral("ComboSupplyReceipt"));
        press(Qt::Key_Return);
        QCOMPARE(p.mode(), QStringLiteral("New"));
        QCOMPARE(p.texts({"TextSupplyNo"}), QStringLiteral("3"));
    }
};

QTEST_MAIN(TestSupplyPage)
#include "tst_supplypage.moc"
