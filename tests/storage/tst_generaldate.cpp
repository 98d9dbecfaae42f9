// The "General Date" text of the ledger and item history files.

#include "GeneralDate.h"

#include <QLocale>
#include <QTest>
#include <cstdlib>
#include <ctime>

using namespace sorobe;

Q_DECLARE_METATYPE(std::optional<double>)

namespace {

double serialOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime::fromDate(year, month, day).serial() +
           (hour * 3600 + minute * 60 + second) / 86400.0;
}

} // namespace

class TestGeneralDate : public QObject {
    Q_OBJECT

private slots:
    // The text must not follow the machine: a time zone with a daylight-saving
    // gap and a locale with another date order.
    void initTestCase() {
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        tzset();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void format_data() {
        QTest::addColumn<double>("serial");
        QTest::addColumn<QString>("text");
        QTest::newRow("date only") << serialOf(2002, 7, 21) << u"2002/07/21"_qs;
        QTest::newRow("leading zeros of month and day") << serialOf(2001, 4, 5) << u"2001/04/05"_qs;
        QTest::newRow("hour without leading zero")
            << serialOf(2002, 7, 21, 9, 5, 0) << u"2002/07/21 9:05:00"_qs;
        QTest::newRow("two-digit hour")
            << serialOf(2002, 12, 24, 23, 59, 59) << u"2002/12/24 23:59:59"_qs;
        QTest::newRow("one second past midnight")
            << serialOf(2003, 1, 1, 0, 0, 1) << u"2003/01/01 0:00:01"_qs;
        QTest::newRow("noon") << serialOf(2004, 2, 29, 12, 0, 0) << u"2004/02/29 12:00:00"_qs;
        QTest::newRow("daylight-saving gap here")
            << serialOf(2002, 3, 31, 2, 30, 0) << u"2002/03/31 2:30:00"_qs;
        QTest::newRow("under half a second is no time")
            << serialOf(2002, 7, 21) + 0.4 / 86400 << u"2002/07/21"_qs;
        QTest::newRow("rounded to the second")
            << serialOf(2002, 7, 21, 9, 5, 0) + 0.6 / 86400 << u"2002/07/21 9:05:01"_qs;
        QTest::newRow("rounds up to the next day")
            << serialOf(2002, 7, 21, 23, 59, 59) + 0.6 / 86400 << u"2002/07/22"_qs;
        QTest::newRow("carry-forward year") << serialOf(1900, 1, 1) << u"1900/01/01"_qs;
        QTest::newRow("day count 0") << 0.0 << u"1899/12/30"_qs;
        QTest::newRow("before day count 0") << -1.25 << u"1899/12/29 6:00:00"_qs;
    }

    void format() {
        QFETCH(double, serial);
        QFETCH(QString, text);
        QCOMPARE(formatGeneralDate(DateTime(serial)), text);
    }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("serial");
        const std::optional<double> none;
        QTest::newRow("date") << u"2002/07/21"_qs << std::optional(serialOf(2002, 7, 21));
        QTest::newRow("one-digit month and day")
            << u"2002/7/1"_qs << std::optional(serialOf(2002, 7, 1));
        QTest::newRow("date and time")
            << u"2002/07/21 9:05:00"_qs << std::optional(serialOf(2002, 7, 21, 9, 5, 0));
        QTest::newRow("hour with leading zero")
            << u"2002/07/21 09:05:00"_qs << std::optional(serialOf(2002, 7, 21, 9, 5, 0));
        QTest::newRow("time without seconds")
            << u"2002/07/21 23:59"_qs << std::optional(serialOf(2002, 7, 21, 23, 59, 0));
        QTest::newRow("daylight-saving gap here")
            << u"2002/03/31 2:30:00"_qs << std::optional(serialOf(2002, 3, 31, 2, 30, 0));
        QTest::newRow("blanks around")
            << u"  2002/07/21 \t"_qs << std::optional(serialOf(2002, 7, 21));
        QTest::newRow("several blanks before the time")
            << u"2002/07/21   9:05:00"_qs << std::optional(serialOf(2002, 7, 21, 9, 5, 0));
        QTest::newRow("leap day") << u"2004/2/29"_qs << std::optional(serialOf(2004, 2, 29));
        QTest::newRow("time alone") << u"9:05:00"_qs << std::optional((9 * 60 + 5) / 1440.0);
        QTest::newRow("before day count 0") << u"1899/12/29 6:00:00"_qs << std::optional(-1.25);
        QTest::newRow("empty") << u""_qs << none;
        QTest::newRow("blank") << u"   "_qs << none;
        QTest::newRow("a name") << u"学級費"_qs << none;
        QTest::newRow("a count") << u" 2"_qs << none;
        QTest::newRow("dashes") << u"2002-07-21"_qs << none;
        QTest::newRow("two-digit year") << u"02/07/21"_qs << std::optional(serialOf(2002, 7, 21));
        QTest::newRow("two-digit year and time")
            << u"02/04/10 9:05:00"_qs << std::optional(serialOf(2002, 4, 10, 9, 5, 0));
        QTest::newRow("two-digit year 29")
            << u"29/12/31"_qs << std::optional(serialOf(2029, 12, 31));
        QTest::newRow("two-digit year 30") << u"30/1/1"_qs << std::optional(serialOf(1930, 1, 1));
        QTest::newRow("one-digit year") << u"2/07/21"_qs << none;
        QTest::newRow("three-digit year") << u"002/07/21"_qs << none;
        QTest::newRow("three-digit month") << u"2002/007/21"_qs << none;
        QTest::newRow("month 13") << u"2002/13/01"_qs << none;
        QTest::newRow("month 0") << u"2002/0/01"_qs << none;
        QTest::newRow("February 30") << u"2002/02/30"_qs << none;
        QTest::newRow("February 29 of a common year") << u"2003/02/29"_qs << none;
        QTest::newRow("hour 24") << u"2002/07/21 24:00:00"_qs << none;
        QTest::newRow("minute 60") << u"2002/07/21 9:60:00"_qs << none;
        QTest::newRow("second 60") << u"2002/07/21 9:05:60"_qs << none;
        QTest::newRow("hour alone") << u"2002/07/21 9"_qs << none;
        QTest::newRow("trailing text") << u"2002/07/21x"_qs << none;
        QTest::newRow("text after the time") << u"2002/07/21 9:05:00 PM"_qs << none;
        QTest::newRow("full-width digits") << u"２００２/07/21"_qs << none;
        QTest::newRow("missing day") << u"2002/07/"_qs << none;
        QTest::newRow("year 0") << u"0000/01/01"_qs << none;
    }

    void parse() {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, serial);
        const std::optional<DateTime> parsed = parseGeneralDate(text);
        QCOMPARE(parsed.has_value(), serial.has_value());
        if (serial)
            QCOMPARE(parsed->serial(), *serial);
    }

    // Whatever is written reads back to the same text, over many days and
    // times, also across the daylight-saving changes of the zone set above.
    void writtenTextReadsBack() {
        for (int day = 0; day < 800; ++day) {
            for (int second : {0, 1, 3599, 2 * 3600 + 30 * 60, 9 * 3600 + 5 * 60, 86399}) {
                const double serial = serialOf(2001, 1, 1) + day + second / 86400.0;
                const QString text = formatGeneralDate(DateTime(serial));
                const std::optional<DateTime> parsed = parseGeneralDate(text);
                QVERIFY2(parsed, qPrintable(text));
                QCOMPARE(formatGeneralDate(*parsed), text);
                QVERIFY(std::abs(parsed->serial() - serial) < 0.5 / 86400);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestGeneralDate)
#include "tst_generaldate.moc"
