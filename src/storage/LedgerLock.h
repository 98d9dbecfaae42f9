#pragma once

// One ledger, one editor: while a program has a ledger open, a lock file
// beside it (".~sorobe-lock.<name>#", in the manner office programs keep
// theirs, under a name of our own) says so, with
// the process, the computer and, from the file itself, the user and the
// time. A second program that opens the same ledger learns who holds it; a
// lock left by a program that ended without removing it (a crash, a power
// cut) is taken over without a word.

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>

namespace sorobe {

// Who holds the lock on a ledger, as far as the lock file tells.
struct LedgerLockHolder {
    QString user;
    QString host;
    qint64 process = 0;
    QDateTime since;
};

// The file's state on disk when the program last read or wrote it, to tell
// whether another program has changed it since.
struct DiskStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;

    static DiskStamp of(const QString& path);
    bool operator==(const DiskStamp&) const = default;
};

class LedgerLock {
public:
    enum class Outcome {
        Taken,     // this program holds the ledger now
        Held,      // another running program does: see holder()
        Unlockable // the folder takes no lock file (read-only media): nobody can lock it
    };

    explicit LedgerLock(const QString& ledgerPath);
    ~LedgerLock();
    LedgerLock(const LedgerLock&) = delete;
    LedgerLock& operator=(const LedgerLock&) = delete;

    Outcome take();
    std::optional<LedgerLockHolder> holder() const;
    QString lockPath() const { return m_lockPath; }

    static QString lockPathFor(const QString& ledgerPath);

private:
    QString m_lockPath;
    QLockFile m_file;
};

// The same text for every way of reaching one file (links, relative paths):
// its canonical path, or for a file not yet written, its resolved folder and name.
QString sameFileKey(const QString& path);

// The message for a ledger another program holds, naming who and since when.
QString heldLedgerMessage(const QString& ledgerPath, const std::optional<LedgerLockHolder>& holder);

} // namespace sorobe
