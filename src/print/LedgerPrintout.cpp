// The ledger (元帳) of one period on paper.

#include "CheckedArithmetic.h"
#include "DisplayFormat.h"
#include "PrintLayout.h"
#include "PrintPeriods.h"
#include "Printouts.h"

#include <array>
#include <limits>

namespace sorobe {

using namespace print;

namespace {

// Columns: borders, where the headings start and where content is placed.
constexpr double dateLeft = 1060.0;
constexpr double receiptLeft = 2160.0;
constexpr double receiptRight = 2860.0; // clear of the rule at 2900
constexpr double itemLeft = 2960.0;
constexpr double incomeRight = 8140.0;
constexpr double expenseRight = 9340.0;
constexpr double balanceRight = 10540.0;
constexpr double itemWrap = 3900.0;
constexpr std::array<double, 5> innerBorders{2100.0, 2900.0, 7000.0, 8200.0, 9400.0};

struct Heading {
    double left;
    const char16_t* text;
};
constexpr std::array<Heading, 6> headings{{{1260.0, u"日付"},
                                           {2160.0, u"領収書"},
                                           {4660.0, u"項目"},
                                           {7360.0, u"収入"},
                                           {8560.0, u"支出"},
                                           {9760.0, u"残高"}}};

// A page is full once the next row would start below this.
constexpr double pageFull = 14640.0;
// The period's totals stand here on the last page, however far the entries reached.
constexpr double totalRowTop = 15000.0;
constexpr double doubleRedFirst = 15360.0;
constexpr double doubleRedSecond = 15385.0;
constexpr double carryRowText = 15445.0;
constexpr double carryRowRule = 15745.0;

class LedgerPrinter {
public:
    LedgerPrinter(PrintSurface& surface, const SharedState& state, Period period,
                  const PrintTitles& titles)
        : m_surface(surface)
        , m_state(state)
        , m_paper(periodPaper(period))
        , m_titles(titles) {}

    void print() {
        // Every total is formed before the first stroke, so a total too large
        // for the ledger stops the printout before anything is on paper.
        const TermLists& lists = m_state.termLists;
        const std::int32_t incomeTotal = periodIncomeList(lists, m_paper.period)->sumArticle();
        const std::int32_t expenseTotal =
            checkedSub<std::int32_t>(0, periodSupplyList(lists, m_paper.period)->sumArticle());
        const std::int32_t opening =
            m_paper.openingKind != 0 ? periodBalance(m_state, m_paper.carriedFrom) : 0;

        printTitle();
        pageHead();
        if (m_paper.openingKind != 0)
            openingRow(opening);

        const SorobeArticle* entry = m_state.ledger->nextArticle().get();
        while (entry) {
            if (periodHoldsEntryMonth(m_paper, entry->taDate().month()))
                entryRows(*entry);
            entry = entry->nextArticle().get();
            if (entry && rowTop(m_row) > pageFull)
                turnPage();
        }
        // Entries that ran into the place of the totals (only a wrapped item
        // can) would be overprinted: the totals go to a page of their own.
        if (rowTop(m_row) > totalRowTop)
            turnPage();
        closing(incomeTotal, expenseTotal);
    }

private:
    void printTitle() {
        m_surface.setColor(black);
        m_surface.setFontName(printFontName());
        m_surface.setFontSize(14);
        const QString name = QString::fromUtf16(m_paper.ledgerName);
        // A class's ledger names its school year first, when there is one.
        const QString year = m_titles.year.trimmed();
        const QString title = m_titles.classAccount
                                  ? (year.isEmpty() ? QString() : year + u' ') +
                                        QStringLiteral("学級会計元帳 ") + name + u' ' +
                                        m_titles.grade + m_titles.room + QStringLiteral("  担任 ") +
                                        m_titles.teacher
                                  : m_titles.title + QStringLiteral(" 会計元帳 ") + name +
                                        QStringLiteral("  ") + m_titles.reporter;
        printFitted(m_surface, pageLeft, 800, pageRight, title);
        m_surface.setFontSize(12);
    }

