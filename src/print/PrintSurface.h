#pragma once

// The sheet a printout draws on. Everything is measured in twips (1440 to the
// inch) from the top-left corner of the printer's printable area, the way the
// ledger and the report to the parents were laid out. The operations are the
// few the two printouts need, nothing more: a font by name and size, a current
// position, text printed at that position, text measured in the current font,
// a line width in printer dots, one colour for text and lines, straight lines,
// and the ends of a page and of the document.

#include <QColor>
#include <QFont>
#include <QString>
#include <stdexcept>

namespace sorobe {

// The printer refused to start the document or to begin a new page. The
// message is written for the teacher at the window.
class PrintFailure : public std::runtime_error {
public:
    explicit PrintFailure(const QString& message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    virtual void setFontName(const QString& name) = 0;
    virtual QString fontName() const = 0;
    virtual void setFontSize(double points) = 0;
    virtual double fontSize() const = 0;

    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    virtual double currentX() const = 0;
    virtual double currentY() const = 0;

    // Prints the text with its top-left corner at the current position, then
    // moves to the start of the next line as a printer does: X back to 0, Y
    // down by the height of the text.
    virtual void printText(const QString& text) = 0;
    virtual double textWidth(const QString& text) const = 0;
    virtual double textHeight(const QString& text) const = 0;

    // Width of the lines to come, in printer dots (1 thin, 4 thick).
    virtual void setLineWidth(int dots) = 0;
    // The colour of text and lines to come.
    virtual void setColor(const QColor& color) = 0;
    virtual void line(double x1, double y1, double x2, double y2) = 0;

    // Height of the printable area: whatever is drawn below it is lost.
    virtual double pageHeight() const = 0;

    virtual void endPage() = 0;
    // Releases the document to the printer. Also the way out after a failure:
    // the pages finished so far stay printed.
    virtual void endDoc() = 0;

    // Convenience for the layouts: position and print in one step.
    void printAt(double x, double y, const QString& text);
};

// The face the printouts ask for by name. Windows printers had it; here it is
// mapped to an installed Mincho with the same fixed advances (a half-width
// character half a full-width one), so the columns of the layout keep their
// places.
QString printFontName();

// The font for a size in points, for a device measured in twips: a pixel size
// of points × 20 (a point size would be scaled once more by the device and
// come out wrong). Both surfaces measure and draw with this font, so the
// widths a test sees are those of the paper.
QFont printFont(const QString& name, double points);

} // namespace sorobe
