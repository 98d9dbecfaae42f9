#pragma once

// 領収書の点検: the problems the receipt check found in the expenses, one
// line per problem with the expenses it concerns below it. The window stays
// beside the main window, so that the teacher can mend an entry and look again.

#include "ReceiptCheck.h"

#include <QDialog>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace sorobe {

class frmReceiptCheck : public QDialog {
    Q_OBJECT

public:
    explicit frmReceiptCheck(QWidget* parent = nullptr);

    // Shows what the check of `expenseCount` expenses found.
    void showFindings(const std::vector<ReceiptFinding>& findings, int expenseCount);
    // Shown beside `window` when there is room on its screen, else over it.
    void showBeside(const QWidget* window);

    QLabel* LabelReceiptResult = nullptr;
    QTreeWidget* TreeReceiptFindings = nullptr;
    QPushButton* CommandReceiptRecheck = nullptr;
    QPushButton* CommandReceiptClose = nullptr;

signals:
    // The expense of that number on the expense page is to be shown.
    void entryChosen(int number);
    void recheckRequested();

private:
    void chooseLine(QTreeWidgetItem* line);
};

} // namespace sorobe
