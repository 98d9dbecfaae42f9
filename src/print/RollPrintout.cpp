// The collection roll (集金表) on paper.

#include "RollPrintout.h"

#include "CheckedArithmetic.h"
#include "DisplayFormat.h"
#include "PageNumbers.h"
#include "PrintLayout.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace sorobe {

using namespace print;

namespace {

// Across the sheet: the pupil's 出席番号 and name, one column for each
// collection, and what the pupil still owes. A column is wide enough for
// 「＠1,500」 and 「16,000」 in the table's font; twelve of them, a school
// year of 学級費, go across one sheet.
constexpr double rollLeft = 500.0;
constexpr double rollRight = rollPageWidth - 500.0;
constexpr double numberRight = rollLeft + 500.0;
constexpr double nameRight = numberRight + 2200.0;
constexpr double collectionWidth = 940.0;
constexpr double owedWidth = 1000.0;
constexpr int collectionsPerSheet =
    static_cast<int>((rollRight - owedWidth - nameRight) / collectionWidth);
static_assert(collectionsPerSheet >= 12);
// Room kept between a cell's text and its rules.
constexpr double cellInset = 40.0;

// Down the sheet: the title, the headings of three short lines, a row per
// pupil and the two rows of the foot. Rows are low enough for a class of 40
// on one sheet, and a smaller class takes roomier rows, up to a line of a
// ruled notebook.
constexpr double titleTop = 250.0;
constexpr double rollTableTop = 850.0;
constexpr double headingLinePitch = 180.0;
constexpr double headingHeight = 3 * headingLinePitch + 2 * cellInset;
constexpr double rollRowHeight = 210.0;
constexpr double roomyRowHeight = 300.0;
constexpr int footRows = 2;
constexpr double noteHeight = 280.0;

constexpr double titlePoints = 14.0;
constexpr double sidePoints = 10.0;
constexpr double tablePoints = 9.0;
constexpr double headingPoints = 8.0;
constexpr double movePoints = 7.0;
constexpr double smallestPoints = 6.0;

// The list of what is owed: number, name, the collections owed, the sum.
constexpr double listPoints = 10.0;
constexpr double listRowHeight = 260.0;
constexpr double listHeadingTop = rollTableTop;
constexpr double listTableTop = listHeadingTop + 400.0;
constexpr double listNameLeft = numberRight + 120.0;
constexpr double listNameRight = nameRight;
constexpr double listOwedLeft = nameRight + 120.0;
constexpr double listSumRight = rollRight - cellInset;
constexpr double listOwedRight = listSumRight - 1300.0;
constexpr double listSumLeft = listOwedRight + 60.0;

const QColor grey{128, 128, 128};

// Money on the roll is at most that of a ledger entry for each pupil; a sum
// beyond the ledger's amounts stops the printout rather than print a wrong figure.
QString amountText(std::int64_t amount) {
    if (amount < std::numeric_limits<std::int32_t>::min() ||
        amount > std::numeric_limits<std::int32_t>::max())
        throw OverflowError();
    return formatAmount(static_cast<std::int32_t>(amount));
}

QString perPupilText(const CollectionId& id) {
    return u'＠' + formatAmount(id.perPerson);
}

// The first line of a column's heading: the sub-item (「4月分」) that tells
// collections of one item apart, or the day of a collection without one.
QString whichText(const CollectionId& id) {
    if (!id.subArticle.trimmed().isEmpty())
        return id.subArticle.trimmed();
    return id.date.isValid() ? QStringLiteral("%1/%2").arg(id.date.month()).arg(id.date.day())
                             : QString();
}

// 「4月分 学級費 ＠500」, as the 未納一覧 names a collection.
QString collectionName(const CollectionId& id) {
    QStringList parts;
    if (!id.subArticle.trimmed().isEmpty())
        parts << id.subArticle.trimmed();
    parts << id.article.trimmed() << perPupilText(id);
    return parts.join(u' ');
}

QString moveText(const Pupil& pupil) {
    if (pupil.movedOut.isValid())
        return QStringLiteral("転出%1/%2").arg(pupil.movedOut.month()).arg(pupil.movedOut.day());
    if (pupil.movedIn.isValid())
        return QStringLiteral("転入%1/%2").arg(pupil.movedIn.month()).arg(pupil.movedIn.day());
    return QString();
}

// The text centred in the cell from `left` to `right`: set smaller when it
// is too wide, and cut short with 「…」 when even the smallest size is, so
// that it never runs into the next column. The size is restored after.
void printInCell(PrintSurface& surface, double left, double right, double y, const QString& text) {
    const double size = surface.fontSize();
    const double room = right - left - 2 * cellInset;
    while (surface.fontSize() > smallestPoints && surface.textWidth(text) > room)
        surface.setFontSize(std::max(smallestPoints, surface.fontSize() - 0.5));
    QString shown = text;
    if (surface.textWidth(shown) > room) {
        const QString ellipsis = QStringLiteral("…");
        qsizetype length = shown.size();
        while (length > 0 && surface.textWidth(shown.left(length) + ellipsis) > room)
            --length;
        if (length > 0 && shown[length - 1].isHighSurrogate())
            --length;
        shown = shown.left(length) + ellipsis;
    }
    surface.printAt((left + right - surface.textWidth(shown)) / 2, y, shown);
    surface.setFontSize(size);
}

class RollPrinter {
public:
    RollPrinter(PrintSurface& surface, const CollectionRoll& roll, const PrintTitles& titles)
        : m_surface(surface)
        , m_roll(roll)
        , m_roster(roll.roster())
        , m_titles(titles) {}

