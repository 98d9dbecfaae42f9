#include "DateTime.h"

#include <cmath>

namespace sorobe {

namespace {

constexpr qint64 msecsPerDay = 24LL * 60 * 60 * 1000;

QDate epoch() {
    return QDate(1899, 12, 30);
}

// Before the epoch the day count runs backwards while the fraction still counts
// forward from midnight: -1.25 is 1899-12-29 06:00. Splits a serial accordingly.
void split(double serial, qint64& days, qint64& msecs) {
    double whole = std::trunc(serial);
    double fraction = std::fabs(serial - whole);
    days = static_cast<qint64>(whole);
    msecs = std::llround(fraction * static_cast<double>(msecsPerDay));
    if (msecs >= msecsPerDay) {
        msecs -= msecsPerDay;
        days += serial < 0 ? -1 : 1;
    }
}

} // namespace

DateTime DateTime::fromQDate(QDate date) {
    return DateTime(static_cast<double>(epoch().daysTo(date)));
}

DateTime DateTime::fromQDateTime(const QDateTime& dateTime) {
    double days = static_cast<double>(epoch().daysTo(dateTime.date()));
    double fraction = static_cast<double>(dateTime.time().msecsSinceStartOfDay()) /
                      static_cast<double>(msecsPerDay);
    return DateTime(days < 0 ? days - fraction : days + fraction);
}

DateTime DateTime::fromDate(int year, int month, int day) {
    return fromQDate(QDate(year, month, day));
}

DateTime DateTime::today() {
    return fromQDate(QDate::currentDate());
}

QDate DateTime::toQDate() const {
    qint64 days, msecs;
    split(m_serial, days, msecs);
    return epoch().addDays(days);
}

QDateTime DateTime::toQDateTime() const {
    qint64 days, msecs;
    split(m_serial, days, msecs);
    return QDateTime(epoch().addDays(days),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}

bool DateTime::hasTime() const {
    qint64 days, msecs;
    split(m_serial, days, msecs);
    return msecs != 0;
}

} // namespace sorobe
