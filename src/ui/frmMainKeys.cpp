// Field editing on the entry pages: the character filters, selecting a
// field's text when it gets the focus, Enter to start or record an entry,
// and the arrow keys that step through the entries.

#include "FlexGrid.h"
#include "NumericText.h"
#include "UpDownButton.h"
#include "frmMain.h"

#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace sorobe {

void frmMain::setUpEntryFields() {
    // Number fields take no input-method composition, so full-width digits
    // cannot reach them in the first place.
    for (QWidget* field :
         {static_cast<QWidget*>(TextIncomeNo), static_cast<QWidget*>(TextSupplyNo),
          static_cast<QWidget*>(TextIncomePerPerson), static_cast<QWidget*>(TextIncomeStudents),
          static_cast<QWidget*>(TextIncomeAmount), static_cast<QWidget*>(TextSupplyAmount),
          static_cast<QWidget*>(ComboSupplyReceipt),
          static_cast<QWidget*>(ComboSupplyReceipt->lineEdit())})
        field->setAttribute(Qt::WA_InputMethodEnabled, false);

    for (QWidget* field :
         {static_cast<QWidget*>(TextIncomeNo), static_cast<QWidget*>(TextIncomePerPerson),
          static_cast<QWidget*>(TextIncomeStudents), static_cast<QWidget*>(TextIncomeAmount),
          static_cast<QWidget*>(TextSupplyNo), static_cast<QWidget*>(TextSupplyAmount),
          static_cast<QWidget*>(ComboSupplyReceipt), static_cast<QWidget*>(ComboIncomeArticle),
          static_cast<QWidget*>(ComboIncomeSubArticle), static_cast<QWidget*>(ComboSupplyArticle),
          static_cast<QWidget*>(DTPickerIncomeDate), static_cast<QWidget*>(DTPickerSupplyDate)})
        field->installEventFilter(this);

    setTabOrder(TextIncomeNo, DTPickerIncomeDate);
    setTabOrder(DTPickerIncomeDate, ComboIncomeArticle);
    setTabOrder(ComboIncomeArticle, ComboIncomeSubArticle);
    setTabOrder(ComboIncomeSubArticle, TextIncomePerPerson);
    setTabOrder(TextIncomePerPerson, TextIncomeStudents);
    setTabOrder(TextIncomeStudents, TextIncomeAmount);
    setTabOrder(TextIncomeAmount, CommandIncomeNew);
    setTabOrder(CommandIncomeNew, CommandIncomeRecord);
    setTabOrder(CommandIncomeRecord, CommandIncomeDelete);
    setTabOrder(CommandIncomeDelete, CommandIncomeCancel);
    setTabOrder(CommandIncomeCancel, MSFlexGridIncome);

    setTabOrder(TextSupplyNo, ComboSupplyReceipt);
    setTabOrder(ComboSupplyReceipt, DTPickerSupplyDate);
    setTabOrder(DTPickerSupplyDate, ComboSupplyArticle);
    setTabOrder(ComboSupplyArticle, TextSupplyAmount);
    setTabOrder(TextSupplyAmount, CommandSupplyNew);
    setTabOrder(CommandSupplyNew, CommandSupplyRecord);
    setTabOrder(CommandSupplyRecord, CommandSupplyDelete);
    setTabOrder(CommandSupplyDelete, CommandSupplyCancel);
    setTabOrder(CommandSupplyCancel, MSFlexGridSupply);
}

