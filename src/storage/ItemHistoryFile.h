#pragma once

// The item names remembered by the income and expense pages outlive the run in
// "Sorobe.ini": the line "Income", three lines per income record (the name,
// the use count, the date of the last use), the line "Supply", three lines per
// expense record. Code page 932, every line ended by CR LF.

#include "SorobeSelection.h"

#include <QByteArray>
#include <QDate>
#include <QString>

namespace sorobe {

// Reads the file at `path` into the two histories (which the caller gives
// empty). The records go through the history's merge with `today`, in the
// file's order (appendSelectionsWithCount, the same as appendSelectionWithCount
// for each in turn), so names unused for three calendar years are dropped and
// duplicates merged. A
// missing file or a first line other than "Income" reads nothing; a damaged
// record (the file ends inside it, a date that is not a date, a count beyond
// 16 bits, bytes that are no character) ends the read, keeping the records
// before it. A record whose name holds a CR, which no save could write again,
// is left out and the read goes on. Nothing is reported: a lost history only
// empties the item choices.
void loadItemHistory(const SelectionPtr& incomeHistory, const SelectionPtr& supplyHistory,
                     const QString& path, QDate today = QDate::currentDate());

// The same for a file's bytes already in memory.
void parseItemHistory(const SelectionPtr& incomeHistory, const SelectionPtr& supplyHistory,
                      const QByteArray& bytes, QDate today = QDate::currentDate());

// Replaces the file at `path` by the two histories, as a whole: on failure the
// old file stays as it was, the result is false and `reason` (when given) says
// in Japanese what went wrong. Names the file cannot hold are left out: those
// the code page cannot hold, those with a line break, and the name "Supply",
// which would read back as the start of the expense section.
bool saveItemHistory(const SelectionPtr& incomeHistory, const SelectionPtr& supplyHistory,
                     const QString& path, QString* reason = nullptr);

// Where the history is written: the per-user data folder (created when
// needed), so that it outlives rebuilds and reinstalls of the program.
QString itemHistoryWritePath();
// Where the history is read from: the data folder; while that has none, a
// Sorobe.ini beside the executable, so an older copy's history is taken over.
QString itemHistoryReadPath();

// The same rules for given folders.
QString itemHistoryWritePath(const QString& dataFolder);
QString itemHistoryReadPath(const QString& applicationFolder, const QString& dataFolder);

} // namespace sorobe
