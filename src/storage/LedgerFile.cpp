#include "LedgerFile.h"

#include "GeneralDate.h"
#include "LineFile.h"
#include "NumericText.h"
#include "WholeFile.h"

#include <QDir>
#include <algorithm>
#include <limits>
#include <vector>

namespace sorobe {

namespace {

const QString currentVersion = QStringLiteral("iSorobe135");
const QString classVersion = QStringLiteral("iSorobe");
const QString oldestVersion = QStringLiteral("Sorobe");
const QString trueText = QStringLiteral("True");

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// ---- order of the ledger

// The test addArticle makes while it walks: the new entry goes after `current`.
bool goesAfter(const SorobeArticle& current, const SorobeArticle& newrec) {
    return current.taDate() < newrec.taDate() ||
           (current.taDate() == newrec.taDate() && current.taReceipt() <= newrec.taReceipt());
}

// Puts entries into a list exactly where addArticle would, without walking the
// list from its head for each one. In a list in addArticle's order every entry
// before a node that the new entry goes after is also passed by, so the walk
// may start at such a node: the tail, or the entry added last. Entries that
// come in ledger order (a file's ledger merged into the document's) are so
// merged in one pass. A list not in that order (only insertArticle makes one)
// falls back to addArticle itself.
class OrderedInserter {
public:
    explicit OrderedInserter(SorobeArticle& head)
        : m_head(head) {
        m_tail = &head;
        for (SorobeArticle* node = head.nextArticle().get(); node;
             node = node->nextArticle().get()) {
            if (m_tail != &head && !goesAfter(*m_tail, *node))
                m_ordered = false;
            m_tail = node;
        }
    }

    void add(const ArticlePtr& entry) {
        if (!m_ordered) {
            m_head.addArticle(entry);
            return;
        }
        SorobeArticle* previous = &m_head;
        if (m_tail != &m_head && goesAfter(*m_tail, *entry))
            previous = m_tail;
        else if (m_last && goesAfter(*m_last, *entry))
            previous = m_last;
        for (SorobeArticle* next = previous->nextArticle().get(); next && goesAfter(*next, *entry);
             next = next->nextArticle().get())
            previous = next;
        previous->insertArticle(entry);
        m_last = entry.get();
        if (previous == m_tail)
            m_tail = entry.get();
    }

private:
    SorobeArticle& m_head;
    SorobeArticle* m_tail = nullptr;
    SorobeArticle* m_last = nullptr;
    bool m_ordered = true;
};

// ---- writing

struct TitleField {
    const char16_t* label;
    const QString* value;
};

bool writeTitles(LineWriter& writer, const LedgerTitles& titles, QString& fault) {
    const bool classAccount = titles.accountKind == AccountKind::ClassAccount;
    writer.writeBoolean(classAccount);
    const TitleField classFields[] = {{u"学校", &titles.schoolName},
                                      {u"年度", &titles.year},
                                      {u"学年", &titles.grade},
                                      {u"学級", &titles.room},
                                      {u"担任", &titles.teacher}};
    const TitleField otherFields[] = {{u"表題", &titles.title}, {u"報告者", &titles.reporter}};
    const auto write = [&](const auto& fields) {
        for (const TitleField& field : fields) {
            UnwritableText unwritable;
            if (!writer.writeLine(*field.value, &unwritable)) {
                fault = QString::fromUtf16(field.label) + u'：' + unwritable.message();
                return false;
            }
        }
        return true;
    };
    return classAccount ? write(classFields) : write(otherFields);
}

// ---- reading

QString kindName(bool income) {
    return income ? QStringLiteral("収入") : QStringLiteral("支出");
}

// A line as a message quotes it: without the blanks a number line starts
// with, and short, since a damaged file may hold very long lines.
QString quotedLine(const QString& line) {
    constexpr qsizetype shown = 20;
    const QString text = line.trimmed();
    if (text.size() <= shown)
        return text;
    return text.left(shown) + u'…';
}

class LedgerParser {
public:
    LedgerParser(LineReader reader, const QString& shownName, std::int32_t firstKey)
        : m_reader(std::move(reader))
        , m_shownName(shownName)
        , m_nextKey(firstKey) {}

    LedgerReadResult run() {
        LedgerContents contents;
        if (!readVersionAndTitles(contents.titles) || !readEntries(*contents.ledger))
            return std::move(m_result);
        contents.incomeCount = static_cast<std::int16_t>(m_incomeCount);
        contents.supplyCount = static_cast<std::int16_t>(m_supplyCount);
        contents.nextKey = m_nextKey;
        m_result.contents = std::move(contents);
        return std::move(m_result);
    }

private:
    // What a line holds, for messages: 「学年」 or 収入 3の「日付」.
    QString lineName(const char16_t* field) const {
        const QString quoted = u'「' + QString::fromUtf16(field) + u'」';
        if (m_entryNumber == 0)
            return quoted;
        return kindName(m_entryIncome) + u' ' + QString::number(m_entryNumber) + u'の' + quoted;
    }

