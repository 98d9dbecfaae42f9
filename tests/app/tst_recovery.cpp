// The recovery copy across a crash: an evening typed in a program that is
// killed comes back at the next start, byte for byte; declined, it is kept
// aside; and a program that ended in order leaves nothing to offer.

#include "BoxAnswers.h"
#include "Cp932.h"
#include "EveningSteps.h"
#include "RecoveryCopy.h"
#include "StartUp.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace sorobe;

namespace {

const QString question = QStringLiteral("前回、保存されていない変更があります。復元しますか？");

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList copiesLeft() {
    return QDir(recoveryFolder()).entryList({QStringLiteral("sorobe-*.txt")}, QDir::Files);
}

// What the child program held when it ended, and the recovery folder then.
struct Evening {
    QByteArray ledger;
    QByteArray roll;
    QStringList folder;
};

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;

    // A copy of a saved class ledger, or none for a document never saved.
    QString ledgerFor(bool saved) {
        if (!saved)
            return {};
        const QString path = m_home.filePath(QStringLiteral("files/2026年度.txt"));
        QFile::remove(path);
        QFile::remove(path.chopped(4) + QStringLiteral(".roll"));
        return QFile::copy(QStringLiteral(SOROBE_TEST_DATA "/ledger/v135_class.txt"), path)
                   ? path
                   : QString();
    }

    // Runs the child's evening to its ending; see RecoveryChild.cpp.
    Evening runEvening(const QString& ending, const QString& ledger) {
        const QString out = m_home.filePath(QStringLiteral("evening.out"));
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral(SOROBE_RECOVERY_CHILD), {ending, out, ledger});
        if (!child.waitForFinished(60'000))
            qFatal("the evening did not end");
        const bool killed = child.exitStatus() == QProcess::CrashExit;
        if (killed == (ending == u"exit") || (!killed && child.exitCode() != 0))
            qFatal("the evening ended wrongly: %d", child.exitCode());
        const QList<QByteArray> parts = fileBytes(out).split('\x1e');
        if (parts.size() != 3)
            qFatal("the evening wrote no account");
        return {parts[0], parts[1], QString::fromUtf8(parts[2]).split(u'\n')};
    }

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        // This run's data and settings, for the child program as well.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath("config")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_home.filePath("config"));
        configureApplication();
        QVERIFY(recoveryFolder().startsWith(m_home.path()));
        QVERIFY(QDir().mkpath(m_home.filePath("files")));
    }

    void init() { QVERIFY(QDir(recoveryFolder()).removeRecursively()); }

    // はい: the entries back in the window, unsaved and under their file's
    // name, which is not written until the teacher saves.
    // Started again on the ledger itself (a double-click on its file), the
    // restored changes stay and no other question comes.
    void aCrashedEveningIsRestored_data() {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("namedAtStart");
        QTest::newRow("a ledger never saved") << false << false;
        QTest::newRow("a saved ledger") << true << false;
        QTest::newRow("a saved ledger, named at start") << true << true;
    }

    void aCrashedEveningIsRestored() {
        QFETCH(bool, saved);
        QFETCH(bool, namedAtStart);
        const QString ledger = ledgerFor(saved);
        const QByteArray fileBefore = fileBytes(ledger);
        const Evening evening = runEvening(QStringLiteral("crash"), ledger);
        QCOMPARE(copiesLeft().size(), 1);

        BoxAnswers yes(QMessageBox::Yes);
        SharedState state;
        auto window = startUp(state, namedAtStart ? ledger : QString());
        QCOMPARE(yes.texts, QStringList{question});
        QVERIFY(state.modified);
        QVERIFY(state.incomeCount > 1);
        const QString target =
            saved ? ledger : m_home.filePath(QStringLiteral("files/復元した帳簿.txt"));
        if (saved) {
            QCOMPARE(window->windowTitle(), QStringLiteral("2026年度.txt* - そろべえ 1.3.5"));
            QCOMPARE(fileBytes(ledger), fileBefore);
            QVERIFY(window->mnuFileSave_Click());
        } else {
            QVERIFY(!window->mnuFileSave->isEnabled());
            window->setFileChooser([&](const QString&, QString&, bool) { return target; });
            QVERIFY(window->mnuFileSaveAs_Click());
        }
        QCOMPARE(fileBytes(target), evening.ledger);
        QVERIFY(evening.roll.contains("\t2\n")); // pupil 2 ticked
        QCOMPARE(fileBytes(target.chopped(4) + QStringLiteral(".roll")), evening.roll);
        window->recoveryCopy()->waitForWriter();
        QCOMPARE(copiesLeft(), QStringList());
        window->close();
    }

