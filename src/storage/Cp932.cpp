#include "Cp932.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace sorobe {

namespace {

bool isLeadByte(unsigned b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(unsigned b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// The code page, as two lookup tables. A table entry of 0 means "none":
// no code of the page stands for U+0000 other than the byte 0x00, which is
// handled with the rest of ASCII.
struct Tables {
    // Indexed by a single byte (0x80-0xFF) or by lead << 8 | trail.
    std::array<char16_t, 0x10000> decode{};
    // Indexed by a character from U+0080: its code, one byte when below 0x100.
    std::array<std::uint16_t, 0x10000> encode{};
    bool available = false;
};

// What the converter makes of one code: a single character outside ASCII, or
// nothing. ICU stands in U+FFFD or U+001A for what it cannot read.
char16_t acceptedCharacter(QStringView decoded) {
    if (decoded.size() != 1)
        return 0;
    const char16_t c = decoded[0].unicode();
    if (c < 0x80 || c == 0xFFFD || QChar::isSurrogate(c))
        return 0;
    return c;
}

std::vector<std::uint16_t> candidateCodes() {
    std::vector<std::uint16_t> codes;
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        if (!isLeadByte(b))
            codes.push_back(static_cast<std::uint16_t>(b));
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(lead))
            continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (isTrailByte(trail))
                codes.push_back(static_cast<std::uint16_t>(lead << 8 | trail));
        }
    }
    return codes;
}

void appendCode(QByteArray& out, std::uint16_t code) {
    if (code > 0xFF)
        out.append(static_cast<char>(code >> 8));
    out.append(static_cast<char>(code & 0xFF));
}

std::uint16_t codeOf(QByteArrayView bytes) {
    if (bytes.size() == 1)
        return static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 2)
        return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                          static_cast<unsigned char>(bytes[1]));
    return 0;
}

// The converter keeps an error flag that resetState() does not clear, so
// every code is asked in one pass with a line feed after each (0x0A is never a
// trail byte) and judged by what comes back. If the answers do not line up
// one by one, each code is asked on its own with a fresh converter.
void fillDecodeTable(Tables& tables, const std::vector<std::uint16_t>& codes) {
    QByteArray batch;
    batch.reserve(static_cast<qsizetype>(codes.size() * 3));
    for (std::uint16_t code : codes) {
        appendCode(batch, code);
        batch.append('\n');
    }
    QStringDecoder decoder("windows-31j", QStringConverter::Flag::Stateless);
    const QString decoded = decoder.decode(batch);
    const QList<QStringView> answers = QStringView(decoded).split(u'\n');
    if (answers.size() == static_cast<qsizetype>(codes.size()) + 1) {
        for (std::size_t i = 0; i < codes.size(); ++i)
            tables.decode[codes[i]] = acceptedCharacter(answers[static_cast<qsizetype>(i)]);
        return;
    }
    for (std::uint16_t code : codes) {
        QByteArray one;
        appendCode(one, code);
        QStringDecoder single("windows-31j", QStringConverter::Flag::Stateless);
        const QString text = single.decode(one);
        tables.decode[code] = single.hasError() ? 0 : acceptedCharacter(text);
    }
}

// The converter's own choice among codes that read as the same character
// (NEC and IBM duplicates), accepted only when that code reads back as the
// character: a character the page cannot hold comes back as the substitute
// FC FC, which does not.
void fillEncodeTable(Tables& tables, const std::vector<std::uint16_t>& codes) {
    std::vector<char16_t> characters;
    std::vector<bool> seen(0x10000, false);
    for (std::uint16_t code : codes) {
        const char16_t c = tables.decode[code];
        if (c && !seen[c]) {
            seen[c] = true;
            characters.push_back(c);
        }
    }
    QString batch;
    batch.reserve(static_cast<qsizetype>(characters.size() * 2));
    for (char16_t c : characters) {
        batch.append(QChar(c));
        batch.append(u'\n');
    }
    QStringEncoder encoder("windows-31j", QStringConverter::Flag::Stateless);
    const QByteArray encoded = encoder.encode(batch);
    const QList<QByteArray> answers = encoded.split('\n');
    const bool lined = answers.size() == static_cast<qsizetype>(characters.size()) + 1;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const char16_t c = characters[i];
        std::uint16_t code = 0;
        if (lined) {
            code = codeOf(answers[static_cast<qsizetype>(i)]);
        } else {
            QStringEncoder single("windows-31j", QStringConverter::Flag::Stateless);
            const QByteArray one = single.encode(QStringView(&c, 1));
            code = codeOf(one);
        }
        if (code && tables.decode[code] == c)
            tables.encode[c] = code;
    }
}

