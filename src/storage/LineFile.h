#pragma once

// Line-oriented text files in code page 932, one value per line, as the ledger
// and the item history are kept: the writer ends every line with CR LF, the
// reader takes CR LF or a bare LF. Both work on the whole file in memory, so a
// file is written all at once (or not at all) and a reader can stop at the
// first fault without having changed anything.

#include "DateTime.h"
#include "WholeFile.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace sorobe {

// A value that a line of the file cannot hold.
struct UnwritableText {
    // Index (UTF-16 units) of the character in the value.
    qsizetype index = -1;
    char32_t character = 0;

    // 「𠮷」は保存できない文字です。 or, for CR and LF, 改行は保存できません。
    QString message() const;
};

class LineWriter {
public:
    // Appends the value and CR LF. A value holding a character the code page
    // cannot hold, or a line break, is not written: false, and `fault` (when
    // given) names the character.
    bool writeLine(QStringView value, UnwritableText* fault = nullptr);
    // A number as decimal text, with a blank in front when it is not negative:
    // " 30", "-300".
    void writeNumber(std::int64_t value);
    // "True" or "False".
    void writeBoolean(bool value);
    // The "General Date" text.
    void writeDate(DateTime value);

    const QByteArray& bytes() const { return m_bytes; }
    int lineCount() const { return m_lineCount; }

    // Replaces the file at `path` by the lines written so far (see writeWholeFile).
    bool saveTo(const QString& path, QString* reason = nullptr) const;

private:
    void appendAscii(const QByteArray& ascii);

    QByteArray m_bytes;
    int m_lineCount = 0;
};

class LineReader {
public:
    enum class Status {
        Line,       // a line was read
        EndOfFile,  // no line is left
        Undecodable // a line was read, but holds bytes that are no character
    };

    // Files larger than this are refused rather than read into memory.
    static constexpr qint64 maximumFileSize = 64 * 1024 * 1024;

    LineReader() = default;
    explicit LineReader(QByteArray contents);

    // Reads the whole file at `path`. False, with a Japanese `reason`, when it
    // is missing, no regular file, too large or unreadable.
    bool openFile(const QString& path, QString* reason = nullptr);

    // Reads the next line into `line`, without its line end. A last line
    // without a line end is a line; after it, and after a last CR LF, comes
    // the end of the file, which is not an empty line. For Undecodable the
    // line is read past and `line` holds the text with U+FFFD in place of the
    // unreadable bytes.
    Status readLine(QString& line);

    bool atEnd() const { return m_position >= m_bytes.size(); }
    // Number of the line last read: 1 for the first line, 0 before any.
    int lineNumber() const { return m_lineNumber; }
    // Whether the line last read had its line end: LF, CR LF, or a CR that is
    // the very last byte of the file. Only a last line can lack one, and then
    // the file may have been cut short inside it. False before any line.
    bool lineEnded() const { return m_lineEnded; }
    // After Undecodable: the 1-based byte position of the first unreadable
    // byte within its line, else 0.
    qsizetype errorColumn() const { return m_errorColumn; }
    // After Undecodable: "3行目に文字として読めないバイトがあります。"
    QString errorMessage() const;

private:
    QByteArray m_bytes;
    qsizetype m_position = 0;
    int m_lineNumber = 0;
    bool m_lineEnded = false;
    qsizetype m_errorColumn = 0;
};

} // namespace sorobe
