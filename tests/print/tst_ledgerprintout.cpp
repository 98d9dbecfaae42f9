#include "DisplayFormat.h"
#include "PrintTestData.h"
#include "Printouts.h"

#include <QTest>

using namespace sorobe;
using namespace sorobe::test;

namespace {

constexpr double rowTop(int row) {
    return 2000.0 + 360.0 * row;
}
constexpr double rowText(int row) {
    return rowTop(row) + 60.0;
}

PrintTitles classTitles() {
    PrintTitles titles;
    titles.classAccount = true;
    titles.schoolName = "市立桜ヶ丘小学校";
    titles.grade = "第１学年";
    titles.room = "１組";
    titles.teacher = "山田花子";
    titles.title = "PTA会計";
    titles.reporter = "鈴木一郎";
    titles.reportDate = QDate(2025, 7, 18);
    return titles;
}

// A third of a term at school: 1学期 income 12,000 and expenses 4,500,
// 2学期 5,000 and 8,000, 3学期 3,000 and 1,000.
std::vector<ArticlePtr> threeTerms() {
    return {income(QDate(2025, 4, 10), "学級費", 12000),
            expense(QDate(2025, 5, 20), 1, "画用紙", 4500),
            income(QDate(2025, 9, 10), "学級費", 5000),
            expense(QDate(2025, 10, 20), 2, "見学入場料", 8000),
            income(QDate(2026, 2, 10), "学級費", 3000),
            expense(QDate(2026, 3, 20), 3, "記念品", 1000)};
}

bool everythingOnPaper(const RecordingPrintSurface& surface) {
    for (const PrintOperation& operation : surface.operations()) {
        if (operation.kind == PrintOperation::Kind::Text &&
            operation.y + surface.textHeight(operation.text) > surface.pageHeight())
            return false;
        if (operation.kind == PrintOperation::Kind::Line &&
            qMax(operation.y, operation.y2) > surface.pageHeight())
            return false;
    }
    return true;
}

QString longText(int characters) {
    return QString(characters, QChar(u'あ'));
}

} // namespace

class TestLedgerPrintout : public QObject {
    Q_OBJECT

private slots:
    void aFullPageBringsItsFiguresForward() {
        // Incomes of 1,000, every sixth entry an expense of 300: 72 entries,
        // two full pages and a third.
        std::vector<ArticlePtr> entries;
        for (int i = 0; i < 72; ++i) {
            const QDate date = QDate(2025, 4, 1).addDays(i);
            entries.push_back(i % 6 == 5 ? expense(date, std::int16_t(i), "消耗品", 300)
                                         : income(date, "寄付金", 1000));
        }
        SharedState state;
        fillLedger(state, entries);
        RecordingPrintSurface surface;
        printLedger(surface, state, Spring, classTitles());

        auto sums = [&](int first, int last) { // income, expense of entries first..last
            std::int32_t in = 0, out = 0;
            for (int i = first; i <= last; ++i)
                (i % 6 == 5 ? out : in) += i % 6 == 5 ? 300 : 1000;
            return std::pair{in, out};
        };
        QCOMPARE(surface.pageCount(), 3);

        // Page 1: 35 entry rows, then the page's 合　計.
        int dates = 0;
        for (const PrintOperation& text : textsOnPage(surface, 0))
            dates += text.x == 1060.0;
        QCOMPARE(dates, 35);
        QCOMPARE(textsAt(surface, 0, rowText(35)).first(), QString("25/05/05"));
        const auto [in1, out1] = sums(0, 34);
        QCOMPARE(textsAt(surface, 0, rowText(36)),
                 (QStringList{"合　計", formatAmount(in1), formatAmount(out1),
                              formatAmount(in1 - out1)}));

        // Page 2 opens with the same figures, then 34 entries, and its own
        // 合　計 shows only what it printed itself; the balance runs on.
        QCOMPARE(textsAt(surface, 1, rowText(0)),
                 (QStringList{"日付", "領収書", "項目", "収入", "支出", "残高"}));
        QCOMPARE(textsAt(surface, 1, rowText(1)),
                 (QStringList{"前頁より繰り越し", formatAmount(in1), formatAmount(out1),
                              formatAmount(in1 - out1)}));
        QCOMPARE(textsAt(surface, 1, rowText(2)).first(), QString("25/05/06"));
        const auto [in2, out2] = sums(35, 68);
        const auto [inAll, outAll] = sums(0, 71);
        const auto [inTo68, outTo68] = sums(0, 68);
        QCOMPARE(textsAt(surface, 1, rowText(36)),
                 (QStringList{"合　計", formatAmount(in2), formatAmount(out2),
                              formatAmount(inTo68 - outTo68)}));
        QCOMPARE(textsAt(surface, 2, rowText(1)),
                 (QStringList{"前頁より繰り越し", formatAmount(in2), formatAmount(out2),
                              formatAmount(inTo68 - outTo68)}));

        // The title is on the first page only.
        QCOMPARE(textsAt(surface, 0, 800).size(), 1);
        QVERIFY(textsAt(surface, 1, 800).isEmpty());
        QCOMPARE(textsAt(surface, 2, 15060),
                 (QStringList{"１学期 合計", formatAmount(inAll), formatAmount(outAll),
                              formatAmount(inAll - outAll)}));

        // Page ends: a thin and a thick rule under the 合　計 row, verticals to it.
        QVERIFY(hasLine(surface, 0, 1000, rowTop(37), 10600, rowTop(37), 1));
        QVERIFY(hasLine(surface, 0, 1000, rowTop(37), 10600, rowTop(37), 4));
        QVERIFY(hasLine(surface, 0, 1000, 2000, 1000, rowTop(37), 4));
        QVERIFY(hasLine(surface, 0, 9400, 2000, 9400, rowTop(37), 1));
    }

