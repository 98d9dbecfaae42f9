// The Debian package: built once with cpack into a scratch folder, its name,
// control fields and contents, and the program it installs, unpacked into a
// scratch root and run there on the offscreen platform with the user's
// folders pointing into the scratch folder, opening and saving a ledger.

#include "InstallTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace installtree;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The value of a control field, continuation lines included.
QString controlField(const QString& control, const QString& name) {
    const QRegularExpression field(QStringLiteral("^ ?%1: (.*(?:\\n  .*)*)$").arg(name),
                                   QRegularExpression::MultilineOption);
    return field.match(control).captured(1);
}

// The packages named in a dependency field, without versions; both sides of
// an alternative count.
QStringList packagesIn(const QString& dependencies) {
    QStringList names;
    static const QRegularExpression separator(QStringLiteral("[,|]"));
    for (const QString& item : dependencies.split(separator, Qt::SkipEmptyParts)) {
        const QString name = item.trimmed().section(QLatin1Char(' '), 0, 0);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT

    QTemporaryDir m_scratch;
    QString m_package;
    QString m_control;
    QString m_root;

    QString scratch(const QString& path) const { return m_scratch.filePath(path); }

    // The environment of the installed program: offscreen, Japanese file names
    // in UTF-8, and every per-user folder inside the scratch folder.
    QProcessEnvironment programEnvironment(const QString& driverCommand) const {
        QProcessEnvironment environment = toolEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SESSION_MANAGER"})
            environment.remove(QString::fromLatin1(name));
        const QString home = scratch(QStringLiteral("home"));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), scratch(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(SOROBE_DRIVER_LIBRARY));
        environment.insert(QStringLiteral("SOROBE_DRIVER"), driverCommand);
        return environment;
    }

    ToolRun runInstalledProgram(const QString& driverCommand, const QStringList& arguments) const {
        return runTool(QDir(m_root).filePath(QStringLiteral("usr/bin/sorobe")), arguments,
                       programEnvironment(driverCommand));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_scratch.isValid());
        const QString out = scratch(QStringLiteral("package"));
        const ToolRun cpack = runTool(
            QStringLiteral(SOROBE_CPACK_COMMAND),
            {QStringLiteral("--config"), QStringLiteral(SOROBE_BUILD_DIR "/CPackConfig.cmake"),
             QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out});
        QVERIFY2(succeeded(cpack), qPrintable(cpack.output));
        const QStringList debs = QDir(out).entryList({QStringLiteral("*.deb")}, QDir::Files);
        QVERIFY2(debs.size() == 1, qPrintable(debs.join(QLatin1Char(' '))));
        m_package = QDir(out).filePath(debs.first());

        const ToolRun info = runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-I"), m_package});
        QVERIFY2(succeeded(info), qPrintable(info.output));
        m_control = info.output;

        m_root = scratch(QStringLiteral("root"));
        const ToolRun unpack =
            runTool(QStringLiteral("dpkg"), {QStringLiteral("-x"), m_package, m_root});
        QVERIFY2(succeeded(unpack), qPrintable(unpack.output));

        QVERIFY(QDir().mkpath(scratch(QStringLiteral("home"))));
        QVERIFY(QDir().mkpath(scratch(QStringLiteral("runtime"))));
        QVERIFY(QFile::setPermissions(scratch(QStringLiteral("runtime")),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void packageIsNamedForItsVersionAndArchitecture() {
        const ToolRun architecture =
            runTool(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")});
        QVERIFY2(succeeded(architecture), qPrintable(architecture.output));
        QCOMPARE(QFileInfo(m_package).fileName(),
                 QStringLiteral("sorobe_%1_%2.deb")
                     .arg(QStringLiteral(SOROBE_VERSION), architecture.output.trimmed()));
    }

    void controlFieldIs_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("Package") << QStringLiteral("Package") << QStringLiteral("sorobe");
        QTest::newRow("Version") << QStringLiteral("Version") << QStringLiteral(SOROBE_VERSION);
    }

    void controlFieldIs() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QCOMPARE(controlField(m_control, field), value);
    }

    // The Qt libraries come from the program's links; the platform plugins
    // that show its windows and the fonts of its text are named by hand.
    void packageDependsOn_data() {
        QTest::addColumn<QString>("package");
        for (const char* name :
             {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6printsupport6", "libc6",
              "qt6-qpa-plugins", "fonts-ipafont-mincho", "fonts-ipafont-gothic"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void packageDependsOn() {
        QFETCH(QString, package);
        const QString depends = controlField(m_control, QStringLiteral("Depends"));
        QVERIFY2(packagesIn(depends).contains(package), qPrintable(depends));
    }

    // An English synopsis; the extended description in English and Japanese.
    void descriptionIsInEnglishAndJapanese() {
        const QString description = controlField(m_control, QStringLiteral("Description"));
        const QString synopsis = description.section(QLatin1Char('\n'), 0, 0);
        QVERIFY2(!synopsis.isEmpty() && synopsis.size() <= 80, qPrintable(synopsis));
        static const QRegularExpression english(QStringLiteral("^[ -~]+$"));
        QVERIFY2(english.match(synopsis).hasMatch(), qPrintable(synopsis));
        const QString extended = description.section(QLatin1Char('\n'), 1);
        QVERIFY2(extended.contains(QLatin1String("school class")), qPrintable(extended));
        QVERIFY2(extended.contains(QStringLiteral("学級会計のための帳簿ソフト")),
                 qPrintable(extended));
    }

    void packageHoldsExactlyTheInstallTree() {
        QStringList expected;
        for (const QString& file : installedFiles())
            expected.append(QStringLiteral("usr/") + file);
        QCOMPARE(filesUnder(m_root), expected);
    }

    // Started with a ledger on its command line, the installed program opens
    // it; 上書き保存 writes the same bytes again and keeps the former version.
    void installedProgramOpensAndSavesALedger() {
        const QString folder = scratch(QStringLiteral("帳簿"));
        QVERIFY(QDir().mkpath(folder));
        const QString ledger = QDir(folder).filePath(QStringLiteral("2002年度.txt"));
        const QByteArray original = readAll(QStringLiteral(SOROBE_LEDGER_DATA "/written.txt"));
        QVERIFY(!original.isEmpty());
        {
            QFile file(ledger);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(original), original.size());
        }

        const ToolRun run = runInstalledProgram(QStringLiteral("save"), {ledger});
        QVERIFY2(run.finished, qPrintable(run.output));
        QVERIFY2(
            run.exitCode == 0,
            qPrintable(QStringLiteral("exit code %1: %2").arg(run.exitCode).arg(run.errorOutput)));
        QCOMPARE(readAll(ledger), original);
        const QString backup = QDir(folder).filePath(QStringLiteral("2002年度.bak"));
        QVERIFY2(QFileInfo::exists(backup), qPrintable(QDir(folder).entryList().join(u' ')));
        QCOMPARE(readAll(backup), original);
    }

    // The installed program finds its help in /usr/share/sorobe.
    void installedProgramShowsItsHelp() {
        const ToolRun run = runInstalledProgram(QStringLiteral("help"), {});
        QVERIFY2(run.finished, qPrintable(run.output));
        QVERIFY2(
            run.exitCode == 0,
            qPrintable(QStringLiteral("exit code %1: %2").arg(run.exitCode).arg(run.errorOutput)));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
