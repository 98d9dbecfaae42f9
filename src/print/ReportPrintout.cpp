// The accounting report (会計報告) of one period, addressed to the parents.

#include "CheckedArithmetic.h"
#include "DisplayFormat.h"
#include "EraDate.h"
#include "PrintLayout.h"
#include "Printouts.h"

#include <algorithm>
#include <vector>

namespace sorobe {

using namespace print;

namespace {

// Summary box and income table.
constexpr double labelRight = 4700.0;
constexpr double summaryAmountRight = 8500.0;
constexpr double incomeAmountRight = 6100.0;
// Expense table: two halves, each an item and an amount column.
constexpr double leftAmountLeft = 4400.0;
constexpr double middle = 5800.0;
constexpr double rightAmountLeft = 9200.0;
constexpr double itemInset = 60.0;
constexpr double margin = 60.0;

// Item texts are broken into lines of at most 3700 twips (income) and 3400
// twips (expenses), but never past the border of their column: set in 60
// twips from the left, an expense line of 3400 would cross the rule at 4400
// (or 9200) by as much as 60 twips.
constexpr double itemLimit(double wrap, double columnWidth) {
    return wrap < columnWidth - itemInset ? wrap : columnWidth - itemInset;
}
constexpr double incomeItemWrap = itemLimit(3700.0, labelRight - pageLeft);
constexpr double expenseItemWrap = itemLimit(3400.0, leftAmountLeft - pageLeft);

// A table goes on to a new page once a row would start below these.
constexpr double incomePageFull = 14640.0;
constexpr double expensePageFull = 14280.0;
// The closing block: its lines of text, and the fewest empty rows above them.
constexpr int closingRows = 3;
constexpr int minClosingGap = 1;

QString yen(std::int32_t amount) {
    return formatAmount(amount) + u'円';
}

class ReportPrinter {
public:
    ReportPrinter(PrintSurface& surface, const QString& periodLabel, const ArticlePtr& incomeList,
                  const ArticlePtr& supplyList, const QString& closingSentence,
                  const PrintTitles& titles)
        : m_surface(surface)
        , m_periodLabel(periodLabel)
        , m_incomeList(incomeList)
        , m_supplyList(supplyList)
        , m_closingSentence(closingSentence)
        , m_titles(titles) {}

    void print() {
        // Totals first: a report whose figures cannot be added up is not
        // begun at all.
        const std::int32_t incomeTotal = m_incomeList->sumArticle();
        const std::int32_t expenseTotal = checkedSub<std::int32_t>(0, m_supplyList->sumArticle());
        const std::int32_t difference = checkedSub(incomeTotal, expenseTotal);
        const QString dateText = eraDateText(m_titles.reportDate);

        m_surface.setColor(black);
        m_surface.setFontName(printFontName());
        m_surface.setFontSize(12);
        heading();
        summaryBox(incomeTotal, expenseTotal, difference);

        m_surface.printAt(pageLeft, rowText(4), QStringLiteral("１．収入の部"));
        m_row = 5;
        incomeTable(incomeTotal);

        // One empty row, the section heading, then the table. When the
        // heading and a row of the table no longer fit, the section starts a
        // new page. A table of one row or none has no row to send on with
        // the sign-off, so then the whole section goes when the sign-off
        // would not follow it here.
        int headingRow = m_row + 1;
        const int shortTable = shortExpenseTableRows();
        if (!fitsOnPage(headingRow + 2, firstExpenseRowLines()) ||
            (shortTable >= 0 &&
             !fitsOnPage(headingRow + 2, shortTable + 1 + minClosingGap + closingRows))) {
            m_surface.endPage();
            headingRow = 0;
        }
        m_surface.printAt(pageLeft, rowText(headingRow), QStringLiteral("２．支出の部"));
        m_row = headingRow + 1;
        expenseTable(expenseTotal);

        closingBlock(dateText);
    }

private:
    void centred(double left, double right, int row, const QString& text) {
        m_surface.printAt(left + (right - left - m_surface.textWidth(text)) / 2, rowText(row),
                          text);
    }