    void amountsStandAgainstTheirColumnEdge() {
        SharedState state;
        fillLedger(state, {income(QDate(2025, 4, 10), "学級費", 123456),
                           expense(QDate(2025, 4, 12), 12, "画用紙", 7)});
        RecordingPrintSurface surface;
        printLedger(surface, state, Spring, classTitles());

        auto at = [&](const QString& text, double y) {
            return textAt(surface, 0, y, text);
        };
        // The first row's income and balance are the same figure, in two columns.
        QList<double> ends;
        for (const PrintOperation& operation : textsNamed(surface, "123,456")) {
            if (operation.y == rowText(1))
                ends.append(rightEnd(operation));
        }
        QCOMPARE(ends, (QList<double>{8140.0, 10540.0}));
        QCOMPARE(rightEnd(at("7", rowText(2))), 9340.0);
        QCOMPARE(rightEnd(at("123,449", rowText(2))), 10540.0);
        QCOMPARE(at("学級費 ", rowText(1)).x, 2960.0);
        QCOMPARE(at("25/04/10", rowText(1)).x, 1060.0);

        // The receipt number in red, the rest of the row black; an income has none.
        const PrintOperation receipt = at("No.12", rowText(2));
        QCOMPARE(receipt.x, 2160.0);
        QCOMPARE(receipt.color, QColor(255, 0, 0));
        QCOMPARE(at("画用紙 ", rowText(2)).color, QColor(Qt::black));
        QCOMPARE(textsAt(surface, 0, rowText(1)).size(), 4);
        QVERIFY(hasLine(surface, 0, 1000, rowTop(2), 10600, rowTop(2), 1));
    }

    // A receipt number too long for "No." keeps clear of the column's rule;
    // an item that fills its column exactly takes one row, not a second
    // holding only the blank before an empty sub-item.
    void receiptsAndItemsKeepToTheirColumns_data() {
        QTest::addColumn<int>("receipt");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shown");
        QTest::newRow("No.12") << 12 << "画用紙"
                               << "No.12";
        QTest::newRow("No.123") << 123 << "画用紙"
                                << "123";
        QTest::newRow("No.1000") << 1000 << "画用紙"
                                 << "1000";
        QTest::newRow("16 characters") << 5 << QString(16, QChar(u'紙')) << "No.5";
    }
    void receiptsAndItemsKeepToTheirColumns() {
        QFETCH(int, receipt);
        QFETCH(QString, item);
        QFETCH(QString, shown);
        SharedState state;
        fillLedger(state, {expense(QDate(2025, 4, 12), std::int16_t(receipt), item, 700),
                           expense(QDate(2025, 4, 13), 0, "のり", 100)});
        RecordingPrintSurface surface;
        printLedger(surface, state, Spring, classTitles());
        const PrintOperation number = textAt(surface, 0, rowText(1), shown);
        QCOMPARE(number.x, 2160.0);
        QVERIFY(rightEnd(number) <= 2860.0);
        QCOMPARE(textsAt(surface, 0, rowText(2)).first(), QString("25/04/13"));
    }

