// The roll's file beside the ledger: its name, its exact bytes, the backup,
// every damaged file refused with its line, and a stored roll meeting a
// ledger that was changed by another copy of the program.

#include "RollFile.h"
#include "RollTestData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sorobe;
using namespace sorobe::test;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QString sampleLedger =
    QStringLiteral("c 11 04/08 学級費 - 500, i 12 04/09 寄付 - 0, "
                   "e 13 04/10 画用紙 - 300, c 14 05/08 教材費 ドリル 1250");

// The roll tests/data/roll/sample.roll holds, for sampleLedger.
CollectionRoll sampleRoll(const ArticlePtr& ledger) {
    CollectionRoll roll;
    roll.reset(4);
    roll.markRosterEdited();
    roll.follow(ledger);
    roll.roster().setName(1, QStringLiteral("山田 花子"));
    // Backslashes before t and n, as well as a tab and a line break.
    roll.roster().setName(2, QStringLiteral("A\\t組\tの\\n次\n行"));
    roll.roster().setMovedOut(2, QDate(2026, 7, 20));
    roll.roster().setMovedIn(3, QDate(2026, 5, 1));
    roll.setPaid(0, 1, true);
    roll.setPaid(0, 2, true);
    roll.setPaid(1, 3, true);
    roll.setPaid(1, 1, true);
    return roll;
}

QByteArray sampleBytes() {
    return fileBytes(QStringLiteral(SOROBE_TEST_DATA "/roll/sample.roll"));
}

// A file of three pupils with these collections: "MM/dd perPerson item
// sub-item paid" each, separated by commas, "-" for an empty sub-item or
// nobody paid; positions 1, 2, ….
QByteArray storedText(const QString& collections) {
    QString text = QStringLiteral("SOROBE-ROLL\t1\nPUPILS\t3\tplain\n");
    int position = 0;
    for (const QString& spec : collections.split(u',', Qt::SkipEmptyParts)) {
        const QStringList field = spec.trimmed().split(u' ');
        const auto orEmpty = [](const QString& value) {
            return value == u"-" ? QString() : value;
        };
        text += QStringLiteral("COLLECTION\t%1\t2026/%2\t%3\t%4\t%5\t%6\n")
                    .arg(++position)
                    .arg(field[0], field[1], field[2], orEmpty(field[3]), orEmpty(field[4]));
    }
    return (text + QStringLiteral("END\n")).toUtf8();
}

} // namespace

class TestRollFile : public QObject {
    Q_OBJECT

private slots:
    void paths_data() {
        QTest::addColumn<QString>("ledger");
        QTest::addColumn<QString>("roll");
        QTest::newRow("year") << QStringLiteral("/home/t/2026年度.txt")
                              << QStringLiteral("/home/t/2026年度.roll");
        QTest::newRow("two dots") << "a.b.txt"
                                  << "a.b.roll";
        QTest::newRow("no extension") << QStringLiteral("帳簿") << QStringLiteral("帳簿.roll");
        QTest::newRow("hidden") << ".hidden"
                                << ".hidden.roll";
        QTest::newRow("dot in a folder")
            << QStringLiteral("/d/会計.2026/帳簿") << QStringLiteral("/d/会計.2026/帳簿.roll");
        QTest::newRow("ending in a dot") << "name."
                                         << "name.roll";
        QTest::newRow("ledger named .roll") << "x.ROLL"
                                            << "x.ROLL.roll";
    }
    void paths() {
        QFETCH(QString, ledger);
        QFETCH(QString, roll);
        QCOMPARE(rollPathFor(ledger), roll);
        QCOMPARE(rollBackupPath(roll), roll + QStringLiteral(".bak"));
    }

    void encode() {
        const ArticlePtr ledger = ledgerOf(sampleLedger);
        QCOMPARE(encodeRoll(sampleRoll(ledger)), sampleBytes());
    }

