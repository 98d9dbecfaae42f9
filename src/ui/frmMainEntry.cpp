// The income and expense pages: new, record, delete, cancel, choosing an
// entry by its number or from the list, and the amounts that follow from the
// fields.

#include "CheckedArithmetic.h"
#include "DisplayFormat.h"
#include "FlexGrid.h"
#include "NumericText.h"
#include "frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <limits>
#include <vector>

namespace sorobe {

namespace {

constexpr int alignLeft = 1;
constexpr int alignCentre = 4;
constexpr int alignRight = 7;

QString plainAmount(std::int32_t amount) {
    return amount == 0 ? QString() : QString::number(amount);
}

// The n-th entry of one kind in ledger order, counted from 1.
ArticlePtr entryNumber(const ArticlePtr& ledger, bool income, int number) {
    int seen = 0;
    for (ArticlePtr entry = ledger->nextArticle(); entry; entry = entry->nextArticle()) {
        if (entry->taIncome() == income && ++seen == number)
            return entry;
    }
    return nullptr;
}

DateTime pickedDate(const QDateEdit* picker) {
    return DateTime::fromQDate(picker->date());
}

// Whether the buttons show a new entry being typed (新規 and 削除 off, 登録 on).
bool newEntryOpen(const QPushButton* newButton, const QPushButton* record,
                  const QPushButton* remove) {
    return !newButton->isEnabled() && record->isEnabled() && !remove->isEnabled();
}

void setButtons(std::initializer_list<QPushButton*> buttons, std::initializer_list<bool> states) {
    auto state = states.begin();
    for (QPushButton* button : buttons)
        button->setEnabled(*state++);
}

} // namespace

void frmMain::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const OverflowError&) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("金額の合計が大きすぎるため、処理を中止しました。"));
    } catch (const std::exception& error) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("処理を中止しました。\n") +
                                 QString::fromLocal8Bit(error.what()));
    }
}

bool frmMain::balanceStaysInRange(const ArticlePtr& removed, const ArticlePtr& added,
                                  const ArticlePtr& addedList) {
    // The balance is added up in ledger order, step by step, wherever it is
    // shown: so every running total must fit, not only the last one. The new
    // entries take the places addArticle will give them (after the entries of
    // an earlier date, or of the same date and a receipt number not greater).
    auto goesAfter = [](const SorobeArticle& existing, const SorobeArticle& added) {
        return existing.taDate() < added.taDate() ||
               (existing.taDate() == added.taDate() && existing.taReceipt() <= added.taReceipt());
    };
    std::vector<const SorobeArticle*> incoming;
    if (added)
        incoming.push_back(added.get());
    if (addedList) {
        for (ArticlePtr entry = addedList->nextArticle(); entry; entry = entry->nextArticle())
            incoming.push_back(entry.get());
    }

    std::int64_t balance = 0;
    bool fits = true;
    auto add = [&](const SorobeArticle& entry) {
        balance +=
            entry.taIncome() ? std::int64_t(entry.taAmount()) : -std::int64_t(entry.taAmount());
        fits = fits && balance >= std::numeric_limits<std::int32_t>::min() &&
               balance <= std::numeric_limits<std::int32_t>::max();
    };
    auto next = incoming.begin();
    for (ArticlePtr entry = m_state.ledger->nextArticle(); entry; entry = entry->nextArticle()) {
        if (entry == removed)
            continue;
        while (next != incoming.end() && !goesAfter(*entry, **next))
            add(**next++);
        add(*entry);
    }
    while (next != incoming.end())
        add(**next++);

    if (fits)
        return true;
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("残金が扱える金額（21億円余り）を超えるため、"
                                        "この操作はできません。"));
    return false;
}

