#pragma once

// How each period of the school year appears on paper: its name in the
// ledger, which ledger entries belong to it, the balance that opens it and
// the row that carries its balance on. Kept here because the printouts print
// the period lists the tabulation left in the shared state and need nothing
// else from the term accounting.

#include "SharedState.h"

#include <QString>

namespace sorobe::print {

struct PeriodPaper {
    Period period;
    // "１学期" … "後期"; empty for the whole year.
    const char16_t* ledgerName;
    // School-year months 4-15 (January-March as 13-15); the year has no range.
    bool monthFiltered;
    int firstMonth;
    int lastMonth;
    // The carry-forward that opens the period's ledger: its kind (0 for none),
    // the item it is printed with and the period whose balance it carries.
    int openingKind;
    const char16_t* openingArticle;
    Period carriedFrom;
    // The row under the totals that hands the balance on; empty when none.
    const char16_t* carryRowText;
};

const PeriodPaper& periodPaper(Period period);

bool periodHoldsEntryMonth(const PeriodPaper& paper, int month);

const ArticlePtr& periodIncomeList(const TermLists& lists, Period period);
const ArticlePtr& periodSupplyList(const TermLists& lists, Period period);

// The remaining money of 1学期, 2学期 or 前期 as the tabulation kept it.
// Throws OverflowError when it leaves 32 bits.
std::int32_t periodBalance(const SharedState& state, Period period);

} // namespace sorobe::print
