// The collection roll in memory: the roster and its moves, columns that
// follow the ledger through record, change, delete, undo and redo with their
// ticks, the foot of a column and what each pupil still owes.

#include "CollectionRoll.h"
#include "RollTestData.h"

#include <QTest>
#include <algorithm>

using namespace sorobe;
using namespace sorobe::test;

namespace {

QDate day2026(const QString& monthDay) {
    const QStringList part = monthDay.split(u'/');
    return QDate(2026, part[0].toInt(), part[1].toInt());
}

// A ledger changed step by step as the window changes it, and the roll
// following it. Steps, separated by ";":
//   c|i|e key MM/dd item sub perPerson   record an entry at the end (see entryOf)
//   change old new perPerson   the entry recorded anew with a new key (rekey, follow)
//   late old new perPerson     the same, the roll told of the new key after follow
//   swap out in                one key out, the other back in its place (undo, redo)
//   del key / put key          an entry deleted, put back by undo
//   tick key pupil             toggles the pupil in that entry's column
//   name n text / in n MM/dd / out n MM/dd / resize n / edited / reset n
class Session {
public:
    explicit Session(int pupils) { roll.reset(pupils); }

    // Empty when every step ran; else what went wrong.
    QString run(const QString& steps) {
        for (const QString& step : steps.split(u';')) {
            if (!step.trimmed().isEmpty() && !apply(step.trimmed()))
                return QStringLiteral("step failed: ") + step;
        }
        return QString();
    }

    int columnOf(int key) const {
        for (int index = 0; index < roll.columnCount(); ++index) {
            if (roll.column(index).key == key)
                return index;
        }
        return -1;
    }

    CollectionRoll roll;

private:
    bool apply(const QString& step) {
        const QStringList word = step.split(u' ');
        const QString& verb = word[0];
        const int first = word.value(1).toInt();
        const int second = word.value(2).toInt();
        if (verb == u"c" || verb == u"i" || verb == u"e") {
            m_nodes.push_back(entryOf(step));
        } else if (verb == u"change" || verb == u"late") {
            const auto old = find(first);
            if (old == m_nodes.end())
                return false;
            ArticlePtr changed = (*old)->cloneArticle();
            changed->setTaKey(second);
            changed->setTaPerPerson(word.value(3).toInt());
            changed->setTaAmount(changed->taPerPerson() * 30);
            m_absent.push_back(first);
            m_nodes.insert(old + 1, changed);
            if (verb == u"change")
                roll.rekey(first, second);
            follow();
            if (verb == u"late")
                roll.rekey(first, second);
            return true;
        } else if (verb == u"swap") {
            std::erase(m_absent, second);
            m_absent.push_back(first);
        } else if (verb == u"del") {
            m_absent.push_back(first);
        } else if (verb == u"put") {
            std::erase(m_absent, first);
        } else if (verb == u"tick") {
            return roll.toggle(columnOf(first), second);
        } else if (verb == u"name") {
            roll.roster().setName(first, word.value(2));
            return true;
        } else if (verb == u"in" || verb == u"out") {
            if (verb == u"in")
                roll.roster().setMovedIn(first, day2026(word.value(2)));
            else
                roll.roster().setMovedOut(first, day2026(word.value(2)));
            return true;
        } else if (verb == u"resize") {
            roll.roster().resize(first);
            return true;
        } else if (verb == u"edited") {
            roll.markRosterEdited();
            return true;
        } else if (verb == u"reset") {
            roll.reset(first);
        } else {
            return false;
        }
        follow();
        return true;
    }

    std::vector<ArticlePtr>::iterator find(int key) {
        return std::find_if(m_nodes.begin(), m_nodes.end(),
                            [key](const ArticlePtr& node) { return node->taKey() == key; });
    }

    void follow() {
        ArticlePtr head = SorobeArticle::create();
        SorobeArticle* tail = head.get();
        for (const ArticlePtr& node : m_nodes) {
            node->setTaLink(nullptr);
            if (std::find(m_absent.begin(), m_absent.end(), node->taKey()) != m_absent.end())
                continue;
            tail->setTaLink(node);
            tail = node.get();
        }
        roll.follow(head);
    }