    void pageHead() {
        m_row = 0;
        drawRule(m_surface, rowTop(0), thickLine);
        for (const Heading& heading : headings)
            m_surface.printAt(heading.left, rowText(0), QString::fromUtf16(heading.text));
        m_row = 1;
        drawRule(m_surface, rowTop(1), thickLine);
        m_entriesOnPage = 0;
    }

    void amountRow(double y, const QString& label, std::int32_t income, std::int32_t expense) {
        m_surface.printAt(itemLeft, y, label);
        printFlushRight(m_surface, incomeRight, y, formatAmount(income));
        printFlushRight(m_surface, expenseRight, y, formatAmount(expense));
        printFlushRight(m_surface, balanceRight, y, formatAmount(m_balance));
    }

    void broughtForwardRow() {
        amountRow(rowText(m_row), QStringLiteral("前頁より繰り越し"), m_pageIncome, m_pageExpense);
        ++m_row;
        drawRule(m_surface, rowTop(m_row), thickLine);
        m_pageIncome = 0;
        m_pageExpense = 0;
    }

    // The balance carried in from the period before, as an income without
    // date, receipt or sub-item.
    void openingRow(std::int32_t amount) {
        const double y = rowText(m_row);
        m_surface.printAt(itemLeft, y, QString::fromUtf16(m_paper.openingArticle));
        printFlushRight(m_surface, incomeRight, y, formatAmount(amount));
        m_pageIncome = amount;
        m_balance = amount;
        printFlushRight(m_surface, balanceRight, y, formatAmount(m_balance));
        ++m_row;
        drawRule(m_surface, rowTop(m_row), thickLine);
    }

    void entryRows(const SorobeArticle& entry) {
        QStringList itemLines =
            wrapText(m_surface, entry.taArticle() + u' ' + entry.taSubArticle(), itemWrap);
        // An entry is never split, so a page may run past its usual end by the
        // lines of one entry; if that would push the page's 合　計 row off the
        // paper, the entry starts the next page instead.
        int rows = static_cast<int>(itemLines.size());
        if (m_entriesOnPage > 0 && rowTop(m_row + rows + 1) > m_surface.pageHeight())
            turnPage();
        // Alone on its page and still too long, the item is cut above the
        // 合　計 row at the foot of the paper.
        const int room = rowsAbove(m_surface.pageHeight()) - m_row - 1;
        if (rows > room) {
            itemLines = cutLines(m_surface, itemLines, room, itemWrap);
            rows = static_cast<int>(itemLines.size());
        }

        const double y = rowText(m_row);
        m_surface.printAt(dateLeft, y, formatListDate(entry.taDate()));
        if (entry.taReceipt() != 0) {
            // A long receipt number drops its "No." and, if need be, is set
            // smaller rather than run into the column's rule and the item.
            m_surface.setColor(red);
            QString receipt = QStringLiteral("No.") + QString::number(entry.taReceipt());
            if (m_surface.textWidth(receipt) > receiptRight - receiptLeft)
                receipt = QString::number(entry.taReceipt());
            printFitted(m_surface, receiptLeft, y, receiptRight, receipt);
            m_surface.setColor(black);
        }
        for (qsizetype k = 0; k < itemLines.size(); ++k)
            m_surface.printAt(itemLeft, y + rowHeight * static_cast<double>(k), itemLines[k]);

        const QString amount = formatAmount(entry.taAmount());
        if (entry.taIncome()) {
            printFlushRight(m_surface, incomeRight, y, amount);
            m_balance = checkedAdd(m_balance, entry.taAmount());
            m_pageIncome = checkedAdd(m_pageIncome, entry.taAmount());
        } else {
            printFlushRight(m_surface, expenseRight, y, amount);
            m_pageExpense = checkedAdd(m_pageExpense, entry.taAmount());
            m_balance = checkedSub(m_balance, entry.taAmount());
        }
        printFlushRight(m_surface, balanceRight, y, formatAmount(m_balance));
        m_row += rows;
        drawRule(m_surface, rowTop(m_row), thinLine);
        ++m_entriesOnPage;
    }

    void drawVerticals(double bottom) {
        drawVertical(m_surface, pageLeft, tableTop, bottom, thickLine);
        drawVertical(m_surface, pageRight, tableTop, bottom, thickLine);
        for (double x : innerBorders)
            drawVertical(m_surface, x, tableTop, bottom, thinLine);
    }