    void aLongItemTakesTwoRows() {
        const QString article = "遠足バス代";
        const QString sub = "（貸切バス二台、高速道路料金と駐車場代）";
        SharedState state;
        fillLedger(state, {income(QDate(2025, 5, 10), "学級費", 30000),
                           expense(QDate(2025, 5, 12), 4, article, 42000),
                           expense(QDate(2025, 5, 13), 5, "画用紙", 800)});
        state.ledger->nextArticle()->nextArticle()->setTaSubArticle(sub);
        tabulateForPrint(state);
        RecordingPrintSurface surface;
        printLedger(surface, state, Spring, classTitles());

        const QStringList row2 = textsAt(surface, 0, rowText(2));
        const QStringList row3 = textsAt(surface, 0, rowText(3));
        QCOMPARE(row2.size(), 5); // date, receipt, first item line, expense, balance
        QCOMPARE(row3.size(), 1); // the rest of the item only
        const QString first = row2[2];
        QCOMPARE(first + row3[0], article + u' ' + sub);
        QVERIFY(surface.textWidth(first) <= 3900);
        QVERIFY(surface.textWidth(first + row3[0].left(1)) > 3900);
        QCOMPARE(row2[3], QString("42,000"));
        QCOMPARE(row2[4], QString("-12,000"));
        QCOMPARE(textsAt(surface, 0, rowText(4)).first(), QString("25/05/13"));
        QVERIFY(hasLine(surface, 0, 1000, rowTop(4), 10600, rowTop(4), 1));
        QVERIFY(!hasLine(surface, 0, 1000, rowTop(3), 10600, rowTop(3), 1));
    }

    void theLastPageClosesThePeriod_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("opening");
        QTest::addColumn<int>("rowsUsed");
        QTest::addColumn<QStringList>("totals");
        QTest::addColumn<QString>("carryRow");

