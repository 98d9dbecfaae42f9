#include "../app/ModalWatcher.h"
#include "FlexGrid.h"
#include "ItemHistoryFile.h"
#include "LedgerFile.h"
#include "SharedState.h"
#include "Twips.h"
#include "frmMain.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <algorithm>

using namespace sorobe;

namespace {

ArticlePtr entry(bool income, QDate date, const QString& item, std::int32_t amount) {
    ArticlePtr e = SorobeArticle::create();
    e->setTaIncome(income);
    e->setTaDate(DateTime::fromQDate(date));
    e->setTaArticle(item);
    e->setTaAmount(amount);
    e->setTaReceipt(income ? 0 : 3);
    return e;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the next modal box: the question about unsaved changes or a message.
struct Answer {
    QMessageBox::StandardButton button;
    QString text;
    std::unique_ptr<ModalWatcher> watcher;
    explicit Answer(QMessageBox::StandardButton answer)
        : button(answer) {
        watcher = std::make_unique<ModalWatcher>([this](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box)
                return;
            text = box->text();
            if (QAbstractButton* b = box->button(button))
                b->click();
            else
                box->accept();
        });
    }
};

} // namespace

class TestDocuments : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_files;

    struct Loaded {
        SharedState state;
        std::unique_ptr<frmMain> window;
        QStringList asked;   // "title|filter|save" of every file question
        QStringList answers; // the paths given, one per question ("" = cancel)
        Loaded() {
            window = std::make_unique<frmMain>(state);
            window->setFileChooser([this](const QString& title, const QString& filter, bool save) {
                asked.append(QStringList{title, filter, save ? "save" : "open"}.join(u'|'));
                return answers.isEmpty() ? QString() : answers.takeFirst();
            });
            window->Form_Load();
            window->show();
        }
        void record(const ArticlePtr& e) {
            e->setTaKey(state.keyCounter++);
            state.ledger->addArticle(e);
            (e->taIncome() ? state.incomeCount : state.supplyCount)++;
            state.modified = true;
        }
    };

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid() && m_files.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    void saveAsWritesTheLedgerAndOpensItAgain() {
        const QString path = m_files.filePath(QStringLiteral("2002年度"));
        {
            Loaded loaded;
            loaded.window->TextSchoolName->setText(QStringLiteral("東小学校"));
            loaded.window->ComboGradeHome->setEditText(QStringLiteral("第１学年"));
            loaded.record(entry(true, QDate(2002, 4, 10), QStringLiteral("学級費"), 3000));
            loaded.record(entry(false, QDate(2002, 4, 12), QStringLiteral("画用紙"), 500));
            QVERIFY(!loaded.window->mnuFileSave->isEnabled());

            loaded.answers = {path};
            loaded.window->mnuFileSaveAs->trigger();
            QCOMPARE(loaded.asked, (QStringList{"名前をつけて保存する|ﾃｷｽﾄﾌｧｲﾙ (*.txt)|save"}));
            // Written under exactly the typed name: no extension is added.
            QVERIFY(QFile::exists(path));
            QVERIFY(!QFile::exists(path + QStringLiteral(".txt")));
            QVERIFY(!loaded.state.modified);
            QCOMPARE(loaded.state.fileName, path);
            QVERIFY(loaded.window->mnuFileSave->isEnabled());
            QCOMPARE(fileBytes(path), encodeLedger(LedgerTitles{AccountKind::ClassAccount,
                                                                QStringLiteral("東小学校"),
                                                                {},
                                                                QStringLiteral("第１学年"),
                                                                {},
                                                                {},
                                                                {},
                                                                {}},
                                                   loaded.state.ledger)
                                          .bytes);
            loaded.window->close();
        }

        Loaded reopened;
        reopened.answers = {path};
        reopened.window->mnuFileOpen->trigger();
        QCOMPARE(reopened.asked, (QStringList{"開く|すべてのﾌｧｲﾙ (*)|open"}));
        QCOMPARE(reopened.window->TextSchoolName->text(), QStringLiteral("東小学校"));
        QCOMPARE(reopened.window->ComboGradeHome->currentText(), QStringLiteral("第１学年"));
        QCOMPARE(reopened.state.incomeCount, 1);
        QCOMPARE(reopened.state.supplyCount, 1);
        QCOMPARE(reopened.window->MSFlexGridIncome->TextMatrix(1, 2), QStringLiteral("学級費 "));
        QCOMPARE(reopened.window->MSFlexGridSupply->TextMatrix(1, 2), QStringLiteral("No.3"));
        QCOMPARE(reopened.window->LabelIncomeRemainder->text(), QStringLiteral("2,500"));
        QVERIFY(!reopened.state.modified);
        QVERIFY(!reopened.window->mnuFileOpen->isEnabled());
        QVERIFY(reopened.window->mnuFileSave->isEnabled());
        // Receipt 3 is taken, so it is no longer offered.
        QCOMPARE(reopened.window->ComboSupplyReceipt->itemText(2), QStringLiteral(" 4"));

        // Saving over the file keeps the previous version as the backup.
        const QByteArray first = fileBytes(path);
        reopened.record(entry(true, QDate(2002, 5, 10), QStringLiteral("学級費"), 3000));
        reopened.window->mnuFileSave->trigger();
        QCOMPARE(fileBytes(path + QStringLiteral(".bak")), first);
        QVERIFY(fileBytes(path) != first);
        QVERIFY(!reopened.state.modified);
        reopened.window->close();
    }

    void openingDropsAnEntryStillBeingTyped() {
        const QString path = m_files.filePath(QStringLiteral("一件.txt"));
        {
            Loaded writer;
            writer.record(entry(true, QDate(2002, 4, 10), QStringLiteral("学級費"), 3000));
            writer.answers = {path};
            writer.window->mnuFileSaveAs->trigger();
            writer.window->close();
        }
        Loaded loaded;
        loaded.window->CommandIncomeNew->click();
        loaded.window->CommandSupplyNew->click();
        QCOMPARE(loaded.state.incomeCount, 1);
        loaded.answers = {path};
        loaded.window->mnuFileOpen->trigger();
        // Only the file's entry counts; the row of the unrecorded one is gone.
        QCOMPARE(loaded.state.incomeCount, 1);
        QCOMPARE(loaded.state.supplyCount, 0);
        QCOMPARE(loaded.window->MSFlexGridIncome->Rows(), 2);
        QCOMPARE(loaded.window->MSFlexGridSupply->Rows(), 1);
        QVERIFY(!loaded.window->TextIncomeNo->isReadOnly());
        loaded.window->close();
    }

    void aDamagedFileChangesNothing() {
        const QString path = m_files.filePath(QStringLiteral("壊れた.txt"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("iSorobe135\r\nTrue\r\nA\r\nB\r\n");
        }
        Loaded loaded;
        loaded.record(entry(true, QDate(2002, 4, 10), QStringLiteral("学級費"), 3000));
        loaded.answers = {path};
        Answer answer(QMessageBox::Ok);
        loaded.window->mnuFileOpen->trigger();
        QTRY_VERIFY(answer.watcher->sawModal());
        QVERIFY2(answer.text.contains(QStringLiteral("行目")), qPrintable(answer.text));
        QVERIFY(loaded.state.fileName.isEmpty());
        QVERIFY(loaded.window->mnuFileOpen->isEnabled());
        QCOMPARE(loaded.state.incomeCount, 1);
        QVERIFY(loaded.window->TextSchoolName->text().isEmpty());
        loaded.state.modified = false;
        loaded.window->close();
    }

    void aFailedSaveSaysWhyAndKeepsTheChanges() {
        Loaded loaded;
        loaded.record(entry(true, QDate(2002, 4, 10), QStringLiteral("学級費"), 3000));
        loaded.answers = {m_files.path()}; // a folder cannot take the ledger
        Answer answer(QMessageBox::Ok);
        loaded.window->mnuFileSaveAs->trigger();
        QTRY_VERIFY(answer.watcher->sawModal());
        QVERIFY(!answer.text.isEmpty());
        QVERIFY(loaded.state.modified);
        QVERIFY(loaded.state.fileName.isEmpty());
        QVERIFY(!loaded.window->mnuFileSave->isEnabled());
        loaded.state.modified = false;
        loaded.window->close();
    }

    void closingAsksAboutUnsavedChanges() {
        Loaded loaded;
        loaded.record(entry(true, QDate(2002, 4, 10), QStringLiteral("学級費"), 3000));

        // Yes, but the file question is cancelled: the document stays as it was.
        {
            Answer yes(QMessageBox::Yes);
            loaded.window->mnuFileClose->trigger();
            QTRY_VERIFY(yes.watcher->sawModal());
            QCOMPARE(yes.text, QStringLiteral("ﾌｧｲﾙが保存していません。保存しますか？"));
        }
        QCOMPARE(loaded.asked.size(), 1);
        QVERIFY(loaded.state.ledger->nextArticle());
        QVERIFY(loaded.state.modified);

        // No: the document is closed without saving, and the window goes back
        // to the placement stored at the end of the previous run.
        {
            QSettings settings(QStringLiteral("そろべえ"), QStringLiteral("そろべえ"));
            settings.beginGroup(QStringLiteral("Settings"));
            settings.setValue("MainLeft", "1500");
            settings.setValue("MainTop", "750");
        }
        {
            Answer no(QMessageBox::No);
            loaded.window->mnuFileClose->trigger();
            QTRY_VERIFY(no.watcher->sawModal());
        }
        QVERIFY(!loaded.state.ledger->nextArticle());
        QVERIFY(!loaded.state.modified);
        QCOMPARE(loaded.state.incomeCount, 0);
        QCOMPARE(loaded.window->MSFlexGridIncome->Rows(), 1);
        QCOMPARE(loaded.window->LabelIncomeRemainder->text(), QStringLiteral("0"));
        QVERIFY(loaded.window->mnuFileOpen->isEnabled());
        QVERIFY(!loaded.window->mnuFileSave->isEnabled());
        QVERIFY(loaded.window->mnuFileSaveAs->isEnabled());
        QVERIFY(loaded.window->optTiTle[0]->isChecked());
        QCOMPARE(loaded.window->pos(), QPoint(twipsToPixels(1500), twipsToPixels(750)));

        // Nothing unsaved: no question at all.
        Answer none(QMessageBox::No);
        loaded.window->mnuFileClose->trigger();
        QTest::qWait(100);
        QVERIFY(!none.watcher->sawModal());
        loaded.window->close();
    }

    // Dismissing the question is no いいえ: the command that asked is called off.
    void theQuestionCanBeCancelled_data() {
        QTest::addColumn<bool>("exit");   // 終了 (the window's close) or 閉じる
        QTest::addColumn<QString>("how"); // キャンセル, Esc or the box's close button
        for (bool exit : {false, true}) {
            for (const char* how : {"cancel", "escape", "close"})
                QTest::addRow("%s %s", exit ? "exit" : "close", how) << exit << how;
        }
    }
    void theQuestionCanBeCancelled() {
        QFETCH(bool, exit);
        QFETCH(QString, how);
        Loaded loaded;
        loaded.record(entry(true, QDate(2002, 4, 10), QStringLiteral("学級費"), 3000));
        QList<QMessageBox::StandardButton> offered;
        ModalWatcher answer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            for (QAbstractButton* button : box->buttons())
                offered << box->standardButton(button);
            QAbstractButton* cancel = box->button(QMessageBox::Cancel);
            if (how == u"cancel" && cancel)
                cancel->click();
            else if (how == u"escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        if (exit)
            QVERIFY(!loaded.window->close());
        else
            loaded.window->mnuFileClose->trigger();
        QTRY_VERIFY(answer.sawModal());
        std::sort(offered.begin(), offered.end());
        QCOMPARE(offered, (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No,
                                                              QMessageBox::Cancel}));
        QVERIFY(loaded.window->isVisible());
        QVERIFY(loaded.asked.isEmpty());
        QVERIFY(loaded.state.modified);
        QCOMPARE(loaded.state.incomeCount, 1);
        QVERIFY(loaded.state.ledger->nextArticle());
        loaded.state.modified = false;
        loaded.window->close();
    }

    // Item names used before 閉じる are offered after it and written at the end.
    void closingKeepsTheItemNamesOfTheRun() {
        const QString history = m_files.filePath(QStringLiteral("Sorobe.ini"));
        {
            const SelectionPtr income = SorobeSelection::create();
            income->appendSelectionWithCount(
                SorobeSelection::create(QStringLiteral("教材費"), 1, DateTime::today()));
            QVERIFY(saveItemHistory(income, SorobeSelection::create(), history));
        }
        Loaded loaded;
        loaded.window->setItemHistoryFiles(history, history);
        frmMain& w = *loaded.window;
        w.Form_Load(); // reads the file, as the window load at start-up does
        w.CommandIncomeNew_Click();
        w.ComboIncomeArticle->setEditText(QStringLiteral("学級費"));
        w.TextIncomeAmount->setText(QStringLiteral("3000"));
        w.CommandIncomeRecord_Click();
        QVERIFY(loaded.state.modified);
        {
            Answer no(QMessageBox::No);
            w.mnuFileClose->trigger();
            QTRY_VERIFY(no.watcher->sawModal());
        }
        QVERIFY(!loaded.state.ledger->nextArticle());
        const QStringList offered{QStringLiteral("教材費"), QStringLiteral("学級費")};
        QStringList items;
        for (int i = 0; i < w.ComboIncomeArticle->count(); ++i)
            items << w.ComboIncomeArticle->itemText(i);
        QCOMPARE(items, offered);
        w.close();

        const SelectionPtr income = SorobeSelection::create();
        loadItemHistory(income, SorobeSelection::create(), history);
        items.clear();
        for (SelectionPtr r = income->nextSelection(); r; r = r->nextSelection())
            items << r->tsArticle();
        QCOMPARE(items, offered);
    }

    void theWindowStaysOpenWhenTheAskedForSaveFails() {
        Loaded loaded;
        loaded.record(entry(true, QDate(2002, 4, 10), QStringLiteral("学級費"), 3000));
        loaded.answers = {m_files.path()};
        int boxes = 0;
        ModalWatcher first([&](QWidget* modal) {
            ++boxes;
            static_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
        });
        QTimer later;
        later.setInterval(20);
        QObject::connect(&later, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (box->text() != QStringLiteral("ﾌｧｲﾙが保存していません。保存しますか？")) {
                    ++boxes;
                    box->accept();
                }
            }
        });
        later.start();
        QVERIFY(!loaded.window->close());
        QCOMPARE(boxes, 2);
        QVERIFY(loaded.window->isVisible());
        QVERIFY(loaded.state.modified);
        loaded.state.modified = false;
        loaded.window->close();
    }

    void toolbarButtonsRunTheirCommands() {
        Loaded loaded;
        QAction* open = nullptr;
        QAction* saveAs = nullptr;
        for (QAction* button : loaded.window->tbToolBar->actions()) {
            if (button->property("Key") == QStringLiteral("開く"))
                open = button;
            if (button->property("Key") == QStringLiteral("名前をつけて保存"))
                saveAs = button;
        }
        QVERIFY(open && saveAs);
        open->trigger();
        saveAs->trigger();
        QCOMPARE(loaded.asked, (QStringList{"開く|すべてのﾌｧｲﾙ (*)|open",
                                            "名前をつけて保存する|ﾃｷｽﾄﾌｧｲﾙ (*.txt)|save"}));
        loaded.window->close();
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
