// The income page driven as a teacher drives it: buttons clicked, keys typed
// into whatever has the focus, list rows clicked. Its three states, New,
// Record, Delete and Cancel, choosing an entry by number and from the list, the
// list itself, and an evening's typing of income and expenses by keyboard.

#include "../app/ModalWatcher.h"
#include "EntryPageDriver.h"
#include "FlexGrid.h"
#include "SharedState.h"
#include "UpDownButton.h"
#include "frmMain.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace sorobe;

namespace {

const QColor red(255, 0, 0), black(0, 0, 0), yellow(255, 255, 200), white(255, 255, 255);

QString today(const char* format = "yy/MM/dd") {
    return QDate::currentDate().toString(QString::fromLatin1(format));
}

struct Page : PageDriver {
    explicit Page(int tab = 1)
        : PageDriver(tab) {
        click(tab == 1 ? "TextIncomeNo" : "TextSupplyNo");
    }
    QString mode(const QString& page = QStringLiteral("Income")) { return PageDriver::mode(page); }
    QStringList rows(const QString& grid = QStringLiteral("MSFlexGridIncome")) {
        return PageDriver::rows(grid);
    }
    QStringList ledger() {
        QStringList lines;
        for (ArticlePtr e = state.ledger->nextArticle(); e; e = e->nextArticle())
            lines << QStringLiteral("%1 %2 %3/%4 %5x%6=%7 r%8")
                         .arg(e->taIncome() ? "in" : "out",
                              e->taDate().toQDate().toString(QStringLiteral("yyyy/MM/dd")),
                              e->taArticle(), e->taSubArticle())
                         .arg(e->taPerPerson())
                         .arg(e->taStudentsNumber())
                         .arg(e->taAmount())
                         .arg(e->taReceipt());
        return lines;
    }
    void load(const QList<ArticlePtr>& entries) {
        addEntries(entries);
        click("TextIncomeNo");
    }
};

ArticlePtr income(QDate date, const QString& item, int perPerson, int pupils, int amount,
                  const QString& sub = QString()) {
    ArticlePtr e = SorobeArticle::create();
    e->setTaIncome(true);
    e->setTaDate(DateTime::fromQDate(date));
    e->setTaArticle(item);
    e->setTaSubArticle(sub);
    e->setTaPerPerson(perPerson);
    e->setTaStudentsNumber(std::int16_t(pupils));
    e->setTaAmount(amount);
    return e;
}

QStringList choices(const QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

QColor colour(FlexGrid* grid, int row, int col, bool back = false) {
    grid->setRow(row);
    grid->setCol(col);
    return back ? grid->CellBackColor() : grid->CellForeColor();
}

} // namespace

class TestIncomePage : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

