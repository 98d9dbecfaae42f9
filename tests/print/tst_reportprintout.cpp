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

PrintTitles titlesFor(bool classAccount) {
    PrintTitles titles;
    titles.classAccount = classAccount;
    titles.schoolName = "市立桜ヶ丘小学校";
    titles.grade = "第１学年";
    titles.room = "１組";
    titles.teacher = "山田花子";
    titles.title = "子ども会 会計報告";
    titles.reporter = "会計 鈴木一郎";
    titles.reportDate = QDate(2025, 7, 18);
    return titles;
}

ArticlePtr listOf(std::initializer_list<ArticlePtr> lines) {
    ArticlePtr head = SorobeArticle::create();
    SorobeArticle* tail = head.get();
    for (const ArticlePtr& line : lines) {
        tail->insertArticle(line);
        tail = line.get();
    }
    return head;
}

ArticlePtr expenses(int count, const QString& article = "画用紙") {
    ArticlePtr head = SorobeArticle::create();
    SorobeArticle* tail = head.get();
    for (int i = 0; i < count; ++i) {
        ArticlePtr line = expense(QDate(2025, 5, 1), 0, article, 100 + i);
        tail->insertArticle(line);
        tail = line.get();
    }
    return head;
}

const QDate may(2025, 5, 1);

QString longText(int characters) {
    return QString(characters, QChar(u'あ'));
}

bool everythingOnPaper(const RecordingPrintSurface& surface) {
    for (const PrintOperation& operation : surface.operations()) {
        const double bottom = operation.kind == PrintOperation::Kind::Text
                                  ? operation.y + surface.textHeight(operation.text)
                                  : qMax(operation.y, operation.y2);
        if (bottom > surface.pageHeight())
            return false;
    }
    return true;
}

} // namespace

class TestReportPrintout : public QObject {
    Q_OBJECT

private slots:
    void headAndSignatureFollowTheAccount_data() {
        QTest::addColumn<bool>("classAccount");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("addressee");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("signature");
        QTest::newRow("class, 1学期")
            << true << "１学期" << QStringList{"保護者各位", "市立桜ヶ丘小学校"}
            << "第１学年１組  １学期 学級会計報告"
            << "第１学年１組  　担任　山田花子";
        QTest::newRow("class, year")
            << true << "年度" << QStringList{"保護者各位", "市立桜ヶ丘小学校"}
            << "第１学年１組  年度 学級会計報告"
            << "第１学年１組  　担任　山田花子";
        QTest::newRow("other account") << false << "前期" << QStringList{} << "子ども会 会計報告"
                                       << "会計 鈴木一郎";
    }

    void headAndSignatureFollowTheAccount() {
        QFETCH(bool, classAccount);
        QFETCH(QString, label);
        QFETCH(QStringList, addressee);
        QFETCH(QString, title);
        QFETCH(QString, signature);

        RecordingPrintSurface surface;
        printReport(surface, label, listOf({}), listOf({}), "一年間ご協力ありがとうございました。",
                    titlesFor(classAccount));

        QCOMPARE(textsAt(surface, 0, 800), addressee);
        if (classAccount) {
            QCOMPARE(textAt(surface, 0, 800, "保護者各位").x, 1000.0);
            QCOMPARE(rightEnd(textAt(surface, 0, 800, "市立桜ヶ丘小学校")), 10600.0);
        }
        const PrintOperation heading = textAt(surface, 0, 1400, title);
        QCOMPARE(heading.x, 1000.0);
        QCOMPARE(heading.fontSize, 16.0);
        QCOMPARE(textsAt(surface, 0, 1400).size(), 1);

        // Empty lists: both tables close at once; bottom rule of the expense
        // table at row 11, four empty rows, then the closing block.
        QCOMPARE(textsAt(surface, 0, rowText(15)), QStringList{"上記の通りご報告します。"});
        QCOMPARE(textsAt(surface, 0, rowText(16)),
                 QStringList{"一年間ご協力ありがとうございました。"});
        QCOMPARE(textsAt(surface, 0, rowText(17)), (QStringList{"令和7年7月18日", signature}));
        const PrintOperation signed_ = textAt(surface, 0, rowText(17), signature);
        QCOMPARE(rightEnd(signed_), 10600.0);
        QCOMPARE(signed_.fontSize, 12.0);
        QVERIFY(surface.documentEnded());
    }

