#include "RollFile.h"

#include "DisplayFormat.h"
#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <limits>
#include <unordered_map>

namespace sorobe {

namespace {

const QString formatName = QStringLiteral("SOROBE-ROLL");
const QString formatVersion = QStringLiteral("1");
const QString pupilsRecord = QStringLiteral("PUPILS");
const QString pupilRecord = QStringLiteral("PUPIL");
const QString collectionRecord = QStringLiteral("COLLECTION");
const QString endRecord = QStringLiteral("END");
const QString editedText = QStringLiteral("edited");
const QString plainText = QStringLiteral("plain");

// Far above the roll of any class for a year (a few kilobytes), low enough
// that a wrong file is refused before it fills the memory.
constexpr qsizetype maximumRollFileSize = 8 * 1024 * 1024;

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString quoted(QStringView text) {
    constexpr qsizetype shown = 20;
    if (text.size() <= shown)
        return text.toString();
    return text.left(shown).toString() + u'…';
}

// ---- fields

QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

std::optional<QString> unescaped(QStringView field) {
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != u'\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        if (field[i] == u'\\')
            out += u'\\';
        else if (field[i] == u't')
            out += u'\t';
        else if (field[i] == u'n')
            out += u'\n';
        else
            return std::nullopt;
    }
    return out;
}

QString dateText(QDate day) {
    if (!day.isValid())
        return QString();
    return QString::asprintf("%04d/%02d/%02d", day.year(), day.month(), day.day());
}

// Only "yyyy/MM/dd", every digit there: the file is written by the program,
// so anything else is damage, not a way of writing a date.
std::optional<QDate> parseDate(QStringView text) {
    if (text.size() != 10 || text[4] != u'/' || text[7] != u'/')
        return std::nullopt;
    int parts[3] = {0, 0, 0};
    int part = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == 4 || i == 7) {
            ++part;
            continue;
        }
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        parts[part] = parts[part] * 10 + (text[i].unicode() - u'0');
    }
    const QDate day(parts[0], parts[1], parts[2]);
    if (!day.isValid())
        return std::nullopt;
    return day;
}

