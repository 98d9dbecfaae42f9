#pragma once

// The print surface on a real printer (or a PDF file): a QPainter on the
// QPrinter the print dialog chose, scaled so that one unit is one twip from
// the top-left corner of the printable area. The document begins with the
// first output, as on the printers the layout was made for, so a printout
// that stops before drawing anything leaves no empty page behind.

#include "MeasuringPrintSurface.h"

#include <QPageLayout>
#include <QPainter>

class QPrinter;

namespace sorobe {

class PainterPrintSurface : public MeasuringPrintSurface {
public:
    // The ledger and the report are portrait sheets, the collection roll a
    // landscape one.
    explicit PainterPrintSurface(QPrinter& printer,
                                 QPageLayout::Orientation orientation = QPageLayout::Portrait);
    ~PainterPrintSurface() override;
    PainterPrintSurface(const PainterPrintSurface&) = delete;
    PainterPrintSurface& operator=(const PainterPrintSurface&) = delete;

    double pageHeight() const override;
    void endPage() override;
    void endDoc() override;

protected:
    void drawText(double x, double y, const QString& text) override;
    void drawLine(double x1, double y1, double x2, double y2) override;

private:
    // Starts the document, or the page after an endPage, before ink goes on it.
    void prepareOutput();

    QPrinter& m_printer;
    QPainter m_painter;
    bool m_begun = false;
    bool m_pageEnded = false;
    // fontChanges() when the painter was last given the font; none yet.
    int m_painterFont = -1;
};

// Sets a printer up to write a PDF file: A4 (portrait unless asked otherwise)
// with the printer's usual narrow margins. For keeping a printout as a
// document, and for the benchmark.
void preparePdfPrinter(QPrinter& printer, const QString& fileName,
                       QPageLayout::Orientation orientation = QPageLayout::Portrait);

} // namespace sorobe