    void emptyListsGiveZeroYen() {
        RecordingPrintSurface surface;
        printReport(surface, "１学期", listOf({}), listOf({}), "", titlesFor(true));

        for (int row : {0, 1, 2}) {
            const QStringList box = textsAt(surface, 0, rowText(row));
            QCOMPARE(box.size(), 2);
            QCOMPARE(box[1], QString("0円"));
            QCOMPARE(rightEnd(textAt(surface, 0, rowText(row), "0円")), 8440.0);
        }
        QCOMPARE(textsAt(surface, 0, rowText(0)).first(), QString("収入総額"));
        QCOMPARE(textsAt(surface, 0, rowText(2)).first(), QString("差引総額"));
        // Income: head in row 5, then straight away the double rule and 合　計.
        QCOMPARE(textsAt(surface, 0, rowText(4)), QStringList{"１．収入の部"});
        QCOMPARE(textsAt(surface, 0, rowText(5)), (QStringList{"項　目", "金　額", "内　訳"}));
        QVERIFY(hasLine(surface, 0, 1000, rowTop(6) + 25, 10600, rowTop(6) + 25, 1));
        QCOMPARE(textsAt(surface, 0, rowText(6)), (QStringList{"合　計", "0円"}));
        QVERIFY(hasLine(surface, 0, 1000, rowTop(7), 10600, rowTop(7), 4));
        QCOMPARE(textsAt(surface, 0, rowText(8)), QStringList{"２．支出の部"});
        QCOMPARE(textsAt(surface, 0, rowText(9)),
                 (QStringList{"項　目", "金　額", "項　目", "金　額"}));
        QCOMPARE(textsAt(surface, 0, rowText(10)), (QStringList{"合　計", "0円"}));
        QVERIFY(hasLine(surface, 0, 1000, rowTop(10) + 25, 10600, rowTop(10) + 25, 1));

        // Summary box: thick frame, thin divider at 4700.
        QVERIFY(hasLine(surface, 0, 1000, 2000, 10600, 2000, 4));
        QVERIFY(hasLine(surface, 0, 1000, 2360, 10600, 2360, 1));
        QVERIFY(hasLine(surface, 0, 1000, 3080, 10600, 3080, 4));
        QVERIFY(hasLine(surface, 0, 4700, 2000, 4700, 3080, 1));
        QVERIFY(hasLine(surface, 0, 10600, 2000, 10600, 3080, 4));
    }

    void incomeIsReadItemByItem() {
        // 学級費 is collected in April and May with the excursion money in
        // between: both months print together where 学級費 first appears.
        ArticlePtr carry = income(QDate(1900, 9, 1), "１学期の繰越金", 7500);
        carry->setTaStudentsNumber(35);
        ArticlePtr incomeList = listOf({carry, collection(may, "学級費", "4月分", 1000, 35),
                                        collection(may, "遠足代", "", 1500, 35),
                                        collection(may, "学級費", "5月分", 1000, 35)});
        RecordingPrintSurface surface;
        printReport(surface, "２学期", incomeList, listOf({}), "", titlesFor(true));

        QCOMPARE(textsAt(surface, 0, rowText(6)), (QStringList{"１学期の繰越金 ", "7,500円"}));
        QCOMPARE(textsAt(surface, 0, rowText(7)),
                 (QStringList{"学級費 4月分", "35,000円", " ＠1,000×35人"}));
        QCOMPARE(textsAt(surface, 0, rowText(8)),
                 (QStringList{"学級費 5月分", "35,000円", " ＠1,000×35人"}));
        QCOMPARE(textsAt(surface, 0, rowText(9)),
                 (QStringList{"遠足代 ", "52,500円", " ＠1,500×35人"}));
        QCOMPARE(textAt(surface, 0, rowText(7), "学級費 4月分").x, 1060.0);
        QCOMPARE(rightEnd(textAt(surface, 0, rowText(7), "35,000円")), 6040.0);
        QCOMPARE(rightEnd(textAt(surface, 0, rowText(9), " ＠1,500×35人")), 10540.0);

        QCOMPARE(textsAt(surface, 0, rowText(10)), (QStringList{"合　計", "130,000円"}));
        QCOMPARE(rightEnd(textAt(surface, 0, rowText(10), "130,000円")), 10540.0);
        QCOMPARE(textsAt(surface, 0, rowText(0)), (QStringList{"収入総額", "130,000円"}));
        QCOMPARE(textsAt(surface, 0, rowText(2)), (QStringList{"差引総額", "130,000円"}));
        // The amount column ends above the 合　計 row; the item column runs through it.
        QVERIFY(hasLine(surface, 0, 6100, rowTop(5), 6100, rowTop(10), 1));
        QVERIFY(hasLine(surface, 0, 4700, rowTop(5), 4700, rowTop(11), 1));
        QVERIFY(hasLine(surface, 0, 1000, rowTop(5), 1000, rowTop(11), 4));
        // The list itself is not touched by the grouping.
        QStringList listed;
        for (ArticlePtr line = incomeList->nextArticle(); line; line = line->nextArticle())
            listed.append(line->taArticle() + line->taSubArticle() +
                          QString::number(line->taAmount()));
        QCOMPARE(listed, (QStringList{"１学期の繰越金7500", "学級費4月分35000", "遠足代52500",
                                      "学級費5月分35000"}));
    }