// Decimal digits, a minus in front only where allowed; no blanks, no plus.
std::optional<qint64> parseNumber(QStringView text, qint64 low, qint64 high) {
    const bool negative = text.startsWith(u'-');
    const QStringView digits = negative ? text.mid(1) : text;
    if (digits.isEmpty() || digits.size() > 12)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (negative)
        value = -value;
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

// ---- reading

class RollParser {
public:
    RollParser(const QByteArray& bytes, const QString& shownName)
        : m_bytes(bytes)
        , m_shownName(shownPath(shownName)) {}

    RollReadResult run() {
        RollReadResult result;
        if (m_bytes.size() > maximumRollFileSize) {
            result.message =
                QStringLiteral("集金表「%1」は大きすぎて読めません。").arg(m_shownName);
            return result;
        }
        if (!readLines())
            result.message = m_message;
        else
            result.roll = std::move(m_roll);
        return result;
    }

private:
    enum class Stage { Version, Pupils, PupilLines, CollectionLines, Ended };

    bool fail(const QString& why) {
        m_message = QStringLiteral("集金表「%1」の %2 行目が読めません：%3")
                        .arg(m_shownName)
                        .arg(m_lineNumber)
                        .arg(why);
        return false;
    }

    bool readLines() {
        qsizetype start = 0;
        // A byte order mark, as an editor may have put there, is no part of the text.
        if (m_bytes.startsWith("\xEF\xBB\xBF"))
            start = 3;
        while (start < m_bytes.size()) {
            const qsizetype newline = m_bytes.indexOf('\n', start);
            const qsizetype end = newline < 0 ? m_bytes.size() : newline;
            // A file an editor saved with CR LF reads the same: no record
            // ends in a field that could hold a CR of its own.
            const qsizetype textEnd = end > start && m_bytes[end - 1] == '\r' ? end - 1 : end;
            ++m_lineNumber;
            QStringDecoder decoder(QStringConverter::Utf8,
                                   QStringConverter::Flag::Stateless |
                                       QStringConverter::Flag::ConvertInitialBom);
            const QString line = decoder(QByteArrayView(m_bytes).sliced(start, textEnd - start));
            if (decoder.hasError())
                return fail(QStringLiteral("文字として読めないバイトがあります。"));
            if (m_stage == Stage::Ended)
                return fail(QStringLiteral("END の行の後にまだ行があります。"));
            // The program ends every line: a last line without its end and
            // other than END is where a copy stopped.
            if (newline < 0 && line != endRecord)
                return fail(QStringLiteral("ファイルがこの行の途中で切れています。"));
            if (!readRecord(line))
                return false;
            start = end + 1;
        }
        if (m_lineNumber == 0) {
            m_lineNumber = 1;
            return fail(QStringLiteral("ファイルが空です。"));
        }
        if (m_stage != Stage::Ended) {
            ++m_lineNumber;
            return fail(QStringLiteral("END の行がありません。ファイルが途中で切れています。"));
        }
        return true;
    }

    bool fieldCount(const QStringList& fields, qsizetype expected) {
        if (fields.size() == expected)
            return true;
        return fail(QStringLiteral("%1 の行の項目は %2 個のはずが %3 個あります。")
                        .arg(fields[0])
                        .arg(expected)
                        .arg(fields.size()));
    }

    bool misplaced(const QString& record) {
        return fail(QStringLiteral("%1 の行がここに来ることはありません。").arg(record));
    }

    bool readRecord(const QString& line) {
        const QStringList fields = line.split(u'\t');
        const QString& record = fields[0];
        if (m_stage == Stage::Version) {
            if (record != formatName)
                return fail(QStringLiteral("集金表のファイルではありません。"));
            return fieldCount(fields, 2) && readVersion(fields[1]);
        }
        if (record == pupilsRecord) {
            if (m_stage != Stage::Pupils)
                return misplaced(record);
            return fieldCount(fields, 3) && readPupils(fields);
        }
        if (m_stage == Stage::Pupils)
            return fail(QStringLiteral("名簿の人数（PUPILS の行）がありません。"));
        if (record == pupilRecord) {
            if (m_stage != Stage::PupilLines)
                return misplaced(record);
            return fieldCount(fields, 5) && readPupil(fields);
        }
        if (record == collectionRecord) {
            m_stage = Stage::CollectionLines;
            return fieldCount(fields, 7) && readCollection(fields);
        }
        if (record == endRecord) {
            m_stage = Stage::Ended;
            return fieldCount(fields, 1);
        }
        return fail(QStringLiteral("「%1」という行は集金表にありません。").arg(quoted(record)));
    }

    bool readVersion(const QString& version) {
        if (version == formatVersion) {
            m_stage = Stage::Pupils;
            return true;
        }
        if (!parseNumber(version, 2, std::numeric_limits<std::int32_t>::max()))
            return fail(QStringLiteral("形式の版「%1」が読めません。").arg(quoted(version)));
        m_message = QStringLiteral("集金表「%1」はこれより新しい版のそろべえで書かれていて、"
                                   "この版では読めません（形式の版 %2）。")
                        .arg(m_shownName, version);
        return false;
    }

    bool readPupils(const QStringList& fields) {
        const std::optional<qint64> size = parseNumber(fields[1], 0, Roster::maximumSize);
        if (!size)
            return fail(QStringLiteral("名簿の人数「%1」が 0～%2 の数ではありません。")
                            .arg(quoted(fields[1]))
                            .arg(Roster::maximumSize));
        if (fields[2] != editedText && fields[2] != plainText)
            return fail(
                QStringLiteral("「%1」は edited か plain のはずです。").arg(quoted(fields[2])));
        m_roll.roster.resize(int(*size));
        m_roll.rosterEdited = fields[2] == editedText;
        m_stage = Stage::PupilLines;
        return true;
    }

    bool readPupilNumber(QStringView text, int& number, const QString& what) {
        const std::optional<qint64> value =
            parseNumber(text, 1, std::numeric_limits<std::int32_t>::max());
        if (!value)
            return fail(
                QStringLiteral("%1「%2」が 1 以上の数ではありません。").arg(what, quoted(text)));
        if (*value > m_roll.roster.size())
            return fail(QStringLiteral("%1が名簿の人数を超えています。").arg(what));
        number = int(*value);
        return true;
    }

    bool readMove(QStringView text, QDate& day, const QString& what) {
        if (text.isEmpty()) {
            day = QDate();
            return true;
        }
        const std::optional<QDate> read = parseDate(text);
        if (!read)
            return fail(QStringLiteral("%1の日付「%2」が読めません。").arg(what, quoted(text)));
        day = *read;
        return true;
    }

    bool readPupil(const QStringList& fields) {
        int number = 0;
        if (!readPupilNumber(fields[1], number, QStringLiteral("出席番号")))
            return false;
        if (number <= m_lastPupil)
            return fail(
                QStringLiteral("出席番号 %1 の行が重なっているか、番号の順になっていません。")
                    .arg(number));
        m_lastPupil = number;
        const std::optional<QString> name = unescaped(fields[2]);
        if (!name)
            return fail(QStringLiteral("名前の中の「\\」の後が読めません。"));
        QDate movedIn, movedOut;
        if (!readMove(fields[3], movedIn, QStringLiteral("転入")) ||
            !readMove(fields[4], movedOut, QStringLiteral("転出")))
            return false;
        m_roll.roster.setName(number, *name);
        m_roll.roster.setMovedIn(number, movedIn);
        m_roll.roster.setMovedOut(number, movedOut);
        return true;
    }

    bool readCollection(const QStringList& fields) {
        StoredRoll::Column column;
        const std::optional<qint64> position =
            parseNumber(fields[1], 1, std::numeric_limits<std::int32_t>::max());
        if (!position)
            return fail(QStringLiteral("集金の順番「%1」が 1 以上の数ではありません。")
                            .arg(quoted(fields[1])));
        if (*position <= m_lastPosition)
            return fail(QStringLiteral("集金の順番 %1 が前の行の順番より大きくありません。")
                            .arg(*position));
        m_lastPosition = int(*position);
        column.position = int(*position);

        const std::optional<QDate> date = parseDate(fields[2]);
        if (!date)
            return fail(QStringLiteral("集金の日付「%1」が読めません。").arg(quoted(fields[2])));
        column.id.date = *date;
        const std::optional<qint64> perPerson =
            parseNumber(fields[3], std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max());
        if (!perPerson || *perPerson == 0)
            return fail(QStringLiteral("１人分の金額「%1」が読めません。").arg(quoted(fields[3])));
        column.id.perPerson = std::int32_t(*perPerson);
        const std::optional<QString> article = unescaped(fields[4]);
        const std::optional<QString> subArticle = unescaped(fields[5]);
        if (!article || !subArticle)
            return fail(QStringLiteral("%1の中の「\\」の後が読めません。")
                            .arg(article ? QStringLiteral("内訳") : QStringLiteral("項目")));
        column.id.article = *article;
        column.id.subArticle = *subArticle;

        if (!fields[6].isEmpty()) {
            const QString paidWhat = QStringLiteral("納めた人の出席番号");
            for (const QStringView text : QStringView(fields[6]).split(u',')) {
                int number = 0;
                if (!readPupilNumber(text, number, paidWhat))
                    return false;
                if (!column.paid.empty() && number <= column.paid.back())
                    return fail(QStringLiteral("%1が小さい順になっていません。").arg(paidWhat));
                column.paid.push_back(number);
            }
        }
        m_roll.columns.push_back(std::move(column));
        return true;
    }

    const QByteArray& m_bytes;
    const QString m_shownName;
    int m_lineNumber = 0;
    Stage m_stage = Stage::Version;
    int m_lastPupil = 0;
    int m_lastPosition = 0;
    StoredRoll m_roll;
    QString m_message;
};

// ---- meeting the ledger

struct CollectionIdHash {
    std::size_t operator()(const CollectionId& id) const {
        return qHashMulti(0, id.date, id.article, id.subArticle, id.perPerson);
    }
};

QString collectionName(const CollectionId& id) {
    QString name = dateText(id.date) + u' ' + id.article;
    if (!id.subArticle.isEmpty())
        name += u' ' + id.subArticle;
    return name + QStringLiteral(" ＠") + formatAmount(id.perPerson);
}

} // namespace

