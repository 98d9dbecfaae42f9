#include "CheckedArithmetic.h"
#include "TermCalendar.h"
#include "TermTabulation.h"

#include <QTest>
#include <random>

using namespace sorobe;

namespace {

// One ledger entry: an income when receipt is 0, else an expense.
struct Entry {
    QDate date;
    QString article;
    QString subArticle;
    std::int32_t amount;
    std::int16_t receipt = 0;
};
using Entries = QList<Entry>;

ArticlePtr ledgerOf(const Entries& entries) {
    ArticlePtr ledger = SorobeArticle::create();
    for (const Entry& e : entries) {
        ArticlePtr entry = SorobeArticle::create();
        entry->setTaDate(DateTime::fromQDate(e.date));
        entry->setTaIncome(e.receipt == 0);
        entry->setTaArticle(e.article);
        entry->setTaSubArticle(e.subArticle);
        entry->setTaAmount(e.amount);
        entry->setTaReceipt(e.receipt);
        ledger->addArticle(entry);
    }
    return ledger;
}

// "+item/sub-item=amount" for an income line, "-…" for an expense line.
QString lines(const ArticlePtr& head) {
    QStringList result;
    for (ArticlePtr node = head->nextArticle(); node; node = node->nextArticle())
        result.append(QStringLiteral("%1%2/%3=%4")
                          .arg(QChar(node->taIncome() ? u'+' : u'-'))
                          .arg(node->taArticle(), node->taSubArticle())
                          .arg(node->taAmount()));
    return result.join(u' ');
}

QString periodLists(const SharedState& state, Period period) {
    return lines(incomeList(state.termLists, period)) + QStringLiteral(" | ") +
           lines(supplyList(state.termLists, period));
}

// What a former tabulation left: one line in every list and 7/-7 as totals,
// so that a test sees which lists and totals this tabulation has rebuilt.
const QString oldLists = QStringLiteral("+旧/=1 | -旧/=1");

void fillWithOldLines(SharedState& state) {
    for (const PeriodInfo& info : termPeriods) {
        for (const bool income : {true, false}) {
            ArticlePtr line = SorobeArticle::create();
            line->setTaIncome(income);
            line->setTaArticle(QStringLiteral("旧"));
            line->setTaAmount(1);
            (income ? incomeList(state.termLists, info.period)
                    : supplyList(state.termLists, info.period))
                ->appendArticleWithSum(line);
        }
    }
    state.periodIncomeSum.fill(7);
    state.periodSupplySum.fill(-7);
}

QString names(const QList<Period>& periods) {
    QStringList result;
    for (const Period period : periods)
        result.append(periodName(period));
    return result.join(u',');
}

// Every list and carried total, one text per period in page order.
QStringList everything(const SharedState& state) {
    QStringList result;
    for (const PeriodInfo& info : termPeriods) {
        const auto index = static_cast<std::size_t>(info.period);
        result.append(periodLists(state, info.period) + QStringLiteral(" | %1 %2")
                                                            .arg(state.periodIncomeSum[index])
                                                            .arg(state.periodSupplySum[index]));
    }
    return result;
}

SharedState tabulated(const Entries& entries) {
    SharedState state;
    state.ledger = ledgerOf(entries);
    tabulateTerms(state, nullptr);
    return state;
}

// 1学期 takes in 10,000 and spends 4,000; 2学期 (October to December, outside
// 前期) takes in 5,000 and spends 8,000: 6,000 is carried into 2学期 and
// 3,000 into 3学期.
const Entries workedLedger{{QDate(2002, 4, 10), "学級費", "4月分", 10000},
                           {QDate(2002, 6, 1), "教材費", "", 4000, 1},
                           {QDate(2002, 10, 5), "学級費", "10月分", 5000},
                           {QDate(2002, 11, 1), "遠足", "", 8000, 2}};

// Each line in full: kind, item, sub-item, amount, and the date, receipt and
// key of the entry it was copied from.
QString linesInFull(const ArticlePtr& head) {
    QStringList result;
    for (ArticlePtr node = head->nextArticle(); node; node = node->nextArticle())
        result.append(QStringLiteral("%1%2/%3=%4 %5 #%6 k%7")
                          .arg(QChar(node->taIncome() ? u'+' : u'-'))
                          .arg(node->taArticle(), node->taSubArticle())
                          .arg(node->taAmount())
                          .arg(node->taDate().toQDate().toString(Qt::ISODate))
                          .arg(node->taReceipt())
                          .arg(node->taKey()));
    return result.join(u' ');
}

// `count` entries over a school year and a little beyond (the year of a date
// never counts), drawn from `items` items with and without sub-items, some
// amounts negative; keys in ledger order.
ArticlePtr mixedLedger(int count, int items, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> day(0, 450);
    std::uniform_int_distribution<int> item(0, items - 1);
    std::uniform_int_distribution<int> amount(-50, 500);
    std::bernoulli_distribution isIncome(0.4);
    ArticlePtr ledger = SorobeArticle::create();
    for (int n = 0; n < count; ++n) {
        ArticlePtr entry = SorobeArticle::create();
        entry->setTaDate(DateTime::fromQDate(QDate(2002, 3, 1).addDays(day(random))));
        entry->setTaIncome(isIncome(random));
        const int k = item(random);
        entry->setTaArticle(QStringLiteral("項目%1").arg(k));
        if (k % 3 != 0)
            entry->setTaSubArticle(QStringLiteral("%1月分").arg(entry->taDate().month()));
        entry->setTaAmount(amount(random) * 10);
        entry->setTaReceipt(entry->taIncome() ? 0 : std::int16_t(n % 100 + 1));
        ledger->addArticle(entry);
    }
    std::int32_t key = 1;
    for (ArticlePtr e = ledger->nextArticle(); e; e = e->nextArticle())
        e->setTaKey(key++);
    return ledger;
}

} // namespace