    void itemsWrapAtTheirColumn_data() {
        QTest::addColumn<bool>("isIncome");
        QTest::addColumn<double>("limit");
        // 3700 and 3400 twips, but never past the column's border.
        QTest::newRow("income, 3640") << true << 3640.0;
        QTest::newRow("expense, 3340") << false << 3340.0;
    }

    void itemsWrapAtTheirColumn() {
        QFETCH(bool, isIncome);
        QFETCH(double, limit);
        const QString article = "社会科見学（市立科学館・プラネタリウム）入場料";
        ArticlePtr incomeList =
            isIncome ? listOf({income(may, article, 700), income(may, "寄付金", 300)}) : listOf({});
        ArticlePtr supplyList =
            isIncome ? listOf({})
                     : listOf({expense(may, 1, article, 700), expense(may, 2, "画用紙", 300),
                               expense(may, 3, "のり", 200)});
        RecordingPrintSurface surface;
        printReport(surface, "１学期", incomeList, supplyList, "", titlesFor(true));

        const int first = isIncome ? 6 : 10;
        const QStringList row1 = textsAt(surface, 0, rowText(first));
        const QStringList row2 = textsAt(surface, 0, rowText(first + 1));
        const QString expected = isIncome ? article + u' ' : article;
        QCOMPARE(textAt(surface, 0, rowText(first), row1[0]).x, 1060.0);
        QCOMPARE(row1[0] + row2[0], expected);
        QVERIFY(surface.textWidth(row1[0]) <= limit);
        QVERIFY(surface.textWidth(row1[0] + row2[0].left(1)) > limit);
        QCOMPARE(row1[1], QString("700円"));
        if (isIncome) {
            // The next line starts below the wrapped text.
            QCOMPARE(textsAt(surface, 0, rowText(first + 2)).first(), QString("寄付金 "));
        } else {
            // The right half shares the first row; the next row starts below
            // the taller half, closed by a thin rule.
            QCOMPARE(row1.mid(2), (QStringList{"画用紙", "300円"}));
            QCOMPARE(textsAt(surface, 0, rowText(first + 2)).first(), QString("のり"));
            QVERIFY(hasLine(surface, 0, 1000, rowTop(first + 2), 10600, rowTop(first + 2), 1));
        }
    }

    void anOddExpenseCountEndsWithALeftHalf() {
        RecordingPrintSurface surface;
        printReport(surface, "１学期", listOf({}),
                    listOf({expense(may, 1, "画用紙", 1200), expense(may, 2, "のり", 300),
                            expense(may, 3, "模造紙", 450)}),
                    "", titlesFor(true));

        QCOMPARE(textsAt(surface, 0, rowText(10)),
                 (QStringList{"画用紙", "1,200円", "のり", "300円"}));
        QCOMPARE(textAt(surface, 0, rowText(10), "のり").x, 5860.0);
        QCOMPARE(rightEnd(textAt(surface, 0, rowText(10), "1,200円")), 5740.0);
        QCOMPARE(rightEnd(textAt(surface, 0, rowText(10), "300円")), 10540.0);
        QCOMPARE(textsAt(surface, 0, rowText(11)), (QStringList{"模造紙", "450円"}));
        // The half row is closed, then the double rule and the 合　計 row.
        QVERIFY(hasLine(surface, 0, 1000, rowTop(12), 10600, rowTop(12), 1));
        QVERIFY(hasLine(surface, 0, 1000, rowTop(12) + 25, 10600, rowTop(12) + 25, 1));
        QCOMPARE(textsAt(surface, 0, rowText(12)), (QStringList{"合　計", "1,950円"}));
        QVERIFY(hasLine(surface, 0, 1000, rowTop(13), 10600, rowTop(13), 4));
        QVERIFY(hasLine(surface, 0, 5800, rowTop(9), 5800, rowTop(13), 4));
        QVERIFY(hasLine(surface, 0, 4400, rowTop(9), 4400, rowTop(12), 1));
        QVERIFY(hasLine(surface, 0, 9200, rowTop(9), 9200, rowTop(12), 1));
        QCOMPARE(textsAt(surface, 0, rowText(1)), (QStringList{"支出総額", "1,950円"}));
        QCOMPARE(textsAt(surface, 0, rowText(2)), (QStringList{"差引総額", "-1,950円"}));
        QCOMPARE(textsAt(surface, 0, rowText(17)), QStringList{"上記の通りご報告します。"});
    }

