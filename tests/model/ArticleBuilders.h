#pragma once

#include "SorobeArticle.h"

#include <QStringList>
#include <vector>

namespace sorobe::test {

inline ArticlePtr income(QDate date, const QString& article, const QString& subArticle,
                         std::int32_t amount, std::int32_t key = 0) {
    ArticlePtr entry = SorobeArticle::create();
    entry->setTaIncome(true);
    entry->setTaDate(DateTime::fromQDate(date));
    entry->setTaArticle(article);
    entry->setTaSubArticle(subArticle);
    entry->setTaAmount(amount);
    entry->setTaKey(key);
    return entry;
}

inline ArticlePtr expense(QDate date, std::int16_t receipt, const QString& article,
                          std::int32_t amount, std::int32_t key = 0) {
    ArticlePtr entry = SorobeArticle::create();
    entry->setTaIncome(false);
    entry->setTaDate(DateTime::fromQDate(date));
    entry->setTaReceipt(receipt);
    entry->setTaArticle(article);
    entry->setTaAmount(amount);
    entry->setTaKey(key);
    return entry;
}

// Any entry, with every field a file can hold: a collection of 30 pupils
// when it has an amount per pupil.
inline ArticlePtr entry(bool income, QDate date, std::int16_t receipt, const QString& article,
                        const QString& subArticle, std::int32_t perPerson, std::int32_t amount) {
    ArticlePtr made = SorobeArticle::create();
    made->setTaIncome(income);
    made->setTaDate(DateTime::fromQDate(date));
    made->setTaReceipt(receipt);
    made->setTaArticle(article);
    made->setTaSubArticle(subArticle);
    made->setTaPerPerson(perPerson);
    made->setTaStudentsNumber(30);
    made->setTaAmount(amount);
    return made;
}

// The nodes of a list, head excluded, in chain order.
inline std::vector<ArticlePtr> nodes(const ArticlePtr& head) {
    std::vector<ArticlePtr> result;
    for (ArticlePtr node = head->nextArticle(); node; node = node->nextArticle())
        result.push_back(node);
    return result;
}

inline QList<std::int32_t> keys(const ArticlePtr& head) {
    QList<std::int32_t> result;
    for (const ArticlePtr& node : nodes(head))
        result.append(node->taKey());
    return result;
}

// "item/sub-item=amount" per line, for comparing whole summaries at once.
inline QStringList lines(const ArticlePtr& head) {
    QStringList result;
    for (const ArticlePtr& node : nodes(head))
        result.append(QStringLiteral("%1%2/%3=%4")
                          .arg(node->taIncome() ? QStringLiteral("+") : QStringLiteral("-"))
                          .arg(node->taArticle(), node->taSubArticle())
                          .arg(node->taAmount()));
    return result;
}

} // namespace sorobe::test
