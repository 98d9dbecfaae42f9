#include "PrintPeriods.h"

#include "CheckedArithmetic.h"

#include <array>

namespace sorobe::print {

namespace {

constexpr std::array<PeriodPaper, periodCount> papers{{
    {Year, u"", false, 0, 0, 0, u"", Year, u""},
    {Spring, u"１学期", true, 4, 7, 0, u"", Spring, u"２学期へ繰り越し"},
    {Autumn, u"２学期", true, 8, 12, 1, u"１学期の繰越金", Spring, u"３学期へ繰り越し"},
    {Winter, u"３学期", true, 13, 15, 2, u"２学期の繰越金", Autumn, u""},
    {Before, u"前期", true, 4, 9, 0, u"", Before, u"後期へ繰り越し"},
    {Later, u"後期", true, 10, 15, 3, u"前期の繰越金", Before, u""},
}};

} // namespace

const PeriodPaper& periodPaper(Period period) {
    for (const PeriodPaper& paper : papers) {
        if (paper.period == period)
            return paper;
    }
    return papers.front();
}

bool periodHoldsEntryMonth(const PeriodPaper& paper, int month) {
    if (!paper.monthFiltered)
        return true;
    const int schoolMonth = month <= 3 ? month + 12 : month;
    return schoolMonth >= paper.firstMonth && schoolMonth <= paper.lastMonth;
}

const ArticlePtr& periodIncomeList(const TermLists& lists, Period period) {
    switch (period) {
    case Spring:
        return lists.springIncome;
    case Autumn:
        return lists.autumnIncome;
    case Winter:
        return lists.winterIncome;
    case Before:
        return lists.beforeIncome;
    case Later:
        return lists.laterIncome;
    case Year:
        break;
    }
    return lists.yearIncome;
}

const ArticlePtr& periodSupplyList(const TermLists& lists, Period period) {
    switch (period) {
    case Spring:
        return lists.springSupply;
    case Autumn:
        return lists.autumnSupply;
    case Winter:
        return lists.winterSupply;
    case Before:
        return lists.beforeSupply;
    case Later:
        return lists.laterSupply;
    case Year:
        break;
    }
    return lists.yearSupply;
}

std::int32_t periodBalance(const SharedState& state, Period period) {
    const auto index = static_cast<std::size_t>(period);
    return checkedAdd(state.periodIncomeSum[index], state.periodSupplySum[index]);
}

} // namespace sorobe::print
