#pragma once

// The ledger document on disk: the title values of the settings page and every
// entry of the ledger, one value per line, code page 932, CR LF.
//
//   "iSorobe135"
//   "True"  + school, year, grade, room, teacher     (学級の会計)
//   "False" + title, reporter                        (その他の会計)
//   per entry, 8 lines: income flag, date, pupils, item, sub-item, receipt,
//   amount per person, amount
//
// Files of the two older versions are read as well: "iSorobe" (no school
// line) and "Sorobe" (no account line, always 学級の会計: year, grade, room,
// teacher). Only the current version is written.
//
// Saving takes the previous file as a backup and replaces the file as a whole;
// reading is all or nothing. Neither ever throws: failures come back as
// Japanese messages that name the file, the line or the entry.

#include "SorobeArticle.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace sorobe {

// Which title group of the settings page is in use.
enum class AccountKind {
    ClassAccount, // 学級の会計: school, year, grade, room, teacher
    OtherAccount  // その他の会計: title, reporter
};

// The title values of the settings page, as typed.
struct LedgerTitles {
    AccountKind accountKind = AccountKind::ClassAccount;
    QString schoolName; // 学校
    QString year;       // 年度
    QString grade;      // 学年
    QString room;       // 学級
    QString teacher;    // 担任
    QString title;      // 表題
    QString reporter;   // 報告者

    bool operator==(const LedgerTitles&) const = default;
};

// The title values a file carried. A value its version does not carry is
// none, and the settings page keeps what it shows.
struct ReadLedgerTitles {
    AccountKind accountKind = AccountKind::ClassAccount;
    std::optional<QString> schoolName;
    std::optional<QString> year;
    std::optional<QString> grade;
    std::optional<QString> room;
    std::optional<QString> teacher;
    std::optional<QString> title;
    std::optional<QString> reporter;

    // Takes over the account kind and every value that was read.
    void applyTo(LedgerTitles& titles) const;
};

// ---- writing

struct LedgerEncoding {
    QByteArray bytes;
    // Why the ledger cannot be written ("収入 3の項目：「𠮷」は保存できない文字です。"),
    // empty when `bytes` holds the file.
    QString fault;

    bool ok() const { return fault.isEmpty(); }
};

// The file's bytes for the titles and the entries behind `ledger` (a list head;
// none is an empty ledger), in list order. Only the title group of the chosen
// account kind is written. A value with a character the code page cannot hold
// or with a line break is refused, never replaced.
LedgerEncoding encodeLedger(const LedgerTitles& titles, const ArticlePtr& ledger);

struct LedgerSaveResult {
    bool ok = false;
    // On failure: what went wrong, naming the file or the entry. Empty on success.
    QString message;
};

// Writes the ledger to `path`. The file there before is first copied to
// ledgerBackupPath(path), with its permission bits, replacing an older backup
// (or a link at that name, never written through); then the new file takes
// its place in one step. A link at `path` is kept and the file it leads to
// written. On any failure nothing has changed at `path`, and the message says
// why. A first save (no file at `path` yet) writes no backup.
LedgerSaveResult saveLedgerFile(const QString& path, const LedgerTitles& titles,
                                const ArticlePtr& ledger);

// The backup of a ledger file: the extension of the file name replaced by
// "bak" (2002年度.txt → 2002年度.bak, "name." → "name.bak"); a name without an
// extension, or whose only dot is its first character (".hidden"), gets
// ".bak" added. Dots in folder names do not count.
QString ledgerBackupPath(const QString& path);

// ---- reading

enum class LedgerReadFault {
    None,
    CannotOpen, // missing, a folder, unreadable, too large
    NotLedger,  // the first line is none of the three versions
    // ends inside the titles or an entry, a last line without its line end, a
    // bad date or number, bytes that are no character, a CR inside a line
    Damaged
};

struct LedgerContents {
    ReadLedgerTitles titles;
    // Head of a new list holding the file's entries in ledger order (date,
    // then receipt number, ties in file order), as addArticle builds it.
    ArticlePtr ledger = SorobeArticle::create();
    std::int16_t incomeCount = 0;
    std::int16_t supplyCount = 0;
    // The key the next new entry gets: the first key plus the number of entries.
    std::int32_t nextKey = 1;
};

struct LedgerReadResult {
    // Present only when the whole file was read.
    std::optional<LedgerContents> contents;
    LedgerReadFault fault = LedgerReadFault::None;
    // 1-based line the fault was found on; 0 when the file could not be opened.
    int line = 0;
    // Japanese, naming the file, the line and what is wrong. Empty on success.
    QString message;

    bool ok() const { return contents.has_value(); }
};

// Reads the ledger file at `path`. The entries get the keys firstKey,
// firstKey + 1, … in file order. Pass 1 for an empty document; when the
// ledger already holds entries, pass the key counter, so that no two entries
// share a key. A file with more entries than the 16-bit key counter can number
// is refused.
LedgerReadResult readLedgerFile(const QString& path, std::int32_t firstKey = 1);

// The same for a file's bytes already in memory; `shownName` stands for the
// file in messages.
LedgerReadResult parseLedger(const QByteArray& bytes, const QString& shownName,
                             std::int32_t firstKey = 1);

// Moves every entry of the list behind `source` into `ledger`, with the result
// addArticle on `ledger` would give for each entry in `source`'s order (so a
// file's entries go after ledger entries of the same date and receipt number).
// Keys stay as they are; `source` is left empty.
void mergeIntoLedger(const ArticlePtr& ledger, const ArticlePtr& source);

} // namespace sorobe
