#pragma once

// The main window: menus, toolbar and the nine pages (設定, 収入, 支出 and the
// six term sheets). Everything the user does runs through its handlers, which
// work on the shared state of the run.

#include "CollectionRoll.h"
#include "HashedText.h"
#include "LedgerFile.h"
#include "LedgerLock.h"
#include "PrintTitles.h"
#include "RecoveryCopy.h"
#include "SharedState.h"

#include <QDate>
#include <QFont>
#include <QHash>
#include <QMainWindow>
#include <QPageLayout>
#include <QRect>
#include <QString>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QDateEdit;
class QFontMetricsF;
class QGroupBox;
class QKeyEvent;
class QModelIndex;
class QTableView;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QShortcut;
class QToolBar;
class QUndoStack;

namespace sorobe {

class FlexGrid;
class UpDownButton;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // The window's size as designed, in twips: start-up gives it this size,
    // and the lists grow only with what the window has beyond it.
    static constexpr int designedWidth = 9330;
    static constexpr int designedHeight = 6705;

    explicit frmMain(SharedState& state, QWidget* parent = nullptr);
    ~frmMain() override;

    // The window load: placement, settings page, grids, item histories and
    // choices. Runs before the window is first shown and again after the
    // document is closed, which keeps the histories of the run.
    enum class ItemHistory { Read, Keep };
    void Form_Load(ItemHistory history = ItemHistory::Read);

    // Where the item history is read from and written to; start-up takes the
    // places beside the program or in the user's data folder.
    void setItemHistoryFiles(const QString& readPath, const QString& writePath);

    // The receipt numbers offered for a new expense: the eleven lowest that
    // no entry of the ledger uses.
    void fillSupplyReceiptList();

    // The ledger file of the document: read into the ledger (keeping what
    // the ledger holds) or written with a backup of the previous version.
    // False, after a message saying why, when nothing was read or written.
    bool loadArticleFile(const QString& path);
    bool saveArticleFile(const QString& path);

    // Opens the ledger file in place of whatever the window holds, after the
    // question about unsaved changes: for a file named on the command line,
    // dropped on the window or chosen among the recent files. False, after a
    // message saying why, when the file could not be read (the document in
    // the window then stays as it was) or the user cancelled.
    bool openLedger(const QString& path);
    // The ledgers opened or saved last, newest first, as the ﾌｧｲﾙ menu lists them.
    static constexpr int recentFileCount = 6;
    QStringList recentFiles() const;

    // The settings page's title values, as a save writes them.
    LedgerTitles currentTitles() const;

    // The recovery copy: from now on, while the document has unsaved
    // changes, a copy of it is kept in the folder (see RecoveryCopy), after
    // every step and, for the settings page, every `titlesCheck`.
    void keepRecoveryCopiesIn(const QString& folder,
                              std::chrono::milliseconds titlesCheck = std::chrono::seconds(30));
    // None once the window has closed.
    RecoveryCopy* recoveryCopy() const { return m_recovery.get(); }
    // A copy a crashed program left, back in the window as an unsaved
    // document under its own file's name, in place of an empty document.
    // False, after a message saying why, when the copy cannot be read.
    bool restoreRecoveryCopy(const LeftRecoveryCopy& copy);

    // Asks which file to open or save to: (title, filters, saving) → a path,
    // empty when the user cancelled. The filters are joined by ";;"; the one
    // chosen is left in their place (untouched means the first). Tests answer
    // instead of a person.
    using FileChooser = std::function<QString(const QString&, QString&, bool)>;
    void setFileChooser(FileChooser chooser);
    // The path the last file question offered (a folder and a name), if any.
    QString offeredPath() const { return m_offeredPath; }

    // Shows the printer choice for the print command: true when the user
    // chose to print. Tests answer instead of a person.
    using PrintDialog = std::function<bool(QPrinter&)>;
    void setPrintDialog(PrintDialog dialog);
    void fillIncomeItemList();
    void fillSupplyItemList();

