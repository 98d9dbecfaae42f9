#pragma once

// Ledgers and rolls written as short text, for the roll's tests.

#include "../model/ArticleBuilders.h"
#include "CollectionRoll.h"

#include <QStringList>
#include <cstdint>
#include <limits>

namespace sorobe::test {

// The amount of an entry of perPerson yen: perPerson × 30 yen. The ledger
// keeps amounts in 32 bits and the income page refuses a product past them,
// so a per-pupil amount that large is recorded as the amount of one pupil.
inline std::int32_t amountOf(std::int32_t perPerson) {
    const std::int64_t forTheClass = std::int64_t(perPerson) * 30;
    return forTheClass < std::numeric_limits<std::int32_t>::min() ||
                   forTheClass > std::numeric_limits<std::int32_t>::max()
               ? perPerson
               : std::int32_t(forTheClass);
}

// One entry of the school year 2026: "kind key MM/dd item sub-item
// perPerson [pupils]", kind c a collection, i another income, e an expense;
// "-" an empty sub-item. 生徒の数 is 30 unless given; the amount is
// amountOf(perPerson).
inline ArticlePtr entryOf(const QString& spec) {
    const QStringList field = spec.trimmed().split(u' ');
    const QStringList day = field[2].split(u'/');
    const std::int32_t perPerson = field[5].toInt();
    ArticlePtr made =
        entry(field[0] != u"e", QDate(2026, day[0].toInt(), day[1].toInt()), 0, field[3],
              field[4] == u"-" ? QString() : field[4], perPerson, amountOf(perPerson));
    made->setTaKey(field[1].toInt());
    made->setTaStudentsNumber(std::int16_t(field.value(6, QStringLiteral("30")).toInt()));
    return made;
}

// A ledger of the entries, separated by commas, in the order given.
inline ArticlePtr ledgerOf(const QString& specs) {
    ArticlePtr head = SorobeArticle::create(), tail = head;
    for (const QString& spec : specs.split(u',', Qt::SkipEmptyParts)) {
        ArticlePtr made = entryOf(spec);
        tail->insertArticle(made);
        tail = made;
    }
    return head;
}

// "key@perPerson:paid pupils" per column, in column order: "3@500:1,4".
inline QString columnsOf(const CollectionRoll& roll) {
    QStringList columns;
    for (int index = 0; index < roll.columnCount(); ++index) {
        QStringList paid;
        for (int pupil = 1; pupil <= roll.roster().size(); ++pupil) {
            if (roll.paid(index, pupil))
                paid << QString::number(pupil);
        }
        columns << QStringLiteral("%1@%2:%3")
                       .arg(roll.column(index).key)
                       .arg(roll.column(index).id.perPerson)
                       .arg(paid.join(u','));
    }
    return columns.join(u' ');
}

} // namespace sorobe::test