    std::vector<ArticlePtr> m_nodes;
    std::vector<int> m_absent;
};

// "number:name+in-out" for each pupil with a name or a move, after the size.
QString rosterOf(const Roster& roster) {
    QStringList out{QString::number(roster.size())};
    for (int number = 1; number <= roster.size(); ++number) {
        const Pupil& pupil = roster.pupil(number);
        if (pupil.number != number)
            return QStringLiteral("pupil %1 numbered %2").arg(number).arg(pupil.number);
        if (pupil.name.isEmpty() && pupil.movedIn.isNull() && pupil.movedOut.isNull())
            continue;
        QString text = QString::number(number) + u':' + pupil.name;
        if (pupil.movedIn.isValid())
            text += u'+' + pupil.movedIn.toString(u"MM/dd");
        if (pupil.movedOut.isValid())
            text += u'-' + pupil.movedOut.toString(u"MM/dd");
        out << text;
    }
    return out.join(u' ');
}

const QString april = QStringLiteral("c 1 04/08 学級費 4月分 500");

} // namespace

class TestCollectionRoll : public QObject {
    Q_OBJECT

private slots:
    void countsOn_data() {
        QTest::addColumn<QString>("movedIn");
        QTest::addColumn<QString>("movedOut");
        QTest::addColumn<bool>("counts");
        // The collection is on 04/08.
        QTest::newRow("all year") << QString() << QString() << true;
        QTest::newRow("in before") << "04/07" << QString() << true;
        QTest::newRow("in that day") << "04/08" << QString() << true;
        QTest::newRow("in after") << "04/09" << QString() << false;
        QTest::newRow("out before") << QString() << "04/07" << false;
        QTest::newRow("out that day") << QString() << "04/08" << false;
        QTest::newRow("out after") << QString() << "04/09" << true;
        QTest::newRow("in and out around") << "04/01"
                                           << "04/30" << true;
        QTest::newRow("in after, out after") << "04/10"
                                             << "04/30" << false;
    }
    void countsOn() {
        QFETCH(QString, movedIn);
        QFETCH(QString, movedOut);
        QFETCH(bool, counts);
        Pupil pupil;
        pupil.number = 1;
        if (!movedIn.isEmpty())
            pupil.movedIn = day2026(movedIn);
        if (!movedOut.isEmpty())
            pupil.movedOut = day2026(movedOut);
        QCOMPARE(pupil.countsOn(QDate(2026, 4, 8)), counts);
    }

