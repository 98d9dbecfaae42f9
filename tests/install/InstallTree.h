#pragma once

// What an installation of そろべえ holds under its prefix, and the helpers the
// installation tests share to run the build's tools and look at what they made.

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace installtree {

// Every file an installation has, relative to its prefix: the places of the
// Filesystem Hierarchy Standard where the shell, the desktop, the software
// centre and the program itself look for them.
inline QStringList installedFiles() {
    QStringList files{
        QStringLiteral("bin/sorobe"),
        QStringLiteral("share/sorobe/SOROBEHELP.html"),
        QStringLiteral("share/applications/jp.sorobe.Sorobe.desktop"),
        QStringLiteral("share/icons/hicolor/scalable/apps/jp.sorobe.Sorobe.svg"),
        QStringLiteral("share/icons/hicolor/48x48/apps/jp.sorobe.Sorobe.png"),
        QStringLiteral("share/icons/hicolor/256x256/apps/jp.sorobe.Sorobe.png"),
        QStringLiteral("share/metainfo/jp.sorobe.Sorobe.metainfo.xml"),
    };
    files.sort();
    return files;
}

// Every file (not folder) below the root, relative to it and sorted.
inline QStringList filesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// The environment of the tools the tests run: the test's own, without the
// job server of the `make` that may have started it.
inline QProcessEnvironment toolEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"MAKEFLAGS", "MFLAGS", "MAKELEVEL"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

struct ToolRun {
    bool finished = false;
    int exitCode = -1;
    QString output; // standard output and error, as they came
    QString errorOutput;
};

inline ToolRun runTool(const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& environment = toolEnvironment(),
                       int timeoutMs = 60000) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ToolRun run;
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished)
        process.kill();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errorOutput = QString::fromUtf8(process.readAllStandardError());
    run.output = QString::fromUtf8(process.readAllStandardOutput()) + run.errorOutput;
    if (!run.finished)
        run.output += QStringLiteral("\n(%1 did not finish in %2 s: %3)")
                          .arg(program)
                          .arg(timeoutMs / 1000)
                          .arg(process.errorString());
    return run;
}

inline bool succeeded(const ToolRun& run) {
    return run.finished && run.exitCode == 0;
}

} // namespace installtree
