#pragma once

// The recovery copy: while a document has changes that are not saved, the
// program keeps a copy of it in the user's data folder, so that a crash or a
// power cut does not take an evening of entries with it. A normal save, close
// or exit removes the copy; the next start offers a copy whose program is
// gone.
//
// Each running program has its own name in the recovery folder,
// "sorobe-<process>-<start time>", and these files under it:
//   .lock  held while the program runs (the ledger lock's kind of file)
//   .txt   the document in the ledger file's format, readable by 開く
//   .roll  the collection roll, in its file's format, while its ticks are
//          unsaved (else the roll saved beside the ledger is the document's)
//   .info  the document's own file name and the time of the copy (JSON)
// Each is written as a whole file, the ledger first and the info last, by a
// thread of its own: a recording never waits for the disk.

#include "LedgerFile.h"
#include "LedgerLock.h"

#include <QByteArray>
#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace sorobe {

// What a copy says besides its entries.
struct RecoveryInfo {
    // The document's file; empty for a document never saved.
    QString ledgerPath;
    // When the copy was taken.
    QDateTime taken;
    // How the document's file stood on disk when the program last read or
    // wrote it: a save of the restored document then asks before it writes
    // over changes another program made since.
    DiskStamp stamp;
};

QByteArray encodeRecoveryInfo(const RecoveryInfo& info);
// None when the bytes are not an info this program wrote.
std::optional<RecoveryInfo> parseRecoveryInfo(const QByteArray& bytes);

// The recovery folder in the user's data folder.
QString recoveryFolder();

// This program's own copy.
class RecoveryCopy {
public:
    // Takes this program's name in the folder (made when missing). When the
    // folder takes no file, no copy is ever written: the program works on
    // without one.
    explicit RecoveryCopy(const QString& folder);
    // Waits for a copy under way, then gives the name up; the copy itself
    // stays unless it was discarded.
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    // Writes the document as it stands. `entries` must be the copy's own
    // list (nothing else may change it); it is encoded on the writer's
    // thread. `roll` is the roll file's bytes, or empty for none. A copy
    // asked for while one is being written replaces any that waits.
    void keep(const LedgerTitles& titles, ArticlePtr entries, const QByteArray& roll,
              const RecoveryInfo& info);
    // Removes the copy: the document has nothing unsaved any more.
    void discard();
    // Returns once every copy asked for is written or removed.
    void waitForWriter();

    QString ledgerCopyPath() const;

private:
    struct Writer;
    std::unique_ptr<Writer> m_writer;
};

// A copy left by a program that is no longer running, held by this program
// while it decides what to do with it.
struct LeftRecoveryCopy {
    QString ledgerCopyPath;
    // Empty when the copy holds no roll.
    QString rollCopyPath;
    RecoveryInfo info;
    std::shared_ptr<QLockFile> hold;
};

// The copies in the folder whose program has ended, newest first. A copy
// whose info cannot be read is offered as a document never saved, taken at
// the time of its file.
std::vector<LeftRecoveryCopy> findLeftRecoveryCopies(const QString& folder);

// Where setRecoveryCopyAside keeps the copy: beside it, named after the
// document and the time of the copy ("2026年度 2026-12-09 21.05 保存されていなかった変更.txt").
QString recoveryAsidePath(const LeftRecoveryCopy& copy);
// Keeps the copy aside (see recoveryAsidePath), as a ledger that 開く reads
// with its roll beside it, and gives up its name; false when it could not be moved (it then stays
// and is offered again at the next start).
bool setRecoveryCopyAside(LeftRecoveryCopy& copy);
// Removes the copy once its document is back in a window.
void removeRecoveryCopy(LeftRecoveryCopy& copy);

} // namespace sorobe
