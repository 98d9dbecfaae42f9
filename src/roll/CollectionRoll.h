#pragma once

// The collection roll (集金表): for each collection of the ledger (an income
// entry with an amount per pupil, 「4月分 学級費 ＠500」), which pupils have
// paid. The columns follow the ledger: a recorded collection becomes a
// column with nobody paid, a changed one keeps its ticks, a deleted one's
// column goes and comes back with its ticks when the entry comes back (undo).

#include "Roster.h"
#include "SorobeArticle.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace sorobe {

// Whether the ledger entry is a collection: an income with an amount per pupil.
bool isCollection(const SorobeArticle& entry);

// What identifies a collection in the ledger file, which holds no keys:
// checked against the entry at the same place among the collections.
struct CollectionId {
    QDate date;
    QString article;
    QString subArticle;
    std::int32_t perPerson = 0;

    static CollectionId of(const SorobeArticle& entry);
    bool operator==(const CollectionId&) const = default;
};

struct RollColumn {
    // The ledger entry's key in this run.
    std::int32_t key = 0;
    CollectionId id;
    // 生徒の数 and 金額 of the entry, as the ledger holds them.
    std::int16_t ledgerPupils = 0;
    std::int32_t ledgerAmount = 0;
    // paid[n - 1]: whether 出席番号 n has paid (missing = not paid). Shared
    // with the column kept aside for the same collection (see follow and rekey).
    std::shared_ptr<std::vector<bool>> paid;
};

class CollectionRoll {
public:
    Roster& roster() { return m_roster; }
    const Roster& roster() const { return m_roster; }

    // Makes the columns those of the ledger's collections, in ledger order.
    // A collection whose key has a column (now or kept aside) keeps it; a new
    // one gets a column with nobody paid; a column whose entry left the
    // ledger is kept aside by key. Linear in the ledger.
    void follow(const ArticlePtr& ledger);
    // The collection `oldKey` was changed and recorded as `newKey`: the ticks
    // go with it, and stay the old key's too, for an undo of the change.
    void rekey(std::int32_t oldKey, std::int32_t newKey);
    // Gives the column of the collection with key `key` these ticks
    // (paid[n - 1] for 出席番号 n), as a roll read from its file does.
    void setColumn(std::int32_t key, std::vector<bool> paid);

    int columnCount() const { return int(m_columns.size()); }
    const RollColumn& column(int index) const { return m_columns.at(std::size_t(index)); }

    // Whether the pupil counts for the column's collection (in the class on its date).
    bool counts(int column, int pupil) const;
    bool paid(int column, int pupil) const;
    // Ticks or clears the pupil for the column; a pupil who does not count
    // cannot be ticked. Whether anything changed.
    bool setPaid(int column, int pupil, bool paid);
    bool toggle(int column, int pupil) { return setPaid(column, pupil, !paid(column, pupil)); }

    // The foot of a column: pupils paid and pupils expected (those who
    // count), the money the ticks imply (paid × per pupil), and whether the
    // paid count differs from the entry's 生徒の数 (the ledger and the roll
    // disagree) once the column has a tick at all.
    struct Foot {
        int paid = 0;
        int expected = 0;
        std::int64_t money = 0;
        bool disagrees = false;
    };
    Foot foot(int column) const;
    // What the pupil still owes: the amount per pupil of every collection
    // the pupil counts for and has not paid.
    std::int64_t owed(int pupil) const;

    // Whether the teacher has put anything into the roll: a name, a move, a
    // tick, or a roster size set by hand. An unused roll is never written.
    bool inUse() const;
    void markRosterEdited() { m_rosterEdited = true; }
    // Forgets the ticks of 出席番号 above `pupils`, also in the columns kept
    // aside: pupils taken off the roster leave nothing to come back later.
    void dropTicksBeyond(int pupils);
    bool rosterEdited() const { return m_rosterEdited; }
    // Back to an empty roll of `pupils` pupils, nothing kept aside.
    void reset(int pupils);

private:
    bool validColumn(int column) const { return column >= 0 && column < columnCount(); }

    Roster m_roster;
    std::vector<RollColumn> m_columns;
    std::unordered_map<std::int32_t, RollColumn> m_aside;
    // Where each live column's key stands in m_columns.
    std::unordered_map<std::int32_t, std::size_t> m_columnOfKey;
    bool m_rosterEdited = false;
};

} // namespace sorobe
