#include "TermTabulation.h"

#include "TermCalendar.h"

namespace sorobe {

namespace {

// Builds one period list apart and moves its lines into the list head only
// once the step has succeeded: a total that overflows half-way leaves the
// list as the last tabulation built it, never half summed. The head itself
// stays the same object.
void rebuildList(const ArticlePtr& head, const ArticlePtr& ledger, const PeriodInfo& info,
                 bool income, const ArticlePtr& carryForward) {
    ArticlePtr lines = SorobeArticle::create();
    // Every collect reads the ledger from its first entry.
    if (info.monthFiltered)
        lines->collectMonthlyArticle(income, info.firstMonth, info.lastMonth,
                                     ledger->nextArticle());
    else
        lines->collectArticle(income, ledger->nextArticle());
    if (carryForward)
        lines->addArticle(carryForward);
    head->setTaLink(lines->nextArticle());
    lines->setTaLink(nullptr);
}

} // namespace

void tabulateTerms(SharedState& state, const FillTermSheet& fillTermSheet) {
    TermLists& lists = state.termLists;
    for (const PeriodInfo& info : termPeriods) {
        ArticlePtr carryForward;
        if (info.openingCarryKind != 0)
            carryForward =
                makeCarryForward(info.openingCarryKind, carriedBalance(state, info.carriedFrom),
                                 carryForwardYear, state.studentCount);
        rebuildList(incomeList(lists, info.period), state.ledger, info, true, carryForward);
        rebuildList(supplyList(lists, info.period), state.ledger, info, false, nullptr);

        if (fillTermSheet)
            fillTermSheet(info.period);

        if (carriesBalanceForward(info.period)) {
            // Both totals are taken before either is stored, so an overflow
            // leaves the pair as it was.
            const std::int32_t incomeSum = incomeList(lists, info.period)->sumArticle();
            const std::int32_t supplySum = supplyList(lists, info.period)->sumArticle();
            const auto index = static_cast<std::size_t>(info.period);
            state.periodIncomeSum[index] = incomeSum;
            state.periodSupplySum[index] = supplySum;
        }
    }
    state.termsStale = false;
}

} // namespace sorobe
