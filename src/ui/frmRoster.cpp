#include "frmRoster.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sorobe {

namespace {

enum Column { NumberColumn, NameColumn, MovedInColumn, MovedOutColumn };

const QString dateFormat = QStringLiteral("yyyy/MM/dd");

QString dateText(QDate day) {
    return day.isValid() ? day.toString(dateFormat) : QString();
}

// An empty text is no move; anything else must be a day. Digits may be
// typed full-width, as a Japanese input method gives them.
bool readDate(const QString& text, QDate& day) {
    QString plain = text.trimmed();
    for (QChar& c : plain) {
        if (c >= u'０' && c <= u'９')
            c = QChar(c.unicode() - u'０' + u'0');
        else if (c == u'／')
            c = u'/';
    }
    if (plain.isEmpty()) {
        day = QDate();
        return true;
    }
    day = QDate::fromString(plain, QStringLiteral("yyyy/M/d"));
    return day.isValid();
}

} // namespace

frmRoster::frmRoster(const Roster& roster, QWidget* parent)
    : QDialog(parent)
    , m_roster(roster) {
    setObjectName(QStringLiteral("frmRoster"));
    setWindowTitle(QStringLiteral("名簿"));

    SpinRosterCount = new QSpinBox(this);
    SpinRosterCount->setObjectName(QStringLiteral("SpinRosterCount"));
    SpinRosterCount->setRange(0, Roster::maximumSize);
    SpinRosterCount->setSuffix(QStringLiteral(" 人"));

    TableRoster = new QTableWidget(0, 4, this);
    TableRoster->setObjectName(QStringLiteral("TableRoster"));
    TableRoster->setHorizontalHeaderLabels({QStringLiteral("出席番号"), QStringLiteral("名前"),
                                            QStringLiteral("転入日"), QStringLiteral("転出日")});
    TableRoster->verticalHeader()->hide();
    TableRoster->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);

    auto* hint =
        new QLabel(QStringLiteral("転入日・転出日は「2026/09/01」のように入れます。"
                                  "転入した生徒はその日からの集金、転出した生徒はその日より"
                                  "前の集金だけが対象になります。"),
                   this);
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmRoster::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmRoster::reject);

    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(QStringLiteral("生徒の数"), this));
    countRow->addWidget(SpinRosterCount);
    countRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(countRow);
    layout->addWidget(TableRoster, 1);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    resize(460, 520);

    resizeTable(roster.size());
    for (const Pupil& pupil : roster.pupils()) {
        const int row = pupil.number - 1;
        TableRoster->item(row, NameColumn)->setText(pupil.name);
        TableRoster->item(row, MovedInColumn)->setText(dateText(pupil.movedIn));
        TableRoster->item(row, MovedOutColumn)->setText(dateText(pupil.movedOut));
    }
    SpinRosterCount->setValue(roster.size());
    connect(SpinRosterCount, &QSpinBox::valueChanged, this, &frmRoster::resizeTable);
}

void frmRoster::resizeTable(int count) {
    const int before = TableRoster->rowCount();
    TableRoster->setRowCount(count);
    for (int row = before; row < count; ++row) {
        auto* number = new QTableWidgetItem(QString::number(row + 1));
        number->setFlags(Qt::ItemIsEnabled);
        number->setTextAlignment(Qt::AlignCenter);
        TableRoster->setItem(row, NumberColumn, number);
        for (int column : {NameColumn, MovedInColumn, MovedOutColumn})
            TableRoster->setItem(row, column, new QTableWidgetItem);
    }
}

bool frmRoster::readTable(Roster& roster, QString& fault) const {
    roster.resize(TableRoster->rowCount());
    for (int row = 0; row < TableRoster->rowCount(); ++row) {
        const int number = row + 1;
        // A name is one line: a tab or a line break pasted in becomes a blank.
        QString name = TableRoster->item(row, NameColumn)->text();
        name.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
        roster.setName(number, name.trimmed());
        QDate movedIn;
        QDate movedOut;
        const QString inText = TableRoster->item(row, MovedInColumn)->text();
        const QString outText = TableRoster->item(row, MovedOutColumn)->text();
        if (!readDate(inText, movedIn) || !readDate(outText, movedOut)) {
            fault = QStringLiteral("%1番の%2「%3」は日付として読めません。"
                                   "「2026/09/01」のように入れてください。")
                        .arg(number)
                        .arg(readDate(inText, movedIn) ? QStringLiteral("転出日")
                                                       : QStringLiteral("転入日"))
                        .arg(readDate(inText, movedIn) ? outText : inText);
            return false;
        }
        if (movedIn.isValid() && movedOut.isValid() && movedOut <= movedIn) {
            fault = QStringLiteral("%1番の転出日が転入日と同じか、それより前になっています。")
                        .arg(number);
            return false;
        }
        roster.setMovedIn(number, movedIn);
        roster.setMovedOut(number, movedOut);
    }
    return true;
}

void frmRoster::accept() {
    Roster edited = m_roster;
    QString fault;
    if (!readTable(edited, fault)) {
        QMessageBox::warning(this, windowTitle(), fault);
        return;
    }
    m_roster = edited;
    QDialog::accept();
}

} // namespace sorobe
