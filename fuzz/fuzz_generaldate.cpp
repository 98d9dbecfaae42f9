// The date reader on any text: never a crash, and a date it reads is written
// as a text that reads back to the same date.

#include "FuzzCheck.h"
#include "GeneralDate.h"

#include <QString>
#include <cstddef>
#include <cstdint>

using namespace sorobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto read = parseGeneralDate(text);
    if (!read)
        return 0;
    const QString written = formatGeneralDate(*read);
    const auto again = parseGeneralDate(written);
    fuzz::check(again.has_value(), "a written date reads back");
    fuzz::check(formatGeneralDate(*again) == written, "a written date keeps its text");
    return 0;
}
