// The grid that holds every list of the main window, driven as the pages
// drive it: through the current cell, TextMatrix and twips, and by real
// mouse clicks on the offscreen platform.

#include "FlexGrid.h"
#include "Twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

using sorobe::FlexGrid;
using sorobe::twipsToPixels;

namespace {

const QColor lightYellow(255, 255, 200);
const QColor red(255, 0, 0);
const QColor white(255, 255, 255);

// A grid laid out like the income list: six columns, the key column hidden.
void setUpList(FlexGrid& grid, int rows) {
    grid.setCols(6);
    grid.setRows(rows);
    const int widths[] = {500, 1200, 3000, 1000, 1200, 0};
    for (int c = 0; c < 6; ++c)
        grid.setColWidth(c, widths[c]);
}

void fillTexts(FlexGrid& grid) {
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c)
            grid.setTextMatrix(r, c, QStringLiteral("%1-%2").arg(r).arg(c));
}

QStringList allTexts(const FlexGrid& grid) {
    QStringList texts;
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c)
            texts << grid.TextMatrix(r, c);
    return texts;
}

bool showGrid(FlexGrid& grid) {
    grid.show();
    return QTest::qWaitForWindowExposed(&grid);
}

QImage viewportImage(FlexGrid& grid) {
    return grid.viewport()->grab().toImage();
}

// The image may hold more pixels than the widget (a scaled screen); these
// take widget coordinates.
QRect devicePixels(const QImage& image, const QRect& rect) {
    const qreal ratio = image.devicePixelRatio();
    return QRectF(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio).toRect();
}

QColor pixelAt(const QImage& image, const QPoint& point) {
    return image.pixelColor(devicePixels(image, QRect(point, QSize(1, 1))).center());
}

// Pixels clearly darker than the cell's white background inside a band of a cell.
int inkIn(const QImage& image, const QRect& band) {
    const QRect pixels = devicePixels(image, band);
    int dark = 0;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                ++dark;
    return dark;
}

} // namespace

class TestFlexGrid : public QObject {
    Q_OBJECT

private slots:
    void rowsShrinkAndGrow_data();
    void rowsShrinkAndGrow();
    void hiddenKeyColumnKeepsItsText_data();
    void hiddenKeyColumnKeepsItsText();
    void currentCellAndTextsAreIndependent();
    void indicesOutsideTheGridAreHarmless();
    void alignmentActsOnCurrentCellOnly_data();
    void alignmentActsOnCurrentCellOnly();
    void defaultAlignmentPutsNumbersRight_data();
    void defaultAlignmentPutsNumbersRight();
    void coloursActOnCurrentCellOnly_data();
    void coloursActOnCurrentCellOnly();
    void pageColoursShowThroughAClick();
    void rowHeightInTwips_data();
    void rowHeightInTwips();
    void wordWrapContinuesTextInsideTheCell_data();
    void wordWrapContinuesTextInsideTheCell();
    void standardRowHeightFollowsTheFont_data();
    void standardRowHeightFollowsTheFont();
    void colWidthInTwips_data();
    void colWidthInTwips();
    void widthInTwips();
    void topRowScrollsDataRowsUnderTheTitle_data();
    void topRowScrollsDataRowsUnderTheTitle();
    void clickMakesTheClickedCellCurrent_data();
    void clickMakesTheClickedCellCurrent();
    void clickOutsideDataCellsRaisesNothing_data();
    void clickOutsideDataCellsRaisesNothing();
    void errorInClickHandlerStaysInside();
    void columnsShrinkAndGrowUnderTheirCells_data();
    void columnsShrinkAndGrowUnderTheirCells();
    void anOwedFillRunsOnceBeforeTheRowsAreUsed_data();
    void anOwedFillRunsOnceBeforeTheRowsAreUsed();
    void aBulkWriteTellsTheViewAtItsEnd();
};

void TestFlexGrid::rowsShrinkAndGrow_data() {
    QTest::addColumn<int>("shrinkTo");
    QTest::addColumn<int>("growTo");
    QTest::newRow("title row only") << 1 << 5;
    QTest::newRow("two data rows kept") << 3 << 6;
    QTest::newRow("unchanged") << 5 << 5;
}

