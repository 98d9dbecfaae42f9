#include "frmMain.h"

#include "FlexGrid.h"
#include "ItemHistoryFile.h"
#include "NumericText.h"
#include "ResourceStrings.h"
#include "TermCalendar.h"
#include "ToolbarIcons.h"
#include "Twips.h"
#include "UpDownButton.h"
#include "UserSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QTableView>
#include <QToolBar>
#include <QUndoStack>
#include <set>

namespace sorobe {

namespace {

// Where and how big the window opens when nothing (or nothing usable) is stored.
constexpr int defaultLeft = 1000;
constexpr int defaultTop = 1000;
constexpr int defaultWidth = frmMain::designedWidth;
constexpr int defaultHeight = frmMain::designedHeight;

// The application title: the window's caption and the name the placement is stored under.
const QString applicationTitle = QStringLiteral("そろべえ");

// Grids are laid out for the window's designed size; W is their own width.
constexpr int gridWidth = 9000;

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsRect(left, top, width, height));
}

template <typename Widget> Widget* named(QWidget* parent, const QString& name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    return widget;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption, int left, int top,
              int width, int height = 255) {
    QLabel* result = named<QLabel>(parent, name);
    result->setText(caption);
    place(result, left, top, width, height);
    return result;
}

QDateEdit* datePicker(QWidget* parent, const QString& name) {
    QDateEdit* picker = named<QDateEdit>(parent, name);
    picker->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    picker->setCalendarPopup(true);
    // Every day a ledger file can hold, so that showing an entry never moves
    // its date (the picker would otherwise stop at 1752).
    picker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    picker->setDate(QDate::currentDate());
    return picker;
}

QComboBox* editableCombo(QWidget* parent, const QString& name, const QStringList& choices = {}) {
    QComboBox* combo = named<QComboBox>(parent, name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // What is typed is what is recorded: no completion behind the user's back.
    combo->setCompleter(nullptr);
    combo->addItems(choices);
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    return combo;
}

// The four buttons of an entry page, in a row under its fields.
void commandButtons(QWidget* page, const QString& kind, QPushButton*& newButton,
                    QPushButton*& record, QPushButton*& remove, QPushButton*& cancel) {
    const struct {
        QPushButton*& button;
        const char* role;
        const char16_t* caption;
        int left;
    } buttons[] = {{newButton, "New", u"新規", 120},
                   {record, "Record", u"登録", 1200},
                   {remove, "Delete", u"削除", 2280},
                   {cancel, "Cancel", u"ｷｬﾝｾﾙ", 3360}};
    for (const auto& b : buttons) {
        b.button = named<QPushButton>(page, QStringLiteral("Command") + kind +
                                                QString::fromLatin1(b.role));
        b.button->setText(QString::fromUtf16(b.caption));
        place(b.button, b.left, 840, 1000, 360);
    }
}

// A stored placement value: decimal twips, nothing else.
std::optional<int> storedTwips(const QSettings& settings, const QString& key) {
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return std::nullopt;
    bool isNumber = false;
    const int twips = value.toString().trimmed().toInt(&isNumber);
    if (!isNumber)
        return std::nullopt;
    return twips;
}

} // namespace

