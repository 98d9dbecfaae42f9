#include "ArticleBuilders.h"
#include "SorobeArticle.h"

#include <QTest>

using namespace sorobe;
using namespace sorobe::test;

namespace {

QDate apr(int day) {
    return QDate(2002, 4, day);
}

struct Offer {
    bool isIncome;
    QDate date;
    std::int16_t receipt;
    std::int32_t key;
};

} // namespace

Q_DECLARE_METATYPE(QList<Offer>)

class TestLedgerList : public QObject {
    Q_OBJECT

private slots:
    void newEntryHoldsInitialValues() {
        ArticlePtr entry = SorobeArticle::create();
        QCOMPARE(entry->taDate().serial(), 0.0);
        QCOMPARE(entry->taDate().toQDate(), QDate(1899, 12, 30));
        QCOMPARE(entry->taReceipt(), 0);
        QVERIFY(entry->taArticle().isEmpty());
        QVERIFY(entry->taSubArticle().isEmpty());
        QCOMPARE(entry->taPerPerson(), 0);
        QCOMPARE(entry->taStudentsNumber(), 0);
        QCOMPARE(entry->taAmount(), 0);
        QVERIFY(!entry->taLink());
        QVERIFY(!entry->taIncome());
        QCOMPARE(entry->taKey(), 0);
    }

    void addArticleKeepsDateAndReceiptOrder_data() {
        QTest::addColumn<QList<Offer>>("offers");
        QTest::addColumn<QList<std::int32_t>>("positions");
        QTest::addColumn<QList<std::int32_t>>("order");

        QTest::newRow("empty ledger") << QList<Offer>{{true, apr(10), 0, 1}}
                                      << QList<std::int32_t>{1} << QList<std::int32_t>{1};
        QTest::newRow("dates out of order")
            << QList<Offer>{{true, apr(20), 0, 1}, {true, apr(5), 0, 2}, {true, apr(12), 0, 3}}
            << QList<std::int32_t>{1, 1, 2} << QList<std::int32_t>{2, 3, 1};
        QTest::newRow("same date and receipt: later after earlier")
            << QList<Offer>{{false, apr(10), 4, 1}, {false, apr(10), 4, 2}, {false, apr(10), 4, 3}}
            << QList<std::int32_t>{1, 2, 3} << QList<std::int32_t>{1, 2, 3};
        QTest::newRow("receipt 5 between 3 and 7, positions count expenses only")
            << QList<Offer>{{true, apr(1), 0, 1},  {true, apr(10), 0, 2},  {false, apr(10), 3, 3},
                            {true, apr(10), 0, 4}, {false, apr(10), 7, 5}, {false, apr(10), 5, 6}}
            << QList<std::int32_t>{1, 2, 1, 3, 2, 2} << QList<std::int32_t>{1, 2, 4, 3, 6, 5};
        QTest::newRow("income lands before the day's receipts")
            << QList<Offer>{{false, apr(10), 1, 1}, {false, apr(10), 2, 2}, {true, apr(10), 0, 3}}
            << QList<std::int32_t>{1, 2, 1} << QList<std::int32_t>{3, 1, 2};
        QTest::newRow("expense without receipt after the day's income")
            << QList<Offer>{{true, apr(10), 0, 1}, {true, apr(10), 0, 2}, {false, apr(10), 0, 3}}
            << QList<std::int32_t>{1, 2, 1} << QList<std::int32_t>{1, 2, 3};
        QTest::newRow("receipts compare signed")
            << QList<Offer>{{false, apr(10), 32767, 1},
                            {false, apr(10), -32768, 2},
                            {true, apr(10), 0, 3},
                            {false, apr(10), -1, 4}}
            << QList<std::int32_t>{1, 1, 1, 2} << QList<std::int32_t>{2, 4, 3, 1};
    }