void frmMain::connectEntryPages() {
    connect(CommandIncomeNew, &QPushButton::clicked, this, &frmMain::CommandIncomeNew_Click);
    connect(CommandIncomeRecord, &QPushButton::clicked, this, &frmMain::CommandIncomeRecord_Click);
    connect(CommandIncomeDelete, &QPushButton::clicked, this, &frmMain::CommandIncomeDelete_Click);
    connect(CommandIncomeCancel, &QPushButton::clicked, this, &frmMain::CommandIncomeCancel_Click);
    connect(MSFlexGridIncome, &FlexGrid::Click, this, &frmMain::MSFlexGridIncome_Click);
    connect(TextIncomeNo, &QLineEdit::textChanged, this, &frmMain::TextIncomeNo_Change);
    connect(TextIncomePerPerson, &QLineEdit::textChanged, this,
            &frmMain::TextIncomePerPerson_Change);
    connect(TextIncomeStudents, &QLineEdit::textChanged, this, &frmMain::TextIncomeStudents_Change);
    connect(TextIncomeAmount, &QLineEdit::textChanged, this, &frmMain::TextIncomeAmount_Change);
    // An amount the user changes stands on its own: the per-pupil amount no
    // longer explains it. Keys that change nothing (Enter, the arrows, Tab, a
    // digit typed over the same digit) keep the ＠500×32人 the report prints.
    // The line edit tells of an edit before the change itself, so the text
    // kept at the last change is still the one before this edit.
    connect(TextIncomeAmount, &QLineEdit::textEdited, this, [this](const QString& text) {
        guarded([&] {
            if (text == m_incomeAmountBefore)
                return;
            m_amountFromPerPerson = false;
            TextIncomePerPerson->clear();
        });
    });
    connect(UpDownIncomeStudents, &UpDownButton::stepped, this, [this](int delta) {
        guarded([&] {
            const std::int64_t current = numericValue64(TextIncomeStudents->text());
            const int clamped = int(std::clamp<std::int64_t>(current, 0, 999));
            TextIncomeStudents->setText(
                QString::number(UpDownIncomeStudents->stepFrom(clamped, delta)));
        });
    });

    connect(CommandSupplyNew, &QPushButton::clicked, this, &frmMain::CommandSupplyNew_Click);
    connect(CommandSupplyRecord, &QPushButton::clicked, this, &frmMain::CommandSupplyRecord_Click);
    connect(CommandSupplyDelete, &QPushButton::clicked, this, &frmMain::CommandSupplyDelete_Click);
    connect(CommandSupplyCancel, &QPushButton::clicked, this, &frmMain::CommandSupplyCancel_Click);
    connect(MSFlexGridSupply, &FlexGrid::Click, this, &frmMain::MSFlexGridSupply_Click);
    connect(TextSupplyNo, &QLineEdit::textChanged, this, &frmMain::TextSupplyNo_Change);
    connect(TextSupplyAmount, &QLineEdit::textChanged, this, &frmMain::TextSupplyAmount_Change);
    connect(ComboSupplyReceipt, &QComboBox::editTextChanged, this,
            &frmMain::ComboSupplyReceipt_Change);
    connect(ComboSupplyReceipt, qOverload<int>(&QComboBox::activated), this,
            &frmMain::ComboSupplyReceipt_Click);
    connect(DTPickerSupplyDate, &QDateEdit::dateChanged, this, &frmMain::DTPickerSupplyDate_Change);
}

void frmMain::refuseField(QWidget* field) {
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->clear();
    else if (auto* combo = qobject_cast<QComboBox*>(field))
        combo->setEditText(QString());
    field->setFocus();
}

bool frmMain::onlyAllowed(const QString& text, QStringView allowed) {
    for (QChar c : text) {
        if (!allowed.contains(c))
            return false;
    }
    return true;
}

bool frmMain::acceptField(QWidget* field, const QString& text, QStringView allowed) {
    if (onlyAllowed(text, allowed))
        return true;
    refuseField(field);
    return false;
}

void frmMain::applyEnterRule(bool income) {
    QPushButton* record = income ? CommandIncomeRecord : CommandSupplyRecord;
    QPushButton* newButton = income ? CommandIncomeNew : CommandSupplyNew;
    if (record->isEnabled())
        income ? CommandIncomeRecord_Click() : CommandSupplyRecord_Click();
    else if (newButton->isEnabled())
        income ? CommandIncomeNew_Click() : CommandSupplyNew_Click();
}

