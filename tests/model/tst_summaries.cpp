#include "ArticleBuilders.h"
#include "CheckedArithmetic.h"
#include "SorobeArticle.h"

#include <QRandomGenerator>
#include <QTest>
#include <limits>

using namespace sorobe;
using namespace sorobe::test;

class TestSummaries : public QObject {
    Q_OBJECT

    static ArticlePtr ledgerOf(std::initializer_list<ArticlePtr> entries) {
        ArticlePtr ledger = SorobeArticle::create();
        for (const ArticlePtr& entry : entries)
            ledger->addArticle(entry);
        return ledger;
    }

private slots:
    // The twelve period lists of random ledgers, built in one pass, against
    // the plain walk that merges each entry into the lines built so far.
    void summariesEqualTheLineByLineMerge_data() {
        QTest::addColumn<int>("seed");
        QTest::addColumn<int>("items"); // different items to draw from
        QTest::newRow("few items") << 1 << 5;
        QTest::newRow("many items") << 2 << 400;
        QTest::newRow("every item different") << 3 << 1'000'000;
    }

    void summariesEqualTheLineByLineMerge() {
        QFETCH(int, seed);
        QFETCH(int, items);
        QRandomGenerator random{quint32(seed)};
        ArticlePtr ledger = SorobeArticle::create();
        for (int k = 0; k < 600; ++k) {
            const QDate day = QDate(2002, 4, 1).addDays(random.bounded(365));
            const QString item = QStringLiteral("項目%1").arg(random.bounded(items));
            const QString sub = random.bounded(3) == 0
                                    ? QString()
                                    : QStringLiteral("%1月分").arg(random.bounded(3));
            ledger->addArticle(random.bounded(2) ? income(day, item, sub, random.bounded(-50, 5000))
                                                 : expense(day, 1, item, random.bounded(5000)));
        }
        const std::pair<int, int> months[] = {{4, 7}, {8, 12}, {1, 3}, {4, 9}, {10, 15}, {0, 0}};
        for (const bool kind : {true, false}) {
            for (const auto& [first, last] : months) {
                ArticlePtr built = SorobeArticle::create();
                ArticlePtr walked = SorobeArticle::create();
                if (first == 0)
                    built->collectArticle(kind, ledger->nextArticle());
                else
                    built->collectMonthlyArticle(kind, std::int16_t(first), std::int16_t(last),
                                                 ledger->nextArticle());
                for (ArticlePtr e = ledger->nextArticle(); e; e = e->nextArticle()) {
                    int month = e->taDate().month();
                    if (last > 12 && month <= 3)
                        month += 12;
                    if (e->taIncome() == kind && (first == 0 || (month >= first && month <= last)))
                        walked->appendArticleWithSum(e->cloneArticle());
                }
                QCOMPARE(lines(built), lines(walked));
                QVERIFY(!lines(built).isEmpty());
            }
        }
    }

    void collectGroupsByItemSubItemAndKind() {
        ArticlePtr ledger = ledgerOf({
            income(QDate(2002, 4, 10), "学級費", "4月分", 3000),
            expense(QDate(2002, 4, 11), 1, "学級費", 500),
            income(QDate(2002, 4, 12), "遠足代", "", 1000),
            income(QDate(2002, 5, 10), "学級費", "5月分", 3000),
            income(QDate(2002, 5, 11), "学級費", "4月分", 200),
            income(QDate(2002, 5, 12), "学級費", "４月分", 7), // full-width digit
            income(QDate(2002, 5, 13), "学級費 ", "4月分", 9), // trailing blank
            expense(QDate(2002, 5, 14), 2, "学級費", 100),
        });

        ArticlePtr incomeLines = SorobeArticle::create();
        incomeLines->collectArticle(true, ledger->nextArticle());
        QCOMPARE(lines(incomeLines),
                 (QStringList{"+学級費/4月分=3200", "+遠足代/=1000", "+学級費/5月分=3000",
                              "+学級費/４月分=7", "+学級費 /4月分=9"}));

        ArticlePtr supplyLines = SorobeArticle::create();
        supplyLines->collectArticle(false, ledger->nextArticle());
        QCOMPARE(lines(supplyLines), (QStringList{"-学級費/=600"}));
    }

