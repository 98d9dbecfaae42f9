#include "../app/ModalWatcher.h"
#include "../print/PrintTestData.h"
#include "SharedState.h"
#include "frmMain.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

    // The preview shows the chosen kind's pages, asking nothing first.
    void thePreviewShowsTheChosenKind() {
        Loaded loaded;
        int pages = 0;
        QString title;
        const QStringList texts = answerBoxes(QMessageBox::No, [&] {
            QTimer look;
            look.setInterval(10);
            QObject::connect(&look, &QTimer::timeout, [&] {
                auto* preview =
                    qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
                if (!preview)
                    return;
                pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
                title = preview->windowTitle();
                preview->reject();
            });
            look.start();
            loaded.window->mnuFilePreview->trigger();
        });
        QVERIFY(texts.isEmpty());
        QCOMPARE(title, QStringLiteral("印刷プレビュー - 年間元帳"));
        QCOMPARE(pages, 1);
        QVERIFY(!loaded.state.termsStale);
    }

    // The export writes the chosen kind as an A4 PDF with the Mincho face
    // embedded, under the name offered beside the ledger; where it cannot
    // write, it says so and leaves no file.
    void exportWritesAPdf_data() {
        QTest::addColumn<int>("kind"); // index of the option on the settings page
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("offered");
        QTest::newRow("year ledger") << 10 << "元帳.pdf"
                                     << "2002年度 年間元帳.pdf";
        QTest::newRow("autumn report") << 3 << "報告.pdf"
                                       << "2002年度 二学期会計報告.pdf";
        QTest::newRow("no such folder") << 10 << "ない/元帳.pdf"
                                        << "2002年度 年間元帳.pdf";
        QTest::newRow("over an older export") << 10 << "古い.pdf"
                                              << "2002年度 年間元帳.pdf";
    }
    void exportWritesAPdf() {
        QFETCH(int, kind);
        QFETCH(QString, chosen);
        QFETCH(QString, offered);
        const QTemporaryDir folder;
        Loaded loaded;
        loaded.state.fileName = folder.filePath(QStringLiteral("2002年度.txt"));
        loaded.window->setFileChooser(
            [&](const QString&, const QString&, bool) { return folder.filePath(chosen); });
        if (chosen == u"古い.pdf") {
            QFile old(folder.filePath(chosen));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        QTest::mouseClick(loaded.window->optPrint[kind], Qt::LeftButton);
        const QStringList texts =
            answerBoxes(QMessageBox::Ok, [&] { loaded.window->mnuFileExportPdf->trigger(); });
        QCOMPARE(loaded.window->offeredPath(), folder.filePath(offered));
        const bool writable = !chosen.contains(u'/');
        QCOMPARE(texts.size(), writable ? 0 : 1);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 writable ? QStringList{chosen} : QStringList());
        if (!writable)
            return;
        QFile file(folder.filePath(chosen));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pdf.count("/Type /Page\n"), 1);
        QVERIFY(pdf.contains("/MediaBox [0 0 595"));
        QVERIFY(pdf.contains("/FontFile2"));
        QVERIFY(pdf.contains("Mincho"));
        // To be shared: readable by others, as a saved file is.
        QVERIFY(QFile::permissions(folder.filePath(chosen)) & QFileDevice::ReadOther);
    }

    // Each kind exported from a realistic year, read back with the tools a
    // teacher's PDF reader uses: A4 pages, the title as text, every sheet of
    // a longer printout numbered, and the Mincho face embedded.
    void everyKindExportsAsAReadablePdf_data() {
        QTest::addColumn<int>("kind"); // index of the option on the settings page
        QTest::addColumn<QString>("title");
        const QString ledger = QStringLiteral("学級会計元帳 %1");
        const QString report = QStringLiteral("%1 学級会計報告");
        const QStringList periods{QStringLiteral("１学期"), QStringLiteral("２学期"),
                                  QStringLiteral("３学期"), QStringLiteral("前期"),
                                  QStringLiteral("後期")};
        for (int period = 0; period < 5; ++period) {
            QTest::addRow("ledger %d", period) << 2 * period << ledger.arg(periods[period]);
            QTest::addRow("report %d", period) << 2 * period + 1 << report.arg(periods[period]);
        }
        QTest::newRow("year ledger") << 10 << QStringLiteral("学級会計元帳");
        QTest::newRow("year report") << 11 << report.arg(QStringLiteral("年度"));
    }
    void everyKindExportsAsAReadablePdf() {
        QFETCH(int, kind);
        QFETCH(QString, title);
        const QTemporaryDir folder;
        const QString fileName = folder.filePath(QStringLiteral("会計.pdf"));
        Loaded loaded;
        for (const ArticlePtr& entry : test::schoolYear())
            loaded.state.ledger->addArticle(entry);
        loaded.window->setFileChooser(
            [&](const QString&, const QString&, bool) { return fileName; });
        // On the round mark: a short caption leaves the middle of the option empty.
        QRadioButton* option = loaded.window->optPrint[kind];
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
        QCOMPARE(loaded.state.printKind, kind + 1);
        QVERIFY(answerBoxes(QMessageBox::Ok, [&] {
                    loaded.window->mnuFileExportPdf->trigger();
                }).isEmpty());

        const QString info = pdfTool("pdfinfo", {fileName});
        const QString text = pdfTool("pdftotext", {"-layout", fileName, "-"});
        const QString fonts = pdfTool("pdffonts", {fileName});
        QVERIFY2(info.contains(QRegularExpression(
                     "Page size: +595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)")),
                 qPrintable(info));
        const int pages = QRegularExpression("Pages: +(\\d+)").match(info).captured(1).toInt();
        QVERIFY(pages >= 1);
        if (kind == 10)
            QVERIFY(pages > 1); // a year's entries take more than one sheet
        QVERIFY2(text.contains(title), qPrintable(text.left(400)));
        QStringList numbers;
        for (const QString& line : text.split(u'\n')) {
            if (QRegularExpression("^\\d+ / \\d+$").match(line.trimmed()).hasMatch())
                numbers << line.trimmed();
        }
        QStringList expected;
        for (int page = 1; pages > 1 && page <= pages; ++page)
            expected << QString("%1 / %2").arg(page).arg(pages);
        QCOMPARE(numbers, expected);
        QVERIFY2(QRegularExpression("Mincho.* yes +(yes|no) +yes").match(fonts).hasMatch(),
                 qPrintable(fonts));
    }

private:
    // What a poppler tool prints about the file; it is installed by the set-up script.
    static QString pdfTool(const QString& tool, const QStringList& arguments) {
        QProcess process;
        process.start(tool, arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            return QStringLiteral("%1 failed: %2 %3")
                .arg(tool, process.errorString(),
                     QString::fromLocal8Bit(process.readAllStandardError()));
        return QString::fromUtf8(process.readAllStandardOutput());
    }
};

QTEST_MAIN(TestPrintCommand)
#include "tst_printcommand.moc"