QString rollPathFor(const QString& ledgerPath) {
    const qsizetype nameStart = ledgerPath.lastIndexOf(u'/') + 1;
    const qsizetype dot = ledgerPath.lastIndexOf(u'.');
    // A dot that starts the name marks a hidden file, not an extension.
    if (dot <= nameStart)
        return ledgerPath + QStringLiteral(".roll");
    // A ledger itself named ".roll" must not have the roll written over it,
    // nor may a ledger's backup (.bak), opened to recover it, share the
    // roll of the ledger it backs up.
    const QStringView extension = QStringView(ledgerPath).sliced(dot + 1);
    if (extension.compare(u"roll", Qt::CaseInsensitive) == 0 ||
        extension.compare(u"bak", Qt::CaseInsensitive) == 0)
        return ledgerPath + QStringLiteral(".roll");
    return ledgerPath.left(dot) + QStringLiteral(".roll");
}

QString rollBackupPath(const QString& rollPath) {
    return rollPath + QStringLiteral(".bak");
}

QByteArray encodeRoll(const CollectionRoll& roll) {
    const Roster& roster = roll.roster();
    QString text;
    text += formatName + u'\t' + formatVersion + u'\n';
    text += pupilsRecord + u'\t' + QString::number(roster.size()) + u'\t' +
            (roll.rosterEdited() ? editedText : plainText) + u'\n';
    for (const Pupil& pupil : roster.pupils()) {
        if (pupil.name.isEmpty() && !pupil.movedIn.isValid() && !pupil.movedOut.isValid())
            continue;
        text += pupilRecord + u'\t' + QString::number(pupil.number) + u'\t' + escaped(pupil.name) +
                u'\t' + dateText(pupil.movedIn) + u'\t' + dateText(pupil.movedOut) + u'\n';
    }
    for (int index = 0; index < roll.columnCount(); ++index) {
        const CollectionId& id = roll.column(index).id;
        QStringList paid;
        for (int pupil = 1; pupil <= roster.size(); ++pupil) {
            if (roll.paid(index, pupil))
                paid << QString::number(pupil);
        }
        text += collectionRecord + u'\t' + QString::number(index + 1) + u'\t' + dateText(id.date) +
                u'\t' + QString::number(id.perPerson) + u'\t' + escaped(id.article) + u'\t' +
                escaped(id.subArticle) + u'\t' + paid.join(u',') + u'\n';
    }
    text += endRecord + u'\n';
    return text.toUtf8();
}

