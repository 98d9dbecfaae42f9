#pragma once

// One remembered item name with its use count and the date it was last used;
// the node of the item history lists that fill the item choices of the income
// and expense pages. A list is a head node followed by the records, the most
// used names first.

#include "DateTime.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace sorobe {

class SorobeSelection;
using SelectionPtr = std::shared_ptr<SorobeSelection>;

class SorobeSelection {
public:
    SorobeSelection() = default;
    // Releases the records behind this one iteratively.
    ~SorobeSelection();
    SorobeSelection(const SorobeSelection&) = delete;
    SorobeSelection& operator=(const SorobeSelection&) = delete;

    static SelectionPtr create() { return std::make_shared<SorobeSelection>(); }
    static SelectionPtr create(const QString& article, std::int16_t count, DateTime date);

    // Feeds a name into the history. A name already there is replaced by the
    // new record, counted once more and moved up by its count; a new name goes
    // to the end, and then the first record last used in a calendar year at
    // least three years before today's is dropped (one per call).
    void appendSelectionWithCount(const SelectionPtr& ts_newrec,
                                  QDate today = QDate::currentDate());
    // Feeds the records in, in their order, to the very list that one call of
    // appendSelectionWithCount for each would give: the same records, order
    // and counts. The history file holds tens of thousands of names, and each
    // single call walks the whole list; this takes n log n steps in all.
    void appendSelectionsWithCount(const std::vector<SelectionPtr>& ts_newrecs,
                                   QDate today = QDate::currentDate());
    // Removes that very record; nothing if it is not there.
    void deleteSelection(const SelectionPtr& ts_target);
    // Inserts after every record with a greater count.
    void addSelection(const SelectionPtr& ts_newrec);
    void removeNextSelection();
    void insertSelection(const SelectionPtr& ts_newrec);
    SelectionPtr nextSelection() const { return m_tsLink; }

    std::int16_t tsCount() const { return m_tsCount; }
    void setTsCount(std::int16_t value) { m_tsCount = value; }
    const SelectionPtr& tsLink() const { return m_tsLink; }
    void setTsLink(SelectionPtr value) { m_tsLink = std::move(value); }
    const QString& tsArticle() const { return m_tsArticle; }
    void setTsArticle(const QString& value) { m_tsArticle = value; }
    DateTime tsDate() const { return m_tsDate; }
    void setTsDate(DateTime value) { m_tsDate = value; }

private:
    DateTime m_tsDate;
    QString m_tsArticle;
    SelectionPtr m_tsLink;
    std::int16_t m_tsCount = 0;
};

} // namespace sorobe
