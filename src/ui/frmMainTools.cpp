// The tools around the ledger: the ledger or the term pages written as CSV
// for a spreadsheet or the school office, the receipt check before the
// year-end audit, and next school year's book started from this one.

#include "CheckedArithmetic.h"
#include "DisplayFormat.h"
#include "FlexGrid.h"
#include "LedgerCsv.h"
#include "NewSchoolYear.h"
#include "ReceiptCheck.h"
#include "TermCalendar.h"
#include "TermCsv.h"
#include "WholeFile.h"
#include "frmMain.h"
#include "frmReceiptCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <algorithm>

namespace sorobe {

namespace {

// The file question's choices: what is written, and in which encoding. The
// first is what the question offers.
struct CsvChoice {
    const char16_t* filter;
    bool termPages;
    CsvEncoding encoding;
};
constexpr CsvChoice csvChoices[] = {
    {u"すべての記録 CSV（UTF-8 BOM付き） (*.csv)", false, CsvEncoding::Utf8WithBom},
    {u"すべての記録 CSV（Shift_JIS） (*.csv)", false, CsvEncoding::ShiftJis},
    {u"学期ごとの集計 CSV（UTF-8 BOM付き） (*.csv)", true, CsvEncoding::Utf8WithBom},
    {u"学期ごとの集計 CSV（Shift_JIS） (*.csv)", true, CsvEncoding::ShiftJis},
};

} // namespace

bool frmMain::refuseDocumentFile(const QString& path) {
    // Anything written over the ledger's own file would lose the ledger.
    if (!isDocumentFile(path))
        return false;
    QMessageBox::warning(this, m_programTitle,
                         QStringLiteral("「%1」は開いている帳簿のファイルです。"
                                        "別の名前を付けて書き出してください。")
                             .arg(QDir::toNativeSeparators(path)));
    return true;
}

void frmMain::mnuFileExportCsv_Click() {
    QStringList filters;
    for (const CsvChoice& choice : csvChoices)
        filters << QString::fromUtf16(choice.filter);
    const QFileInfo ledger(m_state.fileName);
    const QString offered =
        m_state.fileName.isEmpty()
            ? QDir(startFolder()).filePath(QStringLiteral("学級会計.csv"))
            : ledger.dir().filePath(ledger.completeBaseName() + QStringLiteral(".csv"));
    QString filter = filters.join(QStringLiteral(";;"));
    const QString path =
        chooseFileAndFilter(QStringLiteral("CSVに書き出す"), filter, true, offered);
    if (path.isEmpty() || refuseDocumentFile(path))
        return;
    const CsvChoice& choice = csvChoices[std::max<qsizetype>(0, filters.indexOf(filter))];

    CsvResult csv;
    if (choice.termPages) {
        // The pages as they are shown: tabulated from the ledger as it stands.
        tabulateTerms();
        std::vector<TermCsvPage> pages;
        for (const PeriodInfo& info : termPeriods)
            pages.push_back({QString::fromUtf16(info.name),
                             incomeList(m_state.termLists, info.period),
                             supplyList(m_state.termLists, info.period)});
        csv = termPagesCsv(pages, choice.encoding);
    } else {
        csv = ledgerCsv(m_state.ledger, choice.encoding);
    }
    if (!csv.ok()) {
        QMessageBox::warning(this, m_programTitle,
                             csv.fault +
                                 QStringLiteral("\nUTF-8で書き出すか、"
                                                "この文字を直してから書き出してください。"));
        return;
    }
    QString why;
    if (!replaceWholeFile(path, csv.bytes, {}, &why))
        QMessageBox::warning(this, m_programTitle,
                             QStringLiteral("「%1」に書き出せませんでした。%2")
                                 .arg(QDir::toNativeSeparators(path), why));
}

int frmMain::expenseCount() const {
    int count = 0;
    for (const SorobeArticle* entry = m_state.ledger->nextArticle().get(); entry;
         entry = entry->nextArticle().get())
        count += entry->taIncome() ? 0 : 1;
    return count;
}

void frmMain::mnuToolsReceiptCheck_Click() {
    if (!m_receiptCheck) {
        m_receiptCheck = new frmReceiptCheck(this);
        connect(m_receiptCheck, &frmReceiptCheck::recheckRequested, this,
                [this] { guarded([&] { refreshReceiptCheck(); }); });
        connect(m_receiptCheck, &frmReceiptCheck::entryChosen, this,
                [this](int number) { guarded([&] { showSupplyEntry(number); }); });
    }
    refreshReceiptCheck();
    m_receiptCheck->showBeside(this);
}

void frmMain::refreshReceiptCheck() {
    if (m_receiptCheck)
        m_receiptCheck->showFindings(checkReceipts(m_state.ledger), expenseCount());
}

void frmMain::showSupplyEntry(int number) {
    SSTabSheets->setCurrentIndex(2);
    // What is being typed on the expense page is the teacher's, not the check's.
    if (hasUnrecordedInput(supplyPage())) {
        QMessageBox::information(
            this, m_programTitle,
            QStringLiteral("支出の画面で入力中の記録があります。"
                           "記録するかｷｬﾝｾﾙしてから、もう一度選んでください。"));
        return;
    }
    if (number < 1 || number > m_state.supplyCount)
        return;
    // As a click on the entry's row of the list.
    MSFlexGridSupply->setRow(number);
    MSFlexGridSupply->setCol(0);
    clickList(supplyPage());
}

void frmMain::mnuFileNewYear_Click() {
    // The open document is closed: what is unsaved is asked about first.
    if (!askToSaveChanges())
        return;
    // The 年間 balance is the whole ledger's; a balance beyond 32 bits stops
    // here, before anything is closed.
    const std::int32_t balance = m_state.ledger->sumArticle();
    LedgerTitles titles = currentTitles();
    const int newYear = ledgerSchoolYear(titles.year, m_state.ledger, QDate::currentDate()) + 1;
    const std::optional<QString> nextYearText = nextSchoolYearText(titles.year);
    const std::int32_t key = m_state.keyCounter;
    const std::int32_t nextKey = checkedAdd(key, std::int32_t(1));

    closeDocument();
    if (nextYearText)
        titles.year = *nextYearText;
    showTitles(titles);
    ArticlePtr carry = makeYearCarry(balance, newYear, m_state.studentCount);
    carry->setTaKey(key);
    m_state.keyCounter = nextKey;
    m_state.ledger->addArticle(carry);
    m_state.incomeCount = 1;
    MSFlexGridIncome->setRows(m_state.incomeCount + 1);
    showIncomeList();
    fillSupplyReceiptList();
    m_state.termsStale = true;
    // A new book, not yet in any file: unsaved until 名前を付けて保存.
    m_state.modified = true;
    forgetHistory();
    SSTabSheets->setCurrentIndex(1);

    QString told =
        (nextYearText ? QStringLiteral("「%1」の帳簿を用意しました。").arg(*nextYearText)
                      : QStringLiteral("新しい年度の帳簿を用意しました。")) +
        QStringLiteral("前年度の残高 %1円を、%2年4月1日付けの「%3」として収入に記録しました。")
            .arg(formatAmount(balance))
            .arg(newYear)
            .arg(QString::fromUtf16(yearCarryArticle));
    if (!nextYearText)
        told += QStringLiteral("\n年度「%1」は読み取れなかったため、そのままにしてあります。"
                               "「設定」画面で新しい年度に直してください。")
                    .arg(titles.year);
    told += QStringLiteral("\n名前を付けて保存してください。");
    QMessageBox::information(this, m_programTitle, told);
}

} // namespace sorobe