    // いいえ: the window starts empty, the copy stays in the folder under its
    // date as a ledger 開く reads, and the next start asks nothing.
    void aDeclinedCopyIsKeptAside() {
        const Evening evening = runEvening(QStringLiteral("crash"), QString());
        {
            BoxAnswers no(QMessageBox::No);
            SharedState state;
            auto window = startUp(state);
            QCOMPARE(no.texts, QStringList{question});
            QVERIFY(!state.modified);
            QVERIFY(!state.ledger->nextArticle());
            window->close();
        }
        QCOMPARE(copiesLeft(), QStringList());
        const QStringList aside = QDir(recoveryFolder()).entryList({QStringLiteral("無題 *.txt")});
        QCOMPARE(aside.size(), 1);
        // The date the copy was taken: today, or yesterday across midnight.
        const QDate today = QDate::currentDate();
        QVERIFY(aside[0].contains(today.toString(QStringLiteral("yyyy-MM-dd"))) ||
                aside[0].contains(today.addDays(-1).toString(QStringLiteral("yyyy-MM-dd"))));
        const QString asidePath = QDir(recoveryFolder()).filePath(aside[0]);
        QCOMPARE(fileBytes(asidePath), evening.ledger);
        QCOMPARE(fileBytes(asidePath.chopped(4) + QStringLiteral(".roll")), evening.roll);

        BoxAnswers any(QMessageBox::Yes);
        SharedState state;
        auto window = startUp(state);
        QCOMPARE(any.texts, QStringList());
        window->close();
    }

    // A copy is kept while the evening is unsaved; an exit, a close or a
    // save takes it away, even if the program is killed right after.
    void nothingIsLeftAfterAnOrderlyEnd_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("saved");
        QTest::newRow("exit, not saving") << "exit" << false;
        QTest::newRow("閉じる, not saving, then a crash") << "close-crash" << true;
        QTest::newRow("上書き保存, then a crash") << "save-crash" << true;
    }

    void nothingIsLeftAfterAnOrderlyEnd() {
        QFETCH(QString, ending);
        QFETCH(bool, saved);
        const Evening evening = runEvening(ending, ledgerFor(saved));
        QCOMPARE(evening.folder.filter(QStringLiteral(".txt")).size(), 1);
        QCOMPARE(copiesLeft(), QStringList());
        if (ending == u"exit")
            QCOMPARE(QDir(recoveryFolder()).entryList(QDir::Files), QStringList());

        BoxAnswers any(QMessageBox::Yes);
        SharedState state;
        auto window = startUp(state);
        QCOMPARE(any.texts, QStringList());
        window->close();
    }

    // The settings page is no step: it is looked at now and then while
    // something is unsaved, and a change of it is copied too.
    void theSettingsPageIsCopiedWhileUnsaved() {
        SharedState state;
        auto window = startUp(state);
        window->keepRecoveryCopiesIn(recoveryFolder(), std::chrono::milliseconds(20));
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        evening::recordIncome(*window, QStringLiteral("学級費"), QStringLiteral("500"));
        window->SSTabSheets->setCurrentIndex(0);
        evening::clickOn(window->TextSchoolName);
        type(QStringLiteral("市立そろばん小学校"));
        const QByteArray school = encodeCp932(QStringLiteral("市立そろばん小学校")).bytes;
        QTRY_VERIFY(fileBytes(window->recoveryCopy()->ledgerCopyPath()).contains(school));
        BoxAnswers no(QMessageBox::No);
        window->close();
        QCOMPARE(copiesLeft(), QStringList());
    }

    // Another program still at work keeps its copy to itself.
    void aRunningProgramsCopyIsNotOffered() {
        RecoveryCopy running(recoveryFolder());
        ArticlePtr entries = SorobeArticle::create();
        entries->setTaLink(SorobeArticle::create());
        running.keep({}, entries, {}, {});
        running.waitForWriter();
        QCOMPARE(copiesLeft().size(), 1);
        QVERIFY(findLeftRecoveryCopies(recoveryFolder()).empty());
    }
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
