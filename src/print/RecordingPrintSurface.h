#pragma once

// A print surface that keeps every operation instead of printing it: text with
// its place, font, colour and measured width, lines with their ends, width and
// colour, and the ends of pages and of the document. Text is measured with the
// same font and metrics as on paper, so wrapped items and right-aligned
// amounts stand where the printer would put them.

#include "MeasuringPrintSurface.h"

#include <vector>

namespace sorobe {

struct PrintOperation {
    enum class Kind { Text, Line, EndPage, EndDoc };
    Kind kind = Kind::Text;
    // 0 for the first page.
    int page = 0;
    // Text: top-left corner. Line: the two ends.
    double x = 0.0;
    double y = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    QString text;
    double width = 0.0; // of the text, in its font
    QString fontName;
    double fontSize = 0.0;
    int lineWidth = 0;
    QColor color;
};

class RecordingPrintSurface : public MeasuringPrintSurface {
public:
    // About an A4 sheet less the margins a printer cannot reach.
    static constexpr double defaultPageHeight = 16000.0;

    explicit RecordingPrintSurface(double pageHeight = defaultPageHeight);

    double pageHeight() const override { return m_pageHeight; }
    void endPage() override;
    void endDoc() override;

    // Makes the printer fail at its first output, as one whose driver refuses
    // to start the document.
    void failOnFirstOutput() { m_fail = true; }

    const std::vector<PrintOperation>& operations() const { return m_operations; }
    std::vector<PrintOperation> texts() const;
    std::vector<PrintOperation> lines() const;
    // Pages begun so far (a document of one page has 1).
    int pageCount() const { return m_page + 1; }
    bool documentEnded() const { return m_ended; }

protected:
    void drawText(double x, double y, const QString& text) override;
    void drawLine(double x1, double y1, double x2, double y2) override;

private:
    PrintOperation& record(PrintOperation::Kind kind);

    double m_pageHeight;
    std::vector<PrintOperation> m_operations;
    int m_page = 0;
    bool m_ended = false;
    bool m_fail = false;
};

} // namespace sorobe
