#include "SorobeSelection.h"

#include <limits>

namespace sorobe {

SorobeSelection::~SorobeSelection() {
    SelectionPtr next = std::move(m_tsLink);
    while (next && next.use_count() == 1) {
        SelectionPtr after = std::move(next->m_tsLink);
        next = std::move(after);
    }
}

SelectionPtr SorobeSelection::create(const QString& article, std::int16_t count, DateTime date) {
    SelectionPtr record = create();
    record->m_tsArticle = article;
    record->m_tsCount = count;
    record->m_tsDate = date;
    return record;
}

void SorobeSelection::appendSelectionWithCount(const SelectionPtr& ts_newrec, QDate today) {
    SorobeSelection* last = this;
    for (SorobeSelection* record = m_tsLink.get(); record; record = record->m_tsLink.get()) {
        if (record->m_tsArticle == ts_newrec->m_tsArticle) {
            // The new record's own count goes up by one; the old record's count
            // is not carried over. A count already at the top of its range
            // (only a hand-edited history file holds one) stays there.
            if (ts_newrec->m_tsCount < std::numeric_limits<std::int16_t>::max())
                ++ts_newrec->m_tsCount;
            SelectionPtr found = last->m_tsLink;
            deleteSelection(found);
            addSelection(ts_newrec);
            return;
        }
        last = record;
    }

    last->m_tsLink = ts_newrec;

    const int thisYear = today.year();
    for (SelectionPtr record = m_tsLink; record; record = record->m_tsLink) {
        if (record->m_tsDate.year() + 2 < thisYear) {
            deleteSelection(record);
            return;
        }
    }
}

void SorobeSelection::deleteSelection(const SelectionPtr& ts_target) {
    if (!ts_target)
        return;
    for (SorobeSelection* previous = this; previous->m_tsLink;
         previous = previous->m_tsLink.get()) {
        if (previous->m_tsLink == ts_target) {
            previous->removeNextSelection();
            return;
        }
    }
}

void SorobeSelection::addSelection(const SelectionPtr& ts_newrec) {
    SorobeSelection* previous = this;
    for (SorobeSelection* current = m_tsLink.get();
         current && current->m_tsCount > ts_newrec->m_tsCount; current = current->m_tsLink.get())
        previous = current;
    previous->insertSelection(ts_newrec);
}

void SorobeSelection::removeNextSelection() {
    if (m_tsLink) {
        SelectionPtr removed = m_tsLink;
        m_tsLink = removed->m_tsLink;
    }
}

void SorobeSelection::insertSelection(const SelectionPtr& ts_newrec) {
    ts_newrec->m_tsLink = std::move(m_tsLink);
    m_tsLink = ts_newrec;
}

} // namespace sorobe