Q_DECLARE_METATYPE(Entries)

class TestTabulation : public QObject {
    Q_OBJECT

private slots:
    void workedFigures() {
        SharedState state;
        state.ledger = ledgerOf(workedLedger);
        state.studentCount = 35;
        tabulateTerms(state, nullptr);
        QCOMPARE(everything(state),
                 (QStringList{
                     "+学級費/4月分=10000 | -教材費/=4000 | 10000 -4000",
                     "+１学期の繰越金/=6000 +学級費/10月分=5000 | -遠足/=8000 | 11000 -8000",
                     "+２学期の繰越金/=3000 |  | 0 0",
                     "+学級費/4月分=10000 | -教材費/=4000 | 10000 -4000",
                     "+前期の繰越金/=6000 +学級費/10月分=5000 | -遠足/=8000 | 0 0",
                     "+学級費/4月分=10000 +学級費/10月分=5000 | -教材費/=4000 -遠足/=8000 | 0 0"}));
        // The carry-forward lines are made for this tabulation, dated 1900.
        const QList<QDate> dates{QDate(1900, 9, 1), QDate(1900, 1, 1), QDate(1900, 10, 1)};
        for (int kind = 1; kind <= 3; ++kind) {
            const ArticlePtr entry =
                incomeList(state.termLists, carryForwardTarget(kind))->nextArticle();
            QCOMPARE(entry->taDate(), DateTime::fromQDate(dates[kind - 1]));
            QCOMPARE(int(entry->taStudentsNumber()), 35);
        }
    }

    void emptyLedger() {
        SharedState state;
        fillWithOldLines(state);
        state.termsStale = true;
        tabulateTerms(state, nullptr);
        QCOMPARE(everything(state), (QStringList{" |  | 0 0", "+１学期の繰越金/=0 |  | 0 0",
                                                 "+２学期の繰越金/=0 |  | 7 -7", " |  | 0 0",
                                                 "+前期の繰越金/=0 |  | 7 -7", " |  | 7 -7"}));
        QVERIFY(!state.termsStale);
    }

