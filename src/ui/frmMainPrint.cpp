// The print command and the page setup: the kind chosen on the settings
// page is confirmed, the printer chosen, the term lists rebuilt and the
// ledger or report of the period printed.

#include "PainterPrintSurface.h"
#include "PrintKinds.h"
#include "frmMain.h"

#include <QDateEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

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
    bool accepted = false;
    if (m_printDialog) {
        accepted = m_printDialog(chosen);
    } else {
        QPrintDialog dialog(&chosen, this);
        dialog.setWindowTitle(QStringLiteral("印刷"));
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        // Printing to a PDF file stays: on this desktop it is how a printout
        // is kept or mailed.
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (!accepted)
        return;

    guarded([&] {
        tabulateTerms();
        PainterPrintSurface surface(chosen);
        const PrintResult result = printKind(surface, m_state, m_state.printKind, printTitles());
        if (!result.ok)
            QMessageBox::warning(this, m_programTitle, result.message);
    });
}

void frmMain::mnuFilePageSetup_Click() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.setWindowTitle(QStringLiteral("ﾍﾟｰｼﾞ設定"));
    dialog.exec();
}

} // namespace sorobe
