// The ledger file: its exact bytes, the three versions it is read in, the
// ledger order it is rebuilt in, the backup, and every failure leaving both
// the file on disk and the caller's document as they were.

#include "FileSizeLimit.h"
#include "GeneralDate.h"
#include "LedgerFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace sorobe;

Q_DECLARE_METATYPE(sorobe::AccountKind)
Q_DECLARE_METATYPE(sorobe::LedgerReadFault)

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString fixture(const QString& name) {
    return QStringLiteral(SOROBE_TEST_DATA "/ledger/") + name;
}

ArticlePtr entryOf(bool income, const char* date, std::int16_t students, const QString& article,
                   const QString& sub, std::int16_t receipt, std::int32_t perPerson,
                   std::int32_t amount) {
    ArticlePtr entry = SorobeArticle::create();
    entry->setTaIncome(income);
    entry->setTaDate(parseGeneralDate(QString::fromLatin1(date)).value_or(DateTime()));
    entry->setTaStudentsNumber(students);
    entry->setTaArticle(article);
    entry->setTaSubArticle(sub);
    entry->setTaReceipt(receipt);
    entry->setTaPerPerson(perPerson);
    entry->setTaAmount(amount);
    return entry;
}

// "key|I|date|pupils|item|sub-item|receipt|per person|amount" per entry, in list order.
QStringList entriesOf(const ArticlePtr& head) {
    QStringList out;
    for (ArticlePtr e = head->nextArticle(); e; e = e->nextArticle())
        out << QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                   .arg(e->taKey())
                   .arg(e->taIncome() ? u"I" : u"S", formatGeneralDate(e->taDate()))
                   .arg(e->taStudentsNumber())
                   .arg(e->taArticle(), e->taSubArticle())
                   .arg(e->taReceipt())
                   .arg(e->taPerPerson())
                   .arg(e->taAmount());
    return out;
}

QStringList titlesOf(const LedgerTitles& t) {
    return QStringList{t.accountKind == AccountKind::ClassAccount ? u"class"_qs : u"other"_qs}
           << t.schoolName << t.year << t.grade << t.room << t.teacher << t.title << t.reporter;
}

LedgerTitles classTitles() {
    return {AccountKind::ClassAccount,
            u"市立そろばん小学校"_qs,
            u"平成14年度(2002年度）"_qs,
            u"第３学年"_qs,
            u"２組"_qs,
            u"山田　花子"_qs,
            u"使わない表題"_qs,
            u"使わない報告者"_qs};
}

// The ledger of written.txt, added out of order; 〜 − ‖ typed in their Linux forms.
ArticlePtr writtenLedger() {
    ArticlePtr head = SorobeArticle::create();
    head->addArticle(entryOf(true, "2003/03/31", 0, u"繰越"_qs, {}, 0, 0, 0));
    head->addArticle(
        entryOf(false, "2002/04/11", 0, u"画用紙\u2212返品\u2016"_qs, {}, 12, 0, -300));
    head->addArticle(entryOf(true, "2002/04/10 9:05:00", 30, u"学級費"_qs, u"4月分\u301c5月分"_qs,
                             0, 500, 15000));
    return head;
}

// Entries on few days with few receipt numbers, so that ties are many.
ArticlePtr manyEntries(int count, quint32 seed) {
    ArticlePtr head = SorobeArticle::create();
    SorobeArticle* last = head.get();
    for (int i = 0; i < count; ++i) {
        seed = (seed * 1103515245u + 12345u) >> 1;
        const int day = 1 + seed % 5;
        ArticlePtr e = entryOf(seed % 3 == 0, "2002/05/01", 1, QString::number(i), {},
                               static_cast<std::int16_t>(seed / 7 % 3), 0, i);
        e->setTaDate(DateTime(DateTime::fromDate(2002, 5, day).serial() + (seed % 2) * 0.5));
        last->insertArticle(e);
        last = e.get();
    }
    return head;
}

