// The roll file reader on any bytes: never a crash, and a file is either read
// whole or refused with a message.

#include "FuzzCheck.h"
#include "RollFile.h"

#include <cstddef>
#include <cstdint>

using namespace sorobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const RollReadResult read = parseRoll(bytes, QStringLiteral("fuzz.roll"));
    fuzz::check(read.ok() == read.message.isEmpty(), "a message exactly on failure");
    if (read.ok())
        for (const StoredRoll::Column& column : read.roll->columns)
            fuzz::check(column.position >= 1, "collections are numbered from 1");
    return 0;
}