void frmMain::openNewRow(FlexGrid* grid, int row, int textColumn, QDateEdit* picker) {
    grid->setRows(row + 1);
    grid->setRow(row);
    grid->setTextMatrix(row, 0, QString::number(row));
    picker->setDate(QDate::currentDate());
    grid->setTextMatrix(row, 1, formatListDate(DateTime::today()));
    for (int column = 1; column <= 4; ++column) {
        grid->setCol(column);
        grid->setCellAlignment(column == 1 ? alignCentre
                                           : (column == textColumn ? alignLeft : alignRight));
    }
    grid->setWordWrap(true);
}

// ---- income ---------------------------------------------------------------

void frmMain::CommandIncomeNew_Click() {
    guarded([&] {
        if (m_state.incomeCount == std::numeric_limits<std::int16_t>::max()) {
            QApplication::beep();
            return;
        }
        const int n = ++m_state.incomeCount;
        m_state.incomeSelectedEntry.reset();
        m_state.incomeEditEntry = SorobeArticle::create();

        openNewRow(MSFlexGridIncome, n, 2, DTPickerIncomeDate);
        highlightListRow(MSFlexGridIncome, n);
        scrollListToRow(MSFlexGridIncome, n, n);

        // The pupils shown when a new entry starts become the class size.
        m_state.studentCount =
            std::int16_t(numericValue(TextIncomeStudents->text(), IntWidth::Bits16).value_or(0));

        setButtons(
            {CommandIncomeNew, CommandIncomeRecord, CommandIncomeDelete, CommandIncomeCancel},
            {false, true, false, true});
        TextIncomeNo->setText(QString::number(n));
        TextIncomeNo->setReadOnly(true);
        ComboIncomeArticle->setEditText(QString());
        ComboIncomeSubArticle->setEditText(QString());
        TextIncomePerPerson->clear();
        TextIncomeAmount->clear();
        // The item is what a teacher types first; the date already shows today.
        ComboIncomeArticle->setFocus();
    });
}

void frmMain::TextIncomeNo_Change() {
    guarded([&] {
        if (TextIncomeNo->isReadOnly() ||
            !acceptField(TextIncomeNo, TextIncomeNo->text(), u"0123456789 "))
            return;
        const std::int64_t v = numericValue64(TextIncomeNo->text());
        if (v > m_state.incomeCount) {
            TextIncomeNo->clear();
            CommandIncomeCancel_Click();
        } else if (v >= m_state.incomeCount &&
                   newEntryOpen(CommandIncomeNew, CommandIncomeRecord, CommandIncomeDelete)) {
            // New has just written the new entry's number: nothing to load.
        } else if (v <= 0) {
            TextIncomeNo->clear();
            CommandIncomeCancel_Click();
        } else {
            loadIncomeEntry(int(v));
        }
    });
}

void frmMain::loadIncomeEntry(int number) {
    ArticlePtr entry = entryNumber(m_state.ledger, true, number);
    if (!entry)
        return;
    m_state.incomeSelectedEntry = entry;
    ArticlePtr edit = SorobeArticle::create();
    m_state.incomeEditEntry = edit;

    DTPickerIncomeDate->setDate(entry->taDate().toQDate());
    ComboIncomeArticle->setEditText(entry->taArticle());
    ComboIncomeSubArticle->setEditText(entry->taSubArticle());
    TextIncomePerPerson->setText(plainAmount(entry->taPerPerson()));
    TextIncomeStudents->setText(QString::number(entry->taStudentsNumber()));
    TextIncomeAmount->setText(plainAmount(entry->taAmount()));

    edit->setTaDate(entry->taDate());
    edit->setTaArticle(entry->taArticle());
    edit->setTaSubArticle(entry->taSubArticle());
    edit->setTaPerPerson(entry->taPerPerson());
    edit->setTaStudentsNumber(entry->taStudentsNumber());
    edit->setTaAmount(entry->taAmount());
    edit->setTaIncome(true);

    setButtons({CommandIncomeNew, CommandIncomeRecord, CommandIncomeDelete, CommandIncomeCancel},
               {true, true, true, true});
}

