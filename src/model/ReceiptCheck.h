#pragma once

// The receipts checked before the year-end audit (会計監査): what an auditor
// looks for in the expenses of the ledger, found before the auditor does.
// Only reads the ledger.

#include "SorobeArticle.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

namespace sorobe {

// An expense as the check names it.
struct ReceiptEntry {
    // The entry's number on the expense page: 1 for the first expense of the
    // ledger, in ledger order.
    int number = 0;
    QDate date;
    // The item, with its sub-item after a space when it has one.
    QString item;
    std::int32_t amount = 0;
};

enum class ReceiptProblem {
    // Receipt numbers between 1 and the highest used that no expense carries.
    Missing,
    // One receipt number on expenses of different dates: a receipt holds one date.
    DifferentDates,
    // Expenses without a receipt number.
    WithoutReceipt,
    // The same item and amount twice or more on the same date: a likely double entry.
    LikelyDouble,
};

struct ReceiptFinding {
    ReceiptProblem problem = ReceiptProblem::Missing;
    // One Japanese sentence saying what is wrong, e.g.
    // 「領収書番号 5〜8 がありません。」
    QString summary;
    // The expenses concerned, in ledger order; none for missing numbers.
    std::vector<ReceiptEntry> entries;
};

// Every problem of the ledger's expenses, ordered by kind as ReceiptProblem
// lists them; within a kind by receipt number (missing numbers, different
// dates) or by the ledger position of the first entry concerned. Empty when
// all is well. Linear in the number of entries (plus the missing ranges).
std::vector<ReceiptFinding> checkReceipts(const ArticlePtr& ledger);

// 「No.5　2026/05/10　画用紙　1,200円」: an entry as a line of the check's window.
QString describeReceiptEntry(const ReceiptEntry& entry);

} // namespace sorobe
