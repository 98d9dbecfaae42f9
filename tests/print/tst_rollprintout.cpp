#include "PainterPrintSurface.h"
#include "PrintTestData.h"
#include "RollPrintout.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <set>

using namespace sorobe;
using namespace sorobe::test;

namespace {

// An A4 sheet on its side, less the margins.
constexpr double height = 11000.0;

PrintTitles titles(bool classAccount = true, const QString& year = QStringLiteral("令和8年度")) {
    return {classAccount,
            QStringLiteral("市立桜ヶ丘小学校"),
            year,
            QStringLiteral("第１学年"),
            QStringLiteral("１組"),
            QStringLiteral("山田花子"),
            QStringLiteral("さくら子ども会"),
            QStringLiteral("会計 鈴木一郎"),
            QDate()};
}

// A class of pupils named 生徒1…, and a ＠500 collection each month from
// April, the ledger counting the whole class. All who count have paid but
// as marked: "2:1" pupil 2 not column 1 (from 0), "2>3" pupil 2 moved out
// on the day of column 3, "3<1" pupil 3 moved in on that of column 1,
// "#1=2" the ledger counting 2 pupils for column 1.
CollectionRoll makeRoll(int pupils, int collections, const QString& marks = {},
                        const QString& item = QStringLiteral("学級費")) {
    const auto day = [](int column) {
        return QDate(2026, 4, 10).addMonths(column);
    };
    QList<QRegularExpressionMatch> found;
    for (const QString& mark : marks.split(' ', Qt::SkipEmptyParts))
        found << QRegularExpression("^#?(\\d+)([:><=])(\\d+)$").match(mark);
    ArticlePtr ledger = SorobeArticle::create();
    for (int k = 0; k < collections; ++k) {
        int count = pupils;
        for (const auto& m : found)
            count =
                m.captured(2) == "=" && m.captured(1).toInt() == k ? m.captured(3).toInt() : count;
        ArticlePtr entry = collection(day(k), item, QStringLiteral("%1月分").arg(day(k).month()),
                                      500, std::int16_t(count));
        entry->setTaKey(k + 1);
        ledger->addArticle(entry);
    }
    CollectionRoll roll;
    roll.roster().resize(pupils);
    for (int n = 1; n <= pupils; ++n)
        roll.roster().setName(n, QStringLiteral("生徒%1").arg(n));
    roll.follow(ledger);
    for (const auto& m : found) {
        if (m.captured(2) == ">")
            roll.roster().setMovedOut(m.captured(1).toInt(), day(m.captured(3).toInt()));
        if (m.captured(2) == "<")
            roll.roster().setMovedIn(m.captured(1).toInt(), day(m.captured(3).toInt()));
    }
    for (int k = 0; k < collections; ++k) {
        for (int n = 1; n <= pupils; ++n)
            roll.setPaid(k, n, !marks.split(' ').contains(QStringLiteral("%1:%2").arg(n).arg(k)));
    }
    return roll;
}

double yOf(const RecordingPrintSurface& surface, int page, const QString& text) {
    for (const PrintOperation& op : textsOnPage(surface, page))
        if (op.text == text)
            return op.y;
    return -1;
}

// The texts in the row of `text`, left to right, the first `skip` left out.
QString rowOf(const RecordingPrintSurface& surface, int page, const QString& text, int skip = 0) {
    return textsAt(surface, page, yOf(surface, page, text)).mid(skip).join('|');
}

// The table's cells, a row per pupil: a character per collection ('P' 済,
// '-' 「－」, '.' empty) by the middle of its heading 「＠500」, then '|' and the rest.
QStringList cellGrid(const RecordingPrintSurface& surface) {
    std::vector<double> middles;
    for (const PrintOperation& op : textsNamed(surface, QStringLiteral("＠500")))
        middles.push_back(op.x + op.width / 2);
    QStringList grid;
    for (int n = 1; yOf(surface, 0, QStringLiteral("生徒%1").arg(n)) >= 0; ++n) {
        QString row(qsizetype(middles.size()), '.');
        QString rest;
        for (const PrintOperation& op : textsOnPage(surface, 0)) {
            const auto k = std::find_if(middles.begin(), middles.end(), [&](double middle) {
                return qAbs(middle - op.x - op.width / 2) < 1;
            });
            if (qAbs(op.y - yOf(surface, 0, QStringLiteral("生徒%1").arg(n))) > 0.5)
                continue;
            if (k != middles.end())
                row[k - middles.begin()] = op.text == QStringLiteral("済") ? 'P' : op.text[0];
            else if (op.x > middles.back())
                rest = op.text;
        }
        grid << row.replace(QStringLiteral("－"), "-") + '|' + rest;
    }
    return grid;
}

} // namespace