    // The entry lists and the money left (both pages' labels at once).
    void showIncomeList();
    void showSupplyList();
    void highlightListRow(FlexGrid* grid, int row);
    void scrollListToRow(FlexGrid* grid, int row, int count);

    // Rebuilds the term lists from the ledger and refills the six term pages:
    // the page on screen at once, each other page when it is next shown or
    // read (its grid is owed the refill; see FlexGrid::setPendingFill).
    void tabulateTerms();
    FlexGrid* termGrid(Period period) const;

    void previousIncomeNumber();
    void nextIncomeNumber();
    void previousSupplyNumber();
    void nextSupplyNumber();

signals:
    void aboutRequested();
    void helpRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void CommandIncomeNew_Click();
    void CommandIncomeRecord_Click();
    void CommandIncomeDelete_Click();
    void CommandIncomeCancel_Click();
    void MSFlexGridIncome_Click();
    void TextIncomeNo_Change();
    void TextIncomePerPerson_Change();
    void TextIncomeStudents_Change();
    void TextIncomeAmount_Change();

    void CommandSupplyNew_Click();
    void CommandSupplyRecord_Click();
    void CommandSupplyDelete_Click();
    void CommandSupplyCancel_Click();
    void MSFlexGridSupply_Click();
    void TextSupplyNo_Change();
    void TextSupplyAmount_Change();
    void ComboSupplyReceipt_Change();
    void ComboSupplyReceipt_Click(int index);
    void DTPickerSupplyDate_Change();

    void mnuEditUndo_Click();
    void mnuEditRedo_Click();

    void mnuFileOpen_Click();
    bool mnuFileSave_Click();
    bool mnuFileSaveAs_Click();
    void mnuFileClose_Click();
    void tbToolBar_ButtonClick(QAction* button);
    void mnuFilePrint_Click();
    void mnuFilePreview_Click();
    void mnuFileExportPdf_Click();
    void mnuFilePageSetup_Click();
    void mnuFileExportCsv_Click();
    void mnuFileNewYear_Click();
    void mnuToolsReceiptCheck_Click();
    void CommandRollRoster_Click();
    void CommandRollPrint_Click();
    void CommandRollPreview_Click();
    void CommandRollPdf_Click();

private slots:
    void SSTabSheets_Click(int index);
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
    void connectEntryPages();
    void setUpEntryFields();
    // Runs one user action; a total beyond 32 bits or any other failure ends
    // it with a message instead of leaving the handler.
    void guarded(const std::function<void()>& action);
    // Whether the field's text holds only allowed characters; a refused text
    // empties the field and keeps the focus there.
    bool acceptField(QWidget* field, const QString& text, QStringView allowed);
    static bool onlyAllowed(const QString& text, QStringView allowed);
    void refuseField(QWidget* field);
    void applyEnterRule(bool income);
    bool handleKey(QWidget* field, int key);
    void loadIncomeEntry(int number);
    void loadSupplyEntry(int number);