    void print() {
        // Every figure is written out before the first stroke: a sum too
        // large to print stops the printout before anything is on paper.
        const int pupils = m_roster.size();
        const int columns = m_roll.columnCount();
        std::int64_t owedTotal = 0;
        for (int number = 1; number <= pupils; ++number) {
            const std::int64_t owed = m_roll.owed(number);
            m_owed.push_back(owed == 0 ? QString() : amountText(owed));
            if (owed != 0)
                ++m_owing;
            owedTotal = checkedAdd(owedTotal, owed);
        }
        m_owedTotal = amountText(owedTotal);
        for (int column = 0; column < columns; ++column) {
            const CollectionRoll::Foot foot = m_roll.foot(column);
            m_feet.push_back({QStringLiteral("%1/%2").arg(foot.paid).arg(foot.expected) +
                                  (foot.disagrees ? QStringLiteral("*") : QString()),
                              amountText(foot.money), foot.disagrees});
        }

        m_surface.setColor(black);
        m_surface.setFontName(printFontName());
        if (pupils == 0 || columns == 0) {
            nothingCollected();
        } else {
            table();
            m_surface.endPage();
            owingList();
        }
        m_surface.endDoc();
    }

private:
    struct FootTexts {
        QString count;
        QString money;
        bool disagrees;
    };

    void sheetTitle() {
        m_surface.setColor(black);
        const QString year = m_titles.year.trimmed();
        const QString title = m_titles.classAccount
                                  ? (year.isEmpty() ? QString() : year + u' ') + m_titles.grade +
                                        m_titles.room + QStringLiteral(" 集金表")
                                  : m_titles.title.trimmed() + QStringLiteral(" 集金表");
        // Who keeps the roll, small on the right: the school and the class
        // teacher, or whoever reports another account.
        QStringList side;
        if (!m_titles.schoolName.trimmed().isEmpty())
            side << m_titles.schoolName.trimmed();
        if (m_titles.classAccount && !m_titles.teacher.trimmed().isEmpty())
            side << QStringLiteral("担任 ") + m_titles.teacher.trimmed();
        if (!m_titles.classAccount && !m_titles.reporter.trimmed().isEmpty())
            side << m_titles.reporter.trimmed();
        const QString sideText = side.join(QStringLiteral("　"));
        m_surface.setFontSize(sidePoints);
        const double sideLeft = rollRight - std::min(m_surface.textWidth(sideText), 6000.0);
        m_surface.setFontSize(titlePoints);
        printFitted(m_surface, rollLeft, titleTop, sideLeft - 400.0, title.trimmed());
        if (!sideText.isEmpty()) {
            m_surface.setFontSize(sidePoints);
            printFitted(m_surface, sideLeft, titleTop + 80.0, rollRight, sideText);
        }
    }

    void nothingCollected() {
        sheetTitle();
        m_surface.setFontSize(12);
        m_surface.printAt(rollLeft, rollTableTop, QStringLiteral("集金の記録がありません。"));
        if (m_roster.size() == 0)
            m_surface.printAt(rollLeft, rollTableTop + 360.0,
                              QStringLiteral("名簿に生徒がいません。"));
    }