class TestRollPrintout : public QObject {
    Q_OBJECT

private slots:
    void theTitleNamesTheClassOrTheAccount_data() {
        QTest::addColumn<bool>("classAccount");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("side");
        QTest::newRow("class") << true << QStringLiteral("令和8年度")
                               << QStringLiteral("令和8年度 第１学年１組 集金表")
                               << QStringLiteral("市立桜ヶ丘小学校　担任 山田花子");
        QTest::newRow("class, no year")
            << true << QString() << QStringLiteral("第１学年１組 集金表")
            << QStringLiteral("市立桜ヶ丘小学校　担任 山田花子");
        QTest::newRow("another account")
            << false << QStringLiteral("令和8年度") << QStringLiteral("さくら子ども会 集金表")
            << QStringLiteral("市立桜ヶ丘小学校　会計 鈴木一郎");
    }
    void theTitleNamesTheClassOrTheAccount() {
        QFETCH(bool, classAccount);
        QFETCH(QString, year);
        QFETCH(QString, title);
        QFETCH(QString, side);
        RecordingPrintSurface surface(height);
        printRoll(surface, makeRoll(3, 2), titles(classAccount, year));
        const PrintOperation head = textAt(surface, 0, yOf(surface, 0, title), title);
        const PrintOperation keeper = textAt(surface, 0, yOf(surface, 0, side), side);
        QCOMPARE(head.text + keeper.text, title + side);
        QVERIFY(keeper.fontSize < head.fontSize && rightEnd(head) < keeper.x);
        QVERIFY(rightEnd(keeper) <= rollPageWidth);
    }