    // New, the date, the item, the per-pupil amount or the amount, Record.
    static void addByHand(Page& p, QDate date, const QString& item, const QString& perPerson,
                          const QString& amount = QString()) {
        p.click("CommandIncomeNew");
        p.get<QDateEdit>("DTPickerIncomeDate")->setDate(date);
        type(item);
        p.click(amount.isEmpty() ? "TextIncomePerPerson" : "TextIncomeAmount");
        type(amount.isEmpty() ? perPerson : amount);
        p.click("CommandIncomeRecord");
    }

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    void newAndCancelOnAnEmptyLedger() {
        Page p;
        p.click("TextIncomeAmount");
        type(QStringLiteral("5")); // with an amount shown, typed pupils set no default
        p.click("TextIncomeStudents");
        press(Qt::Key_End);
        press(Qt::Key_Backspace); // 30 -> 3
        QCOMPARE(p.state.studentCount, std::int16_t(30));
        p.click("CommandIncomeNew"); // the pupils shown become the default
        QCOMPARE(p.state.studentCount, std::int16_t(3));
        QCOMPARE(p.mode(), QStringLiteral("New"));
        QCOMPARE(p.texts({"TextIncomeNo", "ComboIncomeArticle", "TextIncomeStudents",
                          "TextIncomeAmount"}),
                 QStringLiteral("1||3|"));
        QVERIFY(p.get<QLineEdit>("TextIncomeNo")->isReadOnly());
        QCOMPARE(focusName(), QStringLiteral("ComboIncomeArticle"));
        QCOMPARE(p.rows(), QStringList{"1|" + today() + "|||"});
        QCOMPARE(colour(p.get<FlexGrid>("MSFlexGridIncome"), 1, 3, true), yellow);

        // No amount: Record does nothing; the locked number takes no keys; clicks are ignored.
        p.click("CommandIncomeRecord");
        p.click("TextIncomeNo");
        type(QStringLiteral("7"));
        p.clickCell("MSFlexGridIncome", 1, 2);
        QCOMPARE(p.texts({"TextIncomeNo"}), QStringLiteral("1"));
        QCOMPARE(p.mode(), QStringLiteral("New"));
        QVERIFY(p.ledger().isEmpty());

        p.click("CommandIncomeCancel");
        QCOMPARE(p.mode(), QStringLiteral("Browsing"));
        QCOMPARE(p.rows(), QStringList());
        QCOMPARE(p.state.incomeCount, std::int16_t(0));
        QCOMPARE(p.texts({"TextIncomeNo", "TextIncomeStudents"}), QStringLiteral("|3"));
        QVERIFY(!p.get<QLineEdit>("TextIncomeNo")->isReadOnly());
        QCOMPARE(focusName(), QStringLiteral("TextIncomeNo"));
        QVERIFY(!p.state.modified && !p.state.termsStale);
    }

    void recordIsDeletePlusAddAndSelectsTheNewPosition() {
        Page p;
        addByHand(p, {2001, 5, 1}, QStringLiteral("遠足代"), QStringLiteral("500"));
        QCOMPARE(p.mode(), QStringLiteral("Editing"));
        QVERIFY(p.state.modified && p.state.termsStale);
        addByHand(p, {2001, 6, 1}, QStringLiteral("学級費"), QStringLiteral("300"));
        addByHand(p, {2001, 4, 10}, QStringLiteral("写真代"), QString(), QStringLiteral("2400"));
        // Dated before the others: number 1, selected, the others move down.
        QCOMPARE(p.texts({"TextIncomeNo", "ComboIncomeArticle"}), QStringLiteral("1|写真代"));
        QCOMPARE(p.mode(), QStringLiteral("Editing"));
        QCOMPARE(p.rows(),
                 (QStringList{"1|01/04/10|写真代 ||2,400", "2|01/05/01|遠足代 |500|15,000",
                              "3|01/06/01|学級費 |300|9,000"}));
        auto* grid = p.get<FlexGrid>("MSFlexGridIncome");
        QCOMPARE(colour(grid, 1, 4, true), yellow);
        QCOMPARE(colour(grid, 3, 4, true), white);
        QCOMPARE(focusName(), QStringLiteral("TextIncomeNo"));
        QCOMPARE(p.get<QLineEdit>("TextIncomeNo")->selectedText(), QStringLiteral("1"));

        // Entry 2 gets a later date: re-recorded under a new key, it moves to row 3.
        p.state.modified = p.state.termsStale = false;
        p.clickCell("MSFlexGridIncome", 2, 1);
        QCOMPARE(focusName(), QStringLiteral("DTPickerIncomeDate"));
        const QString oldKey = grid->TextMatrix(2, 5);
        grid->setTextMatrix(1, 2, QStringLiteral("kept")); // a row whose key still matches stays
        p.get<QDateEdit>("DTPickerIncomeDate")->setDate({2001, 7, 20});
        p.click("CommandIncomeRecord");
        QCOMPARE(p.ledger(), (QStringList{"in 2001/04/10 写真代/ 0x30=2400 r0",
                                          "in 2001/06/01 学級費/ 300x30=9000 r0",
                                          "in 2001/07/20 遠足代/ 500x30=15000 r0"}));
        QCOMPARE(p.texts({"TextIncomeNo", "ComboIncomeArticle"}), QStringLiteral("3|遠足代"));
        QCOMPARE(p.mode(), QStringLiteral("Editing"));
        QCOMPARE(p.state.incomeCount, std::int16_t(3));
        QCOMPARE(grid->TextMatrix(3, 1), QStringLiteral("01/07/20"));
        QCOMPARE(grid->TextMatrix(1, 2), QStringLiteral("kept"));
        QCOMPARE(grid->TextMatrix(3, 5), QString::number(p.state.keyCounter - 1));
        QVERIFY(grid->TextMatrix(2, 5) != oldKey && grid->TextMatrix(3, 5) != oldKey);
        QCOMPARE(colour(grid, 3, 1, true), yellow);
        QCOMPARE(colour(grid, 2, 1, true), white);
        QVERIFY(p.state.modified && p.state.termsStale);
    }

