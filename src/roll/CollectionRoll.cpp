#include "CollectionRoll.h"

#include <algorithm>

namespace sorobe {

bool isCollection(const SorobeArticle& entry) {
    return entry.taIncome() && entry.taPerPerson() != 0;
}

CollectionId CollectionId::of(const SorobeArticle& entry) {
    return CollectionId{entry.taDate().toQDate(), entry.taArticle(), entry.taSubArticle(),
                        entry.taPerPerson()};
}

void CollectionRoll::follow(const ArticlePtr& ledger) {
    std::unordered_map<std::int32_t, std::size_t> live;
    live.reserve(m_columns.size());
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        live.emplace(m_columns[i].key, i);
    std::vector<bool> kept(m_columns.size(), false);

    std::vector<RollColumn> next;
    for (const SorobeArticle* entry = ledger ? ledger->nextArticle().get() : nullptr; entry;
         entry = entry->nextArticle().get()) {
        if (!isCollection(*entry))
            continue;
        const std::int32_t key = entry->taKey();
        RollColumn column;
        if (const auto found = live.find(key); found != live.end() && !kept[found->second]) {
            column = std::move(m_columns[found->second]);
            kept[found->second] = true;
        } else if (const auto aside = m_aside.find(key); aside != m_aside.end()) {
            // The entry is back (an undo): so are its ticks.
            column = std::move(aside->second);
            m_aside.erase(aside);
        } else {
            column.paid = std::make_shared<std::vector<bool>>();
        }
        column.key = key;
        column.id = CollectionId::of(*entry);
        column.ledgerPupils = entry->taStudentsNumber();
        column.ledgerAmount = entry->taAmount();
        next.push_back(std::move(column));
    }

    // Entries that left the ledger may come back by undo, with their ticks.
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (!kept[i])
            m_aside.insert_or_assign(m_columns[i].key, std::move(m_columns[i]));
    }
    m_columns = std::move(next);
    m_columnOfKey.clear();
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        m_columnOfKey.emplace(m_columns[i].key, i);
}

void CollectionRoll::rekey(std::int32_t oldKey, std::int32_t newKey) {
    if (oldKey == newKey)
        return;
    const RollColumn* old = nullptr;
    RollColumn* changed = nullptr;
    for (RollColumn& column : m_columns) {
        if (column.key == oldKey)
            old = &column;
        else if (column.key == newKey)
            changed = &column;
    }
    if (!old) {
        const auto aside = m_aside.find(oldKey);
        if (aside == m_aside.end())
            return;
        old = &aside->second;
    }
    // Called after follow has already given the changed entry a column of
    // its own: that column takes the ticks instead.
    if (changed) {
        changed->paid = old->paid;
        return;
    }
    RollColumn moved = *old;
    moved.key = newKey;
    m_aside.insert_or_assign(newKey, std::move(moved));
}

void CollectionRoll::setColumn(std::int32_t key, std::vector<bool> paid) {
    // By the index of keys: a roll read from its file sets every column.
    if (const auto live = m_columnOfKey.find(key); live != m_columnOfKey.end()) {
        *m_columns[live->second].paid = std::move(paid);
        return;
    }
    if (const auto aside = m_aside.find(key); aside != m_aside.end())
        *aside->second.paid = std::move(paid);
}

bool CollectionRoll::counts(int column, int pupil) const {
    return validColumn(column) && pupil >= 1 && pupil <= m_roster.size() &&
           m_roster.pupil(pupil).countsOn(m_columns[std::size_t(column)].id.date);
}

// A tick of a pupil who does not count (a 転出 set after the tick, a roster
// made smaller) is kept but not shown: it is back when the move is undone.
bool CollectionRoll::paid(int column, int pupil) const {
    if (!counts(column, pupil))
        return false;
    const std::vector<bool>& ticks = *m_columns[std::size_t(column)].paid;
    return std::size_t(pupil) <= ticks.size() && ticks[std::size_t(pupil - 1)];
}

bool CollectionRoll::setPaid(int column, int pupil, bool paid) {
    if (!counts(column, pupil) || this->paid(column, pupil) == paid)
        return false;
    std::vector<bool>& ticks = *m_columns[std::size_t(column)].paid;
    if (ticks.size() < std::size_t(pupil))
        ticks.resize(std::size_t(pupil), false);
    ticks[std::size_t(pupil - 1)] = paid;
    return true;
}

CollectionRoll::Foot CollectionRoll::foot(int column) const {
    Foot result;
    if (!validColumn(column))
        return result;
    for (int pupil = 1; pupil <= m_roster.size(); ++pupil) {
        if (!counts(column, pupil))
            continue;
        ++result.expected;
        if (paid(column, pupil))
            ++result.paid;
    }
    const RollColumn& shown = m_columns[std::size_t(column)];
    result.money = std::int64_t(result.paid) * shown.id.perPerson;
    // A column nobody has ticked yet is one the teacher has not started:
    // marking every such column would drown the ones that really disagree.
    result.disagrees = result.paid > 0 && result.paid != shown.ledgerPupils;
    return result;
}

std::int64_t CollectionRoll::owed(int pupil) const {
    std::int64_t total = 0;
    for (int column = 0; column < columnCount(); ++column) {
        if (counts(column, pupil) && !paid(column, pupil))
            total += m_columns[std::size_t(column)].id.perPerson;
    }
    return total;
}

bool CollectionRoll::inUse() const {
    if (m_rosterEdited)
        return true;
    for (const Pupil& pupil : m_roster.pupils()) {
        if (!pupil.name.isEmpty() || pupil.movedIn.isValid() || pupil.movedOut.isValid())
            return true;
    }
    // Only the ticks the file would hold: one hidden by a move is not shown.
    for (int column = 0; column < columnCount(); ++column) {
        for (int pupil = 1; pupil <= m_roster.size(); ++pupil) {
            if (paid(column, pupil))
                return true;
        }
    }
    return false;
}

void CollectionRoll::dropTicksBeyond(int pupils) {
    const auto trim = [pupils](RollColumn& column) {
        if (column.paid && column.paid->size() > std::size_t(std::max(pupils, 0)))
            column.paid->resize(std::size_t(std::max(pupils, 0)));
    };
    for (RollColumn& column : m_columns)
        trim(column);
    for (auto& [key, column] : m_aside)
        trim(column);
}

void CollectionRoll::reset(int pupils) {
    m_roster = Roster();
    m_roster.resize(pupils);
    m_columns.clear();
    m_columnOfKey.clear();
    m_aside.clear();
    m_rosterEdited = false;
}

} // namespace sorobe
