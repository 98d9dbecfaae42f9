// The recovery copy of the document: kept after every step and now and then
// while something is unsaved, removed once nothing is, and a crashed
// program's copy brought back.

#include "RollFile.h"
#include "RollTableModel.h"
#include "frmMain.h"

#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QUndoStack>

namespace sorobe {

namespace {

// A list of its own for the writer's thread, which the window's steps never touch.
ArticlePtr copyOfEntries(const ArticlePtr& ledger) {
    ArticlePtr head = SorobeArticle::create();
    SorobeArticle* last = head.get();
    for (ArticlePtr entry = ledger->nextArticle(); entry; entry = entry->nextArticle()) {
        last->setTaLink(entry->cloneArticle());
        last = last->taLink().get();
    }
    return head;
}

} // namespace

void frmMain::keepRecoveryCopiesIn(const QString& folder, std::chrono::milliseconds titlesCheck) {
    // A copy kept elsewhere before goes: the document has one place.
    if (m_recovery)
        m_recovery->discard();
    m_recovery = std::make_unique<RecoveryCopy>(folder);
    if (!m_recoveryTimer) {
        m_recoveryTimer = new QTimer(this);
        connect(m_recoveryTimer, &QTimer::timeout, this,
                [this] { guarded([&] { checkRecoveryTitles(); }); });
    }
    m_recoveryTimer->setInterval(titlesCheck);
    followRecovery();
}

void frmMain::followRecovery() {
    if (!m_recovery)
        return;
    if (!m_state.modified) {
        m_recoveryTimer->stop();
        m_recovery->discard();
        return;
    }
    m_recoveryTitles = currentTitles();
    RecoveryInfo info;
    info.ledgerPath = m_state.fileName;
    info.taken = QDateTime::currentDateTime();
    info.stamp = m_diskStamp;
    // Ticks not saved yet are part of what a crash would take.
    const QByteArray roll = m_rollModified ? encodeRoll(*m_roll) : QByteArray();
    m_recovery->keep(m_recoveryTitles, copyOfEntries(m_state.ledger), roll, info);
    if (!m_recoveryTimer->isActive())
        m_recoveryTimer->start();
}

void frmMain::checkRecoveryTitles() {
    if (!m_state.modified || currentTitles() != m_recoveryTitles)
        followRecovery();
}

bool frmMain::restoreRecoveryCopy(const LeftRecoveryCopy& copy) {
    LedgerReadResult read = readLedgerFile(copy.ledgerCopyPath);
    if (!read.ok()) {
        QMessageBox::warning(this, m_programTitle, read.message);
        return false;
    }
    const QString path = copy.info.ledgerPath;
    // The document's file is this window's again, unless another program
    // has opened it since: then the window only reads it, and the changes
    // are saved under a name of their own.
    std::unique_ptr<LedgerLock> lock;
    bool readOnly = false;
    if (!path.isEmpty()) {
        lock = std::make_unique<LedgerLock>(path);
        const LedgerLock::Outcome outcome = lock->take();
        if (outcome != LedgerLock::Outcome::Taken)
            lock.reset();
        readOnly = outcome == LedgerLock::Outcome::Held;
    }
    if (!m_state.fileName.isEmpty() || m_state.modified || m_state.ledger->nextArticle())
        closeDocument();
    if (!takeLedger(*read.contents, path))
        return false;
    m_lock = std::move(lock);
    m_readOnly = readOnly;
    if (!path.isEmpty()) {
        documentOpened(path);
        // Saved over its file, the document asks first if another program
        // has changed the file since the copy's program read or wrote it.
        m_diskStamp = copy.info.stamp;
    }
    if (!copy.rollCopyPath.isEmpty())
        restoreRecoveredRoll(copy.rollCopyPath);
    // Unsaved, and copied again under this program's own name at once.
    m_state.modified = true;
    forgetHistory();
    return true;
}

void frmMain::restoreRecoveredRoll(const QString& rollCopyPath) {
    const RollReadResult read = readRollFile(rollCopyPath);
    if (!read.ok()) {
        // The ledger is back all the same, with the roll last saved beside it.
        QMessageBox::warning(this, m_programTitle,
                             read.message +
                                 QStringLiteral("\n集金表は、前に保存したものを表示しています。"));
        return;
    }
    attachRoll(*m_roll, *read.roll, m_state.ledger);
    m_rollModified = true;
    m_rollEdited = true;
    m_rollModel->rebuild();
    showRollSummary();
}

} // namespace sorobe
