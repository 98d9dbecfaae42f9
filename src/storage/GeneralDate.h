#pragma once

// Dates in the ledger and item history files are written as a Japanese Windows
// machine shows a date-time value in its "General Date" form: the short date
// "2002/07/21", followed by a blank and the time "9:05:00" only when the value
// has a time of day. Fixed rules, whatever this machine's locale or time zone.

#include "DateTime.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace sorobe {

// "2002/07/21" or "2002/07/21 9:05:00" (hour without a leading zero, minutes
// and seconds with two digits). The time is rounded to the second first; a
// time that rounds to midnight is no time.
QString formatGeneralDate(DateTime value);

// Reads what formatGeneralDate writes, also with one-digit months, days,
// minutes or seconds ("2002/7/21", "2002/07/21 09:05"), and a time alone
// ("9:05:00") as that time on the day count 0. A year of two digits, as
// machines with a two-digit short date wrote ("02/04/10 9:05:00"), is read
// within 1930-2029: 00-29 are 2000-2029, 30-99 are 1930-1999; a year of one or
// three digits is no year. Blanks around the text are skipped. None for a text
// that is not such a date or time.
std::optional<DateTime> parseGeneralDate(QStringView text);

} // namespace sorobe
