#pragma once

// Ledgers for the printout tests, and a look into what a recording surface
// was asked to print.

#include "RecordingPrintSurface.h"
#include "SharedState.h"
#include "SorobeArticle.h"

#include <QDate>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace sorobe::test {

inline ArticlePtr collection(QDate date, const QString& article, const QString& subArticle,
                             std::int32_t perPerson, std::int16_t pupils) {
    ArticlePtr entry = SorobeArticle::create();
    entry->setTaIncome(true);
    entry->setTaDate(DateTime::fromQDate(date));
    entry->setTaArticle(article);
    entry->setTaSubArticle(subArticle);
    entry->setTaPerPerson(perPerson);
    entry->setTaStudentsNumber(pupils);
    entry->setTaAmount(perPerson * pupils);
    return entry;
}

inline ArticlePtr income(QDate date, const QString& article, std::int32_t amount) {
    ArticlePtr entry = SorobeArticle::create();
    entry->setTaIncome(true);
    entry->setTaDate(DateTime::fromQDate(date));
    entry->setTaArticle(article);
    entry->setTaAmount(amount);
    return entry;
}

inline ArticlePtr expense(QDate date, std::int16_t receipt, const QString& article,
                          std::int32_t amount) {
    ArticlePtr entry = SorobeArticle::create();
    entry->setTaIncome(false);
    entry->setTaDate(DateTime::fromQDate(date));
    entry->setTaReceipt(receipt);
    entry->setTaArticle(article);
    entry->setTaAmount(amount);
    return entry;
}

// The period lists and carried totals as the term tabulation leaves them
// before a printout, built here from the model alone.
inline void tabulateForPrint(SharedState& state) {
    TermLists& lists = state.termLists;
    const ArticlePtr first = state.ledger->nextArticle();
    auto carry = [&](const QString& article, QDate date, Period from) {
        ArticlePtr entry = SorobeArticle::create();
        entry->setTaIncome(true);
        entry->setTaArticle(article);
        entry->setTaDate(DateTime::fromQDate(date));
        entry->setTaStudentsNumber(state.studentCount);
        entry->setTaAmount(state.periodIncomeSum[from] + state.periodSupplySum[from]);
        return entry;
    };
    lists.springIncome->collectMonthlyArticle(true, 4, 7, first);
    lists.springSupply->collectMonthlyArticle(false, 4, 7, first);
    state.periodIncomeSum[Spring] = lists.springIncome->sumArticle();
    state.periodSupplySum[Spring] = lists.springSupply->sumArticle();
    lists.autumnIncome->collectMonthlyArticle(true, 8, 12, first);
    lists.autumnIncome->addArticle(carry("１学期の繰越金", QDate(1900, 9, 1), Spring));
    lists.autumnSupply->collectMonthlyArticle(false, 8, 12, first);
    state.periodIncomeSum[Autumn] = lists.autumnIncome->sumArticle();
    state.periodSupplySum[Autumn] = lists.autumnSupply->sumArticle();
    lists.winterIncome->collectMonthlyArticle(true, 1, 3, first);
    lists.winterIncome->addArticle(carry("２学期の繰越金", QDate(1900, 1, 1), Autumn));
    lists.winterSupply->collectMonthlyArticle(false, 1, 3, first);
    lists.beforeIncome->collectMonthlyArticle(true, 4, 9, first);
    lists.beforeSupply->collectMonthlyArticle(false, 4, 9, first);
    state.periodIncomeSum[Before] = lists.beforeIncome->sumArticle();
    state.periodSupplySum[Before] = lists.beforeSupply->sumArticle();
    lists.laterIncome->collectMonthlyArticle(true, 10, 15, first);
    lists.laterIncome->addArticle(carry("前期の繰越金", QDate(1900, 10, 1), Before));
    lists.laterSupply->collectMonthlyArticle(false, 10, 15, first);
    lists.yearIncome->collectArticle(true, first);
    lists.yearSupply->collectArticle(false, first);
}

inline void fillLedger(SharedState& state, const std::vector<ArticlePtr>& entries) {
    for (const ArticlePtr& entry : entries)
        state.ledger->addArticle(entry);
    tabulateForPrint(state);
}

