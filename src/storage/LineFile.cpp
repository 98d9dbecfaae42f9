#include "LineFile.h"

#include "Cp932.h"
#include "GeneralDate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sorobe {

namespace {

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

QString UnwritableText::message() const {
    if (character == u'\r' || character == u'\n')
        return QStringLiteral("改行は保存できません。");
    return describeCharacter(character) + QStringLiteral("は保存できない文字です。");
}

bool LineWriter::writeLine(QStringView value, UnwritableText* fault) {
    const qsizetype lineBreak = [value] {
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (value[i] == u'\r' || value[i] == u'\n')
                return i;
        }
        return qsizetype(-1);
    }();
    if (lineBreak >= 0) {
        if (fault)
            *fault = UnwritableText{lineBreak, value[lineBreak].unicode()};
        return false;
    }
    Cp932Encoded encoded = encodeCp932(value);
    if (!encoded.ok()) {
        if (fault)
            *fault = UnwritableText{encoded.badIndex, encoded.badCharacter};
        return false;
    }
    m_bytes += encoded.bytes;
    m_bytes += "\r\n";
    ++m_lineCount;
    return true;
}

void LineWriter::appendAscii(const QByteArray& ascii) {
    m_bytes += ascii;
    m_bytes += "\r\n";
    ++m_lineCount;
}

void LineWriter::writeNumber(std::int64_t value) {
    QByteArray text = QByteArray::number(static_cast<qlonglong>(value));
    if (value >= 0)
        text.prepend(' ');
    appendAscii(text);
}

void LineWriter::writeBoolean(bool value) {
    appendAscii(value ? QByteArrayLiteral("True") : QByteArrayLiteral("False"));
}

void LineWriter::writeDate(DateTime value) {
    appendAscii(formatGeneralDate(value).toLatin1());
}

bool LineWriter::saveTo(const QString& path, QString* reason) const {
    return writeWholeFile(path, m_bytes, reason);
}

LineReader::LineReader(QByteArray contents)
    : m_bytes(std::move(contents)) {}

bool LineReader::openFile(const QString& path, QString* reason) {
    const auto fail = [&](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("「%1」が見つかりません。").arg(shownPath(path)));
    if (!info.isFile())
        return fail(QStringLiteral("「%1」はファイルではありません。").arg(shownPath(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("「%1」を開けません。").arg(shownPath(path)));
    // One byte more than allowed tells a file that is too large, whatever its
    // size claims to be.
    QByteArray contents = file.read(maximumFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("「%1」を読めません。").arg(shownPath(path)));
    if (contents.size() > maximumFileSize)
        return fail(QStringLiteral("「%1」は大きすぎて読めません。").arg(shownPath(path)));
    m_bytes = std::move(contents);
    m_position = 0;
    m_lineNumber = 0;
    m_lineEnded = false;
    m_errorColumn = 0;
    return true;
}

LineReader::Status LineReader::readLine(QString& line) {
    m_errorColumn = 0;
    if (atEnd()) {
        line.clear();
        return Status::EndOfFile;
    }
    const qsizetype newline = m_bytes.indexOf('\n', m_position);
    qsizetype end = newline < 0 ? m_bytes.size() : newline;
    const qsizetype next = newline < 0 ? m_bytes.size() : newline + 1;
    // CR LF ends a line; so does a CR that is the very last byte.
    if (end > m_position && m_bytes[end - 1] == '\r')
        --end;
    // Whatever ended the line lies between its text and the next line.
    m_lineEnded = end < next;
    const Cp932Decoded decoded =
        decodeCp932(QByteArrayView(m_bytes.constData() + m_position, end - m_position));
    m_position = next;
    ++m_lineNumber;
    line = decoded.text;
    if (!decoded.ok()) {
        m_errorColumn = decoded.badOffset + 1;
        return Status::Undecodable;
    }
    return Status::Line;
}

QString LineReader::errorMessage() const {
    if (m_errorColumn == 0)
        return QString();
    return QStringLiteral("%1行目に文字として読めないバイトがあります。").arg(m_lineNumber);
}

} // namespace sorobe