void TestFlexGrid::rowsShrinkAndGrow() {
    QFETCH(int, shrinkTo);
    QFETCH(int, growTo);
    FlexGrid grid;
    setUpList(grid, 5);
    fillTexts(grid);
    // Formats on every data row: alignment, colours and a height of its own.
    for (int r = 1; r < 5; ++r) {
        grid.setRow(r);
        grid.setCol(2);
        grid.setCellAlignment(FlexGrid::AlignRightMiddle);
        grid.setCellBackColor(lightYellow);
        grid.setCellForeColor(red);
        grid.setRowHeight(r, 900);
    }
    const int standard = grid.RowHeight(0);
    QVERIFY(standard != 900);

    grid.setRows(shrinkTo);
    QCOMPARE(grid.Rows(), shrinkTo);
    QVERIFY(grid.Row() < shrinkTo);
    QCOMPARE(grid.TextMatrix(shrinkTo, 1), QString());

    grid.setRows(growTo);
    QCOMPARE(grid.Rows(), growTo);
    for (int c = 0; c < 6; ++c)
        QCOMPARE(grid.TextMatrix(0, c), QStringLiteral("0-%1").arg(c));
    for (int r = 1; r < growTo; ++r) {
        const bool kept = r < shrinkTo;
        for (int c = 0; c < 6; ++c)
            QCOMPARE(grid.TextMatrix(r, c),
                     kept ? QStringLiteral("%1-%2").arg(r).arg(c) : QString());
        grid.setRow(r);
        grid.setCol(2);
        QCOMPARE(grid.CellAlignment(), kept ? FlexGrid::AlignRightMiddle : FlexGrid::AlignGeneral);
        QCOMPARE(grid.CellBackColor(), kept ? lightYellow : grid.palette().color(QPalette::Base));
        QCOMPARE(grid.CellForeColor(), kept ? red : grid.palette().color(QPalette::Text));
        QCOMPARE(grid.RowHeight(r), kept ? 900 : standard);
        QCOMPARE(grid.cellRect(r, 2).height(), twipsToPixels(kept ? 900 : standard));
    }
}

void TestFlexGrid::hiddenKeyColumnKeepsItsText_data() {
    QTest::addColumn<QString>("key");
    QTest::newRow("key") << "17";
    QTest::newRow("negative") << "-32768";
    QTest::newRow("japanese") << "合　計 ｱｲｳ １２";
    QTest::newRow("blanks") << "  ";
}

void TestFlexGrid::hiddenKeyColumnKeepsItsText() {
    QFETCH(QString, key);
    FlexGrid grid;
    setUpList(grid, 3);
    QVERIFY(showGrid(grid));
    grid.setTextMatrix(2, 5, key);

    QVERIFY(grid.isColumnHidden(5));
    QCOMPARE(grid.ColWidth(5), 0);
    QCOMPARE(grid.TextMatrix(2, 5), key);
    // Nothing else of the row took the text.
    for (int c = 0; c < 5; ++c)
        QCOMPARE(grid.TextMatrix(2, c), QString());
    // Growing the list keeps it; the new rows' keys are empty.
    grid.setRows(8);
    QCOMPARE(grid.TextMatrix(2, 5), key);
    QCOMPARE(grid.TextMatrix(7, 5), QString());
    // A width given back shows the column with its text.
    grid.setColWidth(5, 600);
    QVERIFY(!grid.isColumnHidden(5));
    QCOMPARE(grid.columnWidth(5), twipsToPixels(600));
    QCOMPARE(grid.TextMatrix(2, 5), key);
}

void TestFlexGrid::currentCellAndTextsAreIndependent() {
    FlexGrid grid;
    setUpList(grid, 6);
    fillTexts(grid);
    const QStringList before = allTexts(grid);

    const QList<QPoint> cells = {{0, 0}, {5, 5}, {2, 3}, {0, 4}, {1, 0}};
    for (const QPoint& cell : cells) {
        grid.setRow(cell.x());
        grid.setCol(cell.y());
        QCOMPARE(grid.Row(), cell.x());
        QCOMPARE(grid.Col(), cell.y());
        QCOMPARE(allTexts(grid), before);
    }

    grid.setRow(2);
    grid.setCol(3);
    grid.setTextMatrix(4, 1, "x");
    grid.setTextMatrix(0, 2, "日付");
    QCOMPARE(grid.Row(), 2);
    QCOMPARE(grid.Col(), 3);
    // The next format still lands on the current cell, not on the one written.
    grid.setCellBackColor(lightYellow);
    grid.setRow(4);
    grid.setCol(1);
    QCOMPARE(grid.CellBackColor(), grid.palette().color(QPalette::Base));
    grid.setRow(2);
    grid.setCol(3);
    QCOMPARE(grid.CellBackColor(), lightYellow);
}