// A class of 35 through the school year 2025: 学級費 collected every month,
// the excursion and the teaching materials, and what was paid from them.
inline std::vector<ArticlePtr> schoolYear() {
    std::vector<ArticlePtr> entries;
    const int months[] = {4, 5, 6, 7, 9, 10, 11, 12, 1, 2, 3};
    std::int16_t receipt = 0;
    for (int month : months) {
        const int year = month <= 3 ? 2026 : 2025;
        entries.push_back(
            collection(QDate(year, month, 8), "学級費", QString::number(month) + "月分", 1000, 35));
        entries.push_back(
            expense(QDate(year, month, 20), ++receipt, "学級文庫の本", 2400 + 100 * month));
    }
    entries.push_back(collection(QDate(2025, 5, 12), "遠足代", "", 1500, 35));
    entries.push_back(
        expense(QDate(2025, 5, 23), ++receipt, "遠足バス代（貸切、運転手の心付けを含む）", 42000));
    entries.push_back(
        collection(QDate(2025, 4, 15), "教材費", "ドリル・ワークブック・実験用具一式", 800, 35));
    entries.push_back(expense(QDate(2025, 4, 25), ++receipt, "漢字ドリル", 17500));
    entries.push_back(expense(QDate(2025, 4, 25), ++receipt, "計算ワークブック", 9800));
    entries.push_back(collection(QDate(2025, 10, 6), "社会科見学代", "", 700, 35));
    entries.push_back(expense(QDate(2025, 10, 20), ++receipt, "見学施設入場料", 21000));
    entries.push_back(expense(QDate(2025, 7, 18), ++receipt, "夏休み課題用画用紙", 3150));
    entries.push_back(expense(QDate(2025, 12, 19), ++receipt, "お楽しみ会 景品", 5600));
    entries.push_back(collection(QDate(2026, 1, 14), "教材費", "書き初め用紙", 200, 35));
    entries.push_back(expense(QDate(2026, 1, 16), ++receipt, "書き初め用紙", 7000));
    entries.push_back(expense(QDate(2026, 3, 17), ++receipt, "卒業生への記念品", 8750));
    entries.push_back(income(QDate(2026, 3, 18), "ＰＴＡ補助金", 5000));
    return entries;
}

inline std::vector<PrintOperation> textsOnPage(const RecordingPrintSurface& surface, int page) {
    std::vector<PrintOperation> result;
    for (const PrintOperation& operation : surface.texts()) {
        if (operation.page == page)
            result.push_back(operation);
    }
    return result;
}

// Every printing of the text, in order.
inline std::vector<PrintOperation> textsNamed(const RecordingPrintSurface& surface,
                                              const QString& text) {
    std::vector<PrintOperation> result;
    for (const PrintOperation& operation : surface.texts()) {
        if (operation.text == text)
            result.push_back(operation);
    }
    return result;
}

// The texts printed on a page in one band of y, left to right.
inline QStringList textsAt(const RecordingPrintSurface& surface, int page, double y) {
    std::vector<PrintOperation> found;
    for (const PrintOperation& operation : surface.texts()) {
        if (operation.page == page && qAbs(operation.y - y) < 0.5)
            found.push_back(operation);
    }
    std::sort(found.begin(), found.end(),
              [](const PrintOperation& a, const PrintOperation& b) { return a.x < b.x; });
    QStringList result;
    for (const PrintOperation& operation : found)
        result.append(operation.text);
    return result;
}

inline bool hasLine(const RecordingPrintSurface& surface, int page, double x1, double y1, double x2,
                    double y2, int width, const QColor& color = Qt::black) {
    for (const PrintOperation& operation : surface.lines()) {
        if (operation.page == page && operation.lineWidth == width && operation.color == color &&
            qAbs(operation.x - x1) < 0.5 && qAbs(operation.y - y1) < 0.5 &&
            qAbs(operation.x2 - x2) < 0.5 && qAbs(operation.y2 - y2) < 0.5)
            return true;
    }
    return false;
}

// The one printing of the text on the page in a band of y; a default
// operation (empty text) when there is none.
inline PrintOperation textAt(const RecordingPrintSurface& surface, int page, double y,
                             const QString& text) {
    for (const PrintOperation& operation : surface.texts()) {
        if (operation.page == page && qAbs(operation.y - y) < 0.5 && operation.text == text)
            return operation;
    }
    return PrintOperation{};
}

// The right end of a printed text.
inline double rightEnd(const PrintOperation& operation) {
    return operation.x + operation.width;
}

} // namespace sorobe::test
