#pragma once

// The calendar of the school year (April to March) and the carry-forward.
//
// The year is cut in two overlapping ways, three terms (1学期, 2学期, 3学期)
// and two halves (前期, 後期), plus the whole year (年間). Only the calendar
// month of an entry decides its periods; the year of its date is never looked
// at, so a ledger is expected to hold one school year.
//
// 2学期, 3学期 and 後期 open their income list with one extra income line, the
// carry-forward, holding the balance of the period before in the same scheme.
// Three kinds exist: 1 (1学期 into 2学期), 2 (2学期 into 3学期) and
// 3 (前期 into 後期).

#include "SharedState.h"
#include "SorobeArticle.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace sorobe {

struct PeriodInfo {
    Period period;
    // The period's name in the calendar ("1学期" … "年間").
    const char16_t* name;
    // Caption of its term page ("1学期" … " 年間", the halves and the year
    // with a leading blank).
    const char16_t* tabCaption;
    // objectName of the term page's grid.
    const char* gridName;
    // Month range as collectMonthlyArticle takes it: a last month above 12
    // counts January-March as 13-15. 年間 takes every entry and has none.
    bool monthFiltered;
    std::int16_t firstMonth;
    std::int16_t lastMonth;
    // Kind (1-3) of the carry-forward that opens this period's income list,
    // 0 when none does.
    std::int16_t openingCarryKind;
    // The period whose balance is carried into this one (when openingCarryKind
    // is not 0).
    Period carriedFrom;
};

// The six periods in the order of the term pages, which is also the order in
// which the tabulation fills them.
inline constexpr std::array<PeriodInfo, periodCount> termPeriods{{
    {Spring, u"1学期", u"1学期", "MSFlexGridSpring", true, 4, 7, 0, Spring},
    {Autumn, u"2学期", u"2学期", "MSFlexGridAutumn", true, 8, 12, 1, Spring},
    {Winter, u"3学期", u"3学期", "MSFlexGridWinter", true, 1, 3, 2, Autumn},
    {Before, u"前期", u" 前期", "MSFlexGridBefore", true, 4, 9, 0, Before},
    {Later, u"後期", u" 後期", "MSFlexGridLater", true, 10, 15, 3, Before},
    {Year, u"年間", u" 年間", "MSFlexGridYear", false, 0, 0, 0, Year},
}};

constexpr const PeriodInfo& periodInfo(Period period) {
    for (const PeriodInfo& info : termPeriods) {
        if (info.period == period)
            return info;
    }
    return termPeriods.back(); // unreachable for a valid Period
}

// 0 for 1学期 … 5 for 年間: the place of the period's page among the term pages.
constexpr int termPageIndex(Period period) {
    for (int index = 0; index < periodCount; ++index) {
        if (termPeriods[static_cast<std::size_t>(index)].period == period)
            return index;
    }
    return -1;
}

// Whether an entry dated in the calendar month (1-12) belongs to the period.
constexpr bool periodHoldsMonth(Period period, int month) {
    const PeriodInfo& info = periodInfo(period);
    if (!info.monthFiltered)
        return true;
    if (info.lastMonth > 12 && month <= 3)
        month += 12;
    return month >= info.firstMonth && month <= info.lastMonth;
}

// The period carried from by a carry-forward of the kind (1-3); 年間 for any other kind.
constexpr Period carryForwardSource(int kind) {
    for (const PeriodInfo& info : termPeriods) {
        if (info.openingCarryKind != 0 && info.openingCarryKind == kind)
            return info.carriedFrom;
    }
    return Year;
}

// The period receiving a carry-forward of the kind (1-3); 年間 for any other kind.
constexpr Period carryForwardTarget(int kind) {
    for (const PeriodInfo& info : termPeriods) {
        if (info.openingCarryKind != 0 && info.openingCarryKind == kind)
            return info.period;
    }
    return Year;
}

// Whether the period's balance is carried into a following period (1学期,
// 2学期 and 前期): only these keep their totals in the shared state.
constexpr bool carriesBalanceForward(Period period) {
    for (const PeriodInfo& info : termPeriods) {
        if (info.openingCarryKind != 0 && info.carriedFrom == period)
            return true;
    }
    return false;
}

QString periodName(Period period);

// The school year a day belongs to: the calendar year of the April that
// begins it (2027/03/31 is in the school year 2026).
int schoolYearOf(QDate day);

// The name of a school year as the settings page offers it, in the era that
// began in the calendar year of its April: "令和8年度(2026年度）",
// "令和元年度(2019年度）", "平成30年度(2018年度）".
QString schoolYearName(int year);

// The years offered on the settings page: the school year of `today`, the
// two before and the two after, in order.
QStringList schoolYearChoices(QDate today);

// The period's income and expense list in the shared term lists.
ArticlePtr& incomeList(TermLists& lists, Period period);
const ArticlePtr& incomeList(const TermLists& lists, Period period);
ArticlePtr& supplyList(TermLists& lists, Period period);
const ArticlePtr& supplyList(const TermLists& lists, Period period);

// The carry-forward entries are dated in 1900, before any school year a
// ledger can hold: addArticle then always places the carry-forward as the
// first line of its income list, whatever the dates of the ledger's entries.
inline constexpr std::int16_t carryForwardYear = 1900;

// "１学期の繰越金", "２学期の繰越金" or "前期の繰越金"; empty for any other kind.
QString carryForwardArticle(int kind);

// A new, detached carry-forward entry of the kind (1-3): an income line of
// `amount` dated 1 September, 1 January or 1 October of `year`, item as
// carryForwardArticle, no sub-item, no amount per pupil, `studentCount`
// pupils, receipt and key 0. A year of 0-99 is read as a two-digit year
// (0-29 as 2000-2029, 30-99 as 1930-1999). Another kind leaves date and item
// at the values of a new entry.
ArticlePtr makeCarryForward(std::int16_t kind, std::int32_t amount, std::int16_t year,
                            std::int16_t studentCount);

// The balance of the period as last tabulated: its income total plus its
// (negative) expense total. Throws OverflowError when the balance leaves 32 bits.
std::int32_t carriedBalance(const SharedState& state, Period period);

} // namespace sorobe
