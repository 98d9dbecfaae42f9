// The income and expense lists of the entry pages and the money left.

#include "DisplayFormat.h"
#include "FlexGrid.h"
#include "Twips.h"
#include "frmMain.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace sorobe {

namespace {

const QColor red(255, 0, 0);
const QColor black(0, 0, 0);
const QColor highlight(255, 255, 200);
const QColor white(255, 255, 255);

constexpr int alignLeft = 1;
constexpr int alignCentre = 4;
constexpr int alignRight = 7;

void setCell(FlexGrid* grid, int row, int column, const QString& text) {
    grid->setTextMatrix(row, column, text);
}

void paintCell(FlexGrid* grid, int row, int column, const QColor& fore) {
    grid->setRow(row);
    grid->setCol(column);
    grid->setCellForeColor(fore);
}

void alignRow(FlexGrid* grid, int row, std::initializer_list<std::pair<int, int>> alignments) {
    grid->setRow(row);
    for (const auto& [column, alignment] : alignments) {
        grid->setCol(column);
        grid->setCellAlignment(alignment);
    }
    grid->setWordWrap(true);
}

// Whether the row already shows the entry of that key: then its texts stay.
bool rowShowsKey(const FlexGrid* grid, int row, std::int32_t key) {
    const QString cell = grid->TextMatrix(row, 5);
    return !cell.isEmpty() && cell.toLongLong() == key;
}

void setLabelColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

int frmMain::listRowHeight(const QFontMetricsF& metrics, const QString& text,
                           int columnWidth) const {
    // An item is measured once for all the lists that show it (a term's,
    // its half year's and the year's page) and for every refill after: with
    // tens of thousands of different items, measuring is most of a refill.
    if (m_textWidthsFont != font()) {
        m_textWidths.clear();
        m_textWidthsFont = font();
    }
    const HashedText key(text);
    auto known = m_textWidths.constFind(key);
    if (known == m_textWidths.cend())
        known = m_textWidths.insert(key, metrics.horizontalAdvance(text));
    const double width = *known * twipsPerPixel();
    // Halves go to the even neighbour, as whole twips always have.
    const long w = std::lrint(width + 100);
    const long lines = columnWidth > 0 ? w / columnWidth + 1 : 1;
    return int(lines) * m_state.gridRowHeight;
}

void frmMain::showRemainder() {
    const std::int32_t balance = m_state.ledger->sumArticle();
    for (QLabel* label : {LabelIncomeRemainder, LabelSupplyRemainder}) {
        label->setText(formatAmount(balance));
        setLabelColour(label, balance < 0 ? red : black);
    }
}

void frmMain::showIncomeList() {
    FlexGrid* grid = MSFlexGridIncome;
    const QFontMetricsF metrics(font());
    int r = 1;
    for (ArticlePtr entry = m_state.ledger->nextIncomeArticle(); entry;
         entry = entry->nextIncomeArticle(), ++r) {
        if (r + 1 > m_state.incomeGridRows) {
            grid->setRows(r + 1);
            grid->setRow(r);
            m_state.incomeGridRows = r + 1;
            alignRow(grid, r, {{1, alignCentre}, {3, alignRight}, {4, alignRight}});
        }
        if (!rowShowsKey(grid, r, entry->taKey())) {
            grid->setRow(r);
            setCell(grid, r, 0, QString::number(r));
            setCell(grid, r, 1, formatListDate(entry->taDate()));
            const QString item = entry->taArticle() + u' ' + entry->taSubArticle();
            setCell(grid, r, 2, item);
            grid->setRowHeight(r, listRowHeight(metrics, item, grid->ColWidth(2)));
            setCell(grid, r, 3, QString());
            setCell(grid, r, 4, QString());
            setCell(grid, r, 5, QString::number(entry->taKey()));
        }
        if (entry->taPerPerson() != 0) {
            setCell(grid, r, 3, formatAmount(entry->taPerPerson()));
            paintCell(grid, r, 3, entry->taPerPerson() < 0 ? red : black);
        }
        if (entry->taAmount() != 0) {
            setCell(grid, r, 4, formatAmount(entry->taAmount()));
            paintCell(grid, r, 4, entry->taAmount() < 0 ? red : black);
        }
    }

    CommandIncomeNew->setEnabled(true);
    CommandIncomeRecord->setEnabled(false);
    CommandIncomeDelete->setEnabled(false);
    CommandIncomeCancel->setEnabled(false);
    TextIncomeNo->clear();
    DTPickerIncomeDate->setDate(QDate::currentDate());
    ComboIncomeArticle->setEditText(QString());
    ComboIncomeSubArticle->setEditText(QString());
    TextIncomePerPerson->clear();
    TextIncomeAmount->clear();
    TextIncomeStudents->setText(QString::number(m_state.studentCount));
    TextIncomeNo->setReadOnly(false);

    showRemainder();
    TextIncomeNo->setFocus();
}

void frmMain::showSupplyList() {
    FlexGrid* grid = MSFlexGridSupply;
    const QFontMetricsF metrics(font());
    int r = 1;
    for (ArticlePtr entry = m_state.ledger->nextSupplyArticle(); entry;
         entry = entry->nextSupplyArticle(), ++r) {
        if (r + 1 > m_state.supplyGridRows) {
            grid->setRows(r + 1);
            grid->setRow(r);
            m_state.supplyGridRows = r + 1;
            alignRow(grid, r, {{1, alignCentre}, {3, alignLeft}, {4, alignRight}});
        }
        setCell(grid, r, 0, QString::number(r));
        setCell(grid, r, 1, formatListDate(entry->taDate()));
        if (entry->taReceipt() != 0)
            setCell(grid, r, 2, QStringLiteral("No.") + QString::number(entry->taReceipt()));
        paintCell(grid, r, 2, red);
        setCell(grid, r, 3, entry->taArticle());
        setCell(grid, r, 4, QString());
        if (!rowShowsKey(grid, r, entry->taKey())) {
            grid->setRowHeight(r, listRowHeight(metrics, entry->taArticle(), grid->ColWidth(3)));
            setCell(grid, r, 5, QString::number(entry->taKey()));
            if (entry->taReceipt() == 0)
                setCell(grid, r, 2, QString());
        }
        if (entry->taAmount() != 0) {
            setCell(grid, r, 4, formatAmount(entry->taAmount()));
            paintCell(grid, r, 4, entry->taAmount() < 0 ? red : black);
        }
    }

    m_dateBeforeReceipt = QDate();
    CommandSupplyNew->setEnabled(true);
    CommandSupplyRecord->setEnabled(false);
    CommandSupplyDelete->setEnabled(false);
    CommandSupplyCancel->setEnabled(false);
    TextSupplyNo->clear();
    DTPickerSupplyDate->setDate(QDate::currentDate());
    ComboSupplyArticle->setEditText(QString());
    TextSupplyAmount->clear();
    ComboSupplyReceipt->setEditText(QString());
    TextSupplyNo->setReadOnly(false);

    showRemainder();
    ComboSupplyReceipt->setFocus();
}

void frmMain::growList(FlexGrid* grid, int count) {
    const bool income = grid == MSFlexGridIncome;
    if (grid->Rows() > count + 1)
        grid->setRows(count + 1);
    for (int r = grid->Rows(); r <= count; ++r) {
        grid->setRows(r + 1);
        if (income)
            alignRow(grid, r, {{1, alignCentre}, {3, alignRight}, {4, alignRight}});
        else
            alignRow(grid, r, {{1, alignCentre}, {3, alignLeft}, {4, alignRight}});
    }
}

void frmMain::highlightListRow(FlexGrid* grid, int row) {
    std::int16_t& highlighted =
        grid == MSFlexGridIncome ? m_state.incomeHighlightRow : m_state.supplyHighlightRow;
    auto paintRow = [grid](int r, const QColor& back) {
        grid->setRow(r);
        for (int column = 1; column <= 5; ++column) {
            grid->setCol(column);
            grid->setCellBackColor(back);
        }
    };
    if (row != highlighted) {
        if (highlighted != 0)
            paintRow(highlighted, white);
        highlighted = std::int16_t(row);
    }
    paintRow(row, highlight);
}

void frmMain::scrollListToRow(FlexGrid* grid, int row, int count) {
    if (row <= 9)
        grid->setTopRow(1);
    else if (row + 10 >= count + 1)
        grid->setTopRow(count - 9);
    else
        grid->setTopRow(row - 5);
}

} // namespace sorobe