void TestFlexGrid::indicesOutsideTheGridAreHarmless() {
    FlexGrid grid;
    setUpList(grid, 3);
    grid.setRow(2);
    grid.setCol(4);

    grid.setRow(3);
    grid.setCol(-2);
    QCOMPARE(grid.Row(), 2);
    QCOMPARE(grid.Col(), 4);

    grid.setTextMatrix(3, 0, "x");
    grid.setTextMatrix(-1, 0, "x");
    grid.setTextMatrix(0, 6, "x");
    QCOMPARE(grid.TextMatrix(3, 0), QString());
    QCOMPARE(grid.TextMatrix(-1, -1), QString());
    QCOMPARE(grid.TextMatrix(0, 6), QString());

    grid.setColWidth(6, 100);
    grid.setColWidth(1, -15);
    QCOMPARE(grid.ColWidth(6), 0);
    QCOMPARE(grid.ColWidth(1), 1200);
    grid.setRowHeight(7, 100);
    grid.setRowHeight(1, -1);
    QCOMPARE(grid.RowHeight(7), 0);
    QCOMPARE(grid.RowHeight(1), grid.RowHeight(0));

    grid.setCellAlignment(42);
    QCOMPARE(grid.CellAlignment(), FlexGrid::AlignGeneral);

    // The title row cannot be dropped; there is always a column.
    grid.setRows(-5);
    QCOMPARE(grid.Rows(), 1);
    QCOMPARE(grid.Row(), 0);
    grid.setTopRow(3);
    QCOMPARE(grid.TopRow(), 1);
    grid.setCols(0);
    QCOMPARE(grid.Cols(), 1);
    QCOMPARE(grid.Col(), 0);
    QVERIFY(!grid.cellRect(1, 0).isValid());
}

void TestFlexGrid::alignmentActsOnCurrentCellOnly_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<Qt::Alignment>("expected");
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    QTest::newRow("data row left") << 2 << 1 << left;
    QTest::newRow("data row centred") << 2 << 4 << centre;
    QTest::newRow("data row right") << 2 << 7 << right;
    QTest::newRow("title centred") << 0 << 4 << centre;
    QTest::newRow("title right") << 0 << 7 << right;
    QTest::newRow("top left") << 1 << 0 << Qt::Alignment(Qt::AlignLeft | Qt::AlignTop);
    QTest::newRow("bottom right") << 3 << 8 << Qt::Alignment(Qt::AlignRight | Qt::AlignBottom);
}

void TestFlexGrid::alignmentActsOnCurrentCellOnly() {
    QFETCH(int, row);
    QFETCH(int, alignment);
    QFETCH(Qt::Alignment, expected);
    FlexGrid grid;
    setUpList(grid, 5);
    // Numbers everywhere, so that an untouched cell (numbers on the right) and
    // a left-aligned one look different.
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 6; ++c)
            grid.setTextMatrix(r, c, QString::number(r * 10 + c));

    grid.setRow(row);
    grid.setCol(3);
    grid.setCellAlignment(alignment);
    QCOMPARE(grid.CellAlignment(), alignment);
    QCOMPARE(grid.cellDisplayAlignment(row, 3), expected);

    const Qt::Alignment untouched = Qt::AlignRight | Qt::AlignVCenter;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 6; ++c)
            if (r != row || c != 3)
                QCOMPARE(grid.cellDisplayAlignment(r, c), untouched);
    grid.setRow(row == 0 ? 1 : row - 1);
    QCOMPARE(grid.CellAlignment(), FlexGrid::AlignGeneral);
}

void TestFlexGrid::defaultAlignmentPutsNumbersRight_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("right");
    QTest::newRow("entry number") << "12" << true;
    QTest::newRow("amount") << "-1,234" << true;
    QTest::newRow("decimal") << "0.5" << true;
    QTest::newRow("padded") << " 7 " << true;
    QTest::newRow("item") << "遠足 4月分" << false;
    QTest::newRow("list date") << "01/04/05" << false;
    QTest::newRow("receipt") << "No.12" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("sign only") << "-" << false;
    QTest::newRow("trailing comma") << "1," << false;
    QTest::newRow("digits then text") << "12a" << false;
}

