#include "RollTableModel.h"

#include "DisplayFormat.h"

#include <QBrush>
#include <QColor>

namespace sorobe {

namespace {

constexpr int footRows = 2; // 人数, 金額

// 「1,234」 as the lists show amounts, for sums that may pass 32 bits.
QString amountText(std::int64_t amount) {
    QString digits = QString::number(amount < 0 ? -amount : amount);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return amount < 0 ? u'-' + digits : digits;
}

// 「4月分 学級費 ＠500」 over three short lines, as a column heading.
QString collectionHeading(const CollectionId& id) {
    QStringList lines;
    if (!id.subArticle.isEmpty())
        lines << id.subArticle;
    lines << id.article << QStringLiteral("＠%1").arg(formatAmount(id.perPerson));
    return lines.join(u'\n');
}

} // namespace

RollTableModel::RollTableModel(const CollectionRoll& roll, QObject* parent)
    : QAbstractTableModel(parent)
    , m_roll(roll) {
    rebuild();
}

void RollTableModel::rebuild() {
    beginResetModel();
    m_pupils = m_roll.roster().size();
    m_collections = m_roll.columnCount();
    endResetModel();
}

int RollTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_pupils + footRows;
}

int RollTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_collections + 1;
}

int RollTableModel::pupilOf(const QModelIndex& index) const {
    return index.isValid() && index.row() < m_pupils ? index.row() + 1 : 0;
}

int RollTableModel::collectionOf(const QModelIndex& index) const {
    return index.isValid() && index.column() < m_collections ? index.column() : -1;
}

QModelIndex RollTableModel::cellOf(int pupil, int collection) const {
    return index(pupil - 1, collection);
}

Qt::ItemFlags RollTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant RollTableModel::data(const QModelIndex& index, int role) const {
    // The table may ask before it has heard that the roll changed: what the
    // roll no longer has is shown as nothing.
    if (!index.isValid() || m_collections > m_roll.columnCount() ||
        m_pupils > m_roll.roster().size())
        return {};
    const int pupil = pupilOf(index);
    const int collection = collectionOf(index);
    const bool owedColumn = index.column() == m_collections;
    const int footRow = index.row() - m_pupils; // 0 人数, 1 金額

    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(owedColumn || footRow == 1 ? Qt::AlignRight | Qt::AlignVCenter
                                                              : Qt::AlignCenter);

    if (pupil > 0 && collection >= 0) {
        const bool counts = m_roll.counts(collection, pupil);
        if (role == Qt::DisplayRole)
            return !counts                          ? QStringLiteral("－")
                   : m_roll.paid(collection, pupil) ? QStringLiteral("済")
                                                    : QString();
        if (role == Qt::BackgroundRole && !counts)
            return QBrush(QColor(224, 224, 224));
        if (role == Qt::ToolTipRole && !counts)
            return QStringLiteral("この集金のときは在籍していません");
        return {};
    }
    if (pupil > 0 && owedColumn) {
        if (role == Qt::DisplayRole) {
            const std::int64_t owed = m_roll.owed(pupil);
            return owed == 0 ? QString() : amountText(owed);
        }
        if (role == Qt::ForegroundRole)
            return QBrush(QColor(255, 0, 0));
        return {};
    }

    // The foot rows.
    if (collection >= 0) {
        const CollectionRoll::Foot foot = m_roll.foot(collection);
        if (role == Qt::DisplayRole)
            return footRow == 0 ? QStringLiteral("%1/%2").arg(foot.paid).arg(foot.expected)
                                : amountText(foot.money);
        // The ledger says another number of pupils paid: one of the two is wrong.
        if (role == Qt::ForegroundRole && footRow == 0 && foot.disagrees)
            return QBrush(QColor(255, 0, 0));
        if (role == Qt::ToolTipRole && footRow == 0 && foot.disagrees)
            return QStringLiteral("帳簿の生徒の数は %1 人です。帳簿と集金表が合っていません。")
                .arg(m_roll.column(collection).ledgerPupils);
        return {};
    }
    if (role == Qt::DisplayRole && footRow == 1) {
        std::int64_t owed = 0;
        for (int p = 1; p <= m_pupils; ++p)
            owed += m_roll.owed(p);
        return owed == 0 ? QString() : amountText(owed);
    }
    return {};
}

QVariant RollTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) ||
        m_collections > m_roll.columnCount() || m_pupils > m_roll.roster().size())
        return {};
    if (orientation == Qt::Horizontal) {
        if (section == m_collections)
            return QStringLiteral("未納額");
        if (section < 0 || section >= m_collections)
            return {};
        const RollColumn& column = m_roll.column(section);
        if (role == Qt::ToolTipRole)
            return QStringLiteral("%1 %2 %3 ＠%4（帳簿の生徒の数 %5 人）")
                .arg(column.id.date.toString(QStringLiteral("yyyy/MM/dd")), column.id.article,
                     column.id.subArticle, formatAmount(column.id.perPerson))
                .arg(column.ledgerPupils);
        return collectionHeading(column.id);
    }
    if (section >= m_pupils)
        return section == m_pupils ? QStringLiteral("人数") : QStringLiteral("金額");
    const Pupil& pupil = m_roll.roster().pupil(section + 1);
    QString head = QStringLiteral("%1 %2").arg(pupil.number, 2).arg(pupil.name);
    if (pupil.movedOut.isValid())
        head += QStringLiteral("（転出）");
    return head.trimmed();
}

void RollTableModel::tickChanged(int pupil, int collection) {
    const QModelIndex cell = cellOf(pupil, collection);
    emit dataChanged(cell, cell);
    emit dataChanged(index(pupil - 1, m_collections), index(pupil - 1, m_collections));
    emit dataChanged(index(m_pupils, collection), index(m_pupils + 1, collection));
    emit dataChanged(index(m_pupils + 1, m_collections), index(m_pupils + 1, m_collections));
}

} // namespace sorobe