    void aLineKeepsItsFirstEntrysFields() {
        ArticlePtr first = income(QDate(2002, 4, 10), "学級費", "4月分", 3000, 11);
        first->setTaPerPerson(100);
        first->setTaStudentsNumber(30);
        ArticlePtr second = income(QDate(2002, 6, 1), "学級費", "4月分", 66, 12);
        second->setTaPerPerson(33);
        second->setTaStudentsNumber(2);
        ArticlePtr ledger = ledgerOf({first, second});

        ArticlePtr summary = SorobeArticle::create();
        summary->collectArticle(true, ledger->nextArticle());
        const std::vector<ArticlePtr> result = nodes(summary);
        QCOMPARE(result.size(), size_t(1));
        QVERIFY(result[0] != first); // a copy, never the ledger's own entry
        QCOMPARE(result[0]->taAmount(), 3066);
        QCOMPARE(result[0]->taKey(), 11);
        QCOMPARE(result[0]->taPerPerson(), 100);
        QCOMPARE(result[0]->taStudentsNumber(), 30);
        QCOMPARE(result[0]->taDate(), first->taDate());
    }

    void collectLeavesTheLedgerAsItWas() {
        ArticlePtr ledger = ledgerOf({income(QDate(2002, 4, 10), "a", "", 1, 1),
                                      income(QDate(2002, 4, 11), "a", "", 2, 2),
                                      expense(QDate(2002, 4, 12), 1, "b", 3, 3)});
        const std::vector<ArticlePtr> before = nodes(ledger);
        ArticlePtr summary = SorobeArticle::create();
        summary->collectArticle(true, ledger->nextArticle());
        summary->collectMonthlyArticle(false, 4, 7, ledger->nextArticle());
        QVERIFY(nodes(ledger) == before);
        QCOMPARE(lines(ledger), (QStringList{"+a/=1", "+a/=2", "-b/=3"}));
    }

    void collectStartsFromAnEmptyList() {
        ArticlePtr ledger = ledgerOf({income(QDate(2002, 4, 10), "a", "", 5, 1)});
        ArticlePtr summary = SorobeArticle::create();
        summary->collectArticle(true, ledger->nextArticle());
        summary->collectArticle(true, ledger->nextArticle());
        QCOMPARE(lines(summary), (QStringList{"+a/=5"}));
        summary->collectArticle(false, ledger->nextArticle());
        QVERIFY(!summary->nextArticle());
        QCOMPARE(summary->sumArticle(), 0);
        summary->collectArticle(true, nullptr);
        QVERIFY(!summary->nextArticle());
    }

