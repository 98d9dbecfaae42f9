#include "SorobeArticle.h"

#include "CheckedArithmetic.h"

#include <QHash>
#include <utility>

namespace sorobe {

SorobeArticle::~SorobeArticle() {
    ArticlePtr next = std::move(m_taLink);
    // Only a node nobody else holds dies here; its successor is taken over
    // before it goes, so each destructor call frees at most one node.
    while (next && next.use_count() == 1) {
        ArticlePtr after = std::move(next->m_taLink);
        next = std::move(after);
    }
}

ArticlePtr SorobeArticle::cloneArticle() const {
    ArticlePtr copy = create();
    copy->m_taDate = m_taDate;
    copy->m_taReceipt = m_taReceipt;
    copy->m_taArticle = m_taArticle;
    copy->m_taSubArticle = m_taSubArticle;
    copy->m_taPerPerson = m_taPerPerson;
    copy->m_taStudentsNumber = m_taStudentsNumber;
    copy->m_taAmount = m_taAmount;
    copy->m_taIncome = m_taIncome;
    copy->m_taKey = m_taKey;
    return copy;
}

template <typename Keep>
void SorobeArticle::collectWithSum(const ArticlePtr& ta_original, Keep keep) {
    // The same lines, order and sums as appendArticleWithSum entry by entry,
    // but each group's line is found through an index instead of a walk
    // over the lines so far: a ledger whose every item differs is summed in
    // time linear in its entries, not quadratic.
    m_taLink.reset();
    SorobeArticle* last = this;
    QHash<std::pair<QString, QString>, SorobeArticle*> lineOfGroup;
    for (const SorobeArticle* entry = ta_original.get(); entry; entry = entry->m_taLink.get()) {
        if (!keep(*entry))
            continue;
        // Every entry kept is of one kind, so item and sub-item make the group.
        const std::pair<QString, QString> group(entry->m_taArticle, entry->m_taSubArticle);
        if (const auto found = lineOfGroup.constFind(group); found != lineOfGroup.cend()) {
            (*found)->m_taAmount = checkedAdd((*found)->m_taAmount, entry->m_taAmount);
            continue;
        }
        last->m_taLink = entry->cloneArticle();
        last = last->m_taLink.get();
        lineOfGroup.insert(group, last);
    }
}

void SorobeArticle::collectArticle(bool ta_inout, ArticlePtr ta_original) {
    collectWithSum(ta_original,
                   [ta_inout](const SorobeArticle& entry) { return entry.m_taIncome == ta_inout; });
}

void SorobeArticle::collectMonthlyArticle(bool ta_inout, std::int16_t ta_first_month,
                                          std::int16_t ta_last_month, ArticlePtr ta_original) {
    const bool schoolYear = ta_last_month > 12;
    collectWithSum(ta_original, [=](const SorobeArticle& entry) {
        int month = entry.m_taDate.month();
        if (schoolYear && month <= 3)
            month += 12;
        return month >= ta_first_month && month <= ta_last_month && entry.m_taIncome == ta_inout;
    });
}

template <typename SameGroup>
void SorobeArticle::mergeWithSum(const ArticlePtr& source, SameGroup sameGroup) {
    SorobeArticle* last = this;
    for (SorobeArticle* line = m_taLink.get(); line; line = line->m_taLink.get()) {
        if (sameGroup(*line, *source)) {
            line->m_taAmount = checkedAdd(line->m_taAmount, source->m_taAmount);
            return;
        }
        last = line;
    }
    last->m_taLink = source;
}

void SorobeArticle::appendArticleWithSum(const ArticlePtr& ta_source) {
    mergeWithSum(ta_source, [](const SorobeArticle& a, const SorobeArticle& b) {
        return a.m_taIncome == b.m_taIncome && a.m_taArticle == b.m_taArticle &&
               a.m_taSubArticle == b.m_taSubArticle;
    });
}

void SorobeArticle::appendSubArticleWithSum(const ArticlePtr& ta_source) {
    mergeWithSum(ta_source, [](const SorobeArticle& a, const SorobeArticle& b) {
        return a.m_taIncome == b.m_taIncome && a.m_taArticle == b.m_taArticle;
    });
}

std::int32_t SorobeArticle::sumArticle() const {
    std::int32_t total = 0;
    for (const SorobeArticle* line = m_taLink.get(); line; line = line->m_taLink.get())
        total = line->m_taIncome ? checkedAdd(total, line->m_taAmount)
                                 : checkedSub(total, line->m_taAmount);
    return total;
}

void SorobeArticle::deleteArticle(const ArticlePtr& ta_target) {
    if (!ta_target)
        return;
    for (SorobeArticle* previous = this; previous->m_taLink; previous = previous->m_taLink.get()) {
        if (previous->m_taLink == ta_target) {
            previous->removeNextArticle();
            return;
        }
    }
}

std::int32_t SorobeArticle::addArticle(const ArticlePtr& ta_newrec) {
    SorobeArticle* previous = this;
    std::int32_t position = 1;
    for (SorobeArticle* current = m_taLink.get(); current; current = current->m_taLink.get()) {
        const bool goesAfter = current->m_taDate < ta_newrec->m_taDate ||
                               (current->m_taDate == ta_newrec->m_taDate &&
                                current->m_taReceipt <= ta_newrec->m_taReceipt);
        if (!goesAfter)
            break;
        if (current->m_taIncome == ta_newrec->m_taIncome)
            ++position;
        previous = current;
    }
    previous->insertArticle(ta_newrec);
    return position;
}

void SorobeArticle::removeNextArticle() {
    if (m_taLink) {
        // The removed entry keeps its own link; whoever still holds it may read on.
        ArticlePtr removed = m_taLink;
        m_taLink = removed->m_taLink;
    }
}

void SorobeArticle::insertArticle(const ArticlePtr& ta_newrec) {
    ta_newrec->m_taLink = std::move(m_taLink);
    m_taLink = ta_newrec;
}

ArticlePtr SorobeArticle::nextSupplyArticle() const {
    for (const ArticlePtr* node = &m_taLink; *node; node = &(*node)->m_taLink) {
        if (!(*node)->m_taIncome)
            return *node;
    }
    return nullptr;
}

ArticlePtr SorobeArticle::nextIncomeArticle() const {
    for (const ArticlePtr* node = &m_taLink; *node; node = &(*node)->m_taLink) {
        if ((*node)->m_taIncome)
            return *node;
    }
    return nullptr;
}

} // namespace sorobe
