// The ledger reader on any bytes: never a crash, and a file it accepts is one
// the program can save again and read back with the same entries.

#include "FuzzCheck.h"
#include "LedgerFile.h"

#include <cstddef>
#include <cstdint>

using namespace sorobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const LedgerReadResult read = parseLedger(bytes, QStringLiteral("fuzz.txt"));
    fuzz::check(read.ok() == (read.fault == LedgerReadFault::None), "ok agrees with the fault");
    fuzz::check(read.ok() == read.message.isEmpty(), "a message exactly on failure");
    if (!read.ok())
        return 0;

    const LedgerContents& contents = *read.contents;
    fuzz::check(contents.nextKey == 1 + contents.incomeCount + contents.supplyCount,
                "the next key follows the entries read");

    // What was read is what a save writes: its values fit the code page and
    // hold no line break, so it is written and reads back alike.
    LedgerTitles titles;
    contents.titles.applyTo(titles);
    const LedgerEncoding saved = encodeLedger(titles, contents.ledger);
    fuzz::check(saved.ok(), "an accepted ledger can be saved");
    const LedgerReadResult again = parseLedger(saved.bytes, QStringLiteral("fuzz.txt"));
    fuzz::check(again.ok(), "a saved ledger reads back");
    fuzz::check(again.contents->incomeCount == contents.incomeCount &&
                    again.contents->supplyCount == contents.supplyCount,
                "a saved ledger keeps its entries");
    fuzz::check(encodeLedger(titles, again.contents->ledger).bytes == saved.bytes,
                "saving what was read back writes the same bytes");
    return 0;
}
