#pragma once

// The ledger and the item history are text files in Windows code page 932
// (Shift_JIS with the NEC and IBM extensions), whatever this machine's locale,
// so that a file written on a Windows machine reads back unchanged here and the
// other way round.
//
// The mapping is taken once from ICU's "windows-31j" converter, but only for
// the double-byte codes and the half-width katakana: bytes 0x00-0x7F always
// stand for themselves (the converter swaps 0x1A, 0x1C and 0x7F), and a
// character is only written when its bytes read back as that same character.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace sorobe {

// Linux input methods give 〜 − — ‖ ¢ £ ¬ in forms the code page does not hold;
// a Windows machine types them as ～ － ― ∥ ￠ ￡ ￢. Replaces the former by the
// latter and leaves every other character alone (the length stays the same).
QString normalizeForCp932(QStringView text);

struct Cp932Encoded {
    QByteArray bytes;
    // Index (UTF-16 units) of the first character the code page cannot hold, or -1.
    qsizetype badIndex = -1;
    // That character as a whole code point (also beyond the basic plane).
    char32_t badCharacter = 0;

    bool ok() const { return badIndex < 0; }
};

// Normalises the text and encodes it. When a character cannot be held, `bytes`
// is empty and the character is named instead: nothing is ever replaced by "?"
// or by a substitute code.
Cp932Encoded encodeCp932(QStringView text);

struct Cp932Decoded {
    // The text; a byte that does not start a character is given as U+FFFD.
    QString text;
    // Offset of the first byte that does not form a character, or -1.
    qsizetype badOffset = -1;

    bool ok() const { return badOffset < 0; }
};

// Decodes the bytes. A lead byte without its trail byte, a code without a
// character and a byte that is no character on its own are reported, never
// dropped or silently replaced.
Cp932Decoded decodeCp932(QByteArrayView bytes);

// False when ICU offers no "windows-31j" converter; then only ASCII can be
// read and written, and every other character is reported.
bool cp932Available();

// A character as a message names it: 「𠮷」, or "U+0080" for one that cannot be
// seen (controls, blanks, unpaired surrogates).
QString describeCharacter(char32_t character);

} // namespace sorobe