    void monthRanges_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QStringList>("selected");
        // Entries, one per month of the school year and two Marches of other
        // years: each item names its month.
        QTest::newRow("1学期 4-7") << 4 << 7 << QStringList{"4", "5", "6", "7"};
        QTest::newRow("2学期 8-12") << 8 << 12 << QStringList{"8", "9", "10", "11", "12"};
        QTest::newRow("3学期 1-3") << 1 << 3 << QStringList{"1", "2", "3", "3 other year"};
        QTest::newRow("前期 4-9") << 4 << 9 << QStringList{"4", "5", "6", "7", "8", "9"};
        QTest::newRow("後期 10-15")
            << 10 << 15 << QStringList{"10", "11", "12", "1", "2", "3", "3 other year"};
        QTest::newRow("13-15 alone") << 13 << 15 << QStringList{"1", "2", "3", "3 other year"};
        QTest::newRow("1-12 keeps every month")
            << 1 << 12 << QStringList{"4",  "5",  "6", "7", "8", "9",           "10",
                                      "11", "12", "1", "2", "3", "3 other year"};
    }

    void monthRanges() {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QStringList, selected);

        ArticlePtr ledger = SorobeArticle::create();
        for (int i = 0; i < 12; ++i) {
            const int month = (i + 3) % 12 + 1;
            const int year = month >= 4 ? 2002 : 2003;
            const QDate date(year, month, month == 9 ? 30 : 1);
            ledger->addArticle(income(date, QString::number(month), "", 1));
            ledger->addArticle(expense(date, 1, QString::number(month), 1));
        }
        ledger->addArticle(income(QDate(2005, 3, 3), "3 other year", "", 1));

        ArticlePtr summary = SorobeArticle::create();
        summary->collectMonthlyArticle(true, std::int16_t(first), std::int16_t(last),
                                       ledger->nextArticle());
        QStringList items;
        for (const ArticlePtr& line : nodes(summary)) {
            QVERIFY(line->taIncome());
            items.append(line->taArticle());
        }
        QCOMPARE(items, selected);
    }

    void subArticleMergeIgnoresTheSubItem() {
        ArticlePtr april = income(QDate(2002, 4, 10), "学級費", "4月分", 3000, 1);
        ArticlePtr report = SorobeArticle::create();
        report->appendSubArticleWithSum(april->cloneArticle());
        report->appendSubArticleWithSum(income(QDate(2002, 5, 10), "遠足代", "", 500, 2));
        report->appendSubArticleWithSum(income(QDate(2002, 5, 10), "学級費", "5月分", 3000, 3));
        report->appendSubArticleWithSum(expense(QDate(2002, 5, 11), 1, "学級費", 800, 4));
        QCOMPARE(lines(report),
                 (QStringList{"+学級費/4月分=6000", "+遠足代/=500", "-学級費/=800"}));
        QCOMPARE(report->nextArticle()->taKey(), 1);

        ArticlePtr byMonth = SorobeArticle::create();
        byMonth->appendArticleWithSum(april->cloneArticle());
        byMonth->appendArticleWithSum(income(QDate(2002, 5, 10), "学級費", "5月分", 3000, 3));
        QCOMPARE(lines(byMonth), (QStringList{"+学級費/4月分=3000", "+学級費/5月分=3000"}));
    }

    void sumAddsIncomeAndSubtractsExpenses_data() {
        QTest::addColumn<QList<std::int32_t>>("incomes");
        QTest::addColumn<QList<std::int32_t>>("expenses");
        QTest::addColumn<std::int32_t>("total");
        QTest::newRow("empty") << QList<std::int32_t>{} << QList<std::int32_t>{} << 0;
        QTest::newRow("mixed") << QList<std::int32_t>{5000, 3000} << QList<std::int32_t>{2000}
                               << 6000;
        QTest::newRow("expenses only")
            << QList<std::int32_t>{} << QList<std::int32_t>{700, 300} << -1000;
        QTest::newRow("negative income")
            << QList<std::int32_t>{-500} << QList<std::int32_t>{-200} << -300;
        QTest::newRow("at the top of the range")
            << QList<std::int32_t>{std::numeric_limits<std::int32_t>::max() - 1, 1}
            << QList<std::int32_t>{} << std::numeric_limits<std::int32_t>::max();
        QTest::newRow("at the bottom of the range")
            << QList<std::int32_t>{}
            << QList<std::int32_t>{std::numeric_limits<std::int32_t>::max(), 1}
            << std::numeric_limits<std::int32_t>::min();
    }

    void sumAddsIncomeAndSubtractsExpenses() {
        QFETCH(QList<std::int32_t>, incomes);
        QFETCH(QList<std::int32_t>, expenses);
        QFETCH(std::int32_t, total);
        ArticlePtr list = SorobeArticle::create();
        SorobeArticle* tail = list.get();
        auto append = [&](ArticlePtr entry) {
            tail->insertArticle(entry);
            tail = entry.get();
        };
        for (std::int32_t amount : incomes)
            append(income(QDate(2002, 4, 1), "i", "", amount));
        for (std::int32_t amount : expenses)
            append(expense(QDate(2002, 4, 1), 1, "e", amount));
        QCOMPARE(list->sumArticle(), total);
        QCOMPARE(list->sumArticle(), total); // the list is not changed by summing
    }

    void totalsBeyond32BitsRaiseOverflow() {
        const std::int32_t max = std::numeric_limits<std::int32_t>::max();

        ArticlePtr ledger = ledgerOf(
            {income(QDate(2002, 4, 1), "a", "", max), income(QDate(2002, 4, 2), "b", "", 1)});
        QVERIFY_THROWS_EXCEPTION(OverflowError, ledger->sumArticle());

        ArticlePtr debts = ledgerOf(
            {expense(QDate(2002, 4, 1), 1, "a", max), expense(QDate(2002, 4, 2), 2, "b", 2)});
        QVERIFY_THROWS_EXCEPTION(OverflowError, debts->sumArticle());

        ArticlePtr sameItem = ledgerOf(
            {income(QDate(2002, 4, 1), "a", "", max), income(QDate(2002, 4, 2), "a", "", 1)});
        ArticlePtr summary = SorobeArticle::create();
        QVERIFY_THROWS_EXCEPTION(OverflowError,
                                 summary->collectArticle(true, sameItem->nextArticle()));
        // The line that would have overflowed keeps its last sound amount.
        QCOMPARE(summary->nextArticle()->taAmount(), max);

        ArticlePtr report = SorobeArticle::create();
        report->appendSubArticleWithSum(income(QDate(2002, 4, 1), "a", "4月分", -max));
        QVERIFY_THROWS_EXCEPTION(OverflowError, report->appendSubArticleWithSum(
                                                    income(QDate(2002, 4, 1), "a", "5月分", -2)));
    }
};

QTEST_GUILESS_MAIN(TestSummaries)
#include "tst_summaries.moc"
