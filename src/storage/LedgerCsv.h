#pragma once

// The ledger as a CSV file for a spreadsheet or the school office: one row
// per entry in ledger order under a header row, amounts as plain integers so
// that a spreadsheet can add them, quoted as RFC 4180 says, CR LF line ends.
// The ledger file itself is never touched.

#include "CsvText.h"
#include "SorobeArticle.h"

namespace sorobe {

// 区分, No. (the entry's number on its page), 日付, 項目, 内訳, 領収書番号,
// 一人分, 人数, 収入, 支出, 残高 (the running balance in ledger order).
CsvResult ledgerCsv(const ArticlePtr& ledger, CsvEncoding encoding);

} // namespace sorobe
