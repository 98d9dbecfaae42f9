// The item history file "Sorobe.ini": its exact bytes, reading it back through
// the history's own merge and ageing, damaged files, failed saves and where
// the file lives.

#include "Cp932.h"
#include "FileSizeLimit.h"
#include "GeneralDate.h"
#include "ItemHistoryFile.h"
#include "SorobeSelection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <random>

using namespace sorobe;

namespace {

struct Record {
    QString name;
    std::int16_t count;
    double serial;
};

double serialOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime::fromDate(year, month, day).serial() +
           (hour * 3600 + minute * 60 + second) / 86400.0;
}

// A history in exactly the given order, not through the merge.
SelectionPtr historyOf(const QList<Record>& records) {
    SelectionPtr head = SorobeSelection::create();
    SorobeSelection* last = head.get();
    for (const Record& r : records) {
        SelectionPtr node = SorobeSelection::create(r.name, r.count, DateTime(r.serial));
        last->insertSelection(node);
        last = node.get();
    }
    return head;
}

// "name|count|date" per record, in list order.
QStringList contents(const SelectionPtr& head) {
    QStringList out;
    for (SelectionPtr r = head->nextSelection(); r; r = r->nextSelection())
        out << QStringLiteral("%1|%2|%3")
                   .arg(r->tsArticle())
                   .arg(r->tsCount())
                   .arg(formatGeneralDate(r->tsDate()));
    return out;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("(unreadable)");
    return file.readAll();
}

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The lines in code page 932, each ended by `lineEnd`.
QByteArray fileOf(const QStringList& lines, const QByteArray& lineEnd = "\r\n") {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += encodeCp932(line).bytes + lineEnd;
    return bytes;
}

QString fixture(const QString& name) {
    return QStringLiteral(SOROBE_TEST_DATA "/itemhistory/") + name;
}

// The histories the fixture file was written from by hand, with what has to be
// left out and characters typed in their Linux forms (〜 and −).
SelectionPtr fixtureIncome() {
    return historyOf({{u"学級費"_qs, 2, serialOf(2002, 7, 21)},
                      {u"𠮷野家"_qs, 1, serialOf(2002, 7, 21)},
                      {u"遠足代"_qs, 1, serialOf(2002, 7, 21, 9, 5, 0)},
                      {u"ｶﾞｲﾄﾞ"_qs, 1, serialOf(2003, 1, 10)},
                      {u"Supply"_qs, 1, serialOf(2002, 7, 1)},
                      {u"①〜⑩"_qs, -1, serialOf(2002, 4, 1)}});
}

SelectionPtr fixtureSupply() {
    return historyOf({{u"画用紙"_qs, 7, serialOf(2002, 5, 5)},
                      {u"改行\nあり"_qs, 1, serialOf(2002, 5, 6)},
                      {u"髙橋文具"_qs, 3, serialOf(2002, 12, 24, 23, 59, 59)},
                      {u"ﾉｰﾄ−2冊"_qs, 1, serialOf(2002, 6, 30)}});
}

const QStringList fixtureIncomeRead{u"学級費|2|2002/07/21"_qs, u"遠足代|1|2002/07/21 9:05:00"_qs,
                                    u"ｶﾞｲﾄﾞ|1|2003/01/10"_qs, u"①～⑩|-1|2002/04/01"_qs};
const QStringList fixtureSupplyRead{u"画用紙|7|2002/05/05"_qs, u"髙橋文具|3|2002/12/24 23:59:59"_qs,
                                    u"ﾉｰﾄ－2冊|1|2002/06/30"_qs};

} // namespace

class TestItemHistoryFile : public QObject {
    Q_OBJECT

private slots:
    void savedFileMatchesHandWrittenBytes() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sorobe.ini"_qs);
        const QByteArray expected = fileBytes(fixture(u"history.ini"_qs));
        QVERIFY(expected.startsWith("Income\r\n"));