void frmMain::clickList(FlexGrid* grid, bool income) {
    const int r = grid->Row();
    const int c = grid->Col();
    QLineEdit* number = income ? TextIncomeNo : TextSupplyNo;
    const int count = income ? m_state.incomeCount : m_state.supplyCount;
    if (number->isReadOnly())
        return;
    if (r < 1 || r > count + 1)
        return;
    number->setText(QString::number(r));
    highlightListRow(grid, r);
    scrollListToRow(grid, r, count);

    QWidget* target = nullptr;
    if (income) {
        QWidget* const byColumn[] = {TextIncomeNo, DTPickerIncomeDate, ComboIncomeArticle,
                                     TextIncomePerPerson, TextIncomeAmount};
        target = c >= 0 && c <= 4 ? byColumn[c] : nullptr;
    } else {
        QWidget* const byColumn[] = {TextSupplyNo, DTPickerSupplyDate, ComboSupplyReceipt,
                                     ComboSupplyArticle, TextSupplyAmount};
        target = c >= 0 && c <= 4 ? byColumn[c] : nullptr;
    }
    if (!target)
        return;
    target->setFocus();
    if (auto* field = qobject_cast<QLineEdit*>(target))
        field->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(target))
        combo->lineEdit()->selectAll();
}

void frmMain::MSFlexGridIncome_Click() {
    guarded([&] { clickList(MSFlexGridIncome, true); });
}

void frmMain::CommandIncomeRecord_Click() {
    guarded([&] {
        const std::int32_t amount =
            numericValue(TextIncomeAmount->text(), IntWidth::Bits32).value_or(0);
        ArticlePtr edit = m_state.incomeEditEntry;
        if (amount == 0 || !edit)
            return;

        edit->setTaDate(pickedDate(DTPickerIncomeDate));
        edit->setTaArticle(ComboIncomeArticle->currentText());
        edit->setTaSubArticle(ComboIncomeSubArticle->currentText());
        edit->setTaPerPerson(
            numericValue(TextIncomePerPerson->text(), IntWidth::Bits32).value_or(0));
        edit->setTaAmount(amount);
        edit->setTaStudentsNumber(
            std::int16_t(numericValue(TextIncomeStudents->text(), IntWidth::Bits16).value_or(0)));
        edit->setTaIncome(true);
        if (!balanceStaysInRange(m_state.incomeSelectedEntry, edit))
            return;

        m_state.modified = true;
        if (m_state.incomeSelectedEntry) {
            m_state.ledger->deleteArticle(m_state.incomeSelectedEntry);
            m_state.incomeSelectedEntry.reset();
        }
        edit->setTaKey(m_state.keyCounter);
        m_state.keyCounter = checkedAdd(m_state.keyCounter, std::int32_t(1));
        const std::int32_t position = m_state.ledger->addArticle(edit);

        m_state.incomeHistory->appendSelectionWithCount(
            SorobeSelection::create(ComboIncomeArticle->currentText(), 1, edit->taDate()));
        fillIncomeItemList();
        m_state.termsStale = true;
        showIncomeList();

        MSFlexGridIncome->setRow(position);
        MSFlexGridIncome->setCol(0);
        clickList(MSFlexGridIncome, true);
    });
}

void frmMain::CommandIncomeDelete_Click() {
    guarded([&] {
        if (m_state.incomeSelectedEntry) {
            if (!balanceStaysInRange(m_state.incomeSelectedEntry, nullptr))
                return;
            m_state.ledger->deleteArticle(m_state.incomeSelectedEntry);
            m_state.termsStale = true;
            m_state.modified = true;
            m_state.incomeSelectedEntry.reset();
        }
        --m_state.incomeCount;
        MSFlexGridIncome->setRows(m_state.incomeCount + 1);
        if (m_state.incomeHighlightRow > m_state.incomeCount) {
            m_state.incomeHighlightRow = 0;
        } else if (m_state.incomeHighlightRow != 0) {
            MSFlexGridIncome->setRow(m_state.incomeHighlightRow);
            for (int column = 1; column <= 5; ++column) {
                MSFlexGridIncome->setCol(column);
                MSFlexGridIncome->setCellBackColor(Qt::white);
            }
        }
        m_state.sheetRowCount.fill(1);
        showIncomeList();
    });
}

