#include "StartUp.h"

#include "AppVersion.h"
#include "HelpViewer.h"
#include "InstallLayout.h"
#include "ItemHistoryFile.h"
#include "RecoveryOffer.h"
#include "Twips.h"
#include "frmAbout.h"
#include "frmSplash.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace sorobe {

void configureApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("そろべえ"));
    QCoreApplication::setApplicationVersion(versionText());
    // The desktop matches the windows to the installed desktop entry by this
    // id, and shows that entry's name and icon for them.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(applicationId));
    // Japanese text must show real glyphs whatever the desktop's own font.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP"), font.family()});
    font.setPointSize(9);
    QApplication::setFont(font);

    // Qt's own dialogs and buttons (はい/いいえ, the file and printer choices)
    // speak Japanese too, whatever the desktop's language.
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto* translator = new QTranslator(qApp);
    if (translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

std::unique_ptr<frmMain> startUp(SharedState& state, const QString& ledger) {
    auto splash = std::make_unique<frmSplash>();
    splash->showAtOnce();

    state.incomeCount = 0;
    state.supplyCount = 0;
    state.studentCount = 30;
    state.modified = false;
    state.incomeHighlightRow = 0;
    state.supplyHighlightRow = 0;
    state.incomeGridRows = 0;
    state.supplyGridRows = 0;
    state.sheetRowCount.fill(0);

    state.ledger = SorobeArticle::create();
    state.incomeHistory = SorobeSelection::create();
    state.supplyHistory = SorobeSelection::create();
    state.termLists = TermLists{};

    auto window = std::make_unique<frmMain>(state);
    window->setWindowIcon(QIcon(paintApplicationIcon(32)));
    window->setItemHistoryFiles(itemHistoryReadPath(), itemHistoryWritePath());
    QObject::connect(window.get(), &frmMain::aboutRequested, window.get(),
                     [owner = window.get()] { showAboutBox(owner); });
    QObject::connect(window.get(), &frmMain::helpRequested, window.get(),
                     [owner = window.get()] { showHelpContents(owner, helpFilePath()); });
    window->Form_Load();

    state.fillPrintKindNames();
    splash->close();
    splash.reset();

    // Every run opens at the designed size; only the place is remembered.
    window->resize(twipsToPixels(frmMain::designedWidth), twipsToPixels(frmMain::designedHeight));
    window->show();
    // What a crashed program left comes back before anything else is
    // opened; a ledger named as well is then opened after the question
    // about the restored changes.
    const QString recovery = recoveryFolder();
    window->keepRecoveryCopiesIn(recovery);
    // The ledger named may be the one just restored (a teacher opens the
    // file again after a crash): it is in the window already, unsaved.
    const bool restored = offerRecoveryCopies(*window, recovery);
    if (!ledger.isEmpty() && !(restored && !state.fileName.isEmpty() &&
                               sameFileKey(ledger) == sameFileKey(state.fileName)))
        window->openLedger(ledger);
    return window;
}

} // namespace sorobe
