// Code page 932 against glibc's iconv "CP932" as the reference table.

#include "Cp932.h"

#include <QTest>
#include <iconv.h>
#include <optional>

using namespace sorobe;

namespace {

// One conversion through iconv; none when iconv refuses the input.
std::optional<QByteArray> viaIconv(iconv_t cd, QByteArray input) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray output(input.size() * 4 + 8, '\0');
    char* in = input.data();
    std::size_t inLeft = static_cast<std::size_t>(input.size());
    char* out = output.data();
    std::size_t outLeft = static_cast<std::size_t>(output.size());
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    output.truncate(output.size() - static_cast<qsizetype>(outLeft));
    return output;
}

QByteArray utf16le(QStringView text) {
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QString fromUtf16le(const QByteArray& bytes) {
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return text;
}

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' '));
}

} // namespace

class TestCp932 : public QObject {
    Q_OBJECT

    iconv_t m_toUnicode = reinterpret_cast<iconv_t>(-1);
    iconv_t m_fromUnicode = reinterpret_cast<iconv_t>(-1);

    std::optional<QString> referenceDecode(const QByteArray& bytes) {
        const auto out = viaIconv(m_toUnicode, bytes);
        if (!out)
            return std::nullopt;
        return fromUtf16le(*out);
    }
    std::optional<QByteArray> referenceEncode(QStringView text) {
        return viaIconv(m_fromUnicode, utf16le(text));
    }

private slots:
    void initTestCase() {
        QVERIFY(cp932Available());
        m_toUnicode = iconv_open("UTF-16LE", "CP932");
        m_fromUnicode = iconv_open("CP932", "UTF-16LE");
        QVERIFY(m_toUnicode != reinterpret_cast<iconv_t>(-1));
        QVERIFY(m_fromUnicode != reinterpret_cast<iconv_t>(-1));
    }

    void cleanupTestCase() {
        iconv_close(m_toUnicode);
        iconv_close(m_fromUnicode);
    }

