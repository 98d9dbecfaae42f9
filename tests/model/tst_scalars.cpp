#include "CheckedArithmetic.h"
#include "DateTime.h"
#include "DisplayFormat.h"
#include "NumericText.h"

#include <QLocale>
#include <QTest>
#include <limits>

using namespace sorobe;

using Maybe = std::optional<std::int32_t>;
Q_DECLARE_METATYPE(Maybe)
Q_DECLARE_METATYPE(sorobe::IntWidth)

class TestScalars : public QObject {
    Q_OBJECT

private slots:
    void numericValueReadsTheLeadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<IntWidth>("width");
        QTest::addColumn<Maybe>("value");
        const auto w16 = IntWidth::Bits16;
        const auto w32 = IntWidth::Bits32;
        QTest::newRow("plain") << "1234" << w32 << Maybe(1234);
        QTest::newRow("blanks inside") << "1 2" << w32 << Maybe(12);
        QTest::newRow("leading blank") << " 5" << w32 << Maybe(5);
        QTest::newRow("minus inside stops") << "1-2" << w32 << Maybe(1);
        QTest::newRow("trailing minus") << "12-" << w32 << Maybe(12);
        QTest::newRow("empty") << "" << w32 << Maybe(0);
        QTest::newRow("lone minus") << "-" << w32 << Maybe(0);
        QTest::newRow("negative") << "-500" << w32 << Maybe(-500);
        QTest::newRow("blank after minus") << "- 5" << w32 << Maybe(-5);
        QTest::newRow("letters stop") << "12a3" << w32 << Maybe(12);
        QTest::newRow("full-width digits are no digits") << "１２" << w32 << Maybe(0);
        QTest::newRow("file line with CR") << " 3000\r" << w32 << Maybe(3000);
        QTest::newRow("32-bit top") << "2147483647" << w32 << Maybe(2147483647);
        QTest::newRow("32-bit bottom")
            << "-2147483648" << w32 << Maybe(std::numeric_limits<std::int32_t>::min());
        QTest::newRow("past 32-bit top") << "2147483648" << w32 << Maybe();
        QTest::newRow("past 32-bit bottom") << "-2147483649" << w32 << Maybe();
        QTest::newRow("far too long") << "99999999999999999999999999" << w32 << Maybe();
        QTest::newRow("16-bit top") << "32767" << w16 << Maybe(32767);
        QTest::newRow("past 16-bit top") << "32768" << w16 << Maybe();
        QTest::newRow("16-bit bottom") << "-32768" << w16 << Maybe(-32768);
        QTest::newRow("past 16-bit bottom") << "-32769" << w16 << Maybe();
    }

    void numericValueReadsTheLeadingNumber() {
        QFETCH(QString, text);
        QFETCH(IntWidth, width);
        QFETCH(Maybe, value);
        QCOMPARE(numericValue(text, width), value);
    }

    void formatAmountUsesTheFixedRule_data() {
        QTest::addColumn<std::int32_t>("amount");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "0";
        QTest::newRow("small") << 5 << "5";
        QTest::newRow("three digits") << 999 << "999";
        QTest::newRow("four digits") << 1234 << "1,234";
        QTest::newRow("six digits") << 123456 << "123,456";
        QTest::newRow("seven digits") << 1234567 << "1,234,567";
        QTest::newRow("a million") << 1000000 << "1,000,000";
        QTest::newRow("minus six digits") << -999999 << "-999,999";
        QTest::newRow("ten") << 10 << "10";
        QTest::newRow("minus five") << -5 << "-5";
        QTest::newRow("minus thousand") << -1000 << "-1,000";
        QTest::newRow("top") << std::numeric_limits<std::int32_t>::max() << "2,147,483,647";
        QTest::newRow("bottom") << std::numeric_limits<std::int32_t>::min() << "-2,147,483,648";
    }

    void formatAmountUsesTheFixedRule() {
        QFETCH(std::int32_t, amount);
        QFETCH(QString, text);
        // A machine set to a locale with other separators changes nothing.
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString german = formatAmount(amount);
        QLocale::setDefault(saved);
        QCOMPARE(formatAmount(amount), text);
        QCOMPARE(german, text);
    }

    void listDatesDropTheCentury_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("full");
        QTest::newRow("2001") << QDate(2001, 4, 5) << "01/04/05"
                              << "2001/04/05";
        QTest::newRow("2002 December") << QDate(2002, 12, 31) << "02/12/31"
                                       << "2002/12/31";
        QTest::newRow("carry-forward year") << QDate(1900, 9, 1) << "00/09/01"
                                            << "1900/09/01";
        QTest::newRow("epoch") << QDate(1899, 12, 30) << "99/12/30"
                               << "1899/12/30";
    }

    void listDatesDropTheCentury() {
        QFETCH(QDate, date);
        QFETCH(QString, list);
        QFETCH(QString, full);
        QCOMPARE(formatListDate(DateTime::fromQDate(date)), list);
        QCOMPARE(formatShortDate(DateTime::fromQDate(date)), full);
    }

    void dateTimeValuesCountDaysFrom1899_data() {
        QTest::addColumn<double>("serial");
        QTest::addColumn<QDateTime>("dateTime");
        QTest::newRow("epoch") << 0.0 << QDateTime(QDate(1899, 12, 30), QTime(0, 0));
        QTest::newRow("1900-01-01") << 2.0 << QDateTime(QDate(1900, 1, 1), QTime(0, 0));
        QTest::newRow("2002-04-10") << 37356.0 << QDateTime(QDate(2002, 4, 10), QTime(0, 0));
        QTest::newRow("with time") << 37356.25 << QDateTime(QDate(2002, 4, 10), QTime(6, 0));
        QTest::newRow("before the epoch") << -1.25 << QDateTime(QDate(1899, 12, 29), QTime(6, 0));
        QTest::newRow("end of February") << 36950.5 << QDateTime(QDate(2001, 2, 28), QTime(12, 0));
    }

    void dateTimeValuesCountDaysFrom1899() {
        QFETCH(double, serial);
        QFETCH(QDateTime, dateTime);
        const DateTime value(serial);
        QCOMPARE(value.toQDateTime(), dateTime);
        QCOMPARE(value.toQDate(), dateTime.date());
        QCOMPARE(value.year(), dateTime.date().year());
        QCOMPARE(value.month(), dateTime.date().month());
        QCOMPARE(value.day(), dateTime.date().day());
        QCOMPARE(value.hasTime(), dateTime.time() != QTime(0, 0));
        QCOMPARE(DateTime::fromQDateTime(dateTime).serial(), serial);
        QCOMPARE(DateTime::fromQDate(dateTime.date()).toQDate(), dateTime.date());
    }

    void aTimeJustBeforeMidnightRoundsIntoTheNextDay() {
        const DateTime almost(37356.0 + 0.9999999999);
        QCOMPARE(almost.toQDateTime(), QDateTime(QDate(2002, 4, 11), QTime(0, 0)));
        QCOMPARE(DateTime(37356.5 + 1e-10).toQDateTime().time(), QTime(12, 0));
    }

    void todayHasNoTime() {
        const DateTime today = DateTime::today();
        QVERIFY(!today.hasTime());
        const QDate now = QDate::currentDate();
        QVERIFY(today.toQDate() == now || today.toQDate() == now.addDays(-1));
    }

    void checkedArithmeticRefusesToWrap() {
        using L32 = std::numeric_limits<std::int32_t>;
        using L16 = std::numeric_limits<std::int16_t>;
        QCOMPARE(checkedAdd<std::int32_t>(L32::max() - 1, 1), L32::max());
        QVERIFY_THROWS_EXCEPTION(OverflowError, checkedAdd<std::int32_t>(L32::max(), 1));
        QCOMPARE(checkedSub<std::int32_t>(L32::min() + 1, 1), L32::min());
        QVERIFY_THROWS_EXCEPTION(OverflowError, checkedSub<std::int32_t>(0, L32::min()));
        QCOMPARE(checkedMul<std::int32_t>(1000, 35), 35000);
        QVERIFY_THROWS_EXCEPTION(OverflowError, checkedMul<std::int32_t>(100000, 30000));
        QCOMPARE(checkedAdd<std::int16_t>(32766, 1), std::int16_t(32767));
        QVERIFY_THROWS_EXCEPTION(OverflowError, checkedAdd<std::int16_t>(32767, 1));
        QCOMPARE(checkedNarrow<std::int16_t>(-32768), L16::min());
        QVERIFY_THROWS_EXCEPTION(OverflowError, checkedNarrow<std::int16_t>(40000));
        QVERIFY_THROWS_EXCEPTION(OverflowError, checkedNarrow<std::int32_t>(std::int64_t(1) << 31));
    }
};

QTEST_GUILESS_MAIN(TestScalars)
#include "tst_scalars.moc"
