#include "LedgerLock.h"

#include <QDir>
#include <QFileInfo>

namespace sorobe {

DiskStamp DiskStamp::of(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists())
        return {};
    return {true, file.size(), file.lastModified()};
}

LedgerLock::LedgerLock(const QString& ledgerPath)
    : m_lockPath(lockPathFor(ledgerPath))
    , m_file(m_lockPath) {
    // A ledger stays open for hours: the lock is never stale for its age,
    // only when the process that wrote it is gone.
    m_file.setStaleLockTime(0);
}

LedgerLock::~LedgerLock() = default;

LedgerLock::Outcome LedgerLock::take() {
    if (m_file.tryLock(0))
        return Outcome::Taken;
    return m_file.error() == QLockFile::LockFailedError ? Outcome::Held : Outcome::Unlockable;
}

std::optional<LedgerLockHolder> LedgerLock::holder() const {
    LedgerLockHolder holder;
    QString application;
    if (!m_file.getLockInfo(&holder.process, &holder.host, &application))
        return std::nullopt;
    const QFileInfo lock(m_lockPath);
    holder.user = lock.owner();
    holder.since = lock.lastModified();
    return holder;
}

QString LedgerLock::lockPathFor(const QString& ledgerPath) {
    // The file itself, however it is reached (a link, another spelling of
    // its folder), so that two programs never hold two locks on one ledger.
    const QFileInfo ledger(sameFileKey(ledgerPath));
    return ledger.absoluteDir().filePath(QStringLiteral(".~sorobe-lock.") + ledger.fileName() +
                                         u'#');
}

QString sameFileKey(const QString& path) {
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    // A file not written yet: its folder resolved, its own name as given.
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? file.absoluteFilePath() : QDir(folder).filePath(file.fileName());
}

QString heldLedgerMessage(const QString& ledgerPath,
                          const std::optional<LedgerLockHolder>& holder) {
    QString text = QStringLiteral("「%1」は、ほかのそろべえで開かれています。")
                       .arg(QFileInfo(ledgerPath).fileName());
    if (holder) {
        text +=
            QStringLiteral("\n\n利用者: %1\nコンピューター: %2\nプロセス番号: %3\n開いた日時: %4")
                .arg(holder->user.isEmpty() ? QStringLiteral("（不明）") : holder->user,
                     holder->host.isEmpty() ? QStringLiteral("（不明）") : holder->host)
                .arg(holder->process)
                .arg(holder->since.toString(QStringLiteral("yyyy/MM/dd H:mm")));
    }
    text +=
        QStringLiteral("\n\n両方で書き換えると、後から保存したほうが先の変更を消してしまいます。"
                       "読み取り専用で開きますか？（保存するときは別の名前を付けます）");
    return text;
}

} // namespace sorobe
