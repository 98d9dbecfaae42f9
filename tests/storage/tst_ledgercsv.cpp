// The ledger as CSV for a spreadsheet: both encodings byte for byte against
// files written by hand, and a Shift_JIS export refused with the entry named.

#include "LedgerCsv.h"

#include <QFile>
#include <QTest>

using namespace sorobe;

namespace {

ArticlePtr entry(bool income, int day, std::int16_t receipt, const QString& article,
                 const QString& subArticle, std::int32_t perPerson, std::int32_t amount) {
    ArticlePtr e = SorobeArticle::create();
    e->setTaIncome(income);
    e->setTaDate(DateTime::fromDate(2026, 4, day));
    e->setTaReceipt(receipt);
    e->setTaArticle(article);
    e->setTaSubArticle(subArticle);
    e->setTaPerPerson(perPerson);
    e->setTaStudentsNumber(30);
    e->setTaAmount(amount);
    return e;
}

// Four entries of April, added out of date order: a collection, a receipt
// whose item holds a comma, a gift whose name holds quotes, full-width text
// without a receipt number.
ArticlePtr smallLedger(const QString& lastItem) {
    ArticlePtr ledger = SorobeArticle::create();
    ledger->addArticle(entry(false, 20, 0, lastItem, {}, 0, 800));
    ledger->addArticle(entry(true, 8, 0, "学級費", "4月分", 500, 15000));
    ledger->addArticle(entry(false, 10, 1, "画用紙, 色紙", {}, 0, 1200));
    ledger->addArticle(entry(true, 12, 0, "\"みどり\"基金", {}, 0, 3000));
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
};

QTEST_GUILESS_MAIN(TestLedgerCsv)
#include "tst_ledgercsv.moc"
