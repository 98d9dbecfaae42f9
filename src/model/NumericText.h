#pragma once

// The numeric value of an entry field or of a number line in a ledger file:
// its leading number, blanks skipped anywhere ("1 2" is 12, " 5" is 5,
// "1-2" is 1, "12-" is 12; "" and "-" are 0).

#include <QStringView>
#include <cstdint>
#include <optional>

namespace sorobe {

enum class IntWidth { Bits16, Bits32 };

// The leading number of the text, or none when it does not fit the width.
std::optional<std::int32_t> numericValue(QStringView text, IntWidth width);

// The leading number of the text limited to 64 bits (saturating): for callers
// that check a range of their own.
std::int64_t numericValue64(QStringView text);

} // namespace sorobe
