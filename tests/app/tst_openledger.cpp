// Opening a ledger from outside the open command: the command line, a file
// dropped on the window, the recent files, and where the file questions start.

#include "AppVersion.h"
#include "BoxAnswers.h"
#include "LedgerFile.h"
#include "LedgerLock.h"
#include "ModalWatcher.h"
#include "StartUp.h"

#include <QAbstractButton>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace sorobe;

namespace {

// Clicks the button with that caption in a box.
void clickCaption(QWidget* modal, const QString& caption) {
    for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
        if (button->text() == caption)
            button->click();
    }
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A drag of the given local files (or folders) onto the widget, dropped
// when `drop` is set; whether the widget took it.
bool dragOnto(QWidget* target, const QStringList& paths, bool drop) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted() || !drop)
        return enter.isAccepted();
    QDropEvent dropped(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

} // namespace

class TestOpenLedger : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_files;
    QString m_ledger;  // a class's year, as the program writes it
    QString m_damaged; // cut inside its last line

    // A ledger in the scratch folder, a copy of the class's year.
    QString ledgerCopy(const QString& name) {
        const QString path = m_files.filePath(name);
        QFile::remove(path);
        QDir().mkpath(QFileInfo(path).path());
        return QFile::copy(m_ledger, path) ? path : QString();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        QVERIFY(m_files.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_config.filePath("data")));
        configureApplication();
        m_ledger = QStringLiteral(SOROBE_TEST_DATA "/ledger/sorobe.txt");
        QVERIFY(QFileInfo(m_ledger).isFile());
        m_damaged = m_files.filePath("壊れた.txt");
        QFile damaged(m_damaged);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(fileBytes(m_ledger).chopped(2));
    }

    void init() { QSettings(QStringLiteral("そろべえ"), QStringLiteral("そろべえ")).clear(); }

    // Asked from a terminal: the help, the version, and a usage message with
    // exit code 2 for what the program does not understand. Qt's own
    // options stay Qt's.
    void theCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("errors");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "使い方: sorobe [元帳ファイル]"
                              << "";
        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << QStringLiteral("そろべえ ") + versionText() << "";
        QTest::newRow("Qt's option, then ours")
            << QStringList{"-platform", "offscreen", "-h"} << 0 << "使い方"
            << "";
        QTest::newRow("two files") << QStringList{"a.txt", "b.txt"} << 2 << ""
                                   << "sorobe: 開ける元帳ファイルは一つだけです。\n使い方";
        QTest::newRow("unknown option") << QStringList{"--print"} << 2 << ""
                                        << "sorobe: 知らないオプションです: --print\n使い方";
        QTest::newRow("an option after --") << QStringList{"--", "--version"} << -1 << ""
                                            << "";
    }

    void theCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, errors);
        QProcess program;
        // With no screen at all: the usage and the version need none, and
        // every other answer comes before the window would.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (exitCode == 0 && !arguments.contains("-platform")) {
            environment.remove("DISPLAY");
            environment.remove("WAYLAND_DISPLAY");
            environment.remove("QT_QPA_PLATFORM");
        }
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(SOROBE_EXECUTABLE), arguments);
        QVERIFY(program.waitForStarted());
        if (exitCode < 0) {
            // A file named "--version": the window starts instead of a version line.
            QVERIFY(!program.waitForFinished(1500));
            program.kill();
            program.waitForFinished();
            QVERIFY(!program.readAllStandardOutput().contains(versionText().toUtf8()));
            return;
        }
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), exitCode);
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(output.isEmpty() ? out.isEmpty() : out.startsWith(output), qPrintable(out));
        if (!errors.isEmpty())
            QVERIFY2(err.contains(errors), qPrintable(err));
    }

    // A ledger named at start opens as the open command opens it; one that
    // cannot be read says why over an empty window.
    void aLedgerNamedAtStartIsOpened_data() {
        QTest::addColumn<bool>("relative");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("a full path") << false << false;
        QTest::newRow("a path from the current folder") << true << false;
        QTest::newRow("a damaged file") << false << true;
    }

    void aLedgerNamedAtStartIsOpened() {
        QFETCH(bool, relative);
        QFETCH(bool, damaged);
        const QString path = damaged ? m_damaged : ledgerCopy("2002年度.txt");
        const QString before = QDir::currentPath();
        QDir::setCurrent(m_files.path());
        SharedState state;
        BoxAnswers boxes(QMessageBox::Ok);
        auto window = startUp(state, relative ? QFileInfo(path).fileName() : path);
        QDir::setCurrent(before);

        QCOMPARE(boxes.texts.size(), damaged ? 1 : 0);
        if (damaged) {
            QVERIFY2(boxes.texts[0].contains("行目"), qPrintable(boxes.texts[0]));
            QVERIFY(state.fileName.isEmpty());
            QVERIFY(!state.ledger->nextArticle());
            QVERIFY(window->recentFiles().isEmpty());
        } else {
            QCOMPARE(state.fileName, path);
            QVERIFY(window->windowTitle().startsWith("2002年度.txt - そろべえ"));
            QVERIFY(state.incomeCount > 0);
            QCOMPARE(window->recentFiles(), QStringList{path});
        }
        window->close();
    }

    // A ledger file dropped anywhere on the window, a field included, takes
    // the window's document's place after the question about unsaved
    // changes; other drags are not taken.
    void aDroppedLedgerOpens_data() {
        QTest::addColumn<QString>("before");  // "", "open", "changed"
        QTest::addColumn<int>("answer");      // to the question, if it comes
        QTest::addColumn<QString>("dropped"); // "ledger", "folder", "two"
        QTest::addColumn<bool>("opened");
        QTest::newRow("empty window") << "" << 0 << "ledger" << true;
        QTest::newRow("a saved ledger open") << "open" << 0 << "ledger" << true;
        QTest::newRow("unsaved, いいえ") << "changed" << int(QMessageBox::No) << "ledger" << true;
        QTest::newRow("unsaved, キャンセル")
            << "changed" << int(QMessageBox::Cancel) << "ledger" << false;
        QTest::newRow("a folder") << "" << 0 << "folder" << false;
        QTest::newRow("two files") << "" << 0 << "two" << false;
    }

    void aDroppedLedgerOpens() {
        QFETCH(QString, before);
        QFETCH(int, answer);
        QFETCH(QString, dropped);
        QFETCH(bool, opened);
        const QString first = ledgerCopy("一つめ/2002年度.txt");
        const QString second = ledgerCopy("二つめ/2002年度.txt");
        SharedState state;
        auto window = startUp(state, before.isEmpty() ? QString() : first);
        if (before == "changed")
            state.modified = true;
        const QStringList paths = dropped == "ledger"   ? QStringList{second}
                                  : dropped == "folder" ? QStringList{m_files.path()}
                                                        : QStringList{first, second};
        BoxAnswers boxes(QMessageBox::StandardButton(answer ? answer : QMessageBox::Ok));
        QCOMPARE(dragOnto(window->TextSchoolName, paths, true), dropped == "ledger");
        QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), before == "changed" ? 1 : 0, 2000);
        QTest::qWait(50);
        // One question, never a second.
        QCOMPARE(boxes.texts.size(), before == "changed" ? 1 : 0);
        QCOMPARE(state.fileName, opened ? second : before.isEmpty() ? QString() : first);
        // A dropped file's name never lands in the field as text.
        QVERIFY(!window->TextSchoolName->text().contains("2002"));
        state.modified = false;
        window->close();
    }

    // The ﾌｧｲﾙ menu lists the last six ledgers, newest first; one chosen
    // that is gone is taken off the list with a message.
    void theRecentFiles() {
        QStringList opened;
        SharedState state;
        auto window = startUp(state);
        for (int k = 1; k <= 8; ++k) {
            opened.prepend(ledgerCopy(QStringLiteral("年度%1/2002年度.txt").arg(k)));
            QVERIFY(window->openLedger(opened.first()));
        }
        QCOMPARE(window->recentFiles(), opened.mid(0, 6));
        auto* menu = window->findChild<QMenu*>("mnuFileRecent");
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 6);
        QCOMPARE(menu->actions().first()->text(), "&1 " + QDir::toNativeSeparators(opened[0]));

        // The fourth, chosen again, comes first; the others keep their order.
        menu->actions().at(3)->trigger();
        QCOMPARE(state.fileName, opened[3]);
        QCOMPARE(window->recentFiles(),
                 (QStringList{opened[3], opened[0], opened[1], opened[2], opened[4], opened[5]}));

        QVERIFY(QFile::remove(opened[1]));
        BoxAnswers boxes(QMessageBox::Ok);
        menu->actions().at(2)->trigger();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts[0].contains(QDir::toNativeSeparators(opened[1])));
        QCOMPARE(state.fileName, opened[3]);
        QCOMPARE(window->recentFiles(),
                 (QStringList{opened[3], opened[0], opened[2], opened[4], opened[5]}));
        QCOMPARE(menu->actions().size(), 5);
        window->close();
    }

    // The open and save questions start in the folder of the document's
    // file, else of the last ledger used, else the user's documents.
    void theFileQuestionsStartNearTheLedger_data() {
        QTest::addColumn<bool>("documentOpen");
        QTest::addColumn<bool>("usedBefore");
        QTest::addColumn<bool>("usedFolderGone");
        QTest::addColumn<QString>("expected"); // "document", "used", "documents"
        QTest::newRow("a ledger open") << true << true << false << "document";
        QTest::newRow("none open, one used") << false << true << false << "used";
        QTest::newRow("the used one's folder gone") << false << true << true << "documents";
        QTest::newRow("first run") << false << false << false << "documents";
    }

    void theFileQuestionsStartNearTheLedger() {
        QFETCH(bool, documentOpen);
        QFETCH(bool, usedBefore);
        QFETCH(bool, usedFolderGone);
        QFETCH(QString, expected);
        const QString used = ledgerCopy("使った/2002年度.txt");
        const QString open = ledgerCopy("開いている/2002年度.txt");
        if (usedBefore) {
            SharedState earlier;
            auto window = startUp(earlier, used);
            window->close();
        }
        if (usedFolderGone)
            QVERIFY(QDir(QFileInfo(used).path()).removeRecursively());
        SharedState state;
        auto window = startUp(state, documentOpen ? open : QString());
        QStringList asked;
        window->setFileChooser([&](const QString&, const QString&, bool) {
            asked << window->offeredPath();
            return QString();
        });
        window->mnuFileSaveAs->setEnabled(true);
        window->mnuFileOpen->setEnabled(true);
        window->mnuFileOpen->trigger();
        window->mnuFileSaveAs->trigger();
        const QString folder =
            expected == "document" ? QFileInfo(open).path()
            : expected == "used"
                ? QFileInfo(used).path()
                : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QCOMPARE(asked, (QStringList{folder, folder}));
        window->close();
    }

    // A ledger another window holds opens read-only (saved under a new name)
    // or not at all, after a message naming who holds it; once the holder
    // closes it, it opens without a word.
    void aLedgerHeldElsewhere_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("throughALink");
        QTest::newRow("キャンセル") << false << false;
        QTest::newRow("読み取り専用で開く") << true << false;
        QTest::newRow("キャンセル, reached through a link") << false << true;
    }

    void aLedgerHeldElsewhere() {
        QFETCH(bool, readOnly);
        QFETCH(bool, throughALink);
        const QString path = ledgerCopy("共有/2002年度.txt");
        const QString link = m_files.filePath("共有/今年.txt");
        QFile::remove(link);
        QVERIFY(QFile::link(path, link));
        const QByteArray original = fileBytes(path);
        SharedState holderState;
        auto holder = startUp(holderState, path);
        QCOMPARE(holderState.fileName, path);

        SharedState state;
        auto window = startUp(state);
        QString text;
        ModalWatcher answer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            text = box->text();
            if (readOnly)
                clickCaption(box, QStringLiteral("読み取り専用で開く"));
            else
                box->button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(window->openLedger(throughALink ? link : path), readOnly);
        QVERIFY(text.contains((throughALink ? "「今年.txt」" : "「2002年度.txt」") +
                              QStringLiteral("は、ほかのそろべえで開かれています。")));
        QVERIFY(text.contains(QSysInfo::machineHostName()));
        QVERIFY(text.contains(QString::number(QCoreApplication::applicationPid())));
        QCOMPARE(state.fileName, readOnly ? path : QString());
        QCOMPARE(window->windowTitle().contains("（読み取り専用）"), readOnly);

        if (readOnly) {
            // 上書き保存 asks for a name of its own and leaves the held file alone.
            const QString copy = m_files.filePath("共有/写し.txt");
            QStringList asked;
            window->setFileChooser([&](const QString& title, const QString&, bool) {
                asked << title;
                return copy;
            });
            window->mnuFileSave->trigger();
            QCOMPARE(asked, QStringList{"名前をつけて保存する"});
            QCOMPARE(state.fileName, copy);
            QVERIFY(QFileInfo(copy).isFile());
            QCOMPARE(fileBytes(path), original);
            QVERIFY(!window->windowTitle().contains("（読み取り専用）"));
            QVERIFY(QFileInfo::exists(LedgerLock::lockPathFor(copy)));
            window->mnuFileClose->trigger();
            QVERIFY(!QFileInfo::exists(LedgerLock::lockPathFor(copy)));
        }

        holder->mnuFileClose->trigger();
        QVERIFY(!QFileInfo::exists(LedgerLock::lockPathFor(path)));
        QVERIFY(window->openLedger(path));
        QCOMPARE(state.fileName, path);
        window->close();
        holder->close();
    }

    // Ways a window could write over a ledger unasked, or let go of its
    // own lock: the document's own file saved under a new name and opened
    // again; a read-only copy saved back once its holder has saved and
    // closed; a file whose running balance cannot be held, opened over it.
    void theOpenDocumentIsKeptSafe_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("its own file opened again") << "own file";
        QTest::newRow("a read-only copy saved back") << "read-only back";
        QTest::newRow("a ledger too large to add up") << "overflow";
    }

    void theOpenDocumentIsKeptSafe() {
        QFETCH(QString, what);
        const QString path = ledgerCopy("安全/2002年度.txt");
        SharedState state;
        if (what == "own file") {
            BoxAnswers boxes(QMessageBox::No);
            auto window = startUp(state);
            window->setFileChooser([&](const QString&, const QString&, bool) { return path; });
            window->mnuFileSaveAs->setEnabled(true);
            window->mnuFileSaveAs->trigger();
            QCOMPARE(state.fileName, path);
            window->mnuFileOpen->setEnabled(true);
            window->mnuFileOpen->trigger();
            QCOMPARE(boxes.texts, QStringList());
            QVERIFY(QFileInfo::exists(LedgerLock::lockPathFor(path)));
            QVERIFY(!window->windowTitle().contains("（読み取り専用）"));
            window->close();
        } else if (what == "read-only back") {
            SharedState holderState;
            auto holder = startUp(holderState, path);
            auto window = startUp(state);
            {
                ModalWatcher open(
                    [](QWidget* box) { clickCaption(box, QStringLiteral("読み取り専用で開く")); });
                QVERIFY(window->openLedger(path));
            }
            BoxAnswers boxes(QMessageBox::No);
            holder->mnuFileSave->trigger();
            {
                QFile file(path);
                QVERIFY(file.open(QIODevice::Append));
                file.write("\r\n");
            }
            const QByteArray holders = fileBytes(path);
            holder->mnuFileClose->trigger();
            window->setFileChooser([&](const QString&, const QString&, bool) { return path; });
            window->mnuFileSave->trigger();
            QCOMPARE(boxes.texts.size(), 1);
            QVERIFY(boxes.texts[0].contains("ほかのプログラムで書き換えられています"));
            QCOMPARE(fileBytes(path), holders);
            window->close();
            holder->close();
        } else {
            const QString tooLarge = m_files.filePath("安全/大きすぎる.txt");
            ArticlePtr ledger = SorobeArticle::create();
            for (int day = 1; day <= 2; ++day) {
                ArticlePtr gift = SorobeArticle::create();
                gift->setTaIncome(true);
                gift->setTaDate(DateTime::fromDate(2002, 4, day));
                gift->setTaArticle(QStringLiteral("寄付金"));
                gift->setTaAmount(2000000000);
                ledger->addArticle(gift);
            }
            QVERIFY(saveLedgerFile(tooLarge, LedgerTitles{}, ledger).ok);
            auto window = startUp(state, path);
            BoxAnswers boxes(QMessageBox::Ok);
            QVERIFY(!window->openLedger(tooLarge));
            QCOMPARE(boxes.texts.size(), 1);
            QCOMPARE(state.fileName, path);
            QVERIFY(state.ledger->nextArticle());
            QVERIFY(QFileInfo::exists(LedgerLock::lockPathFor(path)));
            window->close();
        }
    }

    // A lock left behind by a program that is gone (a crash, a power cut)
    // is taken over without a question.
    void aLockLeftByACrashIsTakenOver() {
        const QString path = ledgerCopy("停電/2002年度.txt");
        QProcess ended;
        ended.start("true");
        QVERIFY(ended.waitForStarted());
        const qint64 gone = ended.processId();
        QVERIFY(ended.waitForFinished());
        {
            QFile lock(LedgerLock::lockPathFor(path));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(QByteArray::number(gone) + "\nそろべえ\n" +
                       QSysInfo::machineHostName().toUtf8() + "\n");
        }
        SharedState state;
        BoxAnswers boxes(QMessageBox::Cancel);
        auto window = startUp(state, path);
        QCOMPARE(boxes.texts.join("|"), QString());
        QCOMPARE(state.fileName, path);
        QVERIFY(fileBytes(LedgerLock::lockPathFor(path))
                    .startsWith(QByteArray::number(QCoreApplication::applicationPid()) + "\n"));
        window->close();
    }

    // 上書き保存 over a file another program changed since it was opened or
    // saved asks first; いいえ keeps the other program's file.
    void aFileChangedOnDiskIsNotOverwrittenUnasked_data() {
        QTest::addColumn<bool>("changedElsewhere");
        QTest::addColumn<int>("answer");
        QTest::newRow("unchanged: no question") << false << int(QMessageBox::Yes);
        QTest::newRow("changed, いいえ") << true << int(QMessageBox::No);
        QTest::newRow("changed, はい") << true << int(QMessageBox::Yes);
    }

    void aFileChangedOnDiskIsNotOverwrittenUnasked() {
        QFETCH(bool, changedElsewhere);
        QFETCH(int, answer);
        const QString path = ledgerCopy("書き換え/2002年度.txt");
        QFile::remove(m_files.filePath("書き換え/2002年度.bak"));
        SharedState state;
        auto window = startUp(state, path);
        QByteArray onDisk = fileBytes(path);
        if (changedElsewhere) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            file.write("\r\n");
            file.close();
            onDisk = fileBytes(path);
        }
        BoxAnswers boxes{QMessageBox::StandardButton(answer)};
        window->mnuFileSave->trigger();
        QCOMPARE(boxes.texts.size(), changedElsewhere ? 1 : 0);
        if (changedElsewhere)
            QVERIFY(boxes.texts[0].contains("ほかのプログラムで書き換えられています"));
        const bool kept = changedElsewhere && answer == QMessageBox::No;
        const QString backup = m_files.filePath("書き換え/2002年度.bak");
        QCOMPARE(QFileInfo::exists(backup), !kept);
        QCOMPARE(fileBytes(kept ? path : backup), onDisk);
        // Once saved, the next save asks nothing.
        if (!kept) {
            window->mnuFileSave->trigger();
            QCOMPARE(boxes.texts.size(), changedElsewhere ? 1 : 0);
        }
        window->close();
    }
};

QTEST_MAIN(TestOpenLedger)
#include "tst_openledger.moc"
