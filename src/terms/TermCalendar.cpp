#include "TermCalendar.h"

#include "CheckedArithmetic.h"

namespace sorobe {

namespace {

template <typename Lists, typename Head> Head& pick(Lists& lists, Period period, bool income) {
    switch (period) {
    case Spring:
        return income ? lists.springIncome : lists.springSupply;
    case Autumn:
        return income ? lists.autumnIncome : lists.autumnSupply;
    case Winter:
        return income ? lists.winterIncome : lists.winterSupply;
    case Before:
        return income ? lists.beforeIncome : lists.beforeSupply;
    case Later:
        return income ? lists.laterIncome : lists.laterSupply;
    case Year:
        break;
    }
    return income ? lists.yearIncome : lists.yearSupply;
}

// The month and day on which a carry-forward of the kind is dated: the first
// day of the receiving period.
struct CarryDate {
    int month;
    int day;
};

} // namespace

QString periodName(Period period) {
    return QString::fromUtf16(periodInfo(period).name);
}

int schoolYearOf(QDate day) {
    return day.month() >= 4 ? day.year() : day.year() - 1;
}

QString schoolYearName(int year) {
    // A school year is named in the era that began in the year of its April:
    // 2019 is 令和元年度, although 令和 began only in May.
    const struct {
        int firstYear;
        const char16_t* name;
    } eras[] = {{2019, u"令和"}, {1989, u"平成"}, {1926, u"昭和"}};
    for (const auto& era : eras) {
        if (year >= era.firstYear) {
            const int inEra = year - era.firstYear + 1;
            return QString::fromUtf16(era.name) +
                   (inEra == 1 ? QStringLiteral("元") : QString::number(inEra)) +
                   QStringLiteral("年度(%1年度）").arg(year);
        }
    }
    return QStringLiteral("%1年度").arg(year);
}

QStringList schoolYearChoices(QDate today) {
    const int current = schoolYearOf(today);
    QStringList choices;
    for (int year = current - 2; year <= current + 2; ++year)
        choices << schoolYearName(year);
    return choices;
}

ArticlePtr& incomeList(TermLists& lists, Period period) {
    return pick<TermLists, ArticlePtr>(lists, period, true);
}

const ArticlePtr& incomeList(const TermLists& lists, Period period) {
    return pick<const TermLists, const ArticlePtr>(lists, period, true);
}

ArticlePtr& supplyList(TermLists& lists, Period period) {
    return pick<TermLists, ArticlePtr>(lists, period, false);
}

const ArticlePtr& supplyList(const TermLists& lists, Period period) {
    return pick<const TermLists, const ArticlePtr>(lists, period, false);
}

QString carryForwardArticle(int kind) {
    switch (kind) {
    case 1:
        return QStringLiteral("１学期の繰越金");
    case 2:
        return QStringLiteral("２学期の繰越金");
    case 3:
        return QStringLiteral("前期の繰越金");
    default:
        return QString();
    }
}

ArticlePtr makeCarryForward(std::int16_t kind, std::int32_t amount, std::int16_t year,
                            std::int16_t studentCount) {
    ArticlePtr entry = SorobeArticle::create();
    CarryDate date{0, 0};
    switch (kind) {
    case 1:
        date = {9, 1};
        break;
    case 2:
        date = {1, 1};
        break;
    case 3:
        date = {10, 1};
        break;
    default:
        break;
    }
    if (date.month != 0) {
        // The date is read as "year/month/day" text would be: two-digit years
        // fall into 1930-2029.
        int fullYear = year;
        if (fullYear >= 0 && fullYear < 30)
            fullYear += 2000;
        else if (fullYear >= 30 && fullYear < 100)
            fullYear += 1900;
        entry->setTaDate(DateTime::fromDate(fullYear, date.month, date.day));
        entry->setTaArticle(carryForwardArticle(kind));
    }
    entry->setTaPerPerson(0);
    entry->setTaStudentsNumber(studentCount);
    entry->setTaAmount(amount);
    entry->setTaSubArticle(QString());
    entry->setTaIncome(true);
    return entry;
}

std::int32_t carriedBalance(const SharedState& state, Period period) {
    const auto index = static_cast<std::size_t>(period);
    return checkedNarrow<std::int32_t>(std::int64_t{state.periodIncomeSum.at(index)} +
                                       std::int64_t{state.periodSupplySum.at(index)});
}

} // namespace sorobe
