// Opening a ledger from outside the open command: a file named on the
// command line, dropped on the window or chosen among the recent files; the
// recent files themselves, and where the file questions start.

#include "LedgerFile.h"
#include "RunningBalance.h"
#include "UserSettings.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardPaths>
#include <QTimer>

namespace sorobe {

namespace {

const QString recentFilesKey = QStringLiteral("RecentFiles");

// The one local file a drag carries, or nothing: several files, a folder or
// a web address are not a ledger to open.
QString draggedLedger(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile())
        return {};
    return url.toLocalFile();
}

// Takes the drag of a ledger file wherever it is dropped: on the window, or
// on a field that would otherwise take the file's name as text.
class LedgerDropCatcher : public QObject {
public:
    LedgerDropCatcher(QObject* window, std::function<void(const QString&)> open)
        : QObject(window)
        , m_open(std::move(open)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::DragEnter && event->type() != QEvent::DragMove &&
            event->type() != QEvent::Drop)
            return QObject::eventFilter(watched, event);
        auto* drag = static_cast<QDropEvent*>(event);
        const QString path = draggedLedger(drag->mimeData());
        if (path.isEmpty())
            return QObject::eventFilter(watched, event);
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        // The question about unsaved changes comes once the drag has ended:
        // a file manager waits for the drop to finish.
        if (event->type() == QEvent::Drop)
            QTimer::singleShot(0, parent(), [open = m_open, path] { open(path); });
        return true;
    }

private:
    std::function<void(const QString&)> m_open;
};

} // namespace

bool frmMain::openLedger(const QString& path) {
    const QString file = QFileInfo(path).absoluteFilePath();
    if (!askToSaveChanges())
        return false;
    // The document's own file, opened again, keeps the lock it has.
    const bool reopening = isDocumentFile(file);
    std::unique_ptr<LedgerLock> lock;
    OpenMode mode = m_readOnly ? OpenMode::ReadOnly : OpenMode::Editing;
    if (!reopening && (mode = lockForOpening(file, lock)) == OpenMode::Cancelled)
        return false;
    // The file is read whole before anything in the window changes: one
    // that cannot be read leaves the document as it was.
    LedgerReadResult read = readLedgerFile(file);
    if (!read.ok()) {
        QMessageBox::warning(this, m_programTitle, read.message);
        return false;
    }
    // Nor is one whose running balance leaves 32 bits.
    RunningBalance running;
    for (ArticlePtr entry = read.contents->ledger->nextArticle(); entry && running.fits();
         entry = entry->nextArticle())
        running.add(*entry);
    if (!running.fits()) {
        tellBalanceTooLarge();
        return false;
    }
    if (reopening)
        lock = std::move(m_lock);
    if (!m_state.fileName.isEmpty() || m_state.modified || m_state.ledger->nextArticle())
        closeDocument();
    const bool taken = takeLedger(*read.contents, file);
    forgetHistory();
    if (!taken)
        return false;
    m_lock = std::move(lock);
    m_readOnly = mode == OpenMode::ReadOnly;
    documentOpened(file);
    return true;
}

void frmMain::watchDrops() {
    setAcceptDrops(true);
    auto* catcher =
        new LedgerDropCatcher(this, [this](const QString& path) { openDroppedLedger(path); });
    installEventFilter(catcher);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->acceptDrops())
            child->installEventFilter(catcher);
    }
}

void frmMain::openDroppedLedger(const QString& path) {
    guarded([&] { openLedger(path); });
}

QStringList frmMain::recentFiles() const {
    UserSettings settings;
    QStringList files = settings.value(recentFilesKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, recentFileCount);
}

void frmMain::rememberRecentFile(const QString& path) {
    const QString file = QFileInfo(path).absoluteFilePath();
    QStringList files = recentFiles();
    files.removeAll(file);
    files.prepend(file);
    UserSettings().setValue(recentFilesKey, files.mid(0, recentFileCount));
    refreshRecentMenu();
}

void frmMain::refreshRecentMenu() {
    mnuFileRecent->clear();
    const QStringList files = recentFiles();
    for (qsizetype k = 0; k < files.size(); ++k) {
        // An & in a folder's name is shown, not taken for a shortcut key.
        QString shown = QDir::toNativeSeparators(files[k]);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* entry = mnuFileRecent->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(shown));
        entry->setObjectName(QStringLiteral("mnuFileRecent_%1").arg(k));
        connect(entry, &QAction::triggered, this,
                [this, file = files[k]] { guarded([&] { openRecentFile(file); }); });
    }
    mnuFileRecent->setEnabled(!files.isEmpty());
}

void frmMain::openRecentFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        QStringList files = recentFiles();
        files.removeAll(path);
        UserSettings().setValue(recentFilesKey, files);
        refreshRecentMenu();
        QMessageBox::warning(
            this, m_programTitle,
            QStringLiteral("「%1」が見つかりません。移動したか、削除されたようです。"
                           "最近使ったファイルの一覧から外しました。")
                .arg(QDir::toNativeSeparators(path)));
        return;
    }
    openLedger(path);
}

bool frmMain::isDocumentFile(const QString& path) const {
    return !m_state.fileName.isEmpty() && sameFileKey(path) == sameFileKey(m_state.fileName);
}

QString frmMain::startFolder() const {
    if (!m_state.fileName.isEmpty())
        return QFileInfo(m_state.fileName).absolutePath();
    for (const QString& file : recentFiles()) {
        const QString folder = QFileInfo(file).absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace sorobe
