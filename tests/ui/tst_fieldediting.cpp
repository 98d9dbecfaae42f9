// Typing into the entry fields: the character filters (a refused character
// empties the whole field), numbers too wide for their field, the zero rule
// of the amounts, the text selected on Tab, Enter in every field with a key
// handler, the arrow keys of the pupil and receipt fields and the spin button.

#include "EntryPageDriver.h"
#include "FlexGrid.h"
#include "GeneralDate.h"
#include "SharedState.h"
#include "UpDownButton.h"
#include "frmMain.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace sorobe;

namespace {

struct Page : PageDriver {
    explicit Page(int tab)
        : PageDriver(tab) {}
    // The user clicks into a field and empties it.
    void clear(const QString& name) {
        click(name);
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_Delete);
    }
    bool newOpen(bool income) { return mode(income ? "Income" : "Supply") == "New"; }
    void load(std::initializer_list<ArticlePtr> entries) { addEntries(entries); }
};

ArticlePtr entry(bool income, int day, int receipt, const QString& item) {
    ArticlePtr e = SorobeArticle::create();
    e->setTaIncome(income);
    e->setTaDate(DateTime::fromDate(2001, 5, day));
    e->setTaReceipt(std::int16_t(receipt));
    e->setTaArticle(item);
    e->setTaAmount(100 * day);
    e->setTaStudentsNumber(30);
    return e;
}

} // namespace