    void deletingTheMiddleOfThreeAsksNothing() {
        Page p;
        p.load({income({2001, 4, 5}, "A", 0, 30, 100), income({2001, 4, 6}, "B", 0, 30, 200),
                income({2001, 4, 7}, "C", -10, 30, -300)});
        p.state.sheetRowCount.fill(7);
        p.clickCell("MSFlexGridIncome", 2, 2);
        QCOMPARE(p.texts({"ComboIncomeArticle"}), QStringLiteral("B"));
        ModalWatcher watcher([](QWidget*) {});
        p.click("CommandIncomeDelete");
        QVERIFY(!watcher.sawModal());
        QCOMPARE(p.ledger(),
                 (QStringList{"in 2001/04/05 A/ 0x30=100 r0", "in 2001/04/07 C/ -10x30=-300 r0"}));
        QCOMPARE(p.rows(), (QStringList{"1|01/04/05|A ||100", "2|01/04/07|C |-10|-300"}));
        QCOMPARE(p.state.incomeCount, std::int16_t(2));
        QCOMPARE(p.mode(), QStringLiteral("Browsing"));
        QVERIFY(p.state.modified && p.state.termsStale);
        QCOMPARE(p.state.sheetRowCount, (std::array<int, 6>{1, 1, 1, 1, 1, 1}));
        auto* grid = p.get<FlexGrid>("MSFlexGridIncome");
        QCOMPARE(colour(grid, 2, 2, true), white);
        QCOMPARE((QList<QColor>{colour(grid, 1, 4), colour(grid, 2, 3), colour(grid, 2, 4)}),
                 (QList<QColor>{black, red, red}));
        for (const char* label : {"LabelIncomeRemainder", "LabelSupplyRemainder"}) {
            QCOMPARE(p.get<QLabel>(label)->text(), QStringLiteral("-200"));
            QCOMPARE(p.get<QLabel>(label)->palette().color(QPalette::WindowText), red);
        }
        QCOMPARE(focusName(), QStringLiteral("TextIncomeNo"));
        // Chosen by its number, no row highlighted: the title row keeps its colours.
        const QColor title = colour(grid, 0, 1, true);
        type(QStringLiteral("1"));
        p.click("CommandIncomeDelete");
        QCOMPARE(p.rows(), QStringList{"1|01/04/07|C |-10|-300"});
        QCOMPARE(colour(grid, 0, 1, true), title);
    }

    void theNumberSelectsKeystrokeByKeystroke() {
        Page p;
        QList<ArticlePtr> entries;
        for (int day = 1; day <= 11; ++day)
            entries << income({2001, 5, day}, QStringLiteral("集金%1").arg(day), 0, 30, day * 10);
        entries << income({2001, 5, 12}, QStringLiteral("集金12"), 500, 28, 13500, "5月分");
        p.load(entries);
        const QStringList fields{"ComboIncomeArticle", "ComboIncomeSubArticle",
                                 "TextIncomePerPerson", "TextIncomeStudents", "TextIncomeAmount"};
        type(QStringLiteral("1"));
        QCOMPARE(p.texts(fields), QStringLiteral("集金1|||30|10"));
        QCOMPARE(p.mode(), QStringLiteral("Editing"));
        type(QStringLiteral("2")); // the stored amount wins over per-pupil x pupils
        QCOMPARE(p.texts(fields), QStringLiteral("集金12|5月分|500|28|13500"));
        QCOMPARE(p.get<QDateEdit>("DTPickerIncomeDate")->date(), QDate(2001, 5, 12));
        QCOMPARE(p.state.incomeEditEntry->taAmount(), 13500);
        press(Qt::Key_Backspace);
        QCOMPARE(p.texts(fields), QStringLiteral("集金1|||30|10"));
        press(Qt::Key_Backspace);
        QCOMPARE(p.mode(), QStringLiteral("Browsing"));
        QCOMPARE(p.texts(fields), QStringLiteral("|||30|"));
        for (const char* beyond : {"13", "0"}) {
            type(QString::fromLatin1(beyond));
            QCOMPARE(p.texts({"TextIncomeNo"}), QString());
            QCOMPARE(p.mode(), QStringLiteral("Browsing"));
        }
        type(QStringLiteral("1 1"));
        QCOMPARE(p.texts({"ComboIncomeArticle"}), QStringLiteral("集金11"));
    }

