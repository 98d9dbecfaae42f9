#include "CheckedArithmetic.h"
#include "TermCalendar.h"

#include <QTest>
#include <limits>

using namespace sorobe;

class TestTermCalendar : public QObject {
    Q_OBJECT

private slots:
    void schoolYearChoices_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("choices");
        QTest::newRow("December") << QDate(2026, 12, 9)
                                  << QStringList{"令和6年度(2024年度）", "令和7年度(2025年度）",
                                                 "令和8年度(2026年度）", "令和9年度(2027年度）",
                                                 "令和10年度(2028年度）"};
        QTest::newRow("March is still last year's")
            << QDate(2027, 3, 31)
            << QStringList{"令和6年度(2024年度）", "令和7年度(2025年度）", "令和8年度(2026年度）",
                           "令和9年度(2027年度）", "令和10年度(2028年度）"};
        QTest::newRow("across the change of era")
            << QDate(2020, 4, 1)
            << QStringList{"平成30年度(2018年度）", "令和元年度(2019年度）", "令和2年度(2020年度）",
                           "令和3年度(2021年度）", "令和4年度(2022年度）"};
        QTest::newRow("first year of 平成")
            << QDate(1990, 1, 8)
            << QStringList{"昭和62年度(1987年度）", "昭和63年度(1988年度）",
                           "平成元年度(1989年度）", "平成2年度(1990年度）", "平成3年度(1991年度）"};
    }
    void schoolYearChoices() {
        QFETCH(QDate, today);
        QFETCH(QStringList, choices);
        QCOMPARE(sorobe::schoolYearChoices(today), choices);
    }

    void periods_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tabCaption");
        QTest::addColumn<QString>("months");
        QTest::addColumn<int>("openingCarryKind");
        QTest::addColumn<int>("carriedFrom");
        QTest::addColumn<bool>("carriesForward");

        QTest::newRow("1学期") << int(Spring) << "1学期"
                               << "1学期"
                               << "4,5,6,7" << 0 << 0 << true;
        QTest::newRow("2学期") << int(Autumn) << "2学期"
                               << "2学期"
                               << "8,9,10,11,12" << 1 << int(Spring) << true;
        QTest::newRow("3学期") << int(Winter) << "3学期"
                               << "3学期"
                               << "1,2,3" << 2 << int(Autumn) << false;
        QTest::newRow("前期") << int(Before) << "前期"
                              << " 前期"
                              << "4,5,6,7,8,9" << 0 << 0 << true;
        QTest::newRow("後期") << int(Later) << "後期"
                              << " 後期"
                              << "1,2,3,10,11,12" << 3 << int(Before) << false;
        QTest::newRow("年間") << int(Year) << "年間"
                              << " 年間"
                              << "1,2,3,4,5,6,7,8,9,10,11,12" << 0 << 0 << false;
    }

    void periods() {
        QFETCH(int, period);
        QFETCH(QString, name);
        QFETCH(QString, tabCaption);
        QFETCH(QString, months);
        QFETCH(int, openingCarryKind);
        QFETCH(int, carriedFrom);
        QFETCH(bool, carriesForward);

        const auto p = static_cast<Period>(period);
        const PeriodInfo& info = periodInfo(p);
        QCOMPARE(int(info.period), period);
        QCOMPARE(int(termPeriods[static_cast<std::size_t>(termPageIndex(p))].period), period);
        QCOMPARE(periodName(p), name);
        QCOMPARE(QString::fromUtf16(info.tabCaption), tabCaption);
        QStringList held;
        for (int month = 1; month <= 12; ++month) {
            if (periodHoldsMonth(p, month))
                held.append(QString::number(month));
        }
        QCOMPARE(held.join(u','), months);
        QCOMPARE(int(info.openingCarryKind), openingCarryKind);
        QCOMPARE(carriesBalanceForward(p), carriesForward);
        if (openingCarryKind != 0) {
            QCOMPARE(int(carryForwardSource(openingCarryKind)), carriedFrom);
            QCOMPARE(int(carryForwardTarget(openingCarryKind)), period);
        }
    }

    void carryForward_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("article");
        QTest::addColumn<QDate>("date");

        QTest::newRow("kind 1") << 1 << 6000 << 1900 << "１学期の繰越金" << QDate(1900, 9, 1);
        QTest::newRow("kind 2, negative")
            << 2 << -3000 << 1900 << "２学期の繰越金" << QDate(1900, 1, 1);
        QTest::newRow("kind 3, zero") << 3 << 0 << 1900 << "前期の繰越金" << QDate(1900, 10, 1);
        QTest::newRow("year 0 read as 2000")
            << 1 << 5 << 0 << "１学期の繰越金" << QDate(2000, 9, 1);
        QTest::newRow("year 29 read as 2029")
            << 2 << 5 << 29 << "２学期の繰越金" << QDate(2029, 1, 1);
        QTest::newRow("year 30 read as 1930")
            << 3 << 5 << 30 << "前期の繰越金" << QDate(1930, 10, 1);
        QTest::newRow("other kind") << 4 << 5 << 1900 << "" << QDate(1899, 12, 30);
    }

    void carryForward() {
        QFETCH(int, kind);
        QFETCH(int, amount);
        QFETCH(int, year);
        QFETCH(QString, article);
        QFETCH(QDate, date);

        const ArticlePtr entry = makeCarryForward(static_cast<std::int16_t>(kind), amount,
                                                  static_cast<std::int16_t>(year), 35);
        QCOMPARE(entry->taArticle(), article);
        QCOMPARE(entry->taDate(), DateTime::fromQDate(date));
        QCOMPARE(entry->taAmount(), amount);
        QVERIFY(entry->taIncome());
        QCOMPARE(int(entry->taStudentsNumber()), 35);
        QCOMPARE(entry->taPerPerson(), 0);
        QCOMPARE(entry->taSubArticle(), QString());
        QCOMPARE(int(entry->taReceipt()), 0);
        QCOMPARE(entry->taKey(), 0);
        QVERIFY(!entry->taLink());
    }

    void carriedBalance_data() {
        QTest::addColumn<int>("incomeSum");
        QTest::addColumn<int>("supplySum");
        QTest::addColumn<bool>("overflows");
        QTest::addColumn<int>("balance");

        constexpr int max = std::numeric_limits<std::int32_t>::max();
        constexpr int min = std::numeric_limits<std::int32_t>::min();
        QTest::newRow("ordinary") << 10000 << -4000 << false << 6000;
        QTest::newRow("expenses exceed income") << 5000 << -8000 << false << -3000;
        QTest::newRow("wide sum that fits") << min << max << false << -1;
        QTest::newRow("refunds push it past the top") << max << 1 << true << 0;
        QTest::newRow("past the bottom") << min << -1 << true << 0;
    }

    void carriedBalance() {
        QFETCH(int, incomeSum);
        QFETCH(int, supplySum);
        QFETCH(bool, overflows);
        QFETCH(int, balance);

        for (const Period period : {Spring, Autumn, Before}) {
            SharedState state;
            state.periodIncomeSum[std::size_t(period)] = incomeSum;
            state.periodSupplySum[std::size_t(period)] = supplySum;
            if (overflows)
                QVERIFY_THROWS_EXCEPTION(OverflowError, sorobe::carriedBalance(state, period));
            else
                QCOMPARE(sorobe::carriedBalance(state, period), balance);
        }
    }
};

QTEST_APPLESS_MAIN(TestTermCalendar)
#include "tst_termcalendar.moc"
