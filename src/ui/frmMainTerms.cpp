// The six term pages: each shows its period's income lines, then its expense
// lines, with the running balance and a totals row.

#include "CheckedArithmetic.h"
#include "DisplayFormat.h"
#include "FlexGrid.h"
#include "TermCalendar.h"
#include "TermTabulation.h"
#include "frmMain.h"

#include <QFontMetricsF>
#include <QTabWidget>
#include <QTableView>

namespace sorobe {

namespace {

constexpr int alignRight = 7;
constexpr int firstTermPage = 3;

} // namespace

FlexGrid* frmMain::termGrid(Period period) const {
    switch (period) {
    case Spring:
        return MSFlexGridSpring;
    case Autumn:
        return MSFlexGridAutumn;
    case Winter:
        return MSFlexGridWinter;
    case Before:
        return MSFlexGridBefore;
    case Later:
        return MSFlexGridLater;
    case Year:
        return MSFlexGridYear;
    }
    return MSFlexGridYear;
}

void frmMain::fillTermSheet(Period period) {
    FlexGrid* grid = termGrid(period);
    int& rowCount = m_state.sheetRowCount[period];
    // The year's page never loses rows; the term pages end each fill with
    // exactly the rows they need.
    if (period != Year)
        rowCount = 1;

    auto growTo = [&](int r) {
        if (r + 1 > rowCount) {
            grid->setRows(r + 1);
            rowCount = r + 1;
            grid->setRow(r);
            for (int column = 2; column <= 4; ++column) {
                grid->setCol(column);
                grid->setCellAlignment(alignRight);
            }
        }
    };

    const QFontMetricsF metrics(font());
    const ArticlePtr& income = incomeList(m_state.termLists, period);
    const ArticlePtr& supply = supplyList(m_state.termLists, period);
    int r = 1;
    std::int32_t balance = 0;
    for (const ArticlePtr& list : {income, supply}) {
        for (ArticlePtr line = list->nextArticle(); line; line = line->nextArticle(), ++r) {
            const std::int32_t amount = line->taAmount();
            const int amountColumn = line->taIncome() ? 2 : 3;
            const int otherColumn = line->taIncome() ? 3 : 2;
            balance = line->taIncome() ? checkedAdd(balance, amount) : checkedSub(balance, amount);

            growTo(r);
            grid->setRow(r);
            const QString item = line->taArticle() + u' ' + line->taSubArticle();
            grid->setTextMatrix(r, 0, QString::number(r));
            grid->setTextMatrix(r, 1, item);
            grid->setRowHeight(r, listRowHeight(metrics, item, grid->ColWidth(1)));
            grid->setTextMatrix(r, amountColumn, formatAmount(amount));
            grid->setTextMatrix(r, otherColumn, QString());
            grid->setTextMatrix(r, 4, formatAmount(balance));
            grid->setTextMatrix(r, 5, QString::number(line->taKey()));
            grid->setCol(amountColumn);
            grid->setCellForeColor(amount < 0 ? QColor(255, 0, 0) : QColor(0, 0, 0));
            grid->setCol(4);
            grid->setCellForeColor(balance < 0 ? QColor(255, 0, 0) : QColor(0, 0, 0));
        }
    }

    growTo(r);
    grid->setTextMatrix(r, 0, QString());
    grid->setTextMatrix(r, 1, QStringLiteral("合　計"));
    grid->setTextMatrix(r, 2, formatAmount(income->sumArticle()));
    grid->setTextMatrix(r, 3, formatAmount(checkedSub(std::int32_t(0), supply->sumArticle())));
    grid->setTextMatrix(r, 4, formatAmount(balance));

    for (++r; r < rowCount; ++r) {
        for (int column = 0; column <= 4; ++column)
            grid->setTextMatrix(r, column, QString());
    }
}

void frmMain::tabulateTerms() {
    sorobe::tabulateTerms(m_state, [this](Period period) { fillTermSheet(period); });
}

void frmMain::SSTabSheets_Click(int index) {
    if (index >= firstTermPage && index < firstTermPage + periodCount && m_state.termsStale)
        guarded([&] { tabulateTerms(); });
    // The roll shows the class as large as 生徒の数 is now.
    if (SSTabSheets->widget(index) == GridRoll->parentWidget())
        guarded([&] { followLedgerInRoll(); });
    // A list that was not shown when the window changed size is sized now.
    guarded([&] { refitShownList(); });
}

} // namespace sorobe