    void addArticleKeepsDateAndReceiptOrder() {
        QFETCH(QList<Offer>, offers);
        QFETCH(QList<std::int32_t>, positions);
        QFETCH(QList<std::int32_t>, order);

        ArticlePtr ledger = SorobeArticle::create();
        QList<std::int32_t> returned;
        for (const Offer& offer : offers) {
            ArticlePtr entry = offer.isIncome
                                   ? income(offer.date, "会費", "", 100, offer.key)
                                   : expense(offer.date, offer.receipt, "画用紙", 100, offer.key);
            returned.append(ledger->addArticle(entry));
        }
        QCOMPARE(returned, positions);
        QCOMPARE(keys(ledger), order);
    }

    void addArticleComparesTheTimeOfDay() {
        ArticlePtr ledger = SorobeArticle::create();
        ArticlePtr evening = income(apr(10), "会費", "", 1, 1);
        evening->setTaDate(DateTime::fromQDateTime(QDateTime(apr(10), QTime(18, 0))));
        ArticlePtr morning = income(apr(10), "会費", "", 1, 2);
        morning->setTaDate(DateTime::fromQDateTime(QDateTime(apr(10), QTime(9, 5))));
        ledger->addArticle(evening);
        QCOMPARE(ledger->addArticle(morning), 1);
        QCOMPARE(ledger->addArticle(income(apr(10), "会費", "", 1, 3)), 1);
        QCOMPARE(keys(ledger), (QList<std::int32_t>{3, 2, 1}));
    }

