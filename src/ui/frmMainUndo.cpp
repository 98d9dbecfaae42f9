// Undo and redo of the changes to the ledger: recording a new entry,
// recording a changed one and deleting one are steps that can be taken back
// and done again, each putting the ledger, the counts, the item history and
// the lists back exactly as they were.

#include "FlexGrid.h"
#include "NumericText.h"
#include "RunningBalance.h"
#include "frmMain.h"
#include "frmReceiptCheck.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QUndoCommand>
#include <QUndoStack>

namespace sorobe {

namespace {

// The item history as a list of its records, to be linked again as it was.
std::vector<SelectionPtr> historyRecords(const SelectionPtr& head) {
    std::vector<SelectionPtr> records;
    for (SelectionPtr record = head->nextSelection(); record; record = record->nextSelection())
        records.push_back(record);
    return records;
}

void relinkHistory(const SelectionPtr& head, const std::vector<SelectionPtr>& records) {
    SorobeSelection* last = head.get();
    for (const SelectionPtr& record : records) {
        last->setTsLink(record);
        last = record.get();
    }
    last->setTsLink(nullptr);
}

// The node an entry follows in the ledger (the head for the first entry).
ArticlePtr predecessorOf(const ArticlePtr& ledger, const ArticlePtr& entry) {
    ArticlePtr previous = ledger;
    for (ArticlePtr node = ledger->nextArticle(); node; node = node->nextArticle()) {
        if (node == entry)
            return previous;
        previous = node;
    }
    return nullptr;
}

// The entry's number on its page: its place among the entries of its kind.
int entryNumberOf(const ArticlePtr& ledger, const ArticlePtr& entry) {
    int number = 0;
    for (ArticlePtr node = ledger->nextArticle(); node; node = node->nextArticle()) {
        if (node->taIncome() == entry->taIncome())
            ++number;
        if (node == entry)
            return number;
    }
    return 0;
}

} // namespace

// One change to the ledger. The change is made by the page before the step
// is pushed, so the first redo, which the stack runs on push, does nothing.
class frmMain::LedgerStep : public QUndoCommand {
public:
    LedgerStep(frmMain& window, const QString& text)
        : QUndoCommand(text)
        , m_window(window) {}

    bool income = true;
    // The entry that left the ledger and the one that joined it (either may
    // be none), each with the node it followed.
    ArticlePtr removed, removedAfter;
    ArticlePtr added, addedAfter;
    // +1 for a new entry, -1 for a deleted one: the page's count.
    int countChange = 0;
    // A recording counts its item; a deletion leaves the history alone.
    std::vector<SelectionPtr> historyBefore, historyAfter;
    bool changesHistory() const { return !historyAfter.empty(); }

