#include "EraDate.h"
#include "PageNumbers.h"
#include "PainterPrintSurface.h"
#include "PrintKinds.h"
#include "PrintPeriods.h"
#include "PrintTestData.h"
#include "Printouts.h"
#include "RecordingPrintSurface.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <cmath>
#include <limits>

using namespace sorobe;
using namespace sorobe::test;

namespace {

PrintTitles classTitles() {
    PrintTitles titles;
    titles.schoolName = "市立桜ヶ丘小学校";
    titles.grade = "第１学年";
    titles.room = "１組";
    titles.teacher = "山田花子";
    titles.reportDate = QDate(2026, 3, 19);
    return titles;
}

bool printed(const RecordingPrintSurface& surface, const QString& text) {
    return !textsNamed(surface, text).empty();
}

// Pages of a PDF file as its page objects count them.
int pdfPages(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString content = QString::fromLatin1(file.readAll());
    return int(content.count(QRegularExpression("/Type\\s*/Page[^s]")));
}

// The font sizes the texts of a PDF are set in, in the order of its pages'
// contents (each page's stream inflated).
QList<double> pdfTextSizes(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pdf = file.readAll();
    QList<double> sizes;
    static const QRegularExpression stream("stream\r?\n");
    for (auto match = stream.globalMatch(QString::fromLatin1(pdf)); match.hasNext();) {
        const qsizetype start = match.next().capturedEnd();
        const qsizetype end = pdf.indexOf("endstream", start);
        QByteArray deflated = pdf.mid(start, end - start);
        // qUncompress takes the inflated length first; an upper bound does.
        const quint32 room = 1 << 24;
        deflated.prepend(char(room >> 24)).insert(1, char(room >> 16 & 0xff));
        deflated.insert(2, char(room >> 8 & 0xff)).insert(3, char(room & 0xff));
        const QString content = QString::fromLatin1(qUncompress(deflated));
        static const QRegularExpression font("/F\\d+\\s+([0-9.]+)\\s+Tf");
        for (auto tf = font.globalMatch(content); tf.hasNext();)
            sizes.append(tf.next().captured(1).toDouble());
    }
    return sizes;
}

} // namespace

class TestPrintKinds : public QObject {
    Q_OBJECT

private slots:
    void closingSentenceCarriesTheBalance_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("incomeSum");
        QTest::addColumn<int>("supplySum");
        QTest::addColumn<bool>("classAccount");
        QTest::addColumn<QString>("sentence");