    void deleteArticleRemovesThatVeryEntry_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<QList<std::int32_t>>("remaining");
        QTest::newRow("first") << 0 << QList<std::int32_t>{2, 3};
        QTest::newRow("middle") << 1 << QList<std::int32_t>{1, 3};
        QTest::newRow("last") << 2 << QList<std::int32_t>{1, 2};
        QTest::newRow("an equal copy is not the entry") << -1 << QList<std::int32_t>{1, 2, 3};
        QTest::newRow("none") << -2 << QList<std::int32_t>{1, 2, 3};
    }

    void deleteArticleRemovesThatVeryEntry() {
        QFETCH(int, target);
        QFETCH(QList<std::int32_t>, remaining);

        ArticlePtr ledger = SorobeArticle::create();
        for (int key = 1; key <= 3; ++key)
            ledger->addArticle(income(apr(key), "会費", "", 100, key));
        const std::vector<ArticlePtr> before = nodes(ledger);

        ArticlePtr victim;
        if (target >= 0)
            victim = before[target];
        else if (target == -1)
            victim = before[1]->cloneArticle();
        ledger->deleteArticle(victim);

        QCOMPARE(keys(ledger), remaining);
    }

    void deletingTheOnlyEntryEmptiesTheLedger() {
        ArticlePtr ledger = SorobeArticle::create();
        ArticlePtr only = income(apr(1), "会費", "", 100, 1);
        ledger->addArticle(only);
        ledger->deleteArticle(only);
        QVERIFY(!ledger->taLink());
        // The page that still holds the entry keeps it alive and intact.
        QCOMPARE(only->taAmount(), 100);
    }

    void deletingAnEqualTwinKeepsTheOther() {
        ArticlePtr ledger = SorobeArticle::create();
        ArticlePtr first = income(apr(1), "会費", "4月分", 100, 7);
        ArticlePtr twin = first->cloneArticle();
        ledger->addArticle(first);
        ledger->addArticle(twin);
        ledger->deleteArticle(twin);
        QCOMPARE(nodes(ledger).size(), size_t(1));
        QVERIFY(ledger->nextArticle() == first);
    }

    void kindWalksSkipTheOtherKind() {
        ArticlePtr ledger = SorobeArticle::create();
        ArticlePtr in1 = income(apr(1), "会費", "", 100, 1);
        ArticlePtr out1 = expense(apr(2), 1, "画用紙", 50, 2);
        ArticlePtr in2 = income(apr(3), "会費", "", 100, 3);
        ArticlePtr out2 = expense(apr(4), 2, "のり", 20, 4);
        ArticlePtr out3 = expense(apr(5), 3, "はさみ", 30, 5);
        for (const ArticlePtr& entry : {in1, out1, in2, out2, out3})
            ledger->addArticle(entry);

        QVERIFY(ledger->nextIncomeArticle() == in1);
        QVERIFY(in1->nextIncomeArticle() == in2);
        QVERIFY(!in2->nextIncomeArticle());
        QVERIFY(ledger->nextSupplyArticle() == out1);
        QVERIFY(out1->nextSupplyArticle() == out2);
        QVERIFY(out2->nextSupplyArticle() == out3);
        QVERIFY(!out3->nextSupplyArticle());

        ArticlePtr empty = SorobeArticle::create();
        QVERIFY(!empty->nextIncomeArticle());
        QVERIFY(!empty->nextSupplyArticle());
        QVERIFY(!empty->nextArticle());
    }

    void insertAndRemoveNextWorkWhereTheyAreCalled() {
        ArticlePtr head = SorobeArticle::create();
        ArticlePtr a = income(apr(20), "a", "", 1, 1);
        ArticlePtr b = income(apr(1), "b", "", 1, 2);
        head->insertArticle(a);
        a->insertArticle(b); // out of date order: insert puts it where it is told
        QCOMPARE(keys(head), (QList<std::int32_t>{1, 2}));
        head->removeNextArticle();
        QCOMPARE(keys(head), (QList<std::int32_t>{2}));
        b->removeNextArticle(); // nothing after b: nothing happens
        QCOMPARE(keys(head), (QList<std::int32_t>{2}));
    }

    void cloneCopiesEveryFieldButTheLink() {
        ArticlePtr ledger = SorobeArticle::create();
        ArticlePtr middle = income(apr(2), "遠足代", "5月分", 35000, 42);
        middle->setTaPerPerson(1000);
        middle->setTaStudentsNumber(35);
        middle->setTaReceipt(-3);
        middle->setTaDate(DateTime(37356.375));
        ledger->addArticle(income(apr(1), "x", "", 1, 1));
        ledger->addArticle(middle);
        ledger->addArticle(income(apr(28), "y", "", 1, 3));

        ArticlePtr copy = middle->cloneArticle();
        QVERIFY(copy != middle);
        QVERIFY(!copy->taLink());
        QCOMPARE(copy->taDate(), middle->taDate());
        QCOMPARE(copy->taReceipt(), -3);
        QCOMPARE(copy->taArticle(), QStringLiteral("遠足代"));
        QCOMPARE(copy->taSubArticle(), QStringLiteral("5月分"));
        QCOMPARE(copy->taPerPerson(), 1000);
        QCOMPARE(copy->taStudentsNumber(), 35);
        QCOMPARE(copy->taAmount(), 35000);
        QVERIFY(copy->taIncome());
        QCOMPARE(copy->taKey(), 42);

        copy->setTaAmount(1);
        copy->setTaArticle("変更");
        QCOMPARE(middle->taAmount(), 35000);
        QCOMPARE(middle->taArticle(), QStringLiteral("遠足代"));
    }

    void droppingAMillionEntriesDoesNotRecurse() {
        ArticlePtr ledger = SorobeArticle::create();
        SorobeArticle* tail = ledger.get();
        ArticlePtr heldByPage;
        for (int i = 0; i < 1'000'000; ++i) {
            ArticlePtr entry = income(apr(1), "会費", "", 1, i);
            tail->insertArticle(entry);
            tail = entry.get();
            if (i == 500'000)
                heldByPage = entry;
        }
        ledger.reset();
        // The entry a page still holds survives, and with it the rest of its chain.
        QCOMPARE(heldByPage->taKey(), 500'000);
        int rest = 0;
        for (ArticlePtr node = heldByPage->nextArticle(); node; node = node->nextArticle())
            ++rest;
        QCOMPARE(rest, 499'999);
        heldByPage.reset();
    }
};

QTEST_GUILESS_MAIN(TestLedgerList)
#include "tst_ledgerlist.moc"
