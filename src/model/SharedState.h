#pragma once

// What the whole window shares for the run: the open document's ledger, the
// item histories, the term lists and totals, the counters and flags of the
// entry pages. One object, owned by start-up; the window and the term
// tabulation work on it.

#include "SorobeArticle.h"
#include "SorobeSelection.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace sorobe {

// Periods of the school year: 1学期, 2学期, 3学期, 前期, 後期 and 年間.
enum Period : int { Year = 0, Spring = 1, Autumn = 2, Winter = 3, Before = 4, Later = 5 };
constexpr int periodCount = 6;

// The name of print kind 1..12 ("一学期元帳" … "年間会計報告"); empty for any other number.
QString printKindName(int kind);

struct TermLists {
    ArticlePtr springIncome = SorobeArticle::create();
    ArticlePtr springSupply = SorobeArticle::create();
    ArticlePtr autumnIncome = SorobeArticle::create();
    ArticlePtr autumnSupply = SorobeArticle::create();
    ArticlePtr winterIncome = SorobeArticle::create();
    ArticlePtr winterSupply = SorobeArticle::create();
    ArticlePtr beforeIncome = SorobeArticle::create();
    ArticlePtr beforeSupply = SorobeArticle::create();
    ArticlePtr laterIncome = SorobeArticle::create();
    ArticlePtr laterSupply = SorobeArticle::create();
    ArticlePtr yearIncome = SorobeArticle::create();
    ArticlePtr yearSupply = SorobeArticle::create();
};

struct SharedState {
    ArticlePtr ledger = SorobeArticle::create();
    SelectionPtr incomeHistory = SorobeSelection::create();
    SelectionPtr supplyHistory = SorobeSelection::create();
    TermLists termLists;
    // Carried totals of 1学期, 2学期 and 前期, indexed by Period.
    std::array<std::int32_t, periodCount> periodIncomeSum{};
    std::array<std::int32_t, periodCount> periodSupplySum{};

    // Keys tell the lists' rows apart, so they must never repeat within a run:
    // 32 bits, where a 16-bit counter would run out after 32,767 recordings.
    std::int32_t keyCounter = 0;
    std::int16_t incomeCount = 0;
    std::int16_t supplyCount = 0;
    std::int16_t studentCount = 30;
    bool modified = false;
    bool termsStale = false;
    QString fileName;
    std::int16_t printKind = 0;
    // Index 1..12 is print kind 1..12; index 0 stays empty.
    QStringList printKindNames;

    ArticlePtr incomeEditEntry;
    ArticlePtr supplyEditEntry;
    ArticlePtr incomeSelectedEntry;
    ArticlePtr supplySelectedEntry;
    std::int16_t incomeHighlightRow = 0;
    std::int16_t supplyHighlightRow = 0;

    int incomeGridRows = 0;
    int supplyGridRows = 0;
    // Rows each term grid has been given, indexed by Period.
    std::array<int, periodCount> sheetRowCount{};
    std::int32_t gridRowHeight = 0;

    // The names of the twelve print kinds, in kind order.
    void fillPrintKindNames();
    // Back to an empty document, as the close command needs it. Touches no control.
    void resetDocument();
};

} // namespace sorobe