    bool fail(LedgerReadFault fault, int line, const QString& detail) {
        m_result.fault = fault;
        m_result.line = line;
        m_result.message = fault == LedgerReadFault::NotLedger
                               ? QStringLiteral("「%1」は元帳のファイルではありません。%2")
                                     .arg(shownPath(m_shownName), detail)
                               : QStringLiteral("「%1」を読み込めませんでした。%2")
                                     .arg(shownPath(m_shownName), detail);
        return false;
    }

    // The program ends every line it writes, so a last line without its line
    // end was cut off in a copy: its value may be short by any number of
    // characters (" 25" where " 25600" stood).
    bool failCutShort() {
        const int line = m_reader.lineNumber();
        return fail(LedgerReadFault::Damaged, line,
                    QStringLiteral("ファイルが%1行目で終わっていて、その行の終わりがありません。"
                                   "途中で切れているようです。"
                                   "バックアップ（拡張子 .bak のファイル）を確かめてください。")
                        .arg(line));
    }

    enum class Next { Line, EndOfFile, Failed };

    // Reads the next line and checks that it is whole and can be saved again:
    // a CR that is not part of the line end would make every later save refuse
    // the value, so it is damage found now rather than then.
    Next readNext(QString& line, const char16_t* field) {
        const LineReader::Status status = m_reader.readLine(line);
        if (status == LineReader::Status::EndOfFile)
            return Next::EndOfFile;
        const int number = m_reader.lineNumber();
        if (!m_reader.lineEnded()) {
            failCutShort();
            return Next::Failed;
        }
        if (status == LineReader::Status::Undecodable) {
            fail(LedgerReadFault::Damaged, number, m_reader.errorMessage());
            return Next::Failed;
        }
        if (line.contains(u'\r')) {
            fail(LedgerReadFault::Damaged, number,
                 QStringLiteral("%1行目（%2）に改行の文字（CR）が混じっています。")
                     .arg(number)
                     .arg(lineName(field)));
            return Next::Failed;
        }
        return Next::Line;
    }

    // The line that has to come next, as text.
    bool readRequired(QString& line, const char16_t* field) {
        switch (readNext(line, field)) {
        case Next::Line:
            return true;
        case Next::Failed:
            return false;
        case Next::EndOfFile:
            break;
        }
        const int missing = m_reader.lineNumber() + 1;
        return fail(
            LedgerReadFault::Damaged, missing,
            QStringLiteral("%1行目にあるはずの%2がありません。ファイルが途中で切れています。")
                .arg(missing)
                .arg(lineName(field)));
    }

    bool readTitle(std::optional<QString>& value, const char16_t* field) {
        QString line;
        if (!readRequired(line, field))
            return false;
        value = std::move(line);
        return true;
    }

    bool readClassTitles(ReadLedgerTitles& titles, bool withSchool) {
        titles.accountKind = AccountKind::ClassAccount;
        return (!withSchool || readTitle(titles.schoolName, u"学校")) &&
               readTitle(titles.year, u"年度") && readTitle(titles.grade, u"学年") &&
               readTitle(titles.room, u"学級") && readTitle(titles.teacher, u"担任");
    }

    bool readVersionAndTitles(ReadLedgerTitles& titles) {
        QString version;
        // A file that does not even start with a readable line is taken for
        // what it most likely is, some other file, rather than a damaged ledger.
        if (m_reader.readLine(version) != LineReader::Status::Line ||
            (version != currentVersion && version != classVersion && version != oldestVersion))
            return fail(LedgerReadFault::NotLedger, 1,
                        QStringLiteral("1行目が「%1」「%2」「%3」のどれでもありません。")
                            .arg(currentVersion, classVersion, oldestVersion));
        if (!m_reader.lineEnded())
            return failCutShort();
        if (version == oldestVersion)
            return readClassTitles(titles, false);
        QString account;
        if (!readRequired(account, u"学級の会計かその他の会計か"))
            return false;
        if (account == trueText)
            return readClassTitles(titles, version == currentVersion);
        titles.accountKind = AccountKind::OtherAccount;
        return readTitle(titles.title, u"表題") && readTitle(titles.reporter, u"報告者");
    }

