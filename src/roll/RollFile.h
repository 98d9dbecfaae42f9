#pragma once

// The roll's file beside the ledger: the ledger's name with the extension
// ".roll" (2026年度.txt → 2026年度.roll). The ledger file stays exactly as it
// was, so that other copies of the program still read it.
//
// The format is UTF-8 text, one record per line, fields separated by a tab,
// a tab, a line break or a backslash in a field written \t, \n, \\:
//
//   SOROBE-ROLL<TAB>1                         the format and its version
//   PUPILS<TAB>32<TAB>edited|plain            the roster's size, set by hand or not
//   PUPIL<TAB>number<TAB>name<TAB>movedIn<TAB>movedOut   dates yyyy/MM/dd or empty
//   COLLECTION<TAB>position<TAB>yyyy/MM/dd<TAB>perPerson<TAB>item<TAB>sub-item<TAB>paid
//                                             position 1… among the ledger's
//                                             collections; paid: 出席番号 joined by ","
//   END                                       the file is complete
//
// PUPIL lines come only for pupils with a name or a move; every collection
// of the ledger has its line. Lines end with LF.

#include "CollectionRoll.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace sorobe {

QString rollPathFor(const QString& ledgerPath);
// 2026年度.roll → 2026年度.roll.bak
QString rollBackupPath(const QString& rollPath);

QByteArray encodeRoll(const CollectionRoll& roll);

struct RollSaveResult {
    bool ok = false;
    QString message; // naming the file, on failure
};
// Written as the ledger is: the file there before copied to its backup
// first (with its permission bits, replacing a link at the backup's name),
// then the new one in its place in one step; nothing changed on failure.
RollSaveResult saveRollFile(const QString& path, const CollectionRoll& roll);

// A roll as its file holds it, before it meets the ledger.
struct StoredRoll {
    Roster roster;
    bool rosterEdited = false;
    struct Column {
        int position = 0;
        CollectionId id;
        std::vector<int> paid;
    };
    std::vector<Column> columns;
};

struct RollReadResult {
    std::optional<StoredRoll> roll;
    // On failure, in Japanese, naming the file and the line.
    QString message;
    bool ok() const { return roll.has_value(); }
};
// All or nothing: the first fault refuses the whole file, with its line.
RollReadResult parseRoll(const QByteArray& bytes, const QString& shownName);
RollReadResult readRollFile(const QString& path);

// Puts the stored roll into `roll` (reset first), matched to the ledger's
// collections: a column goes to the collection at its position when that
// collection has the same date, item, sub-item and amount per pupil, else to
// the first collection not yet matched that has them; a column matching none
// is dropped. Returns the dropped columns, named for the teacher
// (「2026/04/08 学級費 4月分 ＠500」).
QStringList attachRoll(CollectionRoll& roll, const StoredRoll& stored, const ArticlePtr& ledger);

} // namespace sorobe
