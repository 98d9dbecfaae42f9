#include "EraDate.h"

#include <array>

namespace sorobe {

namespace {

struct Era {
    const char16_t* name;
    int firstYear;
    int firstMonth;
    int firstDay;
};

// Newest first: the first era whose first day is not after the date is its era.
constexpr std::array<Era, 5> eras{{
    {u"令和", 2019, 5, 1},
    {u"平成", 1989, 1, 8},
    {u"昭和", 1926, 12, 25},
    {u"大正", 1912, 7, 30},
    {u"明治", 1868, 10, 23},
}};

} // namespace

QString eraDateText(QDate date) {
    if (!date.isValid())
        return QString();
    const QString monthDay = QStringLiteral("%1月%2日").arg(date.month()).arg(date.day());
    for (const Era& era : eras) {
        if (date < QDate(era.firstYear, era.firstMonth, era.firstDay))
            continue;
        const int year = date.year() - era.firstYear + 1;
        const QString yearText = year == 1 ? QStringLiteral("元") : QString::number(year);
        return QString::fromUtf16(era.name) + yearText + u'年' + monthDay;
    }
    return QString::number(date.year()) + u'年' + monthDay;
}

} // namespace sorobe