std::unique_ptr<Tables> buildTables() {
    auto tables = std::make_unique<Tables>();
    QStringDecoder probe("windows-31j", QStringConverter::Flag::Stateless);
    if (!probe.isValid())
        return tables;
    const std::vector<std::uint16_t> codes = candidateCodes();
    fillDecodeTable(*tables, codes);
    fillEncodeTable(*tables, codes);
    tables->available = true;
    return tables;
}

const Tables& tables() {
    static const std::unique_ptr<Tables> built = buildTables();
    return *built;
}

char16_t windowsForm(char16_t c) {
    switch (c) {
    case 0x301C: // 〜 WAVE DASH
        return 0xFF5E;
    case 0x2212: // − MINUS SIGN
        return 0xFF0D;
    case 0x2014: // — EM DASH
        return 0x2015;
    case 0x2016: // ‖ DOUBLE VERTICAL LINE
        return 0x2225;
    case 0x00A2: // ¢
        return 0xFFE0;
    case 0x00A3: // £
        return 0xFFE1;
    case 0x00AC: // ¬
        return 0xFFE2;
    default:
        return c;
    }
}

} // namespace

QString normalizeForCp932(QStringView text) {
    QString result = text.toString();
    for (QChar& c : result)
        c = QChar(windowsForm(c.unicode()));
    return result;
}

Cp932Encoded encodeCp932(QStringView text) {
    const Tables& t = tables();
    Cp932Encoded result;
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = windowsForm(text[i].unicode());
        if (c < 0x80) {
            bytes.append(static_cast<char>(c));
            continue;
        }
        const std::uint16_t code = QChar::isSurrogate(c) ? 0 : t.encode[c];
        if (code == 0) {
            result.badIndex = i;
            result.badCharacter = c;
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                result.badCharacter = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            return result;
        }
        appendCode(bytes, code);
    }
    result.bytes = std::move(bytes);
    return result;
}

Cp932Decoded decodeCp932(QByteArrayView bytes) {
    const Tables& t = tables();
    Cp932Decoded result;
    result.text.reserve(bytes.size());
    const auto unreadable = [&result](qsizetype offset) {
        if (result.badOffset < 0)
            result.badOffset = offset;
        result.text.append(QChar(QChar::ReplacementCharacter));
    };
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            result.text.append(QChar(static_cast<char16_t>(b)));
            ++i;
        } else if (isLeadByte(b)) {
            const unsigned trail = i + 1 < n ? static_cast<unsigned char>(bytes[i + 1]) : 0;
            if (!isTrailByte(trail)) {
                // A cut-off code: the byte after it starts the next character.
                unreadable(i);
                ++i;
                continue;
            }
            const char16_t c = t.decode[b << 8 | trail];
            if (c)
                result.text.append(QChar(c));
            else
                unreadable(i);
            i += 2;
        } else {
            const char16_t c = t.decode[b];
            if (c)
                result.text.append(QChar(c));
            else
                unreadable(i);
            ++i;
        }
    }
    return result;
}

bool cp932Available() {
    return tables().available;
}

QString describeCharacter(char32_t character) {
    const bool visible = character <= 0x10FFFF && !QChar::isSurrogate(character) &&
                         QChar::isPrint(character) && !QChar::isSpace(character);
    if (visible)
        return QStringLiteral("「%1」").arg(QString::fromUcs4(&character, 1));
    return QStringLiteral("U+%1").arg(static_cast<uint>(character), 4, 16, QChar(u'0')).toUpper();
}

} // namespace sorobe