class TestFieldEditing : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    void filtersAndWidths_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        auto row = [](const char* name, const char* field, const char* typed, const char* shown) {
            QTest::newRow(name) << QString::fromLatin1(field) << QString::fromUtf8(typed)
                                << QString::fromLatin1(shown);
        };
        const char *amount = "TextIncomeAmount", *supply = "TextSupplyAmount",
                   *perPupil = "TextIncomePerPerson", *pupils = "TextIncomeStudents",
                   *receipt = "ComboSupplyReceipt";
        row("amount 12a", amount, "12a", "");
        row("amount full-width", amount, "１２", "");
        row("amount 0", amount, "0", "");
        row("amount -0", amount, "-0", "");
        row("amount -", amount, "-", "-");
        row("amount -5", amount, "-5", "-5");
        row("amount 1 2", amount, "1 2", "1 2");
        row("amount largest", amount, "2147483647", "2147483647");
        row("amount too large", amount, "2147483648", "");
        row("amount smallest", amount, "-2147483648", "-2147483648");
        row("amount too small", amount, "-2147483649", "");
        row("expense 12a", supply, "12a", "");
        row("expense 0", supply, "0", "");
        row("expense -5", supply, "-5", "-5");
        row("expense too large", supply, "3000000000", "");
        row("per pupil x", perPupil, "5x", "");
        row("per pupil 0", perPupil, "0", "");
        row("per pupil -", perPupil, "-", "-");
        row("per pupil x 30 too large", perPupil, "100000000", "");
        row("per pupil x 30 too small", perPupil, "-100000000", "");
        row("pupils -", pupils, "-", "");
        row("pupils full-width", pupils, "1２", "");
        row("pupils 32767", pupils, "32767", "32767");
        row("pupils 32768", pupils, "32768", "");
        row("receipt -", receipt, "-", "");
        row("receipt 12a", receipt, "12a", "");
        row("receipt full-width", receipt, "０", "");
        row("receipt 32767", receipt, "32767", "32767");
        row("receipt 32768", receipt, "32768", "");
        row("number a", "TextIncomeNo", "a", "");
        row("expense number -", "TextSupplyNo", "-", "");
    }
    void filtersAndWidths() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        const bool income = field.contains(u"Income");
        Page p(income ? 1 : 2);
        if (!field.endsWith(u"No"))
            p.click(income ? "CommandIncomeNew" : "CommandSupplyNew");
        p.clear(field);
        type(typed);
        QCOMPARE(p.texts({field}), shown);
        QCOMPARE(focusName(), field);
        QVERIFY(p.state.ledger->nextArticle() == nullptr);
        if (field.endsWith(u"Amount") && !shown.isEmpty() && shown != u"-") {
            press(Qt::Key_Return); // what the field holds is what is recorded
            QCOMPARE(p.state.ledger->nextArticle()->taAmount(), shown.remove(u' ').toInt());
        }
    }

    // When the filter throws out a field the amount follows from, the amount
    // goes with it; an amount typed by hand stays.
    void aRefusedFactorEmptiesTheAmount_data() {
        QTest::addColumn<QString>("pupils");
        QTest::addColumn<QString>("perPupil");
        QTest::addColumn<QString>("amount"); // typed by hand when not empty
        QTest::addColumn<QString>("field");  // then typed into
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // the amount afterwards
        QTest::newRow("per pupil beyond 32 bits") << "30"
                                                  << "10000000"
                                                  << ""
                                                  << "TextIncomePerPerson"
                                                  << "0"
                                                  << "";
        QTest::newRow("per pupil letter") << "30"
                                          << "500"
                                          << ""
                                          << "TextIncomePerPerson"
                                          << "x"
                                          << "";
        QTest::newRow("pupils beyond 32 bits") << "2"
                                               << "100000000"
                                               << ""
                                               << "TextIncomeStudents"
                                               << "2"
                                               << "";
        QTest::newRow("pupils minus") << "30"
                                      << "500"
                                      << ""
                                      << "TextIncomeStudents"
                                      << "-"
                                      << "";
        QTest::newRow("pupils beyond 16 bits") << "3"
                                               << "5"
                                               << ""
                                               << "TextIncomeStudents"
                                               << "2768"
                                               << "";
        QTest::newRow("typed amount, per pupil letter") << "30"
                                                        << ""
                                                        << "3000"
                                                        << "TextIncomePerPerson"
                                                        << "x"
                                                        << "3000";
        QTest::newRow("typed amount, pupils minus") << "30"
                                                    << ""
                                                    << "3000"
                                                    << "TextIncomeStudents"
                                                    << "-"
                                                    << "3000";
        QTest::newRow("typed amount, per pupil minus then letter") << "30"
                                                                   << ""
                                                                   << "3000"
                                                                   << "TextIncomePerPerson"
                                                                   << "-x"
                                                                   << "3000";
    }
    void aRefusedFactorEmptiesTheAmount() {
        QFETCH(QString, pupils);
        QFETCH(QString, perPupil);
        QFETCH(QString, amount);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Page p(1);
        p.click("CommandIncomeNew");
        p.clear("TextIncomeStudents");
        type(pupils);
        p.click("TextIncomePerPerson");
        type(perPupil);
        if (!amount.isEmpty()) {
            p.clear("TextIncomeAmount");
            type(amount);
        }
        QVERIFY(!p.texts({"TextIncomeAmount"}).isEmpty());
        p.click(field);
        press(Qt::Key_End);
        type(typed);
        QCOMPARE(p.texts({field}), QString());
        QCOMPARE(focusName(), field);
        QCOMPARE(p.texts({"TextIncomeAmount"}), shown);
    }

    // Reached by keyboard, a field's whole text is selected, so typing replaces it.
    void tabSelectsTheWholeText_data() {
        QTest::addColumn<int>("tabs"); // Tabs from the item, or Shift+Tabs from the pupils
        QTest::addColumn<QString>("field");
        QTest::newRow("per pupil") << 2 << QStringLiteral("TextIncomePerPerson");
        QTest::newRow("pupils") << 3 << QStringLiteral("TextIncomeStudents");
        QTest::newRow("amount") << 4 << QStringLiteral("TextIncomeAmount");
        QTest::newRow("sub-item") << -2 << QStringLiteral("ComboIncomeSubArticle");
        QTest::newRow("item") << -3 << QStringLiteral("ComboIncomeArticle");
    }
    void tabSelectsTheWholeText() {
        QFETCH(int, tabs);
        QFETCH(QString, field);
        Page p(1);
        p.click("CommandIncomeNew");
        type(QStringLiteral("遠足代"));
        press(Qt::Key_Tab);
        type(QStringLiteral("4月分"));
        press(Qt::Key_Tab);
        type(QStringLiteral("500"));
        const QString before = p.texts({field});
        p.click(tabs > 0 ? "ComboIncomeArticle" : "TextIncomeStudents");
        for (int i = 0; i < std::abs(tabs); ++i)
            press(Qt::Key_Tab, tabs > 0 ? Qt::NoModifier : Qt::ShiftModifier);
        QCOMPARE(focusName(), field);
        auto* combo = p.window.findChild<QComboBox*>(field);
        QCOMPARE((combo ? combo->lineEdit() : p.get<QLineEdit>(field))->selectedText(), before);
        type(QStringLiteral("2"));
        QCOMPARE(p.texts({field}), QStringLiteral("2"));
    }

    void enterStartsThenRecords_data() {
        QTest::addColumn<QString>("field");
        for (const char* name :
             {"TextIncomeNo", "TextIncomePerPerson", "TextIncomeStudents", "TextIncomeAmount",
              "TextSupplyNo", "TextSupplyAmount", "ComboSupplyReceipt"})
            QTest::newRow(name) << name;
    }
    void enterStartsThenRecords() {
        QFETCH(QString, field);
        const bool income = field.contains(u"Income");
        Page p(income ? 1 : 2);
        p.click(field);
        press(Qt::Key_Return);
        QVERIFY(p.newOpen(income));
        p.click(field);
        press(Qt::Key_Return); // no amount: nothing
        QVERIFY(p.newOpen(income));
        QVERIFY(p.state.ledger->nextArticle() == nullptr);
        p.click(income ? "TextIncomeAmount" : "TextSupplyAmount");
        type(QStringLiteral("700"));
        p.click(field);
        press(Qt::Key_Return);
        QVERIFY(p.state.ledger->nextArticle());
        QCOMPARE(p.state.ledger->nextArticle()->taAmount(), 700);
        QCOMPARE(p.texts({income ? "TextIncomeNo" : "TextSupplyNo"}), QStringLiteral("1"));
    }

    // Only an edit that changes the amount cuts it loose from ＠100×30人.
    void onlyAChangedAmountDropsThePerPupilAmount_data() {
        QTest::addColumn<QStringList>("keys"); // key names, or "=text" typed
        QTest::addColumn<QString>("recorded"); // per pupil|amount
        QTest::newRow("Enter twice") << QStringList{"Return", "Return"} << "100|3000";
        QTest::newRow("arrows") << QStringList{"Left", "Right", "Up", "Down"} << "100|3000";
        QTest::newRow("Home End") << QStringList{"Home", "End"} << "100|3000";
        QTest::newRow("Tab") << QStringList{"Tab"} << "100|3000";
        QTest::newRow("Shift Tab") << QStringList{"Shift", "Backtab"} << "100|3000";
        QTest::newRow("Backspace at the start") << QStringList{"Home", "Backspace"} << "100|3000";
        QTest::newRow("a digit over itself") << QStringList{"End", "ShiftLeft", "=0"} << "100|3000";
        QTest::newRow("a digit added") << QStringList{"End", "=5"} << "0|30005";
        QTest::newRow("Backspace at the end") << QStringList{"End", "Backspace"} << "0|300";
    }
    void onlyAChangedAmountDropsThePerPupilAmount() {
        QFETCH(QStringList, keys);
        QFETCH(QString, recorded);
        const QHash<QString, Qt::Key> named{{"Return", Qt::Key_Return},
                                            {"Left", Qt::Key_Left},
                                            {"Right", Qt::Key_Right},
                                            {"Up", Qt::Key_Up},
                                            {"Down", Qt::Key_Down},
                                            {"Home", Qt::Key_Home},
                                            {"End", Qt::Key_End},
                                            {"Tab", Qt::Key_Tab},
                                            {"Backtab", Qt::Key_Backtab},
                                            {"Shift", Qt::Key_Shift},
                                            {"Backspace", Qt::Key_Backspace}};
        Page p(1);
        p.click("CommandIncomeNew");
        p.click("TextIncomePerPerson");
        type(QStringLiteral("100"));
        p.click("TextIncomeAmount");
        for (const QString& key : keys) {
            if (key.startsWith(u'='))
                type(key.mid(1));
            else if (key == u"ShiftLeft")
                press(Qt::Key_Left, Qt::ShiftModifier);
            else
                press(named.value(key));
        }
        p.click("CommandIncomeRecord");
        const ArticlePtr first = p.state.ledger->nextArticle();
        QVERIFY(first && !first->nextArticle());
        QCOMPARE(QStringLiteral("%1|%2").arg(first->taPerPerson()).arg(first->taAmount()),
                 recorded);
    }

    // An entry recorded again with its date untouched keeps it exactly, time
    // of day and years before 1752 included; a date the user changes is taken.
    void anUntouchedDateIsKept_data() {
        QTest::addColumn<bool>("income");
        QTest::addColumn<QString>("stored"); // as the file holds it
        QTest::addColumn<QDate>("shown");    // by the date picker
        QTest::addColumn<QDate>("picked");   // chosen by the user, if valid
        QTest::addColumn<QString>("recorded");
        for (bool income : {true, false}) {
            const char* kind = income ? "income" : "expense";
            QTest::addRow("%s with a time", kind)
                << income << "2026/04/10 10:30:00" << QDate(2026, 4, 10) << QDate()
                << "2026/04/10 10:30:00";
            QTest::addRow("%s in 1700", kind)
                << income << "1700/02/03" << QDate(1700, 2, 3) << QDate() << "1700/02/03";
            QTest::addRow("%s date changed", kind)
                << income << "2026/04/10 10:30:00" << QDate(2026, 4, 10) << QDate(1600, 5, 6)
                << "1600/05/06";
        }
        QTest::newRow("income in the year 50")
            << true << "0050/01/01" << QDate(100, 1, 1) << QDate() << "0050/01/01";
    }
    void anUntouchedDateIsKept() {
        QFETCH(bool, income);
        QFETCH(QString, stored);
        QFETCH(QDate, shown);
        QFETCH(QDate, picked);
        QFETCH(QString, recorded);
        Page p(income ? 1 : 2);
        ArticlePtr e = entry(income, 1, 5, "A");
        e->setTaDate(*parseGeneralDate(stored));
        p.load({e});
        const QString kind = income ? "Income" : "Supply";
        p.clickCell("MSFlexGrid" + kind, 1, 0);
        auto* date = p.get<QDateEdit>("DTPicker" + kind + "Date");
        QCOMPARE(date->date(), shown);
        if (picked.isValid())
            date->setDate(picked);
        p.clear("Text" + kind + "Amount");
        type(QStringLiteral("700"));
        p.click("Command" + kind + "Record");
        const ArticlePtr first = p.state.ledger->nextArticle();
        QVERIFY(first && !first->nextArticle());
        QCOMPARE(first->taAmount(), 700);
        QCOMPARE(formatGeneralDate(first->taDate()), recorded);
    }

    void upAndDownStepThroughTheIncomeEntries() {
        Page p(1);
        p.load({entry(true, 1, 0, "A"), entry(true, 2, 0, "B"), entry(true, 3, 0, "C"),
                entry(true, 4, 0, "D"), entry(true, 5, 0, "E")});
        p.click("TextIncomeNo");
        type(QStringLiteral("5"));
        p.click("TextIncomeStudents");
        press(Qt::Key_Down);
        QCOMPARE(p.texts({"TextIncomeNo", "ComboIncomeArticle"}), QStringLiteral("5|E"));
        press(Qt::Key_Up);
        QCOMPARE(p.texts({"TextIncomeNo", "ComboIncomeArticle"}), QStringLiteral("4|D"));
        QCOMPARE(focusName(), QStringLiteral("TextIncomeStudents"));
        press(Qt::Key_Left);
        QCOMPARE(focusName(), QStringLiteral("TextIncomeNo"));
        p.click("TextIncomeStudents");
        press(Qt::Key_Right);
        QCOMPARE(focusName(), QStringLiteral("ComboIncomeArticle"));
        // With a new entry open the number moves but nothing is loaded.
        p.click("CommandIncomeNew");
        p.click("TextIncomeStudents");
        press(Qt::Key_Up);
        QCOMPARE(p.texts({"TextIncomeNo", "ComboIncomeArticle"}), QStringLiteral("5|"));
        QVERIFY(p.newOpen(true));
    }

    void upAndDownInTheReceiptKeepTheLoadedReceipt() {
        Page p(2);
        p.load({entry(false, 1, 4, "A"), entry(false, 2, 0, "B"), entry(false, 3, 9, "C")});
        p.window.fillSupplyReceiptList();
        p.click("ComboSupplyReceipt");
        const QStringList fields{"TextSupplyNo", "ComboSupplyReceipt", "ComboSupplyArticle"};
        press(Qt::Key_Down); // an empty number counts as 0
        QCOMPARE(p.texts(fields), QStringLiteral("1|4|A"));
        press(Qt::Key_Down);
        QCOMPARE(p.texts(fields), QStringLiteral("2|0|B"));
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QCOMPARE(p.texts(fields), QStringLiteral("3|9|C"));
        press(Qt::Key_Up);
        QCOMPARE(p.texts(fields), QStringLiteral("2|0|B"));
        QCOMPARE(focusName(), QStringLiteral("ComboSupplyReceipt"));
        press(Qt::Key_Left);
        QCOMPARE(focusName(), QStringLiteral("TextSupplyNo"));
        p.click("ComboSupplyReceipt");
        press(Qt::Key_Right);
        QCOMPARE(focusName(), QStringLiteral("ComboSupplyArticle"));
    }

    void spinButtonStepsThePupils() {
        Page p(1);
        p.click("CommandIncomeNew");
        p.click("TextIncomePerPerson");
        type(QStringLiteral("100"));
        auto* spin = p.get<UpDownButton>("UpDownIncomeStudents");
        QTest::mouseClick(spin->findChild<QToolButton*>("up"), Qt::LeftButton);
        QCOMPARE(p.texts({"TextIncomeStudents"}), QStringLiteral("31"));
        QCOMPARE(p.texts({"TextIncomeAmount"}), QStringLiteral("3100"));
        p.clear("TextIncomeStudents");
        type(QStringLiteral("999"));
        QTest::mouseClick(spin->findChild<QToolButton*>("up"), Qt::LeftButton);
        QCOMPARE(p.texts({"TextIncomeStudents"}), QStringLiteral("999"));
        p.clear("TextIncomeStudents");
        type(QStringLiteral("1"));
        QTest::mouseClick(spin->findChild<QToolButton*>("down"), Qt::LeftButton);
        QTest::mouseClick(spin->findChild<QToolButton*>("down"), Qt::LeftButton);
        QCOMPARE(p.texts({"TextIncomeStudents"}), QStringLiteral("0"));
        QCOMPARE(p.texts({"TextIncomeAmount"}), QStringLiteral("100"));
    }
};

QTEST_MAIN(TestFieldEditing)
#include "tst_fieldediting.moc"