void TestFlexGrid::defaultAlignmentPutsNumbersRight() {
    QFETCH(QString, text);
    QFETCH(bool, right);
    FlexGrid grid;
    setUpList(grid, 3);
    grid.setTextMatrix(1, 2, text);
    grid.setTextMatrix(0, 2, text);
    const Qt::Alignment expected = (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    QCOMPARE(grid.cellDisplayAlignment(1, 2), expected);
    QCOMPARE(grid.cellDisplayAlignment(0, 2), expected);
}

void TestFlexGrid::coloursActOnCurrentCellOnly_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::newRow("date cell") << 2 << 1;
    QTest::newRow("amount cell") << 1 << 4;
    QTest::newRow("key cell") << 3 << 5;
    QTest::newRow("number cell") << 3 << 0;
    QTest::newRow("title cell") << 0 << 3;
}

void TestFlexGrid::coloursActOnCurrentCellOnly() {
    QFETCH(int, row);
    QFETCH(int, col);
    FlexGrid grid;
    setUpList(grid, 4);
    const QPalette palette = grid.palette();

    grid.setRow(row);
    grid.setCol(col);
    grid.setCellForeColor(red);
    grid.setCellBackColor(lightYellow);
    QCOMPARE(grid.CellForeColor(), red);
    QCOMPARE(grid.CellBackColor(), lightYellow);

    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 6; ++c) {
            if (r == row && c == col)
                continue;
            grid.setRow(r);
            grid.setCol(c);
            const bool fixed = r == 0 || c == 0;
            QCOMPARE(grid.CellBackColor(),
                     palette.color(fixed ? QPalette::Button : QPalette::Base));
            QCOMPARE(grid.CellForeColor(),
                     palette.color(r == 0 ? QPalette::ButtonText : QPalette::Text));
        }
    }

    // Taking the highlight away again, as a page does when another row is chosen.
    grid.setRow(row);
    grid.setCol(col);
    grid.setCellBackColor(white);
    QCOMPARE(grid.CellBackColor(), white);
    QCOMPARE(grid.CellForeColor(), red);
}

void TestFlexGrid::pageColoursShowThroughAClick() {
    FlexGrid grid;
    grid.resize(600, 300);
    setUpList(grid, 5);
    grid.setTextMatrix(2, 1, "01/04/05");
    QVERIFY(showGrid(grid));
    // The page's highlight of row 2, columns 1 to 5.
    grid.setRow(2);
    for (int c = 1; c < 6; ++c) {
        grid.setCol(c);
        grid.setCellBackColor(lightYellow);
    }
    // Column 2 of row 2 has no text: its middle shows the bare background.
    const QPoint clicked = grid.cellRect(2, 2).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, clicked);
    QCOMPARE(grid.Row(), 2);
    QCOMPARE(grid.Col(), 2);
    QApplication::processEvents();

    const QImage image = viewportImage(grid);
    QCOMPARE(pixelAt(image, clicked), lightYellow);
    QCOMPARE(pixelAt(image, grid.cellRect(2, 4).center()), lightYellow);
    QCOMPARE(pixelAt(image, grid.cellRect(3, 2).center()), grid.palette().color(QPalette::Base));
    // The number column is drawn grey like the title row.
    QCOMPARE(pixelAt(image, grid.cellRect(3, 0).center()), grid.palette().color(QPalette::Button));
}

void TestFlexGrid::rowHeightInTwips_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("twips");
    QTest::newRow("title row") << 0 << 600;
    QTest::newRow("title row small") << 0 << 150;
    QTest::newRow("one line") << 1 << 255;
    QTest::newRow("three lines") << 2 << 900;
    QTest::newRow("last row") << 3 << 1500;
}

void TestFlexGrid::rowHeightInTwips() {
    QFETCH(int, row);
    QFETCH(int, twips);
    FlexGrid grid;
    grid.resize(500, 400);
    setUpList(grid, 4);
    QVERIFY(showGrid(grid));
    const int standard = grid.RowHeight(0);

    grid.setRowHeight(row, twips);
    QApplication::processEvents();
    QCOMPARE(grid.RowHeight(row), twips);
    if (row == 0) {
        QCOMPARE(grid.horizontalHeader()->height(), twipsToPixels(twips));
        // The data rows start right under the title row.
        QCOMPARE(grid.viewport()->geometry().top(),
                 grid.horizontalHeader()->geometry().bottom() + 1);
    } else {
        QCOMPARE(grid.cellRect(row, 1).height(), twipsToPixels(twips));
    }
    for (int r = 0; r < 4; ++r)
        if (r != row)
            QCOMPARE(grid.RowHeight(r), standard);
}

