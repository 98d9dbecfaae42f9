#pragma once

// Dates in the Japanese era calendar, as a report to the parents is dated.
// Qt knows no Japanese calendar, so the eras are a small table of our own.

#include <QDate>
#include <QString>

namespace sorobe {

// "令和8年12月8日": era, year of the era, month and day in half-width digits
// without leading zeros; the first year of an era is 元年 (「令和元年5月1日」).
// Dates before the first era of the table are written with the western year
// ("1860年1月1日"); an invalid date gives an empty text.
QString eraDateText(QDate date);

} // namespace sorobe