    // Blank lines after the last entry are no entry: a file touched by an
    // editor may end that way.
    bool onlyBlankLinesLeft() const {
        LineReader ahead = m_reader;
        QString line;
        for (;;) {
            switch (ahead.readLine(line)) {
            case LineReader::Status::EndOfFile:
                return true;
            case LineReader::Status::Line:
                if (!line.isEmpty())
                    return false;
                break;
            case LineReader::Status::Undecodable:
                return false;
            }
        }
    }

    bool readNumber(std::int32_t& value, const char16_t* field, IntWidth width) {
        QString line;
        if (!readRequired(line, field))
            return false;
        const std::optional<std::int32_t> number = numericValue(line, width);
        if (number) {
            value = *number;
            return true;
        }
        const bool narrow = width == IntWidth::Bits16;
        const qint64 low = narrow ? std::numeric_limits<std::int16_t>::min()
                                  : std::numeric_limits<std::int32_t>::min();
        const qint64 high = narrow ? std::numeric_limits<std::int16_t>::max()
                                   : std::numeric_limits<std::int32_t>::max();
        return fail(LedgerReadFault::Damaged, m_reader.lineNumber(),
                    QStringLiteral("%1行目（%2）の「%3」は範囲（%4～%5）を超えています。")
                        .arg(m_reader.lineNumber())
                        .arg(lineName(field), quotedLine(line))
                        .arg(low)
                        .arg(high));
    }

    bool readEntry(const QString& kindLine, SorobeArticle& entry) {
        m_entryIncome = kindLine == trueText;
        m_entryNumber = m_entryIncome ? ++m_incomeCount : ++m_supplyCount;
        entry.setTaIncome(m_entryIncome);

        QString line;
        if (!readRequired(line, u"日付"))
            return false;
        const std::optional<DateTime> date = parseGeneralDate(line);
        if (!date)
            return fail(LedgerReadFault::Damaged, m_reader.lineNumber(),
                        QStringLiteral("%1行目（%2）の「%3」は日付として読めません。")
                            .arg(m_reader.lineNumber())
                            .arg(lineName(u"日付"), quotedLine(line)));
        entry.setTaDate(*date);

        std::int32_t students = 0;
        if (!readNumber(students, u"生徒の数", IntWidth::Bits16))
            return false;
        entry.setTaStudentsNumber(static_cast<std::int16_t>(students));
        if (!readRequired(line, u"項目"))
            return false;
        entry.setTaArticle(line);
        if (!readRequired(line, u"内訳"))
            return false;
        entry.setTaSubArticle(line);
        std::int32_t receipt = 0;
        std::int32_t perPerson = 0;
        std::int32_t amount = 0;
        if (!readNumber(receipt, u"領収書番号", IntWidth::Bits16) ||
            !readNumber(perPerson, u"１人分", IntWidth::Bits32) ||
            !readNumber(amount, u"金額", IntWidth::Bits32))
            return false;
        entry.setTaReceipt(static_cast<std::int16_t>(receipt));
        entry.setTaPerPerson(perPerson);
        entry.setTaAmount(amount);
        return true;
    }

    // addArticle on an empty list, entry after entry, is a stable sort by date
    // and receipt number: done as one, a file in any order is read in
    // n log n steps instead of a walk along the list for every entry.
    static void linkInLedgerOrder(SorobeArticle& head, std::vector<ArticlePtr>& entries) {
        std::stable_sort(
            entries.begin(), entries.end(),
            [](const ArticlePtr& a, const ArticlePtr& b) { return !goesAfter(*b, *a); });
        SorobeArticle* last = &head;
        for (const ArticlePtr& entry : entries) {
            last->insertArticle(entry);
            last = entry.get();
        }
    }

    bool readEntries(SorobeArticle& head) {
        std::vector<ArticlePtr> entries;
        QString kindLine;
        for (;;) {
            m_entryNumber = 0;
            switch (readNext(kindLine, u"収入か支出か")) {
            case Next::EndOfFile:
                linkInLedgerOrder(head, entries);
                return true;
            case Next::Failed:
                return false;
            case Next::Line:
                break;
            }
            if (kindLine.isEmpty() && onlyBlankLinesLeft()) {
                linkInLedgerOrder(head, entries);
                return true;
            }
            const int firstLine = m_reader.lineNumber();
            ArticlePtr entry = SorobeArticle::create();
            if (!readEntry(kindLine, *entry))
                return false;
            // The pages number the entries of each kind in 16 bits, and the
            // key counter must still hold the next key.
            if (m_incomeCount > std::numeric_limits<std::int16_t>::max() ||
                m_supplyCount > std::numeric_limits<std::int16_t>::max() ||
                m_nextKey == std::numeric_limits<std::int32_t>::max())
                return fail(
                    LedgerReadFault::Damaged, firstLine,
                    QStringLiteral("記録が多すぎて、%1行目から先を読めません。").arg(firstLine));
            entry->setTaKey(m_nextKey++);
            entries.push_back(std::move(entry));
        }
    }

