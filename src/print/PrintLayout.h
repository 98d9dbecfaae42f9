#pragma once

// Geometry both printouts share: rows of 360 twips below y = 2000, text set
// 60 twips below the top of its row, and the breaking of an item text into
// lines that fit a column.

#include "PrintSurface.h"

#include <QColor>
#include <QStringList>

namespace sorobe::print {

inline constexpr double tableTop = 2000.0;
inline constexpr double rowHeight = 360.0;
inline constexpr double textInset = 60.0;
inline constexpr double pageLeft = 1000.0;
inline constexpr double pageRight = 10600.0;
inline constexpr int thinLine = 1;
inline constexpr int thickLine = 4;

constexpr double rowTop(int row) {
    return tableTop + rowHeight * row;
}
constexpr double rowText(int row) {
    return rowTop(row) + textInset;
}

inline const QColor black{0, 0, 0};
inline const QColor red{255, 0, 0};

// Splits the text into lines no wider than the limit in the surface's current
// font, breaking after the last character that still fits, whatever the words.
// A text that fits gives one line (an empty text one empty line); a character
// wider than the limit on its own still makes a line, so the split always ends.
QStringList wrapText(const PrintSurface& surface, const QString& text, double limit);

// The rows of the table that end at or above `foot`, counted from row 0: rows
// first … first + k - 1 are on the paper when first + k is no more than this.
int rowsAbove(double foot);

// The first `rows` of an item's lines (one at least). When lines are left
// out, the last one kept ends in 「…」 and still keeps within the limit: an
// item too long for a whole page is cut at the foot of the paper, as a cell
// too narrow for its text is cut at its edge.
QStringList cutLines(const PrintSurface& surface, const QStringList& lines, int rows, double limit);

// Prints the text at (x, y) in the current font, made smaller (to no less
// than 6 points) when it would run past `right`; the size is restored after.
void printFitted(PrintSurface& surface, double x, double y, double right, const QString& text);

// Text ending exactly at the right edge.
void printFlushRight(PrintSurface& surface, double right, double y, const QString& text);

void drawRule(PrintSurface& surface, double y, int width);
void drawVertical(PrintSurface& surface, double x, double from, double to, int width);

} // namespace sorobe::print
