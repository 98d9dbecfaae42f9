// The print command and the page setup: the kind chosen on the settings
// page is confirmed, the printer chosen, the term lists rebuilt and the
// ledger or report of the period printed.

#include "PainterPrintSurface.h"
#include "PrintKinds.h"
#include "frmMain.h"

#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryFile>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace sorobe {

QPrinter& frmMain::printer() {
    // One printer for the run: what the page setup chooses is what the
    // printouts use, until the program ends.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void frmMain::setPrintDialog(PrintDialog dialog) {
    m_printDialog = std::move(dialog);
}

PrintTitles frmMain::printTitles() const {
    // The same settings-page values the ledger file keeps, and the report's date.
    const LedgerTitles titles = currentTitles();
    PrintTitles print;
    print.classAccount = titles.accountKind == AccountKind::ClassAccount;
    print.schoolName = titles.schoolName;
    print.year = titles.year;
    print.grade = titles.grade;
    print.room = titles.room;
    print.teacher = titles.teacher;
    print.title = titles.title;
    print.reporter = titles.reporter;
    print.reportDate = DTPickerPrintDate->date();
    return print;
}

void frmMain::mnuFilePrint_Click() {
    const QString kindName = m_state.printKindNames.value(m_state.printKind);
    QMessageBox question(QMessageBox::NoIcon, QStringLiteral("そろべえ"),
                         kindName + QStringLiteral("を印刷します。よろしいですか？"),
                         QMessageBox::Yes | QMessageBox::No, this);
    if (question.exec() != QMessageBox::Yes) {
        QMessageBox::information(
            this, QStringLiteral("そろべえ"),
            QStringLiteral("「設定」画面から、印刷の種類を選択してください。"));
        return;
    }

    QPrinter& chosen = printer();
    if (!choosePrinter(chosen))
        return;
    guarded([&] {
        tabulateTerms();
        renderPrintKind(chosen);
    });
}

bool frmMain::choosePrinter(QPrinter& chosen) {
    if (m_printDialog)
        return m_printDialog(chosen);
    QPrintDialog dialog(&chosen, this);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    // Printing to a PDF file stays: on this desktop it is how a printout
    // is kept or mailed.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

bool frmMain::renderPrintKind(QPrinter& target) {
    PainterPrintSurface surface(target);
    const PrintResult result = printKind(surface, m_state, m_state.printKind, printTitles());
    if (!result.ok)
        QMessageBox::warning(this, m_programTitle, result.message);
    return result.ok;
}

void frmMain::mnuFilePreview_Click() {
    // What the print command would print, without the question: a look is
    // harmless. Printing from the preview draws the same pages again.
    tabulateTerms();
    showPreview(m_state.printKindNames.value(m_state.printKind), QPageLayout::Portrait,
                [this](QPrinter& target) { return renderPrintKind(target); });
}

void frmMain::showPreview(const QString& what, QPageLayout::Orientation orientation,
                          const std::function<bool(QPrinter&)>& render) {
    printer().setPageOrientation(orientation);
    QPrintPreviewDialog preview(&printer(), this);
    preview.setObjectName(QStringLiteral("frmPreview"));
    preview.setWindowTitle(QStringLiteral("印刷プレビュー - ") + what);
    // Big enough to read a whole page: most of the screen's height.
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        const int height = room.height() * 9 / 10;
        const int width = orientation == QPageLayout::Landscape ? height * 4 / 3 : height * 3 / 4;
        preview.resize(std::min(room.width(), width), height);
    }
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &render](QPrinter* target) { guarded([&] { render(*target); }); });
    preview.exec();
}

void frmMain::mnuFileExportPdf_Click() {
    const QString kindName = m_state.printKindNames.value(m_state.printKind);
    // 「2026年度 年間会計報告.pdf」 beside the ledger, or the kind alone
    // where the open and save questions start.
    const QFileInfo ledger(m_state.fileName);
    const QString offered = m_state.fileName.isEmpty()
                                ? QDir(startFolder()).filePath(kindName + QStringLiteral(".pdf"))
                                : ledger.dir().filePath(ledger.completeBaseName() + u' ' +
                                                        kindName + QStringLiteral(".pdf"));
    QString path = chooseFile(QStringLiteral("PDFに書き出す"),
                              QStringLiteral("PDF ファイル (*.pdf)"), true, offered);
    if (path.isEmpty() || refuseDocumentFile(path))
        return;
    tabulateTerms();
    exportPdf(path, QPageLayout::Portrait, [this](QPrinter& pdf) { return renderPrintKind(pdf); });
}

bool frmMain::exportPdf(const QString& path, QPageLayout::Orientation orientation,
                        const std::function<bool(QPrinter&)>& render) {

    // The pages go to a new file beside the chosen one, which takes its
    // place only when every page is written: a failure leaves no half PDF.
    const QFileInfo target(path);
    QTemporaryFile pages(target.dir().filePath(QStringLiteral(".sorobe-XXXXXX.pdf")));
    if (!QFileInfo(target.absolutePath()).isDir() || target.isDir() || !pages.open()) {
        QMessageBox::warning(this, m_programTitle,
                             QStringLiteral("「%1」に書き出せません。フォルダーがないか、"
                                            "書き込みが許されていません。")
                                 .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    pages.close();
    QPrinter pdf(QPrinter::HighResolution);
    preparePdfPrinter(pdf, pages.fileName(), orientation);
    if (!render(pdf))
        return false;
    // The PDF writer does not report a full disk: a file without its end
    // was not written whole, and must not take the place of a good one.
    QFile written(pages.fileName());
    const bool whole = written.open(QIODevice::ReadOnly) && written.size() > 0 &&
                       written.seek(std::max<qint64>(0, written.size() - 32)) &&
                       written.readAll().contains("%%EOF");
    written.close();
    // Readable by others, as a file saved by any program, or as the file it replaces.
    const QFileDevice::Permissions permissions =
        target.exists()
            ? QFile::permissions(path)
            : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                  QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    std::error_code failed;
    if (whole) {
        QFile::setPermissions(pages.fileName(), permissions);
        std::filesystem::rename(QFile::encodeName(pages.fileName()).toStdString(),
                                QFile::encodeName(path).toStdString(), failed);
    }
    if (!whole || failed) {
        QMessageBox::warning(this, m_programTitle,
                             QStringLiteral("「%1」に書き出せませんでした。%2")
                                 .arg(QDir::toNativeSeparators(path),
                                      whole ? QStringLiteral("ファイルを置き換えられません。")
                                            : QStringLiteral("ディスクの空きが足りない"
                                                             "可能性があります。")));
        return false;
    }
    pages.setAutoRemove(false);
    return true;
}

void frmMain::mnuFilePageSetup_Click() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.setWindowTitle(QStringLiteral("ﾍﾟｰｼﾞ設定"));
    dialog.exec();
}

} // namespace sorobe
