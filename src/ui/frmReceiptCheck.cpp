#include "frmReceiptCheck.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace sorobe {

namespace {

// The expense a line stands for: its number on the expense page, 0 for none.
constexpr int entryNumberRole = Qt::UserRole;

} // namespace

frmReceiptCheck::frmReceiptCheck(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmReceiptCheck"));
    setWindowTitle(QStringLiteral("領収書の点検"));
    setModal(false);

    LabelReceiptResult = new QLabel(this);
    LabelReceiptResult->setObjectName(QStringLiteral("LabelReceiptResult"));
    LabelReceiptResult->setWordWrap(true);

    TreeReceiptFindings = new QTreeWidget(this);
    TreeReceiptFindings->setObjectName(QStringLiteral("TreeReceiptFindings"));
    TreeReceiptFindings->setColumnCount(1);
    TreeReceiptFindings->header()->hide();
    // A long item is read by scrolling sideways, not cut off.
    TreeReceiptFindings->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TreeReceiptFindings->header()->setStretchLastSection(false);
    TreeReceiptFindings->setRootIsDecorated(true);
    // A double-click shows the expense; it does not fold the problem's lines.
    TreeReceiptFindings->setExpandsOnDoubleClick(false);
    TreeReceiptFindings->setToolTip(
        QStringLiteral("支出の行をダブルクリックすると、支出の画面にその記録を表示します。"));
    connect(TreeReceiptFindings, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* line) { chooseLine(line); });

    CommandReceiptRecheck = new QPushButton(QStringLiteral("もう一度点検(&A)"), this);
    CommandReceiptRecheck->setObjectName(QStringLiteral("CommandReceiptRecheck"));
    CommandReceiptClose = new QPushButton(QStringLiteral("閉じる"), this);
    CommandReceiptClose->setObjectName(QStringLiteral("CommandReceiptClose"));
    connect(CommandReceiptRecheck, &QPushButton::clicked, this, &frmReceiptCheck::recheckRequested);
    connect(CommandReceiptClose, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CommandReceiptRecheck);
    buttons->addWidget(CommandReceiptClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelReceiptResult);
    layout->addWidget(TreeReceiptFindings, 1);
    layout->addLayout(buttons);
    resize(500, 340);
}

void frmReceiptCheck::showBeside(const QWidget* window) {
    // Beside the main window rather than over it: the expense page stays in
    // sight while a finding is mended.
    if (!isVisible()) {
        const QRect frame = window->frameGeometry();
        const QScreen* screen = window->screen();
        const QRect room = screen ? screen->availableGeometry() : QRect();
        if (frame.right() + width() < room.right())
            move(frame.right() + 8, frame.top());
        else if (frame.left() - width() - 8 > room.left())
            move(frame.left() - width() - 8, frame.top());
    }
    show();
    raise();
    activateWindow();
}

void frmReceiptCheck::showFindings(const std::vector<ReceiptFinding>& findings, int expenseCount) {
    // The line chosen and the scroll stay where they were when the findings
    // are shown anew after a change of the ledger.
    const int scrolled = TreeReceiptFindings->verticalScrollBar()->value();
    QList<int> chosen;
    for (QTreeWidgetItem* line = TreeReceiptFindings->currentItem(); line; line = line->parent())
        chosen.prepend(line->parent() ? line->parent()->indexOfChild(line)
                                      : TreeReceiptFindings->indexOfTopLevelItem(line));
    const auto restorePlace = qScopeGuard([&] {
        QTreeWidgetItem* line = nullptr;
        for (int k = 0; k < chosen.size(); ++k) {
            QTreeWidgetItem* next =
                k == 0 ? TreeReceiptFindings->topLevelItem(chosen[k]) : line->child(chosen[k]);
            if (!next)
                break;
            line = next;
        }
        if (line)
            TreeReceiptFindings->setCurrentItem(line);
        TreeReceiptFindings->verticalScrollBar()->setValue(scrolled);
    });
    TreeReceiptFindings->clear();
    if (findings.empty()) {
        LabelReceiptResult->setText(QStringLiteral("支出 %1 件を点検しました。").arg(expenseCount));
        // A line that stands for nothing: it cannot be chosen.
        auto* line =
            new QTreeWidgetItem(QStringList{QStringLiteral("問題は見つかりませんでした。")});
        line->setFlags(Qt::ItemIsEnabled);
        TreeReceiptFindings->addTopLevelItem(line);
        return;
    }
    LabelReceiptResult->setText(
        QStringLiteral("支出 %1 件を点検しました。確かめることが %2 件あります。"
                       "支出の行をダブルクリックすると、その記録を表示します。")
            .arg(expenseCount)
            .arg(findings.size()));
    QList<QTreeWidgetItem*> lines;
    for (const ReceiptFinding& finding : findings) {
        auto* line = new QTreeWidgetItem(QStringList{finding.summary});
        // The problem's line shows its first expense, as a line of one does.
        line->setData(0, entryNumberRole,
                      finding.entries.empty() ? 0 : finding.entries.front().number);
        for (const ReceiptEntry& entry : finding.entries) {
            auto* expense = new QTreeWidgetItem(line, QStringList{describeReceiptEntry(entry)});
            expense->setData(0, entryNumberRole, entry.number);
        }
        lines.append(line);
    }
    TreeReceiptFindings->addTopLevelItems(lines);
    TreeReceiptFindings->expandAll();
}

void frmReceiptCheck::chooseLine(QTreeWidgetItem* line) {
    const int number = line ? line->data(0, entryNumberRole).toInt() : 0;
    if (number > 0)
        emit entryChosen(number);
}

} // namespace sorobe