    // What the income and the expense page have in common: their controls
    // and their share of the shared state, so that both run the same steps.
    struct EntryPage {
        bool income;
        QLineEdit* number;
        QDateEdit* date;
        QComboBox* article;
        QLineEdit* amount;
        QPushButton* newButton;
        QPushButton* record;
        QPushButton* remove;
        QPushButton* cancel;
        FlexGrid* grid;
        std::int16_t& count;
        ArticlePtr& edit;
        ArticlePtr& selected;
        std::int16_t& highlight;
        SelectionPtr& history;
    };
    EntryPage incomePage();
    EntryPage supplyPage();
    bool openNewEntry(const EntryPage& page);
    void selectByNumber(const EntryPage& page);
    void clickList(const EntryPage& page);
    void recordEntry(const EntryPage& page);
    void deleteEntry(const EntryPage& page);
    void cancelEntry(const EntryPage& page, std::initializer_list<QWidget*> emptied);
    void amountChanged(QLineEdit* field);
    // Empties a refused １人分 or 生徒の数, and the income amount with it when
    // it was made from them.
    void refuseFactor(QLineEdit* field);
    // The receipt lookup: the date of the first entry carrying the receipt,
    // or, when none does, the date shown before a receipt changed it.
    void lookUpReceipt(std::optional<std::int32_t> receipt);
    // Whether the ledger's balance stays within 32 bits when `removed` leaves
    // it and `added` joins it; says so in a message when it would not.
    bool balanceStaysInRange(const ArticlePtr& removed, const ArticlePtr& added,
                             const ArticlePtr& addedList = nullptr);
    void tellBalanceTooLarge();
    QString chooseFile(const QString& title, const QString& filter, bool forSaving,
                       const QString& offered = QString());
    // As above, with the filter chosen left in `filters`.
    QString chooseFileAndFilter(const QString& title, QString& filters, bool forSaving,
                                const QString& offered);
    // Whether the path is the document's own file, which nothing but the
    // ledger may be written to; says so in a message.
    bool refuseDocumentFile(const QString& path);
    int expenseCount() const;
    // The receipt check's window, when shown, with the ledger as it stands.
    void refreshReceiptCheck();
    // The expense of that number on the expense page, as a click on its row.
    void showSupplyEntry(int number);
    QAction* toolbarButton(const QString& key) const;
    void enableOpen(bool enabled);
    void enableSave(bool enabled);
    void enableSaveAs(bool enabled);
    PrintTitles printTitles() const;
    QPrinter& printer();
    // The chosen print kind drawn on the printer: false, after a message
    // saying why, when it could not be.
    bool renderPrintKind(QPrinter& target);
    // The printer choice of the print commands; false when the user cancelled.
    bool choosePrinter(QPrinter& chosen);
    // The print preview of pages drawn by `render`, titled with what they are.
    void showPreview(const QString& what, QPageLayout::Orientation orientation,
                     const std::function<bool(QPrinter&)>& render);
    // Pages drawn by `render` written as a PDF at `path`, whole or not at
    // all: false, after a message saying why, when it could not be.
    bool exportPdf(const QString& path, QPageLayout::Orientation orientation,
                   const std::function<bool(QPrinter&)>& render);
    void showTitles(const LedgerTitles& titles);
    // The question about unsaved changes (はい / いいえ / キャンセル); false
    // when the document must stay open: the user cancelled, or a save they
    // asked for did not happen.
    bool askToSaveChanges();
    // What 閉じる does once the question is answered: the window back to an
    // empty document, the item histories and the class size kept.
    void closeDocument();
    // The ledger read and merged into the window's; see loadArticleFile.
    bool takeLedger(LedgerContents& contents, const QString& path);
    // The window's commands once `path` is the document's file.
    void documentOpened(const QString& path);
    // Files dropped on the window, or on a field of it that takes drops.
    void watchDrops();
    void openDroppedLedger(const QString& path);
    // The recent files: remembered in the per-user settings, listed in the
    // ﾌｧｲﾙ menu; a file that is gone is taken off with a message.
    void rememberRecentFile(const QString& path);
    void refreshRecentMenu();
    void openRecentFile(const QString& path);
    // Whether the path reaches the file the document is open from.
    bool isDocumentFile(const QString& path) const;
    // Where the open and save questions start: the folder of the document's
    // file, else of the last ledger used, else the user's documents.
    QString startFolder() const;
    // The lock on the ledger about to be opened; when another program holds
    // it, the user chooses to open it read-only or not at all.
    enum class OpenMode { Cancelled, Editing, ReadOnly };
    OpenMode lockForOpening(const QString& path, std::unique_ptr<LedgerLock>& lock);
    // Whether the save may overwrite the document's file: asked when another
    // program has changed it since it was opened or last saved.
    bool mayOverwriteFile();
    // The height of a list row whose item takes its lines in the column.
    int listRowHeight(const QFontMetricsF& metrics, const QString& text, int columnWidth) const;
    // What a refill of a term page reads: the period's two lists as a
    // tabulation left them (heads of their own, so that the next tabulation
    // cannot change them), their lines with the balances and totals, and the
    // width the item column had then.
    struct TermSheetPlan;
    struct TermSheetSource {
        ArticlePtr income;
        ArticlePtr supply;
        std::shared_ptr<const TermSheetPlan> plan;
        int itemWidth = 0;
    };
    // A refill owed to a page that was not on screen when tabulated, with
    // the rows the page had been given before it.
    struct OwedTermSheet {
        TermSheetSource source;
        int rowsBefore = 0;
    };
    std::array<std::optional<OwedTermSheet>, periodCount> m_owedTermSheets;
    static std::shared_ptr<const TermSheetPlan> planTermSheet(const ArticlePtr& income,
                                                              const ArticlePtr& supply);
    TermSheetSource currentTermSheetSource(Period period) const;
    void termSheetTabulated(Period period);
    void fillOwedTermSheet(Period period);
    // Refills a page from the source, writing rows from..to in full and only
    // the colours of the lines above `from`; rows below `to` are left as
    // they are. rowCount is the page's sheetRowCount, updated as a whole
    // refill updates it.
    void writeTermSheet(Period period, const TermSheetSource& source, int& rowCount, int from,
                        int to);
    // Widths of the items measured so far, in pixels of the window's font.
    mutable QHash<HashedText, double> m_textWidths;
    mutable QFont m_textWidthsFont;
    // The lists grow with the window beyond its designed size.
    struct ItemColumn {
        FlexGrid* grid;
        int column;
        int others;
    };
    struct DesignedGeometry {
        QWidget* widget;
        QRect rect;
        bool grows; // a list grows; the money left below it only moves
    };
    // The history of ledger steps (編集 menu): what can be taken back and
    // done again, and whether the document differs from its file.
    class LedgerStep;
    void buildEditMenu();
    void historyChanged();
    void forgetHistory();
    // What follows the ledger after each of its changes.
    void followLedger();
    // The 集金 page.
    QWidget* buildRollPage();
    bool rollKey(QKeyEvent* event);
    void toggleRollCell(const QModelIndex& cell);
    void rollChanged();
    void showRollSummary();
    void followLedgerInRoll();
    bool renderRoll(QPrinter& target);
    // The roll file beside a ledger just opened (only into an empty window),
    // or saved; messages say what could not be read or written.
    void openRollBeside(const QString& ledgerPath, bool ledgerWasEmpty);
    bool saveRollBeside(const QString& ledgerPath);
    void closeRoll();
    void markSaved();
    // Writes the recovery copy of the document as it stands, or removes
    // it once nothing is unsaved.
    void followRecovery();
    // The settings page's values are no steps: looked at now and then.
    void checkRecoveryTitles();
    // The unsaved ticks a recovery copy held, in place of the roll saved
    // beside the ledger.
    void restoreRecoveredRoll(const QString& rollCopyPath);
    // What a step needs to be taken back, seen before the page changes the
    // ledger: the entry chosen (none for a new one), the node it follows,
    // its number, and the page's item history.
    struct StepStart {
        ArticlePtr entry;
        ArticlePtr after;
        int number = 0;
        std::vector<SelectionPtr> history;
    };
    StepStart startStep(const EntryPage& page) const;
    void pushRecordStep(const EntryPage& page, const StepStart& start);
    void pushDeleteStep(const EntryPage& page, const StepStart& start);
    void applyStep(const LedgerStep& step, bool forward);
    // Whether the step can be taken back (or done again) on the ledger as it
    // stands: its entries where it left them, every running balance within
    // 32 bits. Says why not in a message.
    bool stepApplies(const LedgerStep& step, bool forward);
    void refreshUndoCommand();
    void showTermPageAnew();
    bool cancelHalfTypedEntries();
    bool hasUnrecordedInput(const EntryPage& page) const;
    // Gives the list exactly count entry rows, new ones formatted as the
    // list's own rows are.
    void growList(FlexGrid* grid, int count);
    // The caption: the file's name and a mark for unsaved changes while a
    // file is open, the program's own title otherwise.
    void showDocumentTitle();
    QString m_programTitle;
    QUndoStack* m_undoStack = nullptr;
    QShortcut* m_saveKeyWithoutFile = nullptr;

