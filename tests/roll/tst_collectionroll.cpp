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
    return QDate(2026, monthDay.left(2).toInt(), monthDay.right(2).toInt());
}

// A ledger changed as the window changes it, and the roll following it.
// Steps, separated by ";":
//   c|i|e key MM/dd item sub perPerson [pupils]   an entry recorded (see entryOf)
//   change old new perPerson   recorded anew under a new key: rekey, then follow
//   late old new perPerson     the same, told of the new key only after follow
//   swap out in                one key out, the other back (undo or redo of a change)
//   del key / put key          an entry deleted, and put back by undo
//   tick key pupil             toggles the pupil in that entry's column
//   name n text / in n MM/dd / out n MM/dd / resize n / edited / reset n
class Session {
public:
    explicit Session(int pupils) { roll.reset(pupils); }

    // Empty when every step ran, else the step that failed.
    QString run(const QString& steps) {
        for (const QString& step : steps.split(u';')) {
            if (!step.trimmed().isEmpty() && !apply(step.trimmed().split(u' ')))
                return step;
        }
        return QString();
    }

    CollectionRoll roll;

private:
    bool apply(const QStringList& word) {
        const QString& verb = word[0];
        const int first = word.value(1).toInt(), second = word.value(2).toInt();
        Roster& roster = roll.roster();
        if (verb == u"change" || verb == u"late") {
            const auto old = std::find_if(m_nodes.begin(), m_nodes.end(),
                                          [&](const ArticlePtr& n) { return n->taKey() == first; });
            ArticlePtr changed = (*old)->cloneArticle();
            changed->setTaKey(second);
            changed->setTaPerPerson(word[3].toInt());
            changed->setTaAmount(amountOf(changed->taPerPerson()));
            m_nodes.insert(old + 1, changed);
            m_absent.push_back(first);
            if (verb == u"change")
                roll.rekey(first, second);
            follow();
            if (verb == u"late")
                roll.rekey(first, second);
            return true;
        }
        if (verb == u"tick") {
            for (int index = 0; index < roll.columnCount(); ++index) {
                if (roll.column(index).key == first)
                    return roll.toggle(index, second);
            }
            return false;
        }
        if (verb == u"name")
            roster.setName(first, word[2]);
        else if (verb == u"in")
            roster.setMovedIn(first, day2026(word[2]));
        else if (verb == u"out")
            roster.setMovedOut(first, day2026(word[2]));
        else if (verb == u"resize")
            roster.resize(first);
        else if (verb == u"edited")
            roll.markRosterEdited();
        else if (verb == u"reset")
            roll.reset(first);
        else if (verb == u"swap") {
            std::erase(m_absent, second);
            m_absent.push_back(first);
        } else if (verb == u"del")
            m_absent.push_back(first);
        else if (verb == u"put")
            std::erase(m_absent, first);
        else
            m_nodes.push_back(entryOf(word.join(u' ')));
        follow();
        return true;
    }

    void follow() {
        ArticlePtr head = SorobeArticle::create();
        SorobeArticle* tail = head.get();
        for (const ArticlePtr& node : m_nodes) {
            node->setTaLink(nullptr);
            if (std::find(m_absent.begin(), m_absent.end(), node->taKey()) == m_absent.end()) {
                tail->setTaLink(node);
                tail = node.get();
            }
        }
        roll.follow(head);
    }

    std::vector<ArticlePtr> m_nodes;
    std::vector<int> m_absent;
};

const QString april = QStringLiteral("c 1 04/08 fee april 500");

} // namespace

