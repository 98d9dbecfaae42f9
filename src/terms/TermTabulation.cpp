#include "TermTabulation.h"

#include "CheckedArithmetic.h"
#include "TermCalendar.h"

#include <QHash>
#include <utility>

namespace sorobe {

namespace {

// The lines of one period list, built apart from the list itself.
struct PeriodLines {
    ArticlePtr head = SorobeArticle::create();
    SorobeArticle* last = head.get();
    // A total of this list left 32 bits: the list is not taken.
    bool overflowed = false;
};

// Income lines at 0, expense lines at 1, for each period in the order of
// termPeriods.
using AllPeriodLines = std::array<std::array<PeriodLines, 2>, periodCount>;

// Where an item and sub-item has its line in each period's list, by the
// period's place in termPeriods.
struct GroupLines {
    std::array<SorobeArticle*, periodCount> line{};
};

// An item and sub-item, read in place from an entry of the ledger, which
// outlives the reading. The hash goes with it: the hash table compares the
// keys it passes on its way to a key's place, and items that differ only
// at their end would each be compared to the end.
struct Group {
    const QString* item;
    const QString* subItem;
    size_t hash;

    Group(const QString& item, const QString& subItem)
        : item(&item)
        , subItem(&subItem)
        , hash(qHashMulti(0, item, subItem)) {}
    friend bool operator==(const Group& a, const Group& b) {
        return a.hash == b.hash && *a.item == *b.item && *a.subItem == *b.subItem;
    }
};

size_t qHash(const Group& group, size_t seed) {
    return group.hash ^ seed;
}

// Every period's lists in one reading of the ledger: the same lines, order
// and sums as collectArticle and collectMonthlyArticle give period by period
// (each group's line is a copy of its first entry in the period, the groups in
// the order they first appear there), but an entry is looked up once for the
// three periods that hold it instead of the ledger being read twelve times.
AllPeriodLines collectAllPeriods(const ArticlePtr& ledger) {
    AllPeriodLines lists;
    std::array<QHash<Group, GroupLines>, 2> groups;
    for (const SorobeArticle* entry = ledger->nextArticle().get(); entry;
         entry = entry->taLink().get()) {
        const std::size_t kind = entry->taIncome() ? 0 : 1;
        const int month = entry->taDate().month();
        GroupLines* group = nullptr;
        for (std::size_t place = 0; place < termPeriods.size(); ++place) {
            PeriodLines& lines = lists[place][kind];
            if (lines.overflowed || !periodHoldsMonth(termPeriods[place].period, month))
                continue;
            // Every entry of one kind: item and sub-item make the group.
            if (!group)
                group = &groups[kind][Group(entry->taArticle(), entry->taSubArticle())];
            SorobeArticle*& line = group->line[place];
            if (line) {
                try {
                    line->setTaAmount(checkedAdd(line->taAmount(), entry->taAmount()));
                } catch (const OverflowError&) {
                    lines.overflowed = true;
                }
                continue;
            }
            ArticlePtr copy = entry->cloneArticle();
            line = copy.get();
            lines.last->setTaLink(std::move(copy));
            lines.last = line;
        }
    }
    return lists;
}

// Moves the lines built into the list head once the step has succeeded: a
// total that overflowed leaves the list as the last tabulation built it,
// never half summed. The head itself stays the same object.
void installList(const ArticlePtr& head, PeriodLines& lines, const ArticlePtr& carryForward) {
    if (lines.overflowed)
        throw OverflowError();
    if (carryForward)
        lines.head->addArticle(carryForward);
    head->setTaLink(lines.head->nextArticle());
    lines.head->setTaLink(nullptr);
}

} // namespace

void tabulateTerms(SharedState& state, const FillTermSheet& fillTermSheet) {
    TermLists& lists = state.termLists;
    AllPeriodLines collected = collectAllPeriods(state.ledger);
    for (std::size_t place = 0; place < termPeriods.size(); ++place) {
        const PeriodInfo& info = termPeriods[place];
        ArticlePtr carryForward;
        if (info.openingCarryKind != 0)
            carryForward =
                makeCarryForward(info.openingCarryKind, carriedBalance(state, info.carriedFrom),
                                 carryForwardYear, state.studentCount);
        installList(incomeList(lists, info.period), collected[place][0], carryForward);
        installList(supplyList(lists, info.period), collected[place][1], nullptr);

        if (fillTermSheet)
            fillTermSheet(info.period);

        if (carriesBalanceForward(info.period)) {
            // Both totals are taken before either is stored, so an overflow
            // leaves the pair as it was.
            const std::int32_t incomeSum = incomeList(lists, info.period)->sumArticle();
            const std::int32_t supplySum = supplyList(lists, info.period)->sumArticle();
            const auto index = static_cast<std::size_t>(info.period);
            state.periodIncomeSum[index] = incomeSum;
            state.periodSupplySum[index] = supplySum;
        }
    }
    state.termsStale = false;
}

} // namespace sorobe