// Clones of the entries of `source` in its order, keyed from `firstKey`, put into
// `target` through addArticle or appended as they come.
void addCopies(const ArticlePtr& target, const ArticlePtr& source, int firstKey,
               bool throughAddArticle) {
    SorobeArticle* last = target.get();
    while (last->nextArticle())
        last = last->nextArticle().get();
    for (ArticlePtr e = source->nextArticle(); e; e = e->nextArticle()) {
        ArticlePtr copy = e->cloneArticle();
        copy->setTaKey(firstKey++);
        if (throughAddArticle) {
            target->addArticle(copy);
        } else {
            last->insertArticle(copy);
            last = copy.get();
        }
    }
}

// A folder to save 2002.txt in, laid out and read back as lines: "name=text" a
// file (OLD and NEW: the ledger before and after the save), "name->path" a
// link, "name/" a folder; "%d" stands for the folder's own path.
struct SaveFolder {
    QTemporaryDir dir;
    QDir root{dir.path()};
    const QHash<QString, QByteArray> known{
        {u"OLD"_qs, encodeLedger(classTitles(), manyEntries(5, 1)).bytes},
        {u"NEW"_qs, encodeLedger(classTitles(), manyEntries(7, 2)).bytes}};

    QByteArray local(const QString& name) const { return QFile::encodeName(root.filePath(name)); }
    bool lay(const QStringList& lines) const {
        for (const QString& line : lines) {
            const QStringList link = line.split(u"->"_qs);
            const qsizetype equals = line.indexOf(u'=');
            const QString text = line.mid(equals + 1);
            const bool made =
                link.size() == 2
                    ? ::symlink(QFile::encodeName(QString(link[1]).replace(u"%d"_qs, root.path())),
                                local(link[0])) == 0
                : equals < 0
                    ? root.mkpath(line)
                    : putFile(root.filePath(line.left(equals)), known.value(text, text.toUtf8()));
            if (!made)
                return false;
        }
        return true;
    }
    QStringList read() const {
        QStringList lines;
        QDirIterator all(root.path(),
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
        while (all.hasNext()) {
            const QFileInfo entry = all.nextFileInfo();
            const QString name = root.relativeFilePath(entry.filePath());
            if (entry.isSymLink()) {
                QByteArray link(4096, '\0');
                link.truncate(std::max<ssize_t>(0, ::readlink(local(name), link.data(), 4096)));
                lines << name + u"->"_qs + QFile::decodeName(link).replace(root.path(), u"%d"_qs);
            } else if (entry.isDir()) {
                lines << name + u'/';
            } else {
                const QByteArray bytes = fileBytes(entry.filePath());
                lines << name + u'=' + known.key(bytes, QString::fromUtf8(bytes));
            }
        }
        lines.sort();
        return lines;
    }
    int bits(const QString& name) const {
        struct stat status {};
        return ::stat(local(name), &status) == 0 ? int(status.st_mode & 07777) : -1;
    }
    bool setBits(const QString& name, int bits) const {
        return ::chmod(local(name), mode_t(bits)) == 0;
    }
};

} // namespace

class TestLedgerFile : public QObject {
    Q_OBJECT

private slots:
    void writesTheLayoutAndReadsItBack() {
        const QByteArray expected = fileBytes(fixture(u"written.txt"_qs));
        QTemporaryDir dir;
        const QString path = dir.filePath(u"2002年度.txt"_qs);
        const LedgerSaveResult saved = saveLedgerFile(path, classTitles(), writtenLedger());
        QVERIFY2(saved.ok, qPrintable(saved.message));
        QCOMPARE(fileBytes(path), expected);
        QVERIFY(!QFile::exists(dir.filePath(u"2002年度.bak"_qs)));

        // Read into an empty document and written again: the same bytes.
        const LedgerReadResult read = readLedgerFile(path);
        QVERIFY2(read.ok(), qPrintable(read.message));
        LedgerTitles titles;
        read.contents->titles.applyTo(titles);
        ArticlePtr ledger = SorobeArticle::create();
        mergeIntoLedger(ledger, read.contents->ledger);
        QCOMPARE(encodeLedger(titles, ledger).bytes, expected);
    }