    void rightWithMargin(double right, int row, const QString& text) {
        m_surface.printAt(right - m_surface.textWidth(text) - margin, rowText(row), text);
    }

    // The printed lines of an item, line k in the row below line k-1.
    void itemLines(double left, int row, const QStringList& lines) {
        for (qsizetype k = 0; k < lines.size(); ++k)
            m_surface.printAt(left, rowText(row) + rowHeight * static_cast<double>(k), lines[k]);
    }

    // The item's lines from row `row` on, cut at the foot of the paper: only
    // an item first on its page and longer than the page is cut, for any
    // other goes on to the next page before it gets here.
    QStringList onPaper(int row, const QStringList& lines, double limit) const {
        return cutLines(m_surface, lines, rowsAbove(m_surface.pageHeight()) - row, limit);
    }

    void heading() {
        if (m_titles.classAccount) {
            m_surface.printAt(pageLeft, 800, QStringLiteral("保護者各位"));
            printFlushRight(m_surface, pageRight, 800, m_titles.schoolName);
        }
        m_surface.setFontSize(16);
        printFitted(m_surface, pageLeft, 1400, pageRight, title());
        m_surface.setFontSize(12);
    }

    // The class's report names its school year when the settings page has
    // one: 「令和8年度 第４学年１組  １学期 学級会計報告」, and for the whole
    // year 「令和8年度 第４学年１組 学級会計報告」.
    QString title() const {
        if (!m_titles.classAccount)
            return m_titles.title;
        const QString year = m_titles.year.trimmed();
        const QString classroom = m_titles.grade + m_titles.room;
        if (year.isEmpty())
            return classroom + QStringLiteral("  ") + m_periodLabel +
                   QStringLiteral(" 学級会計報告");
        if (m_periodLabel == QStringLiteral("年度"))
            return year + u' ' + classroom + QStringLiteral(" 学級会計報告");
        return year + u' ' + classroom + QStringLiteral("  ") + m_periodLabel +
               QStringLiteral(" 学級会計報告");
    }

    void summaryBox(std::int32_t incomeTotal, std::int32_t expenseTotal, std::int32_t difference) {
        drawRule(m_surface, rowTop(0), thickLine);
        centred(pageLeft, labelRight, 0, QStringLiteral("収入総額"));
        rightWithMargin(summaryAmountRight, 0, yen(incomeTotal));
        drawRule(m_surface, rowTop(1), thinLine);
        centred(pageLeft, labelRight, 1, QStringLiteral("支出総額"));
        rightWithMargin(summaryAmountRight, 1, yen(expenseTotal));
        drawRule(m_surface, rowTop(2), thinLine);
        centred(pageLeft, labelRight, 2, QStringLiteral("差引総額"));
        rightWithMargin(summaryAmountRight, 2, yen(difference));
        drawRule(m_surface, rowTop(3), thickLine);
        drawVertical(m_surface, pageLeft, rowTop(0), rowTop(3), thickLine);
        drawVertical(m_surface, pageRight, rowTop(0), rowTop(3), thickLine);
        drawVertical(m_surface, labelRight, rowTop(0), rowTop(3), thinLine);
    }

    // --- income ---

    void incomeHead() {
        m_top = rowTop(m_row);
        drawRule(m_surface, m_top, thickLine);
        centred(pageLeft, labelRight, m_row, QStringLiteral("項　目"));
        centred(labelRight, incomeAmountRight, m_row, QStringLiteral("金　額"));
        centred(incomeAmountRight, pageRight, m_row, QStringLiteral("内　訳"));
        ++m_row;
        drawRule(m_surface, rowTop(m_row), thickLine);
        m_linesOnPage = 0;
    }

