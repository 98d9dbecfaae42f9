#pragma once

// 名簿: the class's pupils by 出席番号, their names, and the days they moved
// in (転入) or out (転出). Edits a copy; the roll takes it only on OK.

#include "Roster.h"

#include <QDialog>

class QSpinBox;
class QTableWidget;

namespace sorobe {

class frmRoster : public QDialog {
    Q_OBJECT

public:
    explicit frmRoster(const Roster& roster, QWidget* parent = nullptr);

    // The roster as the dialog shows it; valid once it was accepted.
    const Roster& roster() const { return m_roster; }

    QSpinBox* SpinRosterCount = nullptr;
    QTableWidget* TableRoster = nullptr;

    void accept() override;

private:
    void resizeTable(int count);
    // The roster from the table, or a message naming the row that is wrong.
    bool readTable(Roster& roster, QString& fault) const;

    Roster m_roster;
};

} // namespace sorobe
