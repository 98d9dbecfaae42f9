#pragma once

// Replacing a file as a whole, as the ledger, its backup, the roll, the item
// history and an exported CSV are saved: the new content goes to a temporary
// of our own beside the file (".~sorobe-save.<file name>.XXXXXX"), is flushed
// to the disk, and then takes the file's place in one rename. At every moment
// the file is either the old one or the new one, never half of each.
//
// Messages say in Japanese why a file could not be written; they do not name
// the file, the caller's message does.

#include <QByteArray>
#include <QString>
#include <optional>

namespace sorobe {

struct WholeFileOptions {
    // A symbolic link at the path: true writes the file it leads to and keeps
    // the link (a teacher may keep the ledger in a synced folder through a
    // link); false replaces the link itself, so that a backup never writes
    // into whatever a link at its name points to.
    bool throughLink = true;
    // Permission bits (as chmod takes them) the written file gets. None keeps
    // those of the file replaced, and gives a new file the usual ones: read
    // and write for the owner, read for the others, as the umask allows.
    std::optional<unsigned> permissions;
};

// Why the file at `path` cannot be replaced, as far as can be told before
// writing: a folder there, its folder missing, no permission, a read-only
// disk. Empty when nothing stops it.
QString whyNotReplaceable(const QString& path, const WholeFileOptions& options = {});

// Replaces the file at `path` by `bytes`. Temporaries that an earlier save of
// the same file left behind when it was stopped half-way are removed first.
// On failure nothing has changed at `path`, no temporary is left, and `why`
// (when given) says what stopped the write ("書き込みが許されていません。").
bool replaceWholeFile(const QString& path, const QByteArray& bytes,
                      const WholeFileOptions& options = {}, QString* why = nullptr);

// The same, with a `reason` that names the file: "「…」に書き込めません。" and why.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

// Saves `bytes` at `path` as the ledger and the roll are saved: the file there
// before (through a link at `path`, too) is first copied whole to
// `backupPath`, with its own permission bits, replacing an older backup or a
// link at that name; then the new content replaces the file. A first save, or
// a `backupPath` that is `path` itself, makes no backup. On failure nothing
// has changed at `path` and `why` says what stopped the save.
bool saveKeepingBackup(const QString& path, const QString& backupPath, const QByteArray& bytes,
                       QString* why);

} // namespace sorobe
