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
// ("9:05:00") as that time on the day count 0. Blanks around the text are
// skipped. None for a text that is not such a date or time.
std::optional<DateTime> parseGeneralDate(QStringView text);

} // namespace sorobe
