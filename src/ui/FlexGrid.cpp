#include "FlexGrid.h"

#include "Twips.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>
#include <cstdint>
#include <utility>

namespace sorobe {

namespace {

// A column that was never given a width.
constexpr int defaultColTwips = 960;
// Room above and below one line of text in a standard row, in pixels.
constexpr int rowPaddingPixels = 4;
// Bounds that keep an absurd row or column count from exhausting memory; the
// lists of one school year stay far below them.
constexpr int maxRows = 1000000;
constexpr int maxCols = 1000;
constexpr std::int64_t maxCells = 4000000;

// Whether a text reads as a number ("12", "-1,234", "0.5"), which a cell of
// general alignment puts on the right.
bool looksNumeric(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        ++i;
    bool digits = false;
    bool lastWasDigit = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            digits = true;
            lastWasDigit = true;
        } else if (c == u',' && lastWasDigit) {
            lastWasDigit = false;
        } else {
            break;
        }
    }
    if (!digits || !lastWasDigit)
        return false;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        while (i < t.size() && t[i] >= u'0' && t[i] <= u'9')
            ++i;
    }
    return i == t.size();
}

Qt::Alignment qtAlignment(int alignment, const QString& text) {
    switch (alignment) {
    case FlexGrid::AlignLeftTop:
        return Qt::AlignLeft | Qt::AlignTop;
    case FlexGrid::AlignLeftMiddle:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case FlexGrid::AlignLeftBottom:
        return Qt::AlignLeft | Qt::AlignBottom;
    case FlexGrid::AlignCentreTop:
        return Qt::AlignHCenter | Qt::AlignTop;
    case FlexGrid::AlignCentreMiddle:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case FlexGrid::AlignCentreBottom:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case FlexGrid::AlignRightTop:
        return Qt::AlignRight | Qt::AlignTop;
    case FlexGrid::AlignRightMiddle:
        return Qt::AlignRight | Qt::AlignVCenter;
    case FlexGrid::AlignRightBottom:
        return Qt::AlignRight | Qt::AlignBottom;
    default:
        return (looksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
}

} // namespace

struct FlexCell {
    QString text;
    int alignment = FlexGrid::AlignGeneral;
    QColor fore; // invalid: the grid's default
    QColor back; // invalid: the grid's default
};

// All cells of the grid, title row included. The view sees the data rows as
// its rows (data row r is model row r - 1) and the title row as the header.
class FlexGridModel final : public QAbstractTableModel {
public:
    explicit FlexGridModel(QObject* parent)
        : QAbstractTableModel(parent)
        , m_cells(2 * 2) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows() - 1;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : m_cols;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        return cellData(index.row() + 1, index.column(), role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal)
            return {};
        return cellData(0, section, role);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
    }

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }

    bool setRows(int rows) {
        rows = std::clamp(rows, 1, maxRows);
        if (std::int64_t(rows) * m_cols > maxCells)
            return false;
        const int old = this->rows();
        if (rows < old) {
            beginRemoveRows({}, rows - 1, old - 2);
            m_rows = rows;
            m_cells.resize(std::size_t(rows) * std::size_t(m_cols));
            endRemoveRows();
        } else if (rows > old) {
            beginInsertRows({}, old - 1, rows - 2);
            m_rows = rows;
            m_cells.resize(std::size_t(rows) * std::size_t(m_cols));
            endInsertRows();
        }
        return true;
    }

    bool setCols(int cols) {
        cols = std::clamp(cols, 1, maxCols);
        if (std::int64_t(cols) * rows() > maxCells)
            return false;
        const int old = m_cols;
        if (cols < old)
            beginRemoveColumns({}, cols, old - 1);
        else if (cols > old)
            beginInsertColumns({}, old, cols - 1);
        else
            return true;
        std::vector<FlexCell> cells(std::size_t(m_rows) * std::size_t(cols));
        for (int row = 0; row < m_rows; ++row) {
            for (int col = 0; col < std::min(cols, old); ++col)
                cells[at(row, col, cols)] = std::move(m_cells[at(row, col, old)]);
        }
        m_cells = std::move(cells);
        m_cols = cols;
        if (cols < old)
            endRemoveColumns();
        else
            endInsertColumns();
        return true;
    }

    const FlexCell* cell(int row, int col) const {
        if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
            return nullptr;
        return &m_cells[at(row, col, m_cols)];
    }

    // Changes one cell and lets the view know, at once or, during a bulk
    // write, at its end; outside the grid nothing happens.
    template <typename Change> void changeCell(int row, int col, Change change) {
        if (!cell(row, col))
            return;
        change(m_cells[at(row, col, m_cols)]);
        if (m_bulkWrites > 0) {
            m_changed = m_changed.united(QRect(col, row, 1, 1));
            return;
        }
        if (row == 0)
            emit headerDataChanged(Qt::Horizontal, col, col);
        else
            emit dataChanged(index(row - 1, col), index(row - 1, col));
    }

    void beginBulkWrite() { ++m_bulkWrites; }

    // The view hears of every cell changed since the first bulk write began,
    // as far as those cells are still in the grid.
    void endBulkWrite() {
        if (--m_bulkWrites > 0 || m_changed.isNull())
            return;
        const QRect changed = m_changed.intersected(QRect(0, 0, m_cols, rows()));
        m_changed = QRect();
        if (changed.isEmpty())
            return;
        if (changed.top() == 0)
            emit headerDataChanged(Qt::Horizontal, changed.left(), changed.right());
        if (changed.bottom() >= 1)
            emit dataChanged(index(std::max(changed.top(), 1) - 1, changed.left()),
                             index(changed.bottom() - 1, changed.right()));
    }

    // The background of the "No." column when a page has not coloured it.
    void setFixedColour(const QColor& colour) {
        if (colour == m_fixed)
            return;
        m_fixed = colour;
        if (rows() > 1)
            emit dataChanged(index(0, 0), index(rows() - 2, 0), {Qt::BackgroundRole});
    }