    // 済 where paid, 「－」 where the pupil was not in the class, each row
    // ending with what is owed; under each column paid / expected, starred
    // when unlike the ledger's 生徒の数 (with a note), and the money.
    void theTableShowsWhoPaidAndAddsItUp_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QStringList>("table");
        QTest::newRow("all paid") << 2 << ""
                                  << QStringList{"PPP|", "PPP|", "2/2|2/2|2/2",
                                                 "1,000|1,000|1,000|0"};
        QTest::newRow("unpaid, ledger has all")
            << 3 << "1:0 2:1 2:2"
            << QStringList{
                   ".PP|500", "P..|1,000", "PPP|", "2/3*|2/3*|2/3*", "1,000|1,000|1,000|1,500",
                   "note"};
        QTest::newRow("ledger has who paid")
            << 3 << "1:0 2:1 2:2 #0=2 #1=2 #2=2"
            << QStringList{".PP|500", "P..|1,000", "PPP|", "2/3|2/3|2/3",
                           "1,000|1,000|1,000|1,500"};
        QTest::newRow("moved out")
            << 2 << "2>1 1:2 #1=1 #2=0"
            << QStringList{"PP.|500", "P--|", "2/2|1/1|0/1", "1,000|500|0|500"};
        QTest::newRow("moved in") << 2 << "1<2 #0=1 #1=1"
                                  << QStringList{"--P|", "PPP|", "1/1|1/1|2/2", "500|500|1,000|0"};
        QTest::newRow("ledger has more")
            << 2 << "#0=5"
            << QStringList{"PPP|", "PPP|", "2/2*|2/2|2/2", "1,000|1,000|1,000|0", "note"};
    }
    void theTableShowsWhoPaidAndAddsItUp() {
        QFETCH(int, pupils);
        QFETCH(QString, marks);
        QFETCH(QStringList, table);
        RecordingPrintSurface surface(height);
        printRoll(surface, makeRoll(pupils, 3, marks), titles());
        QStringList printed = cellGrid(surface);
        printed << rowOf(surface, 0, QStringLiteral("人数"), 1)
                << rowOf(surface, 0, QStringLiteral("金額"), 1);
        if (yOf(surface, 0, QStringLiteral("* 帳簿の生徒の数と合いません")) >
            yOf(surface, 0, QStringLiteral("金額")))
            printed << "note";
        QCOMPARE(printed, table);
    }

    // Collections beyond the sheet's width and pupils beyond its height go
    // on to more sheets, names and headings repeated; 未納額 closes the last
    // collections, the foot the last pupils. A sheet: "<months> <pupils> [foot] [owed]".
    void wideAndLongRollsGoOnToMoreSheets_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::addColumn<QStringList>("sheets");
        QTest::newRow("40 x 12 on one") << 40 << 12 << QStringList{"4-3 1-40 foot owed"};
        QTest::newRow("13 collections")
            << 5 << 13 << QStringList{"4-3 1-5 foot", "4-4 1-5 foot owed"};
        QTest::newRow("45 pupils")
            << 45 << 3 << QStringList{"4-6 1-42 owed", "4-6 43-45 foot owed"};
        QTest::newRow("45 x 25") << 45 << 25 << QStringList{"4-3 1-42",      "4-3 43-45 foot",
                                                            "4-3 1-42",      "4-3 43-45 foot",
                                                            "4-4 1-42 owed", "4-4 43-45 foot owed"};
    }
    void wideAndLongRollsGoOnToMoreSheets() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        QFETCH(QStringList, sheets);
        RecordingPrintSurface surface(height);
        printRoll(surface, makeRoll(pupils, collections), titles());
        QCOMPARE(surface.pageCount(), sheets.size() + 1); // and the 未納一覧
        for (int page = 0; page < sheets.size(); ++page) {
            QStringList months, numbers;
            for (const PrintOperation& op : textsOnPage(surface, page)) {
                if (op.text.endsWith(QStringLiteral("月分")))
                    months << op.text.section(QStringLiteral("月"), 0, 0);
                if (op.text.startsWith(QStringLiteral("生徒"))) // its number beside it
                    numbers << rowOf(surface, page, op.text).section('|', 0, 0);
            }
            QString sheet = months.value(0) + '-' + months.value(months.size() - 1) + ' ' +
                            numbers.value(0) + '-' + numbers.value(numbers.size() - 1);
            sheet += yOf(surface, page, QStringLiteral("人数")) >= 0 ? " foot" : "";
            sheet += yOf(surface, page, QStringLiteral("未納額")) >= 0 ? " owed" : "";
            QCOMPARE(sheet, sheets[page]);
            QCOMPARE(numbers.size(),
                     numbers.value(numbers.size() - 1).toInt() - numbers.value(0).toInt() + 1);
        }
    }

    // The 未納一覧 on a sheet of its own: who owes what and how much, the
    // total under them; a long list in as many lines as it needs.
    void theOwingListNamesWhatIsOwed_data() {
        QTest::addColumn<int>("collections");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QStringList>("rows");
        const QString fee = QStringLiteral("%1月分 学級費 ＠500");
        QTest::newRow("nobody owes")
            << 3 << "" << QStringList{QStringLiteral("未納はありません。")};
        QTest::newRow("two owe") << 3 << "1:0 3:0 3:2"
                                 << QStringList{QStringLiteral("1|生徒1|") + fee.arg(4) + "|500",
                                                QStringLiteral("3|生徒3|") + fee.arg(4) + u'、' +
                                                    fee.arg(6) + "|1,000",
                                                QStringLiteral("合計 2人|1,500")};
        QTest::newRow("moved out owes before")
            << 3 << "3>1 3:0 1:1"
            << QStringList{QStringLiteral("1|生徒1|") + fee.arg(5) + "|500",
                           QStringLiteral("3|生徒3|") + fee.arg(4) + "|500",
                           QStringLiteral("合計 2人|1,000")};
        QStringList fees; // whole collections to a line, five fit
        QString year;
        for (int k = 0; k < 12; ++k) {
            fees << fee.arg((3 + k) % 12 + 1);
            year += QStringLiteral(" 1:%1").arg(k);
        }
        const QString comma = QStringLiteral("、");
        QTest::newRow("a year owed")
            << 12 << year
            << QStringList{QStringLiteral("1|生徒1|") + fees.mid(0, 5).join(comma) + comma +
                               "|6,000",
                           fees.mid(5, 5).join(comma) + comma, fees.mid(10).join(comma),
                           QStringLiteral("合計 1人|6,000")};
    }
    void theOwingListNamesWhatIsOwed() {
        QFETCH(int, collections);
        QFETCH(QString, marks);
        QFETCH(QStringList, rows);
        RecordingPrintSurface surface(height);
        printRoll(surface, makeRoll(3, collections, marks), titles());
        QCOMPARE(surface.pageCount(), 2);
        std::set<double> ys;
        for (const PrintOperation& op : textsOnPage(surface, 1))
            if (op.y > yOf(surface, 1, QStringLiteral("未納額")))
                ys.insert(op.y);
        QStringList printed;
        for (double y : ys)
            printed << textsAt(surface, 1, y).join('|');
        QCOMPARE(printed, rows);
    }

    // Whatever the roll, nothing leaves the sheet or runs across a rule.
    void nothingLeavesTheSheetOrCrossesARule_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("marks");
        QTest::newRow("40 x 12") << 40 << 12 << QStringLiteral("学級費") << "#0=3 5>4 6:1";
        QTest::newRow("long item, 50 x 30")
            << 50 << 30 << QStringLiteral("社会科見学代（バス・入館料・保険）") << "2:3 7<5";
        QString owing;
        for (int n = 1; n <= 60; ++n)
            owing += QStringLiteral(" %1:0 %1:5").arg(n);
        QTest::newRow("list of two sheets") << 60 << 8 << QStringLiteral("学級費") << owing;
    }
    void nothingLeavesTheSheetOrCrossesARule() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        QFETCH(QString, item);
        QFETCH(QString, marks);
        RecordingPrintSurface surface(height);
        QVERIFY(
            printRollDocument(surface, makeRoll(pupils, collections, marks, item), titles()).ok);
        for (const PrintOperation& op : surface.operations()) {
            QVERIFY(std::max(op.x2, rightEnd(op)) <= rollPageWidth);
            const bool text = op.kind == PrintOperation::Kind::Text;
            QVERIFY((text ? op.y + op.fontSize * 20 : std::max(op.y, op.y2)) <= height);
            for (const PrintOperation& rule : surface.lines())
                if (text && rule.page == op.page && rule.x == rule.x2 &&
                    std::min(rule.y, rule.y2) < op.y && std::max(rule.y, rule.y2) > op.y)
                    QVERIFY2(rightEnd(op) <= rule.x || op.x >= rule.x, qPrintable(op.text));
        }
    }

    // Sheets numbered in the middle of the landscape sheet when more than
    // one; an empty roll says so; a failing printer is reported.
    void theDocumentNumbersItsSheets_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<int>("sheets");
        QTest::newRow("table and list") << 5 << 3 << false << 2;
        QTest::newRow("45 x 13") << 45 << 13 << false << 5;
        QTest::newRow("no pupils") << 0 << 3 << false << 1;
        QTest::newRow("no collections") << 5 << 0 << false << 1;
        QTest::newRow("printer fails") << 5 << 3 << true << 0;
    }
    void theDocumentNumbersItsSheets() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        QFETCH(bool, fails);
        QFETCH(int, sheets);
        RecordingPrintSurface surface(height);
        if (fails)
            surface.failOnFirstOutput();
        const PrintResult result =
            printRollDocument(surface, makeRoll(pupils, collections), titles());
        QCOMPARE(result.message.contains(QStringLiteral("プリンター")), !result.ok);
        QCOMPARE(result.ok, !fails);
        QCOMPARE(surface.documentEnded(), !fails);
        QCOMPARE(fails ? 0 : surface.pageCount(), sheets);
        QCOMPARE(textsNamed(surface, QStringLiteral("集金の記録がありません。")).size(),
                 std::size_t(sheets == 1));
        int numbers = 0;
        for (const PrintOperation& op : surface.texts())
            if (QRegularExpression("^\\d+ / \\d+$").match(op.text).hasMatch()) {
                QCOMPARE(op.text, QStringLiteral("%1 / %2").arg(++numbers).arg(sheets));
                QCOMPARE(op.x + op.width / 2, rollPageWidth / 2);
            }
        QCOMPARE(numbers, sheets > 1 ? sheets : 0);
    }

    // On paper the sheets lie on their side and are those of the layout.
    void thePdfIsLandscapeWithTheSheetsOfTheLayout_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::newRow("5 x 3") << 5 << 3;
        QTest::newRow("45 x 13") << 45 << 13;
    }
    void thePdfIsLandscapeWithTheSheetsOfTheLayout() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        QTemporaryDir folder;
        QPrinter printer(QPrinter::HighResolution);
        preparePdfPrinter(printer, folder.filePath("roll.pdf"), QPageLayout::Landscape);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        PainterPrintSurface paper(printer, QPageLayout::Landscape);
        RecordingPrintSurface recording(paper.pageHeight());
        QVERIFY(paper.pageHeight() > 11000 && paper.pageHeight() < 12000);
        QVERIFY(printRollDocument(recording, makeRoll(pupils, collections, "1:0"), titles()).ok);
        QVERIFY(printRollDocument(paper, makeRoll(pupils, collections, "1:0"), titles()).ok);
        QFile file(folder.filePath("roll.pdf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString pdf = QString::fromLatin1(file.readAll());
        QCOMPARE(pdf.count(QRegularExpression("/Type\\s*/Page[^s]")), recording.pageCount());
        const auto box = QRegularExpression("/MediaBox\\s*\\[0 0 ([\\d.]+) ([\\d.]+)").match(pdf);
        QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble());
    }
};

QTEST_MAIN(TestRollPrintout)
#include "tst_rollprintout.moc"
