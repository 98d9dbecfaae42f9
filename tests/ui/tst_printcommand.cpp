#include "../app/ModalWatcher.h"
#include "SharedState.h"
#include "frmMain.h"

#include <QFile>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace sorobe;

class TestPrintCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    struct Loaded {
        SharedState state;
        std::unique_ptr<frmMain> window;
        int dialogs = 0;
        QString pdf; // where the chosen printer writes; empty = the user cancels
        Loaded() {
            state.fillPrintKindNames();
            window = std::make_unique<frmMain>(state);
            window->setPrintDialog([this](QPrinter& printer) {
                ++dialogs;
                if (pdf.isEmpty())
                    return false;
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf);
                return true;
            });
            window->Form_Load();
            window->show();
            ArticlePtr e = SorobeArticle::create();
            e->setTaIncome(true);
            e->setTaDate(DateTime::fromDate(2002, 9, 10));
            e->setTaArticle(QStringLiteral("学級費"));
            e->setTaSubArticle(QStringLiteral("9月分"));
            e->setTaAmount(35000);
            state.ledger->addArticle(e);
            state.termsStale = true;
        }
    };

    // Answers the confirmation with `answer` and records every box's text.
    static QStringList answerBoxes(QMessageBox::StandardButton answer,
                                   const std::function<void()>& action) {
        QStringList texts;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                if (QAbstractButton* button = box->button(answer))
                    button->click();
                else
                    box->accept();
            }
        });
        timer.start();
        action();
        return texts;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    void answeringNoGivesTheHintAndPrintsNothing() {
        Loaded loaded;
        const QStringList texts =
            answerBoxes(QMessageBox::No, [&] { loaded.window->mnuFilePrint->trigger(); });
        QCOMPARE(texts, (QStringList{"年間元帳を印刷します。よろしいですか？",
                                     "「設定」画面から、印刷の種類を選択してください。"}));
        QCOMPARE(loaded.dialogs, 0);
        QVERIFY(loaded.state.termsStale);
    }

    void cancellingThePrinterChoiceDoesNotTabulate() {
        Loaded loaded;
        const QStringList texts =
            answerBoxes(QMessageBox::Yes, [&] { loaded.window->mnuFilePrint->trigger(); });
        QCOMPARE(texts.size(), 1);
        QCOMPARE(loaded.dialogs, 1);
        QVERIFY(loaded.state.termsStale);
        QVERIFY(!loaded.state.termLists.yearIncome->nextArticle());
    }

    void theChosenKindIsPrintedAfterATabulation() {
        Loaded loaded;
        QTest::mouseClick(loaded.window->optPrint[3], Qt::LeftButton); // 二学期会計報告
        loaded.pdf = m_dir.filePath(QStringLiteral("report.pdf"));
        const QStringList texts =
            answerBoxes(QMessageBox::Yes, [&] { loaded.window->mnuFilePrint->trigger(); });
        QCOMPARE(texts, (QStringList{"二学期会計報告を印刷します。よろしいですか？"}));
        QVERIFY(!loaded.state.termsStale);
        QCOMPARE(loaded.state.termLists.autumnIncome->sumArticle(), 35000);
        QFile pdf(loaded.pdf);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));
    }
};

QTEST_MAIN(TestPrintCommand)
#include "tst_printcommand.moc"