void TestFlexGrid::wordWrapContinuesTextInsideTheCell_data() {
    QTest::addColumn<bool>("wrap");
    QTest::newRow("wrapping") << true;
    QTest::newRow("one line") << false;
}

void TestFlexGrid::wordWrapContinuesTextInsideTheCell() {
    QFETCH(bool, wrap);
    FlexGrid grid;
    grid.resize(500, 400);
    setUpList(grid, 4);
    grid.setColWidth(2, 1500);
    QVERIFY(!grid.WordWrap());
    grid.setWordWrap(wrap);
    QCOMPARE(grid.WordWrap(), wrap);
    const int standard = grid.RowHeight(0);
    grid.setRowHeight(1, 4 * standard);
    grid.setTextMatrix(1, 2, QString("Bulky ledger ").repeated(8).trimmed());
    grid.setTextMatrix(3, 2, QString("遠足 積立金 4月分 ").repeated(8));
    grid.setRow(1);
    grid.setCol(2);
    grid.setCellForeColor(Qt::black);
    QVERIFY(showGrid(grid));
    QApplication::processEvents();

    const QImage image = viewportImage(grid);
    const QRect cell = grid.cellRect(1, 2).adjusted(2, 0, -2, 0);
    const int line = grid.fontMetrics().height();
    const int middle = cell.top() + cell.height() / 2;
    // A single line sits in the middle of the row; only wrapped text reaches
    // the band above it.
    const QRect above(cell.left(), cell.top() + 2, cell.width(),
                      middle - line / 2 - 2 - (cell.top() + 2));
    QVERIFY(above.height() > 0);
    QVERIFY(inkIn(image, QRect(cell.left(), middle - line / 2, cell.width(), line)) > 0);
    QCOMPARE(inkIn(image, above) > 0, wrap);
    // Whatever does not fit stays inside the row, and no row grows to fit.
    QCOMPARE(inkIn(image, grid.cellRect(2, 2).adjusted(2, 1, -2, -2)), 0);
    QCOMPARE(grid.RowHeight(1), 4 * standard);
    QCOMPARE(grid.RowHeight(3), standard);
    QCOMPARE(grid.cellRect(1, 2).height(), twipsToPixels(4 * standard));
    QCOMPARE(grid.cellRect(3, 2).height(), twipsToPixels(standard));
}

void TestFlexGrid::standardRowHeightFollowsTheFont_data() {
    QTest::addColumn<int>("pointSize");
    QTest::newRow("9 pt") << 9;
    QTest::newRow("10 pt") << 10;
    QTest::newRow("20 pt") << 20;
}

void TestFlexGrid::standardRowHeightFollowsTheFont() {
    QFETCH(int, pointSize);
    FlexGrid grid;
    setUpList(grid, 4);
    grid.setRowHeight(2, 700);
    QFont font = grid.font();
    font.setPointSize(pointSize);
    grid.setFont(font);

    // One line of the font and a little room, the same for every row not
    // given a height of its own.
    const int lineTwips = sorobe::pixelsToTwips(QFontMetrics(font).height());
    const int standard = grid.RowHeight(0);
    QVERIFY2(standard > lineTwips && standard <= lineTwips + 150,
             qPrintable(QString::number(standard)));
    QCOMPARE(grid.RowHeight(1), standard);
    QCOMPARE(grid.RowHeight(3), standard);
    QCOMPARE(grid.cellRect(1, 1).height(), twipsToPixels(standard));
    QCOMPARE(grid.RowHeight(2), 700);
    QCOMPARE(grid.cellRect(2, 1).height(), twipsToPixels(700));
    grid.setRows(6);
    QCOMPARE(grid.cellRect(5, 1).height(), twipsToPixels(standard));
    if (pointSize == 9 || pointSize == 10)
        QVERIFY2(standard >= 210 && standard <= 330, qPrintable(QString::number(standard)));
}

void TestFlexGrid::colWidthInTwips_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("twips");
    QTest::newRow("number") << 0 << 500;
    QTest::newRow("date") << 1 << 1200;
    QTest::newRow("item, odd width") << 2 << 3346;
    QTest::newRow("narrow") << 4 << 15;
    QTest::newRow("hidden") << 3 << 0;
}

