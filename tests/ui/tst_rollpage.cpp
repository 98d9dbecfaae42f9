// The 集金 page through the window: ticks by click and Space, the foot,
// columns that follow recordings, changes, deletions and undo, the roster
// dialog, and the roll file saved and opened beside the ledger.

#include "../app/BoxAnswers.h"
#include "../app/ModalWatcher.h"
#include "EntryPageDriver.h"
#include "RollFile.h"
#include "frmRoster.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace sorobe;

namespace {

constexpr int rollTab = 9;

struct RollSession : PageDriver {
    RollSession()
        : PageDriver(1) {
        click("TextIncomeNo");
    }
    QTableView* grid() { return get<QTableView>("GridRoll"); }
    void tab(int page) { get<QTabWidget>("SSTabSheets")->setCurrentIndex(page); }
    // Erases the income number: the page goes back to Browsing.
    void leave() {
        // A message box answered before may have taken the window's activation.
        QApplication::setActiveWindow(&window);
        click("TextIncomeNo");
        press(Qt::Key_End);
        while (!texts({"TextIncomeNo"}).isEmpty())
            press(Qt::Key_Backspace);
    }
    // A collection typed on the income page: 30 pupils, as 生徒の数 offers.
    void recordCollection(const QString& item, const QString& sub, const QString& perPupil) {
        tab(1);
        leave();
        press(Qt::Key_Return); // 新規
        type(item);
        press(Qt::Key_Tab);
        type(sub);
        press(Qt::Key_Tab);
        type(perPupil);
        press(Qt::Key_Return); // 登録
    }
    // Income `number` changed to `perPupil` a pupil, or deleted.
    void changeCollection(int number, const QString& perPupil) {
        tab(1);
        leave();
        type(QString::number(number));
        if (perPupil.isEmpty()) {
            click("CommandIncomeDelete");
            return;
        }
        click("TextIncomePerPerson");
        press(Qt::Key_A, Qt::ControlModifier);
        type(perPupil);
        press(Qt::Key_Return);
    }
    QString cell(int row, int column) {
        return grid()->model()->index(row, column).data().toString();
    }
    void clickCell(int row, int column) {
        const QRect at = grid()->visualRect(grid()->model()->index(row, column));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at.center());
    }
    // Every column: its heading, the cells of pupils 1-3, the foot, "|"-joined.
    QStringList columns() {
        tab(rollTab);
        QStringList out;
        const int pupils = window.roll().roster().size();
        for (int c = 0; c + 1 < grid()->model()->columnCount(); ++c)
            out << (grid()->model()->headerData(c, Qt::Horizontal).toString().replace(u'\n', u' ') +
                    u'|' + QStringList{cell(0, c), cell(1, c), cell(2, c)}.join(u',') + u'|' +
                    cell(pupils, c) + u'|' + cell(pupils + 1, c));
        return out;
    }
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRollPage : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    // The columns follow the ledger; ticks stay with their collection
    // through a change of its amount per pupil, a deletion and its undo.
    void theRollFollowsTheLedger() {
        RollSession s;
        s.recordCollection(QStringLiteral("学級費"), QStringLiteral("4月分"), "500");
        QCOMPARE(s.columns(), QStringList{"4月分 学級費 ＠500|,,|0/30|0"});
        const QString file = m_dir.filePath(QStringLiteral("follows.txt"));
        s.window.setFileChooser([&](const QString&, const QString&, bool) { return file; });
        s.window.mnuFileSaveAs->trigger();
        QVERIFY(!s.state.modified);
        // A click and Space tick; the foot counts them against 生徒の数.
        s.clickCell(0, 0);
        s.grid()->setCurrentIndex(s.grid()->model()->index(2, 0));
        press(Qt::Key_Space);
        const QString ticked = QStringLiteral("4月分 学級費 ＠500|済,,済|2/30|1,000");
        QCOMPARE(s.columns(), QStringList{ticked});
        QCOMPARE(s.cell(1, 1), QStringLiteral("500")); // what pupil 2 still owes
        // Ticks are unsaved changes of the document, as entries are.
        QVERIFY(s.window.windowTitle().startsWith(u"follows.txt*"));

        s.recordCollection(QStringLiteral("遠足代"), QStringLiteral("5月分"), "800");
        const QString trip = QStringLiteral("5月分 遠足代 ＠800|,,|0/30|0");
        QCOMPARE(s.columns(), (QStringList{ticked, trip}));
        s.changeCollection(1, "600");
        // Recorded again, the entry goes after the others of its day, as in the ledger.
        const QString changed = QStringLiteral("4月分 学級費 ＠600|済,,済|2/30|1,200");
        QCOMPARE(s.columns(), (QStringList{trip, changed}));
        s.changeCollection(2, QString());
        QCOMPARE(s.columns(), QStringList{trip});

        // Undo brings the deleted collection back with its ticks, and then
        // its amount before the change.
        s.window.mnuEditUndo->trigger();
        QCOMPARE(s.columns(), (QStringList{trip, changed}));
        s.window.mnuEditUndo->trigger();
        QCOMPARE(s.columns(), (QStringList{ticked, trip}));
        s.window.mnuEditRedo->trigger();
        QCOMPARE(s.columns(), (QStringList{trip, changed}));
    }

