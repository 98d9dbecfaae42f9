#include "../app/ModalWatcher.h"
#include "EntryPageDriver.h"
#include "LedgerFile.h"

#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

using namespace sorobe;

namespace {

struct Session : PageDriver {
    QStringList saved; // file names given to the file dialogs
    QStringList asked; // their titles
    Session()
        : PageDriver(1) {
        window.setFileChooser([this](const QString& title, const QString&, bool) {
            asked << title;
            return saved.isEmpty() ? QString() : saved.takeFirst();
        });
        click("TextIncomeNo");
    }
    void tab(int page) { get<QTabWidget>("SSTabSheets")->setCurrentIndex(page); }
    void clear(const QString& name) {
        click(name);
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_Delete);
    }
    // Erases the number: the page goes back to Browsing.
    void leave(const QString& numberField) {
        click(numberField);
        press(Qt::Key_End);
        while (!texts({numberField}).isEmpty())
            press(Qt::Key_Backspace);
    }
    QStringList combo(const QString& name) {
        auto* c = get<QComboBox>(name);
        QStringList items;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        return items;
    }
    // Everything a step may change: the file the ledger would be written as,
    // the keys in ledger order, the counts, both lists and labels, the item
    // histories with their counts and the receipt choices.
    QStringList snapshot() {
        QStringList keys, histories;
        for (ArticlePtr e = state.ledger->nextArticle(); e; e = e->nextArticle())
            keys << QString::number(e->taKey());
        for (const SelectionPtr& head : {state.incomeHistory, state.supplyHistory}) {
            for (SelectionPtr r = head->nextSelection(); r; r = r->nextSelection())
                histories << r->tsArticle() + u'×' + QString::number(r->tsCount());
            histories << QStringLiteral("|");
        }
        return QStringList{QString::fromLatin1(encodeLedger({}, state.ledger).bytes.toHex()),
                           keys.join(u','),
                           QStringLiteral("%1/%2").arg(state.incomeCount).arg(state.supplyCount)}
               << rows("MSFlexGridIncome") << rows("MSFlexGridSupply")
               << get<QLabel>("LabelIncomeRemainder")->text()
               << get<QLabel>("LabelSupplyRemainder")->text() << histories
               << combo("ComboIncomeArticle") << combo("ComboSupplyArticle")
               << combo("ComboSupplyReceipt");
    }
    QString undoText() { return window.mnuEditUndo->text(); }
    QString redoText() { return window.mnuEditRedo->text(); }
};

void typeIncome(const QString& item, const QString& sub, const QString& perPupil) {
    press(Qt::Key_Return); // 新規
    type(item);
    press(Qt::Key_Tab);
    type(sub);
    press(Qt::Key_Tab);
    type(perPupil);
    press(Qt::Key_Return); // 登録
}

