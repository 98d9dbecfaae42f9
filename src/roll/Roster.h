#pragma once

// The pupils of the class by 出席番号 1…N, each with an optional name. Pupils
// who move in (転入) or out (転出) during the year count only for the
// collections of their time in the class.

#include <QDate>
#include <QString>
#include <vector>

namespace sorobe {

struct Pupil {
    // 出席番号, 1…N.
    int number = 0;
    // May be empty: the roll then shows the number alone.
    QString name;
    // 転入: counts for collections dated on or after this day; null when the
    // pupil was in the class from the start.
    QDate movedIn;
    // 転出: counts for collections dated before this day; null when the
    // pupil stays.
    QDate movedOut;

    // Whether the pupil is in the class on `day`, and so owes a collection of that day.
    bool countsOn(QDate day) const;
    bool operator==(const Pupil&) const = default;
};

class Roster {
public:
    // The most pupils a roll holds: far above any class.
    static constexpr int maximumSize = 200;

    int size() const { return int(m_pupils.size()); }
    // By 出席番号, 1…size().
    const Pupil& pupil(int number) const;
    const std::vector<Pupil>& pupils() const { return m_pupils; }

    // N pupils: new ones get the next numbers with no name and no move, and
    // the last ones go when N is smaller. Clamped to 0…maximumSize.
    void resize(int count);
    void setName(int number, const QString& name);
    void setMovedIn(int number, QDate day);
    void setMovedOut(int number, QDate day);

    bool operator==(const Roster&) const = default;

private:
    std::vector<Pupil> m_pupils;
};

} // namespace sorobe
