#include "PrintLayout.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <vector>

namespace sorobe::print {

namespace {

// The widths of the text's first characters, from each character's advance
// measured once (a pair of surrogates as one character). On the paper's
// Mincho the sum is the width of the text itself; elsewhere it is near it, so
// it only tells where to look for a line's end, and the surface's measure of
// the line itself decides.
std::vector<double> advanceSums(const PrintSurface& surface, const QString& text) {
    std::vector<double> sums(static_cast<std::size_t>(text.size()) + 1, 0.0);
    QHash<char32_t, double> advances;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        const char32_t character =
            pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        auto known = advances.constFind(character);
        if (known == advances.constEnd())
            known = advances.insert(character, surface.textWidth(text.mid(i, units)));
        const auto at = static_cast<std::size_t>(i);
        sums[at + 1] = sums[at];
        sums[at + static_cast<std::size_t>(units)] = sums[at] + *known;
        i += units;
    }
    return sums;
}

} // namespace

QStringList wrapText(const PrintSurface& surface, const QString& text, double limit) {
    // A line ends before the shortest start of the rest that no longer fits.
    // It is searched for from where the sum of advances puts it, widening the
    // step until the line is bracketed, then halving: a few measures of one
    // line each, however long the item. Most items fit as they are, which
    // one measure tells.
    if (surface.textWidth(text) <= limit)
        return {text};
    const std::vector<double> sums = advanceSums(surface, text);
    QStringList lines;
    qsizetype start = 0;
    qsizetype estimate = 0;
    for (;;) {
        const qsizetype rest = text.size() - start;
        if (rest == 0)
            break;
        const auto overflows = [&](qsizetype length) {
            return surface.textWidth(text.mid(start, length)) > limit;
        };
        const auto at = [&sums](qsizetype index) {
            return sums[static_cast<std::size_t>(index)];
        };
        estimate = std::max(estimate, start);
        while (estimate < text.size() && at(estimate + 1) - at(start) <= limit)
            ++estimate;

        // Lengths up to `fits` fit (0 always does); `over` and longer do not.
        qsizetype fits = 0;
        qsizetype over = 0;
        const qsizetype guess = std::min(estimate - start + 1, rest);
        if (overflows(guess)) {
            over = guess;
            for (qsizetype step = 1; over - step > 0; step *= 2) {
                if (!overflows(over - step)) {
                    fits = over - step;
                    break;
                }
                over -= step;
            }
        } else if (guess == rest) {
            break; // the rest fits on one line
        } else {
            fits = guess;
            for (qsizetype step = 1;; step *= 2) {
                const qsizetype longer = std::min(fits + step, rest);
                if (overflows(longer)) {
                    over = longer;
                    break;
                }
                fits = longer;
                if (fits == rest)
                    break;
            }
            if (fits == rest)
                break;
        }
        while (over - fits > 1) {
            const qsizetype middle = fits + (over - fits) / 2;
            (overflows(middle) ? over : fits) = middle;
        }

        // The longest start that fits, but never less than one character.
        qsizetype length = std::max<qsizetype>(over - 1, 1);
        // Never part the two halves of a character outside the basic plane.
        if (length < rest && text[start + length - 1].isHighSurrogate())
            length += length > 1 ? -1 : 1;
        lines.append(text.mid(start, length));
        start += length;
    }
    lines.append(text.mid(start));
    // The blank between an item and an empty sub-item is no line of its own.
    if (lines.size() > 1 && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

int rowsAbove(double foot) {
    return static_cast<int>(std::floor((foot - tableTop) / rowHeight));
}

QStringList cutLines(const PrintSurface& surface, const QStringList& lines, int rows,
                     double limit) {
    const qsizetype kept = std::max(rows, 1);
    if (lines.size() <= kept)
        return lines;
    QStringList result = lines.first(kept);
    const QString ellipsis = QStringLiteral("…");
    QString& last = result.last();
    qsizetype length = last.size();
    while (length > 0 && surface.textWidth(last.left(length) + ellipsis) > limit)
        --length;
    if (length > 0 && last[length - 1].isHighSurrogate())
        --length;
    last = last.left(length) + ellipsis;
    return result;
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