void frmMain::previousIncomeNumber() {
    const std::int64_t v = numericValue64(TextIncomeNo->text());
    if (v > 1)
        TextIncomeNo->setText(QString::number(v - 1));
}

void frmMain::nextIncomeNumber() {
    const std::int64_t v = numericValue64(TextIncomeNo->text());
    if (v < m_state.incomeCount)
        TextIncomeNo->setText(QString::number(v + 1));
}

void frmMain::previousSupplyNumber() {
    const std::int64_t v = numericValue64(TextSupplyNo->text());
    if (v > 1)
        TextSupplyNo->setText(QString::number(v - 1));
}

void frmMain::nextSupplyNumber() {
    const std::int64_t v = numericValue64(TextSupplyNo->text());
    if (v < m_state.supplyCount)
        TextSupplyNo->setText(QString::number(v + 1));
}

// Returns true when the key must not reach the field afterwards.
bool frmMain::handleKey(QWidget* field, int key) {
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (field == TextIncomeNo || field == TextIncomePerPerson) {
        if (enter)
            applyEnterRule(true);
    } else if (field == TextIncomeAmount) {
        if (enter)
            applyEnterRule(true);
    } else if (field == TextIncomeStudents) {
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            applyEnterRule(true);
            break;
        case Qt::Key_Left:
            TextIncomeNo->setFocus();
            break;
        case Qt::Key_Right:
            ComboIncomeArticle->setFocus();
            break;
        case Qt::Key_Up:
            previousIncomeNumber();
            TextIncomeStudents->setFocus();
            break;
        case Qt::Key_Down:
            nextIncomeNumber();
            TextIncomeStudents->setFocus();
            break;
        default:
            break;
        }
    } else if (field == TextSupplyNo || field == TextSupplyAmount) {
        if (enter)
            applyEnterRule(false);
    } else if (field == ComboSupplyReceipt) {
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            applyEnterRule(false);
            break;
        case Qt::Key_Left:
            TextSupplyNo->setFocus();
            break;
        case Qt::Key_Right:
            ComboSupplyArticle->setFocus();
            break;
        case Qt::Key_Up:
            previousSupplyNumber();
            ComboSupplyReceipt->setFocus();
            // The receipt just loaded stays; the choice list would replace it.
            return true;
        case Qt::Key_Down:
            nextSupplyNumber();
            ComboSupplyReceipt->setFocus();
            return true;
        default:
            break;
        }
    }
    return false;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == GridRoll && GridRoll) {
        if (event->type() == QEvent::KeyPress && rollKey(static_cast<QKeyEvent*>(event)))
            return true;
        return QMainWindow::eventFilter(watched, event);
    }
    auto* field = qobject_cast<QWidget*>(watched);
    if (!field)
        return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::ShortcutOverride) {
        // On the entry pages, undo and redo are the ledger's: a field's own
        // undo of its typing would leave the entry half changed.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y))
            return true;
    }

    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // With no step to take back, the menu command is off and its key
        // arrives here: it still cancels a half-typed entry, and never
        // reaches the field's own undo.
        if (key->matches(QKeySequence::Undo)) {
            guarded([&] { mnuEditUndo_Click(); });
            return true;
        }
        if (key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y)) {
            guarded([&] { mnuEditRedo_Click(); });
            return true;
        }
        bool withheld = false;
        guarded([&] { withheld = handleKey(field, key->key()); });
        return withheld;
    }

    if (event->type() == QEvent::FocusIn) {
        // The text from the caret on is selected, so that a field reached by
        // the keyboard is replaced by what is typed next.
        QLineEdit* edit = qobject_cast<QLineEdit*>(field);
        if (auto* combo = qobject_cast<QComboBox*>(field))
            edit = combo->lineEdit();
        if (edit) {
            QTimer::singleShot(0, edit, [edit] {
                // A selection made on the way in (by Tab, or by a list click
                // that selects the field's text) is kept.
                if (edit->hasFocus() && !edit->hasSelectedText())
                    edit->setSelection(edit->cursorPosition(), int(edit->text().size()));
            });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace sorobe
