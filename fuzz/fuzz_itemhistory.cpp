// The item history reader on any bytes: never a crash, and what it keeps are
// records with a name the history could save.

#include "FuzzCheck.h"
#include "ItemHistoryFile.h"

#include <cstddef>
#include <cstdint>

using namespace sorobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const SelectionPtr income = SorobeSelection::create();
    const SelectionPtr supply = SorobeSelection::create();
    parseItemHistory(income, supply, bytes, QDate(2026, 4, 1));
    for (const SelectionPtr& head : {income, supply})
        for (SelectionPtr record = head->nextSelection(); record; record = record->nextSelection())
            fuzz::check(!record->tsArticle().contains(u'\r') &&
                            !record->tsArticle().contains(u'\n'),
                        "no kept name holds a line break");
    return 0;
}
