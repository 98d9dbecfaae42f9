#include "PrintLayout.h"

#include <algorithm>

namespace sorobe::print {

QStringList wrapText(const PrintSurface& surface, const QString& text, double limit) {
    QStringList lines;
    QString rest = text;
    while (surface.textWidth(rest) > limit) {
        qsizetype length = rest.size();
        while (length > 1 && surface.textWidth(rest.left(length)) > limit)
            --length;
        // Never part the two halves of a character outside the basic plane.
        if (length < rest.size() && rest[length - 1].isHighSurrogate())
            length += length > 1 ? -1 : 1;
        lines.append(rest.left(length));
        rest = rest.mid(length);
    }
    lines.append(rest);
    // The blank between an item and an empty sub-item is no line of its own.
    if (lines.size() > 1 && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

void printFitted(PrintSurface& surface, double x, double y, double right, const QString& text) {
    const double size = surface.fontSize();
    constexpr double smallest = 6.0;
    while (surface.fontSize() > smallest && surface.textWidth(text) > right - x)
        surface.setFontSize(std::max(smallest, surface.fontSize() - 0.5));
    surface.printAt(x, y, text);
    surface.setFontSize(size);
}

void printFlushRight(PrintSurface& surface, double right, double y, const QString& text) {
    surface.printAt(right - surface.textWidth(text), y, text);
}

void drawRule(PrintSurface& surface, double y, int width) {
    surface.setLineWidth(width);
    surface.line(pageLeft, y, pageRight, y);
}

void drawVertical(PrintSurface& surface, double x, double from, double to, int width) {
    surface.setLineWidth(width);
    surface.line(x, from, x, to);
}

} // namespace sorobe::print