    void periodsOfADate_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<bool>("income");
        QTest::addColumn<QString>("periods");

        // Late in the day, so that the time of day cannot push a date over.
        const auto row = [](const char* name, QDate date, const char* periods) {
            const QDateTime when(date, QTime(23, 59));
            QTest::addRow("income %s", name) << when << true << periods;
            QTest::addRow("expense %s", name) << when << false << periods;
        };
        row("1 April", QDate(2002, 4, 1), "1学期,前期,年間");
        row("31 July", QDate(2002, 7, 31), "1学期,前期,年間");
        row("15 August", QDate(2002, 8, 15), "2学期,前期,年間");
        row("30 September", QDate(2002, 9, 30), "2学期,前期,年間");
        row("1 October", QDate(2002, 10, 1), "2学期,後期,年間");
        row("31 December", QDate(2002, 12, 31), "2学期,後期,年間");
        row("1 January", QDate(2003, 1, 1), "3学期,後期,年間");
        row("31 March", QDate(2003, 3, 31), "3学期,後期,年間");
    }

    void periodsOfADate() {
        QFETCH(QDateTime, when);
        QFETCH(bool, income);
        QFETCH(QString, periods);

        ArticlePtr entry = SorobeArticle::create();
        entry->setTaDate(DateTime::fromQDateTime(when));
        entry->setTaIncome(income);
        entry->setTaArticle(QStringLiteral("品目"));
        entry->setTaAmount(100);
        SharedState state;
        state.ledger->addArticle(entry);
        tabulateTerms(state, nullptr);

        QList<Period> holding;
        for (const PeriodInfo& info : termPeriods) {
            const QString text = periodLists(state, info.period);
            if (text.contains(income ? QStringLiteral("+品目/=100 |")
                                     : QStringLiteral("| -品目/=100")))
                holding.append(info.period);
            QCOMPARE(text.count(QStringLiteral("品目")), holding.contains(info.period) ? 1 : 0);
        }
        QCOMPARE(names(holding), periods);
    }

    // Only the month decides: entries of other calendar years fall together.
    void sameMonthOfDifferentYears() {
        const SharedState state = tabulated({{QDate(2002, 4, 10), "会費", "4月分", 100},
                                             {QDate(1999, 4, 20), "会費", "4月分", 20},
                                             {QDate(2030, 4, 1), "会費", "4月分", 3},
                                             {QDate(2003, 1, 15), "会費", "1月分", 1000},
                                             {QDate(2001, 1, 15), "会費", "1月分", 2000}});
        QCOMPARE(lines(state.termLists.springIncome), "+会費/4月分=123");
        QCOMPARE(lines(state.termLists.winterIncome), "+２学期の繰越金/=123 +会費/1月分=3000");
        QCOMPARE(lines(state.termLists.laterIncome), "+前期の繰越金/=123 +会費/1月分=3000");
        QCOMPARE(lines(state.termLists.yearIncome), "+会費/4月分=123 +会費/1月分=3000");
    }

    // Lines stand in the order their groups first occur in the ledger (by
    // date, not by the order of recording). The carry-forward, dated 1900,
    // comes first, before entries of the receiving period's first day; only an
    // entry dated before it (the blank date of a new entry) would precede it.
    void lineOrder() {
        const SharedState state = tabulated({
            {QDate(2002, 6, 1), "B", "", 1},
            {QDate(2002, 4, 10), "A", "4月分", 10},
            {QDate(2002, 5, 1), "C", "", 100},
            {QDate(2002, 4, 20), "B", "", 2},
            {QDate(2002, 5, 2), "A", "4月分", 20},
            {QDate(2002, 5, 3), "A", "5月分", 5},
            {QDate(2002, 5, 1), "Y", "", 7, 2},
            {QDate(2002, 4, 15), "X", "", 3, 1},
            {QDate(2002, 6, 2), "X", "", 4, 3},
            {QDate(2002, 9, 1), "E", "", 60},
            {QDate(2002, 8, 20), "D", "", 50},
            {QDate(2002, 10, 1), "F", "", 70},
            {QDate(1899, 12, 30), "Z", "", 9},
        });
        QCOMPARE(periodLists(state, Spring), "+A/4月分=30 +B/=3 +C/=100 +A/5月分=5 | -X/=7 -Y/=7");
        QCOMPARE(lines(state.termLists.autumnIncome),
                 "+Z/=9 +１学期の繰越金/=124 +D/=50 +E/=60 +F/=70");
        QCOMPARE(lines(state.termLists.laterIncome), "+Z/=9 +前期の繰越金/=234 +F/=70");
        QCOMPARE(periodLists(state, Year),
                 "+Z/=9 +A/4月分=30 +B/=3 +C/=100 +A/5月分=5 +D/=50 +E/=60 +F/=70 | -X/=7 -Y/=7");
    }

    void tabulatingTwiceGivesTheSameLists() {
        SharedState state;
        state.ledger = ledgerOf(workedLedger + Entries{{QDate(2002, 8, 1), "x", "y", 1},
                                                       {QDate(2003, 2, 1), "x", "y", 2}});
        const QString ledgerBefore = lines(state.ledger);
        tabulateTerms(state, nullptr);
        const QStringList first = everything(state);
        const TermLists heads = state.termLists;

        tabulateTerms(state, nullptr);
        QCOMPARE(everything(state), first);
        QCOMPARE(lines(state.ledger), ledgerBefore);
        for (const PeriodInfo& info : termPeriods) { // refilled, never replaced
            QCOMPARE(incomeList(state.termLists, info.period), incomeList(heads, info.period));
            QCOMPARE(supplyList(state.termLists, info.period), supplyList(heads, info.period));
        }
    }

    // Each page is filled in the order of the steps, once both its lists are
    // complete and before the next period's lists are rebuilt.
    void fillOrder() {
        SharedState state;
        state.ledger = ledgerOf(workedLedger);
        fillWithOldLines(state);
        state.termsStale = true;

        QList<Period> filled;
        QStringList rebuiltAtFill;
        QStringList seenByFiller;
        tabulateTerms(state, [&](Period period) {
            QVERIFY(state.termsStale);
            filled.append(period);
            QList<Period> rebuilt;
            for (const PeriodInfo& info : termPeriods) {
                if (periodLists(state, info.period) != oldLists)
                    rebuilt.append(info.period);
            }
            rebuiltAtFill.append(names(rebuilt));
            seenByFiller.append(periodLists(state, period));
        });

        QCOMPARE(names(filled), "1学期,2学期,3学期,前期,後期,年間");
        QCOMPARE(rebuiltAtFill,
                 (QStringList{"1学期", "1学期,2学期", "1学期,2学期,3学期", "1学期,2学期,3学期,前期",
                              "1学期,2学期,3学期,前期,後期", "1学期,2学期,3学期,前期,後期,年間"}));
        QStringList final;
        for (const PeriodInfo& info : termPeriods)
            final.append(periodLists(state, info.period));
        QCOMPARE(seenByFiller, final);
        QVERIFY(!state.termsStale);
    }

    // Every list is, line for line, what collecting its own period from the
    // ledger gives (with the carry-forward added), whatever the mix of items
    // and months.
    void listsAreThoseOfEachPeriodCollectedAlone_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("items");
        QTest::addColumn<unsigned>("seed");
        QTest::newRow("few items") << 400 << 4 << 1u;
        QTest::newRow("a class's items") << 600 << 40 << 2u;
        QTest::newRow("every item different") << 300 << 1000000 << 3u;
    }
    void listsAreThoseOfEachPeriodCollectedAlone() {
        QFETCH(int, entries);
        QFETCH(int, items);
        QFETCH(unsigned, seed);
        SharedState state;
        state.ledger = mixedLedger(entries, items, seed);
        state.studentCount = 33;
        tabulateTerms(state, nullptr);
        for (const PeriodInfo& info : termPeriods) {
            for (const bool income : {true, false}) {
                ArticlePtr alone = SorobeArticle::create();
                if (info.monthFiltered)
                    alone->collectMonthlyArticle(income, info.firstMonth, info.lastMonth,
                                                 state.ledger->nextArticle());
                else
                    alone->collectArticle(income, state.ledger->nextArticle());
                if (income && info.openingCarryKind != 0)
                    alone->addArticle(makeCarryForward(info.openingCarryKind,
                                                       carriedBalance(state, info.carriedFrom),
                                                       carryForwardYear, state.studentCount));
                const ArticlePtr& tabulated = income ? incomeList(state.termLists, info.period)
                                                     : supplyList(state.termLists, info.period);
                QVERIFY(alone->nextArticle());
                QCOMPARE(linesInFull(tabulated), linesInFull(alone));
            }
        }
    }

    void overflowStopsAtItsStep_data() {
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<QString>("filled");
        QTest::addColumn<QString>("totalsStored");

        constexpr std::int32_t big = 1'500'000'000;
        constexpr std::int32_t huge = 2'000'000'000;
        QTest::newRow("2学期 income lines") << Entries{{QDate(2002, 4, 10), "会費", "4月分", 1000},
                                                       {QDate(2002, 8, 10), "寄付", "", huge},
                                                       {QDate(2002, 8, 11), "寄付", "", huge}}
                                            << "1学期"
                                            << "1学期";
        QTest::newRow("1学期 expense total")
            << Entries{{QDate(2002, 4, 11), "X", "", big, 1}, {QDate(2002, 5, 11), "Y", "", big, 2}}
            << "1学期"
            << "";
        QTest::newRow("balance carried into 2学期")
            << Entries{{QDate(2002, 4, 10), "A", "", huge},
                       {QDate(2002, 5, 10), "返金", "", -500'000'000, 1}}
            << "1学期"
            << "1学期";
        QTest::newRow("2学期 income total with its carry-forward")
            << Entries{{QDate(2002, 4, 10), "A", "", big}, {QDate(2002, 10, 10), "B", "", big}}
            << "1学期,2学期"
            << "1学期";
        QTest::newRow("年間 income lines")
            << Entries{{QDate(2002, 4, 10), "A", "", big}, {QDate(2003, 1, 10), "A", "", big}}
            << "1学期,2学期,3学期,前期,後期"
            << "1学期,2学期,前期";
    }

    void overflowStopsAtItsStep() {
        QFETCH(Entries, entries);
        QFETCH(QString, filled);
        QFETCH(QString, totalsStored);

        SharedState state;
        state.ledger = ledgerOf(entries);
        fillWithOldLines(state);
        state.termsStale = true;
        QList<Period> fills;
        QVERIFY_THROWS_EXCEPTION(
            OverflowError, tabulateTerms(state, [&](Period period) { fills.append(period); }));

        QCOMPARE(names(fills), filled);
        QVERIFY(state.termsStale);
        for (const PeriodInfo& info : termPeriods) {
            // The failing step and all later ones leave their lists as they were.
            const QString text = periodLists(state, info.period);
            QVERIFY2(fills.contains(info.period) ? !text.contains(u'旧') : text == oldLists,
                     qPrintable(periodName(info.period) + QStringLiteral(": ") + text));
            if (!carriesBalanceForward(info.period))
                continue;
            const auto index = static_cast<std::size_t>(info.period);
            const bool stored = totalsStored.split(u',').contains(periodName(info.period));
            QCOMPARE(state.periodIncomeSum[index],
                     stored ? incomeList(state.termLists, info.period)->sumArticle() : 7);
            QCOMPARE(state.periodSupplySum[index],
                     stored ? supplyList(state.termLists, info.period)->sumArticle() : -7);
        }
    }
};

QTEST_APPLESS_MAIN(TestTabulation)
#include "tst_tabulation.moc"
