#include "PainterPrintSurface.h"

#include "PaperFit.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <algorithm>

namespace sorobe {

namespace {

constexpr double twipsPerInch = 1440.0;

// Line widths are given in printer dots. A photo-setter fine device would
// turn them into hairlines, so dots finer than those of a 600 dpi office
// printer are counted as 600 dpi dots.
constexpr int coarsestDotsPerInch = 600;

} // namespace

PainterPrintSurface::PainterPrintSurface(QPrinter& printer, QPageLayout::Orientation orientation)
    : m_printer(printer) {
    // The ledger needs colour for its red rules and receipt numbers, and
    // each layout is made for one way round of the sheet; the rest stays as
    // the print dialog left it.
    m_printer.setColorMode(QPrinter::Color);
    m_printer.setPageOrientation(orientation);
}

PainterPrintSurface::~PainterPrintSurface() {
    if (m_painter.isActive())
        m_painter.end();
}

double PainterPrintSurface::pageHeight() const {
    return fitA4Layout(m_printer.pageLayout(), m_printer.resolution()).pageHeight;
}

void PainterPrintSurface::prepareOutput() {
    if (!m_begun) {
        if (!m_painter.begin(&m_printer))
            throw PrintFailure(QStringLiteral("プリンターが印刷を開始できませんでした。"));
        m_begun = true;
        // Paper smaller than A4 takes the whole A4 page a little smaller.
        const double scale = m_printer.resolution() / twipsPerInch *
                             fitA4Layout(m_printer.pageLayout(), m_printer.resolution()).scale;
        m_painter.scale(scale, scale);
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::TextAntialiasing);
        return;
    }
    if (m_pageEnded) {
        if (!m_printer.newPage())
            throw PrintFailure(QStringLiteral("プリンターが次のページに進めませんでした。"));
        m_pageEnded = false;
    }
}

void PainterPrintSurface::drawText(double x, double y, const QString& text) {
    prepareOutput();
    // The painter makes a font of its own from each one it is given, which
    // the text then looks up anew: it is given one only when it changes.
    if (m_painterFont != fontChanges()) {
        m_painter.setFont(font());
        m_painterFont = fontChanges();
    }
    m_painter.setPen(color());
    m_painter.drawText(QPointF(x, y + metrics().ascent()), text);
}

void PainterPrintSurface::drawLine(double x1, double y1, double x2, double y2) {
    prepareOutput();
    const int dotsPerInch = std::min(m_printer.resolution(), coarsestDotsPerInch);
    QPen pen(color());
    pen.setWidthF(std::max(1, lineWidth()) * twipsPerInch / dotsPerInch);
    pen.setCapStyle(Qt::RoundCap);
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void PainterPrintSurface::endPage() {
    // The next page starts with the next output, so a document never ends
    // with an empty page.
    if (m_begun)
        m_pageEnded = true;
}

void PainterPrintSurface::endDoc() {
    if (m_painter.isActive())
        m_painter.end();
    m_pageEnded = false;
}

void preparePdfPrinter(QPrinter& printer, const QString& fileName,
                       QPageLayout::Orientation orientation) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Point));
}

} // namespace sorobe