void frmMain::CommandIncomeCancel_Click() {
    guarded([&] {
        if (TextIncomeNo->isReadOnly()) {
            m_state.incomeHighlightRow = 0;
            --m_state.incomeCount;
            MSFlexGridIncome->setRows(m_state.incomeCount + 1);
        }
        m_state.incomeEditEntry.reset();
        m_state.incomeSelectedEntry.reset();
        TextIncomeNo->setReadOnly(false);
        TextIncomeNo->clear();
        DTPickerIncomeDate->setDate(QDate::currentDate());
        ComboIncomeArticle->setEditText(QString());
        ComboIncomeSubArticle->setEditText(QString());
        TextIncomePerPerson->clear();
        TextIncomeAmount->clear();
        TextIncomeNo->setFocus();
        setButtons(
            {CommandIncomeNew, CommandIncomeRecord, CommandIncomeDelete, CommandIncomeCancel},
            {true, false, false, false});
    });
}

void frmMain::TextIncomePerPerson_Change() {
    guarded([&] {
        const QString text = TextIncomePerPerson->text();
        if (!acceptField(TextIncomePerPerson, text, u"0123456789- ") || text.endsWith(u'-'))
            return;
        const auto perPerson = numericValue(text, IntWidth::Bits32);
        if (!perPerson) {
            refuseField(TextIncomePerPerson);
            return;
        }
        if (*perPerson == 0) {
            // A per-pupil amount of 0 is not kept.
            TextIncomePerPerson->clear();
            return;
        }
        const std::int64_t product =
            std::int64_t(*perPerson) * numericValue64(TextIncomeStudents->text());
        if (product < std::numeric_limits<std::int32_t>::min() ||
            product > std::numeric_limits<std::int32_t>::max()) {
            refuseField(TextIncomePerPerson);
            return;
        }
        TextIncomeAmount->setText(QString::number(product));
    });
}

void frmMain::TextIncomeStudents_Change() {
    guarded([&] {
        const QString text = TextIncomeStudents->text();
        if (!acceptField(TextIncomeStudents, text, u"0123456789 "))
            return;
        const auto pupils = numericValue(text, IntWidth::Bits16);
        if (!pupils) {
            refuseField(TextIncomeStudents);
            return;
        }
        const int n = *pupils;
        if (n <= 0)
            return;
        if (!TextIncomePerPerson->text().isEmpty()) {
            const std::int64_t product = numericValue64(TextIncomePerPerson->text()) * n;
            if (product < std::numeric_limits<std::int32_t>::min() ||
                product > std::numeric_limits<std::int32_t>::max()) {
                refuseField(TextIncomeStudents);
                return;
            }
            TextIncomeAmount->setText(QString::number(product));
        }
        // Pupils typed for the newest entry before any amount become the class size.
        if (numericValue64(TextIncomeNo->text()) == m_state.incomeCount &&
            numericValue64(TextIncomeAmount->text()) == 0)
            m_state.studentCount = std::int16_t(n);
    });
}

void frmMain::TextIncomeAmount_Change() {
    guarded([&] {
        const QString text = TextIncomeAmount->text();
        if (!acceptField(TextIncomeAmount, text, u"0123456789- "))
            return;
        if (text.endsWith(u'-'))
            return;
        const auto amount = numericValue(text, IntWidth::Bits32);
        if (!amount)
            refuseField(TextIncomeAmount);
        else if (*amount == 0)
            TextIncomeAmount->clear();
    });
}

// ---- expenses -------------------------------------------------------------