    // The room down a sheet for the pupils and the foot.
    double tableRoom() const {
        return m_surface.pageHeight() - rollTableTop - headingHeight - noteHeight;
    }

    // The sheets of the table: the collections a sheet's width at a time,
    // and for each of them the pupils a sheet's height at a time.
    void table() {
        const int columns = m_roll.columnCount();
        const int pupils = m_roster.size();
        // Pupils that go down one sheet in the lowest rows, with room kept
        // under them for the foot and its note. A class that fits spreads
        // its rows over the sheet.
        const int fitting = std::max(1, static_cast<int>(tableRoom() / rollRowHeight) - footRows);
        const int perSheet = std::min(pupils, fitting);
        m_rowHeight = pupils <= fitting
                          ? std::min(roomyRowHeight, tableRoom() / (pupils + footRows))
                          : rollRowHeight;
        bool first = true;
        for (int from = 0; from < columns; from += collectionsPerSheet) {
            const int to = std::min(columns, from + collectionsPerSheet);
            for (int number = 1; number <= pupils; number += perSheet) {
                if (!first)
                    m_surface.endPage();
                first = false;
                sheetTitle();
                tableSheet(from, to, number, std::min(pupils, number + perSheet - 1));
            }
        }
    }

    double columnLeft(int column, int from) const {
        return nameRight + collectionWidth * (column - from);
    }

    // Text set in the middle of a row of the given height.
    double textTop(double rowTop, double height) const {
        return rowTop + (height - m_surface.textHeight(QString())) / 2;
    }

    void tableSheet(int from, int to, int firstPupil, int lastPupil) {
        const bool owedColumn = to == m_roll.columnCount();
        const bool foot = lastPupil == m_roster.size();
        const double owedLeft = columnLeft(to, from);
        const double tableRight = owedColumn ? owedLeft + owedWidth : owedLeft;

        // The headings.
        m_surface.setLineWidth(thickLine);
        m_surface.line(rollLeft, rollTableTop, tableRight, rollTableTop);
        m_surface.setFontSize(tablePoints);
        const double headingText = textTop(rollTableTop, headingHeight);
        printInCell(m_surface, rollLeft, numberRight, headingText, QStringLiteral("番号"));
        printInCell(m_surface, numberRight, nameRight, headingText, QStringLiteral("名前"));
        if (owedColumn)
            printInCell(m_surface, owedLeft, tableRight, headingText, QStringLiteral("未納額"));
        m_surface.setFontSize(headingPoints);
        for (int column = from; column < to; ++column) {
            const CollectionId& id = m_roll.column(column).id;
            const double left = columnLeft(column, from);
            const double right = left + collectionWidth;
            const QString lines[] = {whichText(id), id.article.trimmed(), perPupilText(id)};
            double y = rollTableTop + cellInset;
            for (const QString& line : lines) {
                if (!line.isEmpty())
                    printInCell(m_surface, left, right, y, line);
                y += headingLinePitch;
            }
        }
        double y = rollTableTop + headingHeight;
        m_surface.line(rollLeft, y, tableRight, y);

        // A row for each pupil.
        for (int number = firstPupil; number <= lastPupil; ++number) {
            pupilRow(number, y, from, to, owedColumn ? owedLeft : -1.0);
            y += m_rowHeight;
            m_surface.setLineWidth(thinLine);
            m_surface.line(rollLeft, y, tableRight, y);
        }

        // The foot: who paid of those expected, the money the ticks make.
        bool disagreement = false;
        if (foot) {
            m_surface.setLineWidth(thickLine);
            m_surface.line(rollLeft, y, tableRight, y);
            m_surface.setFontSize(tablePoints);
            const double countText = textTop(y, m_rowHeight);
            const double moneyText = countText + m_rowHeight;
            m_surface.printAt(numberRight + cellInset, countText, QStringLiteral("人数"));
            m_surface.printAt(numberRight + cellInset, moneyText, QStringLiteral("金額"));
            for (int column = from; column < to; ++column) {
                const FootTexts& texts = m_feet[std::size_t(column)];
                const double left = columnLeft(column, from);
                printInCell(m_surface, left, left + collectionWidth, countText, texts.count);
                printInCell(m_surface, left, left + collectionWidth, moneyText, texts.money);
                disagreement = disagreement || texts.disagrees;
            }
            if (owedColumn)
                printInCell(m_surface, owedLeft, tableRight, moneyText, m_owedTotal);
            m_surface.setLineWidth(thinLine);
            m_surface.line(rollLeft, y + m_rowHeight, tableRight, y + m_rowHeight);
            y += footRows * m_rowHeight;
        }
        m_surface.setLineWidth(thickLine);
        m_surface.line(rollLeft, y, tableRight, y);

        // The columns' rules, the outer ones and the one before the owed thick.
        m_surface.line(rollLeft, rollTableTop, rollLeft, y);
        m_surface.line(tableRight, rollTableTop, tableRight, y);
        m_surface.setLineWidth(thinLine);
        m_surface.line(numberRight, rollTableTop, numberRight, y);
        for (int column = from; column < to; ++column) {
            const double left = columnLeft(column, from);
            m_surface.line(left, rollTableTop, left, y);
        }
        if (owedColumn && to > from) {
            m_surface.setLineWidth(thickLine);
            m_surface.line(owedLeft, rollTableTop, owedLeft, y);
        }

        if (disagreement) {
            m_surface.setFontSize(tablePoints);
            m_surface.printAt(rollLeft, y + 60.0, QStringLiteral("* 帳簿の生徒の数と合いません"));
        }
    }

