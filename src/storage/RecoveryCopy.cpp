#include "RecoveryCopy.h"

#include "WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace sorobe {

namespace {

const QString formatName = QStringLiteral("sorobe-recovery");
constexpr int formatVersion = 1;
const QString namePrefix = QStringLiteral("sorobe-");
const QString ledgerSuffix = QStringLiteral(".txt");
const QString infoSuffix = QStringLiteral(".info");
const QString rollSuffix = QStringLiteral(".roll");
const QString lockSuffix = QStringLiteral(".lock");
// The copy holds the families' money: readable by its owner only.
constexpr unsigned privateFile = 0600;

QString withoutSuffix(const QString& path, const QString& suffix) {
    return path.chopped(suffix.size());
}

// Only the names this program gives its copies: a ledger set aside whose
// own name begins with "sorobe-" is the teacher's, not a copy.
bool isCopyName(const QString& stem) {
    static const QRegularExpression copyName(QStringLiteral("^sorobe-[0-9]+-[0-9]+$"));
    return copyName.match(QFileInfo(stem).fileName()).hasMatch();
}

// What a writer stopped half-way through a whole-file save left of the copy.
void removeTemporaries(const QString& stem) {
    const QFileInfo copy(stem);
    QDir folder = copy.dir();
    for (const QString& name : folder.entryList(
             {QStringLiteral(".~sorobe-save.") + copy.fileName() + QStringLiteral(".*")},
             QDir::Files | QDir::Hidden))
        folder.remove(name);
}

// A running program is never taken for gone because its copy is old.
std::shared_ptr<QLockFile> lockFileOf(const QString& stem) {
    auto lock = std::make_shared<QLockFile>(stem + lockSuffix);
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

QByteArray encodeRecoveryInfo(const RecoveryInfo& info) {
    QJsonObject stamp;
    stamp.insert(QStringLiteral("exists"), info.stamp.exists);
    stamp.insert(QStringLiteral("size"), info.stamp.size);
    stamp.insert(QStringLiteral("modified"),
                 info.stamp.modified.toUTC().toString(Qt::ISODateWithMs));
    QJsonObject object;
    object.insert(QStringLiteral("format"), formatName);
    object.insert(QStringLiteral("version"), formatVersion);
    object.insert(QStringLiteral("ledger"), info.ledgerPath);
    object.insert(QStringLiteral("taken"), info.taken.toUTC().toString(Qt::ISODateWithMs));
    object.insert(QStringLiteral("stamp"), stamp);
    return QJsonDocument(object).toJson();
}

std::optional<RecoveryInfo> parseRecoveryInfo(const QByteArray& bytes) {
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    const QJsonObject object = document.object();
    if (object.value(QStringLiteral("format")).toString() != formatName ||
        object.value(QStringLiteral("version")).toInt() != formatVersion)
        return std::nullopt;
    RecoveryInfo info;
    info.ledgerPath = object.value(QStringLiteral("ledger")).toString();
    info.taken =
        QDateTime::fromString(object.value(QStringLiteral("taken")).toString(), Qt::ISODateWithMs);
    if (!info.taken.isValid())
        return std::nullopt;
    const QJsonObject stamp = object.value(QStringLiteral("stamp")).toObject();
    info.stamp.exists = stamp.value(QStringLiteral("exists")).toBool();
    info.stamp.size = stamp.value(QStringLiteral("size")).toInteger();
    info.stamp.modified = QDateTime::fromString(stamp.value(QStringLiteral("modified")).toString(),
                                                Qt::ISODateWithMs);
    return info;
}

QString recoveryFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

// ---- this program's own copy

struct RecoveryCopy::Writer {
    struct Job {
        bool remove = false;
        LedgerTitles titles;
        ArticlePtr entries;
        QByteArray roll;
        RecoveryInfo info;
    };

    QString stem;
    std::shared_ptr<QLockFile> lock;
    bool usable = false;

    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::optional<Job> waiting;
    bool busy = false;
    bool stopping = false;
    std::thread thread;

    void run() {
        std::unique_lock<std::mutex> hold(mutex);
        for (;;) {
            wake.wait(hold, [this] { return waiting || stopping; });
            if (!waiting)
                return;
            Job job = std::move(*waiting);
            waiting.reset();
            busy = true;
            hold.unlock();
            write(job);
            // The entries are let go here, off the window's thread.
            job = Job{};
            hold.lock();
            busy = false;
            idle.notify_all();
        }
    }

    void write(const Job& job) {
        const QString ledgerCopy = stem + ledgerSuffix;
        const QString roll = stem + rollSuffix;
        const QString info = stem + infoSuffix;
        if (job.remove) {
            QFile::remove(ledgerCopy);
            QFile::remove(roll);
            QFile::remove(info);
            return;
        }
        // A document the ledger format cannot hold (a character outside the
        // code page) cannot be copied either; its save says why. The last
        // copy that could be written stays.
        const LedgerEncoding encoded = encodeLedger(job.titles, job.entries);
        if (!encoded.ok())
            return;
        // The info goes first and comes back last: a copy cut off in between
        // is one of a document never saved, never one document's entries
        // under another's file name.
        QFile::remove(info);
        WholeFileOptions options;
        options.throughLink = false;
        options.permissions = privateFile;
        QString why;
        if (job.roll.isEmpty())
            QFile::remove(roll);
        if (!replaceWholeFile(ledgerCopy, encoded.bytes, options, &why) ||
            (!job.roll.isEmpty() && !replaceWholeFile(roll, job.roll, options, &why)) ||
            !replaceWholeFile(info, encodeRecoveryInfo(job.info), options, &why))
            qWarning("そろべえ: 復元用のコピーを書けません: %s", qUtf8Printable(why));
    }
};

RecoveryCopy::RecoveryCopy(const QString& folder)
    : m_writer(std::make_unique<Writer>()) {
    QDir().mkpath(folder);
    m_writer->stem =
        QDir(folder).filePath(namePrefix + QStringLiteral("%1-%2")
                                               .arg(QCoreApplication::applicationPid())
                                               .arg(QDateTime::currentMSecsSinceEpoch()));
    m_writer->lock = lockFileOf(m_writer->stem);
    m_writer->usable = m_writer->lock->tryLock(0);
    if (m_writer->usable)
        m_writer->thread = std::thread([writer = m_writer.get()] { writer->run(); });
}

RecoveryCopy::~RecoveryCopy() {
    if (!m_writer->thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> hold(m_writer->mutex);
        m_writer->stopping = true;
    }
    m_writer->wake.notify_all();
    m_writer->thread.join();
}

void RecoveryCopy::keep(const LedgerTitles& titles, ArticlePtr entries, const QByteArray& roll,
                        const RecoveryInfo& info) {
    if (!m_writer->usable)
        return;
    {
        std::lock_guard<std::mutex> hold(m_writer->mutex);
        m_writer->waiting = Writer::Job{false, titles, std::move(entries), roll, info};
    }
    m_writer->wake.notify_all();
}

void RecoveryCopy::discard() {
    if (!m_writer->usable)
        return;
    {
        std::lock_guard<std::mutex> hold(m_writer->mutex);
        m_writer->waiting = Writer::Job{true, {}, {}, {}, {}};
    }
    m_writer->wake.notify_all();
}

void RecoveryCopy::waitForWriter() {
    std::unique_lock<std::mutex> hold(m_writer->mutex);
    m_writer->idle.wait(hold, [this] { return !m_writer->waiting && !m_writer->busy; });
}

QString RecoveryCopy::ledgerCopyPath() const {
    return m_writer->stem + ledgerSuffix;
}

// ---- copies left behind

std::vector<LeftRecoveryCopy> findLeftRecoveryCopies(const QString& folder) {
    std::vector<LeftRecoveryCopy> found;
    const QDir dir(folder);
    QStringList stems;
    for (const QString& suffix : {ledgerSuffix, rollSuffix, infoSuffix, lockSuffix}) {
        for (const QString& name : dir.entryList({namePrefix + u'*' + suffix}, QDir::Files))
            stems << withoutSuffix(dir.filePath(name), suffix);
    }
    stems.removeDuplicates();
    for (const QString& stem : stems) {
        if (!isCopyName(stem))
            continue;
        // Held by a running program (this one, too): not left behind.
        std::shared_ptr<QLockFile> hold = lockFileOf(stem);
        if (!hold->tryLock(0))
            continue;
        const QString ledgerCopy = stem + ledgerSuffix;
        // A program that ended with nothing unsaved, or was stopped while
        // it removed its copy, leaves only what goes with a copy.
        if (!QFileInfo::exists(ledgerCopy)) {
            removeTemporaries(stem);
            QFile::remove(stem + rollSuffix);
            QFile::remove(stem + infoSuffix);
            hold->unlock();
            continue;
        }
        LeftRecoveryCopy copy;
        copy.ledgerCopyPath = ledgerCopy;
        if (QFileInfo::exists(stem + rollSuffix))
            copy.rollCopyPath = stem + rollSuffix;
        QFile infoFile(stem + infoSuffix);
        std::optional<RecoveryInfo> info;
        if (infoFile.open(QIODevice::ReadOnly))
            info = parseRecoveryInfo(infoFile.readAll());
        if (info) {
            copy.info = *info;
        } else {
            copy.info.taken = QFileInfo(ledgerCopy).lastModified();
        }
        copy.hold = std::move(hold);
        found.push_back(std::move(copy));
    }
    std::sort(found.begin(), found.end(), [](const LeftRecoveryCopy& a, const LeftRecoveryCopy& b) {
        return a.info.taken > b.info.taken;
    });
    return found;
}

QString recoveryAsidePath(const LeftRecoveryCopy& copy) {
    const QFileInfo ledgerCopy(copy.ledgerCopyPath);
    const QString document = copy.info.ledgerPath.isEmpty()
                                 ? QStringLiteral("無題")
                                 : QFileInfo(copy.info.ledgerPath).completeBaseName();
    const QString base =
        document + u' ' +
        copy.info.taken.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH.mm")) +
        QStringLiteral(" 保存されていなかった変更");
    // Neither the ledger nor its roll may take a name already there.
    const auto taken = [](const QString& path) {
        return QFileInfo::exists(path) ||
               QFileInfo::exists(withoutSuffix(path, ledgerSuffix) + rollSuffix);
    };
    QString path = ledgerCopy.dir().filePath(base + ledgerSuffix);
    for (int k = 2; taken(path); ++k)
        path = ledgerCopy.dir().filePath(base + QStringLiteral("（%1）").arg(k) + ledgerSuffix);
    return path;
}

bool setRecoveryCopyAside(LeftRecoveryCopy& copy) {
    const QString aside = recoveryAsidePath(copy);
    if (!QFile::rename(copy.ledgerCopyPath, aside))
        return false;
    // Named as the roll of the ledger set aside, so that 開く finds it.
    if (!copy.rollCopyPath.isEmpty())
        QFile::rename(copy.rollCopyPath, withoutSuffix(aside, ledgerSuffix) + rollSuffix);
    removeRecoveryCopy(copy);
    return true;
}

void removeRecoveryCopy(LeftRecoveryCopy& copy) {
    const QString stem = withoutSuffix(copy.ledgerCopyPath, ledgerSuffix);
    QFile::remove(copy.ledgerCopyPath);
    QFile::remove(stem + rollSuffix);
    QFile::remove(stem + infoSuffix);
    removeTemporaries(stem);
    if (copy.hold)
        copy.hold->unlock();
    copy.hold.reset();
}

} // namespace sorobe