private:
    QVariant cellData(int row, int col, int role) const {
        const FlexCell* c = cell(row, col);
        if (!c)
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return c->text;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(qtAlignment(c->alignment, c->text));
        case Qt::ForegroundRole:
            return c->fore.isValid() ? QVariant(QBrush(c->fore)) : QVariant();
        case Qt::BackgroundRole:
            if (c->back.isValid())
                return QBrush(c->back);
            if (row > 0 && col == 0 && m_fixed.isValid())
                return QBrush(m_fixed);
            return {};
        default:
            return {};
        }
    }

    static std::size_t at(int row, int col, int cols) {
        return std::size_t(row) * std::size_t(cols) + std::size_t(col);
    }

    // Row by row, m_cols cells to a row: rows come and go at the end at
    // the cost of the cells themselves.
    std::vector<FlexCell> m_cells;
    int m_rows = 2;
    int m_cols = 2;
    QColor m_fixed;
    int m_bulkWrites = 0;
    // Cells changed during the bulk writes, as columns (x) by rows (y).
    QRect m_changed;
};

// The title row. Its height is the one the grid gives row 0, whatever height
// the style would choose for a header.
class FlexGridTitleHeader final : public QHeaderView {
public:
    explicit FlexGridTitleHeader(QWidget* parent)
        : QHeaderView(Qt::Horizontal, parent) {}

    void setTitleHeight(int pixels) {
        if (pixels == m_height)
            return;
        m_height = pixels;
        updateGeometry();
    }

    QSize sizeHint() const override {
        QSize size = QHeaderView::sizeHint();
        size.setHeight(m_height);
        return size;
    }

private:
    int m_height = 0;
};