    void pupilRow(int number, double top, int from, int to, double owedLeft) {
        const Pupil& pupil = m_roster.pupil(number);
        m_surface.setFontSize(tablePoints);
        const double y = textTop(top, m_rowHeight);
        printFlushRight(m_surface, numberRight - cellInset, y, QString::number(number));

        // A pupil who moved says when, small at the end of the name, for
        // the 「－」 of the collections before or after.
        const QString move = moveText(pupil);
        double nameEnd = nameRight - cellInset;
        if (!move.isEmpty()) {
            m_surface.setFontSize(movePoints);
            m_surface.setColor(grey);
            const double moveLeft = nameRight - cellInset - m_surface.textWidth(move);
            m_surface.printAt(moveLeft, textTop(top, m_rowHeight), move);
            m_surface.setColor(black);
            m_surface.setFontSize(tablePoints);
            nameEnd = moveLeft - cellInset;
        }
        if (!pupil.name.trimmed().isEmpty())
            printFitted(m_surface, numberRight + cellInset, y, nameEnd, pupil.name.trimmed());

        for (int column = from; column < to; ++column) {
            const double left = columnLeft(column, from);
            if (!m_roll.counts(column, number)) {
                m_surface.setColor(grey);
                printInCell(m_surface, left, left + collectionWidth, y, QStringLiteral("－"));
                m_surface.setColor(black);
            } else if (m_roll.paid(column, number)) {
                printInCell(m_surface, left, left + collectionWidth, y, QStringLiteral("済"));
            }
        }
        if (owedLeft >= 0 && !m_owed[std::size_t(number - 1)].isEmpty())
            printFlushRight(m_surface, owedLeft + owedWidth - cellInset, y,
                            m_owed[std::size_t(number - 1)]);
    }

    // The collections a pupil owes, as lines that fit the list's column:
    // whole names where they can, a name too long for a line broken.
    QStringList owedLines(int number) const {
        QStringList lines;
        QString line;
        const double room = listOwedRight - listOwedLeft;
        for (int column = 0; column < m_roll.columnCount(); ++column) {
            if (!m_roll.counts(column, number) || m_roll.paid(column, number))
                continue;
            const QString name = collectionName(m_roll.column(column).id);
            const QString joined = line.isEmpty() ? name : line + QStringLiteral("、") + name;
            if (m_surface.textWidth(joined) <= room) {
                line = joined;
                continue;
            }
            if (!line.isEmpty())
                lines << line + QStringLiteral("、");
            const QStringList parts = wrapText(m_surface, name, room);
            lines << parts.mid(0, parts.size() - 1);
            line = parts.last();
        }
        if (!line.isEmpty())
            lines << line;
        return lines;
    }

