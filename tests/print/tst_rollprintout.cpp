#include "PageNumbers.h"
#include "PainterPrintSurface.h"
#include "PrintTestData.h"
#include "RollPrintout.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <map>

using namespace sorobe;
using namespace sorobe::test;

namespace {

// An A4 sheet on its side, less the margins.
constexpr double landscapeHeight = 11000.0;

PrintTitles titles(bool classAccount = true, const QString& year = QStringLiteral("令和8年度")) {
    PrintTitles t;
    t.classAccount = classAccount;
    t.schoolName = QStringLiteral("市立桜ヶ丘小学校");
    t.year = year;
    t.grade = QStringLiteral("第１学年");
    t.room = QStringLiteral("１組");
    t.teacher = QStringLiteral("山田花子");
    t.title = QStringLiteral("さくら子ども会");
    t.reporter = QStringLiteral("会計 鈴木一郎");
    return t;
}

// A class of pupils named 生徒1…, and a ＠500 学級費 collected each month
// from April, recorded in the ledger for the whole class. Everyone who
// counts has paid but as the marks say: "2:1" pupil 2 not column 1 (from
// 0), "2>3" pupil 2 moved out on the day of column 3, "3<1" pupil 3 moved
// in on that of column 1, "#1=2" the ledger recording 2 pupils for column 1.
CollectionRoll makeRoll(int pupils, int collections, const QString& marks = {},
                        const QString& item = QStringLiteral("学級費")) {
    const auto day = [](int column) {
        return QDate(2026, 4, 10).addMonths(column);
    };
    std::map<int, int> ledgerPupils;
    for (const QString& mark : marks.split(' ', Qt::SkipEmptyParts)) {
        if (mark.startsWith('#'))
            ledgerPupils[mark.mid(1).section('=', 0, 0).toInt()] = mark.section('=', 1).toInt();
    }
    ArticlePtr ledger = SorobeArticle::create();
    for (int k = 0; k < collections; ++k) {
        const int count = ledgerPupils.count(k) ? ledgerPupils[k] : pupils;
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
    QList<QPoint> unpaid;
    const QRegularExpression pattern("^(\\d+)([:><])(\\d+)$");
    for (const QString& mark : marks.split(' ', Qt::SkipEmptyParts)) {
        const auto match = pattern.match(mark);
        const int pupil = match.captured(1).toInt();
        const int column = match.captured(3).toInt();
        if (match.captured(2) == ":")
            unpaid << QPoint(pupil, column);
        else if (match.captured(2) == ">")
            roll.roster().setMovedOut(pupil, day(column));
        else if (match.captured(2) == "<")
            roll.roster().setMovedIn(pupil, day(column));
    }
    for (int k = 0; k < collections; ++k) {
        for (int n = 1; n <= pupils; ++n)
            roll.setPaid(k, n, !unpaid.contains(QPoint(n, k)));
    }
    return roll;
}

// The table sheet's cells, a row per pupil: a character per collection
// ('P' 済, '-' 「－」, '.' empty), then the owed after a '|'.
QStringList cellGrid(const RecordingPrintSurface& surface, int page) {
    const std::vector<PrintOperation> texts = textsOnPage(surface, page);
    std::vector<double> middles;
    double nameHeading = 0;
    for (const PrintOperation& op : texts) {
        if (op.text.startsWith(QStringLiteral("＠")))
            middles.push_back(op.x + op.width / 2);
        if (op.text == QStringLiteral("名前"))
            nameHeading = op.x;
    }
    std::sort(middles.begin(), middles.end());
    QStringList grid;
    for (const PrintOperation& number : texts) {
        if (number.x >= nameHeading || !QRegularExpression("^\\d+$").match(number.text).hasMatch())
            continue;
        QString row(qsizetype(middles.size()), '.');
        QString owed;
        for (const PrintOperation& op : texts) {
            if (qAbs(op.y - number.y) > 0.5)
                continue;
            const double middle = op.x + op.width / 2;
            for (std::size_t k = 0; k < middles.size(); ++k) {
                if (qAbs(middle - middles[k]) < 1)
                    row[qsizetype(k)] = op.text == QStringLiteral("済")   ? 'P'
                                        : op.text == QStringLiteral("－") ? '-'
                                                                          : '?';
            }
            if (op.x > middles.back() + 470)
                owed = op.text;
        }
        grid << row + '|' + owed;
    }
    return grid;
}

// Rows of text on a page below `top`, each its texts left to right joined by '|'.
QStringList rowsBelow(const RecordingPrintSurface& surface, int page, double top) {
    std::vector<double> ys;
    for (const PrintOperation& op : textsOnPage(surface, page)) {
        if (op.y > top && std::find(ys.begin(), ys.end(), op.y) == ys.end())
            ys.push_back(op.y);
    }
    std::sort(ys.begin(), ys.end());
    QStringList rows;
    for (double y : ys)
        rows << textsAt(surface, page, y).join('|');
    return rows;
}

double yOf(const RecordingPrintSurface& surface, int page, const QString& text) {
    for (const PrintOperation& op : textsOnPage(surface, page)) {
        if (op.text == text)
            return op.y;
    }
    return -1;
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
        const QString school = QStringLiteral("市立桜ヶ丘小学校　");
        QTest::newRow("class") << true << QStringLiteral("令和8年度")
                               << QStringLiteral("令和8年度 第１学年１組 集金表")
                               << school + QStringLiteral("担任 山田花子");
        QTest::newRow("class, no year")
            << true << QString() << QStringLiteral("第１学年１組 集金表")
            << school + QStringLiteral("担任 山田花子");
        QTest::newRow("another account")
            << false << QStringLiteral("令和8年度") << QStringLiteral("さくら子ども会 集金表")
            << school + QStringLiteral("会計 鈴木一郎");
    }
    void theTitleNamesTheClassOrTheAccount() {
        QFETCH(bool, classAccount);
        QFETCH(QString, year);
        QFETCH(QString, title);
        QFETCH(QString, side);
        RecordingPrintSurface surface(landscapeHeight);
        printRoll(surface, makeRoll(3, 2), titles(classAccount, year));
        const PrintOperation printedTitle = textAt(surface, 0, yOf(surface, 0, title), title);
        const PrintOperation printedSide = textAt(surface, 0, yOf(surface, 0, side), side);
        QCOMPARE(printedTitle.text, title);
        QCOMPARE(printedSide.text, side);
        QVERIFY(printedSide.fontSize < printedTitle.fontSize);
        QVERIFY(rightEnd(printedTitle) < printedSide.x);
        QVERIFY(rightEnd(printedSide) <= rollPageWidth);
    }

    // 済 where paid, nothing where not, 「－」 where the pupil was not in
    // the class; each row ends with what the pupil still owes. In the grid
    // 'P' is 済, '-' 「－」 and '.' an empty cell.
    void theCellsShowWhoHasPaid_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QStringList>("grid");
        QTest::newRow("all paid") << 2 << 3 << QString() << QStringList{"PPP|", "PPP|"};
        QTest::newRow("some unpaid")
            << 3 << 3 << "1:0 2:1 2:2" << QStringList{".PP|500", "P..|1,000", "PPP|"};
        QTest::newRow("moved out") << 2 << 3 << "2>1 1:2" << QStringList{"PP.|500", "P--|"};
        QTest::newRow("moved in, then unpaid")
            << 2 << 3 << "1<2 1:2" << QStringList{"--.|500", "PPP|"};
        QTest::newRow("nobody paid, one moved out")
            << 2 << 2 << "1:0 1:1 2:0 2>1" << QStringList{"..|1,000", ".-|500"};
    }
    void theCellsShowWhoHasPaid() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        QFETCH(QString, marks);
        QFETCH(QStringList, grid);
        RecordingPrintSurface surface(landscapeHeight);
        printRoll(surface, makeRoll(pupils, collections, marks), titles());
        QCOMPARE(cellGrid(surface, 0), grid);
    }

    // Each column's paid / expected and money at the foot, the owed total
    // under 未納額; a count that differs from the ledger's 生徒の数 is
    // starred, and a note under the table says why.
    void theFootAddsUpEachColumn_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<QString>("money");
        QTest::addColumn<bool>("note");
        QTest::newRow("all paid") << 3 << 2 << ""
                                  << "3/3|3/3"
                                  << "1,500|1,500|0" << false;
        QTest::newRow("one unpaid, the ledger has all") << 3 << 2 << "2:1"
                                                        << "3/3|2/3*"
                                                        << "1,500|1,000|500" << true;
        QTest::newRow("the ledger has those who paid") << 3 << 2 << "2:1 #1=2"
                                                       << "3/3|2/3"
                                                       << "1,500|1,000|500" << false;
        QTest::newRow("one moved out") << 3 << 2 << "3>1 #1=2"
                                       << "3/3|2/2"
                                       << "1,500|1,000|0" << false;
        QTest::newRow("the ledger has more than the class") << 2 << 1 << "#0=5"
                                                            << "2/2*"
                                                            << "1,000|0" << true;
    }
    void theFootAddsUpEachColumn() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        QFETCH(QString, marks);
        QFETCH(QString, counts);
        QFETCH(QString, money);
        QFETCH(bool, note);
        RecordingPrintSurface surface(landscapeHeight);
        printRoll(surface, makeRoll(pupils, collections, marks), titles());
        const double countY = yOf(surface, 0, QStringLiteral("人数"));
        const double moneyY = yOf(surface, 0, QStringLiteral("金額"));
        QCOMPARE(textsAt(surface, 0, countY).mid(1).join('|'), counts);
        QCOMPARE(textsAt(surface, 0, moneyY).mid(1).join('|'), money);
        const double noteY = yOf(surface, 0, QStringLiteral("* 帳簿の生徒の数と合いません"));
        QCOMPARE(noteY > moneyY, note);
    }

    // Collections beyond a sheet's width go on to the next sheets, pupils
    // beyond its height too, with the numbers, names and headings repeated;
    // 未納額 closes the last collections, the foot the last pupils. Each
    // table sheet: "<first month>-<last month> <first pupil>-<last pupil>
    // [foot] [owed]".
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
        RecordingPrintSurface surface(landscapeHeight);
        printRoll(surface, makeRoll(pupils, collections), titles());
        QCOMPARE(surface.pageCount(), sheets.size() + 1); // and the 未納一覧
        for (int page = 0; page < sheets.size(); ++page) {
            QStringList months;
            std::vector<int> numbers;
            const double nameX = textsNamed(surface, QStringLiteral("名前"))[0].x;
            for (const PrintOperation& op : textsOnPage(surface, page)) {
                if (op.text.endsWith(QStringLiteral("月分")))
                    months << op.text.section(QStringLiteral("月"), 0, 0);
                if (op.x < nameX && QRegularExpression("^\\d+$").match(op.text).hasMatch()) {
                    numbers.push_back(op.text.toInt());
                    // The name stands beside its number on every sheet.
                    QVERIFY(!textAt(surface, page, op.y, QStringLiteral("生徒") + op.text)
                                 .text.isEmpty());
                }
            }
            QString sheet = QStringLiteral("%1-%2 %3-%4")
                                .arg(months.first(), months.last())
                                .arg(numbers.front())
                                .arg(numbers.back());
            if (yOf(surface, page, QStringLiteral("人数")) >= 0)
                sheet += " foot";
            if (yOf(surface, page, QStringLiteral("未納額")) >= 0)
                sheet += " owed";
            QCOMPARE(sheet, sheets[page]);
            QCOMPARE(int(numbers.size()), numbers.back() - numbers.front() + 1);
        }
    }

    // The 未納一覧 on a sheet of its own: a line for each pupil who owes,
    // the collections owed and their sum, the total under them.
    void theOwingListNamesWhatIsOwed_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("nobody owes")
            << 3 << "" << QStringList{QStringLiteral("未納はありません。")};
        QTest::newRow("two owe") << 3 << "1:0 3:0 3:2"
                                 << QStringList{QStringLiteral("1|生徒1|4月分 学級費 ＠500|500"),
                                                QStringLiteral("3|生徒3|4月分 学級費 ＠500、6月分 "
                                                               "学級費 ＠500|1,000"),
                                                QStringLiteral("合計 2人|1,500")};
        QTest::newRow("moved out, owes from before")
            << 2 << "2>1 2:0 1:1"
            << QStringList{QStringLiteral("1|生徒1|5月分 学級費 ＠500|500"),
                           QStringLiteral("2|生徒2|4月分 学級費 ＠500|500"),
                           QStringLiteral("合計 2人|1,000")};
    }
    void theOwingListNamesWhatIsOwed() {
        QFETCH(int, pupils);
        QFETCH(QString, marks);
        QFETCH(QStringList, rows);
        RecordingPrintSurface surface(landscapeHeight);
        printRoll(surface, makeRoll(pupils, 3, marks), titles());
        QCOMPARE(surface.pageCount(), 2);
        QVERIFY(yOf(surface, 1, QStringLiteral("未納一覧")) >= 0);
        QCOMPARE(rowsBelow(surface, 1, yOf(surface, 1, QStringLiteral("未納額"))), rows);
    }

    // What one pupil owes takes as many lines as it needs, whole
    // collections to a line where they fit, all within its column.
    void longOwedListsWrapWithinTheirColumn_data() {
        QTest::addColumn<int>("collections");
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("whole"); // every line ends with a whole collection
        QTest::newRow("a year of monthly fees") << 12 << QStringLiteral("学級費") << true;
        QTest::newRow("an item too long for a line")
            << 2
            << QStringLiteral("ドリル・ワークブック・実験用具一式と書き初め用紙と絵の具セットと"
                              "算数セットと鍵盤ハーモニカと彫刻刀と裁縫道具と習字道具")
            << false;
    }
    void longOwedListsWrapWithinTheirColumn() {
        QFETCH(int, collections);
        QFETCH(QString, item);
        QFETCH(bool, whole);
        QString marks = "2:0";
        QStringList owed;
        for (int k = 0; k < collections; ++k) {
            marks += QStringLiteral(" 1:%1").arg(k);
            owed << QStringLiteral("%1月分 %2 ＠500").arg((3 + k) % 12 + 1).arg(item);
        }
        RecordingPrintSurface surface(landscapeHeight);
        printRoll(surface, makeRoll(2, collections, marks, item), titles());
        const int page = surface.pageCount() - 1;
        const double column = textsNamed(surface, QStringLiteral("未納の集金"))[0].x;
        const double top = yOf(surface, page, QStringLiteral("生徒1"));
        const double next = yOf(surface, page, QStringLiteral("生徒2"));
        double sumX = 0;
        for (const PrintOperation& op : textsOnPage(surface, page)) {
            if (qAbs(op.y - top) < 0.5)
                sumX = std::max(sumX, op.x);
        }
        QStringList lines;
        for (const PrintOperation& op : textsOnPage(surface, page)) {
            if (op.y < top - 0.5 || op.y >= next || qAbs(op.x - column) > 0.5)
                continue;
            lines << op.text;
            QVERIFY(rightEnd(op) < sumX);
            QVERIFY(next >= op.y + op.fontSize * 20);
            if (whole)
                QVERIFY2(op.text.endsWith(QStringLiteral("＠500")) ||
                             op.text.endsWith(QStringLiteral("＠500、")),
                         qPrintable(op.text));
        }
        QVERIFY(lines.size() > 1);
        QCOMPARE(lines.join(QString()), owed.join(QStringLiteral("、")));
    }

    // Whatever the size of the roll, everything stays on the sheet and no
    // text runs across a column's rule, with the sheets numbered.
    void nothingLeavesTheSheetOrCrossesARule_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("marks");
        QTest::newRow("small") << 3 << 3 << QStringLiteral("学級費") << "1:0";
        QTest::newRow("40 x 12, starred") << 40 << 12 << QStringLiteral("学級費") << "#0=3 5>4";
        QTest::newRow("long item, wide and long")
            << 50 << 30 << QStringLiteral("社会科見学代（バス・入館料・保険）") << "2:3 7<5 9:0";
        QString everyoneOwes;
        for (int n = 1; n <= 60; ++n)
            everyoneOwes += QStringLiteral(" %1:0 %1:5").arg(n);
        QTest::newRow("an owing list of two sheets")
            << 60 << 8 << QStringLiteral("学級費") << everyoneOwes;
    }
    void nothingLeavesTheSheetOrCrossesARule() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        QFETCH(QString, item);
        QFETCH(QString, marks);
        RecordingPrintSurface surface(landscapeHeight);
        QVERIFY(
            printRollDocument(surface, makeRoll(pupils, collections, marks, item), titles()).ok);
        const std::vector<PrintOperation> lines = surface.lines();
        for (const PrintOperation& text : surface.texts()) {
            QVERIFY(text.x >= 0 && rightEnd(text) <= rollPageWidth);
            QVERIFY(text.y >= 0 && text.y + text.fontSize * 20 <= landscapeHeight);
            for (const PrintOperation& rule : lines) {
                if (rule.page == text.page && rule.x == rule.x2 &&
                    std::min(rule.y, rule.y2) < text.y && std::max(rule.y, rule.y2) > text.y)
                    QVERIFY2(rightEnd(text) <= rule.x || text.x >= rule.x, qPrintable(text.text));
            }
        }
        for (const PrintOperation& rule : lines)
            QVERIFY(std::max(rule.x, rule.x2) <= rollPageWidth &&
                    std::max(rule.y, rule.y2) <= landscapeHeight);
    }

    // A roll with nobody in it or nothing collected is one sheet that says so.
    void anEmptyRollSaysSo_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::newRow("no pupils") << 0 << 3;
        QTest::newRow("no collections") << 5 << 0;
    }
    void anEmptyRollSaysSo() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        RecordingPrintSurface surface(landscapeHeight);
        printRoll(surface, makeRoll(pupils, collections), titles());
        QCOMPARE(surface.pageCount(), 1);
        QVERIFY(surface.documentEnded());
        QCOMPARE(textsNamed(surface, QStringLiteral("集金の記録がありません。")).size(), 1u);
        QVERIFY(textsNamed(surface, QStringLiteral("未納一覧")).empty());
    }

    // The print command's call: sheets numbered 「1 / 3」 in the middle of
    // the landscape sheet when there are more than one, a failing printer
    // reported with nothing printed.
    void theDocumentNumbersItsSheets_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<int>("sheets");
        QTest::newRow("table and list") << 5 << 3 << false << 2;
        QTest::newRow("45 x 13") << 45 << 13 << false << 5;
        QTest::newRow("empty") << 0 << 0 << false << 1;
        QTest::newRow("printer fails") << 5 << 3 << true << 0;
    }
    void theDocumentNumbersItsSheets() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        QFETCH(bool, fails);
        QFETCH(int, sheets);
        RecordingPrintSurface surface(landscapeHeight);
        if (fails)
            surface.failOnFirstOutput();
        const PrintResult result =
            printRollDocument(surface, makeRoll(pupils, collections), titles());
        QCOMPARE(result.ok, !fails);
        QCOMPARE(result.message.contains(QStringLiteral("プリンター")), fails);
        QCOMPARE(int(surface.operations().size() > 0), int(!fails));
        if (fails)
            return;
        QCOMPARE(surface.pageCount(), sheets);
        QVERIFY(surface.documentEnded());
        const QRegularExpression numberPattern("^\\d+ / \\d+$");
        QStringList numbers;
        for (const PrintOperation& op : surface.texts()) {
            if (numberPattern.match(op.text).hasMatch()) {
                numbers << op.text;
                QCOMPARE(op.x + op.width / 2, rollPageWidth / 2);
                QCOMPARE(op.text, QStringLiteral("%1 / %2").arg(op.page + 1).arg(sheets));
            }
        }
        QCOMPARE(numbers.size(), sheets > 1 ? sheets : 0);
    }

    // On paper, the sheets lie on their side and are those of the layout.
    void thePdfIsLandscapeWithTheSheetsOfTheLayout_data() {
        QTest::addColumn<int>("pupils");
        QTest::addColumn<int>("collections");
        QTest::newRow("5 x 3") << 5 << 3;
        QTest::newRow("45 x 13") << 45 << 13;
    }
    void thePdfIsLandscapeWithTheSheetsOfTheLayout() {
        QFETCH(int, pupils);
        QFETCH(int, collections);
        const CollectionRoll roll = makeRoll(pupils, collections, "1:0");
        QTemporaryDir folder;
        const QString fileName = folder.filePath("roll.pdf");
        QPrinter printer(QPrinter::HighResolution);
        preparePdfPrinter(printer, fileName, QPageLayout::Landscape);
        PainterPrintSurface paper(printer, QPageLayout::Landscape);
        QVERIFY(paper.pageHeight() > 11000 && paper.pageHeight() < 12000);
        RecordingPrintSurface recording(paper.pageHeight());
        QVERIFY(printRollDocument(recording, roll, titles()).ok);
        QVERIFY(printRollDocument(paper, roll, titles()).ok);

        QFile file(fileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString content = QString::fromLatin1(file.readAll());
        QCOMPARE(int(content.count(QRegularExpression("/Type\\s*/Page[^s]"))),
                 recording.pageCount());
        const auto box = QRegularExpression("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)")
                             .match(content);
        QVERIFY(box.hasMatch());
        QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble());
    }
};

QTEST_MAIN(TestRollPrintout)
#include "tst_rollprintout.moc"
