#pragma once

// The two documents of a period: the ledger (元帳), every entry of the period
// with the running balance, and the accounting report to the parents
// (会計報告). Both draw on a print surface in twips and read the period lists
// and carried totals the term tabulation has just rebuilt; neither changes the
// ledger, the lists or the settings.
//
// Both throw OverflowError when a total leaves 32 bits and PrintFailure when
// the printer refuses; the caller ends the document and tells the user
// (printKind does both).

#include "PrintSurface.h"
#include "PrintTitles.h"
#include "SharedState.h"

#include <cstdint>

namespace sorobe {

// The ledger of the period (0 年間, 1 １学期, 2 ２学期, 3 ３学期, 4 前期, 5 後期):
// the entries of the ledger whose month falls in the period, in ledger order,
// with page totals, brought-forward rows, the opening carry-forward of
// ２学期, ３学期 and 後期, the period's totals under red rules and the row
// that carries the balance on from １学期, ２学期 and 前期.
void printLedger(PrintSurface& surface, const SharedState& state, std::int16_t period,
                 const PrintTitles& titles);

// Whether the ledger of the period, if its printing stops at a total too
// large, stops so on sheets of any height: true when no page's totals can
// leave 32 bits wherever its pages break (the period's incomes, the opening
// carry-forward among them, and its expenses each add up within 32 bits
// counting only the positive amounts and only the negative ones).
bool ledgerFailsAlikeOnAnySheets(const SharedState& state, std::int16_t period);

// The report of one period: summary box, income table grouped by item in the
// order the items first appear, two-column expense table, the closing
// sentence, the date in the era calendar and the signature.
void printReport(PrintSurface& surface, const QString& periodLabel, const ArticlePtr& incomeList,
                 const ArticlePtr& supplyList, const QString& closingSentence,
                 const PrintTitles& titles);

} // namespace sorobe
