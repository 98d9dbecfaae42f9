// The code page both ways: whatever the encoder writes, the decoder reads back
// as the same (normalised) text, and bytes the decoder reads without a fault
// are written back by the encoder.

#include "Cp932.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>

using namespace sorobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // The input as file bytes.
    const Cp932Decoded decoded = decodeCp932(bytes);
    fuzz::check(decoded.badOffset >= -1 && decoded.badOffset < bytes.size(),
                "a fault offset lies inside the bytes");
    if (decoded.ok()) {
        const Cp932Encoded encoded = encodeCp932(decoded.text);
        fuzz::check(encoded.ok(), "read text can be written");
        const Cp932Decoded again = decodeCp932(encoded.bytes);
        fuzz::check(again.ok() && again.text == decoded.text, "written text reads back");
    }

    // The input as text typed in the program.
    const QString typed = QString::fromUtf8(bytes);
    const Cp932Encoded encoded = encodeCp932(typed);
    fuzz::check(encoded.badIndex >= -1 && encoded.badIndex < typed.size(),
                "a bad index lies inside the text");
    if (encoded.ok()) {
        const Cp932Decoded back = decodeCp932(encoded.bytes);
        fuzz::check(back.ok(), "encoded bytes decode without a fault");
        fuzz::check(back.text == normalizeForCp932(typed), "encoded text decodes to itself");
    } else {
        fuzz::check(encoded.bytes.isEmpty(), "nothing is written for a refused text");
    }
    return 0;
}
