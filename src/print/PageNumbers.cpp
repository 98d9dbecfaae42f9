#include "PageNumbers.h"

#include "MeasuringPrintSurface.h"
#include "PrintLayout.h"

#include <algorithm>
#include <utility>

namespace sorobe {

namespace {

// Thrown by a counter that need not count past the second sheet.
struct SecondSheet {};

// Lays a printout out with the fonts and measures of paper, putting no ink
// anywhere, and counts the sheets that would take ink.
class SheetCounter : public MeasuringPrintSurface {
public:
    SheetCounter(double pageHeight, bool stopAtSecondSheet)
        : m_pageHeight(pageHeight)
        , m_stopAtSecondSheet(stopAtSecondSheet) {}

    double pageHeight() const override { return m_pageHeight; }
    void endPage() override { m_inked = false; }
    void endDoc() override { m_inked = false; }
    int sheets() const { return m_sheets; }

protected:
    void drawText(double, double, const QString&) override { ink(); }
    void drawLine(double, double, double, double) override { ink(); }

private:
    void ink() {
        if (!m_inked) {
            ++m_sheets;
            if (m_stopAtSecondSheet && m_sheets == 2)
                throw SecondSheet();
        }
        m_inked = true;
    }

    double m_pageHeight;
    bool m_stopAtSecondSheet;
    bool m_inked = false;
    int m_sheets = 0;
};

// The sheets the layout takes, or 2 when it takes more and the count may
// stop there.
int countSheets(const PrintSurface& paper, double pageHeight,
                const std::function<void(PrintSurface&)>& layout, bool stopAtSecondSheet) {
    SheetCounter counter(pageHeight, stopAtSecondSheet);
    if (const auto* measuring = dynamic_cast<const MeasuringPrintSurface*>(&paper))
        counter.shareTextWidths(*measuring);
    try {
        layout(counter);
    } catch (const SecondSheet&) {
    }
    return counter.sheets();
}

// The least room between the sheet's lowest ink and its number.
constexpr double inkGap = 40.0;

// Passes the layout on to the paper, with the foot of each page kept for
// its number, and writes the number as each sheet is finished.
class NumberedSurface : public PrintSurface {
public:
    NumberedSurface(PrintSurface& paper, int sheets, double middle)
        : m_paper(paper)
        , m_sheets(sheets)
        , m_middle(middle) {}

    void setFontName(const QString& name) override { m_paper.setFontName(name); }
    QString fontName() const override { return m_paper.fontName(); }
    void setFontSize(double points) override { m_paper.setFontSize(points); }
    double fontSize() const override { return m_paper.fontSize(); }
    void setCurrentX(double x) override { m_paper.setCurrentX(x); }
    void setCurrentY(double y) override { m_paper.setCurrentY(y); }
    double currentX() const override { return m_paper.currentX(); }
    double currentY() const override { return m_paper.currentY(); }
    void printText(const QString& text) override {
        m_lowestInk = std::max(m_lowestInk, m_paper.currentY() + m_paper.textHeight(text));
        m_paper.printText(text);
        m_inked = true;
    }
    double textWidth(const QString& text) const override { return m_paper.textWidth(text); }
    double textHeight(const QString& text) const override { return m_paper.textHeight(text); }
    void setLineWidth(int dots) override { m_paper.setLineWidth(dots); }
    void setColor(const QColor& color) override {
        m_paper.setColor(color);
        m_color = color;
    }
    void line(double x1, double y1, double x2, double y2) override {
        m_lowestInk = std::max({m_lowestInk, y1, y2});
        m_paper.line(x1, y1, x2, y2);
        m_inked = true;
    }
    double pageHeight() const override { return m_paper.pageHeight() - pageNumberBand; }
    void endPage() override {
        numberSheet();
        m_paper.endPage();
    }
    void endDoc() override {
        numberSheet();
        m_paper.endDoc();
    }

private:
    // The number sits on the foot of the printable area, in the middle of
    // the tables' width, in black whatever the layout last drew in; the
    // layout's font and place are given back after. Rows the layout puts at
    // fixed places (the ledger's totals) can reach into the band on paper
    // with wide margins: the number then goes below them, never over them.
    void numberSheet() {
        if (!m_inked)
            return;
        m_inked = false;
        const double lowestInk = std::exchange(m_lowestInk, 0.0);
        ++m_sheet;
        const QString name = m_paper.fontName();
        const double points = m_paper.fontSize();
        const double x = m_paper.currentX();
        const double y = m_paper.currentY();
        m_paper.setFontName(printFontName());
        m_paper.setFontSize(pageNumberPoints);
        m_paper.setColor(print::black);
        const QString number = QStringLiteral("%1 / %2").arg(m_sheet).arg(m_sheets);
        m_paper.printAt(
            m_middle - m_paper.textWidth(number) / 2,
            std::max(m_paper.pageHeight() - m_paper.textHeight(number), lowestInk + inkGap),
            number);
        m_paper.setFontName(name);
        m_paper.setFontSize(points);
        m_paper.setColor(m_color);
        m_paper.setCurrentX(x);
        m_paper.setCurrentY(y);
    }

    PrintSurface& m_paper;
    int m_sheets;
    double m_middle;
    int m_sheet = 0;
    bool m_inked = false;
    double m_lowestInk = 0.0;
    QColor m_color = print::black;
};

} // namespace

void printNumbered(PrintSurface& surface, const std::function<void(PrintSurface&)>& layout,
                   double middle, bool failsAlikeOnAnySheets) {
    // A printout of one sheet keeps the whole printable area. Kept free, the
    // band can only push rows onto later sheets, never save one.
    const double height = surface.pageHeight();
    if (countSheets(surface, height, layout, failsAlikeOnAnySheets) <= 1) {
        layout(surface);
        return;
    }
    NumberedSurface numbered(surface, countSheets(surface, height - pageNumberBand, layout, false),
                             middle);
    layout(numbered);
}

} // namespace sorobe