frmMain::frmMain(SharedState& state, QWidget* parent)
    : QMainWindow(parent)
    , m_state(state) {
    setObjectName(QStringLiteral("frmMain"));
    m_programTitle = applicationTitle + u' ' + QCoreApplication::applicationVersion();
    setWindowTitle(m_programTitle);
    buildMenus();
    buildEditMenu();
    buildToolBar();

    SSTabSheets = named<QTabWidget>(this, QStringLiteral("SSTabSheets"));
    SSTabSheets->addTab(buildSettingsPage(), QStringLiteral(" 設定"));
    SSTabSheets->addTab(buildIncomePage(), QStringLiteral(" 収入"));
    SSTabSheets->addTab(buildSupplyPage(), QStringLiteral(" 支出"));
    SSTabSheets->addTab(buildTermPage(MSFlexGridSpring, QStringLiteral("MSFlexGridSpring")),
                        QStringLiteral("1学期"));
    SSTabSheets->addTab(buildTermPage(MSFlexGridAutumn, QStringLiteral("MSFlexGridAutumn")),
                        QStringLiteral("2学期"));
    SSTabSheets->addTab(buildTermPage(MSFlexGridWinter, QStringLiteral("MSFlexGridWinter")),
                        QStringLiteral("3学期"));
    SSTabSheets->addTab(buildTermPage(MSFlexGridBefore, QStringLiteral("MSFlexGridBefore")),
                        QStringLiteral(" 前期"));
    SSTabSheets->addTab(buildTermPage(MSFlexGridLater, QStringLiteral("MSFlexGridLater")),
                        QStringLiteral(" 後期"));
    SSTabSheets->addTab(buildTermPage(MSFlexGridYear, QStringLiteral("MSFlexGridYear")),
                        QStringLiteral(" 年間"));
    SSTabSheets->addTab(buildRollPage(), QStringLiteral(" 集金"));
    setCentralWidget(SSTabSheets);
    setUpEntryFields();
    connectEntryPages();
    rememberDesignedLayout();
    connect(SSTabSheets, &QTabWidget::currentChanged, this, &frmMain::SSTabSheets_Click);
    watchDrops();
    refreshRecentMenu();
}

frmMain::~frmMain() {
    // The roll goes before the widgets: neither the 集金 table nor the
    // history, which is cleared as it goes, may reach it while the window
    // is taken down.
    m_undoStack->disconnect(this);
    GridRoll->setModel(nullptr);
    // Nor may a term page still owed its refill run it into a window half gone.
    for (const PeriodInfo& info : termPeriods)
        termGrid(info.period)->setPendingFill(nullptr);
}

void frmMain::setItemHistoryFiles(const QString& readPath, const QString& writePath) {
    m_historyReadPath = readPath;
    m_historyWritePath = writePath;
}

