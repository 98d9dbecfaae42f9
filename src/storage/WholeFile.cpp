#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sorobe {

namespace {

// As the system gives up on a chain of links.
constexpr int maximumLinkDepth = 40;
// The longest file name most file systems hold, in bytes.
constexpr qsizetype maximumNameBytes = 255;
constexpr QByteArrayView temporaryMark = ".~sorobe-save.";
constexpr qsizetype randomLength = 6;
constexpr QByteArrayView randomLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString shownFolder(const QByteArray& folder) {
    return shownPath(QDir::cleanPath(QFileInfo(QFile::decodeName(folder)).absoluteFilePath()));
}

// What a save would replace.
struct Target {
    QByteArray file; // the path itself, or where its links lead
    QByteArray folder;
    QByteArray name;
    bool reachedThroughLink = false;
    bool exists = false;
    struct stat status {}; // of `file` itself, when it exists
};

QString folderMissing(const Target& target) {
    return (target.reachedThroughLink ? QStringLiteral("リンクの先のフォルダー「%1」がありません。")
                                      : QStringLiteral("保存先のフォルダー「%1」がありません。"))
        .arg(shownFolder(target.folder));
}

QString whyOf(int error, const Target& target) {
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込みが許されていません。");
    case EROFS:
        return QStringLiteral("読み取り専用のディスクです。");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空きが足りません。");
    case EFBIG:
        return QStringLiteral("ディスクの空きが足りないか、ファイルが大きすぎます。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダーがあります。");
    case ENOENT:
    case ENOTDIR:
        return folderMissing(target);
    case ELOOP:
        return QStringLiteral("リンクが何重にもなっていて、その先をたどれません。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイルの名前が長すぎます。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    default:
        return QStringLiteral("（%1）").arg(qt_error_string(error));
    }
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The path a symbolic link holds, as it stands in the link.
std::optional<QByteArray> linkText(const QByteArray& link) {
    QByteArray text(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink(link.constData(), text.data(), text.size());
        if (length < 0)
            return std::nullopt;
        if (length < text.size()) {
            text.truncate(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

// Follows the links at `path` to the file they lead to, which need not exist.
// False for a chain too long to follow (or one that loops).
bool followLinks(QByteArray& path) {
    for (int depth = 0; depth < maximumLinkDepth; ++depth) {
        struct stat status {};
        if (::lstat(path.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return true;
        const std::optional<QByteArray> text = linkText(path);
        if (!text)
            return true; // gone meanwhile: whatever is there now is checked next
        path = text->startsWith('/') ? *text : folderOf(path) + '/' + *text;
    }
    return false;
}

// Finds what a save of `path` would replace and why it cannot, if it cannot.
QString inspect(const QString& path, const WholeFileOptions& options, Target& target) {
    const QString noName = QStringLiteral("保存するファイルの名前がありません。");
    if (path.isEmpty())
        return noName;
    const QByteArray local = QFile::encodeName(path);
    target.file = local;
    if (options.throughLink && !followLinks(target.file))
        return whyOf(ELOOP, target);
    target.reachedThroughLink = target.file != local;
    target.folder = folderOf(target.file);
    target.name = target.file.mid(target.file.lastIndexOf('/') + 1);

    struct stat folder {};
    if (::stat(target.folder.constData(), &folder) != 0)
        return whyOf(errno, target);
    if (!S_ISDIR(folder.st_mode))
        return folderMissing(target);
    target.exists = ::lstat(target.file.constData(), &target.status) == 0;
    if (target.exists) {
        if (S_ISDIR(target.status.st_mode))
            return whyOf(EISDIR, target);
        // A link is here only when it is to be replaced.
        if (!S_ISREG(target.status.st_mode) && !S_ISLNK(target.status.st_mode))
            return QStringLiteral("同じ名前の、ファイルではないものがあります。");
    } else if (errno != ENOENT) {
        return whyOf(errno, target);
    }
    if (target.name.isEmpty())
        return noName;
    // The new file is made in the folder; a file the user made read-only is
    // not replaced behind their back, but a backup or a link is ours to replace.
    if (::access(target.folder.constData(), W_OK | X_OK) != 0)
        return whyOf(errno, target);
    if (target.exists && options.throughLink && ::access(target.file.constData(), W_OK) != 0)
        return whyOf(errno, target);
    return QString();
}

// ".~sorobe-save.<name>." for the temporaries of the file `name`. A name too
// long to take the mark and the random letters beside it is shortened, by
// whole characters, the same way every time.
QByteArray temporaryPrefix(const QByteArray& name) {
    const qsizetype room = maximumNameBytes - temporaryMark.size() - 1 - randomLength;
    QByteArray kept = name;
    if (kept.size() > room) {
        QString characters = QFile::decodeName(name);
        while (!characters.isEmpty() && QFile::encodeName(characters).size() > room)
            characters.chop(characters.back().isLowSurrogate() ? 2 : 1);
        kept = QFile::encodeName(characters);
    }
    return temporaryMark.toByteArray() + kept + '.';
}

bool isOurTemporary(QByteArrayView entry, const QByteArray& prefix) {
    if (entry.size() != prefix.size() + randomLength || !entry.startsWith(prefix))
        return false;
    for (const char letter : entry.sliced(prefix.size())) {
        if (!randomLetters.contains(letter))
            return false;
    }
    return true;
}

// A save stopped half-way (the program killed, the power gone) leaves its
// temporary behind. Only regular files of exactly this file's pattern go:
// a lock, another file's temporary or anything the user made stays.
void removeLeftovers(const QByteArray& folder, const QByteArray& prefix) {
    DIR* listing = ::opendir(folder.constData());
    if (!listing)
        return;
    std::vector<QByteArray> leftovers;
    while (const dirent* entry = ::readdir(listing)) {
        if (isOurTemporary(QByteArrayView(entry->d_name), prefix))
            leftovers.push_back(folder + '/' + entry->d_name);
    }
    ::closedir(listing);
    for (const QByteArray& leftover : leftovers) {
        struct stat status {};
        if (::lstat(leftover.constData(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(leftover.constData());
    }
}

// Opens a new temporary of our own in `folder`; -1 with errno set on failure.
int createTemporary(const QByteArray& folder, const QByteArray& prefix, mode_t mode,
                    QByteArray& created) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = prefix;
        for (qsizetype i = 0; i < randomLength; ++i)
            name += randomLetters[QRandomGenerator::global()->bounded(randomLetters.size())];
        created = folder + '/' + name;
        const int descriptor =
            ::open(created.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

bool writeAll(int descriptor, const QByteArray& bytes) {
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

// So that the rename itself survives a power cut. Not every file system can
// sync a folder; the file is in place either way.
void syncFolder(const QByteArray& folder) {
    const int descriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

} // namespace

QString whyNotReplaceable(const QString& path, const WholeFileOptions& options) {
    Target target;
    return inspect(path, options, target);
}

bool replaceWholeFile(const QString& path, const QByteArray& bytes, const WholeFileOptions& options,
                      QString* why) {
    const auto fail = [&](const QString& text) {
        if (why)
            *why = text;
        return false;
    };
    Target target;
    const QString refused = inspect(path, options, target);
    if (!refused.isEmpty())
        return fail(refused);

    const QByteArray prefix = temporaryPrefix(target.name);
    removeLeftovers(target.folder, prefix);

    // Until it has its final bits, nobody else may read the temporary.
    std::optional<mode_t> bits;
    if (options.permissions)
        bits = static_cast<mode_t>(*options.permissions & 07777);
    else if (target.exists && S_ISREG(target.status.st_mode))
        bits = target.status.st_mode & 07777;
    QByteArray temporary;
    int descriptor = createTemporary(target.folder, prefix, bits ? 0600 : 0666, temporary);
    if (descriptor < 0)
        return fail(whyOf(errno, target));
    const auto abandon = [&](int error) {
        if (descriptor >= 0)
            ::close(descriptor);
        ::unlink(temporary.constData());
        return fail(whyOf(error, target));
    };
    if (bits && ::fchmod(descriptor, *bits) != 0)
        return abandon(errno);
    if (!writeAll(descriptor, bytes) || ::fsync(descriptor) != 0)
        return abandon(errno);
    const int closed = ::close(descriptor);
    descriptor = -1;
    if (closed != 0)
        return abandon(errno);
    if (::rename(temporary.constData(), target.file.constData()) != 0)
        return abandon(errno);
    syncFolder(target.folder);
    return true;
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* reason) {
    QString why;
    if (replaceWholeFile(path, bytes, {}, &why))
        return true;
    if (reason)
        *reason = QStringLiteral("「%1」に書き込めません。").arg(shownPath(path)) + why;
    return false;
}

bool saveKeepingBackup(const QString& path, const QString& backupPath, const QByteArray& bytes,
                       QString* why) {
    const auto fail = [&](const QString& text) {
        if (why)
            *why = text;
        return false;
    };
    // Whatever stops the save stops it before the backup is touched.
    const QString refused = whyNotReplaceable(path);
    if (!refused.isEmpty())
        return fail(refused);

    struct stat old {};
    if (backupPath != path && ::stat(QFile::encodeName(path).constData(), &old) == 0) {
        const QString unreadable =
            QStringLiteral("今のファイルを読めないため、バックアップを作れません。");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(unreadable);
        const QByteArray oldBytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fail(unreadable);
        // The backup holds what the file held, so it is for the same eyes.
        WholeFileOptions backup;
        backup.throughLink = false;
        backup.permissions = old.st_mode & 07777;
        QString backupWhy;
        if (!replaceWholeFile(backupPath, oldBytes, backup, &backupWhy))
            return fail(QStringLiteral("バックアップを作れません。「%1」に書き込めません。")
                            .arg(shownPath(backupPath)) +
                        backupWhy);
    }
    return replaceWholeFile(path, bytes, {}, why);
}

} // namespace sorobe
