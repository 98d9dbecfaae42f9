// The six term pages: each shows its period's income lines, then its expense
// lines, with the running balance and a totals row.
//
// A tabulation refills at once only the page on screen. Each other page is
// owed its refill, which its grid runs the first time anything reads it and
// the window when it turns to the page (after tabulating, if the ledger has
// changed since), with the lists and the item width of that tabulation:
// what is then seen is what a refill at the tabulation would have shown. A page that
// is owed a refill when the next tabulation comes takes at once only the part
// of it that the next refill would leave standing (the rows below the next
// 合　計 row, which the year's page keeps, and the colours of the cells the
// next refill leaves empty), so that each page still shows exactly what a
// refill at every tabulation would have left.

#include "CheckedArithmetic.h"
#include "DisplayFormat.h"
#include "FlexGrid.h"
#include "TermCalendar.h"
#include "TermTabulation.h"
#include "frmMain.h"

#include <QFontMetricsF>
#include <QTabWidget>
#include <QTableView>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace sorobe {

namespace {

constexpr int alignRight = 7;
constexpr int firstTermPage = 3;
constexpr int lastRow = std::numeric_limits<int>::max();

// A line of a page with the balance after it.
struct SheetLine {
    const SorobeArticle* line;
    std::int32_t balance;
};

// A head of its own before the list's lines.
ArticlePtr headBefore(const ArticlePtr& list) {
    ArticlePtr head = SorobeArticle::create();
    head->setTaLink(list->nextArticle());
    return head;
}

} // namespace

// The lines of a page in order, income then expenses, with their balances
// and the totals of the 合　計 row, as far as they stay within 32 bits.
struct frmMain::TermSheetPlan {
    std::vector<SheetLine> lines;
    // The balance leaves 32 bits at the line after the last of `lines`.
    bool lineOverflows = false;
    // Empty when the total leaves 32 bits.
    std::optional<std::int32_t> incomeTotal;
    std::optional<std::int32_t> supplyTotal;

    bool overflows() const { return lineOverflows || !incomeTotal || !supplyTotal; }
    int totalRow() const { return int(lines.size()) + 1; }
    std::int32_t balance() const { return lines.empty() ? 0 : lines.back().balance; }
};

std::shared_ptr<const frmMain::TermSheetPlan> frmMain::planTermSheet(const ArticlePtr& income,
                                                                     const ArticlePtr& supply) {
    auto plan = std::make_shared<TermSheetPlan>();
    std::int32_t balance = 0;
    try {
        for (const ArticlePtr* list : {&income, &supply}) {
            for (const SorobeArticle* line = (*list)->nextArticle().get(); line;
                 line = line->taLink().get()) {
                balance = line->taIncome() ? checkedAdd(balance, line->taAmount())
                                           : checkedSub(balance, line->taAmount());
                plan->lines.push_back({line, balance});
            }
        }
    } catch (const OverflowError&) {
        plan->lineOverflows = true;
        return plan;
    }
    try {
        plan->incomeTotal = income->sumArticle();
        plan->supplyTotal = checkedSub(std::int32_t(0), supply->sumArticle());
    } catch (const OverflowError&) {
    }
    return plan;
}

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

void frmMain::writeTermSheet(Period period, const TermSheetSource& source, int& rowCount, int from,
                             int to) {
    FlexGrid* grid = termGrid(period);
    const TermSheetPlan& plan = *source.plan;
    // The year's page never loses rows; the term pages end each fill with
    // exactly the rows they need.
    if (period != Year)
        rowCount = 1;
    const int lines = int(plan.lines.size());
    const int total = plan.totalRow();
    const FlexGrid::BulkWrite bulk(*grid);

    // Rows are added as far as the fill reaches, right-aligned in the three
    // amount columns; the first row added is cut from what the page had, so
    // that it keeps its own formats.
    const int firstAdded = std::max(1, rowCount);
    const int reached = plan.lineOverflows ? lines : total;
    const bool totalAdded = !plan.lineOverflows && firstAdded <= total;
    if (firstAdded <= reached) {
        grid->setRows(firstAdded + 1);
        const int kept = std::min(reached, std::max(firstAdded, to));
        grid->setRows(kept + 1);
        for (int r = firstAdded; r <= kept; ++r) {
            grid->setRow(r);
            for (int column = 2; column <= 4; ++column) {
                grid->setCol(column);
                grid->setCellAlignment(alignRight);
            }
        }
        rowCount = reached + 1;
    }

    const QFontMetricsF metrics(font());
    for (int r = 1; r <= std::min(lines, to); ++r) {
        const SheetLine& sheetLine = plan.lines[std::size_t(r - 1)];
        const SorobeArticle& line = *sheetLine.line;
        const std::int32_t amount = line.taAmount();
        const int amountColumn = line.taIncome() ? 2 : 3;
        const int otherColumn = line.taIncome() ? 3 : 2;
        grid->setRow(r);
        if (r >= from) {
            const QString item = line.taArticle() + u' ' + line.taSubArticle();
            grid->setTextMatrix(r, 0, QString::number(r));
            grid->setTextMatrix(r, 1, item);
            grid->setRowHeight(r, listRowHeight(metrics, item, source.itemWidth));
            grid->setTextMatrix(r, amountColumn, formatAmount(amount));
            grid->setTextMatrix(r, otherColumn, QString());
            grid->setTextMatrix(r, 4, formatAmount(sheetLine.balance));
            grid->setTextMatrix(r, 5, QString::number(line.taKey()));
        }
        grid->setCol(amountColumn);
        grid->setCellForeColor(amount < 0 ? QColor(255, 0, 0) : QColor(0, 0, 0));
        grid->setCol(4);
        grid->setCellForeColor(sheetLine.balance < 0 ? QColor(255, 0, 0) : QColor(0, 0, 0));
    }
    if (plan.lineOverflows)
        throw OverflowError();
    if (totalAdded) {
        grid->setRow(total);
        grid->setCol(4);
    }

    if (total >= from && total <= to) {
        grid->setTextMatrix(total, 0, QString());
        grid->setTextMatrix(total, 1, QStringLiteral("合　計"));
        if (!plan.incomeTotal)
            throw OverflowError();
        grid->setTextMatrix(total, 2, formatAmount(*plan.incomeTotal));
        if (!plan.supplyTotal)
            throw OverflowError();
        grid->setTextMatrix(total, 3, formatAmount(*plan.supplyTotal));
        grid->setTextMatrix(total, 4, formatAmount(plan.balance()));
    }

    for (int r = std::max(total + 1, from); r < rowCount && r <= to; ++r) {
        for (int column = 0; column <= 4; ++column)
            grid->setTextMatrix(r, column, QString());
    }
}

