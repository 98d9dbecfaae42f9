// Item texts broken into the lines of their column.

#include "PrintLayout.h"
#include "PrintTestData.h"

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
};

QTEST_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