        QString reason;
        QVERIFY(saveItemHistory(fixtureIncome(), fixtureSupply(), path, &reason));
        QVERIFY(reason.isEmpty());
        QCOMPARE(fileBytes(path), expected);
        // Saved again over the first file: the same bytes.
        QVERIFY(saveItemHistory(fixtureIncome(), fixtureSupply(), path));
        QCOMPARE(fileBytes(path), expected);
    }

    void handWrittenFileReadsBack() {
        SelectionPtr income = SorobeSelection::create();
        SelectionPtr supply = SorobeSelection::create();
        loadItemHistory(income, supply, fixture(u"history.ini"_qs), QDate(2004, 12, 31));
        QCOMPARE(contents(income), fixtureIncomeRead);
        QCOMPARE(contents(supply), fixtureSupplyRead);

        // What was read writes the same file again.
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sorobe.ini"_qs);
        QVERIFY(saveItemHistory(income, supply, path));
        QCOMPARE(fileBytes(path), fileBytes(fixture(u"history.ini"_qs)));
    }

    void emptyHistoriesWriteSectionLinesOnly() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sorobe.ini"_qs);
        QVERIFY(saveItemHistory(SorobeSelection::create(), SorobeSelection::create(), path));
        QCOMPARE(fileBytes(path), QByteArray("Income\r\nSupply\r\n"));
    }

    // "Supply" as an income name would turn the rest of the file into expense
    // records and lose them; leaving that one name out keeps the others.
    void nameSupplyLeftOutKeepsTheRest() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sorobe.ini"_qs);
        const double day = serialOf(2004, 5, 1);
        QVERIFY(saveItemHistory(
            historyOf({{u"A"_qs, 1, day}, {u"Supply"_qs, 1, day}, {u"B"_qs, 1, day}}),
            historyOf({{u"Supply"_qs, 1, day}, {u"C"_qs, 1, day}}), path));
        SelectionPtr income = SorobeSelection::create();
        SelectionPtr supply = SorobeSelection::create();
        loadItemHistory(income, supply, path, QDate(2004, 6, 1));
        QCOMPARE(contents(income), (QStringList{u"A|1|2004/05/01"_qs, u"B|1|2004/05/01"_qs}));
        QCOMPARE(contents(supply), QStringList{u"C|1|2004/05/01"_qs});
    }

    void load_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("income");
        QTest::addColumn<QStringList>("supply");
        const QDate june2004(2004, 6, 1);
        const QStringList a{u"A|1|2004/05/01"_qs};
        const QStringList none;

        const QStringList wellFormed{u"Income"_qs,
                                     u"A"_qs,
                                     u" 1"_qs,
                                     u"2004/05/01"_qs,
                                     u"B"_qs,
                                     u" 2"_qs,
                                     u"2004/05/02 8:30:00"_qs,
                                     u"Supply"_qs,
                                     u"C"_qs,
                                     u" 3"_qs,
                                     u"2004/05/03"_qs};
        const QStringList wellIncome{u"A|1|2004/05/01"_qs, u"B|2|2004/05/02 8:30:00"_qs};
        const QStringList wellSupply{u"C|3|2004/05/03"_qs};
        QTest::newRow("well formed") << fileOf(wellFormed) << june2004 << wellIncome << wellSupply;
        QTest::newRow("LF alone") << fileOf(wellFormed, "\n") << june2004 << wellIncome
                                  << wellSupply;
        QTest::newRow("no line end after the last date")
            << fileOf(wellFormed).chopped(2) << june2004 << wellIncome << wellSupply;
        QTest::newRow("Japanese names")
            << QByteArray("Income\r\n\x8a\x77\x8b\x89\x94\xef\r\n 2\r\n2004/04/10\r\n"
                          "Supply\r\n\x83\x6d\x81\x5b\x83\x67\r\n 1\r\n2004/04/11\r\n")
            << june2004 << QStringList{u"学級費|2|2004/04/10"_qs}
            << QStringList{u"ノート|1|2004/04/11"_qs};

        // A name unused since three calendar years before today goes, one per
        // new name read: with today in 2005, 2002 and earlier are too old.
        const QStringList ageing{
            u"Income"_qs,   u"old2002"_qs,    u" 1"_qs,        u"2002/12/31"_qs, u"keep2003"_qs,
            u" 1"_qs,       u"2003/01/01"_qs, u"old2001"_qs,   u" 4"_qs,         u"2001/06/01"_qs,
            u"keep2005"_qs, u" 1"_qs,         u"2005/01/01"_qs};
        QTest::newRow("ageing in 2005")
            << fileOf(ageing) << QDate(2005, 1, 15)
            << QStringList{u"keep2003|1|2003/01/01"_qs, u"keep2005|1|2005/01/01"_qs} << none;
        QTest::newRow("ageing in 2004")
            << fileOf(ageing) << QDate(2004, 12, 31)
            << QStringList{u"old2002|1|2002/12/31"_qs, u"keep2003|1|2003/01/01"_qs,
                           u"keep2005|1|2005/01/01"_qs}
            << none;

        QTest::newRow("duplicate names merged")
            << fileOf({u"Income"_qs, u"ノート"_qs, u" 1"_qs, u"2004/05/01"_qs, u"のり"_qs, u" 1"_qs,
                       u"2004/05/02"_qs, u"ノート"_qs, u" 1"_qs, u"2004/06/01"_qs})
            << june2004 << QStringList{u"ノート|2|2004/06/01"_qs, u"のり|1|2004/05/02"_qs} << none;
        // The name "Supply" is the section line: the record after it is read
        // out of step and the read ends at its date.
        QTest::newRow("income item named Supply")
            << fileOf({u"Income"_qs, u"A"_qs, u" 1"_qs, u"2004/05/01"_qs, u"Supply"_qs, u" 1"_qs,
                       u"2004/05/02"_qs, u"B"_qs, u" 1"_qs, u"2004/05/03"_qs, u"Supply"_qs, u"C"_qs,
                       u" 1"_qs, u"2004/05/04"_qs})
            << june2004 << a << none;
        QTest::newRow("Supply line in the expense section skipped")
            << fileOf({u"Income"_qs, u"Supply"_qs, u"C"_qs, u" 1"_qs, u"2004/05/03"_qs,
                       u"Supply"_qs, u"D"_qs, u" 1"_qs, u"2004/05/04"_qs})
            << june2004 << none << QStringList{u"C|1|2004/05/03"_qs, u"D|1|2004/05/04"_qs};
        QTest::newRow("section lines only")
            << QByteArray("Income\r\nSupply\r\n") << june2004 << none << none;
        for (const char* first : {"income", " Income", "Income ", "Supply", ""}) {
            QTest::addRow("first line \"%s\"", first)
                << (QByteArray(first) + "\r\nA\r\n 1\r\n2004/05/01\r\n") << june2004 << none
                << none;
        }

        const QStringList aThen{u"Income"_qs, u"A"_qs, u" 1"_qs, u"2004/05/01"_qs, u"B"_qs};
        QTest::newRow("count above 16 bits")
            << fileOf(aThen + QStringList{u" 32768"_qs, u"2004/05/02"_qs, u"C"_qs, u" 1"_qs,
                                          u"2004/05/03"_qs})
            << june2004 << a << none;
        QTest::newRow("count below 16 bits")
            << fileOf(aThen + QStringList{u"-32769"_qs, u"2004/05/02"_qs}) << june2004 << a << none;
        QTest::newRow("counts at the 16-bit ends")
            << fileOf(aThen + QStringList{u" 32767"_qs, u"2004/05/02"_qs, u"C"_qs, u"-32768"_qs,
                                          u"2004/05/03"_qs})
            << june2004
            << QStringList{u"A|1|2004/05/01"_qs, u"B|32767|2004/05/02"_qs,
                           u"C|-32768|2004/05/03"_qs}
            << none;
        QTest::newRow("count by the leading-number rule")
            << fileOf(aThen + QStringList{u"abc"_qs, u"2004/05/02"_qs, u"C"_qs, u" 1 2 "_qs,
                                          u"2004/05/03"_qs, u"D"_qs, u"3x"_qs, u"2004/05/04"_qs})
            << june2004
            << QStringList{u"A|1|2004/05/01"_qs, u"B|0|2004/05/02"_qs, u"C|12|2004/05/03"_qs,
                           u"D|3|2004/05/04"_qs}
            << none;
        QTest::newRow("date line that is no date")
            << fileOf(aThen +
                      QStringList{u" 1"_qs, u"2004/13/01"_qs, u"C"_qs, u" 1"_qs, u"2004/05/03"_qs})
            << june2004 << a << none;
        QTest::newRow("file ends after a name line") << fileOf(aThen) << june2004 << a << none;
        QTest::newRow("file ends after a count line")
            << fileOf(aThen + QStringList{u" 1"_qs}) << june2004 << a << none;
        QTest::newRow("file ends after the Supply line")
            << fileOf({u"Income"_qs, u"A"_qs, u" 1"_qs, u"2004/05/01"_qs, u"Supply"_qs}) << june2004
            << a << none;
        QTest::newRow("unreadable bytes in a name")
            << QByteArray("Income\r\nA\r\n 1\r\n2004/05/01\r\n\x82\r\n 1\r\n2004/05/02\r\n"
                          "C\r\n 1\r\n2004/05/03\r\n")
            << june2004 << a << none;
        // A CR the file cannot hold again: the name is left out, not the rest.
        QTest::newRow("names holding a CR")
            << QByteArray("Income\r\nA\r\n 1\r\n2004/05/01\r\nB\rb\r\n 1\r\n2004/05/02\r\n"
                          "C\r\n 1\r\n2004/05/03\r\nSupply\r\nD\r\r\n 1\r\n2004/05/04\r\n"
                          "E\r\n 1\r\n2004/05/05\r\n")
            << june2004 << QStringList{u"A|1|2004/05/01"_qs, u"C|1|2004/05/03"_qs}
            << QStringList{u"E|1|2004/05/05"_qs};
        QTest::newRow("unreadable bytes in a date")
            << QByteArray("Income\r\nA\r\n 1\r\n2004/05/01\r\nSupply\r\nB\r\n 1\r\n"
                          "2004/05/02\x80\r\n")
            << june2004 << a << none;
    }

    void load() {
        QFETCH(QByteArray, file);
        QFETCH(QDate, today);
        QFETCH(QStringList, income);
        QFETCH(QStringList, supply);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sorobe.ini"_qs);
        QVERIFY(putFile(path, file));
        SelectionPtr incomeHead = SorobeSelection::create();
        SelectionPtr supplyHead = SorobeSelection::create();
        loadItemHistory(incomeHead, supplyHead, path, today);
        QCOMPARE(contents(incomeHead), income);
        QCOMPARE(contents(supplyHead), supply);

        // The bytes already in memory read as the file does.
        SelectionPtr incomeFromBytes = SorobeSelection::create();
        SelectionPtr supplyFromBytes = SorobeSelection::create();
        parseItemHistory(incomeFromBytes, supplyFromBytes, file, today);
        QCOMPARE(contents(incomeFromBytes), income);
        QCOMPARE(contents(supplyFromBytes), supply);
    }

    // A long history file read at once gives the lists that feeding its
    // records one by one through the single merge gives: names coming back,
    // counts and dates tied, aged names, and lists that already hold names.
    void loadMergesAsRecordByRecord_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("names");    // distinct names the records are drawn from
        QTest::addColumn<QString>("held"); // names in the lists before the load, "|" apart
        QTest::newRow("every name once") << 1u << 3000 << 1000000 << QString();
        QTest::newRow("names coming back") << 2u << 3000 << 700 << QString();
        QTest::newRow("few names, many ties") << 3u << 2000 << 40 << QString();
        QTest::newRow("into held names") << 4u << 2000 << 300 << u"品目7|品目12|他"_qs;
        QTest::newRow("into a name held twice") << 5u << 500 << 100 << u"品目3|他|品目3"_qs;
    }

    void loadMergesAsRecordByRecord() {
        QFETCH(unsigned, seed);
        QFETCH(int, records);
        QFETCH(int, names);
        QFETCH(QString, held);
        const QDate today(2004, 6, 1);
        std::mt19937 random(seed);
        auto pick = [&random](int below) {
            return std::uniform_int_distribution<int>(0, below - 1)(random);
        };
        auto heldLists = [&held] {
            QList<Record> records;
            if (!held.isEmpty())
                for (const QString& name : held.split(u'|'))
                    records.append({name, 2, serialOf(2003, 3, 3)});
            return historyOf(records);
        };

        QStringList lines{u"Income"_qs};
        const SelectionPtr expectedIncome = heldLists();
        const SelectionPtr expectedSupply = heldLists();
        SelectionPtr section = expectedIncome;
        for (int i = 0; i < records; ++i) {
            if (i == records / 2) {
                lines << u"Supply"_qs;
                section = expectedSupply;
            }
            const QString name = u"品目%1"_qs.arg(pick(names));
            // Counts of a handful of values, now and then the highest; years
            // around the three-year limit; few days, so dates tie.
            const auto count = static_cast<std::int16_t>(pick(50) == 0 ? 32767 : pick(6) - 1);
            const DateTime date = DateTime::fromDate(2000 + pick(5), 1 + pick(2), 1 + pick(3));
            lines << name << (count < 0 ? u""_qs : u" "_qs) + QString::number(count)
                  << formatGeneralDate(date);
            section->appendSelectionWithCount(SorobeSelection::create(name, count, date), today);
        }

        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sorobe.ini"_qs);
        QVERIFY(putFile(path, fileOf(lines)));
        const SelectionPtr income = heldLists();
        const SelectionPtr supply = heldLists();
        loadItemHistory(income, supply, path, today);
        QVERIFY(!contents(expectedIncome).isEmpty());
        QCOMPARE(contents(income), contents(expectedIncome));
        QCOMPARE(contents(supply), contents(expectedSupply));
    }

    // The file is merged into what the lists hold.
    void loadAddsToTheLists() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sorobe.ini"_qs);
        QVERIFY(putFile(path, fileOf({u"Income"_qs, u"A"_qs, u" 1"_qs, u"2004/05/03"_qs})));
        SelectionPtr income =
            historyOf({{u"B"_qs, 3, serialOf(2004, 5, 1)}, {u"A"_qs, 1, serialOf(2004, 5, 2)}});
        SelectionPtr supply = SorobeSelection::create();
        loadItemHistory(income, supply, path, QDate(2004, 6, 1));
        QCOMPARE(contents(income), (QStringList{u"B|3|2004/05/01"_qs, u"A|2|2004/05/03"_qs}));
        QCOMPARE(contents(supply), QStringList{});
    }

    void unreadablePlacesReadNothing_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("missing file") << u"Sorobe.ini"_qs;
        QTest::newRow("folder") << u"folder"_qs;
        QTest::newRow("parent is a regular file") << u"plain/Sorobe.ini"_qs;
    }

    void unreadablePlacesReadNothing() {
        QFETCH(QString, relativePath);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_qs));
        QVERIFY(putFile(dir.filePath(u"plain"_qs), QByteArray("Income\r\n")));
        SelectionPtr income = SorobeSelection::create();
        SelectionPtr supply = SorobeSelection::create();
        loadItemHistory(income, supply, dir.filePath(relativePath), QDate(2004, 6, 1));
        QVERIFY(!income->nextSelection());
        QVERIFY(!supply->nextSelection());
    }

    void saveFailsAndKeepsWhatWasThere_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("parent is a regular file") << u"plain/Sorobe.ini"_qs;
        QTest::newRow("target is a folder") << u"folder"_qs;
    }

    // Tests run as root, for whom permissions do not stop a write: a path
    // that cannot become a file does.
    void saveFailsAndKeepsWhatWasThere() {
        QFETCH(QString, relativePath);
        QTemporaryDir dir;
        QDir root(dir.path());
        QVERIFY(root.mkdir(u"folder"_qs));
        QVERIFY(putFile(root.filePath(u"folder/Sorobe.ini"_qs), QByteArray("old")));
        QVERIFY(putFile(root.filePath(u"plain"_qs), QByteArray("plain")));

        QString reason;
        QVERIFY(!saveItemHistory(fixtureIncome(), fixtureSupply(), root.filePath(relativePath),
                                 &reason));
        QVERIFY(reason.startsWith(u"「"_qs));
        QVERIFY(QFileInfo(root.filePath(u"folder"_qs)).isDir());
        QCOMPARE(fileBytes(root.filePath(u"folder/Sorobe.ini"_qs)), QByteArray("old"));
        QCOMPARE(fileBytes(root.filePath(u"plain"_qs)), QByteArray("plain"));
        QCOMPARE(root.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{u"folder"_qs, u"plain"_qs}));
    }

    // A disk that fills up halfway through the save leaves the old history.
    void shortWriteKeepsOldHistory() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sorobe.ini"_qs);
        const QByteArray old("Income\r\nold\r\n 1\r\n2004/05/01\r\nSupply\r\n");
        QVERIFY(putFile(path, old));
        bool saved = true;
        bool limited = false;
        QString reason;
        {
            FileSizeLimit limit(64);
            limited = limit.active();
            saved = saveItemHistory(fixtureIncome(), fixtureSupply(), path, &reason);
        }
        QVERIFY(limited);
        QVERIFY(!saved);
        QVERIFY(!reason.isEmpty());
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Sorobe.ini"_qs});
    }

    // The history is written into the data folder whatever the program's
    // folder allows, and nothing is ever written beside the program.
    void writePathInDataFolder_data() {
        QTest::addColumn<bool>("programFolderUsable");
        QTest::newRow("program folder takes files") << true;
        QTest::newRow("program folder unusable") << false;
    }

    void writePathInDataFolder() {
        QFETCH(bool, programFolderUsable);
        QTemporaryDir dir;
        const QString program = dir.filePath(u"bin"_qs);
        const QString data = dir.filePath(u"data/sorobe"_qs);
        if (programFolderUsable)
            QVERIFY(QDir().mkpath(program));
        else
            QVERIFY(putFile(program, QByteArray("program")));
        const QString path = itemHistoryWritePath(data);
        QCOMPARE(path, data + QStringLiteral("/Sorobe.ini"));
        QVERIFY(QFileInfo(data).isDir());
        QVERIFY(saveItemHistory(SorobeSelection::create(), SorobeSelection::create(), path));
        // Read back from there, whatever the program's folder allows.
        QCOMPARE(itemHistoryReadPath(program, data), path);
    }

    // A Sorobe.ini beside the program is read only while the data folder has
    // none: that is how an older copy's history is taken over.
    void readPath_data() {
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<bool>("inDataFolder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("only beside the program: taken over") << true << false << u"bin"_qs;
        QTest::newRow("in both places") << true << true << u"data"_qs;
        QTest::newRow("only in the data folder") << false << true << u"data"_qs;
        QTest::newRow("nowhere: where it will be written") << false << false << u"data"_qs;
    }

    void readPath() {
        QFETCH(bool, besideProgram);
        QFETCH(bool, inDataFolder);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QDir root(dir.path());
        QVERIFY(root.mkdir(u"data"_qs));
        QVERIFY(root.mkdir(u"bin"_qs));
        if (besideProgram)
            QVERIFY(putFile(root.filePath(u"bin/Sorobe.ini"_qs), QByteArray("Income\r\n")));
        if (inDataFolder)
            QVERIFY(putFile(root.filePath(u"data/Sorobe.ini"_qs), QByteArray("Income\r\n")));
        QCOMPARE(itemHistoryReadPath(root.filePath(u"bin"_qs), root.filePath(u"data"_qs)),
                 root.filePath(expected + QStringLiteral("/Sorobe.ini")));
    }
};

QTEST_GUILESS_MAIN(TestItemHistoryFile)
#include "tst_itemhistoryfile.moc"