    // Every double-byte code: read as iconv reads it, or reported where iconv
    // refuses it; and the character read writes back as iconv writes it (one
    // canonical code for the NEC and IBM duplicates).
    void doubleByteCodesAgreeWithReference() {
        int accepted = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead <= 0xDF)
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F)
                    continue;
                QByteArray code;
                code.append(static_cast<char>(lead)).append(static_cast<char>(trail));
                const auto expected = referenceDecode(code);
                const Cp932Decoded decoded = decodeCp932(code);
                if (!expected) {
                    if (decoded.ok())
                        QFAIL(qPrintable(QStringLiteral("read although iconv refuses it: ") +
                                         hex(code)));
                    QCOMPARE(decoded.badOffset, 0);
                    continue;
                }
                ++accepted;
                if (!decoded.ok() || decoded.text != *expected)
                    QFAIL(qPrintable(QStringLiteral("read differently: ") + hex(code)));
                const Cp932Encoded encoded = encodeCp932(decoded.text);
                const auto canonical = referenceEncode(decoded.text);
                QVERIFY(canonical);
                if (!encoded.ok() || encoded.bytes != *canonical)
                    QFAIL(qPrintable(QStringLiteral("written differently: %1 -> %2, iconv %3")
                                         .arg(hex(code), hex(encoded.bytes), hex(*canonical))));
                // The canonical code reads back as the same character.
                QCOMPARE(decodeCp932(encoded.bytes).text, decoded.text);
            }
        }
        // JIS X 0208 with the NEC and IBM extensions and the user-defined area.
        QCOMPARE(accepted, 9604);
    }

    void singleBytesAgreeWithReference() {
        for (int b = 0x80; b <= 0xFF; ++b) {
            if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))
                continue;
            const QByteArray code(1, static_cast<char>(b));
            const auto expected = referenceDecode(code);
            const Cp932Decoded decoded = decodeCp932(code);
            QCOMPARE(decoded.ok(), expected.has_value());
            if (expected) {
                QCOMPARE(decoded.text, *expected);
                QCOMPARE(encodeCp932(decoded.text).bytes, code);
            }
        }
    }

    // Every character of the basic plane is written as iconv writes it when
    // iconv's bytes read back as that character, and refused otherwise; only
    // the seven characters Linux input methods give in other forms are taken
    // in their Windows forms.
    void charactersAgreeWithReference() {
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (QChar::isSurrogate(c))
                continue;
            const QString text(QChar(static_cast<char16_t>(c)));
            const QString normalised = normalizeForCp932(text);
            const auto reference = referenceEncode(normalised);
            const bool holds = reference && referenceDecode(*reference) == normalised;
            const Cp932Encoded encoded = encodeCp932(text);
            if (encoded.ok() != holds)
                QFAIL(qPrintable(QStringLiteral("U+%1 held differently").arg(uint(c), 4, 16)));
            if (holds)
                QCOMPARE(encoded.bytes, *reference);
            else
                QCOMPARE(encoded.badCharacter, c);
        }
    }

    // 0x00-0x7F stand for themselves both ways: the converter underneath swaps
    // 0x1A, 0x1C and 0x7F.
    void asciiStandsForItself() {
        QByteArray bytes;
        QString text;
        for (int b = 0; b < 0x80; ++b) {
            bytes.append(static_cast<char>(b));
            text.append(QChar(static_cast<char16_t>(b)));
        }
        const Cp932Decoded decoded = decodeCp932(bytes);
        QVERIFY(decoded.ok());
        QCOMPARE(decoded.text, text);
        const Cp932Encoded encoded = encodeCp932(text);
        QVERIFY(encoded.ok());
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(referenceDecode(bytes), std::optional<QString>(text));
    }

    void windowsForms_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("windowsForm");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("wave dash") << u"4月〜7月"_qs << u"4月～7月"_qs
                                   << QByteArray("4\x8c\x8e\x81\x60"
                                                 "7\x8c\x8e");
        QTest::newRow("minus sign") << u"−300"_qs << u"－300"_qs << QByteArray("\x81|300");
        QTest::newRow("em dash") << u"—"_qs << u"―"_qs << QByteArray("\x81\x5c");
        QTest::newRow("double vertical line") << u"‖"_qs << u"∥"_qs << QByteArray("\x81\x61");
        QTest::newRow("cent") << u"¢"_qs << u"￠"_qs << QByteArray("\x81\x91");
        QTest::newRow("pound") << u"£"_qs << u"￡"_qs << QByteArray("\x81\x92");
        QTest::newRow("not") << u"¬"_qs << u"￢"_qs << QByteArray("\x81\xca");
        QTest::newRow("others untouched") << u"ａ〜b"_qs << u"ａ～b"_qs
                                          << QByteArray("\x82\x81\x81\x60"
                                                        "b");
    }

    void windowsForms() {
        QFETCH(QString, typed);
        QFETCH(QString, windowsForm);
        QFETCH(QByteArray, bytes);
        QCOMPARE(normalizeForCp932(typed), windowsForm);
        const Cp932Encoded encoded = encodeCp932(typed);
        QVERIFY(encoded.ok());
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(decodeCp932(bytes).text, windowsForm);
    }

    void unholdableCharacterNamed_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<uint>("character");
        QTest::addColumn<QString>("described");
        QTest::newRow("beyond the basic plane")
            << u"𠮷野家"_qs << qsizetype(0) << 0x20BB7u << u"「𠮷」"_qs;
        QTest::newRow("latin o with stroke") << u"Søren"_qs << qsizetype(1) << 0xF8u << u"「ø」"_qs;
        QTest::newRow("yen sign is not the backslash")
            << u"100¥"_qs << qsizetype(3) << 0xA5u << u"「¥」"_qs;
        QTest::newRow("korean") << u"会計한"_qs << qsizetype(2) << 0xD55Cu << u"「한」"_qs;
        QTest::newRow("c1 control") << u"a\u0085"_qs << qsizetype(1) << 0x85u << u"U+0085"_qs;
        QTest::newRow("no-break space") << u"\u00a0"_qs << qsizetype(0) << 0xA0u << u"U+00A0"_qs;
        QTest::newRow("lone surrogate")
            << (u"ab"_qs + QChar(char16_t(0xD800))) << qsizetype(2) << 0xD800u << u"U+D800"_qs;
    }

    void unholdableCharacterNamed() {
        QFETCH(QString, text);
        QFETCH(qsizetype, index);
        QFETCH(uint, character);
        QFETCH(QString, described);
        const Cp932Encoded encoded = encodeCp932(text);
        QVERIFY(!encoded.ok());
        QVERIFY(encoded.bytes.isEmpty());
        QCOMPARE(encoded.badIndex, index);
        QCOMPARE(uint(encoded.badCharacter), character);
        QCOMPARE(describeCharacter(encoded.badCharacter), described);
    }

    void unreadableBytesReported_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<QString>("text");
        QTest::newRow("cut-off lead byte at the end")
            << QByteArray("ab\x82") << qsizetype(2) << u"ab\uFFFD"_qs;
        QTest::newRow("lead byte before a blank")
            << QByteArray("\x82 x") << qsizetype(0) << u"\uFFFD x"_qs;
        QTest::newRow("lead byte before a line feed")
            << QByteArray("\x82\n\x82\xa0") << qsizetype(0) << u"\uFFFD\n\u3042"_qs;
        QTest::newRow("code without a character")
            << QByteArray("\x82\xa0\x85\x40z") << qsizetype(2) << u"あ\uFFFDz"_qs;
        QTest::newRow("substitute code FC FC")
            << QByteArray("\xfc\xfc") << qsizetype(0) << u"\uFFFD"_qs;
        QTest::newRow("byte 0x80") << QByteArray("\x80") << qsizetype(0) << u"\uFFFD"_qs;
        QTest::newRow("byte 0xA0") << QByteArray("a\xa0") << qsizetype(1) << u"a\uFFFD"_qs;
        QTest::newRow("byte 0xFD") << QByteArray("\xfd") << qsizetype(0) << u"\uFFFD"_qs;
        QTest::newRow("first fault counts")
            << QByteArray("\x82\xa0\xff\x80") << qsizetype(2) << u"あ\uFFFD\uFFFD"_qs;
    }

    void unreadableBytesReported() {
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, offset);
        QFETCH(QString, text);
        const Cp932Decoded decoded = decodeCp932(bytes);
        QVERIFY(!decoded.ok());
        QCOMPARE(decoded.badOffset, offset);
        QCOMPARE(decoded.text, text);
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