    // The page's 合　計 row, the page's rules, and the next page opened with
    // the figures brought forward.
    void turnPage() {
        amountRow(rowText(m_row), QStringLiteral("合　計"), m_pageIncome, m_pageExpense);
        ++m_row;
        drawRule(m_surface, rowTop(m_row), thinLine);
        drawRule(m_surface, rowTop(m_row), thickLine);
        drawVerticals(rowTop(m_row));
        m_surface.endPage();
        pageHead();
        broughtForwardRow();
    }

    void closing(std::int32_t incomeTotal, std::int32_t expenseTotal) {
        // The unused rest of the page is struck out.
        m_surface.setColor(red);
        m_surface.setLineWidth(thinLine);
        m_surface.line(7000, rowTop(m_row), 2900, totalRowTop);

        m_surface.setLineWidth(thickLine);
        m_surface.setColor(black);
        m_surface.line(pageLeft, totalRowTop, 2900, totalRowTop);
        m_surface.setColor(red);
        m_surface.line(2900, totalRowTop, pageRight, totalRowTop);

        m_surface.setColor(black);
        m_surface.setLineWidth(thinLine);
        amountRow(totalRowTop + textInset,
                  QString::fromUtf16(m_paper.ledgerName) + QStringLiteral(" 合計"), incomeTotal,
                  expenseTotal);

        m_surface.setColor(red);
        drawRule(m_surface, doubleRedFirst, thinLine);
        drawRule(m_surface, doubleRedSecond, thinLine);
        m_surface.setColor(black);
        m_surface.setLineWidth(thickLine);

        double bottom = doubleRedSecond;
        const QString carryRow = QString::fromUtf16(m_paper.carryRowText);
        if (!carryRow.isEmpty()) {
            m_surface.printAt(itemLeft, carryRowText, carryRow);
            printFlushRight(m_surface, expenseRight, carryRowText, formatAmount(m_balance));
            drawRule(m_surface, carryRowRule, thickLine);
            bottom = carryRowRule;
        }
        drawVerticals(bottom);
        m_surface.endDoc();
    }

    PrintSurface& m_surface;
    const SharedState& m_state;
    const PeriodPaper& m_paper;
    const PrintTitles& m_titles;

    std::int32_t m_balance = 0;
    std::int32_t m_pageIncome = 0;
    std::int32_t m_pageExpense = 0;
    int m_row = 0;
    int m_entriesOnPage = 0;
};

} // namespace

namespace {

Period ledgerPeriod(std::int16_t period) {
    return period >= Year && period <= Later ? static_cast<Period>(period) : Year;
}

} // namespace

void printLedger(PrintSurface& surface, const SharedState& state, std::int16_t period,
                 const PrintTitles& titles) {
    LedgerPrinter(surface, state, ledgerPeriod(period), titles).print();
}

bool ledgerFailsAlikeOnAnySheets(const SharedState& state, std::int16_t period) {
    // A page's totals sum a run of the period's entries: they stay between
    // the sum of the negative amounts and that of the positive ones. The
    // running balance and the period's totals do not depend on the pages.
    const PeriodPaper& paper = periodPaper(ledgerPeriod(period));
    // Positive and negative parts, of the incomes at 0 and the expenses at 1.
    std::array<std::array<std::int64_t, 2>, 2> parts{};
    const auto add = [&](bool income, std::int64_t amount) {
        parts[income ? 0 : 1][amount < 0 ? 1 : 0] += amount;
    };
    if (paper.openingKind != 0) {
        try {
            add(true, periodBalance(state, paper.carriedFrom));
        } catch (const OverflowError&) {
            return false;
        }
    }
    for (const SorobeArticle* entry = state.ledger->nextArticle().get(); entry;
         entry = entry->taLink().get()) {
        if (periodHoldsEntryMonth(paper, entry->taDate().month()))
            add(entry->taIncome(), entry->taAmount());
    }
    for (const auto& kind : parts) {
        for (const std::int64_t part : kind) {
            if (part < std::numeric_limits<std::int32_t>::min() ||
                part > std::numeric_limits<std::int32_t>::max())
                return false;
        }
    }
    return true;
}

} // namespace sorobe
