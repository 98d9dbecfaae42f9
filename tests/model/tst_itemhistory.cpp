#include "SorobeSelection.h"

#include <QTest>

using namespace sorobe;

namespace {

const QDate today2002(2002, 6, 1);

SelectionPtr record(const QString& name, std::int16_t count, int year = 2002) {
    return SorobeSelection::create(name, count, DateTime::fromDate(year, 5, 1));
}

// "name:count" per record, in list order.
QStringList contents(const SelectionPtr& head) {
    QStringList result;
    for (SelectionPtr r = head->nextSelection(); r; r = r->nextSelection())
        result.append(QStringLiteral("%1:%2").arg(r->tsArticle()).arg(r->tsCount()));
    return result;
}

} // namespace

class TestItemHistory : public QObject {
    Q_OBJECT

private slots:
    void newRecordHoldsInitialValues() {
        SelectionPtr r = SorobeSelection::create();
        QCOMPARE(r->tsDate().toQDate(), QDate(1899, 12, 30));
        QVERIFY(r->tsArticle().isEmpty());
        QVERIFY(!r->tsLink());
        QCOMPARE(r->tsCount(), 0);
    }

    void aNewNameGoesToTheEnd() {
        SelectionPtr history = SorobeSelection::create();
        history->appendSelectionWithCount(record("学級費", 5), today2002);
        history->appendSelectionWithCount(record("遠足代", 1), today2002);
        // A new name goes last even when its count is greater than the others'.
        history->appendSelectionWithCount(record("修学旅行", 9), today2002);
        QCOMPARE(contents(history), (QStringList{"学級費:5", "遠足代:1", "修学旅行:9"}));
    }

    void aRecordedNameAgainCountsTwoAndMovesUp_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("second use of a name")
            << QStringList{"a:3", "b:2", "c:1", "d:1"} << QStringList{"a:3", "d:2", "b:2", "c:1"};
        QTest::newRow("count 7 drops to 2")
            << QStringList{"d:7", "a:3", "b:2", "c:1"} << QStringList{"a:3", "d:2", "b:2", "c:1"};
        QTest::newRow("only name") << QStringList{"d:1"} << QStringList{"d:2"};
        QTest::newRow("before every equal count")
            << QStringList{"a:2", "b:2", "d:1"} << QStringList{"d:2", "a:2", "b:2"};
    }

    void aRecordedNameAgainCountsTwoAndMovesUp() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        SelectionPtr ordered = SorobeSelection::create();
        for (auto it = before.crbegin(); it != before.crend(); ++it) {
            const QStringList parts = it->split(u':');
            ordered->insertSelection(record(parts[0], std::int16_t(parts[1].toInt())));
        }
        QCOMPARE(contents(ordered), before);

        SelectionPtr again = record("d", 1);
        again->setTsDate(DateTime::fromDate(2002, 5, 30));
        ordered->appendSelectionWithCount(again, today2002);
        QCOMPARE(contents(ordered), after);
        // The new record, with the new date, is what stays in the list.
        SelectionPtr found;
        for (SelectionPtr r = ordered->nextSelection(); r; r = r->nextSelection())
            if (r->tsArticle() == "d")
                found = r;
        QVERIFY(found == again);
        QCOMPARE(found->tsDate().toQDate(), QDate(2002, 5, 30));
    }

    void namesCompareAsExactText() {
        SelectionPtr history = SorobeSelection::create();
        for (const char* name : {"Note", "note", "ﾉｰﾄ", "ノート", "ノート ", "１組", "1組"})
            history->appendSelectionWithCount(record(QString::fromUtf8(name), 1), today2002);
        QCOMPARE(contents(history).size(), 7);
        for (const QString& item : contents(history))
            QVERIFY(item.endsWith(":1"));
    }

    void ageingRemovesOneOldRecordPerNewName() {
        SelectionPtr history = SorobeSelection::create();
        SelectionPtr old1 = record("古い1", 1, 1999);
        SelectionPtr keep = record("2000年", 1, 2000); // 2000 + 2 is not below 2002
        SelectionPtr old2 = record("古い2", 1, 1999);
        history->insertSelection(old2);
        history->insertSelection(keep);
        history->insertSelection(old1);

        history->appendSelectionWithCount(record("新1", 1), today2002);
        QCOMPARE(contents(history), (QStringList{"2000年:1", "古い2:1", "新1:1"}));
        // Re-recording an existing name never ages the list.
        history->appendSelectionWithCount(record("新1", 1), today2002);
        QCOMPARE(contents(history), (QStringList{"新1:2", "2000年:1", "古い2:1"}));
        history->appendSelectionWithCount(record("新2", 1), today2002);
        QCOMPARE(contents(history), (QStringList{"新1:2", "2000年:1", "新2:1"}));
        // In 2003 the record of 2000 has aged too.
        history->appendSelectionWithCount(record("新3", 1), QDate(2003, 1, 1));
        QCOMPARE(contents(history), (QStringList{"新1:2", "新2:1", "新3:1"}));
    }

    void anOldRecordFromTheFileAgesItselfAway() {
        // Reading the history file feeds every record through the same merge:
        // an old record appended to a list without others is dropped at once.
        SelectionPtr history = SorobeSelection::create();
        history->appendSelectionWithCount(record("古い", 4, 1998), today2002);
        QVERIFY(!history->nextSelection());
    }

    void addSelectionGoesAfterGreaterCounts() {
        SelectionPtr history = SorobeSelection::create();
        history->addSelection(record("a", 1));
        history->addSelection(record("b", 5));
        history->addSelection(record("c", 3));
        history->addSelection(record("d", 3));
        history->addSelection(record("e", -1));
        QCOMPARE(contents(history), (QStringList{"b:5", "d:3", "c:3", "a:1", "e:-1"}));
    }

    void deleteSelectionUsesIdentity() {
        SelectionPtr history = SorobeSelection::create();
        SelectionPtr a = record("a", 1);
        SelectionPtr b = record("b", 1);
        history->insertSelection(b);
        history->insertSelection(a);
        history->deleteSelection(record("a", 1));
        history->deleteSelection(nullptr);
        QCOMPARE(contents(history), (QStringList{"a:1", "b:1"}));
        history->deleteSelection(b);
        QCOMPARE(contents(history), (QStringList{"a:1"}));
        history->removeNextSelection();
        QVERIFY(!history->nextSelection());
        history->removeNextSelection();
        QVERIFY(!history->nextSelection());
    }

    void aCountAtTheTopOfItsRangeStaysThere() {
        SelectionPtr history = SorobeSelection::create();
        history->appendSelectionWithCount(record("a", 1), today2002);
        history->appendSelectionWithCount(record("a", 32767), today2002);
        QCOMPARE(contents(history), (QStringList{"a:32767"}));
    }
};

QTEST_GUILESS_MAIN(TestItemHistory)
#include "tst_itemhistory.moc"
