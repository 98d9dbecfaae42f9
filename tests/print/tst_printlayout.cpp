// Item texts broken into the lines of their column, and an item too long for
// a whole page cut at its foot.

#include "PageNumbers.h"
#include "PrintKinds.h"
#include "PrintLayout.h"
#include "PrintTestData.h"

#include <QFontMetricsF>
#include <QMap>
#include <QTest>

using namespace sorobe;
using namespace sorobe::print;
using namespace sorobe::test;

namespace {

// The lines as the printouts have always broken them: the start of the rest
// shortened one character at a time until it fits.
QStringList wrapByShortening(const PrintSurface& surface, const QString& text, double limit) {
    QStringList lines;
    QString rest = text;
    while (surface.textWidth(rest) > limit) {
        qsizetype length = rest.size();
        while (length > 1 && surface.textWidth(rest.left(length)) > limit)
            --length;
        if (length < rest.size() && rest[length - 1].isHighSurrogate())
            length += length > 1 ? -1 : 1;
        lines.append(rest.left(length));
        rest = rest.mid(length);
    }
    lines.append(rest);
    if (lines.size() > 1 && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

QString repeated(const QString& phrase, int characters) {
    QString text;
    while (text.size() < characters)
        text += phrase;
    return text.left(characters);
}

// Every text of the page, in its own font and size, and every line of it
// above the foot of the paper.
bool everythingOnPaper(const RecordingPrintSurface& surface, int page) {
    for (const PrintOperation& operation : surface.operations()) {
        const double bottom =
            operation.kind == PrintOperation::Kind::Text
                ? operation.y +
                      QFontMetricsF(printFont(operation.fontName, operation.fontSize)).height()
                : qMax(operation.y, operation.y2);
        if (operation.page == page && bottom > surface.pageHeight())
            return false;
    }
    return true;
}

} // namespace

class TestPrintLayout : public QObject {
    Q_OBJECT

private slots:
    void wrapKeepsItsLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("limit");
        QTest::newRow("item and sub-item")
            << u"遠足バス代 （貸切バス二台、高速道路料金と駐車場代）"_qs << 3900.0;
        QTest::newRow("half and full width")
            << u"PTA総会 資料コピー代 A4 120枚×2回（白黒） Vol.2, WAVE/AV 予備"_qs << 3340.0;
        QTest::newRow("fits on one line") << u"学級費 4月分"_qs << 3900.0;
        QTest::newRow("empty") << QString() << 3900.0;
        QTest::newRow("blank before an empty sub-item") << repeated(u"あ"_qs, 16) + u' ' << 3900.0;
        QTest::newRow("outside the basic plane") << repeated(u"𠮷野家の弁当𠮷"_qs, 60) << 3640.0;
        QTest::newRow("narrower than a character") << u"画用紙とのり"_qs << 100.0;
        QTest::newRow("narrower than a pair") << u"𠮷𠮷a"_qs << 100.0;
        QTest::newRow("combining sound marks")
            << repeated(u"か\u3099き\u3099く\u3099 ハ\u309Aヒ\u309A"_qs, 90) << 3400.0;
        QTest::newRow("a long item")
            << repeated(u"修学旅行（京都・奈良）のしおり印刷代 Vol.2、"_qs, 400) << 3640.0;
    }

    void wrapKeepsItsLines() {
        QFETCH(QString, text);
        QFETCH(double, limit);
        RecordingPrintSurface surface;
        QCOMPARE(wrapText(surface, text, limit), wrapByShortening(surface, text, limit));
    }

    // A 10,000-character item fills its page to the foot, where its last line
    // ends in 「…」 within the column; the entries after it follow on the
    // next pages.
    void aVeryLongItemIsCutAtTheFoot_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("isIncome");
        QTest::addColumn<double>("limit");
        QTest::addColumn<int>("rowsAfter"); // the rows that must still fit under the cut
        QTest::newRow("ledger") << 1 << false << 3900.0 << 1;
        QTest::newRow("report, income") << 2 << true << 3640.0 << 0;
        QTest::newRow("report, expense") << 2 << false << 3340.0 << 0;
    }

    void aVeryLongItemIsCutAtTheFoot() {
        QFETCH(int, kind);
        QFETCH(bool, isIncome);
        QFETCH(double, limit);
        QFETCH(int, rowsAfter);
        const QString item = repeated(u"修学旅行（京都・奈良）のしおり印刷代 Vol.2、"_qs, 10000);
        const QDate may(2025, 5, 10);
        std::vector<ArticlePtr> entries;
        for (int i = 0; i < 5; ++i)
            entries.push_back(collection(may.addDays(-i), u"学級費"_qs, u"5月分"_qs, 1000, 35));
        entries.push_back(isIncome ? income(may, item, 500) : expense(may, 1, item, 500));
        entries.push_back(expense(QDate(2025, 6, 2), 2, u"画用紙"_qs, 800));
        SharedState state;
        fillLedger(state, entries);
        RecordingPrintSurface surface;
        QVERIFY(printKind(surface, state, kind, PrintTitles{}).ok);

        std::vector<PrintOperation> cut;
        for (const PrintOperation& text : surface.texts())
            if (text.text.endsWith(u'…'))
                cut.push_back(text);
        QCOMPARE(cut.size(), size_t(1));
        QVERIFY(cut[0].width <= limit);
        // The item's rows from its first line down to the cut, none left out.
        QMap<double, QString> column;
        for (const PrintOperation& text : textsOnPage(surface, cut[0].page))
            if (text.x == cut[0].x)
                column.insert(text.y, text.text);
        QString shown = cut[0].text.chopped(1);
        for (double y = cut[0].y - rowHeight; column.contains(y) && item.contains(column[y]);
             y -= rowHeight)
            shown.prepend(column[y]);
        QVERIFY(item.startsWith(shown));
        QVERIFY(shown.size() > 300);
        // Cut where the page ends: the rows it must leave fit, one more would not.
        const double foot = surface.pageHeight() - pageNumberBand;
        const double bottom = cut[0].y - textInset + rowHeight * (1 + rowsAfter);
        QVERIFY(bottom <= foot);
        QVERIFY(bottom + rowHeight > foot);
        if (rowsAfter > 0)
            QCOMPARE(textsAt(surface, cut[0].page, cut[0].y + rowHeight).first(), u"合　計"_qs);
        QVERIFY(surface.pageCount() > cut[0].page + 1);
        QVERIFY(everythingOnPaper(surface, cut[0].page));
    }
};

QTEST_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