    void aLongExpenseListGoesOnToANewPage() {
        // Rows 10 to 34 of the first page hold 50 expenses; row 35 lies below
        // 14280, so the 51st opens the next page on its left half.
        RecordingPrintSurface surface;
        printReport(surface, "年度", listOf({}), expenses(53), "", titlesFor(true));

        QCOMPARE(surface.pageCount(), 2);
        QCOMPARE(textsAt(surface, 0, rowText(34)),
                 (QStringList{"画用紙", "148円", "画用紙", "149円"}));
        QVERIFY(textsAt(surface, 0, rowText(35)).isEmpty());
        QVERIFY(hasLine(surface, 0, 1000, rowTop(35), 10600, rowTop(35), 4));
        QVERIFY(hasLine(surface, 0, 5800, rowTop(9), 5800, rowTop(35), 4));
        QVERIFY(hasLine(surface, 0, 9200, rowTop(9), 9200, rowTop(35), 1));

        QCOMPARE(textsAt(surface, 1, rowText(0)),
                 (QStringList{"項　目", "金　額", "項　目", "金　額"}));
        QCOMPARE(textsAt(surface, 1, rowText(1)),
                 (QStringList{"画用紙", "150円", "画用紙", "151円"}));
        QCOMPARE(textsAt(surface, 1, rowText(2)), (QStringList{"画用紙", "152円"}));
        QCOMPARE(textsAt(surface, 1, rowText(3)).first(), QString("合　計"));
        // Neither the summary box nor the section heading is repeated.
        QCOMPARE(textsNamed(surface, "収入総額").size(), size_t(1));
        QCOMPARE(textsNamed(surface, "２．支出の部").size(), size_t(1));
    }

    void aGroupIsNeverSplit() {
        // 29 single lines fill rows 6 to 34; a three-line group starting in
        // row 35 (not yet below 14640) stays whole; the next group turns the page.
        std::vector<ArticlePtr> lines;
        for (int i = 0; i < 29; ++i)
            lines.push_back(income(may, "寄付金" + QString::number(i), 100));
        for (const char* month : {"4月分", "5月分", "6月分"})
            lines.push_back(collection(may, "学級費", month, 1000, 35));
        lines.push_back(income(may, "バザー売上", 5000));
        ArticlePtr incomeList = SorobeArticle::create();
        for (auto it = lines.rbegin(); it != lines.rend(); ++it)
            incomeList->insertArticle(*it);
        RecordingPrintSurface surface;
        printReport(surface, "１学期", incomeList, listOf({}), "", titlesFor(true));

        QCOMPARE(textsAt(surface, 0, rowText(35)).first(), QString("学級費 4月分"));
        QCOMPARE(textsAt(surface, 0, rowText(37)).first(), QString("学級費 6月分"));
        QVERIFY(hasLine(surface, 0, 1000, rowTop(5), 1000, rowTop(38), 4));
        QVERIFY(hasLine(surface, 0, 6100, rowTop(5), 6100, rowTop(38), 1));
        QCOMPARE(textsAt(surface, 1, rowText(0)), (QStringList{"項　目", "金　額", "内　訳"}));
        QCOMPARE(textsAt(surface, 1, rowText(1)), (QStringList{"バザー売上 ", "5,000円"}));
        QVERIFY(everythingOnPaper(surface));
    }

    void theIncomeTotalIsNeverAloneOnAPage() {
        // 29 single lines fill rows 6 to 34; the last group, three lines in
        // rows 35 to 37, would leave 合　計 alone under a new page's heading:
        // the group goes over with it.
        std::vector<ArticlePtr> lines;
        for (int i = 0; i < 29; ++i)
            lines.push_back(income(may, "寄付金" + QString::number(i), 100));
        for (const char* month : {"4月分", "5月分", "6月分"})
            lines.push_back(collection(may, "学級費", month, 1000, 35));
        ArticlePtr incomeList = SorobeArticle::create();
        for (auto it = lines.rbegin(); it != lines.rend(); ++it)
            incomeList->insertArticle(*it);
        RecordingPrintSurface surface(16000);
        printReport(surface, "１学期", incomeList, listOf({}), "", titlesFor(true));

        QVERIFY(textsAt(surface, 0, rowText(35)).isEmpty());
        QCOMPARE(textsAt(surface, 1, rowText(1)).first(), QString("学級費 4月分"));
        QCOMPARE(textsAt(surface, 1, rowText(4)).first(), QString("合　計"));
        QVERIFY(everythingOnPaper(surface));
    }