    void aListClickFocusesTheClickedColumn() {
        Page p;
        p.load({income({2001, 4, 5}, "A", 0, 30, 100),
                income({2001, 4, 6}, "B", 250, 30, 7500, "6月分")});
        const std::pair<const char*, const char*> columns[] = {{"TextIncomeNo", "2"},
                                                               {"DTPickerIncomeDate", ""},
                                                               {"ComboIncomeArticle", "B"},
                                                               {"TextIncomePerPerson", "250"},
                                                               {"TextIncomeAmount", "7500"}};
        for (int column = 4; column >= 0; --column) {
            p.clickCell("MSFlexGridIncome", 2, column);
            QCOMPARE(p.mode(), QStringLiteral("Editing"));
            QCOMPARE(p.texts({"TextIncomeNo", "ComboIncomeArticle"}), QStringLiteral("2|B"));
            QCOMPARE(p.state.incomeHighlightRow, std::int16_t(2));
            QCOMPARE(focusName(), QString::fromLatin1(columns[column].first));
            auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
            auto* edit =
                combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(QApplication::focusWidget());
            if (edit)
                QCOMPARE(edit->selectedText(), QString::fromLatin1(columns[column].second));
        }
        p.click("CommandIncomeCancel"); // the list stays as it is, highlight included
        QCOMPARE(p.mode(), QStringLiteral("Browsing"));
        QCOMPARE(p.rows().size(), 2);
        QCOMPARE(colour(p.get<FlexGrid>("MSFlexGridIncome"), 2, 3, true), yellow);
    }