    void incomePageBreak() {
        const double bottom = rowTop(m_row);
        drawVertical(m_surface, pageLeft, m_top, bottom, thickLine);
        drawVertical(m_surface, pageRight, m_top, bottom, thickLine);
        drawVertical(m_surface, labelRight, m_top, bottom, thinLine);
        drawVertical(m_surface, incomeAmountRight, m_top, bottom, thinLine);
        m_surface.endPage();
        m_row = 0;
        incomeHead();
    }

    bool fitsOnPage(int firstRow, int rows) const {
        return rowTop(firstRow + rows) <= m_surface.pageHeight();
    }

    void incomeTable(std::int32_t incomeTotal) {
        incomeHead();

        // The items in the order they first appear; a collection made month
        // by month ("4月分", "5月分" …) is read together under its item.
        ArticlePtr groups = SorobeArticle::create();
        for (const SorobeArticle* line = m_incomeList->nextArticle().get(); line;
             line = line->nextArticle().get()) {
            ArticlePtr copy = line->cloneArticle();
            // Only the order is wanted: no group total is added up, so none can overflow.
            copy->setTaAmount(0);
            groups->appendSubArticleWithSum(copy);
        }

        for (const SorobeArticle* group = groups->nextArticle().get(); group;
             group = group->nextArticle().get()) {
            std::vector<std::pair<const SorobeArticle*, QStringList>> members;
            int groupRows = 0;
            for (const SorobeArticle* line = m_incomeList->nextArticle().get(); line;
                 line = line->nextArticle().get()) {
                if (line->taArticle() == group->taArticle() &&
                    line->taIncome() == group->taIncome()) {
                    QStringList text = wrapText(
                        m_surface, line->taArticle() + u' ' + line->taSubArticle(), incomeItemWrap);
                    groupRows += static_cast<int>(text.size());
                    members.emplace_back(line, std::move(text));
                }
            }
            // A group is kept on one page. When it would run off the paper it
            // starts the next page, unless it is the first on this one. The
            // last group also takes the 合　計 row's page with it, so that no
            // page holds the heading and the total alone.
            if (m_linesOnPage > 0 && !fitsOnPage(m_row, groupRows))
                incomePageBreak();
            else if (m_linesOnPage > 0 && !group->nextArticle() &&
                     !fitsOnPage(m_row, groupRows + 1))
                incomePageBreak();
            for (const auto& [line, text] : members) {
                // Only a group longer than a whole page gets here too low.
                if (m_linesOnPage > 0 && !fitsOnPage(m_row, static_cast<int>(text.size())))
                    incomePageBreak();
                incomeLine(*line, text);
            }
            if (rowTop(m_row) > incomePageFull && group->nextArticle())
                incomePageBreak();
        }

        // The 合　計 row is not cut off at the foot of the paper.
        if (!fitsOnPage(m_row, 1))
            incomePageBreak();
        totalRow(incomeTotal, {incomeAmountRight},
                 {{pageLeft, thickLine}, {pageRight, thickLine}, {labelRight, thinLine}});
    }

    // The 合　計 row that closes a table: a rule over it, the total, a thick
    // rule under it. The body's columns end above the row; the frame's
    // verticals (with their widths) run down through it.
    void totalRow(std::int32_t total, std::initializer_list<double> bodyColumns,
                  std::initializer_list<std::pair<double, int>> frame) {
        drawRule(m_surface, rowTop(m_row) + 25, thinLine);
        for (double x : bodyColumns)
            drawVertical(m_surface, x, m_top, rowTop(m_row), thinLine);
        centred(pageLeft, labelRight, m_row, QStringLiteral("合　計"));
        rightWithMargin(pageRight, m_row, yen(total));
        ++m_row;
        drawRule(m_surface, rowTop(m_row), thickLine);
        for (const auto& [x, width] : frame)
            drawVertical(m_surface, x, m_top, rowTop(m_row), width);
    }