void frmMain::buildMenus() {
    // Captions written as numbers are resource numbers, replaced at load.
    auto action = [this](QMenu* menu, const QString& name, const QString& caption) {
        QAction* result = menu->addAction(caption);
        result->setObjectName(name);
        return result;
    };
    auto separator = [](QMenu* menu, const QString& name) {
        menu->addSeparator()->setObjectName(name);
    };

    mnuFile = menuBar()->addMenu(QStringLiteral("1000"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileOpen = action(mnuFile, QStringLiteral("mnuFileOpen"), QStringLiteral("1001"));
    mnuFileClose = action(mnuFile, QStringLiteral("mnuFileClose"), QStringLiteral("1002"));
    separator(mnuFile, QStringLiteral("mnuFileBar0"));
    mnuFileSave = action(mnuFile, QStringLiteral("mnuFileSave"), QStringLiteral("1003"));
    mnuFileSaveAs = action(mnuFile, QStringLiteral("mnuFileSaveAs"), QStringLiteral("1004"));
    separator(mnuFile, QStringLiteral("mnuFileBar1"));
    mnuFilePageSetup = action(mnuFile, QStringLiteral("mnuFilePageSetup"), QStringLiteral("1005"));
    mnuFilePrint = action(mnuFile, QStringLiteral("mnuFilePrint"), QStringLiteral("印刷"));
    mnuFilePreview =
        action(mnuFile, QStringLiteral("mnuFilePreview"), QStringLiteral("印刷プレビュー(&V)..."));
    mnuFileExportPdf =
        action(mnuFile, QStringLiteral("mnuFileExportPdf"), QStringLiteral("PDFに書き出す(&D)..."));
    mnuFileExportCsv =
        action(mnuFile, QStringLiteral("mnuFileExportCsv"), QStringLiteral("CSVに書き出す(&E)..."));
    separator(mnuFile, QStringLiteral("mnuFileBar4"));
    mnuFileNewYear =
        action(mnuFile, QStringLiteral("mnuFileNewYear"), QStringLiteral("新年度の準備(&N)..."));
    separator(mnuFile, QStringLiteral("mnuFileBar2"));
    mnuFileRecent = mnuFile->addMenu(QStringLiteral("最近使ったファイル(&R)"));
    mnuFileRecent->setObjectName(QStringLiteral("mnuFileRecent"));
    mnuFileRecent->menuAction()->setObjectName(QStringLiteral("mnuFileRecent"));
    separator(mnuFile, QStringLiteral("mnuFileBar3"));
    mnuFileExit = action(mnuFile, QStringLiteral("mnuFileExit"), QStringLiteral("1006"));

    mnuTools = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    mnuToolsReceiptCheck = action(mnuTools, QStringLiteral("mnuToolsReceiptCheck"),
                                  QStringLiteral("領収書の点検(&R)..."));

    mnuHelp = menuBar()->addMenu(QStringLiteral("1007"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpAbout = action(mnuHelp, QStringLiteral("mnuHelpAbout"), QStringLiteral("1008"));
    mnuHelpHelp = action(mnuHelp, QStringLiteral("mnuHelpHelp"), QStringLiteral("ﾍﾙﾌﾟ"));

    // The keys every desktop program has, shown beside the commands.
    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileClose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    mnuFileSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnuFilePrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuHelpHelp->setShortcut(QKeySequence(Qt::Key_F1));
    // Ctrl+S on a document without a file yet asks for a name, as
    // 名前を付けて保存 does; it is live only while 上書き保存 is not.
    m_saveKeyWithoutFile = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(m_saveKeyWithoutFile, &QShortcut::activated, this, [this] {
        guarded([&] {
            if (mnuFileSaveAs->isEnabled())
                mnuFileSaveAs_Click();
        });
    });

    // Every command runs guarded: whatever goes wrong ends it with a message,
    // never the program.
    const std::pair<QAction*, std::function<void()>> commands[] = {
        {mnuFileOpen,
         [this] {
             mnuFileOpen_Click();
         }},
        {mnuFileClose,
         [this] {
             mnuFileClose_Click();
         }},
        {mnuFileSave,
         [this] {
             mnuFileSave_Click();
         }},
        {mnuFileSaveAs,
         [this] {
             mnuFileSaveAs_Click();
         }},
        {mnuFilePageSetup,
         [this] {
             mnuFilePageSetup_Click();
         }},
        {mnuFilePrint,
         [this] {
             mnuFilePrint_Click();
         }},
        {mnuFilePreview,
         [this] {
             mnuFilePreview_Click();
         }},
        {mnuFileExportPdf,
         [this] {
             mnuFileExportPdf_Click();
         }},
        {mnuFileExportCsv,
         [this] {
             mnuFileExportCsv_Click();
         }},
        {mnuFileNewYear,
         [this] {
             mnuFileNewYear_Click();
         }},
        {mnuToolsReceiptCheck,
         [this] {
             mnuToolsReceiptCheck_Click();
         }},
        {mnuFileExit,
         [this] {
             mnuFileExit_Click();
         }},
        {mnuHelpAbout,
         [this] {
             mnuHelpAbout_Click();
         }},
        {mnuHelpHelp,
         [this] {
             mnuHelpHelp_Click();
         }},
    };
    for (const auto& [item, command] : commands)
        connect(item, &QAction::triggered, this, [this, command] { guarded(command); });
}

void frmMain::buildToolBar() {
    tbToolBar = named<QToolBar>(this, QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    connect(tbToolBar, &QToolBar::actionTriggered, this,
            [this](QAction* button) { guarded([&] { tbToolBar_ButtonClick(button); }); });
    addToolBar(Qt::TopToolBarArea, tbToolBar);

    struct Button {
        const char16_t* key;
        const char16_t* text;
        const char16_t* hint; // a resource number, or the text itself
        const char* imageKey;
    };
    const Button buttons[] = {
        {u"開く", u"元帳ﾌｧｲﾙを開く", u"1009", "Open"},
        {u"名前をつけて保存", u"元帳ﾌｧｲﾙを名前をつけて保存", u"元帳ﾌｧｲﾙを名前をつけて保存",
         "Folder04"},
        {u"上書き保存", u"元帳ﾌｧｲﾙを上書き保存", u"1010", "Save"},
        {u"ページ設定", u"ﾌﾟﾘﾝﾀの設定", u"ﾌﾟﾘﾝﾀの設定", "Setup"},
        {u"印刷", u"印刷", u"1011", "Print"},
        {u"印刷プレビュー", u"印刷プレビュー", u"印刷プレビュー", "Preview"},
    };
    for (const Button& button : buttons) {
        const QString imageKey = QString::fromLatin1(button.imageKey);
        QAction* action =
            tbToolBar->addAction(toolbarIcon(imageKey), QString::fromUtf16(button.text));
        action->setObjectName(QStringLiteral("tbToolBar_") + imageKey);
        action->setProperty("Key", QString::fromUtf16(button.key));
        action->setProperty("ImageKey", imageKey);
        action->setToolTip(QString::fromUtf16(button.hint));
        action->setStatusTip(QString::fromUtf16(button.text));
    }
}

QWidget* frmMain::buildSettingsPage() {
    auto* page = named<QWidget>(nullptr, QStringLiteral("PageSettings"));

    QGroupBox* titles = named<QGroupBox>(page, QStringLiteral("FrameTitle"));
    titles->setTitle(QStringLiteral("会計タイトルの設定"));
    place(titles, 120, 480, 6240, 4575);

    optTiTle[0] = named<QRadioButton>(titles, QStringLiteral("optTiTle_0"));
    optTiTle[0]->setText(QStringLiteral("学級の会計"));
    place(optTiTle[0], 240, 270, 2400, 300);
    optTiTle[0]->setChecked(true);

    const int labelLeft = 480, fieldLeft = 1560, fieldWidth = 3600, rowHeight = 330;
    int top = 600;
    auto row = [&](const QString& labelName, const QString& caption, QWidget* field) {
        label(titles, labelName, caption, labelLeft, top + 30, fieldLeft - labelLeft - 60);
        place(field, fieldLeft, top, fieldWidth, rowHeight);
        top += 360;
    };
    TextSchoolName = named<QLineEdit>(titles, QStringLiteral("TextSchoolName"));
    row(QStringLiteral("LabelSchoolName"), QStringLiteral("学校"), TextSchoolName);
    // The school years around today's; any other year can still be typed.
    ComboYearHome = editableCombo(titles, QStringLiteral("ComboYearHome"),
                                  schoolYearChoices(QDate::currentDate()));
    row(QStringLiteral("LabelYearHome"), QStringLiteral("年度"), ComboYearHome);
    ComboGradeHome = editableCombo(titles, QStringLiteral("ComboGradeHome"),
                                   {QStringLiteral("第１学年"), QStringLiteral("第２学年"),
                                    QStringLiteral("第３学年"), QStringLiteral("第４学年"),
                                    QStringLiteral("第５学年"), QStringLiteral("第６学年")});
    row(QStringLiteral("LabelGradeHome"), QStringLiteral("学年"), ComboGradeHome);
    ComboRoomHome =
        editableCombo(titles, QStringLiteral("ComboRoomHome"),
                      {QStringLiteral("１組"), QStringLiteral("２組"), QStringLiteral("３組"),
                       QStringLiteral("４組"), QStringLiteral("５組"), QStringLiteral("６組"),
                       QStringLiteral("７組")});
    row(QStringLiteral("LabelRoomHome"), QStringLiteral("学級"), ComboRoomHome);
    TextChargeHome = named<QLineEdit>(titles, QStringLiteral("TextChargeHome"));
    row(QStringLiteral("LabelChargeHome"), QStringLiteral("担任"), TextChargeHome);

    optTiTle[1] = named<QRadioButton>(titles, QStringLiteral("optTiTle_1"));
    optTiTle[1]->setText(QStringLiteral("その他の会計"));
    place(optTiTle[1], 240, top, 2400, 300);
    top += 360;
    TextTlTle = named<QLineEdit>(titles, QStringLiteral("TextTlTle"));
    row(QStringLiteral("LabelTlTle"), QStringLiteral("表題"), TextTlTle);
    TextReporter = named<QLineEdit>(titles, QStringLiteral("TextReporter"));
    row(QStringLiteral("LabelReporter"), QStringLiteral("報告者"), TextReporter);

    label(titles, QStringLiteral("LabelPrintDate"), QStringLiteral("報告書の日付"), 240, top + 30,
          fieldLeft - 300);
    DTPickerPrintDate = datePicker(titles, QStringLiteral("DTPickerPrintDate"));
    place(DTPickerPrintDate, fieldLeft, top, 1800, rowHeight);
    top += 450;

    QLabel* note = label(titles, QStringLiteral("LabelTitleNote"),
                         QStringLiteral("元帳と会計報告書を印刷するときに使います。"
                                        "印刷のたびにチェックをしてください。"),
                         240, top, 5880, 480);
    note->setWordWrap(true);

    frmPrint = named<QGroupBox>(page, QStringLiteral("frmPrint"));
    frmPrint->setTitle(QStringLiteral("印刷の種類"));
    place(frmPrint, 6480, 480, 2655, 4575);
    for (int i = 0; i < 12; ++i) {
        QRadioButton* option = named<QRadioButton>(frmPrint, QStringLiteral("optPrint_%1").arg(i));
        option->setText(printKindName(i + 1));
        place(option, 240, 240 + 360 * i, 2295, i == 11 ? 255 : 375);
        connect(option, &QRadioButton::clicked, this,
                [this, i] { guarded([&] { optPrint_Click(i); }); });
        optPrint[i] = option;
    }
    // 年間元帳 is chosen until the user picks another kind.
    optPrint[10]->setChecked(true);
    return page;
}

QWidget* frmMain::buildIncomePage() {
    auto* page = named<QWidget>(nullptr, QStringLiteral("PageIncome"));
    const int labelTop = 120, fieldTop = 400, height = 330;

    LabelIncomeNo = label(page, QStringLiteral("LabelIncomeNo"), QStringLiteral("No."), 120,
                          labelTop, 600, 270);
    TextIncomeNo = named<QLineEdit>(page, QStringLiteral("TextIncomeNo"));
    place(TextIncomeNo, 120, fieldTop, 600, height);

    label(page, QStringLiteral("LabelIncomeDate"), QStringLiteral("日付"), 840, labelTop, 1500);
    DTPickerIncomeDate = datePicker(page, QStringLiteral("DTPickerIncomeDate"));
    place(DTPickerIncomeDate, 840, fieldTop, 1500, height);

    label(page, QStringLiteral("LabelIncomeArticle"), QStringLiteral("項目"), 2460, labelTop, 2100);
    ComboIncomeArticle = editableCombo(page, QStringLiteral("ComboIncomeArticle"));
    place(ComboIncomeArticle, 2460, fieldTop, 2100, height);

    label(page, QStringLiteral("LabelIncomeSubArticle"), QStringLiteral("内訳"), 4680, labelTop,
          1200);
    ComboIncomeSubArticle =
        editableCombo(page, QStringLiteral("ComboIncomeSubArticle"),
                      {QStringLiteral("4月分"), QStringLiteral("5月分"), QStringLiteral("6月分"),
                       QStringLiteral("7月分"), QStringLiteral("8月分"), QStringLiteral("9月分"),
                       QStringLiteral("10月分"), QStringLiteral("11月分"), QStringLiteral("12月分"),
                       QStringLiteral("1月分"), QStringLiteral("2月分"), QStringLiteral("3月分"),
                       QStringLiteral("1学期分"), QStringLiteral("2学期分"),
                       QStringLiteral("3学期分"), QStringLiteral("1年分")});
    place(ComboIncomeSubArticle, 4680, fieldTop, 1200, height);

    label(page, QStringLiteral("LabelIncomePerPerson"), QStringLiteral("１人分"), 6000, labelTop,
          900);
    TextIncomePerPerson = named<QLineEdit>(page, QStringLiteral("TextIncomePerPerson"));
    place(TextIncomePerPerson, 6000, fieldTop, 900, height);
    TextIncomePerPerson->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    label(page, QStringLiteral("LabelIncomeStudents"), QStringLiteral("生徒の数"), 7020, labelTop,
          900);
    TextIncomeStudents = named<QLineEdit>(page, QStringLiteral("TextIncomeStudents"));
    TextIncomeStudents->setText(QStringLiteral("30"));
    TextIncomeStudents->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(TextIncomeStudents, 7020, fieldTop, 600, height);
    UpDownIncomeStudents = named<UpDownButton>(page, QStringLiteral("UpDownIncomeStudents"));
    UpDownIncomeStudents->setRange(0, 999);
    place(UpDownIncomeStudents, 7620, fieldTop, 240, height);

    label(page, QStringLiteral("LabelIncomeAmount"), QStringLiteral("金額"), 7980, labelTop, 1080);
    TextIncomeAmount = named<QLineEdit>(page, QStringLiteral("TextIncomeAmount"));
    TextIncomeAmount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(TextIncomeAmount, 7980, fieldTop, 1080, height);

    commandButtons(page, QStringLiteral("Income"), CommandIncomeNew, CommandIncomeRecord,
                   CommandIncomeDelete, CommandIncomeCancel);
    MSFlexGridIncome = named<FlexGrid>(page, QStringLiteral("MSFlexGridIncome"));
    place(MSFlexGridIncome, 120, 1320, gridWidth, 3480);

    LabelIncomeRest =
        label(page, QStringLiteral("LabelIncomeRest"), QStringLiteral("残金"), 6240, 4920, 600);
    LabelIncomeRemainder =
        label(page, QStringLiteral("LabelIncomeRemainder"), QStringLiteral("0"), 6840, 4920, 2280);
    LabelIncomeRemainder->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return page;
}

QWidget* frmMain::buildSupplyPage() {
    auto* page = named<QWidget>(nullptr, QStringLiteral("PageSupply"));
    const int labelTop = 120, fieldTop = 400, height = 330;

    label(page, QStringLiteral("LabelSupplyNo"), QStringLiteral("No."), 120, labelTop, 600);
    TextSupplyNo = named<QLineEdit>(page, QStringLiteral("TextSupplyNo"));
    place(TextSupplyNo, 120, fieldTop, 600, height);

    label(page, QStringLiteral("LabelSupplyReceipt"), QStringLiteral("領収書番号"), 840, labelTop,
          1320);
    ComboSupplyReceipt = editableCombo(page, QStringLiteral("ComboSupplyReceipt"));
    place(ComboSupplyReceipt, 840, fieldTop, 1320, height);

    label(page, QStringLiteral("LabelSupplyDate"), QStringLiteral("日付"), 2280, labelTop, 1500);
    DTPickerSupplyDate = datePicker(page, QStringLiteral("DTPickerSupplyDate"));
    place(DTPickerSupplyDate, 2280, fieldTop, 1500, height);

    label(page, QStringLiteral("LabelSupplyArticle"), QStringLiteral("項目"), 3900, labelTop, 3600);
    ComboSupplyArticle = editableCombo(page, QStringLiteral("ComboSupplyArticle"));
    place(ComboSupplyArticle, 3900, fieldTop, 3600, height);

    label(page, QStringLiteral("LabelSupplyAmount"), QStringLiteral("金額"), 7620, labelTop, 1440);
    TextSupplyAmount = named<QLineEdit>(page, QStringLiteral("TextSupplyAmount"));
    TextSupplyAmount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(TextSupplyAmount, 7620, fieldTop, 1440, height);

    commandButtons(page, QStringLiteral("Supply"), CommandSupplyNew, CommandSupplyRecord,
                   CommandSupplyDelete, CommandSupplyCancel);
    MSFlexGridSupply = named<FlexGrid>(page, QStringLiteral("MSFlexGridSupply"));
    place(MSFlexGridSupply, 120, 1320, gridWidth, 3480);

    LabelSuppluRest =
        label(page, QStringLiteral("LabelSuppluRest"), QStringLiteral("残金"), 6240, 4920, 600);
    LabelSupplyRemainder =
        label(page, QStringLiteral("LabelSupplyRemainder"), QStringLiteral("0"), 6840, 4920, 2280);
    LabelSupplyRemainder->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return page;
}

QWidget* frmMain::buildTermPage(FlexGrid*& grid, const QString& name) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Page") + name.mid(QStringLiteral("MSFlexGrid").size()));
    grid = named<FlexGrid>(page, name);
    place(grid, 120, 120, gridWidth, 5040);
    return page;
}

void frmMain::setUpGrid(FlexGrid* grid, const std::array<QString, 6>& titles,
                        const std::array<int, 6>& widths) {
    grid->setCols(6);
    grid->setRows(1);
    grid->setRow(0);
    for (int column = 0; column < 6; ++column) {
        grid->setColWidth(column, widths[column]);
        grid->setTextMatrix(0, column, titles[column]);
        if (column >= 1 && column <= 4) {
            grid->setCol(column);
            grid->setCellAlignment(4);
        }
    }
    grid->setCol(0);
}

void frmMain::Form_Load(ItemHistory history) {
    loadResourceCaptions(this);
    restorePlacement();

    TextSchoolName->clear();
    ComboYearHome->setEditText(QString());
    ComboGradeHome->setEditText(QString());
    ComboRoomHome->setEditText(QString());
    TextChargeHome->clear();

    for (int i = 0; i < 12; ++i) {
        if (optPrint[i]->isChecked()) {
            m_state.printKind = std::int16_t(i + 1);
            break;
        }
    }

    DTPickerPrintDate->setDate(QDate::currentDate());
    if (history == ItemHistory::Read) {
        restoreClassSize();
        if (!m_historyReadPath.isEmpty())
            loadItemHistory(m_state.incomeHistory, m_state.supplyHistory, m_historyReadPath);
    }

    QFont numberFont = LabelIncomeNo->font();
    numberFont.setPointSize(11);
    LabelIncomeNo->setFont(numberFont);

    const int W = MSFlexGridIncome->Width();
    setUpGrid(MSFlexGridIncome,
              {QStringLiteral("No."), QStringLiteral("日付"), QStringLiteral("項目"),
               QStringLiteral("一人分"), QStringLiteral("金額"), QString()},
              {500, 1200, W - 4240, 1000, 1200, 0});
    MSFlexGridIncome->setRow(0);
    m_state.gridRowHeight = MSFlexGridIncome->RowHeight(0);

    setUpGrid(MSFlexGridSupply,
              {QStringLiteral("No."), QStringLiteral("日付"), QStringLiteral("領収書"),
               QStringLiteral("項目"), QStringLiteral("金額"), QString()},
              {500, 1200, 1000, MSFlexGridSupply->Width() - 4240, 1200, 0});
    for (FlexGrid* sheet : {MSFlexGridSpring, MSFlexGridAutumn, MSFlexGridWinter, MSFlexGridYear,
                            MSFlexGridBefore, MSFlexGridLater}) {
        setUpGrid(sheet,
                  {QStringLiteral("No."), QStringLiteral("項目"), QStringLiteral("収入"),
                   QStringLiteral("支出"), QStringLiteral("残高"), QString()},
                  {500, sheet->Width() - 4440, 1200, 1200, 1200, 0});
        // A long item continues on a second line, as in the entry lists,
        // instead of being cut.
        sheet->setWordWrap(true);
    }

    DTPickerIncomeDate->setDate(QDate::currentDate());
    DTPickerSupplyDate->setDate(QDate::currentDate());
    fillSupplyReceiptList();
    SSTabSheets->setCurrentIndex(0);

    // Saving over a file needs a file; saving under a new name is always possible.
    enableSave(false);
    enableSaveAs(true);

    fillIncomeItemList();
    fillSupplyItemList();

    CommandIncomeNew->setEnabled(true);
    CommandSupplyNew->setEnabled(true);
    for (QPushButton* button : {CommandIncomeRecord, CommandIncomeDelete, CommandIncomeCancel,
                                CommandSupplyRecord, CommandSupplyDelete, CommandSupplyCancel})
        button->setEnabled(false);
}

void frmMain::fillSupplyReceiptList() {
    std::set<int> used;
    for (ArticlePtr entry = m_state.ledger->nextArticle(); entry; entry = entry->nextArticle())
        used.insert(entry->taReceipt());

    ComboSupplyReceipt->clear();
    int offered = 0;
    for (int number = 1; number <= 999 && offered <= 10; ++number) {
        if (used.count(number))
            continue;
        // The leading blank is the sign position, as numbers are written everywhere.
        ComboSupplyReceipt->addItem(QStringLiteral(" %1").arg(number));
        ++offered;
    }
    ComboSupplyReceipt->setCurrentIndex(-1);
    ComboSupplyReceipt->setEditText(QString());
}

void frmMain::fillIncomeItemList() {
    ComboIncomeArticle->clear();
    for (SelectionPtr record = m_state.incomeHistory->nextSelection(); record;
         record = record->nextSelection())
        ComboIncomeArticle->addItem(record->tsArticle());
    ComboIncomeArticle->setCurrentIndex(-1);
    ComboIncomeArticle->setEditText(QString());
}

void frmMain::fillSupplyItemList() {
    ComboSupplyArticle->clear();
    for (SelectionPtr record = m_state.supplyHistory->nextSelection(); record;
         record = record->nextSelection())
        ComboSupplyArticle->addItem(record->tsArticle());
    ComboSupplyArticle->setCurrentIndex(-1);
    ComboSupplyArticle->setEditText(QString());
}

void frmMain::restorePlacement() {
    UserSettings settings;
    const int left = storedTwips(settings, QStringLiteral("MainLeft")).value_or(defaultLeft);
    const int top = storedTwips(settings, QStringLiteral("MainTop")).value_or(defaultTop);
    int width = storedTwips(settings, QStringLiteral("MainWidth")).value_or(defaultWidth);
    int height = storedTwips(settings, QStringLiteral("MainHeight")).value_or(defaultHeight);
    if (width <= 0 || height <= 0) {
        width = defaultWidth;
        height = defaultHeight;
    }

    // A placement that would leave the window on no screen at all (a screen
    // unplugged since) opens where a first run would.
    QRect frame(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                twipsToPixels(height));
    bool visible = false;
    for (const QScreen* screen : QGuiApplication::screens())
        visible = visible || screen->availableGeometry().intersects(frame);
    if (!visible)
        frame = QRect(twipsToPixels(defaultLeft), twipsToPixels(defaultTop),
                      twipsToPixels(defaultWidth), twipsToPixels(defaultHeight));
    move(frame.topLeft());
    resize(frame.size());
}

void frmMain::storePlacement() {
    UserSettings settings;
    settings.setValue(QStringLiteral("MainLeft"), QString::number(pixelsToTwips(x())));
    settings.setValue(QStringLiteral("MainTop"), QString::number(pixelsToTwips(y())));
    settings.setValue(QStringLiteral("MainWidth"), QString::number(pixelsToTwips(width())));
    settings.setValue(QStringLiteral("MainHeight"), QString::number(pixelsToTwips(height())));
}

void frmMain::restoreClassSize() {
    UserSettings settings;
    // A class of no pupils, or a value not written by us, is the first run's 30.
    const auto stored =
        numericValue(settings.value(QStringLiteral("StudentCount")).toString(), IntWidth::Bits16);
    if (!stored || *stored <= 0)
        return;
    m_state.studentCount = std::int16_t(*stored);
    TextIncomeStudents->setText(QString::number(m_state.studentCount));
}

void frmMain::storeClassSize() {
    UserSettings settings;
    settings.setValue(QStringLiteral("StudentCount"), QString::number(m_state.studentCount));
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Should the question or the save fail unexpectedly, the window stays.
    bool closing = false;
    guarded([&] { closing = askToSaveChanges(); });
    if (!closing) {
        event->ignore();
        return;
    }
    // The window closes even if storing the history or the placement fails.
    guarded([&] { Form_Unload(); });
    event->accept();
}

void frmMain::Form_Unload() {
    // Whatever was answered about the unsaved changes, they were answered
    // for: the next start has nothing to offer.
    // Nor may the settings page's check write one again before the program
    // has ended: no copy is kept from here on.
    if (m_recovery) {
        m_recoveryTimer->stop();
        m_recovery->discard();
        m_recovery.reset();
    }
    // A history that cannot be written costs only the remembered item names
    // (the save keeps the old file whole); it never keeps the window open.
    if (!m_historyWritePath.isEmpty())
        saveItemHistory(m_state.incomeHistory, m_state.supplyHistory, m_historyWritePath);

    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (*it != this && (*it)->isVisible())
            (*it)->close();
    }

    if (!isMinimized())
        storePlacement();
    storeClassSize();
}

void frmMain::optPrint_Click(int) {
    for (int i = 0; i < 12; ++i) {
        if (optPrint[i]->isChecked()) {
            m_state.printKind = std::int16_t(i + 1);
            return;
        }
    }
}

void frmMain::mnuHelpAbout_Click() {
    emit aboutRequested();
}

void frmMain::mnuHelpHelp_Click() {
    emit helpRequested();
}

} // namespace sorobe