    void listHeadings(bool continued) {
        sheetTitle();
        m_surface.setFontSize(12);
        m_surface.printAt(rollLeft, listHeadingTop,
                          continued ? QStringLiteral("未納一覧（続き）")
                                    : QStringLiteral("未納一覧"));
        m_surface.setFontSize(listPoints);
        m_surface.setLineWidth(thickLine);
        m_surface.line(rollLeft, listTableTop, rollRight, listTableTop);
        const double y = textTop(listTableTop, listRowHeight);
        printFlushRight(m_surface, numberRight - cellInset, y, QStringLiteral("番号"));
        m_surface.printAt(listNameLeft, y, QStringLiteral("名前"));
        m_surface.printAt(listOwedLeft, y, QStringLiteral("未納の集金"));
        printFlushRight(m_surface, listSumRight, y, QStringLiteral("未納額"));
        m_listY = listTableTop + listRowHeight;
        m_surface.line(rollLeft, m_listY, rollRight, m_listY);
    }

    void owingList() {
        listHeadings(false);
        if (m_owing == 0) {
            m_surface.printAt(listNameLeft, textTop(m_listY, listRowHeight),
                              QStringLiteral("未納はありません。"));
            m_surface.setLineWidth(thickLine);
            m_surface.line(rollLeft, m_listY + listRowHeight, rollRight, m_listY + listRowHeight);
            return;
        }
        for (int number = 1; number <= m_roster.size(); ++number) {
            if (m_owed[std::size_t(number - 1)].isEmpty())
                continue;
            const QStringList lines = owedLines(number);
            const double height = listRowHeight * std::max<qsizetype>(1, lines.size());
            // The total's row goes under the last pupil, on the same sheet.
            const double below = number == lastOwing() ? listRowHeight : 0.0;
            if (m_listY > listTableTop + listRowHeight &&
                m_listY + height + below > m_surface.pageHeight()) {
                listRules();
                m_surface.endPage();
                listHeadings(true);
            }
            const Pupil& pupil = m_roster.pupil(number);
            const double y = textTop(m_listY, listRowHeight);
            printFlushRight(m_surface, numberRight - cellInset, y, QString::number(number));
            printFitted(m_surface, listNameLeft, y, listNameRight - cellInset,
                        pupil.name.trimmed());
            for (qsizetype k = 0; k < lines.size(); ++k)
                m_surface.printAt(listOwedLeft, y + listRowHeight * double(k), lines[k]);
            printFlushRight(m_surface, listSumRight, y, m_owed[std::size_t(number - 1)]);
            m_listY += height;
            m_surface.setLineWidth(thinLine);
            m_surface.line(rollLeft, m_listY, rollRight, m_listY);
        }
        m_surface.setLineWidth(thickLine);
        m_surface.line(rollLeft, m_listY, rollRight, m_listY);
        const double y = textTop(m_listY, listRowHeight);
        m_surface.printAt(listNameLeft, y, QStringLiteral("合計 %1人").arg(m_owing));
        printFlushRight(m_surface, listSumRight, y, m_owedTotal);
        m_listY += listRowHeight;
        m_surface.line(rollLeft, m_listY, rollRight, m_listY);
        listRules();
    }

    // The list's columns ruled down to its last row on the sheet.
    void listRules() {
        m_surface.setLineWidth(thickLine);
        m_surface.line(rollLeft, listTableTop, rollLeft, m_listY);
        m_surface.line(rollRight, listTableTop, rollRight, m_listY);
        m_surface.setLineWidth(thinLine);
        for (double x : {numberRight, listNameRight, listSumLeft})
            m_surface.line(x, listTableTop, x, m_listY);
    }

    int lastOwing() const {
        for (int number = m_roster.size(); number >= 1; --number) {
            if (!m_owed[std::size_t(number - 1)].isEmpty())
                return number;
        }
        return 0;
    }

    PrintSurface& m_surface;
    const CollectionRoll& m_roll;
    const Roster& m_roster;
    const PrintTitles& m_titles;

    std::vector<QString> m_owed; // by 出席番号 - 1, empty for nothing owed
    std::vector<FootTexts> m_feet;
    QString m_owedTotal;
    int m_owing = 0;
    double m_listY = 0.0;
    double m_rowHeight = rollRowHeight;
};

} // namespace

void printRoll(PrintSurface& surface, const CollectionRoll& roll, const PrintTitles& titles) {
    RollPrinter(surface, roll, titles).print();
}

PrintResult printRollDocument(PrintSurface& surface, const CollectionRoll& roll,
                              const PrintTitles& titles) {
    return printDocument(surface, [&] {
        printNumbered(
            surface, [&](PrintSurface& sheets) { printRoll(sheets, roll, titles); },
            rollPageWidth / 2);
    });
}

} // namespace sorobe
