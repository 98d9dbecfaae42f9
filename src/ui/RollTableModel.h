#pragma once

// The roll page's table over the collection roll: a row per pupil and two
// foot rows (人数, 金額); a column per collection and one for what each
// pupil still owes (未納額). The cells only show the roll; the page toggles
// them through the roll and then tells the table what changed.

#include "CollectionRoll.h"

#include <QAbstractTableModel>

namespace sorobe {

class RollTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit RollTableModel(const CollectionRoll& roll, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Where the pupil of a row, the collection of a column are: 0 / -1 for none.
    int pupilOf(const QModelIndex& index) const;
    int collectionOf(const QModelIndex& index) const;
    QModelIndex cellOf(int pupil, int collection) const;

    // The roll's pupils or collections changed: the table is built anew.
    void rebuild();
    // One tick changed: its cell, its pupil's 未納額, its column's foot and
    // the totals are shown anew.
    void tickChanged(int pupil, int collection);

private:
    const CollectionRoll& m_roll;
    int m_pupils = 0;
    int m_collections = 0;
};

} // namespace sorobe