FlexGrid::FlexGrid(QWidget* parent)
    : QTableView(parent)
    , m_model(new FlexGridModel(this))
    , m_title(new FlexGridTitleHeader(this)) {
    setHorizontalHeader(m_title);
    setModel(m_model);

    // The pages edit through their own fields and show the chosen row by
    // colouring it themselves: no editing, no selection, no focus frame.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    m_title->setSectionsClickable(false);
    m_title->setHighlightSections(false);
    m_title->setSectionResizeMode(QHeaderView::Fixed);
    m_title->setMinimumSectionSize(0);
    m_title->setDefaultSectionSize(twipsToPixels(defaultColTwips));
    m_title->setStretchLastSection(false);

    QHeaderView* rowsHeader = verticalHeader();
    rowsHeader->hide();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setMinimumSectionSize(0);

    m_colTwips.assign(std::size_t(m_model->cols()), defaultColTwips);
    m_rowTwips.assign(std::size_t(m_model->rows()), -1);
    for (int c = 0; c < m_model->cols(); ++c)
        QTableView::setColumnWidth(c, twipsToPixels(defaultColTwips));
    applyRowHeights();
    applyTitleColours();

    connect(this, &QAbstractItemView::clicked, this, &FlexGrid::cellClicked);
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::Rows() const {
    fillPending();
    return m_model->rows();
}

void FlexGrid::setRows(int rows) {
    fillPending();
    if (!m_model->setRows(rows))
        return;
    m_rowTwips.resize(std::size_t(m_model->rows()), -1);
    m_row = std::min(m_row, m_model->rows() - 1);
}

int FlexGrid::Cols() const {
    return m_model->cols();
}

void FlexGrid::setCols(int cols) {
    fillPending();
    const int old = m_model->cols();
    if (!m_model->setCols(cols))
        return;
    m_colTwips.resize(std::size_t(m_model->cols()), defaultColTwips);
    for (int c = old; c < m_model->cols(); ++c) {
        setColumnHidden(c, false);
        QTableView::setColumnWidth(c, twipsToPixels(defaultColTwips));
    }
    m_col = std::min(m_col, m_model->cols() - 1);
}

int FlexGrid::Row() const {
    fillPending();
    return m_row;
}

void FlexGrid::setRow(int row) {
    fillPending();
    if (row >= 0 && row < Rows())
        m_row = row;
}

int FlexGrid::Col() const {
    fillPending();
    return m_col;
}

void FlexGrid::setCol(int col) {
    fillPending();
    if (col >= 0 && col < Cols())
        m_col = col;
}

QString FlexGrid::TextMatrix(int row, int col) const {
    fillPending();
    const FlexCell* c = m_model->cell(row, col);
    return c ? c->text : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    fillPending();
    m_model->changeCell(row, col, [&](FlexCell& c) { c.text = text; });
}

int FlexGrid::ColWidth(int col) const {
    if (col < 0 || col >= Cols())
        return 0;
    return m_colTwips[std::size_t(col)];
}

void FlexGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= Cols() || twips < 0)
        return;
    m_colTwips[std::size_t(col)] = twips;
    // A column of width 0 is hidden outright, so that not even its grid line
    // shows; its cells are still there.
    setColumnHidden(col, twips == 0);
    if (twips > 0)
        QTableView::setColumnWidth(col, twipsToPixels(twips));
}

int FlexGrid::RowHeight(int row) const {
    fillPending();
    if (row < 0 || row >= Rows())
        return 0;
    const int twips = m_rowTwips[std::size_t(row)];
    return twips < 0 ? standardRowTwips() : twips;
}

void FlexGrid::setRowHeight(int row, int twips) {
    fillPending();
    if (row < 0 || row >= Rows() || twips < 0)
        return;
    m_rowTwips[std::size_t(row)] = twips;
    if (row == 0) {
        m_title->setTitleHeight(twipsToPixels(twips));
        updateGeometries();
    } else {
        QTableView::setRowHeight(row - 1, twipsToPixels(twips));
    }
}

int FlexGrid::TopRow() const {
    fillPending();
    // The data rows scroll a whole row at a time: the scroll position counts
    // the rows above the first one wholly in view. (On the last page the last
    // row closes the page, and the row above the top row may show in part.)
    return std::clamp(verticalScrollBar()->value() + 1, 1, std::max(1, Rows() - 1));
}

void FlexGrid::setTopRow(int row) {
    fillPending();
    if (Rows() < 2)
        return;
    row = std::clamp(row, 1, Rows() - 1);
    // The scroll range follows the rows only at the next layout; bring it up
    // to date so that a top row among the rows just added is reachable.
    updateGeometries();
    verticalScrollBar()->setValue(row - 1);
}

int FlexGrid::CellAlignment() const {
    fillPending();
    const FlexCell* c = m_model->cell(m_row, m_col);
    return c ? c->alignment : AlignGeneral;
}

