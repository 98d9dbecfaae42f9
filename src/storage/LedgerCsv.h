#pragma once

// The ledger as a CSV file for a spreadsheet or the school office: one row
// per entry in ledger order under a header row, amounts as plain integers so
// that a spreadsheet can add them, quoted as RFC 4180 says, CR LF line ends.
// The ledger file itself is never touched.

#include "SorobeArticle.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sorobe {

enum class CsvEncoding {
    // UTF-8 with a byte-order mark: spreadsheets open it with the Japanese intact.
    Utf8WithBom,
    // For older spreadsheet programs; a character it cannot hold is refused.
    ShiftJis,
};

struct CsvResult {
    QByteArray bytes;
    // Empty when written; else, in Japanese, the entry and field that cannot be.
    QString fault;
    bool ok() const { return fault.isEmpty(); }
};

// 区分, No. (the entry's number on its page), 日付, 項目, 内訳, 領収書番号,
// 一人分, 人数, 収入, 支出, 残高 (the running balance in ledger order).
CsvResult ledgerCsv(const ArticlePtr& ledger, CsvEncoding encoding);

// Rows of fields as CSV text: a field holding a comma, a quote or a line
// break is quoted, its quotes doubled; every row ends with CR LF.
QString csvText(const QList<QStringList>& rows);

} // namespace sorobe