        QTest::newRow("1学期, class")
            << 2 << 12000 << -4500 << true
            << "尚、残金の7,500円は第２学期学級会計に繰り越させていただきます。";
        QTest::newRow("1学期, other")
            << 2 << 12000 << -4500 << false
            << "尚、残金の7,500円は第２学期会計に繰り越させていただきます。";
        QTest::newRow("1学期, overspent")
            << 2 << 3000 << -4200 << true
            << "尚、残金の-1,200円は第２学期学級会計に繰り越させていただきます。";
        QTest::newRow("1学期, nothing")
            << 2 << 0 << 0 << true << "尚、残金の0円は第２学期学級会計に繰り越させていただきます。";
        QTest::newRow("2学期")
            << 4 << 1234567 << -1000 << true
            << "尚、残金の1,233,567円は第３学期学級会計に繰り越させていただきます。";
        QTest::newRow("前期, other") << 8 << 5000 << -100 << false
                                     << "尚、残金の4,900円は後期会計に繰り越させていただきます。";
        QTest::newRow("3学期") << 6 << 5000 << -100 << true
                               << "一年間ご協力ありがとうございました。";
        QTest::newRow("後期") << 10 << 5000 << -100 << false
                              << "一年間ご協力ありがとうございました。";
        QTest::newRow("年度") << 12 << 0 << -100 << true << "一年間ご協力ありがとうございました。";
        QTest::newRow("a ledger has none") << 1 << 5000 << -100 << true << "";
    }

    void closingSentenceCarriesTheBalance() {
        QFETCH(int, kind);
        QFETCH(int, incomeSum);
        QFETCH(int, supplySum);
        QFETCH(bool, classAccount);
        QFETCH(QString, sentence);

        // Only the totals of the reported period may count.
        const Period periodOf[] = {Spring, Spring, Autumn, Autumn, Winter, Winter,
                                   Before, Before, Later,  Later,  Year,   Year};
        SharedState state;
        state.periodIncomeSum.fill(999);
        state.periodSupplySum.fill(-1);
        state.periodIncomeSum[periodOf[kind - 1]] = incomeSum;
        state.periodSupplySum[periodOf[kind - 1]] = supplySum;
        QCOMPARE(closingSentence(state, kind, classAccount), sentence);
    }

    void eachKindPrintsItsPeriod_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("absent");
        QTest::addColumn<QString>("closing");

        const QString ledger = "学級会計元帳 %1 第１学年１組  担任 山田花子";
        const QString report = "第１学年１組  %1 学級会計報告";
        QTest::newRow("1") << 1 << ledger.arg("１学期") << "学級費 4月分"
                           << "学級費 9月分"
                           << "";
        QTest::newRow("2") << 2 << report.arg("１学期") << "学級費 4月分"
                           << "学級費 9月分"
                           << "尚、残金の%1円は第２学期学級会計に繰り越させていただきます。";
        QTest::newRow("3") << 3 << ledger.arg("２学期") << "１学期の繰越金"
                           << "学級費 7月分"
                           << "";
        QTest::newRow("4") << 4 << report.arg("２学期") << "１学期の繰越金 "
                           << "学級費 7月分"
                           << "尚、残金の%1円は第３学期学級会計に繰り越させていただきます。";
        QTest::newRow("5") << 5 << ledger.arg("３学期") << "２学期の繰越金"
                           << "学級費 12月分"
                           << "";
        QTest::newRow("6") << 6 << report.arg("３学期") << "学級費 1月分"
                           << "学級費 12月分"
                           << "一年間ご協力ありがとうございました。";
        QTest::newRow("7") << 7 << ledger.arg("前期") << "学級費 9月分"
                           << "学級費 10月分"
                           << "";
        QTest::newRow("8") << 8 << report.arg("前期") << "学級費 9月分"
                           << "学級費 10月分"
                           << "尚、残金の%1円は後期学級会計に繰り越させていただきます。";
        QTest::newRow("9") << 9 << ledger.arg("後期") << "前期の繰越金"
                           << "学級費 9月分"
                           << "";
        QTest::newRow("10") << 10 << report.arg("後期") << "学級費 3月分"
                            << "学級費 9月分"
                            << "一年間ご協力ありがとうございました。";
        QTest::newRow("11") << 11 << ledger.arg("") << "学級費 3月分"
                            << "１学期の繰越金"
                            << "";
        QTest::newRow("12") << 12 << report.arg("年度") << "学級費 4月分"
                            << "前期の繰越金 "
                            << "一年間ご協力ありがとうございました。";
    }

    void eachKindPrintsItsPeriod() {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(QString, present);
        QFETCH(QString, absent);
        QFETCH(QString, closing);

        SharedState state;
        fillLedger(state, schoolYear());
        RecordingPrintSurface surface;
        const PrintResult result = printKind(surface, state, kind, classTitles());
        QVERIFY(result.ok);
        QVERIFY(result.message.isEmpty());
        QVERIFY(surface.documentEnded());

        QVERIFY(printed(surface, title));
        QCOMPARE(reportPeriodLabel(kind).isEmpty(), kind % 2 == 1);
        QVERIFY2(printed(surface, present), qPrintable(present));
        QVERIFY2(!printed(surface, absent), qPrintable(absent));
        if (closing.contains("%1")) {
            // The balance the tabulation kept for the period that hands it on.
            const Period carried = kind == 2 ? Spring : kind == 4 ? Autumn : Before;
            closing = closing.arg(
                QLocale(QLocale::English)
                    .toString(state.periodIncomeSum[carried] + state.periodSupplySum[carried]));
        }
        if (!closing.isEmpty())
            QVERIFY2(printed(surface, closing), qPrintable(closing));
    }

    // The 年度 of the settings page heads the class's report and ledger,
    // made smaller when the line cannot hold it; without one, the titles
    // are as they were.
    void theSchoolYearHeadsTheTitles_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("title");
        QTest::addColumn<double>("size");
        QTest::newRow("1学期 report")
            << 2 << QString("令和7年度") << QString("令和7年度 第１学年１組  １学期 学級会計報告")
            << 16.0;
        QTest::newRow("year report")
            << 12 << QString("令和7年度") << QString("令和7年度 第１学年１組 学級会計報告") << 16.0;
        QTest::newRow("year report, no year")
            << 12 << QString() << QString("第１学年１組  年度 学級会計報告") << 16.0;
        QTest::newRow("year ledger")
            << 11 << QString("令和7年度")
            << QString("令和7年度 学級会計元帳  第１学年１組  担任 山田花子") << 14.0;
        QTest::newRow("long year, fitted") // 0: smaller than the 16 points of a title
            << 2 << QString("令和7年度(2025年度）子ども会と合同")
            << QString("令和7年度(2025年度）子ども会と合同 第１学年１組  １学期 学級会計報告")
            << 0.0;
    }
    void theSchoolYearHeadsTheTitles() {
        QFETCH(int, kind);
        QFETCH(QString, year);
        QFETCH(QString, title);
        QFETCH(double, size);
        SharedState state;
        fillLedger(state, schoolYear());
        PrintTitles titles = classTitles();
        titles.year = year;
        RecordingPrintSurface surface;
        QVERIFY(printKind(surface, state, kind, titles).ok);
        const std::vector<PrintOperation> printedTitle = textsNamed(surface, title);
        QCOMPARE(printedTitle.size(), std::size_t(1));
        if (size > 0)
            QCOMPARE(printedTitle[0].fontSize, size);
        else
            QVERIFY(printedTitle[0].fontSize < 16);
        QVERIFY(printedTitle[0].x + printedTitle[0].width <= 10600);
    }

    // A printout of more than one sheet is numbered 「1 / 3」 on the foot of
    // each sheet, under everything else, its rows laid out above the band
    // kept for the number; one sheet is printed exactly as laid out.
    void sheetsOfMoreThanOneAreNumbered_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("years");
        QTest::addColumn<int>("extraExpenses");
        QTest::addColumn<int>("sheets");
        QTest::newRow("1学期 ledger, one sheet") << 1 << 1 << 0 << 1;
        QTest::newRow("year ledger, two sheets") << 11 << 1 << 0 << 2;
        QTest::newRow("year ledger, three years") << 11 << 3 << 0 << 4;
        QTest::newRow("1学期 ledger, many receipts") << 1 << 1 << 40 << 2;
        QTest::newRow("year report, one sheet") << 12 << 1 << 0 << 1;
        QTest::newRow("1学期 report, many receipts") << 2 << 1 << 90 << 2;
    }

    void sheetsOfMoreThanOneAreNumbered() {
        QFETCH(int, kind);
        QFETCH(int, years);
        QFETCH(int, extraExpenses);
        QFETCH(int, sheets);
        SharedState state;
        std::vector<ArticlePtr> ledger;
        for (int year = 0; year < years; ++year) {
            for (const ArticlePtr& entry : schoolYear())
                ledger.push_back(entry);
        }
        for (int k = 0; k < extraExpenses; ++k)
            ledger.push_back(expense(QDate(2025, 6, 1 + k % 28), std::int16_t(30 + k),
                                     QString("備品 %1").arg(k), 100 + k));
        fillLedger(state, ledger);

        const double height = 16438; // A4 less the margins of the PDF
        RecordingPrintSurface surface(height);
        QVERIFY(printKind(surface, state, kind, classTitles()).ok);
        QCOMPARE(surface.pageCount(), sheets);

        // The same layout drawn alone, on the page the numbers leave it.
        RecordingPrintSurface alone(sheets > 1 ? height - pageNumberBand : height);
        const Period period = kind <= 2 ? Spring : Year;
        if (kind % 2 == 1)
            printLedger(alone, state, std::int16_t(period), classTitles());
        else
            printReport(alone, reportPeriodLabel(kind),
                        print::periodIncomeList(state.termLists, period),
                        print::periodSupplyList(state.termLists, period),
                        closingSentence(state, kind, true), classTitles());

        const QRegularExpression numberPattern("^(\\d+) / (\\d+)$");
        auto describe = [](const PrintOperation& op) {
            return QString("%1 p%2 (%3,%4)-(%5,%6) %7 %8 %9pt w%10 %11")
                .arg(int(op.kind))
                .arg(op.page)
                .arg(op.x)
                .arg(op.y)
                .arg(op.x2)
                .arg(op.y2)
                .arg(op.text, op.fontName)
                .arg(op.fontSize)
                .arg(op.lineWidth)
                .arg(op.color.name());
        };
        QStringList rest;
        std::vector<double> lowest(std::size_t(sheets), 0.0);
        std::vector<PrintOperation> numbers;
        for (const PrintOperation& op : surface.operations()) {
            const auto match = numberPattern.match(op.text);
            if (op.kind == PrintOperation::Kind::Text && match.hasMatch()) {
                numbers.push_back(op);
                continue;
            }
            rest << describe(op);
            const double bottom = op.kind == PrintOperation::Kind::Text ? op.y + op.fontSize * 20
                                                                        : std::max(op.y, op.y2);
            if (op.kind != PrintOperation::Kind::EndPage && op.kind != PrintOperation::Kind::EndDoc)
                lowest[std::size_t(op.page)] = std::max(lowest[std::size_t(op.page)], bottom);
        }
        QStringList expected;
        for (const PrintOperation& op : alone.operations())
            expected << describe(op);
        QCOMPARE(rest, expected);

        QCOMPARE(int(numbers.size()), sheets > 1 ? sheets : 0);
        for (const PrintOperation& number : numbers) {
            QCOMPARE(number.text, QString("%1 / %2").arg(number.page + 1).arg(sheets));
            QCOMPARE(number.x + number.width / 2, 5800.0); // the middle of the tables
            QVERIFY(number.y > height - pageNumberBand);
            QVERIFY(number.y + number.fontSize * 20 <= height);
            QVERIFY(number.y > lowest[std::size_t(number.page)]);
            QCOMPARE(number.color, QColor(Qt::black));
            QCOMPARE(number.fontSize, pageNumberPoints);
        }
    }

    void aKindOutsideTheTableIsRefused_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("0") << 0;
        QTest::newRow("13") << 13;
    }

    void aKindOutsideTheTableIsRefused() {
        QFETCH(int, kind);
        SharedState state;
        RecordingPrintSurface surface;
        const PrintResult result = printKind(surface, state, kind, classTitles());
        QVERIFY(!result.ok);
        QVERIFY(!result.message.isEmpty());
        QVERIFY(surface.operations().empty());
    }

    void aBalanceTooLargeStopsBeforePrinting() {
        SharedState state;
        state.periodIncomeSum[Spring] = std::numeric_limits<std::int32_t>::max();
        state.periodSupplySum[Spring] = 1; // a refund booked as negative expense
        for (int kind : {2, 3}) {
            RecordingPrintSurface surface;
            const PrintResult result = printKind(surface, state, kind, classTitles());
            QVERIFY(!result.ok);
            QVERIFY(result.message.contains("印刷を中止しました"));
            QVERIFY(surface.operations().empty());
        }
    }

    // The number stands below every row of its sheet: when the expense
    // section opens low on a sheet with an item of two lines, and when the
    // ledger's totals, at their fixed places, reach into the band on paper
    // with wide margins.
    void theNumberIsNeverDrawnOverARow_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("collections");
        QTest::addColumn<bool>("bandKeptFree"); // the rows stop above the band
        QTest::newRow("1学期 report, A4 PDF") << 2 << 16438.0 << 28 << true;
        QTest::newRow("1学期 ledger, wide margins") << 1 << 15900.0 << 40 << false;
    }

    void theNumberIsNeverDrawnOverARow() {
        QFETCH(int, kind);
        QFETCH(double, height);
        QFETCH(int, collections);
        QFETCH(bool, bandKeptFree);
        SharedState state;
        std::vector<ArticlePtr> ledger;
        for (int k = 0; k < collections; ++k)
            ledger.push_back(collection(QDate(2025, 4 + k % 4, 1 + k % 28), "学級費",
                                        QString("%1回目").arg(k + 1), 1000, 35));
        ledger.push_back(
            expense(QDate(2025, 5, 23), 1, "遠足バス代（貸切、運転手の心付けを含む）", 42000));
        ledger.push_back(expense(QDate(2025, 5, 24), 2, "漢字ドリル", 17500));
        ledger.push_back(expense(QDate(2025, 5, 25), 3, "計算ワークブック", 9800));
        fillLedger(state, ledger);
        RecordingPrintSurface surface(height);
        QVERIFY(printKind(surface, state, kind, classTitles()).ok);
        QVERIFY(surface.pageCount() > 1);
        const QRegularExpression numberPattern("^\\d+ / \\d+$");
        std::vector<double> lowest(std::size_t(surface.pageCount()), 0.0);
        std::vector<double> numberTop(std::size_t(surface.pageCount()), -1.0);
        for (const PrintOperation& op : surface.operations()) {
            if (op.kind == PrintOperation::Kind::EndPage || op.kind == PrintOperation::Kind::EndDoc)
                continue;
            if (op.kind == PrintOperation::Kind::Text && numberPattern.match(op.text).hasMatch()) {
                numberTop[std::size_t(op.page)] = op.y;
                continue;
            }
            const double bottom = op.kind == PrintOperation::Kind::Text ? op.y + op.fontSize * 20
                                                                        : std::max(op.y, op.y2);
            lowest[std::size_t(op.page)] = std::max(lowest[std::size_t(op.page)], bottom);
        }
        for (std::size_t page = 0; page < lowest.size(); ++page) {
            QVERIFY2(numberTop[page] >= 0, qPrintable(QString("page %1 has no number").arg(page)));
            if (bandKeptFree)
                QVERIFY(lowest[page] <= height - pageNumberBand);
            QVERIFY2(numberTop[page] > lowest[page],
                     qPrintable(QString("page %1: number at %2, rows down to %3")
                                    .arg(page)
                                    .arg(numberTop[page])
                                    .arg(lowest[page])));
        }
    }

    void anOverflowMidwayPrintsNothingAndLeavesTheLedgerAlone() {
        // Two gifts of two thousand million yen: the running balance of the
        // second row cannot be held. The period lists are left untabulated,
        // so only the walk through the ledger meets the overflow, and it
        // meets it while the sheets are counted, before any ink.
        SharedState state;
        state.ledger->addArticle(income(QDate(2025, 4, 1), "寄付金", 2000000000));
        state.ledger->addArticle(income(QDate(2025, 4, 2), "寄付金", 2000000000));
        RecordingPrintSurface surface;
        const PrintResult result = printKind(surface, state, 1, classTitles());
        QVERIFY(!result.ok);
        QVERIFY(result.message.contains("印刷を中止しました"));
        QVERIFY(surface.operations().empty());
        int entries = 0;
        for (ArticlePtr entry = state.ledger->nextArticle(); entry; entry = entry->nextArticle()) {
            QCOMPARE(entry->taAmount(), 2000000000);
            ++entries;
        }
        QCOMPARE(entries, 2);
    }

    void aPrinterThatFailsIsReported() {
        SharedState state;
        fillLedger(state, schoolYear());
        for (int kind : {11, 12}) {
            RecordingPrintSurface surface;
            surface.failOnFirstOutput();
            const PrintResult result = printKind(surface, state, kind, classTitles());
            QVERIFY(!result.ok);
            QVERIFY(result.message.contains("プリンター"));
            QVERIFY(surface.operations().empty());
        }
    }

    void aPdfThatCannotBeWrittenIsReported() {
        SharedState state;
        fillLedger(state, schoolYear());
        QPrinter printer(QPrinter::HighResolution);
        preparePdfPrinter(printer, "/nonexistent-folder/ledger.pdf");
        PainterPrintSurface surface(printer);
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        const PrintResult result = printKind(surface, state, 11, classTitles());
        QVERIFY(!result.ok);
        QVERIFY(result.message.contains("プリンター"));
    }

    void thePdfHasThePagesOfTheLayout_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("entries");
        QTest::newRow("year ledger, one page") << 11 << 1;
        QTest::newRow("year ledger, three pages") << 11 << 3;
        QTest::newRow("year report") << 12 << 1;
    }

    void thePdfHasThePagesOfTheLayout() {
        QFETCH(int, kind);
        QFETCH(int, entries);
        SharedState state;
        std::vector<ArticlePtr> ledger;
        for (int copy = 0; copy < entries; ++copy) {
            for (const ArticlePtr& entry : schoolYear())
                ledger.push_back(entry);
        }
        fillLedger(state, ledger);

        RecordingPrintSurface recording;
        QVERIFY(printKind(recording, state, kind, classTitles()).ok);

        QTemporaryDir folder;
        const QString fileName = folder.filePath("printout.pdf");
        QPrinter printer(QPrinter::HighResolution);
        preparePdfPrinter(printer, fileName);
        PainterPrintSurface surface(printer);
        QVERIFY(surface.pageHeight() > 15745); // the ledger's lowest rule fits on A4
        QVERIFY(printKind(surface, state, kind, classTitles()).ok);
        QCOMPARE(pdfPages(fileName), recording.pageCount());
    }

    // A text measured once is measured alike by every surface that shares
    // the widths, in its own font, whichever font measured it first.
    void sharedWidthsAreThoseOfEachFont_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("amount") << "1,234,567";
        QTest::newRow("item") << "遠足のバス代 5月分";
        QTest::newRow("receipt") << "No.12";
    }
    void sharedWidthsAreThoseOfEachFont() {
        QFETCH(QString, text);
        RecordingPrintSurface first;
        RecordingPrintSurface second;
        second.shareTextWidths(first);
        const auto measured = [&](double points) {
            return QFontMetricsF(printFont(printFontName(), points)).horizontalAdvance(text);
        };
        QVERIFY(measured(12) != measured(8));
        first.setFontSize(12);
        second.setFontSize(8);
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(first.textWidth(text), measured(12));
            QCOMPARE(second.textWidth(text), measured(8));
            first.setFontSize(8);
            second.setFontSize(12);
            QCOMPARE(first.textWidth(text), measured(8));
            QCOMPARE(second.textWidth(text), measured(12));
            first.setFontSize(12);
            second.setFontSize(8);
        }
    }

    // Each text on paper is set in the font the layout chose for it, also
    // when the font changes and changes back between texts.
    void thePdfSetsEachTextInItsFont() {
        const QTemporaryDir folder;
        const QString fileName = folder.filePath("fonts.pdf");
        QPrinter printer(QPrinter::HighResolution);
        preparePdfPrinter(printer, fileName);
        {
            PainterPrintSurface surface(printer);
            surface.setFontName(printFontName());
            for (const double points : {12.0, 12.0, 16.0, 12.0, 9.0, 9.0}) {
                surface.setFontSize(points);
                surface.printAt(1000, 1000 + 400 * points, QStringLiteral("学級費"));
            }
            surface.endPage();
            surface.printAt(1000, 1000, QStringLiteral("学級費"));
            surface.endDoc();
        }
        const QList<double> sizes = pdfTextSizes(fileName);
        QCOMPARE(sizes.size(), 7);
        const double twelve = sizes[0];
        QVERIFY(twelve > 0);
        QList<double> points;
        for (const double size : sizes)
            points.append(std::round(size / twelve * 12 * 100) / 100);
        QCOMPARE(points, (QList<double>{12, 12, 16, 12, 9, 9, 9}));
    }

    // Whether a ledger's page totals stay within 32 bits wherever its pages
    // break: only then may the count of its sheets stop at the second.
    void ledgerPagesFailAlikeOnAnySheets_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<QList<std::int32_t>>("incomes");  // in April, the 1st onwards
        QTest::addColumn<QList<std::int32_t>>("expenses"); // in May
        QTest::addColumn<std::int32_t>("springBalance");   // carried into 2学期
        QTest::addColumn<bool>("alike");
        const std::int32_t top = std::numeric_limits<std::int32_t>::max();
        const std::int32_t bottom = std::numeric_limits<std::int32_t>::min();
        using Amounts = QList<std::int32_t>;
        QTest::newRow("a class's year")
            << 0 << Amounts{35000, 35000} << Amounts{1200, 800} << 0 << true;
        QTest::newRow("up to the top") << 0 << Amounts{top - 5, 5} << Amounts{} << 0 << true;
        QTest::newRow("a refund lets the incomes pass the top")
            << 0 << Amounts{top, -10, 10} << Amounts{} << 0 << false;
        QTest::newRow("expenses past the bottom")
            << 1 << Amounts{} << Amounts{bottom, -1} << 0 << false;
        QTest::newRow("expenses of both signs within range")
            << 1 << Amounts{} << Amounts{-1000000000, 1000000000, -1000000000} << 0 << true;
        QTest::newRow("entries outside the period do not count")
            << 2 << Amounts{top, top} << Amounts{} << 0 << true;
        QTest::newRow("the carry-forward opens the first page")
            << 2 << Amounts{} << Amounts{} << top << true;
        QTest::newRow("the carry-forward with a September gift past the top")
            << 2 << Amounts{} << Amounts{} << top - 1 << false;
    }
    void ledgerPagesFailAlikeOnAnySheets() {
        QFETCH(int, period);
        QFETCH(QList<std::int32_t>, incomes);
        QFETCH(QList<std::int32_t>, expenses);
        QFETCH(std::int32_t, springBalance);
        QFETCH(bool, alike);
        SharedState state;
        for (qsizetype k = 0; k < incomes.size(); ++k)
            state.ledger->addArticle(income(QDate(2025, 4, 1 + int(k)), "寄付金", incomes[k]));
        for (qsizetype k = 0; k < expenses.size(); ++k)
            state.ledger->addArticle(
                expense(QDate(2025, 5, 1 + int(k)), std::int16_t(k + 1), "教材費", expenses[k]));
        if (QByteArray(QTest::currentDataTag()).contains("September"))
            state.ledger->addArticle(income(QDate(2025, 9, 1), "寄付金", 2));
        state.periodIncomeSum[Spring] = springBalance;
        QCOMPARE(ledgerFailsAlikeOnAnySheets(state, std::int16_t(period)), alike);
    }

    // Stopping the count at the second sheet changes nothing on paper.
    void theSheetsAreTheSameWhereverTheCountStops_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("sheets");
        QTest::newRow("one sheet") << 4 << false;
        QTest::newRow("many sheets") << 150 << true;
    }
    void theSheetsAreTheSameWhereverTheCountStops() {
        QFETCH(int, entries);
        QFETCH(bool, sheets);
        SharedState state;
        std::vector<ArticlePtr> ledger;
        while (int(ledger.size()) < entries) {
            for (const ArticlePtr& entry : schoolYear())
                ledger.push_back(entry);
        }
        ledger.resize(std::size_t(entries));
        fillLedger(state, ledger);
        const auto layout = [&](PrintSurface& sheets) {
            printLedger(sheets, state, 0, classTitles());
        };
        QVERIFY(ledgerFailsAlikeOnAnySheets(state, 0));
        std::array<RecordingPrintSurface, 2> surfaces;
        printNumbered(surfaces[0], layout, portraitMiddle, false);
        printNumbered(surfaces[1], layout, portraitMiddle, true);
        QCOMPARE(surfaces[1].pageCount(), surfaces[0].pageCount());
        QCOMPARE(surfaces[0].pageCount() > 1, sheets);
        const auto describe = [](const RecordingPrintSurface& surface) {
            QStringList operations;
            for (const PrintOperation& op : surface.operations())
                operations.append(QStringLiteral("%1 %2 %3,%4 %5,%6 %7")
                                      .arg(int(op.kind))
                                      .arg(op.page)
                                      .arg(op.x)
                                      .arg(op.y)
                                      .arg(op.x2)
                                      .arg(op.y2)
                                      .arg(op.text));
            return operations;
        };
        QCOMPARE(describe(surfaces[1]), describe(surfaces[0]));
    }

    void theFontKeepsTheColumnsOfTheLayout() {
        // Full-width characters one em, half-width ones half an em: 240 and
        // 120 twips at 12 points, as the column positions assume.
        const QFont font = printFont(printFontName(), 12);
        QVERIFY2(QFontInfo(font).family().contains("Mincho"), qPrintable(QFontInfo(font).family()));
        RecordingPrintSurface surface;
        surface.setFontName(printFontName());
        surface.setFontSize(12);
        QCOMPARE(surface.textWidth("学級費"), 720.0);
        QCOMPARE(surface.textWidth("No.12"), 600.0);
        surface.setFontSize(16);
        QCOMPARE(surface.textWidth("学級費"), 960.0);
    }

    void eraDates_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("report in 平成") << QDate(2002, 7, 21) << "平成14年7月21日";
        QTest::newRow("last day of 昭和") << QDate(1989, 1, 7) << "昭和64年1月7日";
        QTest::newRow("first day of 平成") << QDate(1989, 1, 8) << "平成元年1月8日";
        QTest::newRow("平成 2") << QDate(1990, 1, 1) << "平成2年1月1日";
        QTest::newRow("last day of 平成") << QDate(2019, 4, 30) << "平成31年4月30日";
        QTest::newRow("first day of 令和") << QDate(2019, 5, 1) << "令和元年5月1日";
        QTest::newRow("令和元年 end") << QDate(2019, 12, 31) << "令和元年12月31日";
        QTest::newRow("令和 2") << QDate(2020, 1, 1) << "令和2年1月1日";
        QTest::newRow("today's kind of date") << QDate(2026, 12, 8) << "令和8年12月8日";
        QTest::newRow("first day of 昭和") << QDate(1926, 12, 25) << "昭和元年12月25日";
        QTest::newRow("昭和 2") << QDate(1927, 1, 1) << "昭和2年1月1日";
        QTest::newRow("last day of 大正") << QDate(1926, 12, 24) << "大正15年12月24日";
        QTest::newRow("invalid") << QDate() << "";
    }

    void eraDates() {
        QFETCH(QDate, date);
        QFETCH(QString, text);
        QCOMPARE(eraDateText(date), text);
    }

    void theReportIsDatedInTheEraOfItsDate() {
        SharedState state;
        fillLedger(state, schoolYear());
        PrintTitles titles = classTitles();
        titles.reportDate = QDate(2019, 5, 1);
        RecordingPrintSurface surface;
        QVERIFY(printKind(surface, state, 2, titles).ok);
        QVERIFY(printed(surface, "令和元年5月1日"));
        QVERIFY(!printed(surface, "平成31年5月1日"));
    }
};

QTEST_MAIN(TestPrintKinds)
#include "tst_printkinds.moc"