    void incomeLine(const SorobeArticle& line, const QStringList& wrapped) {
        const int start = m_row;
        const QStringList text = onPaper(start, wrapped, incomeItemWrap);
        itemLines(pageLeft + itemInset, start, text);
        rightWithMargin(incomeAmountRight, start, yen(line.taAmount()));
        // A carry-forward has no amount per pupil, and so no breakdown.
        if (line.taPerPerson() != 0) {
            rightWithMargin(pageRight, start,
                            QStringLiteral(" ＠") + formatAmount(line.taPerPerson()) + u'×' +
                                QString::number(line.taStudentsNumber()) + u'人');
        }
        m_row = start + static_cast<int>(text.size());
        drawRule(m_surface, rowTop(m_row), thinLine);
        ++m_linesOnPage;
    }

    // --- expenses ---

    void expenseHead() {
        m_top = rowTop(m_row);
        drawRule(m_surface, m_top, thickLine);
        centred(pageLeft, leftAmountLeft, m_row, QStringLiteral("項　目"));
        centred(leftAmountLeft, middle, m_row, QStringLiteral("金　額"));
        centred(middle, rightAmountLeft, m_row, QStringLiteral("項　目"));
        centred(rightAmountLeft, pageRight, m_row, QStringLiteral("金　額"));
        ++m_row;
        drawRule(m_surface, rowTop(m_row), thickLine);
        m_leftNext = m_row;
        m_rightNext = m_row;
        m_position = 0;
        m_linesOnPage = 0;
    }

    void expensePageBreak() {
        const double bottom = rowTop(m_row);
        drawRule(m_surface, bottom, thickLine);
        drawVertical(m_surface, pageLeft, m_top, bottom, thickLine);
        drawVertical(m_surface, middle, m_top, bottom, thickLine);
        drawVertical(m_surface, pageRight, m_top, bottom, thickLine);
        drawVertical(m_surface, leftAmountLeft, m_top, bottom, thinLine);
        drawVertical(m_surface, rightAmountLeft, m_top, bottom, thinLine);
        m_surface.endPage();
        m_row = 0;
        expenseHead();
    }

    void expenseTable(std::int32_t expenseTotal) {
        expenseHead();

        std::vector<std::pair<const SorobeArticle*, QStringList>> lines;
        for (const SorobeArticle* line = m_supplyList->nextArticle().get(); line;
             line = line->nextArticle().get())
            lines.emplace_back(line, wrapText(m_surface, line->taArticle(), expenseItemWrap));

        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto& [line, text] = lines[i];
            const int rows = static_cast<int>(text.size());
            if (m_position % 2 == 0) {
                // A row holds two expenses; a pair that would run off the
                // paper starts the next page, unless it is the first there.
                int pairRows = rows;
                if (i + 1 < lines.size())
                    pairRows = std::max(pairRows, static_cast<int>(lines[i + 1].second.size()));
                if (m_linesOnPage > 0 && !fitsOnPage(m_row, pairRows))
                    expensePageBreak();
                // The last row takes the closing block's page with it when
                // the 合　計 row would still fit here but the sign-off, even
                // after a single empty row, would stand alone on the next.
                const bool lastRow = i + 2 >= lines.size();
                if (m_linesOnPage > 0 && lastRow && fitsOnPage(m_row, pairRows + 1) &&
                    !fitsOnPage(m_row + pairRows + 1 + minClosingGap, closingRows))
                    expensePageBreak();
                m_leftNext = m_row + expenseHalf(pageLeft, middle, *line, text);
                ++m_position;
                ++m_linesOnPage;
            } else {
                m_rightNext = m_row + expenseHalf(middle, pageRight, *line, text);
                m_row = std::max(m_leftNext, m_rightNext);
                drawRule(m_surface, rowTop(m_row), thinLine);
                ++m_position;
                ++m_linesOnPage;
                // Only after a full row, so a row is never split. The next
                // expense opens the new page's first row on its left half.
                if (rowTop(m_row) > expensePageFull && i + 1 < lines.size())
                    expensePageBreak();
            }
        }