void typeExpense(const QString& receipt, const QString& item, const QString& amount) {
    press(Qt::Key_Return); // 新規, in the receipt field
    type(receipt);
    press(Qt::Key_Right);
    type(item);
    press(Qt::Key_Tab);
    type(amount);
    press(Qt::Key_Return);
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    // Records, changes and deletes on both pages, then every step taken back
    // and done again, each time to exactly what was there on the way forward.
    void aSessionIsUndoneAndRedoneStepByStep_data() {
        QTest::addColumn<bool>("shiftZ"); // redo by Ctrl+Shift+Z, else Ctrl+Y
        QTest::newRow("Ctrl+Y") << false;
        QTest::newRow("Ctrl+Shift+Z") << true;
    }
    void aSessionIsUndoneAndRedoneStepByStep() {
        QFETCH(bool, shiftZ);
        Session s;
        QList<QStringList> states{s.snapshot()};
        QStringList undoTexts{s.undoText()};
        const std::function<void()> steps[] = {
            [&] { typeIncome("学級費", "4月分", "500"); },
            [&] {
                s.leave("TextIncomeNo");
                typeIncome("遠足代", "5月分", "800");
            },
            [&] {
                s.leave("TextIncomeNo");
                typeIncome("学級費", "5月分", "500");
            },
            [&] { // 収入 1 changed: 600 a pupil
                s.leave("TextIncomeNo");
                type("1");
                s.clear("TextIncomePerPerson");
                type("600");
                press(Qt::Key_Return);
            },
            [&] {
                s.tab(2);
                s.click("ComboSupplyReceipt");
                typeExpense("2", "画用紙", "1200");
            },
            [&] {
                s.leave("TextSupplyNo");
                typeExpense("1", "のり", "300");
            },
            [&] { // 支出 2 deleted
                s.leave("TextSupplyNo");
                type("2");
                s.click("CommandSupplyDelete");
            },
            [&] { // 収入 2 deleted
                s.tab(1);
                s.leave("TextIncomeNo");
                type("2");
                s.click("CommandIncomeDelete");
            },
            [&] { // left open for editing: undo goes on from there
                typeIncome("学級費", "6月分", "500");
            },
        };
        for (const auto& step : steps) {
            step();
            states << s.snapshot();
            undoTexts << s.undoText();
        }
        QCOMPARE(undoTexts.mid(1),
                 (QStringList{"元に戻す: 収入 1 の登録(&U)", "元に戻す: 収入 2 の登録(&U)",
                              "元に戻す: 収入 3 の登録(&U)", "元に戻す: 収入 3 の変更(&U)",
                              "元に戻す: 支出 1 の登録(&U)", "元に戻す: 支出 1 の登録(&U)",
                              "元に戻す: 支出 2 の削除(&U)", "元に戻す: 収入 2 の削除(&U)",
                              "元に戻す: 収入 3 の登録(&U)"}));
        QCOMPARE(s.mode("Income"), QStringLiteral("Editing"));
        QCOMPARE(s.state.incomeCount, std::int16_t(3));
        QCOMPARE(s.state.supplyCount, std::int16_t(1));

        for (int i = states.size() - 2; i >= 0; --i) {
            press(Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(s.snapshot(), states[i]);
            QCOMPARE(s.undoText(), undoTexts[i]);
        }
        QVERIFY(!s.window.mnuEditUndo->isEnabled());
        QVERIFY(!s.state.modified);
        QCOMPARE(s.redoText(), QStringLiteral("やり直し: 収入 1 の登録(&R)"));
        for (int i = 1; i < states.size(); ++i) {
            if (shiftZ)
                press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            else
                press(Qt::Key_Y, Qt::ControlModifier);
            QCOMPARE(s.snapshot(), states[i]);
        }
        QVERIFY(!s.window.mnuEditRedo->isEnabled());
        QVERIFY(s.state.modified);
    }

    // Taken back to what was saved, the document is saved; past it, not.
    void theSavedStateFollowsTheHistory() {
        const QTemporaryDir files;
        Session s;
        typeIncome("学級費", "4月分", "500");
        s.saved << files.filePath("2026年度.txt");
        press(Qt::Key_S, Qt::ControlModifier); // no file yet: asks for a name
        QVERIFY(!s.state.modified);
        QVERIFY(s.window.windowTitle().startsWith(QStringLiteral("2026年度.txt - そろべえ")));
        s.leave("TextIncomeNo");
        typeIncome("遠足代", "5月分", "800");
        QVERIFY(s.window.windowTitle().startsWith(QStringLiteral("2026年度.txt* - そろべえ")));
        const QList<std::pair<Qt::Key, bool>> moves{
            {Qt::Key_Z, false}, {Qt::Key_Z, true}, {Qt::Key_Y, false}, {Qt::Key_Y, true}};
        for (const auto& [key, modified] : moves) {
            press(key, Qt::ControlModifier);
            QCOMPARE(s.state.modified, modified);
            QCOMPARE(s.window.windowTitle().contains(u'*'), modified);
        }
        // Back at the saved state, taken from the 年間 page, which follows;
        // the window closes without a question.
        s.tab(8);
        auto* year = s.get<FlexGrid>("MSFlexGridYear");
        QCOMPARE(year->TextMatrix(year->Rows() - 1, 2), QStringLiteral("39,000"));
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(year->TextMatrix(year->Rows() - 1, 2), QStringLiteral("15,000"));
        ModalWatcher question([](QWidget*) {});
        QVERIFY(s.window.close());
        QTest::qWait(50);
        QVERIFY(!question.sawModal());
    }

    // While an entry is half typed, the first undo only cancels it.
    void aHalfTypedEntryIsCancelledFirst_data() {
        QTest::addColumn<bool>("income");
        QTest::addColumn<bool>("changed");  // the recorded entry changed, else a new one
        QTest::addColumn<bool>("recorded"); // else nothing to take back
        QTest::newRow("new income") << true << false << true;
        QTest::newRow("income changed") << true << true << true;
        QTest::newRow("new expense") << false << false << true;
        QTest::newRow("expense changed") << false << true << true;
        QTest::newRow("new income, nothing recorded") << true << false << false;
    }
    void aHalfTypedEntryIsCancelledFirst() {
        QFETCH(bool, income);
        QFETCH(bool, changed);
        QFETCH(bool, recorded);
        Session s;
        const QStringList empty = s.snapshot();
        const QString kind = income ? "Income" : "Supply";
        if (recorded) {
            if (income) {
                typeIncome("学級費", "4月分", "500");
            } else {
                s.tab(2);
                s.click("ComboSupplyReceipt");
                typeExpense("1", "のり", "300");
            }
            s.leave("Text" + kind + "No");
        }
        const QStringList before = s.snapshot();
        if (changed) {
            type("1");
            s.click("Text" + kind + "Amount");
            press(Qt::Key_End);
        } else {
            press(Qt::Key_Return);
        }
        type("9");
        const QString typing = s.mode(kind);
        press(Qt::Key_Y, Qt::ControlModifier); // nothing to do again: the typing stays
        QCOMPARE(s.mode(kind), typing);
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.mode(kind), QStringLiteral("Browsing"));
        QCOMPARE(s.snapshot(), before);
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.snapshot(), empty);
        QCOMPARE(s.mode(kind), QStringLiteral("Browsing"));
    }

    // A change that moved an entry is taken back to the entry's own place,
    // where every balance fits (not after the entries of its date).
    void aMovedEntryGoesBackToItsPlace() {
        Session s;
        s.tab(2);
        s.click("ComboSupplyReceipt");
        typeExpense("", "修学旅行積立", "1000000000");
        s.tab(1);
        s.click("TextIncomeNo");
        for (const char* line : {"寄付,2000000000", "バザー,500000000"}) {
            const QStringList f = QString::fromUtf8(line).split(u',');
            s.leave("TextIncomeNo");
            press(Qt::Key_Return);
            type(f[0]);
            for (int i = 0; i < 4; ++i)
                press(Qt::Key_Tab);
            type(f[1]);
            press(Qt::Key_Return);
        }
        const QStringList before = s.snapshot();
        s.tab(2);
        s.leave("TextSupplyNo");
        type("1");
        s.get<QDateEdit>("DTPickerSupplyDate")->setDate(QDate::currentDate().addDays(-1));
        s.click("CommandSupplyRecord");
        QString told;
        ModalWatcher refused([&](QWidget* m) { told = static_cast<QMessageBox*>(m)->text(); });
        press(Qt::Key_Z, Qt::ControlModifier);
        QTest::qWait(50);
        QVERIFY2(!refused.sawModal(), qPrintable(told));
        QCOMPARE(s.snapshot(), before);
    }

    // Open, close and a failed open leave nothing to take back; entries
    // recorded before an open stay unsaved.
    void openAndCloseForgetTheSteps_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("unsaved");
        QTest::newRow("close") << "close" << false;
        QTest::newRow("open") << "open" << true;
        QTest::newRow("failed open") << "damaged" << true;
    }
    void openAndCloseForgetTheSteps() {
        QFETCH(QString, command);
        QFETCH(bool, unsaved);
        const QTemporaryDir files;
        const QString ledger = files.filePath("2025年度.txt");
        const QString damaged = files.filePath("壊れた.txt");
        QVERIFY(saveLedgerFile(ledger, {}, SorobeArticle::create()).ok);
        {
            QFile file(damaged);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("iSorobe135\r\nTrue\r\n");
        }
        Session s;
        typeIncome("学級費", "4月分", "500");
        QVERIFY(s.window.mnuEditUndo->isEnabled());
        ModalWatcher answer([](QWidget* modal) {
            auto* box = static_cast<QMessageBox*>(modal);
            if (QAbstractButton* no = box->button(QMessageBox::No))
                no->click();
            else
                box->accept();
        });
        if (command == u"close") {
            press(Qt::Key_W, Qt::ControlModifier);
        } else {
            s.saved << (command == u"open" ? ledger : damaged);
            press(Qt::Key_O, Qt::ControlModifier);
        }
        QTRY_VERIFY(answer.sawModal() || command == u"open");
        QCOMPARE(s.asked.size(), command == u"close" ? 0 : 1);
        QVERIFY(!s.window.mnuEditUndo->isEnabled());
        QVERIFY(!s.window.mnuEditRedo->isEnabled());
        QCOMPARE(s.state.modified, unsaved);
        s.state.modified = false;
    }

    // The commands' keys run them.
    void keysRunTheirCommands_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("seen");
        const int ctrl = int(Qt::ControlModifier);
        QTest::newRow("Ctrl+P") << int(Qt::Key_P) << ctrl
                                << QStringLiteral("を印刷します。よろしいですか？");
        QTest::newRow("Ctrl+Shift+S")
            << int(Qt::Key_S) << (ctrl | int(Qt::ShiftModifier)) << "名前をつけて保存する";
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << "help";
        QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << ctrl << "closed";
    }
    void keysRunTheirCommands() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, seen);
        Session s;
        QStringList happened;
        QObject::connect(&s.window, &frmMain::helpRequested, [&] { happened << "help"; });
        QTimer answer; // every box answered いいえ, or closed
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                happened << box->text();
                if (QAbstractButton* no = box->button(QMessageBox::No))
                    no->click();
                else
                    box->accept();
            }
        });
        answer.start();
        press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTest::qWait(50);
        if (!s.window.isVisible())
            happened << "closed";
        happened << s.asked;
        QVERIFY2(happened.value(0).endsWith(seen), qPrintable(happened.join(u'|')));
    }

    // A redo that would take the balance beyond 32 bits is refused, as a
    // recording would be, and changes nothing.
    void anOverflowingRedoIsRefused() {
        Session s;
        press(Qt::Key_Return);
        type("寄付");
        for (int i = 0; i < 4; ++i)
            press(Qt::Key_Tab);
        type("2000000000");
        press(Qt::Key_Return);
        QCOMPARE(s.get<QLabel>("LabelIncomeRemainder")->text(), QStringLiteral("2,000,000,000"));
        press(Qt::Key_Z, Qt::ControlModifier);
        // The ledger changed outside the history (as no command does).
        ArticlePtr other = SorobeArticle::create();
        other->setTaIncome(true);
        other->setTaDate(DateTime::today());
        other->setTaAmount(500000000);
        s.addEntries({other});
        const QStringList before = s.snapshot();
        QString told;
        ModalWatcher message([&](QWidget* modal) {
            told = static_cast<QMessageBox*>(modal)->text();
            static_cast<QMessageBox*>(modal)->accept();
        });
        press(Qt::Key_Y, Qt::ControlModifier);
        QTRY_VERIFY(message.sawModal());
        QCOMPARE(told, QStringLiteral("残金が扱える金額（21億円余り）を超えるため、"
                                      "この操作はできません。"));
        QCOMPARE(s.snapshot(), before);
        QVERIFY(s.window.mnuEditRedo->isEnabled());
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