    void roster_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("grows numbered") << "resize 3"
                                        << "3";
        QTest::newRow("names and moves")
            << QStringLiteral("resize 3; name 1 花子; in 2 04/20; out 3 07/01; name 3 太郎")
            << QStringLiteral("3 1:花子 2:+04/20 3:太郎-07/01");
        QTest::newRow("smaller drops the last")
            << QStringLiteral("resize 3; name 1 a; name 3 c; resize 2") << "2 1:a";
        QTest::newRow("grown again comes back blank")
            << QStringLiteral("resize 3; name 3 c; out 3 05/01; resize 2; resize 3") << "3";
        QTest::newRow("larger keeps names")
            << QStringLiteral("resize 2; name 2 b; resize 4") << "4 2:b";
        QTest::newRow("clamped above") << "resize 5000"
                                       << "200";
        QTest::newRow("clamped below") << "resize 3; resize -1"
                                       << "0";
        QTest::newRow("numbers outside ignored")
            << QStringLiteral("resize 2; name 0 x; name 3 y; in 3 04/01; out -1 04/01") << "2";
    }
    void roster() {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        Session session(0);
        QCOMPARE(session.run(steps), QString());
        QCOMPARE(rosterOf(session.roll.roster()), expected);
    }

    void follow_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("columns");
        const QString may = QStringLiteral("c 2 05/08 学級費 5月分 500");
        QTest::newRow("only collections")
            << april + QStringLiteral("; i 3 04/09 寄付 - 0; e 4 04/10 画用紙 - 300; ") + may +
                   QStringLiteral("; tick 1 3; tick 2 1")
            << "1@500:3 2@500:1";
        QTest::newRow("recorded unpaid")
            << april + QStringLiteral("; tick 1 2; ") + may << "1@500:2 2@500:";
        QTest::newRow("changed keeps ticks")
            << april + QStringLiteral("; tick 1 2; change 1 5 600") << "5@600:2";
        QTest::newRow("undone change keeps later ticks")
            << april + QStringLiteral("; tick 1 2; change 1 5 600; tick 5 4; swap 5 1")
            << "1@500:2,4";
        QTest::newRow("redone change")
            << april + QStringLiteral("; tick 1 2; change 1 5 600; swap 5 1; tick 1 3; swap 1 5")
            << "5@600:2,3";
        QTest::newRow("cleared after change")
            << april + QStringLiteral("; tick 1 2; change 1 5 600; tick 5 2; swap 5 1") << "1@500:";
        QTest::newRow("changed twice, undone twice")
            << april + QStringLiteral("; tick 1 1; change 1 2 600; tick 2 2; change 2 3 700; "
                                      "tick 3 3; swap 3 2; swap 2 1")
            << "1@500:1,2,3";
        QTest::newRow("deleted") << april + QStringLiteral("; ") + may +
                                        QStringLiteral("; tick 2 3; del 2")
                                 << "1@500:";
        QTest::newRow("deleted, undone")
            << april + QStringLiteral("; ") + may + QStringLiteral("; tick 2 3; del 2; put 2")
            << "1@500: 2@500:3";
        QTest::newRow("changed, deleted, both undone")
            << april + QStringLiteral("; tick 1 1; change 1 2 600; del 2; put 2; swap 2 1")
            << "1@500:1";
        QTest::newRow("told of the new key late")
            << april + QStringLiteral("; tick 1 2; late 1 5 600; tick 5 3; swap 5 1")
            << "1@500:2,3";
        QTest::newRow("changed into no collection, undone")
            << april + QStringLiteral("; tick 1 2; change 1 5 0; swap 5 1") << "1@500:2";
        QTest::newRow("reset forgets what was aside")
            << april + QStringLiteral("; tick 1 2; del 1; reset 5; put 1") << "1@500:";
    }
    void follow() {
        QFETCH(QString, steps);
        QFETCH(QString, columns);
        Session session(5);
        QCOMPARE(session.run(steps), QString());
        QCOMPARE(columnsOf(session.roll), columns);
        for (int index = 0; index < session.roll.columnCount(); ++index) {
            const RollColumn& column = session.roll.column(index);
            QCOMPARE(column.ledgerPupils, 30);
            QCOMPARE(column.ledgerAmount, column.id.perPerson * 30);
        }
    }

    void setPaid_data() {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("pupil");
        QTest::addColumn<QString>("calls"); // t toggle, + set paid, - clear
        QTest::addColumn<QString>("changed");
        QTest::addColumn<QString>("columns");
        QTest::newRow("toggled twice") << QString() << 0 << 2 << "tt"
                                       << "11"
                                       << "1@500:";
        QTest::newRow("set twice") << QString() << 0 << 2 << "++"
                                   << "10"
                                   << "1@500:2";
        QTest::newRow("cleared unpaid") << QString() << 0 << 2 << "-"
                                        << "0"
                                        << "1@500:";
        QTest::newRow("moved out before") << "out 3 04/01" << 0 << 3 << "t+"
                                          << "00"
                                          << "1@500:";
        QTest::newRow("moved in later") << "in 3 05/01" << 0 << 3 << "t+"
                                        << "00"
                                        << "1@500:";
        QTest::newRow("number 0") << QString() << 0 << 0 << "t"
                                  << "0"
                                  << "1@500:";
        QTest::newRow("past the roster") << QString() << 0 << 4 << "t"
                                         << "0"
                                         << "1@500:";
        QTest::newRow("no such column") << QString() << 1 << 1 << "t"
                                        << "0"
                                        << "1@500:";
        QTest::newRow("hidden by a later move") << "tick 1 3; out 3 04/01" << 0 << 3 << "-"
                                                << "0"
                                                << "1@500:";
    }
    void setPaid() {
        QFETCH(QString, setUp);
        QFETCH(int, column);
        QFETCH(int, pupil);
        QFETCH(QString, calls);
        QFETCH(QString, changed);
        QFETCH(QString, columns);
        Session session(3);
        QCOMPARE(session.run(april + u';' + setUp), QString());
        QString answers;
        for (const QChar call : calls) {
            const bool done = call == u't' ? session.roll.toggle(column, pupil)
                                           : session.roll.setPaid(column, pupil, call == u'+');
            answers += done ? u'1' : u'0';
        }
        QCOMPARE(answers, changed);
        QCOMPARE(columnsOf(session.roll), columns);
    }

    void foot_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("ledgerPupils");
        QTest::addColumn<int>("perPerson");
        QTest::addColumn<QString>("foot"); // paid/expected money, ! when they disagree
        QTest::newRow("agrees") << "tick 1 1; tick 1 2; tick 1 3" << 3 << 500 << "3/5 1500";
        QTest::newRow("fewer ticks") << "tick 1 1; tick 1 2" << 3 << 500 << "2/5 1000 !";
        QTest::newRow("more ticks") << "tick 1 1; tick 1 2" << 1 << 500 << "2/5 1000 !";
        QTest::newRow("none paid") << QString() << 0 << 500 << "0/5 0";
        QTest::newRow("moved out not counted")
            << "out 5 04/01; tick 1 1; tick 1 2" << 2 << 500 << "2/4 1000";
        QTest::newRow("moved in later not counted")
            << "in 4 04/09; in 5 05/01" << 0 << 500 << "0/3 0";
        QTest::newRow("tick hidden by a move")
            << "tick 1 1; tick 1 2; out 2 04/08" << 2 << 500 << "1/4 500 !";
        QTest::newRow("money past 32 bits")
            << "tick 1 1; tick 1 2; tick 1 3" << 3 << 2000000000 << "3/5 6000000000";
    }
    void foot() {
        QFETCH(QString, steps);
        QFETCH(int, ledgerPupils);
        QFETCH(int, perPerson);
        QFETCH(QString, foot);
        Session session(5);
        const QString collection =
            QStringLiteral("c 1 04/08 学級費 4月分 %1; change 1 2 %1").arg(perPerson);
        QCOMPARE(session.run(collection), QString());
        // The column follows the entry's 生徒の数 as recorded.
        ArticlePtr ledger = ledgerOf(QStringLiteral("c 2 04/08 学級費 4月分 %1").arg(perPerson));
        ledger->nextArticle()->setTaStudentsNumber(std::int16_t(ledgerPupils));
        session.roll.follow(ledger);
        QCOMPARE(session.run(steps.replace(QStringLiteral("tick 1"), QStringLiteral("tick 2"))),
                 QString());
        const CollectionRoll::Foot shown = session.roll.foot(0);
        QCOMPARE(QStringLiteral("%1/%2 %3%4")
                     .arg(shown.paid)
                     .arg(shown.expected)
                     .arg(shown.money)
                     .arg(shown.disagrees ? u" !" : u""),
                 foot);
    }

    void owed_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("owed"); // pupils 1 to 4 (4 is not in the class)
        QTest::newRow("nobody paid") << QString() << "2200 2200 2200 0";
        QTest::newRow("some paid") << "tick 1 1; tick 2 1; tick 3 2"
                                   << "1000 1200 2200 0";
        QTest::newRow("all paid")
            << "tick 1 1; tick 2 1; tick 3 1; tick 1 2; tick 2 2; tick 3 2; tick 1 3; tick 2 3; "
               "tick 3 3"
            << "0 0 0 0";
        QTest::newRow("moved in in May") << "in 3 05/01"
                                         << "2200 2200 1700 0";
        QTest::newRow("moved out after May's") << "out 2 05/10"
                                               << "2200 1200 2200 0";
        QTest::newRow("moved out, paid before") << "tick 1 2; out 2 05/10"
                                                << "2200 700 2200 0";
    }
    void owed() {
        QFETCH(QString, steps);
        QFETCH(QString, owed);
        Session session(3);
        QCOMPARE(session.run(QStringLiteral("c 1 04/08 学級費 - 500; e 9 04/09 画用紙 - 100; "
                                            "c 2 05/08 学級費 - 700; c 3 06/08 教材費 - 1000; ") +
                             steps),
                 QString());
        QStringList amounts;
        for (int pupil = 1; pupil <= 4; ++pupil)
            amounts << QString::number(session.roll.owed(pupil));
        QCOMPARE(amounts.join(u' '), owed);
    }

    void inUse_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("inUse");
        QTest::newRow("fresh") << QString() << false;
        QTest::newRow("a name") << QStringLiteral("name 2 花子") << true;
        QTest::newRow("a move in") << "in 1 05/01" << true;
        QTest::newRow("a move out") << "out 1 05/01" << true;
        QTest::newRow("a tick") << "tick 1 2" << true;
        QTest::newRow("a tick cleared") << "tick 1 2; tick 1 2" << false;
        QTest::newRow("roster edited") << "edited" << true;
        QTest::newRow("resized without the teacher") << "resize 40" << false;
        QTest::newRow("tick of a deleted collection") << "tick 1 2; del 1" << false;
        QTest::newRow("reset") << QStringLiteral("tick 1 2; name 1 x; edited; reset 4") << false;
    }
    void inUse() {
        QFETCH(QString, steps);
        QFETCH(bool, inUse);
        Session session(3);
        QCOMPARE(session.run(april + u';' + steps), QString());
        QCOMPARE(session.roll.inUse(), inUse);
    }
};

QTEST_GUILESS_MAIN(TestCollectionRoll)
#include "tst_collectionroll.moc"
