#pragma once

// The main window: menus, toolbar and the nine pages (設定, 収入, 支出 and the
// six term sheets). Everything the user does runs through its handlers, which
// work on the shared state of the run.

#include "SharedState.h"

#include <QMainWindow>
#include <QString>
#include <array>

class QAction;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolBar;

namespace sorobe {

class FlexGrid;
class UpDownButton;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(SharedState& state, QWidget* parent = nullptr);
    ~frmMain() override;

    // The window load: placement, settings page, grids, item histories and
    // choices. Runs before the window is first shown and again after the
    // document is closed.
    void Form_Load();

    // Where the item history is read from and written to; start-up takes the
    // places beside the program or in the user's data folder.
    void setItemHistoryFiles(const QString& readPath, const QString& writePath);

    // The receipt numbers offered for a new expense: the eleven lowest that
    // no entry of the ledger uses.
    void fillSupplyReceiptList();
    void fillIncomeItemList();
    void fillSupplyItemList();

signals:
    void aboutRequested();
    void helpRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void optPrint_Click(int index);
    void mnuFileExit_Click();
    void mnuHelpAbout_Click();
    void mnuHelpHelp_Click();

private:
    void buildMenus();
    void buildToolBar();
    QWidget* buildSettingsPage();
    QWidget* buildIncomePage();
    QWidget* buildSupplyPage();
    QWidget* buildTermPage(FlexGrid*& grid, const QString& name);
    void setUpGrid(FlexGrid* grid, const std::array<QString, 6>& titles,
                   const std::array<int, 6>& widths);
    void restorePlacement();
    void storePlacement();
    void Form_Unload();

    SharedState& m_state;
    QString m_historyReadPath;
    QString m_historyWritePath;

public:
    // Controls, by the names the pages and their handlers use.
    QTabWidget* SSTabSheets = nullptr;
    QToolBar* tbToolBar = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileClose = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFilePageSetup = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QAction* mnuHelpHelp = nullptr;

    std::array<QRadioButton*, 2> optTiTle{};
    QLineEdit* TextSchoolName = nullptr;
    QComboBox* ComboYearHome = nullptr;
    QComboBox* ComboGradeHome = nullptr;
    QComboBox* ComboRoomHome = nullptr;
    QLineEdit* TextChargeHome = nullptr;
    QLineEdit* TextTlTle = nullptr;
    QLineEdit* TextReporter = nullptr;
    QDateEdit* DTPickerPrintDate = nullptr;
    QGroupBox* frmPrint = nullptr;
    std::array<QRadioButton*, 12> optPrint{};

    QLabel* LabelIncomeNo = nullptr;
    QLineEdit* TextIncomeNo = nullptr;
    QDateEdit* DTPickerIncomeDate = nullptr;
    QComboBox* ComboIncomeArticle = nullptr;
    QComboBox* ComboIncomeSubArticle = nullptr;
    QLineEdit* TextIncomePerPerson = nullptr;
    QLineEdit* TextIncomeStudents = nullptr;
    UpDownButton* UpDownIncomeStudents = nullptr;
    QLineEdit* TextIncomeAmount = nullptr;
    QPushButton* CommandIncomeNew = nullptr;
    QPushButton* CommandIncomeRecord = nullptr;
    QPushButton* CommandIncomeDelete = nullptr;
    QPushButton* CommandIncomeCancel = nullptr;
    FlexGrid* MSFlexGridIncome = nullptr;
    QLabel* LabelIncomeRest = nullptr;
    QLabel* LabelIncomeRemainder = nullptr;

    QLineEdit* TextSupplyNo = nullptr;
    QDateEdit* DTPickerSupplyDate = nullptr;
    QComboBox* ComboSupplyArticle = nullptr;
    QLineEdit* TextSupplyAmount = nullptr;
    QComboBox* ComboSupplyReceipt = nullptr;
    QPushButton* CommandSupplyNew = nullptr;
    QPushButton* CommandSupplyRecord = nullptr;
    QPushButton* CommandSupplyDelete = nullptr;
    QPushButton* CommandSupplyCancel = nullptr;
    FlexGrid* MSFlexGridSupply = nullptr;
    QLabel* LabelSuppluRest = nullptr;
    QLabel* LabelSupplyRemainder = nullptr;

    FlexGrid* MSFlexGridSpring = nullptr;
    FlexGrid* MSFlexGridAutumn = nullptr;
    FlexGrid* MSFlexGridWinter = nullptr;
    FlexGrid* MSFlexGridBefore = nullptr;
    FlexGrid* MSFlexGridLater = nullptr;
    FlexGrid* MSFlexGridYear = nullptr;
};

} // namespace sorobe