    // Copies an editor may have touched read as the program wrote them.
    void parse_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("as written") << sampleBytes();
        QTest::newRow("CR LF") << sampleBytes().replace("\n", "\r\n");
        QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + sampleBytes();
        QTest::newRow("END without its line end") << sampleBytes().chopped(1);
    }
    void parse() {
        QFETCH(QByteArray, bytes);
        const RollReadResult read = parseRoll(bytes, QStringLiteral("x.roll"));
        QVERIFY2(read.ok(), qPrintable(read.message));
        CollectionRoll roll;
        QCOMPARE(attachRoll(roll, *read.roll, ledgerOf(sampleLedger)), QStringList());
        QCOMPARE(encodeRoll(roll), sampleBytes());
    }

    void save_data() {
        QTest::addColumn<QByteArray>("before");       // at the path; "dir" a folder
        QTest::addColumn<QByteArray>("backupBefore"); // "link" a link to other.txt beside it
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message"); // %1 the path, %2 its folder
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QByteArray>("backupAfter");
        const QByteArray none("(none)");
        const QByteArray written("(written)");
        QTest::newRow("first") << none << none << "." << QString() << written << none;
        QTest::newRow("backup of the old")
            << QByteArray("old\n") << none << "." << QString() << written << QByteArray("old\n");
        QTest::newRow("link at the backup") << QByteArray("old\n") << QByteArray("link") << "."
                                            << QString() << written << QByteArray("old\n");
        QTest::newRow("folder at the path")
            << QByteArray("dir") << none << "."
            << QStringLiteral(
                   "集金表「%1」に保存できませんでした。同じ名前のフォルダーがあります。")
            << QByteArray("dir") << none;
        QTest::newRow("folder at the backup")
            << QByteArray("old\n") << QByteArray("dir") << "."
            << QStringLiteral("集金表「%1」に保存できませんでした。バックアップを作れません。"
                              "「%1.bak」に書き込めません。同じ名前のフォルダーがあります。")
            << QByteArray("old\n") << QByteArray("dir");
        QTest::newRow("missing folder")
            << none << none << "gone"
            << QStringLiteral(
                   "集金表「%1」に保存できませんでした。保存先のフォルダー「%2」がありません。")
            << none << none;
    }
    void save() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, backupBefore);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFETCH(QByteArray, after);
        QFETCH(QByteArray, backupAfter);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(folder + QStringLiteral("/2026年度.roll"));
        const QString backup = path + QStringLiteral(".bak");
        // What a link at the backup's name leads to is not the roll's to change.
        const QString other = dir.filePath(QStringLiteral("other.txt"));
        QVERIFY(putFile(other, "other\n"));
        for (const auto& [at, bytes] : {std::pair{path, before}, std::pair{backup, backupBefore}}) {
            if (bytes == "dir")
                QVERIFY(QDir().mkpath(at));
            else if (bytes == "link")
                QVERIFY(QFile::link(other, at));
            else if (bytes != "(none)")
                QVERIFY(putFile(at, bytes));
        }
        const ArticlePtr ledger = ledgerOf(sampleLedger);
        const CollectionRoll roll = sampleRoll(ledger);

        const RollSaveResult saved = saveRollFile(path, roll);
        QCOMPARE(saved.ok, message.isEmpty());
        QCOMPARE(
            saved.message,
            message.replace(QStringLiteral("%1"), QDir::toNativeSeparators(path))
                .replace(QStringLiteral("%2"), QDir::toNativeSeparators(dir.filePath(folder))));
        const auto onDisk = [](const QString& at) {
            const QFileInfo info(at);
            return info.isSymLink() ? QByteArray("link")
                   : info.isDir()   ? QByteArray("dir")
                                    : fileBytes(at);
        };
        QCOMPARE(onDisk(path), after == "(written)" ? sampleBytes() : after);
        QCOMPARE(onDisk(backup), backupAfter);
        QCOMPARE(fileBytes(other), QByteArray("other\n"));
        if (!saved.ok)
            return;

        // Read back and put to the same ledger, the roll is the same roll.
        const RollReadResult read = readRollFile(path);
        QVERIFY2(read.ok(), qPrintable(read.message));
        CollectionRoll again;
        QCOMPARE(attachRoll(again, *read.roll, ledger), QStringList());
        QCOMPARE(again.roster(), roll.roster());
        QCOMPARE(again.rosterEdited(), true);
        QCOMPARE(encodeRoll(again), sampleBytes());
    }

    void damaged_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line"); // 0: the file as a whole
        QTest::addColumn<QString>("why");
        const QByteArray head("SOROBE-ROLL\t1\nPUPILS\t3\tplain\n");
        const QByteArray fee("COLLECTION\t1\t2026/04/08\t500\tfee\t\t");
        QTest::newRow("no roll") << QByteArray("SOROBE\t1\n") << 1
                                 << QStringLiteral("集金表のファイルではありません。");
        QTest::newRow("newer version")
            << QByteArray("SOROBE-ROLL\t2\nPUPILS\t3\tplain\nEND\n") << 0
            << QStringLiteral("はこれより新しい版のそろべえで書かれていて、この版では読めません（形"
                              "式の版 2）。");
        QTest::newRow("version unreadable") << QByteArray("SOROBE-ROLL\t1.0\n") << 1
                                            << QStringLiteral("形式の版「1.0」が読めません。");
        QTest::newRow("no END") << head + fee + "1\n"
                                << 4
                                << QStringLiteral(
                                       "END の行がありません。ファイルが途中で切れています。");
        QTest::newRow("cut inside a line")
            << head + fee.left(20) << 3 << QStringLiteral("ファイルがこの行の途中で切れています。");
        QTest::newRow("blank line after END")
            << head + "END\n\n"
            << 4 << QStringLiteral("END の行の後にまだ行があります。");
        QTest::newRow("roster too large")
            << QByteArray("SOROBE-ROLL\t1\nPUPILS\t201\tplain\nEND\n") << 2
            << QStringLiteral("名簿の人数「201」が 0～200 の数ではありません。");
        QTest::newRow("bad number")
            << head + "PUPIL\t 1\tx\t\t\nEND\n"
            << 3 << QStringLiteral("出席番号「 1」が 1 以上の数ではありません。");
        QTest::newRow("pupil number too large")
            << head + "PUPIL\t2\ta\t\t\nPUPIL\t4\tx\t\t\nEND\n"
            << 4 << QStringLiteral("出席番号が名簿の人数を超えています。");
        QTest::newRow("bad date") << head + "PUPIL\t1\tx\t2026/02/30\t\nEND\n"
                                  << 3 << QStringLiteral("転入の日付「2026/02/30」が読めません。");
        QTest::newRow("wrong field count")
            << head + "PUPIL\t1\tx\t\nEND\n"
            << 3 << QStringLiteral("PUPIL の行の項目は 5 個のはずが 4 個あります。");
        QTest::newRow("invalid UTF-8")
            << head + "PUPIL\t1\t\xE5\xAD\t\t\nEND\n"
            << 3 << QStringLiteral("文字として読めないバイトがあります。");
        QTest::newRow("paid past the roster")
            << head + fee + "1,4\nEND\n"
            << 3 << QStringLiteral("納めた人の出席番号が名簿の人数を超えています。");
        QTest::newRow("positions not increasing")
            << head + fee + "\n" + fee + "\nEND\n"
            << 4 << QStringLiteral("集金の順番 1 が前の行の順番より大きくありません。");
        QTest::newRow("too large") << QByteArray(8 * 1024 * 1024 + 1, '\n') << 0
                                   << QStringLiteral("は大きすぎて読めません。");
    }
    void damaged() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, why);
        const RollReadResult read = parseRoll(bytes, QStringLiteral("x.roll"));
        QCOMPARE(read.message,
                 QStringLiteral("集金表「x.roll」") +
                     (line ? QStringLiteral("の %1 行目が読めません：").arg(line) : QString()) +
                     why);
        QVERIFY(!read.ok());
    }

    void attach_data() {
        QTest::addColumn<QString>("collections");
        QTest::addColumn<QString>("ledger");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QStringList>("dropped");
        const QString stored = QStringLiteral(
            "04/08 500 学級費 4月分 1, 05/08 500 学級費 5月分 2, 05/08 1500 教材費 - 3");
        const QString april = QStringLiteral("c 1 04/08 学級費 4月分 500");
        const QString may = QStringLiteral("c 2 05/08 学級費 5月分 500");
        const QString books = QStringLiteral("c 3 05/08 教材費 - 1500");
        QTest::newRow("same ledger") << stored << april + u',' + may + u',' + books
                                     << "1@500:1 2@500:2 3@1500:3" << QStringList();
        QTest::newRow("collection recorded before")
            << stored
            << QStringLiteral("c 9 04/01 教材費 - 800,") + april + u',' + may + u',' + books
            << "9@800: 1@500:1 2@500:2 3@1500:3" << QStringList();
        QTest::newRow("amount per pupil changed")
            << stored << april + u',' + may + QStringLiteral(", c 3 05/08 教材費 - 1600")
            << "1@500:1 2@500:2 3@1600:"
            << QStringList{QStringLiteral("2026/05/08 教材費 ＠1,500")};
        QTest::newRow("deleted") << stored << may + u',' + books << "2@500:2 3@1500:3"
                                 << QStringList{QStringLiteral("2026/04/08 学級費 4月分 ＠500")};
        QTest::newRow("alike, one recorded before")
            << QStringLiteral("04/08 500 学級費 - 1, 04/08 500 学級費 - 2")
            << QStringLiteral("c 5 04/08 学級費 - 500, c 6 04/08 学級費 - 500, c 7 04/08 学級費 - "
                              "500")
            << "5@500:1 6@500:2 7@500:" << QStringList();
        QTest::newRow("alike, one deleted, one recorded before")
            << QStringLiteral("04/08 500 学級費 - 1, 04/08 500 学級費 - 2")
            << QStringLiteral("c 9 04/01 教材費 - 800, c 6 04/08 学級費 - 500") << "9@800: 6@500:1"
            << QStringList{QStringLiteral("2026/04/08 学級費 ＠500")};
        QTest::newRow("alike, one deleted")
            << QStringLiteral("04/01 300 教材費 - -, 04/08 500 学級費 - 1, 04/08 500 学級費 - 2")
            << QStringLiteral("c 6 04/08 学級費 - 500") << "6@500:1"
            << QStringList{QStringLiteral("2026/04/01 教材費 ＠300"),
                           QStringLiteral("2026/04/08 学級費 ＠500")};
    }
    void attach() {
        QFETCH(QString, collections);
        QFETCH(QString, ledger);
        QFETCH(QString, columns);
        QFETCH(QStringList, dropped);
        const RollReadResult read = parseRoll(storedText(collections), QStringLiteral("x.roll"));
        QVERIFY2(read.ok(), qPrintable(read.message));
        // What the roll held before goes: the file's roll takes its place.
        CollectionRoll roll;
        roll.reset(30);
        roll.follow(ledgerOf(QStringLiteral("c 1 04/08 学級費 4月分 500")));
        roll.setPaid(0, 2, true);
        roll.roster().setName(2, QStringLiteral("前の名前"));
        roll.markRosterEdited();
        QCOMPARE(attachRoll(roll, *read.roll, ledgerOf(ledger)), dropped);
        QCOMPARE(columnsOf(roll), columns);
        QCOMPARE(roll.roster(), read.roll->roster);
        QCOMPARE(roll.rosterEdited(), false);
    }
};

QTEST_GUILESS_MAIN(TestRollFile)
#include "tst_rollfile.moc"