    void undo() override { m_window.applyStep(*this, false); }
    void redo() override {
        if (std::exchange(m_done, false))
            return;
        m_window.applyStep(*this, true);
    }

private:
    frmMain& m_window;
    bool m_done = true;
};

void frmMain::buildEditMenu() {
    m_undoStack = new QUndoStack(this);
    mnuEdit = new QMenu(QStringLiteral("編集(&E)"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    menuBar()->insertMenu(mnuTools->menuAction(), mnuEdit);
    mnuEditUndo = mnuEdit->addAction(QString());
    mnuEditUndo->setObjectName(QStringLiteral("mnuEditUndo"));
    mnuEditUndo->setShortcut(QKeySequence::Undo);
    mnuEditRedo = mnuEdit->addAction(QString());
    mnuEditRedo->setObjectName(QStringLiteral("mnuEditRedo"));
    mnuEditRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(mnuEditUndo, &QAction::triggered, this,
            [this] { guarded([&] { mnuEditUndo_Click(); }); });
    connect(mnuEditRedo, &QAction::triggered, this,
            [this] { guarded([&] { mnuEditRedo_Click(); }); });
    connect(mnuEdit, &QMenu::aboutToShow, this, [this] {
        guarded([&] {
            historyChanged();
            refreshUndoCommand();
        });
    });
    connect(m_undoStack, &QUndoStack::indexChanged, this, [this] {
        historyChanged();
        followLedger();
        followRecovery();
    });
    connect(m_undoStack, &QUndoStack::cleanChanged, this, [this] { historyChanged(); });
    historyChanged();
}

void frmMain::historyChanged() {
    const QString undo = m_undoStack->undoText();
    const QString redo = m_undoStack->redoText();
    mnuEditUndo->setText(undo.isEmpty() ? QStringLiteral("元に戻す(&U)")
                                        : QStringLiteral("元に戻す: %1(&U)").arg(undo));
    mnuEditRedo->setText(redo.isEmpty() ? QStringLiteral("やり直し(&R)")
                                        : QStringLiteral("やり直し: %1(&R)").arg(redo));
    mnuEditUndo->setEnabled(m_undoStack->canUndo());
    mnuEditRedo->setEnabled(m_undoStack->canRedo());
    // The roll's ticks are no steps: they are unsaved on their own.
    m_state.modified = !m_undoStack->isClean() || m_rollModified;
    showDocumentTitle();
}

void frmMain::forgetHistory() {
    // What is not saved stays unsaved: entries recorded before an open are
    // not in the file that was opened.
    const bool unsaved = m_state.modified;
    m_undoStack->clear();
    if (unsaved)
        m_undoStack->resetClean();
    historyChanged();
    followLedger();
    followRecovery();
}

void frmMain::followLedger() {
    // Every change of the ledger is a step, or forgets the steps: a receipt
    // check on screen follows it, so that its numbers name the entries shown.
    if (m_receiptCheck && m_receiptCheck->isVisible())
        refreshReceiptCheck();
    followLedgerInRoll();
}

void frmMain::markSaved() {
    m_undoStack->setClean();
    historyChanged();
    followRecovery();
}

frmMain::StepStart frmMain::startStep(const EntryPage& page) const {
    StepStart start;
    start.entry = page.selected;
    if (start.entry) {
        start.after = predecessorOf(m_state.ledger, start.entry);
        start.number = entryNumberOf(m_state.ledger, start.entry);
    }
    start.history = historyRecords(page.history);
    return start;
}

namespace {

QString stepText(bool income, int number, const char16_t* what) {
    return QStringLiteral("%1 %2 の%3")
        .arg(income ? QStringLiteral("収入") : QStringLiteral("支出"))
        .arg(number)
        .arg(QString::fromUtf16(what));
}

} // namespace

void frmMain::pushRecordStep(const EntryPage& page, const StepStart& start) {
    const ArticlePtr& added = page.edit;
    auto* step = new LedgerStep(*this, stepText(page.income, entryNumberOf(m_state.ledger, added),
                                                start.entry ? u"変更" : u"登録"));
    step->income = page.income;
    step->removed = start.entry;
    step->removedAfter = start.after;
    step->added = added;
    step->addedAfter = predecessorOf(m_state.ledger, added);
    step->countChange = start.entry ? 0 : 1;
    step->historyBefore = start.history;
    step->historyAfter = historyRecords(page.history);
    m_undoStack->push(step);
}

void frmMain::pushDeleteStep(const EntryPage& page, const StepStart& start) {
    auto* step = new LedgerStep(*this, stepText(page.income, start.number, u"削除"));
    step->income = page.income;
    step->removed = start.entry;
    step->removedAfter = start.after;
    step->countChange = -1;
    m_undoStack->push(step);
}

void frmMain::applyStep(const LedgerStep& step, bool forward) {
    const ArticlePtr& leaving = forward ? step.removed : step.added;
    const ArticlePtr& joining = forward ? step.added : step.removed;
    const ArticlePtr& joiningAfter = forward ? step.addedAfter : step.removedAfter;
    if (leaving)
        m_state.ledger->deleteArticle(leaving);
    if (joining)
        joiningAfter->insertArticle(joining);

    const EntryPage page = step.income ? incomePage() : supplyPage();
    page.count = std::int16_t(page.count + (forward ? step.countChange : -step.countChange));
    if (step.changesHistory()) {
        relinkHistory(page.history, forward ? step.historyAfter : step.historyBefore);
        page.income ? fillIncomeItemList() : fillSupplyItemList();
    }

    // The page goes back to Browsing, with the list's rows as they were,
    // formatted as new rows are; the term pages are filled anew when shown.
    page.edit.reset();
    page.selected.reset();
    if (page.highlight > page.count)
        page.highlight = 0;
    growList(page.grid, page.count);
    m_state.termsStale = true;
    m_state.sheetRowCount.fill(1);
    page.income ? showIncomeList() : showSupplyList();
}

bool frmMain::stepApplies(const LedgerStep& step, bool forward) {
    const ArticlePtr& leaving = forward ? step.removed : step.added;
    const ArticlePtr& joining = forward ? step.added : step.removed;
    const ArticlePtr& joiningAfter = forward ? step.addedAfter : step.removedAfter;
    // The history only goes back and forth along what was done, so the
    // entries are where the step expects them; should they not be, the
    // ledger is left alone rather than broken.
    bool leavingFound = !leaving;
    bool afterFound = !joining || joiningAfter == m_state.ledger;
    RunningBalance running;
    auto add = [&](const SorobeArticle& entry) {
        running.add(entry);
    };
    // Every running balance, with the entries exactly where the step puts them.
    if (joining && joiningAfter == m_state.ledger)
        add(*joining);
    for (ArticlePtr entry = m_state.ledger->nextArticle(); entry; entry = entry->nextArticle()) {
        if (entry == joining)
            return false;
        if (entry == leaving) {
            leavingFound = true;
            continue;
        }
        add(*entry);
        if (joining && entry == joiningAfter) {
            afterFound = true;
            add(*joining);
        }
    }
    if (!leavingFound || !afterFound)
        return false;
    if (!running.fits())
        tellBalanceTooLarge();
    return running.fits();
}

// Before a step is taken back or done again, whatever is being typed on an
// entry page goes, as with ｷｬﾝｾﾙ: the pages are refreshed by the step.
bool frmMain::cancelHalfTypedEntries() {
    bool cancelled = false;
    if (hasUnrecordedInput(incomePage())) {
        CommandIncomeCancel_Click();
        cancelled = true;
    }
    if (hasUnrecordedInput(supplyPage())) {
        CommandSupplyCancel_Click();
        cancelled = true;
    }
    return cancelled;
}

bool frmMain::hasUnrecordedInput(const EntryPage& page) const {
    if (page.number->isReadOnly())
        return true; // a new entry is open
    const ArticlePtr& shown = page.selected;
    if (!shown || !page.remove->isEnabled())
        return false; // browsing: nothing is being typed
    const auto number = [](const QString& text) {
        return numericValue64(text);
    };
    bool same = page.date->date() == shown->taDate().toQDate() &&
                page.article->currentText() == shown->taArticle() &&
                number(page.amount->text()) == shown->taAmount();
    if (page.income) {
        same = same && ComboIncomeSubArticle->currentText() == shown->taSubArticle() &&
               number(TextIncomePerPerson->text()) == shown->taPerPerson() &&
               number(TextIncomeStudents->text()) == shown->taStudentsNumber();
    } else {
        same = same && number(ComboSupplyReceipt->currentText()) == shown->taReceipt();
    }
    return !same;
}

void frmMain::mnuEditUndo_Click() {
    if (cancelHalfTypedEntries() || !m_undoStack->canUndo())
        return;
    const auto* step =
        static_cast<const LedgerStep*>(m_undoStack->command(m_undoStack->index() - 1));
    if (!stepApplies(*step, false))
        return;
    m_undoStack->undo();
    showTermPageAnew();
}

void frmMain::mnuEditRedo_Click() {
    // With nothing to do again, what is being typed stays.
    if (!m_undoStack->canRedo() || cancelHalfTypedEntries())
        return;
    const auto* step = static_cast<const LedgerStep*>(m_undoStack->command(m_undoStack->index()));
    if (!stepApplies(*step, true))
        return;
    m_undoStack->redo();
    showTermPageAnew();
}

void frmMain::showTermPageAnew() {
    // A term page on screen shows the ledger as the step left it; a total
    // that does not fit is said, as when the page is chosen.
    if (SSTabSheets->currentIndex() >= 3 && SSTabSheets->currentIndex() < 3 + periodCount)
        guarded([&] { tabulateTerms(); });
}

void frmMain::refreshUndoCommand() {
    // While an entry is half typed, 元に戻す cancels it, also when no step
    // is left to take back.
    if (m_undoStack->canUndo() ||
        !(hasUnrecordedInput(incomePage()) || hasUnrecordedInput(supplyPage())))
        return;
    mnuEditUndo->setText(QStringLiteral("元に戻す: 入力の取り消し(&U)"));
    mnuEditUndo->setEnabled(true);
}

} // namespace sorobe