        // A last row holding a left half only is closed under that half.
        if (m_position % 2 == 1) {
            m_row = m_leftNext;
            drawRule(m_surface, rowTop(m_row), thinLine);
        }
        if (!fitsOnPage(m_row, 1))
            expensePageBreak();
        totalRow(expenseTotal, {rightAmountLeft, leftAmountLeft},
                 {{pageLeft, thickLine}, {middle, thickLine}, {pageRight, thickLine}});
    }

    // One expense in the current row: item from the half's left border,
    // amount against its right border. Gives the rows its item takes.
    int expenseHalf(double halfLeft, double halfRight, const SorobeArticle& line,
                    const QStringList& wrapped) {
        const QStringList text = onPaper(m_row, wrapped, expenseItemWrap);
        itemLines(halfLeft + itemInset, m_row, text);
        rightWithMargin(halfRight, m_row, yen(line.taAmount()));
        return static_cast<int>(text.size());
    }

    // The rows of an expense table of one row (two expenses at most), 0 for
    // an empty one; -1 for a longer table.
    int shortExpenseTableRows() const {
        int count = 0;
        int rows = 0;
        for (const SorobeArticle* line = m_supplyList->nextArticle().get(); line;
             line = line->nextArticle().get()) {
            if (++count > 2)
                return -1;
            rows = std::max(
                rows,
                static_cast<int>(wrapText(m_surface, line->taArticle(), expenseItemWrap).size()));
        }
        return rows;
    }

    // The lines of the first row of the expense table (its one or two
    // expenses, the taller one); 1 for an empty table.
    int firstExpenseRowLines() const {
        int rows = 1;
        int count = 0;
        for (const SorobeArticle* line = m_supplyList->nextArticle().get(); line && count < 2;
             line = line->nextArticle().get(), ++count)
            rows = std::max(
                rows,
                static_cast<int>(wrapText(m_surface, line->taArticle(), expenseItemWrap).size()));
        return rows;
    }

    // --- closing ---

    void closingBlock(const QString& dateText) {
        // Four empty rows under the expense table, then three lines of text;
        // fewer empty rows, down to one, rather than a sheet for the
        // sign-off alone.
        int gap = 4;
        while (gap > minClosingGap && !fitsOnPage(m_row + gap, closingRows))
            --gap;
        int first = m_row + gap;
        if (!fitsOnPage(first, closingRows)) {
            m_surface.endPage();
            first = 0;
        }
        m_surface.printAt(pageLeft, rowText(first), QStringLiteral("上記の通りご報告します。"));
        m_surface.printAt(pageLeft, rowText(first + 1), m_closingSentence);
        m_surface.printAt(pageLeft, rowText(first + 2), dateText);
        const QString signature =
            m_titles.classAccount
                ? m_titles.grade + m_titles.room + QStringLiteral("  　担任　") + m_titles.teacher
                : m_titles.reporter;
        printFlushRight(m_surface, pageRight, rowText(first + 2), signature);
        m_surface.endDoc();
    }

    PrintSurface& m_surface;
    const QString& m_periodLabel;
    const ArticlePtr& m_incomeList;
    const ArticlePtr& m_supplyList;
    const QString& m_closingSentence;
    const PrintTitles& m_titles;

    int m_row = 0;
    double m_top = 0.0;
    int m_leftNext = 0;
    int m_rightNext = 0;
    int m_position = 0;
    int m_linesOnPage = 0;
};

} // namespace

void printReport(PrintSurface& surface, const QString& periodLabel, const ArticlePtr& incomeList,
                 const ArticlePtr& supplyList, const QString& closingSentence,
                 const PrintTitles& titles) {
    ReportPrinter(surface, periodLabel, incomeList, supplyList, closingSentence, titles).print();
}

} // namespace sorobe
