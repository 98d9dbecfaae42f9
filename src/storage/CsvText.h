#pragma once

// CSV as spreadsheets and the school office read it: RFC 4180 quoting, CR LF
// line ends, in UTF-8 with a byte-order mark or in Shift_JIS.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

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

// Rows of fields as CSV text: a field holding a comma, a quote or a line
// break is quoted, its quotes doubled; every row ends with CR LF.
QString csvText(const QList<QStringList>& rows);

// Names the entry of `row` and its field number `field`, which holds a
// character Shift_JIS cannot: 「支出 2の項目」.
using CsvRowName = std::function<QString(const QStringList& row, qsizetype field)>;

// The rows as the bytes of the file. In Shift_JIS the first row the code
// page cannot hold refuses the whole file, named by `nameRow`.
CsvResult encodeCsv(const QList<QStringList>& rows, CsvEncoding encoding,
                    const CsvRowName& nameRow);

} // namespace sorobe
