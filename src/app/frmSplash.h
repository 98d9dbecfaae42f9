#pragma once

// The window そろべえ shows while it starts: the title, the version and the
// disclaimer, visible while the main window loads behind it. It has to be
// cheap to make, because the user waits for it: a few labels and a logo that
// is drawn, no images.

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;

namespace sorobe {

class frmSplash : public QWidget {
    Q_OBJECT

public:
    explicit frmSplash(QWidget* parent = nullptr);

    // "Version " followed by the three numbers joined by ".": "Version 1.3.5".
    static QString versionLine(int major, int minor, int revision);

    // Shows the window without waiting and paints it at once, so that it is
    // on the screen before the main window's load keeps the event loop busy.
    void showAtOnce();

private:
    // Fills the texts that depend on the build: the version line.
    void Form_Load();

    QFrame* fraMainFrame = nullptr;
    QWidget* picLogo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblWarning = nullptr;
};

} // namespace sorobe
