#pragma once

// The term pages as a CSV file for the school office: one block per period,
// as the pages show it after tabulation (the carry-forward line first),
// amounts as plain integers.

#include "CsvText.h"
#include "SorobeArticle.h"

#include <QString>
#include <vector>

namespace sorobe {

// A term page: its name and its two tabulated lists.
struct TermCsvPage {
    QString name;
    ArticlePtr income;
    ArticlePtr supply;
};

// For each page, in the order given: a row with its name; the header No.,
// 項目, 収入, 支出, 残高; a row per line (income lines, then expense lines,
// the balance running through both); the 合計 row; an empty row between pages.
CsvResult termPagesCsv(const std::vector<TermCsvPage>& pages, CsvEncoding encoding);

} // namespace sorobe
