#pragma once

// The help menu's "ﾍﾙﾌﾟ" command and the window that shows the help file.
// The help is an HTML file shipped beside the executable; it is read in a
// window of its own that stays open beside the main window while the user
// works on the ledger.

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace sorobe {

// The file name of the shipped help, looked for beside the executable.
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

// The shipped help file beside the executable, or "" when it is not there.
QString helpFilePath();

// Shows the contents of the help file in the viewer owned by the main window
// (reusing the viewer that is open already). With no help file it explains
// that there is none; a file that cannot be read is named in a message.
void showHelpContents(QWidget* owner, const QString& helpFile);

} // namespace sorobe