void TestFlexGrid::colWidthInTwips() {
    QFETCH(int, col);
    QFETCH(int, twips);
    FlexGrid grid;
    grid.setCols(6);
    grid.setColWidth(col, twips);
    QCOMPARE(grid.ColWidth(col), twips);
    QCOMPARE(grid.isColumnHidden(col), twips == 0);
    if (twips > 0)
        QCOMPARE(grid.columnWidth(col), twipsToPixels(twips));
    // The other columns keep the width every new column gets.
    const int other = col == 5 ? 4 : 5;
    QCOMPARE(grid.ColWidth(other), grid.ColWidth(col == 0 ? 1 : 0));
    QVERIFY(!grid.isColumnHidden(other));
}

void TestFlexGrid::widthInTwips() {
    FlexGrid grid;
    grid.resize(583, 200);
    QCOMPARE(grid.Width(), int(std::lround(583 * sorobe::twipsPerPixel())));
}

void TestFlexGrid::topRowScrollsDataRowsUnderTheTitle_data() {
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("expected");
    // 30 data rows, eight of them fit: the last page starts at row 23.
    QTest::newRow("first") << 1 << 1;
    QTest::newRow("middle") << 10 << 10;
    QTest::newRow("last ten") << 21 << 21;
    QTest::newRow("last page") << 23 << 23;
    QTest::newRow("beyond the last page") << 28 << 23;
    QTest::newRow("beyond the rows") << 40 << 23;
    QTest::newRow("title row") << 0 << 1;
}

void TestFlexGrid::topRowScrollsDataRowsUnderTheTitle() {
    QFETCH(int, requested);
    QFETCH(int, expected);
    FlexGrid grid;
    setUpList(grid, 1);
    const int rowPixels = twipsToPixels(grid.RowHeight(0));
    grid.resize(600, 2 * grid.frameWidth() + rowPixels * 9 + rowPixels / 2);
    QVERIFY(showGrid(grid));
    grid.setTextMatrix(0, 1, "日付");

    // Rows added and scrolled at once, as the list does after a new entry.
    grid.setRows(31);
    for (int r = 1; r < 31; ++r)
        grid.setTextMatrix(r, 0, QString::number(r));
    grid.setTopRow(requested);
    QApplication::processEvents();

    QCOMPARE(grid.TopRow(), expected);
    // It is the first row wholly in view (on the last page the row before it
    // may show in part, the last row then closing the page).
    const QRect top = grid.cellRect(expected, 1);
    QVERIFY2(top.top() >= 0 && top.top() < rowPixels, qPrintable(QString::number(top.top())));
    if (expected > 1)
        QVERIFY(grid.cellRect(expected - 1, 1).top() < 0);
    if (expected == 23)
        QCOMPARE(grid.cellRect(30, 1).bottom(), grid.viewport()->height() - 1);
    // The title row stays in view above the data rows.
    QVERIFY(grid.horizontalHeader()->isVisible());
    QCOMPARE(grid.horizontalHeader()->geometry().top(), grid.frameWidth());
    QCOMPARE(grid.viewport()->geometry().top(), grid.horizontalHeader()->geometry().bottom() + 1);
    QCOMPARE(grid.TextMatrix(0, 1), QString("日付"));
}

void TestFlexGrid::clickMakesTheClickedCellCurrent_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("topRow");
    QTest::newRow("number of the first entry") << 1 << 0 << 1;
    QTest::newRow("item") << 3 << 2 << 1;
    QTest::newRow("amount") << 7 << 4 << 1;
    QTest::newRow("scrolled list") << 15 << 1 << 11;
    QTest::newRow("scrolled, top row") << 11 << 3 << 11;
    QTest::newRow("last row, shown in part") << 10 << 2 << 1;
}

void TestFlexGrid::clickMakesTheClickedCellCurrent() {
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(int, topRow);
    FlexGrid grid;
    setUpList(grid, 31);
    fillTexts(grid);
    // The title row and nine and a half data rows in view.
    const int rowPixels = twipsToPixels(grid.RowHeight(0));
    grid.resize(600, 2 * grid.frameWidth() + rowPixels * 10 + rowPixels / 2);
    QVERIFY(showGrid(grid));
    grid.setTopRow(topRow);
    grid.setRow(0);
    grid.setCol(5);
    const QStringList before = allTexts(grid);

    QSignalSpy clicks(&grid, &FlexGrid::Click);
    int seenRow = -1;
    int seenCol = -1;
    connect(&grid, &FlexGrid::Click, this, [&] {
        seenRow = grid.Row();
        seenCol = grid.Col();
    });
    QPoint at = grid.cellRect(row, col).center();
    at.setY(std::min(at.y(), grid.viewport()->height() - 2));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);

    QCOMPARE(clicks.count(), 1);
    QCOMPARE(seenRow, row);
    QCOMPARE(seenCol, col);
    QCOMPARE(grid.Row(), row);
    QCOMPARE(grid.Col(), col);
    QCOMPARE(grid.TopRow(), topRow);
    QCOMPARE(allTexts(grid), before);
}