    LineReader m_reader;
    const QString m_shownName;
    std::int32_t m_nextKey;
    int m_incomeCount = 0;
    int m_supplyCount = 0;
    // The entry being read, for messages; number 0 while the titles are read.
    bool m_entryIncome = false;
    int m_entryNumber = 0;
    LedgerReadResult m_result;
};

} // namespace

void ReadLedgerTitles::applyTo(LedgerTitles& titles) const {
    titles.accountKind = accountKind;
    const auto take = [](const std::optional<QString>& read, QString& shown) {
        if (read)
            shown = *read;
    };
    take(schoolName, titles.schoolName);
    take(year, titles.year);
    take(grade, titles.grade);
    take(room, titles.room);
    take(teacher, titles.teacher);
    take(title, titles.title);
    take(reporter, titles.reporter);
}

LedgerEncoding encodeLedger(const LedgerTitles& titles, const ArticlePtr& ledger) {
    LedgerEncoding result;
    LineWriter writer;
    writer.writeLine(currentVersion);
    if (!writeTitles(writer, titles, result.fault))
        return result;

    int incomeNumber = 0;
    int supplyNumber = 0;
    for (const SorobeArticle* entry = ledger ? ledger->nextArticle().get() : nullptr; entry;
         entry = entry->nextArticle().get()) {
        const bool income = entry->taIncome();
        const int number = income ? ++incomeNumber : ++supplyNumber;
        writer.writeBoolean(income);
        writer.writeDate(entry->taDate());
        writer.writeNumber(entry->taStudentsNumber());
        UnwritableText unwritable;
        const char16_t* field = nullptr;
        if (!writer.writeLine(entry->taArticle(), &unwritable))
            field = u"項目";
        else if (!writer.writeLine(entry->taSubArticle(), &unwritable))
            field = u"内訳";
        if (field) {
            result.fault = QStringLiteral("%1 %2の%3：%4")
                               .arg(kindName(income))
                               .arg(number)
                               .arg(QString::fromUtf16(field), unwritable.message());
            return result;
        }
        writer.writeNumber(entry->taReceipt());
        writer.writeNumber(entry->taPerPerson());
        writer.writeNumber(entry->taAmount());
    }
    result.bytes = writer.bytes();
    return result;
}

QString ledgerBackupPath(const QString& path) {
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    // A dot that starts the name marks a hidden file, not an extension.
    if (dot > nameStart)
        return path.left(dot + 1) + QStringLiteral("bak");
    return path + QStringLiteral(".bak");
}

LedgerSaveResult saveLedgerFile(const QString& path, const LedgerTitles& titles,
                                const ArticlePtr& ledger) {
    const auto failure = [](const QString& message) {
        return LedgerSaveResult{false, message};
    };
    const QString shown = shownPath(path);
    const QString notSaved = QStringLiteral("「%1」に保存できませんでした。").arg(shown);

    const LedgerEncoding encoded = encodeLedger(titles, ledger);
    if (!encoded.ok())
        return failure(notSaved + encoded.fault);
    if (path.isEmpty())
        return failure(QStringLiteral("保存するファイルの名前がありません。"));
    // A file named like its own backup ("x.bak") has no separate place for one.
    QString why;
    if (!saveKeepingBackup(path, ledgerBackupPath(path), encoded.bytes, &why))
        return failure(notSaved + why);
    return LedgerSaveResult{true, QString()};
}

LedgerReadResult parseLedger(const QByteArray& bytes, const QString& shownName,
                             std::int32_t firstKey) {
    return LedgerParser(LineReader(bytes), shownName, firstKey).run();
}

LedgerReadResult readLedgerFile(const QString& path, std::int32_t firstKey) {
    LineReader file;
    QString reason;
    if (!file.openFile(path, &reason)) {
        LedgerReadResult result;
        result.fault = LedgerReadFault::CannotOpen;
        result.message = reason;
        return result;
    }
    return LedgerParser(std::move(file), path, firstKey).run();
}

void mergeIntoLedger(const ArticlePtr& ledger, const ArticlePtr& source) {
    if (!ledger || !source || ledger == source)
        return;
    ArticlePtr entry = source->nextArticle();
    source->setTaLink(nullptr);
    OrderedInserter inserter(*ledger);
    while (entry) {
        ArticlePtr next = entry->nextArticle();
        inserter.add(entry);
        entry = std::move(next);
    }
}

} // namespace sorobe