    void emptyLedger_data() {
        QTest::addColumn<AccountKind>("kind");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("学級の会計: 7 lines") << AccountKind::ClassAccount
                                             << QByteArray("iSorobe135\r\nTrue\r\nS\r\nY\r\nG\r\n"
                                                           "R\r\nT\r\n");
        QTest::newRow("その他の会計: 4 lines")
            << AccountKind::OtherAccount << QByteArray("iSorobe135\r\nFalse\r\nTi\r\nRe\r\n");
    }

    void emptyLedger() {
        QFETCH(AccountKind, kind);
        QFETCH(QByteArray, expected);
        const LedgerTitles titles{kind,    u"S"_qs, u"Y"_qs,  u"G"_qs,
                                  u"R"_qs, u"T"_qs, u"Ti"_qs, u"Re"_qs};
        QCOMPARE(encodeLedger(titles, SorobeArticle::create()).bytes, expected);
        QCOMPARE(encodeLedger(titles, nullptr).bytes, expected);
    }

    void readsEveryVersion_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("lineFeedsOnly");
        QTest::addColumn<QStringList>("titles");
        const QString year = u"平成14年度(2002年度）"_qs;
        const QStringList classAll{u"class"_qs, u"市立そろばん小学校"_qs, year,    u"第３学年"_qs,
                                   u"２組"_qs,  u"山田　花子"_qs,         u"-"_qs, u"-"_qs};
        QStringList classNoSchool = classAll;
        classNoSchool[1] = u"-"_qs;
        const QStringList other{
            u"other"_qs,          u"-"_qs,         u"-"_qs, u"-"_qs, u"-"_qs, u"-"_qs,
            u"子ども会の会計"_qs, u"佐藤　一郎"_qs};
        QTest::newRow("iSorobe135 学級") << u"v135_class.txt"_qs << false << classAll;
        QTest::newRow("iSorobe135 学級, LF") << u"v135_class.txt"_qs << true << classAll;
        QTest::newRow("iSorobe135 その他") << u"v135_other.txt"_qs << false << other;
        QTest::newRow("iSorobe 学級") << u"isorobe_class.txt"_qs << false << classNoSchool;
        QTest::newRow("iSorobe その他") << u"isorobe_other.txt"_qs << false << other;
        QTest::newRow("Sorobe") << u"sorobe.txt"_qs << false << classNoSchool;
    }

    void readsEveryVersion() {
        QFETCH(QString, file);
        QFETCH(bool, lineFeedsOnly);
        QFETCH(QStringList, titles);
        QByteArray bytes = fileBytes(fixture(file));
        if (lineFeedsOnly)
            bytes.replace("\r\n", "\n");
        const LedgerReadResult read = parseLedger(bytes, file);
        QVERIFY2(read.ok(), qPrintable(read.message));
        // Values the version does not carry keep what the page showed.
        const QString k = u"-"_qs;
        LedgerTitles shown{AccountKind::OtherAccount, k, k, k, k, k, k, k};
        read.contents->titles.applyTo(shown);
        QCOMPARE(titlesOf(shown), titles);
        QCOMPARE(entriesOf(read.contents->ledger),
                 (QStringList{u"3|S|2002/04/08|0|遠足のバス代||3|0|12000"_qs,
                              u"1|I|2002/04/10 9:05:00|30|学級費|4月分|0|500|15000"_qs,
                              u"2|S|2002/04/12|0|画用紙（返品）||12|0|-300"_qs}));
        QCOMPARE(read.contents->incomeCount, std::int16_t(1));
        QCOMPARE(read.contents->supplyCount, std::int16_t(2));
        QCOMPARE(read.contents->nextKey, 4);
    }

    void readsWhatTheFormatAllows_data() {
        QTest::addColumn<QByteArray>("entryLines");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number lines without a number")
            << QByteArray("True\r\n2002/04/10\r\n\r\nA\r\n\r\nx\r\n -\r\n5 0\r\n")
            << u"1|I|2002/04/10|0|A||0|0|50"_qs;
        QTest::newRow("blank lines after the last entry")
            << QByteArray("Yes\r\n2002/04/10\r\n 1\r\nA\r\nB\r\n 2\r\n 3\r\n 4\r\n\r\n\n")
            << u"1|S|2002/04/10|1|A|B|2|3|4"_qs;
        QTest::newRow("CR as the last byte")
            << QByteArray("True\r\n2002/04/10\r\n 1\r\nA\r\nB\r\n 2\r\n 3\r\n 4\r")
            << u"1|I|2002/04/10|1|A|B|2|3|4"_qs;
        QTest::newRow("two-digit year of an old file")
            << QByteArray("True\r\n02/04/10 9:05:00\r\n 1\r\nA\r\nB\r\n 2\r\n 3\r\n 4\r\n")
            << u"1|I|2002/04/10 9:05:00|1|A|B|2|3|4"_qs;
    }

    void readsWhatTheFormatAllows() {
        QFETCH(QByteArray, entryLines);
        QFETCH(QString, expected);
        const LedgerReadResult read =
            parseLedger("Sorobe\r\nY\r\nG\r\nR\r\nT\r\n" + entryLines, {});
        QVERIFY2(read.ok(), qPrintable(read.message));
        QCOMPARE(entriesOf(read.contents->ledger), QStringList{expected});
    }

    // The file's order is lost, the order addArticle gives is not: ties stay
    // in file order, and entries merged into a ledger go after its equal ones.
    void ordersAsAddArticle_data() {
        QTest::addColumn<int>("ledgerEntries");
        QTest::addColumn<bool>("ledgerInOrder");
        QTest::addColumn<bool>("mergeFileOrder");
        QTest::newRow("empty ledger") << 0 << true << false;
        QTest::newRow("ledger with entries") << 40 << true << false;
        QTest::newRow("ledger put out of order") << 40 << false << false;
        QTest::newRow("entries merged in file order") << 40 << true << true;
    }

    void ordersAsAddArticle() {
        QFETCH(int, ledgerEntries);
        QFETCH(bool, ledgerInOrder);
        QFETCH(bool, mergeFileOrder);
        const ArticlePtr inFileOrder = manyEntries(600, 7);
        const LedgerReadResult read = parseLedger(encodeLedger({}, inFileOrder).bytes, {});
        QVERIFY2(read.ok(), qPrintable(read.message));
        ArticlePtr expected = SorobeArticle::create();
        addCopies(expected, inFileOrder, 1, true);
        QCOMPARE(entriesOf(read.contents->ledger), entriesOf(expected));

        // The document's own entries, then the file's entries in file order.
        const ArticlePtr own = manyEntries(ledgerEntries, 3);
        ArticlePtr ledger = SorobeArticle::create();
        addCopies(ledger, own, 1000, ledgerInOrder);
        expected = SorobeArticle::create();
        addCopies(expected, own, 1000, ledgerInOrder);
        addCopies(expected, inFileOrder, 1, true);
        ArticlePtr source = read.contents->ledger;
        if (mergeFileOrder) {
            source = SorobeArticle::create();
            addCopies(source, inFileOrder, 1, false);
        }
        mergeIntoLedger(ledger, source);
        QCOMPARE(entriesOf(ledger), entriesOf(expected));
        QVERIFY(!source->nextArticle());
    }

    void backupHoldsThePreviousVersion() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"2002年度.txt"_qs);
        const QString backup = dir.filePath(u"2002年度.bak"_qs);
        QByteArray versions[3];
        for (int i = 0; i < 3; ++i) {
            LedgerTitles titles;
            titles.teacher = QString::number(i);
            const LedgerSaveResult saved = saveLedgerFile(path, titles, manyEntries(i * 4, i));
            QVERIFY2(saved.ok, qPrintable(saved.message));
            QVERIFY(saved.message.isEmpty());
            versions[i] = fileBytes(path);
            QCOMPARE(versions[i], encodeLedger(titles, manyEntries(i * 4, i)).bytes);
            if (i == 0)
                QVERIFY(!QFile::exists(backup));
            else
                QCOMPARE(fileBytes(backup), versions[i - 1]);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"2002年度.bak"_qs, u"2002年度.txt"_qs}));
    }

    // What a save leaves in the folder, and why it made none: a link at the
    // ledger's name is kept and the file it leads to written (a ledger kept in
    // a synced folder); one at the backup's name is replaced and what it led to
    // left alone; leftovers of a stopped save of these files go, nothing else.
    // Root may write whatever the permissions say: rows that lock are skipped.
    void saveLeavesTheFolder_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("locked"); // made read-only for the save
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("why"); // after 「%1」に保存できませんでした。
        QTest::addColumn<QStringList>("after"); // none: as before
        const QString l = u"2002.txt"_qs, memo = QStringLiteral("other.txt=他人のメモ");
        const QStringList saved{u"2002.bak=OLD"_qs, u"2002.txt=NEW"_qs};
        QTest::newRow("backup's name links to another file")
            << QStringList{u"2002.txt=OLD"_qs, u"2002.bak->%d/other.txt"_qs, memo} << QString() << l
            << QString() << saved + QStringList{memo};
        QTest::newRow("ledger's name links into a synced folder")
            << QStringList{u"2002.txt->s/2002.txt"_qs, u"s/"_qs, u"s/2002.txt=OLD"_qs} << QString()
            << l << QString()
            << QStringList{u"2002.bak=OLD"_qs, u"2002.txt->s/2002.txt"_qs, u"s/"_qs,
                           u"s/2002.txt=NEW"_qs};
        QTest::newRow("ledger's name links to no file yet")
            << QStringList{u"2002.txt->s/2002.txt"_qs, u"s/"_qs} << QString() << l << QString()
            << QStringList{u"2002.txt->s/2002.txt"_qs, u"s/"_qs, u"s/2002.txt=NEW"_qs};
        QTest::newRow("ledger's name links into no folder")
            << QStringList{u"2002.txt->gone/2002.txt"_qs} << QString() << l
            << QStringLiteral("リンクの先のフォルダー「%d/gone」がありません。") << QStringList();
        const QStringList kept{
            u".~sorobe-save.other.txt.abc123=x"_qs, u".~sorobe-save.2002.txt.abc12=x"_qs,
            u".~sorobe-save.2002.txt.abc-12=x"_qs,  u".~sorobe-save.2002.txt.abc123.txt=x"_qs,
            u".~sorobe-save.2002.txt.abc123/"_qs,   u".~sorobe-lock.2002.txt#="_qs};
        QTest::newRow("leftovers")
            << kept + QStringList{u"2002.txt=OLD"_qs, u".~sorobe-save.2002.txt.Ab12Z9=OLD"_qs,
                                  u".~sorobe-save.2002.bak.000000="_qs}
            << QString() << l << QString() << kept + saved;
        // Cut to 234 bytes in its temporaries' names, to keep within 255.
        const QString longName = QString(78, u'あ');
        QTest::newRow("leftover of a long name")
            << QStringList{longName + u".txt=OLD"_qs,
                           u".~sorobe-save."_qs + longName + u".abc123="_qs}
            << QString() << longName + u".txt"_qs << QString()
            << QStringList{longName + u".bak=OLD"_qs, longName + u".txt=NEW"_qs};
        QTest::newRow("folder missing")
            << QStringList() << QString() << u"gone/2002.txt"_qs
            << QStringLiteral("保存先のフォルダー「%d/gone」がありません。") << QStringList();
        QTest::newRow("folder at the path")
            << QStringList{u"2002.txt/"_qs} << QString() << l
            << QStringLiteral("同じ名前のフォルダーがあります。") << QStringList();
        QTest::newRow("read-only folder")
            << QStringList{u"ro/"_qs, u"ro/2002.txt=OLD"_qs} << u"ro"_qs << u"ro/2002.txt"_qs
            << QStringLiteral("書き込みが許されていません。") << QStringList();
        QTest::newRow("read-only ledger")
            << QStringList{u"2002.txt=OLD"_qs} << l << l
            << QStringLiteral("書き込みが許されていません。") << QStringList();
    }

    void saveLeavesTheFolder() {
        QFETCH(QStringList, before);
        QFETCH(QString, locked);
        QFETCH(QString, saved);
        QFETCH(QString, why);
        QFETCH(QStringList, after);
        if (!locked.isEmpty() && ::geteuid() == 0)
            QSKIP("root may write whatever the permissions say");
        SaveFolder folder;
        QVERIFY(folder.lay(before));
        const QStringList untouched = folder.read();
        const int bits = folder.bits(locked);
        QVERIFY(locked.isEmpty() || folder.setBits(locked, bits & 0555));
        const LedgerSaveResult result =
            saveLedgerFile(folder.root.filePath(saved), classTitles(), manyEntries(7, 2));
        QVERIFY(locked.isEmpty() || folder.setBits(locked, bits));
        QCOMPARE(result.message, why.isEmpty() ? QString()
                                               : QString(u"「%1」に保存できませんでした。"_qs + why)
                                                     .replace(u"%1"_qs, folder.root.filePath(saved))
                                                     .replace(u"%d"_qs, folder.root.path()));
        QCOMPARE(result.ok, why.isEmpty());
        after.sort();
        QCOMPARE(folder.read(), after.isEmpty() ? untouched : after);
    }

    // The backup holds what the ledger held, so it is for the same eyes; the
    // ledger keeps its own bits, whatever the umask, and a first one gets the
    // usual ones.
    void saveKeepsPermissionBits_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("ledgerFile"); // where the ledger's bytes are
        QTest::addColumn<int>("ledgerBits");     // -1: a first save
        QTest::addColumn<int>("backupBits");     // -1: no backup yet
        const QStringList both{u"2002.txt=OLD"_qs, u"2002.bak=x"_qs};
        QTest::newRow("first save") << QStringList() << u"2002.txt"_qs << -1 << -1;
        QTest::newRow("private ledger, open backup") << both << u"2002.txt"_qs << 0600 << 0644;
        QTest::newRow("group's ledger") << both << u"2002.txt"_qs << 0664 << 0600;
        QTest::newRow("private ledger behind a link")
            << QStringList{u"2002.txt->s/2002.txt"_qs, u"s/"_qs, u"s/2002.txt=OLD"_qs}
            << u"s/2002.txt"_qs << 0600 << -1;
    }

    void saveKeepsPermissionBits() {
        QFETCH(QStringList, before);
        QFETCH(QString, ledgerFile);
        QFETCH(int, ledgerBits);
        QFETCH(int, backupBits);
        SaveFolder folder;
        QVERIFY(folder.lay(before));
        QVERIFY(ledgerBits < 0 || folder.setBits(ledgerFile, ledgerBits));
        QVERIFY(backupBits < 0 || folder.setBits(u"2002.bak"_qs, backupBits));
        const mode_t usual = ::umask(022);
        const LedgerSaveResult saved =
            saveLedgerFile(folder.root.filePath(u"2002.txt"_qs), classTitles(), nullptr);
        ::umask(usual);
        QVERIFY2(saved.ok, qPrintable(saved.message));
        QCOMPARE(folder.bits(ledgerFile), ledgerBits < 0 ? 0644 : ledgerBits);
        QCOMPARE(folder.bits(u"2002.bak"_qs), ledgerBits);
    }

    void backupPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("backup");
        QTest::newRow("extension") << u"/d/2002年度.txt"_qs << u"/d/2002年度.bak"_qs;
        QTest::newRow("dot in the folder") << u"a.b/ledger"_qs << u"a.b/ledger.bak"_qs;
        QTest::newRow("folder with a dot, name with one")
            << u"/home/x.y/z.2002.txt"_qs << u"/home/x.y/z.2002.bak"_qs;
        QTest::newRow("name ending in a dot") << u"name."_qs << u"name.bak"_qs;
        QTest::newRow("hidden file") << u"/d/.hidden"_qs << u"/d/.hidden.bak"_qs;
        QTest::newRow("no folder, no dot") << u"ledger"_qs << u"ledger.bak"_qs;
    }

    void backupPath() {
        QFETCH(QString, path);
        QFETCH(QString, backup);
        QCOMPARE(ledgerBackupPath(path), backup);
    }

    // Tests run as root, for whom permissions stop no write: paths that cannot
    // become a file, a disk that fills up, text that cannot be written.
    void failedSaveKeepsTheOldFile_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("sizeLimit");
        QTest::addColumn<QString>("badItem");
        QTest::addColumn<bool>("inSubItem");
        QTest::addColumn<QString>("badTeacher");
        QTest::addColumn<QStringList>("named");
        QTest::addColumn<bool>("backupWritten");
        const QString ok;
        QTest::newRow("path is a folder")
            << u"folder"_qs << 0 << ok << false << ok << QStringList{u"folder"_qs} << false;
        QTest::newRow("parent is a regular file")
            << u"plain/x.txt"_qs << 0 << ok << false << ok << QStringList{u"plain"_qs} << false;
        QTest::newRow("disk full")
            << u"small.txt"_qs << 1000 << ok << false << ok << QStringList{u"small.txt"_qs} << true;
        QTest::newRow("disk full for the backup")
            << u"big.txt"_qs << 1000 << ok << false << ok
            << QStringList{u"big.txt"_qs, u"big.bak"_qs} << false;
        QTest::newRow("item") << u"big.txt"_qs << 0 << u"𠮷野家"_qs << false << ok
                              << QStringList{u"big.txt"_qs, u"支出 2の項目：「𠮷」"_qs} << false;
        QTest::newRow("sub-item") << u"big.txt"_qs << 0 << u"caf\u00e9"_qs << true << ok
                                  << QStringList{u"支出 2の内訳：「é」"_qs} << false;
        QTest::newRow("line break") << u"big.txt"_qs << 0 << u"二\n行"_qs << false << ok
                                    << QStringList{u"支出 2の項目：改行"_qs} << false;
        QTest::newRow("title field") << u"big.txt"_qs << 0 << ok << false << u"\u20ac"_qs
                                     << QStringList{u"担任：「€」"_qs} << false;
    }

    void failedSaveKeepsTheOldFile() {
        QFETCH(QString, target);
        QFETCH(int, sizeLimit);
        QFETCH(QString, badItem);
        QFETCH(bool, inSubItem);
        QFETCH(QString, badTeacher);
        QFETCH(QStringList, named);
        QFETCH(bool, backupWritten);
        QTemporaryDir dir;
        QDir root(dir.path());
        QVERIFY(root.mkdir(u"folder"_qs));
        QVERIFY(putFile(root.filePath(u"plain"_qs), "plain"));
        const QByteArray small = encodeLedger(classTitles(), nullptr).bytes;
        const QByteArray big = encodeLedger(classTitles(), manyEntries(60, 1)).bytes;
        QVERIFY(small.size() < 1000 && big.size() > 1000);
        QVERIFY(putFile(root.filePath(u"small.txt"_qs), small));
        QVERIFY(putFile(root.filePath(u"big.txt"_qs), big));

        ArticlePtr ledger = manyEntries(60, 2);
        LedgerTitles titles = classTitles();
        titles.teacher += badTeacher;
        const ArticlePtr secondExpense = ledger->nextSupplyArticle()->nextSupplyArticle();
        if (inSubItem)
            secondExpense->setTaSubArticle(badItem);
        else if (!badItem.isEmpty())
            secondExpense->setTaArticle(badItem);
        LedgerSaveResult saved;
        bool limited = true;
        {
            std::optional<FileSizeLimit> limit;
            if (sizeLimit > 0)
                limited = limit.emplace(sizeLimit).active();
            saved = saveLedgerFile(root.filePath(target), titles, ledger);
        }
        QVERIFY(limited);
        QVERIFY(!saved.ok);
        for (const QString& part : named)
            QVERIFY2(saved.message.contains(part), qPrintable(saved.message));
        QCOMPARE(fileBytes(root.filePath(u"small.txt"_qs)), small);
        QCOMPARE(fileBytes(root.filePath(u"big.txt"_qs)), big);
        QCOMPARE(fileBytes(root.filePath(u"plain"_qs)), QByteArray("plain"));
        QStringList left{u"big.txt"_qs, u"folder"_qs, u"plain"_qs, u"small.txt"_qs};
        if (backupWritten) {
            QCOMPARE(fileBytes(root.filePath(u"small.bak"_qs)), small);
            left.append(u"small.bak"_qs);
            left.sort();
        }
        QCOMPARE(root.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), left);
        QVERIFY(QDir(root.filePath(u"folder"_qs))
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void damagedFileReadsNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("firstKey");
        QTest::addColumn<LedgerReadFault>("fault");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("fragment");
        const QByteArray head("iSorobe135\r\nFalse\r\nT\r\nR\r\n");
        const QByteArray entry("True\r\n2002/04/10\r\n 30\r\nA\r\nB\r\n 0\r\n 10\r\n 300\r\n");
        const auto damage = [&](const char* from, const QByteArray& to) {
            return head + entry + QByteArray(entry).replace(from, to);
        };
        const auto damaged = LedgerReadFault::Damaged;
        QTest::newRow("not a ledger") << QByteArray("iSorobe136\r\n") + entry << 1
                                      << LedgerReadFault::NotLedger << 1 << u"iSorobe135"_qs;
        QTest::newRow("empty file")
            << QByteArray() << 1 << LedgerReadFault::NotLedger << 1 << u"1行目"_qs;
        QTest::newRow("ends inside the titles")
            << QByteArray("iSorobe\r\nTrue\r\nY\r\nG\r\n") << 1 << damaged << 5 << u"「学級」"_qs;
        QTest::newRow("ends inside an entry") << head + entry + entry.left(entry.indexOf("A\r\n"))
                                              << 1 << damaged << 16 << u"収入 2の「項目」"_qs;
        QTest::newRow("bad date") << damage("2002/04/10", "2002/02/30") << 1 << damaged << 14
                                  << u"収入 2の「日付」）の「2002/02/30」"_qs;
        QTest::newRow("receipt 40000") << damage("\n 0\r", "\n 40000\r") << 1 << damaged << 18
                                       << u"収入 2の「領収書番号」）の「40000」"_qs;
        QTest::newRow("amount 3000000000")
            << damage(" 300\r", "3000000000\r") << 1 << damaged << 20 << u"収入 2の「金額」"_qs;
        QTest::newRow("undecodable bytes")
            << damage("A\r", "\x81\x20\r") << 1 << damaged << 16 << u"文字として読めない"_qs;
        QTest::newRow("unended first line that is no version")
            << QByteArray("hello") << 1 << LedgerReadFault::NotLedger << 1 << u"1行目"_qs;
        QTest::newRow("version line cut short")
            << QByteArray("iSorobe") << 1 << damaged << 1 << u"切れている"_qs;
        QTest::newRow("amount cut short") << head + entry + entry.left(entry.size() - 4) << 1
                                          << damaged << 20 << u"切れている"_qs;
        QTest::newRow("cut inside a character")
            << head + entry + entry.left(entry.indexOf("A\r\n")) + "\x8a" << 1 << damaged << 16
            << u"切れている"_qs;
        QTest::newRow("CR inside an item")
            << damage("A\r", "A\rZ\r") << 1 << damaged << 16 << u"収入 2の「項目」）に改行"_qs;
        QTest::newRow("CR before the line end")
            << damage("2002/04/10\r", "2002/04/10\r\r") << 1 << damaged << 14 << u"（CR）"_qs;
        QTest::newRow("more entries than keys")
            << head + entry + entry + entry << 2147483645 << damaged << 21 << u"多すぎ"_qs;
    }

    void damagedFileReadsNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, firstKey);
        QFETCH(LedgerReadFault, fault);
        QFETCH(int, line);
        QFETCH(QString, fragment);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"壊れた.txt"_qs);
        QVERIFY(putFile(path, bytes));
        const LedgerReadResult read = readLedgerFile(path, firstKey);
        QVERIFY(!read.ok());
        QCOMPARE(read.fault, fault);
        QCOMPARE(read.line, line);
        QVERIFY2(read.message.contains(fragment), qPrintable(read.message));
        QVERIFY(read.message.contains(u"「"_qs + path + u"」"_qs));
        QVERIFY(read.message.contains(QStringLiteral("%1行目").arg(line)));
    }

    void unopenablePathReadsNothing() {
        QTemporaryDir dir;
        for (const QString& path : {dir.path(), dir.filePath(u"missing.txt"_qs)}) {
            const LedgerReadResult read = readLedgerFile(path);
            QVERIFY(!read.ok());
            QCOMPARE(read.fault, LedgerReadFault::CannotOpen);
            QVERIFY(read.message.contains(path));
        }
    }
};

QTEST_GUILESS_MAIN(TestLedgerFile)
#include "tst_ledgerfile.moc"