    void rememberDesignedLayout();
    void fitListsToWindow();
    // Row heights of the list on the page shown, once its item column has
    // changed width; the lists of other pages wait until they are shown.
    void refitShownList();
    std::array<ItemColumn, 8> itemColumns() const;
    void showRemainder();
    void restorePlacement();
    void storePlacement();
    // 生徒の数 of the last run, kept with the window's placement.
    void restoreClassSize();
    void storeClassSize();
    void Form_Unload();

    SharedState& m_state;
    QString m_historyReadPath;
    QString m_historyWritePath;
    FileChooser m_chooseFile;
    QString m_offeredPath;
    // Set while an entry's values are written into the fields.
    bool m_loadingEntry = false;
    // The income amount's text before the user's edit that is under way.
    QString m_incomeAmountBefore;
    // Whether the income amount shown is per pupil × pupils (computed, or
    // stored with its breakdown) rather than typed by hand.
    bool m_amountFromPerPerson = false;
    // The expense date before a typed receipt number took another entry's
    // date; null when no receipt has moved it.
    QDate m_dateBeforeReceipt;
    // What the date pickers showed when the entry being changed was loaded.
    QDate m_incomeDateShown;
    QDate m_supplyDateShown;
    bool m_datingByReceipt = false;
    PrintDialog m_printDialog;
    std::vector<DesignedGeometry> m_designedGeometry;
    QTimer* m_refitRows = nullptr;
    // Lists whose item column has changed width since their rows were sized.
    std::vector<FlexGrid*> m_unfittedLists;
    std::unique_ptr<QPrinter> m_printer;
    // The document's file: the lock this window holds on it (none when it
    // is open read-only or its folder takes no lock), and how it stood on
    // disk when last read or written.
    std::unique_ptr<LedgerLock> m_lock;
    bool m_readOnly = false;
    DiskStamp m_diskStamp;
    class frmReceiptCheck* m_receiptCheck = nullptr;
    // The collection roll of the document, and what the 集金 page shows of it.
    std::unique_ptr<CollectionRoll> m_roll;
    class RollTableModel* m_rollModel = nullptr;
    // Ticks or the roster changed since the roll was last saved or opened.
    bool m_rollModified = false;
    // The teacher changed the roll in this document (not only the ledger).
    bool m_rollEdited = false;
    // The roll file beside the ledger could not be read when it was opened.
    bool m_rollUnreadable = false;
    std::unique_ptr<RecoveryCopy> m_recovery;
    QTimer* m_recoveryTimer = nullptr;
    // The settings page's values the last copy was taken with.
    LedgerTitles m_recoveryTitles;

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
    QAction* mnuFilePreview = nullptr;
    QAction* mnuFileExportPdf = nullptr;
    QAction* mnuFileExportCsv = nullptr;
    QAction* mnuFileNewYear = nullptr;
    QMenu* mnuFileRecent = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditRedo = nullptr;
    QMenu* mnuTools = nullptr;
    QAction* mnuToolsReceiptCheck = nullptr;
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

    QLabel* LabelRollSummary = nullptr;
    QPushButton* CommandRollRoster = nullptr;
    QPushButton* CommandRollPrint = nullptr;
    QPushButton* CommandRollPreview = nullptr;
    QPushButton* CommandRollPdf = nullptr;
    QTableView* GridRoll = nullptr;

    // The collection roll, as the 集金 page shows it.
    const CollectionRoll& roll() const { return *m_roll; }
};

} // namespace sorobe