void TestFlexGrid::clickOutsideDataCellsRaisesNothing_data() {
    QTest::addColumn<bool>("onTitle");
    QTest::newRow("title row") << true;
    QTest::newRow("below the last row") << false;
}

void TestFlexGrid::clickOutsideDataCellsRaisesNothing() {
    QFETCH(bool, onTitle);
    FlexGrid grid;
    setUpList(grid, 3);
    fillTexts(grid);
    grid.resize(600, 300);
    QVERIFY(showGrid(grid));
    grid.setRow(2);
    grid.setCol(4);
    QSignalSpy clicks(&grid, &FlexGrid::Click);

    if (onTitle) {
        QTest::mouseClick(grid.horizontalHeader(), Qt::LeftButton, {},
                          grid.cellRect(0, 2).center());
    } else {
        const QRect last = grid.cellRect(2, 2);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          QPoint(last.center().x(), last.bottom() + last.height()));
    }
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(grid.Row(), 2);
    QCOMPARE(grid.Col(), 4);
}

void TestFlexGrid::errorInClickHandlerStaysInside() {
    FlexGrid grid;
    setUpList(grid, 4);
    grid.resize(600, 300);
    QVERIFY(showGrid(grid));
    QSignalSpy clicks(&grid, &FlexGrid::Click);
    connect(&grid, &FlexGrid::Click, this, [] { throw std::overflow_error("total"); });

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(3, 1).center());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(grid.Row(), 3);
    // The grid still answers the next click.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(2, 4).center());
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(grid.Row(), 2);
    QCOMPARE(grid.Col(), 4);
}

void TestFlexGrid::columnsShrinkAndGrowUnderTheirCells_data() {
    QTest::addColumn<int>("shrinkTo");
    QTest::addColumn<int>("growTo");
    QTest::newRow("three kept") << 3 << 8;
    QTest::newRow("one kept") << 1 << 6;
    QTest::newRow("unchanged") << 6 << 6;
}

void TestFlexGrid::columnsShrinkAndGrowUnderTheirCells() {
    QFETCH(int, shrinkTo);
    QFETCH(int, growTo);
    FlexGrid grid;
    setUpList(grid, 4);
    fillTexts(grid);
    grid.setRow(2);
    grid.setCol(0);
    grid.setCellForeColor(red);
    grid.setCol(5);
    grid.setCellBackColor(lightYellow);

    grid.setCols(shrinkTo);
    grid.setCols(growTo);
    QCOMPARE(grid.Cols(), growTo);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < growTo; ++c) {
            const bool kept = c < shrinkTo;
            QCOMPARE(grid.TextMatrix(r, c),
                     kept ? QStringLiteral("%1-%2").arg(r).arg(c) : QString());
        }
    }
    grid.setRow(2);
    grid.setCol(0);
    QCOMPARE(grid.CellForeColor(), red);
    grid.setCol(5);
    QCOMPARE(grid.CellBackColor(),
             shrinkTo > 5 ? lightYellow : grid.palette().color(QPalette::Base));
}

void TestFlexGrid::anOwedFillRunsOnceBeforeTheRowsAreUsed_data() {
    QTest::addColumn<QString>("use");
    QTest::addColumn<bool>("fills");
    for (const char* use : {"Rows", "TextMatrix", "RowHeight", "CellForeColor", "Row", "TopRow",
                            "cellRect", "setTextMatrix", "setRows", "setRow"})
        QTest::newRow(use) << QString::fromLatin1(use) << true;
    // Its columns are not the fill's business: they are used without it.
    for (const char* use : {"Cols", "ColWidth", "setColWidth"})
        QTest::newRow(use) << QString::fromLatin1(use) << false;
}