        const QString classOf = " 第１学年１組  担任 山田花子";
        QTest::newRow("1学期") << 1 << "学級会計元帳 １学期" + classOf << QStringList{} << 2
                               << QStringList{"１学期 合計", "12,000", "4,500", "7,500"}
                               << "２学期へ繰り越し";
        QTest::newRow("2学期") << 2 << "学級会計元帳 ２学期" + classOf
                               << QStringList{"１学期の繰越金", "7,500", "7,500"} << 3
                               << QStringList{"２学期 合計", "12,500", "8,000", "4,500"}
                               << "３学期へ繰り越し";
        QTest::newRow("3学期") << 3 << "学級会計元帳 ３学期" + classOf
                               << QStringList{"２学期の繰越金", "4,500", "4,500"} << 3
                               << QStringList{"３学期 合計", "7,500", "1,000", "6,500"} << "";
        QTest::newRow("前期") << 4 << "学級会計元帳 前期" + classOf << QStringList{} << 3
                              << QStringList{"前期 合計", "17,000", "4,500", "12,500"}
                              << "後期へ繰り越し";
        QTest::newRow("後期") << 5 << "学級会計元帳 後期" + classOf
                              << QStringList{"前期の繰越金", "12,500", "12,500"} << 4
                              << QStringList{"後期 合計", "15,500", "9,000", "6,500"} << "";
        QTest::newRow("年間") << 0 << "学級会計元帳 " + classOf << QStringList{} << 6
                              << QStringList{" 合計", "20,000", "13,500", "6,500"} << "";
    }

    void theLastPageClosesThePeriod() {
        QFETCH(int, period);
        QFETCH(QString, title);
        QFETCH(QStringList, opening);
        QFETCH(int, rowsUsed);
        QFETCH(QStringList, totals);
        QFETCH(QString, carryRow);

        SharedState state;
        fillLedger(state, threeTerms());
        RecordingPrintSurface surface;
        printLedger(surface, state, std::int16_t(period), classTitles());

        QCOMPARE(surface.pageCount(), 1);
        QVERIFY(surface.documentEnded());
        const std::vector<PrintOperation> titleLine = textsNamed(surface, title);
        QCOMPARE(titleLine.size(), size_t(1));
        QCOMPARE(titleLine[0].x, 1000.0);
        QCOMPARE(titleLine[0].y, 800.0);
        QCOMPARE(titleLine[0].fontSize, 14.0);
        QCOMPARE(titleLine[0].fontName, QString("ＭＳ 明朝"));

        if (!opening.isEmpty())
            QCOMPARE(textsAt(surface, 0, rowText(1)), opening);
        const int next = 1 + rowsUsed;
        QCOMPARE(textsAt(surface, 0, rowText(next - 1)).last(), totals.last());
        QVERIFY(textsAt(surface, 0, rowText(next)).isEmpty());

        const QColor red(255, 0, 0);
        QVERIFY(hasLine(surface, 0, 7000, rowTop(next), 2900, 15000, 1, red));
        QVERIFY(hasLine(surface, 0, 1000, 15000, 2900, 15000, 4, Qt::black));
        QVERIFY(hasLine(surface, 0, 2900, 15000, 10600, 15000, 4, red));
        QCOMPARE(textsAt(surface, 0, 15060), totals);
        QVERIFY(hasLine(surface, 0, 1000, 15360, 10600, 15360, 1, red));
        QVERIFY(hasLine(surface, 0, 1000, 15385, 10600, 15385, 1, red));

        // The carry row hands on exactly the balance of the total row.
        const QStringList carried = textsAt(surface, 0, 15445);
        double bottom = 15385;
        if (carryRow.isEmpty()) {
            QVERIFY(carried.isEmpty());
        } else {
            QCOMPARE(carried, (QStringList{carryRow, totals.last()}));
            QCOMPARE(textAt(surface, 0, 15445, carryRow).x, 2960.0);
            QCOMPARE(rightEnd(textAt(surface, 0, 15445, totals.last())), 9340.0);
            QVERIFY(hasLine(surface, 0, 1000, 15745, 10600, 15745, 4));
            bottom = 15745;
        }
        QVERIFY(hasLine(surface, 0, 1000, 2000, 1000, bottom, 4));
        QVERIFY(hasLine(surface, 0, 10600, 2000, 10600, bottom, 4));
        for (double x : {2100.0, 2900.0, 7000.0, 8200.0, 9400.0})
            QVERIFY2(hasLine(surface, 0, x, 2000, x, bottom, 1), qPrintable(QString::number(x)));
    }

    void anEmptyPeriodStillCloses_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("diagonalRow");
        QTest::addColumn<QStringList>("totals");
        QTest::newRow("1学期") << 1 << 1 << QStringList{"１学期 合計", "0", "0", "0"};
        QTest::newRow("2学期 opens with 0") << 2 << 2 << QStringList{"２学期 合計", "0", "0", "0"};
        QTest::newRow("年間") << 0 << 1 << QStringList{" 合計", "0", "0", "0"};
    }

    void anEmptyPeriodStillCloses() {
        QFETCH(int, period);
        QFETCH(int, diagonalRow);
        QFETCH(QStringList, totals);
        SharedState state;
        tabulateForPrint(state);
        RecordingPrintSurface surface;
        printLedger(surface, state, std::int16_t(period), classTitles());
        QCOMPARE(surface.pageCount(), 1);
        QVERIFY(hasLine(surface, 0, 7000, rowTop(diagonalRow), 2900, 15000, 1, QColor(255, 0, 0)));
        QCOMPARE(textsAt(surface, 0, 15060), totals);
    }

    void anotherAccountHasItsOwnTitle() {
        SharedState state;
        tabulateForPrint(state);
        PrintTitles titles = classTitles();
        titles.classAccount = false;
        RecordingPrintSurface surface;
        printLedger(surface, state, Before, titles);
        QCOMPARE(textsAt(surface, 0, 800), QStringList{"PTA会計 会計元帳 前期  鈴木一郎"});
    }

    void entriesOfOtherPeriodsStillEndAFullPage() {
        // 35 entries fill the 1学期 page; the January entries after them are
        // skipped, yet the page ends and the totals stand on a page of their own.
        std::vector<ArticlePtr> entries;
        for (int i = 0; i < 35; ++i)
            entries.push_back(income(QDate(2025, 4, 1).addDays(i), "寄付金", 100));
        for (int i = 0; i < 3; ++i)
            entries.push_back(income(QDate(2026, 1, 10 + i), "寄付金", 100));
        SharedState state;
        fillLedger(state, entries);
        RecordingPrintSurface surface;
        printLedger(surface, state, Spring, classTitles());

        QCOMPARE(surface.pageCount(), 2);
        QCOMPARE(textsAt(surface, 0, rowText(36)), (QStringList{"合　計", "3,500", "0", "3,500"}));
        QCOMPARE(textsAt(surface, 1, rowText(1)),
                 (QStringList{"前頁より繰り越し", "3,500", "0", "3,500"}));
        QVERIFY(textsAt(surface, 1, rowText(2)).isEmpty());
        QVERIFY(hasLine(surface, 1, 7000, rowTop(2), 2900, 15000, 1, QColor(255, 0, 0)));
        QCOMPARE(textsAt(surface, 1, 15060), (QStringList{"１学期 合計", "3,500", "0", "3,500"}));
    }

    void totalsAreNeverOverprintedByALongLastEntry() {
        // The last entry starts in row 35 and wraps onto row 36, where the
        // totals of the period would stand: they move to a new page.
        std::vector<ArticlePtr> entries;
        for (int i = 0; i < 34; ++i)
            entries.push_back(income(QDate(2025, 4, 1).addDays(i), "寄付金", 100));
        entries.push_back(income(QDate(2025, 5, 10), longText(20), 100));
        SharedState state;
        fillLedger(state, entries);
        RecordingPrintSurface surface;
        printLedger(surface, state, Spring, classTitles());

        QCOMPARE(surface.pageCount(), 2);
        QCOMPARE(textsAt(surface, 0, rowText(36)), QStringList{"ああああ "});
        QCOMPARE(textsAt(surface, 0, rowText(37)), (QStringList{"合　計", "3,500", "0", "3,500"}));
        QCOMPARE(textsAt(surface, 1, rowText(1)),
                 (QStringList{"前頁より繰り越し", "3,500", "0", "3,500"}));
        QCOMPARE(textsAt(surface, 1, 15060), (QStringList{"１学期 合計", "3,500", "0", "3,500"}));
        QVERIFY(everythingOnPaper(surface));
    }

    void aPageTotalIsNeverPushedOffThePaper() {
        // A three-row entry in row 35 would put the page's 合　計 row below
        // the printable area: the entry opens the next page instead.
        std::vector<ArticlePtr> entries;
        for (int i = 0; i < 34; ++i)
            entries.push_back(income(QDate(2025, 4, 1).addDays(i), "寄付金", 100));
        entries.push_back(income(QDate(2025, 5, 10), longText(40), 100));
        entries.push_back(income(QDate(2025, 5, 11), "寄付金", 100));
        SharedState state;
        fillLedger(state, entries);
        RecordingPrintSurface surface(16000);
        printLedger(surface, state, Spring, classTitles());

        QCOMPARE(surface.pageCount(), 2);
        QCOMPARE(textsAt(surface, 0, rowText(35)), (QStringList{"合　計", "3,400", "0", "3,400"}));
        QCOMPARE(textsAt(surface, 1, rowText(2)).first(), QString("25/05/10"));
        QCOMPARE(textsAt(surface, 1, rowText(5)).first(), QString("25/05/11"));
        QVERIFY(everythingOnPaper(surface));
    }
};

QTEST_MAIN(TestLedgerPrintout)
#include "tst_ledgerprintout.moc"
