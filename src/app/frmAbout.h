#pragma once

// The about box of the help menu: title, what the program is for, the version
// and the disclaimer. A new box is made for every request and thrown away when
// it is closed, so it always shows the build it belongs to.

#include <QDialog>
#include <QPixmap>
#include <QString>

class QLabel;
class QPushButton;
class QFrame;

namespace sorobe {

class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    // "ﾊﾞｰｼﾞｮﾝ " followed by the three numbers joined by ".": "ﾊﾞｰｼﾞｮﾝ 1.3.5".
    static QString versionLine(int major, int minor, int revision);

private slots:
    void cmdOK_Click();

private:
    // Fills the texts that depend on the build: the version line.
    void Form_Load();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
};

// The program's icon, drawn at the given size in pixels: a bead of the
// abacus on a ledger page. Used by the about box and as the windows' icon.
QPixmap paintApplicationIcon(int size);

// The help menu's "ﾊﾞｰｼﾞｮﾝ情報" command: a new about box, owned by the main
// window and blocking it until the box is closed; the box is deleted then.
void showAboutBox(QWidget* owner);

} // namespace sorobe
