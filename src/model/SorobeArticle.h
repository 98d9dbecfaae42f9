#pragma once

// One ledger entry, and at the same time the node of a singly linked list.
// Every list of entries (the ledger, the summaries, the term lists) is a head
// node whose own fields mean nothing, followed by a chain of entries.
// Entries are shared: the ledger and the entry pages may hold the same entry,
// which lives as long as anything refers to it.

#include "DateTime.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace sorobe {

class SorobeArticle;
using ArticlePtr = std::shared_ptr<SorobeArticle>;

class SorobeArticle {
public:
    SorobeArticle() = default;
    // Releases the chain behind this node one node at a time, so that dropping
    // a long ledger cannot exhaust the stack.
    ~SorobeArticle();
    SorobeArticle(const SorobeArticle&) = delete;
    SorobeArticle& operator=(const SorobeArticle&) = delete;

    static ArticlePtr create() { return std::make_shared<SorobeArticle>(); }

    // A detached copy of every field but the link.
    ArticlePtr cloneArticle() const;

    // Summaries, called on the head of the list to build. The source is read
    // from ta_original (normally the ledger's first entry) to the end.
    void collectArticle(bool ta_inout, ArticlePtr ta_original);
    // Months 1-3 count as 13-15 when ta_last_month is above 12, so that a
    // school year (April to March) is one range.
    void collectMonthlyArticle(bool ta_inout, std::int16_t ta_first_month,
                               std::int16_t ta_last_month, ArticlePtr ta_original);
    // Merge by item, sub-item and kind; a new group goes to the end.
    void appendArticleWithSum(const ArticlePtr& ta_source);
    // Merge by item and kind only.
    void appendSubArticleWithSum(const ArticlePtr& ta_source);
    // Income added, expenses subtracted; throws OverflowError past 32 bits.
    std::int32_t sumArticle() const;

    // Removes that very entry (not an equal one); nothing if it is not there.
    void deleteArticle(const ArticlePtr& ta_target);
    // Inserts in date order, then receipt order, after entries equal in both.
    // Returns the 1-based place among the entries of the same kind.
    std::int32_t addArticle(const ArticlePtr& ta_newrec);
    void removeNextArticle();
    void insertArticle(const ArticlePtr& ta_newrec);
    ArticlePtr nextSupplyArticle() const;
    ArticlePtr nextIncomeArticle() const;
    ArticlePtr nextArticle() const { return m_taLink; }

    bool taIncome() const { return m_taIncome; }
    void setTaIncome(bool value) { m_taIncome = value; }
    const ArticlePtr& taLink() const { return m_taLink; }
    void setTaLink(ArticlePtr value) { m_taLink = std::move(value); }
    std::int32_t taAmount() const { return m_taAmount; }
    void setTaAmount(std::int32_t value) { m_taAmount = value; }
    std::int16_t taStudentsNumber() const { return m_taStudentsNumber; }
    void setTaStudentsNumber(std::int16_t value) { m_taStudentsNumber = value; }
    std::int16_t taReceipt() const { return m_taReceipt; }
    void setTaReceipt(std::int16_t value) { m_taReceipt = value; }
    std::int32_t taPerPerson() const { return m_taPerPerson; }
    void setTaPerPerson(std::int32_t value) { m_taPerPerson = value; }
    const QString& taArticle() const { return m_taArticle; }
    void setTaArticle(const QString& value) { m_taArticle = value; }
    const QString& taSubArticle() const { return m_taSubArticle; }
    void setTaSubArticle(const QString& value) { m_taSubArticle = value; }
    DateTime taDate() const { return m_taDate; }
    void setTaDate(DateTime value) { m_taDate = value; }
    std::int32_t taKey() const { return m_taKey; }
    void setTaKey(std::int32_t value) { m_taKey = value; }

private:
    template <typename SameGroup> void mergeWithSum(const ArticlePtr& source, SameGroup sameGroup);
    // The summary of the entries `keep` takes, as collectArticle builds it.
    template <typename Keep> void collectWithSum(const ArticlePtr& ta_original, Keep keep);

    DateTime m_taDate;
    std::int16_t m_taReceipt = 0;
    QString m_taArticle;
    QString m_taSubArticle;
    std::int32_t m_taPerPerson = 0;
    std::int16_t m_taStudentsNumber = 0;
    std::int32_t m_taAmount = 0;
    ArticlePtr m_taLink;
    bool m_taIncome = false;
    std::int32_t m_taKey = 0;
};

} // namespace sorobe