frmMain::TermSheetSource frmMain::currentTermSheetSource(Period period) const {
    TermSheetSource source{headBefore(incomeList(m_state.termLists, period)),
                           headBefore(supplyList(m_state.termLists, period)), nullptr,
                           termGrid(period)->ColWidth(1)};
    source.plan = planTermSheet(source.income, source.supply);
    return source;
}

void frmMain::fillOwedTermSheet(Period period) {
    std::optional<OwedTermSheet>& owed = m_owedTermSheets[std::size_t(period)];
    if (!owed)
        return;
    const OwedTermSheet sheet = std::move(*owed);
    owed.reset();
    termGrid(period)->setPendingFill(nullptr);
    // The page's sheetRowCount is already what this refill leaves, or what a
    // recording since has set it back to.
    int rowCount = sheet.rowsBefore;
    writeTermSheet(period, sheet.source, rowCount, 1, lastRow);
}

void frmMain::termSheetTabulated(Period period) {
    FlexGrid* grid = termGrid(period);
    QWidget* page = SSTabSheets->currentWidget();
    TermSheetSource source = currentTermSheetSource(period);
    const TermSheetPlan& plan = *source.plan;
    std::optional<OwedTermSheet>& owed = m_owedTermSheets[std::size_t(period)];
    int& rowCount = m_state.sheetRowCount[period];

    // A refill that stops at an overflow leaves more of the page before it
    // standing: the refill owed is made whole first.
    if (plan.overflows())
        fillOwedTermSheet(period);
    if (owed) {
        // The rows the refill to come keeps are those from its first added
        // row up, or all when it adds none; of these, the lines above its
        // 合　計 row keep only the colours of their empty amount cells.
        const int firstAdded = std::max(1, period == Year ? rowCount : 1);
        const int kept = firstAdded <= plan.totalRow() ? firstAdded : lastRow;
        const OwedTermSheet sheet = std::move(*owed);
        owed.reset();
        grid->setPendingFill(nullptr);
        int owedRows = sheet.rowsBefore;
        writeTermSheet(period, sheet.source, owedRows, plan.totalRow(), kept);
    }

    if (plan.overflows() || (page && page->isAncestorOf(grid))) {
        writeTermSheet(period, source, rowCount, 1, lastRow);
        return;
    }
    owed = OwedTermSheet{std::move(source), rowCount};
    rowCount = period == Year ? std::max(rowCount, plan.totalRow() + 1) : plan.totalRow() + 1;
    grid->setPendingFill([this, period] { fillOwedTermSheet(period); });
}

void frmMain::tabulateTerms() {
    sorobe::tabulateTerms(m_state, [this](Period period) { termSheetTabulated(period); });
}

void frmMain::SSTabSheets_Click(int index) {
    if (index >= firstTermPage && index < firstTermPage + periodCount) {
        if (m_state.termsStale)
            guarded([&] { tabulateTerms(); });
        const Period period = termPeriods[std::size_t(index - firstTermPage)].period;
        guarded([&] { termGrid(period)->fillPending(); });
    }
    // The roll shows the class as large as 生徒の数 is now.
    if (SSTabSheets->widget(index) == GridRoll->parentWidget())
        guarded([&] { followLedgerInRoll(); });
    // A list that was not shown when the window changed size is sized now.
    guarded([&] { refitShownList(); });
}

} // namespace sorobe