class TestCollectionRoll : public QObject {
    Q_OBJECT

private slots:
    // Who counts for a collection of 04/08: in on that day counts, out on that day does not.
    void roster_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("roster"); // size, named or moved pupils | those not counting
        QTest::newRow("grows numbered") << "resize 3"
                                        << "3 |";
        QTest::newRow("moves around the day")
            << "resize 6; in 1 04/07; in 2 04/08; in 3 04/09; out 4 04/07; out 5 04/08; "
               "out 6 04/09; in 6 04/01"
            << "6 1:+04/07 2:+04/08 3:+04/09 4:-04/07 5:-04/08 6:+04/01-04/09 | 3 4 5";
        QTest::newRow("smaller drops the last, larger adds blanks")
            << "resize 3; name 1 a; name 3 c; out 3 04/01; resize 2; resize 4"
            << "4 1:a |";
        QTest::newRow("clamped") << "resize 5000"
                                 << "200 |";
        QTest::newRow("numbers outside") << "resize 2; name 0 x; name 3 y; in 3 04/01"
                                         << "2 |";
    }
    void roster() {
        QFETCH(QString, steps);
        QFETCH(QString, roster);
        Session session(0);
        QCOMPARE(session.run(steps), QString());
        const Roster& shown = session.roll.roster();
        QStringList described{QString::number(shown.size())}, absent;
        for (int number = 1; number <= shown.size(); ++number) {
            const Pupil& pupil = shown.pupil(number);
            QCOMPARE(pupil.number, number);
            QString text = QString::number(number) + u':' + pupil.name;
            if (pupil.movedIn.isValid())
                text += u'+' + pupil.movedIn.toString(u"MM/dd");
            if (pupil.movedOut.isValid())
                text += u'-' + pupil.movedOut.toString(u"MM/dd");
            if (text.size() > QString::number(number).size() + 1)
                described << text;
            if (!pupil.countsOn(QDate(2026, 4, 8)))
                absent << QString::number(number);
        }
        QCOMPARE((described << u"|"_qs << absent).join(u' '), roster);
    }

    void follow_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("columns");
        const QString may = QStringLiteral("; c 2 05/08 fee may 500");
        QTest::newRow("only collections")
            << april + "; i 3 04/09 gift - 0; e 4 04/10 paper - 300" + may + "; tick 1 3; tick 2 1"
            << "1@500:3 2@500:1";
        QTest::newRow("changed") << april + "; tick 1 2; change 1 5 600"
                                 << "5@600:2";
        QTest::newRow("change undone, later ticks kept")
            << april + "; tick 1 2; change 1 5 600; tick 5 4; tick 5 2; swap 5 1"
            << "1@500:4";
        QTest::newRow("change redone")
            << april + "; tick 1 2; change 1 5 600; swap 5 1; tick 1 3; swap 1 5"
            << "5@600:2,3";
        QTest::newRow("changed twice, undone twice")
            << april + "; tick 1 1; change 1 2 600; tick 2 2; change 2 3 700; tick 3 3; "
                       "swap 3 2; swap 2 1"
            << "1@500:1,2,3";
        QTest::newRow("delete undone") << april + may + "; tick 2 3; del 2; put 2"
                                       << "1@500: 2@500:3";
        QTest::newRow("changed, deleted, both undone")
            << april + "; tick 1 1; change 1 2 600; del 2; put 2; swap 2 1"
            << "1@500:1";
        QTest::newRow("told of the new key late")
            << april + "; tick 1 2; late 1 5 600; tick 5 3; swap 5 1"
            << "1@500:2,3";
        QTest::newRow("reset forgets what was aside") << april + "; tick 1 2; del 1; reset 5; put 1"
                                                      << "1@500:";
    }
    void follow() {
        QFETCH(QString, steps);
        QFETCH(QString, columns);
        Session session(5);
        QCOMPARE(session.run(steps), QString());
        QCOMPARE(columnsOf(session.roll), columns);
        for (int index = 0; index < session.roll.columnCount(); ++index) {
            QCOMPARE(session.roll.column(index).ledgerPupils, 30);
            QCOMPARE(session.roll.column(index).ledgerAmount,
                     amountOf(session.roll.column(index).id.perPerson));
        }
    }

    void setPaid_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("pupil");
        QTest::addColumn<QString>("calls"); // t toggle, + set paid, - clear
        QTest::addColumn<QString>("changed");
        QTest::addColumn<QString>("columns");
        QTest::newRow("toggled twice") << QString() << 0 << 2 << "tt"
                                       << "11"
                                       << "1@500:";
        QTest::newRow("set twice") << QString() << 0 << 2 << "++-"
                                   << "101"
                                   << "1@500:";
        QTest::newRow("moved out before") << "out 3 04/01" << 0 << 3 << "t+"
                                          << "00"
                                          << "1@500:";
        QTest::newRow("outside the roster") << QString() << 0 << 4 << "t"
                                            << "0"
                                            << "1@500:";
        QTest::newRow("no such column") << QString() << 1 << 1 << "t"
                                        << "0"
                                        << "1@500:";
        QTest::newRow("hidden by a move, back when undone")
            << "tick 1 3; out 3 04/01" << 0 << 3 << "-"
            << "0"
            << "1@500:3";
    }
    void setPaid() {
        QFETCH(QString, steps);
        QFETCH(int, column);
        QFETCH(int, pupil);
        QFETCH(QString, calls);
        QFETCH(QString, changed);
        QFETCH(QString, columns);
        Session session(3);
        QCOMPARE(session.run(april + u';' + steps), QString());
        QString answers;
        for (const QChar call : calls)
            answers += (call == u't' ? session.roll.toggle(column, pupil)
                                     : session.roll.setPaid(column, pupil, call == u'+'))
                           ? u'1'
                           : u'0';
        QCOMPARE(answers, changed);
        session.roll.roster().setMovedOut(3, QDate());
        QCOMPARE(columnsOf(session.roll), columns);
    }

    void foot_data() {
        QTest::addColumn<QString>("steps"); // after a collection of 04/08 with 3 pupils
        QTest::addColumn<QString>("foot");  // paid/expected money, ! when they disagree
        QTest::newRow("agrees") << "tick 1 1; tick 1 2; tick 1 3"
                                << "3/5 1500";
        QTest::newRow("fewer ticks") << "tick 1 1; tick 1 2"
                                     << "2/5 1000 !";
        QTest::newRow("moved out, in later, not counted")
            << "out 5 04/01; in 4 04/09; tick 1 1; tick 1 2; tick 1 3"
            << "3/3 1500";
        QTest::newRow("tick hidden by a move") << "tick 1 1; tick 1 2; out 2 04/08"
                                               << "1/4 500 !";
        QTest::newRow("not started yet") << ""
                                         << "0/5 0";
        QTest::newRow("money past 32 bits") << "change 1 2 2000000000; tick 2 1; tick 2 2; tick 2 3"
                                            << "3/5 6000000000";
    }
    void foot() {
        QFETCH(QString, steps);
        QFETCH(QString, foot);
        Session session(5);
        QCOMPARE(session.run(april + " 3; " + steps), QString());
        const CollectionRoll::Foot shown = session.roll.foot(0);
        QCOMPARE(QStringLiteral("%1/%2 %3%4")
                     .arg(shown.paid)
                     .arg(shown.expected)
                     .arg(shown.money)
                     .arg(shown.disagrees ? u" !" : u""),
                 foot);
    }

    // Pupils taken off the roster leave no ticks behind for the pupils who
    // later get their numbers, in live columns and in columns kept aside.
    void ticksOfPupilsTakenOffGo() {
        CollectionRoll roll;
        roll.reset(5);
        const ArticlePtr ledger = ledgerOf("c 1 04/08 fee - 500, c 2 05/08 fee - 700");
        roll.follow(ledger);
        QVERIFY(roll.setPaid(0, 5, true) && roll.setPaid(1, 5, true) && roll.setPaid(1, 2, true));
        ledger->removeNextArticle(); // the April collection leaves: its column goes aside
        roll.follow(ledger);
        roll.roster().resize(3);
        roll.dropTicksBeyond(3);
        roll.roster().resize(5);
        roll.follow(ledgerOf("c 1 04/08 fee - 500, c 2 05/08 fee - 700"));
        QCOMPARE(columnsOf(roll), QStringLiteral("1@500: 2@700:2"));
    }

    void owed_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("owed"); // pupils 1 to 4 (4 is not in the class)
        QTest::newRow("nobody paid") << QString() << "2200 2200 2200 0";
        QTest::newRow("some paid") << "tick 1 1; tick 2 1; tick 3 2"
                                   << "1000 1200 2200 0";
        QTest::newRow("moved in in May") << "in 3 05/01"
                                         << "2200 2200 1700 0";
        QTest::newRow("moved out, paid before") << "tick 1 2; out 2 05/10"
                                                << "2200 700 2200 0";
    }
    void owed() {
        QFETCH(QString, steps);
        QFETCH(QString, owed);
        Session session(3);
        QCOMPARE(session.run("c 1 04/08 fee - 500; e 9 04/09 paper - 100; c 2 05/08 fee - 700; "
                             "c 3 06/08 books - 1000; " +
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
        QTest::newRow("a name") << "name 2 x" << true;
        QTest::newRow("a move") << "out 1 05/01" << true;
        QTest::newRow("a tick") << "tick 1 2" << true;
        QTest::newRow("a tick cleared") << "tick 1 2; tick 1 2" << false;
        QTest::newRow("roster edited") << "edited" << true;
        QTest::newRow("resized, not by hand") << "resize 40" << false;
        QTest::newRow("tick of a deleted collection") << "tick 1 2; del 1" << false;
        QTest::newRow("reset") << "tick 1 2; name 1 x; edited; reset 4" << false;
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
