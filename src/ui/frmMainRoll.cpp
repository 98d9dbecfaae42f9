// The 集金 page: who has paid each collection of the ledger, kept in step
// with the ledger, saved and opened with it in a file of its own beside it,
// and printed for the office on A4 landscape.

#include "DisplayFormat.h"
#include "PainterPrintSurface.h"
#include "RollFile.h"
#include "RollPrintout.h"
#include "RollTableModel.h"
#include "frmMain.h"
#include "frmRoster.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace sorobe {

QWidget* frmMain::buildRollPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PageRoll"));
    m_roll = std::make_unique<CollectionRoll>();
    m_roll->reset(m_state.studentCount);
    m_rollModel = new RollTableModel(*m_roll, this);

    LabelRollSummary = new QLabel(page);
    LabelRollSummary->setObjectName(QStringLiteral("LabelRollSummary"));
    // The window keeps its designed size: a long summary wraps, it does not widen it.
    LabelRollSummary->setWordWrap(true);
    LabelRollSummary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto button = [page](const char* name, const QString& caption) {
        auto* made = new QPushButton(caption, page);
        made->setObjectName(QString::fromLatin1(name));
        made->setAutoDefault(false);
        return made;
    };
    CommandRollRoster = button("CommandRollRoster", QStringLiteral("名簿..."));
    CommandRollPrint = button("CommandRollPrint", QStringLiteral("印刷..."));
    CommandRollPreview = button("CommandRollPreview", QStringLiteral("印刷プレビュー..."));
    CommandRollPdf = button("CommandRollPdf", QStringLiteral("PDFに書き出す..."));

    GridRoll = new QTableView(page);
    GridRoll->setObjectName(QStringLiteral("GridRoll"));
    GridRoll->setModel(m_rollModel);
    GridRoll->setSelectionMode(QAbstractItemView::SingleSelection);
    GridRoll->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridRoll->horizontalHeader()->setDefaultSectionSize(72);
    GridRoll->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    GridRoll->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    GridRoll->setToolTip(
        QStringLiteral("クリックかスペースキーで「済」を付けたり外したりします。"));
    GridRoll->installEventFilter(this);
    connect(GridRoll, &QTableView::clicked, this,
            [this](const QModelIndex& cell) { guarded([&] { toggleRollCell(cell); }); });

    connect(CommandRollRoster, &QPushButton::clicked, this,
            [this] { guarded([&] { CommandRollRoster_Click(); }); });
    connect(CommandRollPrint, &QPushButton::clicked, this,
            [this] { guarded([&] { CommandRollPrint_Click(); }); });
    connect(CommandRollPreview, &QPushButton::clicked, this,
            [this] { guarded([&] { CommandRollPreview_Click(); }); });
    connect(CommandRollPdf, &QPushButton::clicked, this,
            [this] { guarded([&] { CommandRollPdf_Click(); }); });

    auto* top = new QHBoxLayout;
    top->addWidget(LabelRollSummary, 1);
    top->addWidget(CommandRollRoster);
    top->addWidget(CommandRollPreview);
    top->addWidget(CommandRollPrint);
    top->addWidget(CommandRollPdf);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(GridRoll, 1);
    showRollSummary();
    return page;
}

bool frmMain::rollKey(QKeyEvent* event) {
    // Space toggles the cell, as a tick box in a spreadsheet; the arrows
    // move as the table itself moves them.
    if (event->key() != Qt::Key_Space || event->modifiers() != Qt::NoModifier)
        return false;
    guarded([&] { toggleRollCell(GridRoll->currentIndex()); });
    return true;
}

void frmMain::toggleRollCell(const QModelIndex& cell) {
    const int pupil = m_rollModel->pupilOf(cell);
    const int collection = m_rollModel->collectionOf(cell);
    if (pupil == 0 || collection < 0 || !m_roll->toggle(collection, pupil))
        return;
    m_rollModel->tickChanged(pupil, collection);
    rollChanged();
}

void frmMain::rollChanged() {
    m_rollModified = true;
    m_rollEdited = true;
    historyChanged();
    showRollSummary();
    followRecovery();
}