void frmMain::CommandSupplyNew_Click() {
    guarded([&] {
        if (m_state.supplyCount == std::numeric_limits<std::int16_t>::max()) {
            QApplication::beep();
            return;
        }
        const int n = ++m_state.supplyCount;
        m_state.supplySelectedEntry.reset();
        m_state.supplyEditEntry = SorobeArticle::create();

        openNewRow(MSFlexGridSupply, n, 3, DTPickerSupplyDate);
        highlightListRow(MSFlexGridSupply, n);
        scrollListToRow(MSFlexGridSupply, n, n);

        setButtons(
            {CommandSupplyNew, CommandSupplyRecord, CommandSupplyDelete, CommandSupplyCancel},
            {false, true, false, true});
        TextSupplyNo->setText(QString::number(n));
        TextSupplyNo->setReadOnly(true);
        ComboSupplyReceipt->setEditText(QString());
        ComboSupplyArticle->setEditText(QString());
        TextSupplyAmount->clear();
        // The receipt number is the first thing typed for an expense.
        ComboSupplyReceipt->setFocus();
    });
}

void frmMain::TextSupplyNo_Change() {
    guarded([&] {
        if (TextSupplyNo->isReadOnly() ||
            !acceptField(TextSupplyNo, TextSupplyNo->text(), u"0123456789 "))
            return;
        const std::int64_t v = numericValue64(TextSupplyNo->text());
        if (v > m_state.supplyCount) {
            TextSupplyNo->clear();
            CommandSupplyCancel_Click();
        } else if (v >= m_state.supplyCount &&
                   newEntryOpen(CommandSupplyNew, CommandSupplyRecord, CommandSupplyDelete)) {
            // New has just written the new entry's number: nothing to load.
        } else if (v <= 0) {
            TextSupplyNo->clear();
            CommandSupplyCancel_Click();
        } else {
            loadSupplyEntry(int(v));
        }
    });
}

void frmMain::loadSupplyEntry(int number) {
    ArticlePtr entry = entryNumber(m_state.ledger, false, number);
    if (!entry)
        return;
    m_state.supplySelectedEntry = entry;
    ArticlePtr edit = SorobeArticle::create();
    m_state.supplyEditEntry = edit;

    DTPickerSupplyDate->setDate(entry->taDate().toQDate());
    edit->setTaDate(entry->taDate());
    ComboSupplyArticle->setEditText(entry->taArticle());
    edit->setTaArticle(entry->taArticle());
    ComboSupplyReceipt->setEditText(QString::number(entry->taReceipt()));
    TextSupplyAmount->setText(plainAmount(entry->taAmount()));
    edit->setTaAmount(entry->taAmount());
    edit->setTaIncome(false);

    setButtons({CommandSupplyNew, CommandSupplyRecord, CommandSupplyDelete, CommandSupplyCancel},
               {true, true, true, true});
}

void frmMain::MSFlexGridSupply_Click() {
    guarded([&] { clickList(MSFlexGridSupply, false); });
}

void frmMain::CommandSupplyRecord_Click() {
    guarded([&] {
        const std::int32_t amount =
            numericValue(TextSupplyAmount->text(), IntWidth::Bits32).value_or(0);
        ArticlePtr edit = m_state.supplyEditEntry;
        if (amount == 0 || !edit)
            return;

        edit->setTaDate(pickedDate(DTPickerSupplyDate));
        edit->setTaArticle(ComboSupplyArticle->currentText());
        edit->setTaAmount(amount);
        edit->setTaReceipt(std::int16_t(
            numericValue(ComboSupplyReceipt->currentText(), IntWidth::Bits16).value_or(0)));
        edit->setTaIncome(false);
        if (!balanceStaysInRange(m_state.supplySelectedEntry, edit))
            return;

        m_state.modified = true;
        if (m_state.supplySelectedEntry) {
            m_state.ledger->deleteArticle(m_state.supplySelectedEntry);
            m_state.supplySelectedEntry.reset();
        }
        edit->setTaKey(m_state.keyCounter);
        m_state.keyCounter = checkedAdd(m_state.keyCounter, std::int32_t(1));
        const std::int32_t position = m_state.ledger->addArticle(edit);

        m_state.supplyHistory->appendSelectionWithCount(
            SorobeSelection::create(ComboSupplyArticle->currentText(), 1, edit->taDate()));
        fillSupplyItemList();
        m_state.termsStale = true;
        showSupplyList();

        MSFlexGridSupply->setRow(position);
        MSFlexGridSupply->setCol(0);
        clickList(MSFlexGridSupply, false);
    });
}

