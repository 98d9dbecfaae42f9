#pragma once

// The help menu's "ﾍﾙﾌﾟ" command and the window that shows the help file.
// The help is an HTML file shipped with the program: beside the executable in
// the build tree, in the shared data folder once installed. It is read in a
// window of its own that stays open beside the main window while the user
// works on the ledger.

#include "InstallLayout.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QTextBrowser;

namespace sorobe {

// The file name of the shipped help.
inline constexpr char helpFileName[] = "SOROBEHELP.html";

class HelpViewer : public QDialog {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the contents page of the file; false when it cannot be read, and
    // then the viewer keeps what it showed before.
    bool openFile(const QString& path);

    QString fileShown() const { return shownPath; }

private:
    QTextBrowser* txtHelp = nullptr;
    QString shownPath;
};

// The shipped help file in the given folder, or "" when it is not there.
QString helpFilePathIn(const QString& folder);

// The folders the help is looked for in, first to last, for a program in the
// given folder: beside it (the build tree) and the installation's data folder.
QStringList helpFoldersFor(const QString& programFolder);

// The help file in the first of those folders that has it, or "" when none has.
QString helpFilePathFor(const QString& programFolder);

// The shipped help file of the running program, or "" when it is not there.
QString helpFilePath();

// Shows the contents of the help file in the viewer owned by the main window
// (reusing the viewer that is open already). With no help file it explains
// that there is none; a file that cannot be read is named in a message.
void showHelpContents(QWidget* owner, const QString& helpFile);

} // namespace sorobe