    // 名簿: names and moves; a pupil who moved out before a collection does
    // not count for it, nor owe it.
    void theRosterDecidesWhoCounts() {
        RollSession s;
        s.recordCollection(QStringLiteral("学級費"), QStringLiteral("4月分"), "500");
        s.tab(rollTab);
        const QDate day = s.window.roll().column(0).id.date;
        QStringList told;
        ModalWatcher roster([&](QWidget* modal) {
            auto* dialog = qobject_cast<frmRoster*>(modal);
            QVERIFY(dialog);
            dialog->SpinRosterCount->setValue(3);
            dialog->TableRoster->item(0, 1)->setText(QStringLiteral("青木　花"));
            dialog->TableRoster->item(1, 3)->setText(day.toString(QStringLiteral("yyyy/MM/dd")));
            dialog->TableRoster->item(2, 2)->setText(QStringLiteral("2026/13/01"));
            BoxAnswers boxes(QMessageBox::Ok);
            dialog->accept(); // refused: 3番's day is no day
            QTRY_COMPARE(boxes.texts.size(), 1);
            told = boxes.texts;
            dialog->TableRoster->item(2, 2)->setText(QString());
            dialog->accept();
        });
        s.click("CommandRollRoster");
        QTRY_VERIFY(roster.sawModal());
        QCOMPARE(told, QStringList{"3番の転入日「2026/13/01」は日付として読めません。"
                                   "「2026/09/01」のように入れてください。"});
        QCOMPARE(s.window.roll().roster().size(), 3);
        QCOMPARE(s.grid()->model()->headerData(0, Qt::Vertical).toString(),
                 QStringLiteral("1 青木　花"));
        QCOMPARE(s.columns(), QStringList{"4月分 学級費 ＠500|,－,|0/2|0"});
        QCOMPARE(s.cell(4, 1), QStringLiteral("1,000")); // owed by the two who count
        s.clickCell(1, 0);                               // not in the class: no tick
        QCOMPARE(s.cell(1, 0), QStringLiteral("－"));
    }

    // Saved beside the ledger by the save command and opened with it. A
    // ledger whose roll was never used gets no roll file; a damaged roll is
    // refused with its line while the ledger opens, and is not written over.
    void theRollFileGoesWithTheLedger_data() {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QByteArray>("damage"); // written over the roll before it is opened
        QTest::newRow("never used") << false << QByteArray();
        QTest::newRow("ticked") << true << QByteArray();
        QTest::newRow("damaged") << true << QByteArray("SOROBE-ROLL\t1\nPUPILS\tmany\tplain\n");
    }

    void theRollFileGoesWithTheLedger() {
        QFETCH(bool, tick);
        QFETCH(QByteArray, damage);
        const QString ledger =
            m_dir.filePath(QStringLiteral("%1.txt").arg(QTest::currentDataTag()));
        const QString rollFile = rollPathFor(ledger);
        {
            RollSession s;
            s.recordCollection(QStringLiteral("学級費"), QStringLiteral("4月分"), "500");
            if (tick)
                s.clickCell(0, 0);
            s.window.setFileChooser([&](const QString&, const QString&, bool) { return ledger; });
            s.window.mnuFileSaveAs->trigger();
            QVERIFY(!s.state.modified);
            if (!tick) {
                QVERIFY(QFile::exists(ledger) && !QFile::exists(rollFile));
                return;
            }
            const QString day =
                s.window.roll().column(0).id.date.toString(QStringLiteral("yyyy/MM/dd"));
            QCOMPARE(fileBytes(rollFile),
                     QStringLiteral("SOROBE-ROLL\t1\nPUPILS\t30\tplain\n"
                                    "COLLECTION\t1\t%1\t500\t学級費\t4月分\t1\n"
                                    "END\n")
                         .arg(day)
                         .toUtf8());
        }
        if (!damage.isEmpty()) {
            QFile file(rollFile);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(damage) == damage.size());
        }
        RollSession t;
        BoxAnswers boxes(QMessageBox::Ok);
        QVERIFY(t.window.openLedger(ledger));
        QCOMPARE(t.state.incomeCount, 1);
        t.tab(rollTab);
        if (damage.isEmpty()) {
            QCOMPARE(boxes.texts, QStringList());
            QCOMPARE(t.columns(), QStringList{"4月分 学級費 ＠500|済,,|1/30|500"});
            // And on paper for the office: a landscape PDF beside the ledger.
            const QString pdf = m_dir.filePath(QStringLiteral("roll.pdf"));
            t.window.setFileChooser([&](const QString&, const QString&, bool) { return pdf; });
            t.click("CommandRollPdf");
            QCOMPARE(QFileInfo(t.window.offeredPath()).fileName(),
                     QStringLiteral("ticked 集金表.pdf"));
            const QByteArray bytes = fileBytes(pdf);
            QVERIFY(bytes.startsWith("%PDF"));
            QVERIFY(bytes.contains("/MediaBox [0 0 841") || bytes.contains("/MediaBox [0 0 842"));
            return;
        }
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].contains(u"2 行目"), qPrintable(boxes.texts[0]));
        QCOMPARE(t.columns(), QStringList{"4月分 学級費 ＠500|,,|0/30|0"});
        // Saving the ledger again keeps the damaged roll for mending.
        t.recordCollection(QStringLiteral("遠足代"), QStringLiteral("5月分"), "800");
        t.window.mnuFileSave->trigger();
        QCOMPARE(fileBytes(rollFile), damage);
    }
};

QTEST_MAIN(TestRollPage)
#include "tst_rollpage.moc"
