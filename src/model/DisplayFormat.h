#pragma once

// How amounts and dates are written in the lists, on the term sheets and in
// the printouts. Fixed rules: the same text whatever the machine's locale.

#include "DateTime.h"

#include <QString>
#include <cstdint>

namespace sorobe {

// "1,234", "-1,000", "0": thousands separators, no decimals, no currency sign.
QString formatAmount(std::int32_t amount);

// The short date "yyyy/MM/dd" with the century dropped: "01/04/05".
QString formatListDate(DateTime date);

// The short date as the settings page and the files show it: "2001/04/05".
QString formatShortDate(DateTime date);

} // namespace sorobe
