#pragma once

// The list control of the main window. The income and expense lists and the
// six term sheets are all grids of this one kind: a table of text cells whose
// row 0 is the title row (kept in view when the list scrolls) and whose data
// rows start at 1. Each cell has its own alignment, text colour and
// background; widths and heights are in twips, as the window's layout is.
//
// The pages write into the grid through a current cell (Row, Col) on which
// the Cell* formats act, and read the clicked cell from Row and Col in their
// Click handlers. The user never edits a cell here: entries are edited
// through the page's fields.

#include <QColor>
#include <QRect>
#include <QString>
#include <QTableView>
#include <functional>
#include <vector>

namespace sorobe {

class FlexGridModel;
class FlexGridTitleHeader;

class FlexGrid : public QTableView {
    Q_OBJECT

public:
    // Values of CellAlignment. 0-8 are left/centre/right (in steps of three)
    // combined with top/middle/bottom; 9, the default of every cell, puts
    // numbers on the right and other texts on the left, vertically centred.
    static constexpr int AlignLeftTop = 0;
    static constexpr int AlignLeftMiddle = 1;
    static constexpr int AlignLeftBottom = 2;
    static constexpr int AlignCentreTop = 3;
    static constexpr int AlignCentreMiddle = 4;
    static constexpr int AlignCentreBottom = 5;
    static constexpr int AlignRightTop = 6;
    static constexpr int AlignRightMiddle = 7;
    static constexpr int AlignRightBottom = 8;
    static constexpr int AlignGeneral = 9;

    // A new grid has two rows (the title row and one data row) and two columns.
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // Number of rows, title row included (at least 1). Rows dropped take their
    // texts and formats with them; rows added are empty, with default formats
    // and the standard height.
    int Rows() const;
    void setRows(int rows);
    // Number of columns (at least 1); columns added are empty and visible.
    int Cols() const;
    void setCols(int cols);

    // The current cell. Moving it changes no text; an index outside the grid
    // is ignored. While a Click handler runs it is the clicked cell.
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);

    // Text of any cell, title row included; "" outside the grid. Writing does
    // not move the current cell.
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // Column width in twips; 0 hides the column (its texts stay readable).
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    // Row height in twips. A row keeps the height it was given; it never grows
    // by itself to fit a wrapped text. Until given one, a row has the standard
    // height: one line of the grid's font plus a little room.
    int RowHeight(int row) const;
    void setRowHeight(int row, int twips);

    // The first data row wholly in view. Setting it scrolls the data rows as
    // far as the last page allows; the title row stays where it is.
    int TopRow() const;
    void setTopRow(int row);

    // Formats of the current cell.
    int CellAlignment() const;
    void setCellAlignment(int alignment);
    QColor CellForeColor() const;
    void setCellForeColor(const QColor& color);
    QColor CellBackColor() const;
    void setCellBackColor(const QColor& color);

    // Off in a new grid. When on, a text longer than its column continues on
    // further lines inside the cell, as far as the row's height allows.
    // (The setter is the view's own setWordWrap(bool).)
    bool WordWrap() const;

    // The grid's own width in twips.
    int Width() const;

    // How a cell's text is drawn, its CellAlignment resolved against its text;
    // an empty value outside the grid.
    Qt::Alignment cellDisplayAlignment(int row, int col) const;
    // The area of a cell, its grid lines included: for a data row in
    // viewport() coordinates, for the title row in horizontalHeader()
    // coordinates. Empty outside the grid; of width 0 in a hidden column.
    QRect cellRect(int row, int col) const;

    // While one is alive, the cells written are not announced to the view one
    // by one; the view hears of them all when the last one ends. For filling
    // thousands of rows at once.
    class BulkWrite {
    public:
        explicit BulkWrite(FlexGrid& grid);
        ~BulkWrite();
        BulkWrite(const BulkWrite&) = delete;
        BulkWrite& operator=(const BulkWrite&) = delete;

    private:
        FlexGrid& m_grid;
    };

    // A refill the grid is owed: it runs once, the first time anything reads
    // or writes the grid's rows or cells, so that the rows it replaces are
    // never read. (The columns are left out: a refill never changes them.)
    // Whoever shows the grid has it filled first, as the window does with the
    // page it turns to. Setting another replaces the one owed; an empty
    // function owes none.
    void setPendingFill(std::function<void()> fill);
    bool hasPendingFill() const { return bool(m_pendingFill); }
    void fillPending() const;

signals:
    // The user clicked a data cell; Row and Col are already that cell.
    // Clicking the title row raises nothing.
    void Click();

protected:
    void changeEvent(QEvent* event) override;

private:
    void cellClicked(const QModelIndex& index);
    int standardRowTwips() const;
    void applyRowHeights();
    void applyTitleColours();

    FlexGridModel* m_model = nullptr;
    FlexGridTitleHeader* m_title = nullptr;
    int m_row = 0;
    int m_col = 0;
    // Per column and per row, in twips; -1 in m_rowTwips: the standard height.
    std::vector<int> m_colTwips;
    std::vector<int> m_rowTwips;
    mutable std::function<void()> m_pendingFill;
};

} // namespace sorobe
