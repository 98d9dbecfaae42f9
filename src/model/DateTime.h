#pragma once

// The date-time value of the ledger: a day count since 1899-12-30 with the time
// of day as fraction. Ledger files written on Windows carry dates in this form,
// and the ledger's order compares these values, so they are kept as they are.

#include <QDate>
#include <QDateTime>
#include <compare>

namespace sorobe {

class DateTime {
public:
    constexpr DateTime() = default;
    constexpr explicit DateTime(double serial)
        : m_serial(serial) {}

    static DateTime fromQDate(QDate date);
    static DateTime fromQDateTime(const QDateTime& dateTime);
    static DateTime fromDate(int year, int month, int day);
    // The system date without time.
    static DateTime today();

    constexpr double serial() const { return m_serial; }

    QDate toQDate() const;
    // Local time, rounded to the millisecond.
    QDateTime toQDateTime() const;

    int year() const { return toQDate().year(); }
    int month() const { return toQDate().month(); }
    int day() const { return toQDate().day(); }
    bool hasTime() const;

    friend constexpr bool operator==(DateTime a, DateTime b) { return a.m_serial == b.m_serial; }
    friend constexpr std::partial_ordering operator<=>(DateTime a, DateTime b) {
        return a.m_serial <=> b.m_serial;
    }

private:
    double m_serial = 0.0;
};

} // namespace sorobe
