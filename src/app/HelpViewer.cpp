#include "HelpViewer.h"

#include "Twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>

namespace sorobe {

namespace {

const QString productTitle = QStringLiteral("そろべえ");
const QString viewerTitle = QStringLiteral("そろべえ ﾍﾙﾌﾟ");
const QString noHelpText = QStringLiteral("ﾍﾙﾌﾟの目次を表示できません。 "
                                          "このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。");
const QString unreadableText = QStringLiteral("ﾍﾙﾌﾟﾌｧｲﾙ「%1」を開けません。");

// Messages of the help command carry the main window's caption.
QString ownerCaption(const QWidget* owner) {
    const QString caption = owner ? owner->window()->windowTitle() : QString();
    return caption.isEmpty() ? productTitle : caption;
}

void showMessage(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, ownerCaption(owner), text, QMessageBox::Ok, owner);
    box.exec();
}

// The viewer the owner has open already, if any. One closed a moment ago may
// still wait for its deletion; it is not reused.
HelpViewer* openViewerOf(QWidget* owner) {
    if (!owner)
        return nullptr;
    const auto viewers = owner->findChildren<HelpViewer*>(QString(), Qt::FindDirectChildrenOnly);
    for (HelpViewer* viewer : viewers) {
        if (viewer->isVisible())
            return viewer;
    }
    return nullptr;
}

} // namespace

HelpViewer::HelpViewer(QWidget* parent)
    : QDialog(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(viewerTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    resize(twipsToPixels(9600), twipsToPixels(8400));

    txtHelp = new QTextBrowser(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setOpenExternalLinks(true);

    auto* cmdContents = new QPushButton(QStringLiteral("目次"), this);
    cmdContents->setObjectName(QStringLiteral("cmdContents"));
    cmdContents->setAutoDefault(false);
    connect(cmdContents, &QPushButton::clicked, txtHelp, &QTextBrowser::home);

    auto* cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdContents);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtHelp, 1);
    layout->addLayout(buttons);
}

bool HelpViewer::openFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    // The browser reports nothing when it cannot read a file; ask first.
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.close();

    shownPath = info.absoluteFilePath();
    txtHelp->clearHistory();
    txtHelp->setSource(QUrl::fromLocalFile(shownPath), QTextDocument::HtmlResource);
    const QString title = txtHelp->documentTitle();
    setWindowTitle(title.isEmpty() ? viewerTitle : title);
    return true;
}

QString helpFilePathIn(const QString& folder) {
    if (folder.isEmpty())
        return {};
    const QString path = QDir(folder).filePath(QString::fromLatin1(helpFileName));
    return QFileInfo(path).isFile() ? path : QString();
}

QStringList helpFoldersFor(const QString& programFolder) {
    if (programFolder.isEmpty())
        return {};
    // Beside the program first: a help file kept with the program is the one
    // that belongs to it, as in the build tree.
    return {
        programFolder,
        QDir::cleanPath(QDir(programFolder).filePath(QString::fromLatin1(installedHelpFolder)))};
}

QString helpFilePathFor(const QString& programFolder) {
    for (const QString& folder : helpFoldersFor(programFolder)) {
        const QString path = helpFilePathIn(folder);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString helpFilePath() {
    try {
        if (!QCoreApplication::instance())
            return {};
        return helpFilePathFor(QCoreApplication::applicationDirPath());
    } catch (...) {
        return {};
    }
}

void showHelpContents(QWidget* owner, const QString& helpFile) {
    try {
        if (helpFile.isEmpty()) {
            showMessage(owner, QMessageBox::Information, noHelpText);
            return;
        }
        HelpViewer* viewer = openViewerOf(owner);
        const bool made = viewer == nullptr;
        if (made)
            viewer = new HelpViewer(owner);
        if (!viewer->openFile(helpFile)) {
            if (made)
                delete viewer;
            showMessage(owner, QMessageBox::Warning,
                        unreadableText.arg(QDir::toNativeSeparators(helpFile)));
            return;
        }
        viewer->show();
        viewer->raise();
        viewer->activateWindow();
    } catch (const std::exception& error) {
        // The help never stops the program: say what went wrong and go on.
        try {
            showMessage(owner, QMessageBox::NoIcon, QString::fromLocal8Bit(error.what()));
        } catch (...) {
        }
    } catch (...) {
    }
}

} // namespace sorobe
