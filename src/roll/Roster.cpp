#include "Roster.h"

#include <algorithm>

namespace sorobe {

bool Pupil::countsOn(QDate day) const {
    // 転入 on the day of a collection: already in the class and owes it.
    // 転出 on that day: gone, and owes it no more.
    return (movedIn.isNull() || day >= movedIn) && (movedOut.isNull() || day < movedOut);
}

const Pupil& Roster::pupil(int number) const {
    return m_pupils.at(std::size_t(number - 1));
}

void Roster::resize(int count) {
    const int wanted = std::clamp(count, 0, maximumSize);
    if (wanted < size()) {
        m_pupils.resize(std::size_t(wanted));
        return;
    }
    m_pupils.reserve(std::size_t(wanted));
    while (size() < wanted) {
        Pupil added;
        added.number = size() + 1;
        m_pupils.push_back(std::move(added));
    }
}

// A number outside the roster changes nothing: the roll's grid offers only
// the pupils there are.
void Roster::setName(int number, const QString& name) {
    if (number >= 1 && number <= size())
        m_pupils[std::size_t(number - 1)].name = name;
}

void Roster::setMovedIn(int number, QDate day) {
    if (number >= 1 && number <= size())
        m_pupils[std::size_t(number - 1)].movedIn = day;
}

void Roster::setMovedOut(int number, QDate day) {
    if (number >= 1 && number <= size())
        m_pupils[std::size_t(number - 1)].movedOut = day;
}

} // namespace sorobe
