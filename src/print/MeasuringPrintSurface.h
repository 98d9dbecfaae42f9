#pragma once

// What both surfaces share: the current font, position, colour and line width,
// and the measuring of text with the real font metrics. Only putting ink on a
// page differs between the printer and the recording kept for the tests.

#include "HashedText.h"
#include "PrintSurface.h"

#include <QFontMetricsF>
#include <QHash>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace sorobe {

class MeasuringPrintSurface : public PrintSurface {
public:
    MeasuringPrintSurface();

    void setFontName(const QString& name) override;
    QString fontName() const override { return m_fontName; }
    void setFontSize(double points) override;
    double fontSize() const override { return m_fontSize; }

    void setCurrentX(double x) override { m_currentX = x; }
    void setCurrentY(double y) override { m_currentY = y; }
    double currentX() const override { return m_currentX; }
    double currentY() const override { return m_currentY; }

    void printText(const QString& text) override;
    double textWidth(const QString& text) const override;
    double textHeight(const QString& text) const override;

    // Widths measured by this surface are known to the other from then on,
    // and the other's to this one: the passes that lay one printout out
    // measure the same texts in the same fonts.
    void shareTextWidths(const MeasuringPrintSurface& other);

    void setLineWidth(int dots) override { m_lineWidth = dots; }
    void setColor(const QColor& color) override { m_color = color; }
    void line(double x1, double y1, double x2, double y2) override;

protected:
    const QFont& font() const { return m_font; }
    // Counts the changes of font: the same number, the same font.
    int fontChanges() const { return m_fontChanges; }
    const QFontMetricsF& metrics() const { return *m_metrics; }
    int lineWidth() const { return m_lineWidth; }
    const QColor& color() const { return m_color; }

    // The text with its top-left corner at (x, y), in the current font and colour.
    virtual void drawText(double x, double y, const QString& text) = 0;
    // A line in the current width and colour.
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;

private:
    void refreshFont();

    // A printout measures the same amounts, dates and items again and again,
    // and in each pass; shaping a text is most of what measuring it costs.
    // By font (a map: a font's widths stay where they are while fonts are added).
    using FontKey = std::pair<QString, double>;
    using TextWidths = std::map<FontKey, QHash<HashedText, double>>;

    QString m_fontName;
    double m_fontSize = 12.0;
    QFont m_font;
    int m_fontChanges = 0;
    std::optional<QFontMetricsF> m_metrics;
    std::shared_ptr<TextWidths> m_textWidths = std::make_shared<TextWidths>();
    // The widths in the current font, in m_textWidths.
    QHash<HashedText, double>* m_fontWidths = nullptr;
    double m_currentX = 0.0;
    double m_currentY = 0.0;
    int m_lineWidth = 1;
    QColor m_color = Qt::black;
};

} // namespace sorobe