    void amountAndClassSizeFollowTheFields() {
        Page p;
        p.click("CommandIncomeNew");
        p.click("TextIncomePerPerson");
        type(QStringLiteral("500"));
        QCOMPARE(p.texts({"TextIncomeAmount"}), QStringLiteral("15000"));
        auto* spin = p.get<UpDownButton>("UpDownIncomeStudents");
        QTest::mouseClick(spin->findChild<QToolButton*>("down"), Qt::LeftButton);
        QCOMPARE(p.texts({"TextIncomeStudents", "TextIncomeAmount"}), QStringLiteral("29|14500"));
        QCOMPARE(p.state.studentCount, std::int16_t(30)); // an amount exists already
        p.click("TextIncomePerPerson");
        press(Qt::Key_A, Qt::ControlModifier);
        type(QStringLiteral("0")); // no per-pupil amount of 0; the amount stays
        QCOMPARE(p.texts({"TextIncomePerPerson", "TextIncomeAmount"}), QStringLiteral("|14500"));

        // Pupils typed for the newest entry before any amount become the class size.
        p.click("TextIncomeAmount");
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_Delete);
        p.click("TextIncomeStudents");
        press(Qt::Key_A, Qt::ControlModifier);
        type(QStringLiteral("27"));
        QCOMPARE(p.state.studentCount, std::int16_t(27));
        p.click("TextIncomePerPerson");
        type(QStringLiteral("100"));
        press(Qt::Key_Return);
        QCOMPARE(p.ledger(), QStringList{"in " + today("yyyy/MM/dd") + " / 100x27=2700 r0"});
        QCOMPARE(p.texts({"TextIncomeStudents"}), QStringLiteral("27"));
        p.click("TextIncomeStudents"); // entry 1 of 1 shows an amount: no new default
        press(Qt::Key_A, Qt::ControlModifier);
        type(QStringLiteral("20"));
        QCOMPARE(p.state.studentCount, std::int16_t(27));
    }

    void scrollingFollowsTheChosenRow_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("top");
        QTest::newRow("row 9") << 9 << 1;
        QTest::newRow("row 15") << 15 << 10;
        QTest::newRow("row 20") << 20 << 15;
        QTest::newRow("row 21, among the last ten") << 21 << 21;
    }
    void scrollingFollowsTheChosenRow() {
        QFETCH(int, row);
        QFETCH(int, top);
        Page p;
        QList<ArticlePtr> entries;
        for (int day = 1; day <= 30; ++day)
            entries << income({2001, 5, day}, "x", 0, 30, day);
        p.load(entries);
        auto* grid = p.get<FlexGrid>("MSFlexGridIncome");
        grid->setTopRow(99); // as far as this grid's height lets it scroll
        const int lowest = grid->TopRow();
        grid->setTopRow(row); // the user scrolls the row into view
        p.clickCell("MSFlexGridIncome", row, 0);
        QCOMPARE(p.texts({"TextIncomeNo"}), QString::number(row));
        QCOMPARE(grid->TopRow(), std::min(top, lowest));
        p.click("CommandIncomeCancel");
        grid->setTopRow(1);
        p.click("CommandIncomeNew"); // row 31 of 31: the last ten rows
        QCOMPARE(grid->TopRow(), std::min(22, lowest + 1));
    }

    void aBalanceBeyond32BitsIsRefused_data() {
        QTest::addColumn<QString>("amount");
        QTest::newRow("balance 2,200,000,000") << "1200000000";
        // 2,000,000,000 + 500,000,000 leaves the range before the entry of 4/3 comes.
        QTest::newRow("running total 2,500,000,000") << "500000000";
    }
    void aBalanceBeyond32BitsIsRefused() {
        QFETCH(QString, amount);
        Page p;
        p.load({income({2001, 4, 1}, "A", 0, 30, 2000000000),
                income({2001, 4, 3}, "C", 0, 30, -1000000000)});
        const QStringList before = p.ledger();
        p.click("CommandIncomeNew");
        p.get<QDateEdit>("DTPickerIncomeDate")->setDate({2001, 4, 2});
        p.click("TextIncomeAmount");
        type(amount);
        QString message;
        ModalWatcher watcher([&](QWidget* box) {
            if (auto* mb = qobject_cast<QMessageBox*>(box))
                message = mb->text();
        });
        p.click("CommandIncomeRecord");
        QTRY_VERIFY(watcher.sawModal());
        QVERIFY(!message.isEmpty());
        QCOMPARE(p.ledger(), before);
        QCOMPARE(p.get<QLabel>("LabelIncomeRemainder")->text(), QStringLiteral("1,000,000,000"));
    }

    // Ten income and five expense entries typed with the keyboard alone: Enter
    // starts an entry, Enter records it, erasing the number ends the editing.
    void anEveningsWorkWithTheKeyboardAlone() {
        Page p;
        // item, sub-item, pupils typed first, per-pupil amount, amount
        const QStringList incomes{"遠足代,4月分,,500,",   "学級費,4月分,,300,",
                                  "写真代,,,,2400",       "学級費,5月分,,300,",
                                  "遠足代,5月分,28,500,", "学級費,6月分,,300,",
                                  "学級費,7月分,,300,",   "寄付,,,,5000",
                                  "学級費,8月分,,300,",   "利息,1年分,,,3"};
        for (const QString& line : incomes) {
            const QStringList f = line.split(u',');
            QCOMPARE(focusName(), QStringLiteral("TextIncomeNo"));
            press(Qt::Key_Return);
            QCOMPARE(p.mode(), QStringLiteral("New"));
            type(f[0]);
            press(Qt::Key_Tab);
            type(f[1]);
            press(Qt::Key_Tab);
            if (!f[2].isEmpty()) { // over to the pupils and back
                press(Qt::Key_Tab);
                type(f[2]);
                press(Qt::Key_Tab, Qt::ShiftModifier);
            }
            type(f[3]);
            if (!f[4].isEmpty()) {
                press(Qt::Key_Tab);
                press(Qt::Key_Tab);
                type(f[4]);
            }
            press(Qt::Key_Return);
            QCOMPARE(p.mode(), QStringLiteral("Editing"));
            press(Qt::Key_End);
            while (!p.texts({"TextIncomeNo"}).isEmpty() && p.mode() == u"Editing")
                press(Qt::Key_Backspace);
            QCOMPARE(p.mode(), QStringLiteral("Browsing"));
        }
        const QString d = "in " + today("yyyy/MM/dd") + ' ';
        QCOMPARE(p.ledger(),
                 (QStringList{d + "遠足代/4月分 500x30=15000 r0", d + "学級費/4月分 300x30=9000 r0",
                              d + "写真代/ 0x30=2400 r0", d + "学級費/5月分 300x30=9000 r0",
                              d + "遠足代/5月分 500x28=14000 r0", d + "学級費/6月分 300x28=8400 r0",
                              d + "学級費/7月分 300x28=8400 r0", d + "寄付/ 0x28=5000 r0",
                              d + "学級費/8月分 300x28=8400 r0", d + "利息/1年分 0x28=3 r0"}));
        QCOMPARE(p.state.incomeCount, std::int16_t(10));
        QCOMPARE(p.rows().at(4), "5|" + today() + "|遠足代 5月分|500|14,000");
        QCOMPARE(p.rows().at(9), "10|" + today() + "|利息 1年分||3");
        QCOMPARE(choices(p.get<QComboBox>("ComboIncomeArticle")), // remembered items, by use
                 (QStringList{"学級費", "遠足代", "写真代", "寄付", "利息"}));

        // Expenses: the receipt first, Right to the item, Tab to the amount.
        p.get<QTabWidget>("SSTabSheets")->setCurrentIndex(2);
        p.click("TextSupplyNo");
        for (const char* line :
             {"3,画用紙,1200", "1,のり,300", ",切手,80", "2,お茶,1500", "1,はさみ,2000"}) {
            const QStringList f = QString::fromUtf8(line).split(u',');
            press(Qt::Key_Return);
            QCOMPARE(focusName(), QStringLiteral("ComboSupplyReceipt"));
            type(f[0]);
            press(Qt::Key_Right);
            type(f[1]);
            press(Qt::Key_Tab);
            type(f[2]);
            press(Qt::Key_Return);
            QCOMPARE(focusName(), QStringLiteral("TextSupplyNo"));
            press(Qt::Key_End);
            press(Qt::Key_Backspace);
            QCOMPARE(p.mode("Supply"), QStringLiteral("Browsing"));
        }
        const QString o = "out " + today("yyyy/MM/dd") + ' ', t = today();
        QCOMPARE(
            p.ledger().mid(10),
            (QStringList{o + "切手/ 0x0=80 r0", o + "のり/ 0x0=300 r1", o + "はさみ/ 0x0=2000 r1",
                         o + "お茶/ 0x0=1500 r2", o + "画用紙/ 0x0=1200 r3"}));
        QCOMPARE(p.rows("MSFlexGridSupply"),
                 (QStringList{"1|" + t + "||切手|80", "2|" + t + "|No.1|のり|300",
                              "3|" + t + "|No.1|はさみ|2,000", "4|" + t + "|No.2|お茶|1,500",
                              "5|" + t + "|No.3|画用紙|1,200"}));
        for (const char* label : {"LabelIncomeRemainder", "LabelSupplyRemainder"})
            QCOMPARE(p.get<QLabel>(label)->text(), QStringLiteral("74,523"));
        QCOMPARE(choices(p.get<QComboBox>("ComboSupplyArticle")),
                 (QStringList{"画用紙", "のり", "切手", "お茶", "はさみ"}));
    }
};

QTEST_MAIN(TestIncomePage)
#include "tst_incomepage.moc"
