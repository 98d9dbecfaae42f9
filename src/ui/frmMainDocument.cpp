// The ledger document: open, save, save under a new name, close and exit,
// the question about unsaved changes, and the availability of the commands.

#include "FlexGrid.h"
#include "LedgerFile.h"
#include "frmMain.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QToolBar>

namespace sorobe {

QString frmMain::chooseFile(const QString& title, const QString& filter, bool forSaving,
                            const QString& offered) {
    QString filters = filter;
    return chooseFileAndFilter(title, filters, forSaving, offered);
}

QString frmMain::chooseFileAndFilter(const QString& title, QString& filters, bool forSaving,
                                     const QString& offered) {
    m_offeredPath = offered;
    if (m_chooseFile)
        return m_chooseFile(title, filters, forSaving);
    // Qt's own dialog, the same on every desktop; no extension is added to a
    // name typed without one.
    const auto options = QFileDialog::DontUseNativeDialog;
    QString chosen = filters.section(QStringLiteral(";;"), 0, 0);
    const QString path =
        forSaving ? QFileDialog::getSaveFileName(this, title, offered, filters, &chosen, options)
                  : QFileDialog::getOpenFileName(this, title, offered, filters, &chosen, options);
    filters = chosen;
    return path;
}

void frmMain::setFileChooser(FileChooser chooser) {
    m_chooseFile = std::move(chooser);
}

QAction* frmMain::toolbarButton(const QString& key) const {
    for (QAction* button : tbToolBar->actions()) {
        if (button->property("Key").toString() == key)
            return button;
    }
    return nullptr;
}

void frmMain::enableOpen(bool enabled) {
    mnuFileOpen->setEnabled(enabled);
    toolbarButton(QStringLiteral("開く"))->setEnabled(enabled);
}

void frmMain::enableSave(bool enabled) {
    mnuFileSave->setEnabled(enabled);
    toolbarButton(QStringLiteral("上書き保存"))->setEnabled(enabled);
    m_saveKeyWithoutFile->setEnabled(!enabled);
    showDocumentTitle();
}

void frmMain::showDocumentTitle() {
    if (!mnuFileSave->isEnabled()) {
        setWindowTitle(m_programTitle);
        return;
    }
    const QString name = QFileInfo(m_state.fileName).fileName();
    setWindowTitle(name + (m_state.modified ? QStringLiteral("*") : QString()) +
                   (m_readOnly ? QStringLiteral("（読み取り専用）") : QString()) +
                   QStringLiteral(" - ") + m_programTitle);
}

void frmMain::enableSaveAs(bool enabled) {
    mnuFileSaveAs->setEnabled(enabled);
    toolbarButton(QStringLiteral("名前をつけて保存"))->setEnabled(enabled);
}

LedgerTitles frmMain::currentTitles() const {
    LedgerTitles titles;
    titles.accountKind =
        optTiTle[0]->isChecked() ? AccountKind::ClassAccount : AccountKind::OtherAccount;
    titles.schoolName = TextSchoolName->text();
    titles.year = ComboYearHome->currentText();
    titles.grade = ComboGradeHome->currentText();
    titles.room = ComboRoomHome->currentText();
    titles.teacher = TextChargeHome->text();
    titles.title = TextTlTle->text();
    titles.reporter = TextReporter->text();
    return titles;
}

void frmMain::showTitles(const LedgerTitles& titles) {
    optTiTle[titles.accountKind == AccountKind::ClassAccount ? 0 : 1]->setChecked(true);
    TextSchoolName->setText(titles.schoolName);
    ComboYearHome->setEditText(titles.year);
    ComboGradeHome->setEditText(titles.grade);
    ComboRoomHome->setEditText(titles.room);
    TextChargeHome->setText(titles.teacher);
    TextTlTle->setText(titles.title);
    TextReporter->setText(titles.reporter);
}

bool frmMain::loadArticleFile(const QString& path) {
    LedgerReadResult read =
        readLedgerFile(path, m_state.ledger->nextArticle() ? m_state.keyCounter : std::int32_t(1));
    if (!read.ok()) {
        QMessageBox::warning(this, m_programTitle, read.message);
        return false;
    }
    return takeLedger(*read.contents, path);
}

bool frmMain::takeLedger(LedgerContents& contents, const QString& path) {
    const bool ledgerWasEmpty = !m_state.ledger->nextArticle();
    // Entries recorded before the open stay: the pages must still be able to
    // number them together with the file's.
    if (m_state.incomeCount + contents.incomeCount > std::numeric_limits<std::int16_t>::max() ||
        m_state.supplyCount + contents.supplyCount > std::numeric_limits<std::int16_t>::max()) {
        QMessageBox::warning(this, m_programTitle,
                             QStringLiteral("「%1」は記録が多すぎるため開けません。").arg(path));
        return false;
    }
    if (!balanceStaysInRange(nullptr, nullptr, contents.ledger))
        return false;

    // An entry still being typed is not in the ledger: it goes, as with
    // ｷｬﾝｾﾙ, or it would be counted with the file's entries.
    if (TextIncomeNo->isReadOnly())
        CommandIncomeCancel_Click();
    if (TextSupplyNo->isReadOnly())
        CommandSupplyCancel_Click();

    LedgerTitles titles = currentTitles();
    contents.titles.applyTo(titles);
    showTitles(titles);
    mergeIntoLedger(m_state.ledger, contents.ledger);
    m_state.incomeCount = std::int16_t(m_state.incomeCount + contents.incomeCount);
    m_state.supplyCount = std::int16_t(m_state.supplyCount + contents.supplyCount);
    m_state.keyCounter = contents.nextKey;
    openRollBeside(path, ledgerWasEmpty);

    guarded([&] { tabulateTerms(); });
    MSFlexGridIncome->setRows(m_state.incomeCount + 1);
    MSFlexGridSupply->setRows(m_state.supplyCount + 1);
    showIncomeList();
    showSupplyList();
    fillSupplyReceiptList();
    return true;
}

bool frmMain::saveArticleFile(const QString& path) {
    const LedgerSaveResult saved = saveLedgerFile(path, currentTitles(), m_state.ledger);
    if (!saved.ok) {
        QMessageBox::warning(this, m_programTitle, saved.message);
        return false;
    }
    m_diskStamp = DiskStamp::of(path);
    // A roll that could not be written keeps the document unsaved, so that
    // closing it asks again rather than losing the ticks.
    const bool rollSaved = saveRollBeside(path);
    markSaved();
    rememberRecentFile(path);
    return rollSaved;
}

void frmMain::mnuFileOpen_Click() {
    const QString path = chooseFile(QStringLiteral("開く"), QStringLiteral("すべてのﾌｧｲﾙ (*)"),
                                    false, startFolder());
    if (path.isEmpty())
        return;
    // The document's own file (saved under its name before) keeps the lock
    // this window holds on it.
    const bool ownFile = isDocumentFile(path);
    std::unique_ptr<LedgerLock> lock;
    OpenMode mode = m_readOnly ? OpenMode::ReadOnly : OpenMode::Editing;
    if (!ownFile && (mode = lockForOpening(path, lock)) == OpenMode::Cancelled)
        return;
    const bool loaded = loadArticleFile(path);
    // Steps taken before the open cannot be taken back across it.
    forgetHistory();
    if (!loaded)
        return;
    if (!ownFile)
        m_lock = std::move(lock);
    m_readOnly = mode == OpenMode::ReadOnly;
    documentOpened(path);
}

void frmMain::documentOpened(const QString& path) {
    m_state.fileName = path;
    m_diskStamp = DiskStamp::of(path);
    enableSave(true);
    enableSaveAs(true);
    enableOpen(false);
    rememberRecentFile(path);
    // Entries recorded before the open are unsaved in this file now.
    followRecovery();
}

frmMain::OpenMode frmMain::lockForOpening(const QString& path, std::unique_ptr<LedgerLock>& lock) {
    lock = std::make_unique<LedgerLock>(path);
    switch (lock->take()) {
    case LedgerLock::Outcome::Taken:
        return OpenMode::Editing;
    case LedgerLock::Outcome::Unlockable:
        // Where no program can leave a lock (a read-only folder), none is kept.
        lock.reset();
        return OpenMode::Editing;
    case LedgerLock::Outcome::Held:
        break;
    }
    QMessageBox question(QMessageBox::Warning, m_programTitle,
                         heldLedgerMessage(path, lock->holder()), QMessageBox::NoButton, this);
    question.setObjectName(QStringLiteral("frmLedgerHeld"));
    QPushButton* readOnly =
        question.addButton(QStringLiteral("読み取り専用で開く"), QMessageBox::AcceptRole);
    question.addButton(QMessageBox::Cancel);
    question.setDefaultButton(QMessageBox::Cancel);
    question.setEscapeButton(QMessageBox::Cancel);
    question.exec();
    lock.reset();
    return question.clickedButton() == readOnly ? OpenMode::ReadOnly : OpenMode::Cancelled;
}

bool frmMain::mayOverwriteFile() {
    const DiskStamp now = DiskStamp::of(m_state.fileName);
    // A file gone from its folder is simply written again.
    if (!now.exists || !m_diskStamp.exists || now == m_diskStamp)
        return true;
    QMessageBox question(
        QMessageBox::Warning, m_programTitle,
        QStringLiteral("「%1」は、開いた後（または最後に保存した後）に、ほかのプログラムで"
                       "書き換えられています。上書きすると、その変更は失われます。"
                       "上書き保存しますか？")
            .arg(QFileInfo(m_state.fileName).fileName()),
        QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::No);
    question.setEscapeButton(QMessageBox::No);
    return question.exec() == QMessageBox::Yes;
}

bool frmMain::mnuFileSave_Click() {
    // A ledger open read-only is saved under a name of its own.
    if (m_readOnly)
        return mnuFileSaveAs_Click();
    if (!mayOverwriteFile())
        return false;
    return saveArticleFile(m_state.fileName);
}

bool frmMain::mnuFileSaveAs_Click() {
    const QString path = chooseFile(QStringLiteral("名前をつけて保存する"),
                                    QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ (*.txt)"), true, startFolder());
    if (path.isEmpty())
        return false;
    const bool ownFile = isDocumentFile(path);
    const bool sameFile = ownFile && !m_readOnly;
    std::unique_ptr<LedgerLock> lock;
    if (sameFile) {
        if (!mayOverwriteFile())
            return false;
    } else {
        // Another program's open ledger is not written over under its feet.
        lock = std::make_unique<LedgerLock>(path);
        const LedgerLock::Outcome outcome = lock->take();
        if (outcome == LedgerLock::Outcome::Held) {
            QMessageBox::warning(
                this, m_programTitle,
                QStringLiteral("「%1」は、ほかのそろべえで開かれているため、"
                               "この名前では保存できません。別の名前を付けてください。")
                    .arg(QFileInfo(path).fileName()));
            return false;
        }
        if (outcome == LedgerLock::Outcome::Unlockable)
            lock.reset();
        // A ledger open read-only, saved back over its own file once its
        // holder let go: the holder's saved work is not written over unasked.
        if (ownFile && !mayOverwriteFile())
            return false;
    }
    if (!saveArticleFile(path))
        return false;
    if (!sameFile) {
        m_lock = std::move(lock);
        m_readOnly = false;
    }
    m_state.fileName = path;
    enableSave(true);
    // The copy was taken at the save, under the name the document had then.
    followRecovery();
    return true;
}

bool frmMain::askToSaveChanges() {
    if (!m_state.modified)
        return true;
    // Unlike a box that can only be answered, this one can be dismissed (Esc,
    // the window's close button): that must not throw the entries away, so
    // it cancels the command that asked, as キャンセル does.
    QMessageBox question(QMessageBox::NoIcon, QStringLiteral("そろべえ"),
                         QStringLiteral("ﾌｧｲﾙが保存していません。保存しますか？"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    question.setEscapeButton(QMessageBox::Cancel);
    const int answer = question.exec();
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    // A save that does not happen keeps the document open: closing now would
    // lose what the user just asked to keep.
    if (mnuFileSave->isEnabled())
        return mnuFileSave_Click();
    if (mnuFileSaveAs->isEnabled())
        return mnuFileSaveAs_Click();
    return false;
}

void frmMain::mnuFileClose_Click() {
    if (askToSaveChanges())
        closeDocument();
}

void frmMain::closeDocument() {
    m_lock.reset();
    m_readOnly = false;
    m_diskStamp = {};
    // The class stays the same size when its next ledger begins.
    const std::int16_t classSize = m_state.studentCount;
    m_state.incomeCount = 0;
    m_state.supplyCount = 0;
    m_state.incomeHighlightRow = 0;
    m_state.supplyHighlightRow = 0;
    m_state.modified = false;
    m_state.incomeEditEntry.reset();
    m_state.incomeSelectedEntry.reset();
    m_state.supplyEditEntry.reset();
    m_state.supplySelectedEntry.reset();
    enableSave(false);
    enableSaveAs(false);
    enableOpen(true);
    optTiTle[0]->setChecked(true);
    TextTlTle->clear();
    TextReporter->clear();
    // The item names used so far in this run are written only when the
    // window closes: the histories go on into the next document, or every
    // name typed before the close would be forgotten.
    const SelectionPtr incomeHistory = m_state.incomeHistory;
    const SelectionPtr supplyHistory = m_state.supplyHistory;
    m_state.resetDocument();
    m_state.incomeHistory = incomeHistory;
    m_state.supplyHistory = supplyHistory;
    m_state.studentCount = classSize;
    closeRoll();
    forgetHistory();

    Form_Load(ItemHistory::Keep);
    TextIncomeNo->setReadOnly(false);
    TextSupplyNo->setReadOnly(false);
    TextIncomeNo->clear();
    TextSupplyNo->clear();
    TextIncomeStudents->setText(QString::number(m_state.studentCount));
    showRemainder();
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::tbToolBar_ButtonClick(QAction* button) {
    const QString key = button->property("Key").toString();
    if (key == QStringLiteral("開く"))
        mnuFileOpen_Click();
    else if (key == QStringLiteral("名前をつけて保存"))
        mnuFileSaveAs_Click();
    else if (key == QStringLiteral("上書き保存"))
        mnuFileSave_Click();
    else if (key == QStringLiteral("ページ設定"))
        mnuFilePageSetup_Click();
    else if (key == QStringLiteral("印刷"))
        mnuFilePrint_Click();
    else if (key == QStringLiteral("印刷プレビュー"))
        mnuFilePreview_Click();
}

} // namespace sorobe