void TestFlexGrid::anOwedFillRunsOnceBeforeTheRowsAreUsed() {
    QFETCH(QString, use);
    QFETCH(bool, fills);
    FlexGrid grid;
    setUpList(grid, 2);
    int runs = 0;
    grid.setPendingFill([&] {
        ++runs;
        // The fill writes through the grid itself.
        grid.setRows(4);
        grid.setTextMatrix(3, 1, QStringLiteral("owed"));
        grid.setRow(3);
        grid.setCol(2);
        grid.setCellForeColor(red);
    });
    QCOMPARE(runs, 0);
    QVERIFY(grid.hasPendingFill());

    const std::map<QString, std::function<void()>> uses{
        {"Rows",
         [&] {
             QCOMPARE(grid.Rows(), 4);
         }},
        {"TextMatrix",
         [&] {
             QCOMPARE(grid.TextMatrix(3, 1), QStringLiteral("owed"));
         }},
        {"RowHeight",
         [&] {
             QCOMPARE(grid.RowHeight(3), grid.RowHeight(0));
         }},
        {"CellForeColor",
         [&] {
             QCOMPARE(grid.CellForeColor(), red);
         }},
        {"Row",
         [&] {
             QCOMPARE(grid.Row(), 3);
         }},
        {"TopRow",
         [&] {
             QCOMPARE(grid.TopRow(), 1);
         }},
        {"cellRect",
         [&] {
             QVERIFY(!grid.cellRect(3, 1).isEmpty());
         }},
        {"setTextMatrix",
         [&] {
             grid.setTextMatrix(3, 1, QStringLiteral("later"));
         }},
        {"setRows",
         [&] {
             grid.setRows(5);
         }},
        {"setRow",
         [&] {
             grid.setRow(1);
         }},
        {"Cols",
         [&] {
             QCOMPARE(grid.Cols(), 6);
         }},
        {"ColWidth",
         [&] {
             QCOMPARE(grid.ColWidth(1), 1200);
         }},
        {"setColWidth",
         [&] {
             grid.setColWidth(1, 1500);
         }},
    };
    uses.at(use)();
    QCOMPARE(runs, fills ? 1 : 0);
    QCOMPARE(grid.hasPendingFill(), !fills);

    // Whatever the use wrote came after the fill; the fill never runs again.
    const QString expected =
        use == "setTextMatrix" ? QStringLiteral("later") : QStringLiteral("owed");
    QCOMPARE(grid.TextMatrix(3, 1), expected);
    QCOMPARE(grid.Rows(), use == "setRows" ? 5 : 4);
    QCOMPARE(runs, 1);
    grid.setTextMatrix(3, 1, QString());
    QCOMPARE(runs, 1);

    // One no longer owed never runs.
    grid.setPendingFill([&] { ++runs; });
    grid.setPendingFill(nullptr);
    QVERIFY(!grid.hasPendingFill());
    QCOMPARE(grid.TextMatrix(3, 1), QString());
    QCOMPARE(runs, 1);
}

void TestFlexGrid::aBulkWriteTellsTheViewAtItsEnd() {
    FlexGrid grid;
    setUpList(grid, 8);
    QAbstractItemModel* model = grid.model();
    QSignalSpy cells(model, &QAbstractItemModel::dataChanged);
    QSignalSpy titles(model, &QAbstractItemModel::headerDataChanged);
    {
        const FlexGrid::BulkWrite outer(grid);
        {
            const FlexGrid::BulkWrite inner(grid);
            grid.setTextMatrix(0, 4, QStringLiteral("残高"));
            grid.setTextMatrix(2, 1, QStringLiteral("a"));
        }
        grid.setRow(6);
        grid.setCol(3);
        grid.setCellForeColor(red);
        grid.setTextMatrix(7, 2, QStringLiteral("dropped"));
        // Rows dropped before the end are not announced.
        grid.setRows(7);
        QCOMPARE(cells.count(), 0);
        QCOMPARE(titles.count(), 0);
    }
    QCOMPARE(titles.count(), 1);
    QCOMPARE(titles.at(0).at(1).toInt(), 1);
    QCOMPARE(titles.at(0).at(2).toInt(), 4);
    QCOMPARE(cells.count(), 1);
    // Data rows 1-6 are view rows 0-5; columns 1 to 4 hold every change.
    const auto topLeft = cells.at(0).at(0).value<QModelIndex>();
    const auto bottomRight = cells.at(0).at(1).value<QModelIndex>();
    QCOMPARE(topLeft.row(), 0);
    QCOMPARE(topLeft.column(), 1);
    QCOMPARE(bottomRight.row(), 5);
    QCOMPARE(bottomRight.column(), 4);
    QCOMPARE(grid.TextMatrix(2, 1), QStringLiteral("a"));

    // Outside a bulk write each cell is told at once.
    grid.setTextMatrix(3, 3, QStringLiteral("b"));
    QCOMPARE(cells.count(), 2);
}

QTEST_MAIN(TestFlexGrid)
#include "tst_flexgrid.moc"