void FlexGrid::setCellAlignment(int alignment) {
    fillPending();
    if (alignment < AlignLeftTop || alignment > AlignGeneral)
        return;
    m_model->changeCell(m_row, m_col, [&](FlexCell& c) { c.alignment = alignment; });
}

QColor FlexGrid::CellForeColor() const {
    fillPending();
    const FlexCell* c = m_model->cell(m_row, m_col);
    if (c && c->fore.isValid())
        return c->fore;
    return palette().color(m_row == 0 ? QPalette::ButtonText : QPalette::Text);
}

void FlexGrid::setCellForeColor(const QColor& color) {
    fillPending();
    m_model->changeCell(m_row, m_col, [&](FlexCell& c) { c.fore = color; });
}

QColor FlexGrid::CellBackColor() const {
    fillPending();
    const FlexCell* c = m_model->cell(m_row, m_col);
    if (c && c->back.isValid())
        return c->back;
    return palette().color(m_row == 0 || m_col == 0 ? QPalette::Button : QPalette::Base);
}

void FlexGrid::setCellBackColor(const QColor& color) {
    fillPending();
    m_model->changeCell(m_row, m_col, [&](FlexCell& c) { c.back = color; });
}

bool FlexGrid::WordWrap() const {
    return wordWrap();
}

int FlexGrid::Width() const {
    return pixelsToTwips(width());
}

Qt::Alignment FlexGrid::cellDisplayAlignment(int row, int col) const {
    fillPending();
    const QVariant value = row == 0
                               ? m_model->headerData(col, Qt::Horizontal, Qt::TextAlignmentRole)
                               : m_model->data(m_model->index(row - 1, col), Qt::TextAlignmentRole);
    return value.isValid() ? value.value<Qt::Alignment>() : Qt::Alignment();
}

QRect FlexGrid::cellRect(int row, int col) const {
    fillPending();
    if (!m_model->cell(row, col))
        return {};
    const int left = columnViewportPosition(col);
    const int width = isColumnHidden(col) ? 0 : columnWidth(col);
    if (row == 0)
        return QRect(left, 0, width, m_title->height());
    return QRect(left, rowViewportPosition(row - 1), width, QTableView::rowHeight(row - 1));
}

FlexGrid::BulkWrite::BulkWrite(FlexGrid& grid)
    : m_grid(grid) {
    m_grid.m_model->beginBulkWrite();
}

FlexGrid::BulkWrite::~BulkWrite() {
    m_grid.m_model->endBulkWrite();
}

void FlexGrid::setPendingFill(std::function<void()> fill) {
    m_pendingFill = std::move(fill);
}

void FlexGrid::fillPending() const {
    if (!m_pendingFill)
        return;
    // Taken first: the fill writes through the grid's own functions.
    const std::function<void()> fill = std::exchange(m_pendingFill, nullptr);
    fill();
}

void FlexGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyRowHeights();
    else if (event->type() == QEvent::PaletteChange)
        applyTitleColours();
}

void FlexGrid::cellClicked(const QModelIndex& index) {
    if (!index.isValid())
        return;
    m_row = index.row() + 1;
    m_col = index.column();
    // The page's click handler is the end of this user action; an error it
    // lets through must not take the event loop down with it.
    try {
        emit Click();
    } catch (...) {
    }
}

int FlexGrid::standardRowTwips() const {
    return pixelsToTwips(fontMetrics().height() + rowPaddingPixels);
}

// Gives every row its height again: rows with a height of their own keep it,
// the others take the standard height of the current font.
void FlexGrid::applyRowHeights() {
    const int standard = twipsToPixels(standardRowTwips());
    QHeaderView* rowsHeader = verticalHeader();
    rowsHeader->setDefaultSectionSize(standard);
    for (int r = 1; r < Rows(); ++r) {
        const int twips = m_rowTwips[std::size_t(r)];
        QTableView::setRowHeight(r - 1, twips < 0 ? standard : twipsToPixels(twips));
    }
    m_title->setTitleHeight(m_rowTwips[0] < 0 ? standard : twipsToPixels(m_rowTwips[0]));
    updateGeometries();
}

void FlexGrid::applyTitleColours() {
    m_model->setFixedColour(palette().color(QPalette::Button));
}

} // namespace sorobe
