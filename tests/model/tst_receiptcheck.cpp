#include "ArticleBuilders.h"
#include "ReceiptCheck.h"

#include <QTest>

using namespace sorobe;
using namespace sorobe::test;

class TestReceiptCheck : public QObject {
    Q_OBJECT

    // "day receipt item amount" per entry of May 2026, separated by commas, in
    // the order given (unsorted, as a hand-edited file may hold them); a day
    // with a "+" is an income, "item/sub" has a sub-item.
    static ArticlePtr ledgerOf(const QString& lines) {
        ArticlePtr head = SorobeArticle::create(), tail = head;
        for (const QString& line : lines.split(u',')) {
            const QStringList field = line.trimmed().split(u' ');
            const QStringList item = field[2].split(u'/');
            ArticlePtr entry = expense(QDate(2026, 5, field[0].toInt()), field[1].toShort(),
                                       item[0], field[3].toInt());
            entry->setTaIncome(field[0].startsWith(u'+'));
            entry->setTaSubArticle(item.value(1));
            tail->insertArticle(entry);
            tail = entry;
        }
        return head;
    }

    // "kind summary [entry numbers]" per finding.
    static QStringList check(const QString& lines) {
        QStringList found;
        for (const ReceiptFinding& finding : checkReceipts(ledgerOf(lines))) {
            QStringList numbers;
            for (const ReceiptEntry& entry : finding.entries)
                numbers << QString::number(entry.number);
            found << QStringLiteral("%1 %2 [%3]")
                         .arg(int(finding.problem))
                         .arg(finding.summary, numbers.join(u','));
        }
        return found;
    }

private slots:
    void findings_data() {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QStringList>("expected");
        const auto doubles = [](int count, const char* numbers) {
            return QStringLiteral("3 同じ日に同じ項目・金額の支出が %1 件あります。"
                                  "二重に記録していないか確かめてください。 [%2]")
                .arg(count)
                .arg(QLatin1String(numbers));
        };
        QTest::newRow("clean") << QStringLiteral("1 1 紙 1200, 1 2 紙/A4 1200, 1 3 紙 1300, "
                                                 "2 4 紙 1200, +1 0 会費 1200, +1 0 会費 1200")
                               << QStringList{};
        QTest::newRow("missing") << QStringLiteral("1 2 a 100, 1 4 b 200, 2 9 c 300")
                                 << QStringList{
                                        QStringLiteral("0 領収書番号 1 がありません。 []"),
                                        QStringLiteral("0 領収書番号 3 がありません。 []"),
                                        QStringLiteral("0 領収書番号 5〜8 がありません。 []")};
        QTest::newRow("different dates, by number")
            << QStringLiteral("1 2 a 200, +1 0 dues 900, 2 2 b 300, 3 1 c 100, 4 1 c 100")
            << QStringList{
                   QStringLiteral("1 領収書番号 1 が違う日付の支出に使われています。 [3,4]"),
                   QStringLiteral("1 領収書番号 2 が違う日付の支出に使われています。 [1,2]")};
        QTest::newRow("without receipt, negative too")
            << QStringLiteral("1 1 a 1200, 2 0 b 1500, 3 -3 c 2000")
            << QStringList{QStringLiteral("2 領収書番号のない支出が 2 件あります。 [2,3]")};
        QTest::newRow("doubles, by first entry")
            << QStringLiteral("1 1 a 100, 2 2 b 200, 2 3 b 200, 1 4 a 100, 2 5 b 200")
            << QStringList{doubles(2, "1,4"), doubles(3, "2,3,5")};
        QTest::newRow("every kind, in order")
            << QStringLiteral("5 3 a 100, 6 3 b 100, 6 0 c 50, 6 0 c 50")
            << QStringList{
                   QStringLiteral("0 領収書番号 1〜2 がありません。 []"),
                   QStringLiteral("1 領収書番号 3 が違う日付の支出に使われています。 [1,2]"),
                   QStringLiteral("2 領収書番号のない支出が 2 件あります。 [3,4]"),
                   doubles(2, "3,4")};
    }
    void findings() {
        QFETCH(QString, lines);
        QFETCH(QStringList, expected);
        QCOMPARE(check(lines), expected);
    }

    void describeAnEntry() {
        const auto findings =
            checkReceipts(ledgerOf(QStringLiteral("+1 0 会費 5, 1 1 紙 5, 4 0 ペン/赤 1200")));
        QCOMPARE(findings.size(), std::size_t(1));
        QCOMPARE(describeReceiptEntry(findings[0].entries.at(0)),
                 QStringLiteral("No.2　2026/05/04　ペン 赤　1,200円"));
    }
};

QTEST_GUILESS_MAIN(TestReceiptCheck)
#include "tst_receiptcheck.moc"
