#include "GeneralDate.h"

#include <cmath>

namespace sorobe {

namespace {

constexpr int secondsPerDay = 24 * 60 * 60;

QDate epoch() {
    return QDate(1899, 12, 30);
}

// Reads a run of ASCII digits of the given length bounds at `pos`.
std::optional<int> readDigits(QStringView text, qsizetype& pos, int minDigits, int maxDigits) {
    int value = 0;
    int count = 0;
    while (pos < text.size() && count < maxDigits && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++count;
    }
    if (count < minDigits)
        return std::nullopt;
    return value;
}

bool skip(QStringView text, qsizetype& pos, char16_t c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

std::optional<QDate> readDate(QStringView text, qsizetype& pos) {
    const qsizetype yearStart = pos;
    std::optional<int> year = readDigits(text, pos, 2, 4);
    const qsizetype yearDigits = pos - yearStart;
    if (!year || yearDigits == 3 || !skip(text, pos, u'/'))
        return std::nullopt;
    // A machine whose short date showed two digits wrote them within the
    // window 1930-2029.
    if (yearDigits == 2)
        *year += *year < 30 ? 2000 : 1900;
    const auto month = readDigits(text, pos, 1, 2);
    if (!month || !skip(text, pos, u'/'))
        return std::nullopt;
    const auto day = readDigits(text, pos, 1, 2);
    if (!day)
        return std::nullopt;
    const QDate date(*year, *month, *day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> readTime(QStringView text, qsizetype& pos) {
    const auto hour = readDigits(text, pos, 1, 2);
    if (!hour || !skip(text, pos, u':'))
        return std::nullopt;
    const auto minute = readDigits(text, pos, 1, 2);
    if (!minute)
        return std::nullopt;
    std::optional<int> second = 0;
    if (skip(text, pos, u':'))
        second = readDigits(text, pos, 1, 2);
    if (!second || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    return QTime(*hour, *minute, *second);
}

} // namespace

QString formatGeneralDate(DateTime value) {
    // Before the day count 0 the days run backwards while the time still counts
    // forward from midnight: -1.25 is 1899/12/29 6:00:00.
    const double serial = value.serial();
    const double whole = std::trunc(serial);
    long long seconds = std::llround(std::fabs(serial - whole) * secondsPerDay);
    QDate date = epoch().addDays(static_cast<qint64>(whole));
    if (seconds >= secondsPerDay) {
        seconds -= secondsPerDay;
        date = date.addDays(1);
    }
    QString text = QString::asprintf("%04d/%02d/%02d", date.year(), date.month(), date.day());
    if (seconds != 0) {
        text += QString::asprintf(" %lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                                  seconds % 60);
    }
    return text;
}

std::optional<DateTime> parseGeneralDate(QStringView text) {
    text = text.trimmed();
    qsizetype pos = 0;
    QDate date = epoch();
    std::optional<QTime> time;

    // Both start with digits: a colon after them starts a time alone, a
    // slash a date's year, of two digits as well as four.
    qsizetype firstDigits = 0;
    while (firstDigits < text.size() && text[firstDigits] >= u'0' && text[firstDigits] <= u'9')
        ++firstDigits;
    if (firstDigits < text.size() && text[firstDigits] == u':') {
        time = readTime(text, pos);
        if (!time)
            return std::nullopt;
    } else {
        const auto readDay = readDate(text, pos);
        if (!readDay)
            return std::nullopt;
        date = *readDay;
        if (pos < text.size()) {
            if (!skip(text, pos, u' '))
                return std::nullopt;
            while (skip(text, pos, u' ')) {
            }
            time = readTime(text, pos);
            if (!time)
                return std::nullopt;
        }
    }
    if (pos != text.size())
        return std::nullopt;
    return DateTime::fromQDateTime(QDateTime(date, time.value_or(QTime(0, 0)), Qt::UTC));
}

} // namespace sorobe