    void totalsAndClosingAreNeverCutOff() {
        // 48 short expenses end in row 34, two four-line ones take rows 34 to
        // 37: the 合　計 row would reach below the paper, so it opens a new
        // page under a fresh table head, and the closing block follows there.
        ArticlePtr supplyList = expenses(48);
        SorobeArticle* tail = supplyList.get();
        while (tail->nextArticle())
            tail = tail->nextArticle().get();
        tail->insertArticle(expense(may, 0, longText(50), 1000));
        tail->nextArticle()->insertArticle(expense(may, 0, longText(45), 1000));
        RecordingPrintSurface surface(16000);
        printReport(surface, "１学期", listOf({}), supplyList,
                    "一年間ご協力ありがとうございました。", titlesFor(true));

        QCOMPARE(surface.pageCount(), 2);
        QCOMPARE(textsAt(surface, 0, rowText(34)).size(), 4);
        QVERIFY(textsAt(surface, 0, rowText(38)).isEmpty());
        QCOMPARE(textsAt(surface, 1, rowText(0)),
                 (QStringList{"項　目", "金　額", "項　目", "金　額"}));
        QCOMPARE(textsAt(surface, 1, rowText(1)), (QStringList{"合　計", "7,928円"}));
        QCOMPARE(textsAt(surface, 1, rowText(6)), QStringList{"上記の通りご報告します。"});
        QVERIFY(everythingOnPaper(surface));
    }

    // 48 expenses end the table with 合　計 in row 34. The closing block takes
    // four empty rows where it can, fewer down to one; below that, the last
    // row of expenses goes with it to the next page.
    void theClosingBlockStaysWithTheTable_data() {
        QTest::addColumn<double>("pageHeight");
        QTest::addColumn<int>("incomes"); // one-line incomes before the expenses
        QTest::addColumn<int>("count");   // expenses
        QTest::addColumn<int>("page");    // of 上記の通りご報告します。
        QTest::addColumn<int>("first");   // its row
        QTest::addColumn<int>("total");   // the row of 合　計 on that page
        QTest::newRow("four empty rows") << 17440.0 << 0 << 48 << 0 << 39 << 34;
        QTest::newRow("two empty rows") << 16400.0 << 0 << 48 << 0 << 37 << 34;
        QTest::newRow("one empty row") << 16040.0 << 0 << 48 << 0 << 36 << 34;
        QTest::newRow("with the last row") << 16000.0 << 0 << 48 << 1 << 7 << 2;
        // A table of one row has none to send on: the whole section goes.
        QTest::newRow("a one-row table") << 16000.0 << 26 << 2 << 1 << 8 << 3;
    }
    void theClosingBlockStaysWithTheTable() {
        QFETCH(double, pageHeight);
        QFETCH(int, incomes);
        QFETCH(int, count);
        QFETCH(int, page);
        QFETCH(int, first);
        QFETCH(int, total);
        ArticlePtr incomeList = SorobeArticle::create();
        for (int i = 0; i < incomes; ++i)
            incomeList->insertArticle(income(may, "寄付金" + QString::number(i), 100));
        RecordingPrintSurface surface(pageHeight);
        printReport(surface, "１学期", incomeList, expenses(count),
                    "一年間ご協力ありがとうございました。", titlesFor(true));
        QCOMPARE(surface.pageCount(), page + 1);
        QCOMPARE(textsAt(surface, page, rowText(total)).first(), QString("合　計"));
        QCOMPARE(textsAt(surface, page, rowText(first)), QStringList{"上記の通りご報告します。"});
        QCOMPARE(textsAt(surface, page, rowText(first + 2)).first(), QString("令和7年7月18日"));
        if (page == 1) // the last two expenses came along, under a fresh head
            QCOMPARE(textsAt(surface, 1, rowText(total - 1)),
                     (QStringList{"画用紙", QString("%1円").arg(98 + count), "画用紙",
                                  QString("%1円").arg(99 + count)}));
        QVERIFY(everythingOnPaper(surface));
    }
};

QTEST_MAIN(TestReportPrintout)
#include "tst_reportprintout.moc"