void frmMain::showRollSummary() {
    int disagreeing = 0;
    for (int column = 0; column < m_roll->columnCount(); ++column)
        disagreeing += m_roll->foot(column).disagrees ? 1 : 0;
    QString summary = QStringLiteral("生徒 %1 人・集金 %2 回")
                          .arg(m_roll->roster().size())
                          .arg(m_roll->columnCount());
    if (m_roll->columnCount() == 0)
        summary += QStringLiteral("　収入に一人分の金額を入れて記録すると、集金の列ができます。");
    else if (disagreeing > 0)
        summary += QStringLiteral("　赤い人数の %1 回は、帳簿の生徒の数と合っていません。")
                       .arg(disagreeing);
    LabelRollSummary->setText(summary);
}

void frmMain::followLedgerInRoll() {
    m_roll->follow(m_state.ledger);
    // Until the teacher sets the roster, the class is as large as the most
    // pupils a collection of the ledger counted, else as 生徒の数.
    if (!m_roll->inUse()) {
        int pupils = 0;
        for (int column = 0; column < m_roll->columnCount(); ++column)
            pupils = std::max<int>(pupils, m_roll->column(column).ledgerPupils);
        pupils =
            std::clamp(pupils > 0 ? pupils : int(m_state.studentCount), 0, Roster::maximumSize);
        if (m_roll->roster().size() != pupils)
            m_roll->roster().resize(pupils);
    }
    m_rollModel->rebuild();
    showRollSummary();
}

