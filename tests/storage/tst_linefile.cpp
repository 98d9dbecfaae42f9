// The CP932 line writer and reader, and replacing a file as a whole.

#include "DateTime.h"
#include "FileSizeLimit.h"
#include "LineFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sorobe;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("(unreadable)");
    return file.readAll();
}

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestLineFile : public QObject {
    Q_OBJECT

private slots:
    void readerLineEnds_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("ab\r\ncd\r\n") << QStringList{"ab", "cd"};
        QTest::newRow("LF alone") << QByteArray("ab\ncd\n") << QStringList{"ab", "cd"};
        QTest::newRow("mixed") << QByteArray("ab\ncd\r\nef\n") << QStringList{"ab", "cd", "ef"};
        QTest::newRow("last line without line end")
            << QByteArray("ab\r\ncd") << QStringList{"ab", "cd"};
        QTest::newRow("last line ended by CR alone")
            << QByteArray("ab\r\ncd\r") << QStringList{"ab", "cd"};
        QTest::newRow("empty lines inside")
            << QByteArray("ab\r\n\r\n\r\ncd\r\n") << QStringList{"ab", "", "", "cd"};
        QTest::newRow("empty last line") << QByteArray("ab\r\n\r\n") << QStringList{"ab", ""};
        QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("CR inside a line stays")
            << QByteArray("a\rb\r\n") << QStringList{QStringLiteral("a\rb")};
        QTest::newRow("blanks kept") << QByteArray(" 30 \r\n\t\r\n")
                                     << QStringList{QStringLiteral(" 30 "), QStringLiteral("\t")};
        QTest::newRow("Japanese") << QByteArray("\x8a\x77\x8b\x89\x82\xcc\x89\xef\x8c\x76\r\n"
                                                "\xb6\xde\xb2\xc4\xde\r\n")
                                  << QStringList{u"学級の会計"_qs, u"ｶﾞｲﾄﾞ"_qs};
        QTest::newRow("code whose trail byte is ASCII")
            << QByteArray("\x83\x5c\x83\x74\x83\x67\n") << QStringList{u"ソフト"_qs};
    }

    void readerLineEnds() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        LineReader reader(bytes);
        QStringList read;
        QString line;
        while (reader.readLine(line) == LineReader::Status::Line) {
            read << line;
            QCOMPARE(reader.lineNumber(), read.size());
        }
        QCOMPARE(read, lines);
        QVERIFY(reader.atEnd());
        // The end stays the end.
        QCOMPARE(reader.readLine(line), LineReader::Status::EndOfFile);
        QVERIFY(line.isEmpty());
        QCOMPARE(reader.lineNumber(), lines.size());
    }

    // A last line without its line end is how a file cut short looks.
    void readerTellsWhichLinesWereEnded_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<bool>>("ended");
        QTest::newRow("CR LF") << QByteArray("ab\r\ncd\r\n") << QList<bool>{true, true};
        QTest::newRow("CR as the last byte") << QByteArray("ab\r\ncd\r") << QList<bool>{true, true};
        QTest::newRow("CR inside the last line")
            << QByteArray("ab\r\nc\rd") << QList<bool>{true, false};
        QTest::newRow("no line end") << QByteArray("ab\r\n 25") << QList<bool>{true, false};
    }

    void readerTellsWhichLinesWereEnded() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<bool>, ended);
        LineReader reader(bytes);
        QVERIFY(!reader.lineEnded());
        QList<bool> read;
        QString line;
        while (reader.readLine(line) != LineReader::Status::EndOfFile)
            read << reader.lineEnded();
        QCOMPARE(read, ended);
    }

    void readerReportsUnreadableLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("badLine");
        QTest::addColumn<qsizetype>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("cut-off code before CR LF")
            << QByteArray("Income\r\n\x8a\x77\x8b\r\nnext\r\n") << 2 << qsizetype(3)
            << u"学\uFFFD"_qs;
        QTest::newRow("code without a character")
            << QByteArray("a\nb\nxy\x85\x40\nnext") << 3 << qsizetype(3) << u"xy\uFFFD"_qs;
        QTest::newRow("cut-off code at the end of the file")
            << QByteArray("a\r\nb\r\nnext\r\nabc\x82") << 4 << qsizetype(4) << u"abc\uFFFD"_qs;
        QTest::newRow("byte 0x80 on the first line")
            << QByteArray("\x80\r\nnext") << 1 << qsizetype(1) << u"\uFFFD"_qs;
    }

    void readerReportsUnreadableLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, badLine);
        QFETCH(qsizetype, column);
        QFETCH(QString, text);
        LineReader reader(bytes);
        QString line;
        for (int i = 1; i < badLine; ++i) {
            QCOMPARE(reader.readLine(line), LineReader::Status::Line);
            QCOMPARE(reader.errorColumn(), qsizetype(0));
            QVERIFY(reader.errorMessage().isEmpty());
        }
        QCOMPARE(reader.readLine(line), LineReader::Status::Undecodable);
        QCOMPARE(reader.lineNumber(), badLine);
        QCOMPARE(reader.errorColumn(), column);
        QCOMPARE(line, text);
        QCOMPARE(reader.errorMessage(),
                 QStringLiteral("%1行目に文字として読めないバイトがあります。").arg(badLine));
        // The caller may go on past the bad line.
        if (!reader.atEnd()) {
            QCOMPARE(reader.readLine(line), LineReader::Status::Line);
            QCOMPARE(line, u"next"_qs);
            QCOMPARE(reader.errorColumn(), qsizetype(0));
        }
    }

    void readerOpensFiles() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"台帳.txt"_qs);
        QVERIFY(putFile(path, QByteArray("iSorobe135\r\n\x82\xa0")));

        LineReader reader;
        QString reason;
        QVERIFY(reader.openFile(path, &reason));
        QString line;
        QCOMPARE(reader.readLine(line), LineReader::Status::Line);
        QCOMPARE(line, u"iSorobe135"_qs);
        QCOMPARE(reader.readLine(line), LineReader::Status::Line);
        QCOMPARE(line, u"あ"_qs);
        QCOMPARE(reader.readLine(line), LineReader::Status::EndOfFile);
    }

    void readerRefusesWhatIsNoFile_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<QString>("reasonStart");
        QTest::newRow("missing") << u"missing.txt"_qs << u"「"_qs;
        QTest::newRow("folder") << u"folder"_qs << u"「"_qs;
    }

    void readerRefusesWhatIsNoFile() {
        QFETCH(QString, relativePath);
        QFETCH(QString, reasonStart);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_qs));
        LineReader reader(QByteArray("old\r\n"));
        QString reason;
        QVERIFY(!reader.openFile(dir.filePath(relativePath), &reason));
        QVERIFY(reason.startsWith(reasonStart));
        QVERIFY(reason.contains(relativePath));
    }

    void writerNumbers_data() {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("zero") << qint64(0) << QByteArray(" 0\r\n");
        QTest::newRow("minus one") << qint64(-1) << QByteArray("-1\r\n");
        QTest::newRow("16-bit low") << qint64(-32768) << QByteArray("-32768\r\n");
        QTest::newRow("32-bit high") << qint64(2147483647) << QByteArray(" 2147483647\r\n");
        QTest::newRow("32-bit low") << qint64(-2147483648LL) << QByteArray("-2147483648\r\n");
    }

    void writerNumbers() {
        QFETCH(qint64, value);
        QFETCH(QByteArray, bytes);
        LineWriter writer;
        writer.writeNumber(value);
        QCOMPARE(writer.bytes(), bytes);
        QCOMPARE(writer.lineCount(), 1);
    }

    void writerLinesInOrder() {
        LineWriter writer;
        QVERIFY(writer.writeLine(u"iSorobe135"));
        writer.writeBoolean(true);
        writer.writeBoolean(false);
        QVERIFY(writer.writeLine(u"学級の会計"));
        QVERIFY(writer.writeLine(u""));
        writer.writeDate(DateTime::fromDate(2002, 4, 10));
        writer.writeDate(DateTime(37458.0 + (9 * 3600 + 5 * 60) / 86400.0));
        QVERIFY(writer.writeLine(u"4月〜7月"));
        QCOMPARE(writer.lineCount(), 8);
        QCOMPARE(writer.bytes(), QByteArray("iSorobe135\r\n"
                                            "True\r\n"
                                            "False\r\n"
                                            "\x8a\x77\x8b\x89\x82\xcc\x89\xef\x8c\x76\r\n"
                                            "\r\n"
                                            "2002/04/10\r\n"
                                            "2002/07/21 9:05:00\r\n"
                                            "4\x8c\x8e\x81\x60"
                                            "7\x8c\x8e\r\n"));
    }

    void writerRefusesWhatALineCannotHold_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<uint>("character");
        QTest::addColumn<QString>("message");
        QTest::newRow("line feed")
            << u"前\n後"_qs << qsizetype(1) << 0x0Au << u"改行は保存できません。"_qs;
        QTest::newRow("carriage return")
            << u"前後\r"_qs << qsizetype(2) << 0x0Du << u"改行は保存できません。"_qs;
        QTest::newRow("not in the code page")
            << u"𠮷野家"_qs << qsizetype(0) << 0x20BB7u << u"「𠮷」は保存できない文字です。"_qs;
        QTest::newRow("invisible")
            << u"a\u200bb"_qs << qsizetype(1) << 0x200Bu << u"U+200Bは保存できない文字です。"_qs;
    }

    void writerRefusesWhatALineCannotHold() {
        QFETCH(QString, value);
        QFETCH(qsizetype, index);
        QFETCH(uint, character);
        QFETCH(QString, message);
        LineWriter writer;
        QVERIFY(writer.writeLine(u"before"));
        UnwritableText fault;
        QVERIFY(!writer.writeLine(value, &fault));
        QCOMPARE(fault.index, index);
        QCOMPARE(uint(fault.character), character);
        QCOMPARE(fault.message(), message);
        // Nothing of the refused value was written, not even a "?".
        QCOMPARE(writer.bytes(), QByteArray("before\r\n"));
        QCOMPARE(writer.lineCount(), 1);
        QVERIFY(!writer.writeLine(value));
    }

    void wholeFileReplacesOldContent() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"台帳.txt"_qs);
        QVERIFY(putFile(path, QByteArray(4096, 'o')));
        LineWriter writer;
        QVERIFY(writer.writeLine(u"新しい"));
        QString reason = u"untouched"_qs;
        QVERIFY(writer.saveTo(path, &reason));
        QCOMPARE(reason, u"untouched"_qs);
        QCOMPARE(fileBytes(path), QByteArray("\x90\x56\x82\xb5\x82\xa2\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"台帳.txt"_qs});
    }

    void wholeFileFailsWithoutHarm_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("folder where the file should be") << u"target"_qs;
        QTest::newRow("parent is a regular file") << u"plain.txt/Sorobe.ini"_qs;
        QTest::newRow("parent is missing") << u"missing/Sorobe.ini"_qs;
    }

    // Tests run as root, where permissions do not stop a write; a path that
    // cannot be a file does.
    void wholeFileFailsWithoutHarm() {
        QFETCH(QString, relativePath);
        QTemporaryDir dir;
        QDir root(dir.path());
        QVERIFY(root.mkdir(u"target"_qs));
        QVERIFY(putFile(root.filePath(u"target/inside.txt"_qs), QByteArray("inside")));
        QVERIFY(putFile(root.filePath(u"plain.txt"_qs), QByteArray("plain")));

        QString reason;
        QVERIFY(!writeWholeFile(root.filePath(relativePath), QByteArray("new\r\n"), &reason));
        QVERIFY(reason.startsWith(u"「"_qs));
        QVERIFY(reason.contains(QDir::toNativeSeparators(root.filePath(relativePath))));
        QVERIFY(QFileInfo(root.filePath(u"target"_qs)).isDir());
        QCOMPARE(fileBytes(root.filePath(u"target/inside.txt"_qs)), QByteArray("inside"));
        QCOMPARE(fileBytes(root.filePath(u"plain.txt"_qs)), QByteArray("plain"));
        QCOMPARE(root.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{u"plain.txt"_qs, u"target"_qs}));
        QCOMPARE(QDir(root.filePath(u"target"_qs)).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"inside.txt"_qs});
    }

    // A write that stops halfway (a full disk) must not replace the old file:
    // the save file's commit alone reports success after a short write.
    void shortWriteKeepsOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sorobe.ini"_qs);
        const QByteArray old("Income\r\nold\r\n 1\r\n2002/07/21\r\nSupply\r\n");
        QVERIFY(putFile(path, old));
        const QByteArray large(4096, 'n');

        bool saved = true;
        QString reason;
        bool limited = false;
        {
            FileSizeLimit limit(100);
            limited = limit.active();
            saved = writeWholeFile(path, large, &reason);
        }
        QVERIFY(limited);
        QVERIFY(!saved);
        QVERIFY(reason.contains(u"ディスクの空き"_qs));
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Sorobe.ini"_qs});
    }
};

QTEST_GUILESS_MAIN(TestLineFile)
#include "tst_linefile.moc"