RollSaveResult saveRollFile(const QString& path, const CollectionRoll& roll) {
    const auto failure = [](const QString& message) {
        return RollSaveResult{false, message};
    };
    if (path.isEmpty())
        return failure(QStringLiteral("保存するファイルの名前がありません。"));
    const QString notSaved =
        QStringLiteral("集金表「%1」に保存できませんでした。").arg(shownPath(path));
    QString why;
    if (!saveKeepingBackup(path, rollBackupPath(path), encodeRoll(roll), &why))
        return failure(notSaved + why);
    return RollSaveResult{true, QString()};
}

RollReadResult parseRoll(const QByteArray& bytes, const QString& shownName) {
    return RollParser(bytes, shownName).run();
}

RollReadResult readRollFile(const QString& path) {
    const auto failure = [&](const char16_t* why) {
        RollReadResult result;
        result.message =
            QStringLiteral("集金表「%1」").arg(shownPath(path)) + QString::fromUtf16(why);
        return result;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return failure(u"が見つかりません。");
    if (!info.isFile())
        return failure(u"はファイルではありません。");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(u"を開けません。");
    // One byte more than allowed tells a file that is too large, whatever its
    // size claims to be.
    const QByteArray bytes = file.read(maximumRollFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(u"を読めません。");
    return parseRoll(bytes, path);
}

QStringList attachRoll(CollectionRoll& roll, const StoredRoll& stored, const ArticlePtr& ledger) {
    roll.reset(stored.roster.size());
    roll.roster() = stored.roster;
    if (stored.rosterEdited)
        roll.markRosterEdited();
    roll.follow(ledger);

    const int count = roll.columnCount();
    // The ledger's collections by what identifies them, in ledger order; each
    // list's cursor skips the ones already matched.
    struct Candidates {
        std::vector<int> columns;
        std::size_t next = 0;
    };
    std::unordered_map<CollectionId, Candidates, CollectionIdHash> byId;
    for (int index = 0; index < count; ++index)
        byId[roll.column(index).id].columns.push_back(index);
    std::vector<bool> matched(std::size_t(count), false);

    QStringList dropped;
    for (const StoredRoll::Column& column : stored.columns) {
        int found = -1;
        const int atPosition = column.position - 1;
        if (atPosition >= 0 && atPosition < count && !matched[std::size_t(atPosition)] &&
            roll.column(atPosition).id == column.id) {
            found = atPosition;
        } else if (const auto candidates = byId.find(column.id); candidates != byId.end()) {
            Candidates& list = candidates->second;
            while (list.next < list.columns.size() && matched[std::size_t(list.columns[list.next])])
                ++list.next;
            if (list.next < list.columns.size())
                found = list.columns[list.next];
        }
        if (found < 0) {
            dropped << collectionName(column.id);
            continue;
        }
        matched[std::size_t(found)] = true;
        std::vector<bool> paid(std::size_t(roll.roster().size()), false);
        for (const int number : column.paid) {
            if (number >= 1 && number <= roll.roster().size())
                paid[std::size_t(number - 1)] = true;
        }
        roll.setColumn(roll.column(found).key, std::move(paid));
    }
    return dropped;
}

} // namespace sorobe