void frmMain::CommandRollRoster_Click() {
    frmRoster dialog(m_roll->roster(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Roster& edited = dialog.roster();
    // Pupils taken off the end lose their ticks: asked first.
    int ticksLost = 0;
    for (int pupil = edited.size() + 1; pupil <= m_roll->roster().size(); ++pupil) {
        for (int column = 0; column < m_roll->columnCount(); ++column)
            ticksLost += m_roll->paid(column, pupil) ? 1 : 0;
    }
    if (ticksLost > 0 &&
        QMessageBox::question(this, m_programTitle,
                              QStringLiteral("名簿から外す生徒に「済」が %1 か所あります。"
                                             "外すと消えます。よろしいですか？")
                                  .arg(ticksLost)) != QMessageBox::Yes)
        return;
    if (edited == m_roll->roster())
        return;
    m_roll->roster() = edited;
    m_roll->dropTicksBeyond(edited.size());
    m_roll->markRosterEdited();
    m_rollModel->rebuild();
    rollChanged();
}

bool frmMain::renderRoll(QPrinter& target) {
    PainterPrintSurface surface(target, QPageLayout::Landscape);
    const PrintResult result = printRollDocument(surface, *m_roll, printTitles());
    if (!result.ok)
        QMessageBox::warning(this, m_programTitle, result.message);
    return result.ok;
}

void frmMain::CommandRollPrint_Click() {
    QPrinter& chosen = printer();
    chosen.setPageOrientation(QPageLayout::Landscape);
    if (choosePrinter(chosen))
        renderRoll(chosen);
    // The ledgers and reports are upright: their print dialog shows them so.
    chosen.setPageOrientation(QPageLayout::Portrait);
}

void frmMain::CommandRollPreview_Click() {
    showPreview(QStringLiteral("集金表"), QPageLayout::Landscape,
                [this](QPrinter& target) { return renderRoll(target); });
}

void frmMain::CommandRollPdf_Click() {
    const QFileInfo ledger(m_state.fileName);
    const QString offered =
        m_state.fileName.isEmpty()
            ? QDir(startFolder()).filePath(QStringLiteral("集金表.pdf"))
            : ledger.dir().filePath(ledger.completeBaseName() + QStringLiteral(" 集金表.pdf"));
    const QString path = chooseFile(QStringLiteral("PDFに書き出す"),
                                    QStringLiteral("PDF ファイル (*.pdf)"), true, offered);
    if (path.isEmpty() || refuseDocumentFile(path))
        return;
    exportPdf(path, QPageLayout::Landscape, [this](QPrinter& pdf) { return renderRoll(pdf); });
}

void frmMain::openRollBeside(const QString& ledgerPath, bool ledgerWasEmpty) {
    m_rollUnreadable = false;
    const QString rollPath = rollPathFor(ledgerPath);
    // A document never saved (one brought back from its recovery copy) has
    // no roll beside it.
    const bool hasFile = !ledgerPath.isEmpty() && QFileInfo::exists(rollPath);
    if (!ledgerWasEmpty) {
        // The file's entries join those already in the window, whose roll
        // stays; the file's own roll is not merged in, and is kept on disk
        // as it is until the teacher changes the roll.
        m_rollUnreadable = hasFile;
        if (hasFile)
            QMessageBox::information(
                this, m_programTitle,
                QStringLiteral("記録のある画面に開いたため、「%1」の集金表は読み込んでいません。"
                               "集金表を変えるまで、このファイルはそのまま残ります。")
                    .arg(QDir::toNativeSeparators(rollPath)));
        return;
    }
    m_roll->reset(m_state.studentCount);
    m_rollModified = false;
    m_rollEdited = false;
    if (!hasFile) {
        m_rollModel->rebuild();
        return;
    }
    const RollReadResult read = readRollFile(rollPath);
    if (!read.ok()) {
        // The ledger opens all the same; the damaged roll is kept on disk,
        // not written over, until the teacher changes the roll.
        m_rollUnreadable = true;
        m_rollModel->rebuild();
        QMessageBox::warning(this, m_programTitle,
                             read.message +
                                 QStringLiteral("\n帳簿は開きましたが、集金表は読み込んでいません。"
                                                "前に保存した集金表は「%1」に残っています。")
                                     .arg(QDir::toNativeSeparators(rollBackupPath(rollPath))));
        return;
    }
    const QStringList dropped = attachRoll(*m_roll, *read.roll, m_state.ledger);
    // The table shows the roll read before any message is on screen.
    m_rollModel->rebuild();
    if (!dropped.isEmpty()) {
        m_rollModified = true;
        QMessageBox::information(
            this, m_programTitle,
            QStringLiteral("集金表の次の集金は、帳簿の記録と合わないため外しました。"
                           "帳簿がほかで変更された可能性があります。\n") +
                dropped.join(u'\n'));
    }
}

bool frmMain::saveRollBeside(const QString& ledgerPath) {
    const QString rollPath = rollPathFor(ledgerPath);
    // A ledger whose roll was never used gets no roll file; one that has a
    // roll file keeps it in step. A roll that could not be read stays as
    // it is on disk until the teacher changes the roll.
    const bool hasFile = QFileInfo::exists(rollPath);
    if ((!m_roll->inUse() && !hasFile) || (m_rollUnreadable && !m_rollEdited)) {
        m_rollModified = false;
        return true;
    }
    // A roll file that could not be read is moved aside whole rather than
    // made the backup: the backup keeps the last roll that could be read.
    if (m_rollUnreadable && hasFile) {
        const QString aside = rollPath + QStringLiteral(".unreadable");
        QFile::remove(aside);
        if (!QFile::rename(rollPath, aside)) {
            QMessageBox::warning(this, m_programTitle,
                                 QStringLiteral("帳簿は保存しましたが、読めなかった集金表"
                                                "「%1」を置き換えられないため、集金表は"
                                                "保存していません。")
                                     .arg(QDir::toNativeSeparators(rollPath)));
            return false;
        }
    }
    const RollSaveResult saved = saveRollFile(rollPath, *m_roll);
    if (!saved.ok) {
        QMessageBox::warning(
            this, m_programTitle,
            QStringLiteral("帳簿は保存しましたが、集金表を保存できませんでした。\n") +
                saved.message);
        return false;
    }
    m_rollModified = false;
    m_rollUnreadable = false;
    return true;
}

void frmMain::closeRoll() {
    m_roll->reset(m_state.studentCount);
    m_rollModified = false;
    m_rollEdited = false;
    m_rollUnreadable = false;
    m_rollModel->rebuild();
    showRollSummary();
}

} // namespace sorobe
