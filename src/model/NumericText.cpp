#include "NumericText.h"

#include <limits>

namespace sorobe {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// A magnitude beyond this is out of every width we know, so the reading
// stops growing there instead of wrapping.
constexpr std::int64_t saturation = std::int64_t(1) << 40;

} // namespace

std::int64_t numericValue64(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    skipBlanks();
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }

    std::int64_t magnitude = 0;
    for (skipBlanks(); i < n; skipBlanks()) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        if (magnitude < saturation)
            magnitude = magnitude * 10 + (c - u'0');
        ++i;
    }
    return negative ? -magnitude : magnitude;
}

std::optional<std::int32_t> numericValue(QStringView text, IntWidth width) {
    const std::int64_t value = numericValue64(text);
    const std::int64_t low = width == IntWidth::Bits16 ? std::numeric_limits<std::int16_t>::min()
                                                       : std::numeric_limits<std::int32_t>::min();
    const std::int64_t high = width == IntWidth::Bits16 ? std::numeric_limits<std::int16_t>::max()
                                                        : std::numeric_limits<std::int32_t>::max();
    if (value < low || value > high)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace sorobe