void frmMain::CommandSupplyDelete_Click() {
    guarded([&] {
        if (m_state.supplySelectedEntry) {
            if (!balanceStaysInRange(m_state.supplySelectedEntry, nullptr))
                return;
            m_state.ledger->deleteArticle(m_state.supplySelectedEntry);
            m_state.termsStale = true;
            m_state.modified = true;
            m_state.supplySelectedEntry.reset();
        }
        --m_state.supplyCount;
        MSFlexGridSupply->setRows(m_state.supplyCount + 1);
        if (m_state.supplyHighlightRow > m_state.supplyCount) {
            m_state.supplyHighlightRow = 0;
        } else if (m_state.supplyHighlightRow != 0) {
            MSFlexGridSupply->setRow(m_state.supplyHighlightRow);
            for (int column = 1; column <= 5; ++column) {
                MSFlexGridSupply->setCol(column);
                MSFlexGridSupply->setCellBackColor(Qt::white);
            }
        }
        m_state.sheetRowCount.fill(1);
        showSupplyList();
    });
}

void frmMain::CommandSupplyCancel_Click() {
    guarded([&] {
        if (TextSupplyNo->isReadOnly()) {
            m_state.supplyHighlightRow = 0;
            --m_state.supplyCount;
            MSFlexGridSupply->setRows(m_state.supplyCount + 1);
        }
        m_state.supplyEditEntry.reset();
        m_state.supplySelectedEntry.reset();
        TextSupplyNo->setReadOnly(false);
        TextSupplyNo->clear();
        DTPickerSupplyDate->setDate(QDate::currentDate());
        ComboSupplyArticle->setEditText(QString());
        TextSupplyAmount->clear();
        // The receipt number stays: the next line of the same receipt is likely.
        TextSupplyNo->setFocus();
        setButtons(
            {CommandSupplyNew, CommandSupplyRecord, CommandSupplyDelete, CommandSupplyCancel},
            {true, false, false, false});
    });
}

void frmMain::TextSupplyAmount_Change() {
    guarded([&] {
        const QString text = TextSupplyAmount->text();
        if (!acceptField(TextSupplyAmount, text, u"0123456789- "))
            return;
        if (text.endsWith(u'-'))
            return;
        const auto amount = numericValue(text, IntWidth::Bits32);
        if (!amount)
            refuseField(TextSupplyAmount);
        else if (*amount == 0)
            TextSupplyAmount->clear();
    });
}

void frmMain::ComboSupplyReceipt_Change() {
    guarded([&] {
        const QString text = ComboSupplyReceipt->currentText();
        if (!acceptField(ComboSupplyReceipt, text, u"0123456789 "))
            return;
        const auto receipt = numericValue(text, IntWidth::Bits16);
        if (!receipt) {
            refuseField(ComboSupplyReceipt);
            return;
        }
        if (*receipt == 0)
            return;
        for (ArticlePtr entry = m_state.ledger->nextArticle(); entry;
             entry = entry->nextArticle()) {
            if (entry->taReceipt() == *receipt) {
                DTPickerSupplyDate->setDate(entry->taDate().toQDate());
                return;
            }
        }
    });
}

void frmMain::ComboSupplyReceipt_Click(int index) {
    guarded([&] {
        const auto receipt = numericValue(ComboSupplyReceipt->itemText(index), IntWidth::Bits16);
        if (!receipt)
            return;
        for (ArticlePtr entry = m_state.ledger->nextArticle(); entry;
             entry = entry->nextArticle()) {
            if (entry->taReceipt() == *receipt) {
                DTPickerSupplyDate->setDate(entry->taDate().toQDate());
                return;
            }
        }
    });
}

} // namespace sorobe
