// The ledger as CSV for a spreadsheet: both encodings byte for byte against
// files written by hand, and a Shift_JIS export refused with the entry named.

#include "../model/ArticleBuilders.h"
#include "Cp932.h"
#include "LedgerCsv.h"
#include "TermCsv.h"

#include <QFile>
#include <QTest>

using namespace sorobe;
using sorobe::test::entry;

namespace {

// Four entries of April, added out of date order: a collection, a receipt
// whose item holds a comma, a gift whose name holds quotes, full-width text
// without a receipt number.
ArticlePtr smallLedger(const QString& lastItem) {
    ArticlePtr ledger = SorobeArticle::create();
    ledger->addArticle(entry(false, {2026, 4, 20}, 0, lastItem, {}, 0, 800));
    ledger->addArticle(entry(true, {2026, 4, 8}, 0, "学級費", "4月分", 500, 15000));
    ledger->addArticle(entry(false, {2026, 4, 10}, 1, "画用紙, 色紙", {}, 0, 1200));
    ledger->addArticle(entry(true, {2026, 4, 12}, 0, "\"みどり\"基金", {}, 0, 3000));
    return ledger;
}

QByteArray expected(const QString& name) {
    QFile file(QStringLiteral(SOROBE_TEST_DATA "/csv/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing " + name.toUtf8());
}

} // namespace

class TestLedgerCsv : public QObject {
    Q_OBJECT

private slots:
    void theLedgerAsCsv_data() {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("lastItem");
        QTest::addColumn<QString>("file");  // the expected bytes, when written
        QTest::addColumn<QString>("fault"); // the refusal, when not
        const QString pta = QStringLiteral("ＰＴＡ会費（前期）");
        QTest::newRow("UTF-8 with BOM") << int(CsvEncoding::Utf8WithBom) << pta << "small-utf8.csv"
                                        << "";
        QTest::newRow("Shift_JIS") << int(CsvEncoding::ShiftJis) << pta << "small-sjis.csv"
                                   << "";
        QTest::newRow("UTF-8 holds every character")
            << int(CsvEncoding::Utf8WithBom) << QStringLiteral("𠮷野家") << ""
            << "";
        QTest::newRow("Shift_JIS refuses what it cannot hold")
            << int(CsvEncoding::ShiftJis) << QStringLiteral("𠮷野家") << ""
            << QStringLiteral("支出 2の項目：「𠮷」はShift_JISで書き出せない文字です。");
    }

    void theLedgerAsCsv() {
        QFETCH(int, encoding);
        QFETCH(QString, lastItem);
        QFETCH(QString, file);
        QFETCH(QString, fault);
        const CsvResult csv = ledgerCsv(smallLedger(lastItem), CsvEncoding(encoding));
        QCOMPARE(csv.fault, fault);
        if (!fault.isEmpty()) {
            QVERIFY(csv.bytes.isEmpty());
            return;
        }
        if (!file.isEmpty()) {
            QCOMPARE(csv.bytes, expected(file));
            return;
        }
        QVERIFY(csv.bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(
            QString::fromUtf8(csv.bytes).contains(u"支出,2,2026/04/20,𠮷野家,,,,,,800,16000\r\n"));
    }

    // Two pages as the office gets them: a negative carry-forward, a sub-item
    // joined to its item, totals, a blank row between the pages.
    void theTermPagesAsCsv_data() {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("fault");
        const QString text =
            QStringLiteral("1学期\r\nNo.,項目,収入,支出,残高\r\n"
                           "1,学級費 4月分,15000,,15000\r\n"
                           "2,%1,,16000,-1000\r\n,合　計,15000,16000,-1000\r\n"
                           "\r\n2学期\r\nNo.,項目,収入,支出,残高\r\n"
                           "1,１学期の繰越金,-1000,,-1000\r\n,合　計,-1000,0,-1000\r\n");
        const QString item = QStringLiteral("\"遠足\", バス代");
        const QString quoted = QStringLiteral("\"\"\"遠足\"\", バス代\"");
        QTest::newRow("UTF-8") << int(CsvEncoding::Utf8WithBom) << item
                               << "\xEF\xBB\xBF" + text.arg(quoted).toUtf8() << "";
        QTest::newRow("Shift_JIS")
            << int(CsvEncoding::ShiftJis) << item << encodeCp932(text.arg(quoted)).bytes << "";
        QTest::newRow("Shift_JIS names the page and line")
            << int(CsvEncoding::ShiftJis) << QStringLiteral("𠮷野家") << QByteArray()
            << QStringLiteral("1学期 2の項目：「𠮷」はShift_JISで書き出せない文字です。");
    }

    void theTermPagesAsCsv() {
        QFETCH(int, encoding);
        QFETCH(QString, item);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, fault);
        auto list = [](std::initializer_list<ArticlePtr> lines) {
            ArticlePtr head = SorobeArticle::create();
            ArticlePtr last = head;
            for (const ArticlePtr& line : lines) {
                last->setTaLink(line);
                last = line;
            }
            return head;
        };
        const std::vector<TermCsvPage> pages{
            {QStringLiteral("1学期"),
             list({entry(true, {2026, 4, 8}, 0, "学級費", "4月分", 500, 15000)}),
             list({entry(false, {2026, 4, 10}, 1, item, {}, 0, 16000)})},
            {QStringLiteral("2学期"),
             list({entry(true, {2026, 4, 1}, 0, QStringLiteral("１学期の繰越金"), {}, 0, -1000)}),
             list({})},
        };
        const CsvResult csv = termPagesCsv(pages, CsvEncoding(encoding));
        QCOMPARE(csv.fault, fault);
        QCOMPARE(csv.bytes, bytes);
    }
};

QTEST_GUILESS_MAIN(TestLedgerCsv)
#include "tst_ledgercsv.moc"
