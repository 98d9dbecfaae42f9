// The number reader on any text: never a crash, and the three readings of one
// text agree wherever the narrower width holds the number.

#include "FuzzCheck.h"
#include "NumericText.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <limits>

using namespace sorobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::int64_t wide = numericValue64(text);
    const auto value32 = numericValue(text, IntWidth::Bits32);
    const auto value16 = numericValue(text, IntWidth::Bits16);

    const bool fits32 = wide >= std::numeric_limits<std::int32_t>::min() &&
                        wide <= std::numeric_limits<std::int32_t>::max();
    const bool fits16 = wide >= std::numeric_limits<std::int16_t>::min() &&
                        wide <= std::numeric_limits<std::int16_t>::max();
    fuzz::check(value32.has_value() == fits32, "32 bits hold what fits them");
    fuzz::check(value16.has_value() == fits16, "16 bits hold what fits them");
    if (value32)
        fuzz::check(*value32 == wide, "the 32-bit reading is the wide one");
    if (value16)
        fuzz::check(*value16 == wide, "the 16-bit reading is the wide one");
    return 0;
}
