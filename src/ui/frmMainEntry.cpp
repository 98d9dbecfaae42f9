// The income and expense pages: new, record, delete, cancel, choosing an
// entry by its number or from the list, and the amounts that follow from the
// fields.

#include "CheckedArithmetic.h"
#include "DisplayFormat.h"
#include "FlexGrid.h"
#include "NumericText.h"
#include "RunningBalance.h"
#include "frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <limits>
#include <utility>
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

// The date to record: the picker's, unless the user left the date of the
// entry being changed as it was shown. Then the entry keeps its own, time of
// day and all, also where the picker cannot show it exactly.
DateTime pickedDate(const QDateEdit* picker, const ArticlePtr& selected, QDate shownAtLoad,
                    DateTime loaded) {
    if (selected && shownAtLoad.isValid() && picker->date() == shownAtLoad)
        return loaded;
    return DateTime::fromQDate(picker->date());
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
        QMessageBox::warning(this, m_programTitle,
                             QStringLiteral("金額の合計が大きすぎるため、処理を中止しました。"));
    } catch (const std::exception&) {
        QMessageBox::warning(this, m_programTitle,
                             QStringLiteral("思いがけない問題が起きたため、処理を中止しました。"
                                            "元帳は変わっていません。"));
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

    RunningBalance running;
    auto add = [&](const SorobeArticle& entry) {
        running.add(entry);
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

    if (!running.fits())
        tellBalanceTooLarge();
    return running.fits();
}

void frmMain::tellBalanceTooLarge() {
    QMessageBox::warning(this, m_programTitle,
                         QStringLiteral("残金が扱える金額（21億円余り）を超えるため、"
                                        "この操作はできません。"));
}

// ---- steps both pages share ------------------------------------------------

frmMain::EntryPage frmMain::incomePage() {
    return {true,
            TextIncomeNo,
            DTPickerIncomeDate,
            ComboIncomeArticle,
            TextIncomeAmount,
            CommandIncomeNew,
            CommandIncomeRecord,
            CommandIncomeDelete,
            CommandIncomeCancel,
            MSFlexGridIncome,
            m_state.incomeCount,
            m_state.incomeEditEntry,
            m_state.incomeSelectedEntry,
            m_state.incomeHighlightRow,
            m_state.incomeHistory};
}

frmMain::EntryPage frmMain::supplyPage() {
    return {false,
            TextSupplyNo,
            DTPickerSupplyDate,
            ComboSupplyArticle,
            TextSupplyAmount,
            CommandSupplyNew,
            CommandSupplyRecord,
            CommandSupplyDelete,
            CommandSupplyCancel,
            MSFlexGridSupply,
            m_state.supplyCount,
            m_state.supplyEditEntry,
            m_state.supplySelectedEntry,
            m_state.supplyHighlightRow,
            m_state.supplyHistory};
}

bool frmMain::openNewEntry(const EntryPage& page) {
    if (page.count == std::numeric_limits<std::int16_t>::max()) {
        QApplication::beep();
        return false;
    }
    const int n = ++page.count;
    page.selected.reset();
    page.edit = SorobeArticle::create();

    // The new entry's row: number, today's date, the page's alignments.
    FlexGrid* grid = page.grid;
    // Income: the item (column 2) left, both amounts right. Expense: the
    // item (column 3) left, the amount right; the receipt column keeps its own.
    const int textColumn = page.income ? 2 : 3;
    grid->setRows(n + 1);
    grid->setRow(n);
    grid->setTextMatrix(n, 0, QString::number(n));
    if (!page.income)
        m_dateBeforeReceipt = QDate();
    page.date->setDate(QDate::currentDate());
    grid->setTextMatrix(n, 1, formatListDate(DateTime::today()));
    for (int column = 1; column <= 4; ++column) {
        if (!page.income && column == 2)
            continue;
        grid->setCol(column);
        grid->setCellAlignment(column == 1 ? alignCentre
                                           : (column == textColumn ? alignLeft : alignRight));
    }
    grid->setWordWrap(true);
    highlightListRow(grid, n);
    scrollListToRow(grid, n, n);

    if (page.income) {
        // The pupils shown when a new entry starts become the class size.
        m_state.studentCount =
            std::int16_t(numericValue(TextIncomeStudents->text(), IntWidth::Bits16).value_or(0));
    }
    setButtons({page.newButton, page.record, page.remove, page.cancel}, {false, true, false, true});
    page.number->setText(QString::number(n));
    page.number->setReadOnly(true);
    return true;
}

void frmMain::selectByNumber(const EntryPage& page) {
    if (page.number->isReadOnly() || !acceptField(page.number, page.number->text(), u"0123456789 "))
        return;
    const std::int64_t v = numericValue64(page.number->text());
    if (v > page.count) {
        page.number->clear();
        page.income ? CommandIncomeCancel_Click() : CommandSupplyCancel_Click();
    } else if (v >= page.count && !page.newButton->isEnabled() && page.record->isEnabled() &&
               !page.remove->isEnabled()) {
        // New has just written the new entry's number: nothing to load.
    } else if (v <= 0) {
        page.number->clear();
        page.income ? CommandIncomeCancel_Click() : CommandSupplyCancel_Click();
    } else {
        page.income ? loadIncomeEntry(int(v)) : loadSupplyEntry(int(v));
    }
}

void frmMain::clickList(const EntryPage& page) {
    FlexGrid* grid = page.grid;
    const int r = grid->Row();
    const int c = grid->Col();
    if (page.number->isReadOnly() || r < 1 || r > page.count + 1)
        return;
    page.number->setText(QString::number(r));
    highlightListRow(grid, r);
    scrollListToRow(grid, r, page.count);

    QWidget* const incomeFields[] = {TextIncomeNo, DTPickerIncomeDate, ComboIncomeArticle,
                                     TextIncomePerPerson, TextIncomeAmount};
    // A click in the receipt column goes to the receipt number.
    QWidget* const supplyFields[] = {TextSupplyNo, DTPickerSupplyDate, ComboSupplyReceipt,
                                     ComboSupplyArticle, TextSupplyAmount};
    if (c < 0 || c > 4)
        return;
    QWidget* target = page.income ? incomeFields[c] : supplyFields[c];
    target->setFocus();
    if (auto* field = qobject_cast<QLineEdit*>(target))
        field->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(target))
        combo->lineEdit()->selectAll();
}

void frmMain::recordEntry(const EntryPage& page) {
    ArticlePtr edit = page.edit;
    if (!balanceStaysInRange(page.selected, edit))
        return;

    // The next key first: nothing may change before a step is sure.
    const std::int32_t nextKey = checkedAdd(m_state.keyCounter, std::int32_t(1));
    m_state.modified = true;
    const StepStart start = startStep(page);
    if (page.selected) {
        m_state.ledger->deleteArticle(page.selected);
        page.selected.reset();
    }
    edit->setTaKey(m_state.keyCounter);
    m_state.keyCounter = nextKey;
    // A changed collection keeps its ticks on the roll.
    if (start.entry)
        m_roll->rekey(start.entry->taKey(), edit->taKey());
    const std::int32_t position = m_state.ledger->addArticle(edit);

    page.history->appendSelectionWithCount(
        SorobeSelection::create(page.article->currentText(), 1, edit->taDate()));
    pushRecordStep(page, start);
    page.income ? fillIncomeItemList() : fillSupplyItemList();
    m_state.termsStale = true;
    page.income ? showIncomeList() : showSupplyList();

    // The recorded entry is chosen again, wherever its date put it.
    page.grid->setRow(position);
    page.grid->setCol(0);
    clickList(page);
}

void frmMain::deleteEntry(const EntryPage& page) {
    if (page.selected) {
        if (!balanceStaysInRange(page.selected, nullptr))
            return;
        const StepStart start = startStep(page);
        m_state.ledger->deleteArticle(page.selected);
        m_state.termsStale = true;
        m_state.modified = true;
        page.selected.reset();
        pushDeleteStep(page, start);
    }
    --page.count;
    page.grid->setRows(page.count + 1);
    if (page.highlight > page.count) {
        page.highlight = 0;
    } else if (page.highlight != 0) {
        page.grid->setRow(page.highlight);
        for (int column = 1; column <= 5; ++column) {
            page.grid->setCol(column);
            page.grid->setCellBackColor(Qt::white);
        }
    }
    m_state.sheetRowCount.fill(1);
    page.income ? showIncomeList() : showSupplyList();
}

void frmMain::cancelEntry(const EntryPage& page, std::initializer_list<QWidget*> emptied) {
    if (page.number->isReadOnly()) {
        // The new entry was never recorded: its row goes.
        page.highlight = 0;
        --page.count;
        page.grid->setRows(page.count + 1);
    }
    page.edit.reset();
    page.selected.reset();
    page.number->setReadOnly(false);
    {
        // Emptying the number would only ask for this same cancel again.
        const QSignalBlocker quiet(page.number);
        page.number->clear();
    }
    if (!page.income)
        m_dateBeforeReceipt = QDate();
    page.date->setDate(QDate::currentDate());
    for (QWidget* field : emptied) {
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->clear();
        else if (auto* combo = qobject_cast<QComboBox*>(field))
            combo->setEditText(QString());
    }
    page.number->setFocus();
    setButtons({page.newButton, page.record, page.remove, page.cancel},
               {true, false, false, false});
}

void frmMain::amountChanged(QLineEdit* field) {
    const QString text = field->text();
    if (!acceptField(field, text, u"0123456789- ") || text.endsWith(u'-'))
        return;
    const auto amount = numericValue(text, IntWidth::Bits32);
    if (!amount)
        refuseField(field);
    else if (*amount == 0)
        field->clear();
}

void frmMain::lookUpReceipt(std::optional<std::int32_t> receipt) {
    // The expense being changed carries its own receipt: typing that number
    // again must not give it the date of another line on the same receipt.
    const ArticlePtr& own = m_state.supplySelectedEntry;
    if (receipt && own && own->taReceipt() == *receipt)
        receipt.reset();
    ArticlePtr match;
    for (ArticlePtr entry = m_state.ledger->nextArticle(); receipt && entry;
         entry = entry->nextArticle()) {
        if (entry->taReceipt() == *receipt) {
            match = entry;
            break;
        }
    }
    if (match) {
        // The date the expense had before any receipt moved it, so that a
        // number that turns out to be new ("1" on the way to "16") gives it back.
        if (!m_dateBeforeReceipt.isValid())
            m_dateBeforeReceipt = DTPickerSupplyDate->date();
        const QScopedValueRollback dating(m_datingByReceipt, true);
        DTPickerSupplyDate->setDate(match->taDate().toQDate());
    } else if (m_dateBeforeReceipt.isValid()) {
        const QDate before = std::exchange(m_dateBeforeReceipt, QDate());
        const QScopedValueRollback dating(m_datingByReceipt, true);
        DTPickerSupplyDate->setDate(before);
    }
}

// ---- income ---------------------------------------------------------------

void frmMain::CommandIncomeNew_Click() {
    guarded([&] {
        if (!openNewEntry(incomePage()))
            return;
        ComboIncomeArticle->setEditText(QString());
        ComboIncomeSubArticle->setEditText(QString());
        TextIncomePerPerson->clear();
        TextIncomeAmount->clear();
        // The item is what a teacher types first; the date already shows today.
        ComboIncomeArticle->setFocus();
    });
}

void frmMain::TextIncomeNo_Change() {
    guarded([&] { selectByNumber(incomePage()); });
}

void frmMain::loadIncomeEntry(int number) {
    ArticlePtr entry = entryNumber(m_state.ledger, true, number);
    if (!entry)
        return;
    m_state.incomeSelectedEntry = entry;
    ArticlePtr edit = SorobeArticle::create();
    m_state.incomeEditEntry = edit;

    m_loadingEntry = true;
    const auto loaded = qScopeGuard([this] { m_loadingEntry = false; });
    DTPickerIncomeDate->setDate(entry->taDate().toQDate());
    ComboIncomeArticle->setEditText(entry->taArticle());
    ComboIncomeSubArticle->setEditText(entry->taSubArticle());
    TextIncomePerPerson->setText(plainAmount(entry->taPerPerson()));
    TextIncomeStudents->setText(QString::number(entry->taStudentsNumber()));
    TextIncomeAmount->setText(plainAmount(entry->taAmount()));
    // A stored breakdown explains the stored amount.
    m_amountFromPerPerson = entry->taPerPerson() != 0;
    m_incomeDateShown = DTPickerIncomeDate->date();

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

void frmMain::MSFlexGridIncome_Click() {
    guarded([&] { clickList(incomePage()); });
}

void frmMain::CommandIncomeRecord_Click() {
    guarded([&] {
        const std::int32_t amount =
            numericValue(TextIncomeAmount->text(), IntWidth::Bits32).value_or(0);
        ArticlePtr edit = m_state.incomeEditEntry;
        if (amount == 0 || !edit)
            return;
        edit->setTaDate(pickedDate(DTPickerIncomeDate, m_state.incomeSelectedEntry,
                                   m_incomeDateShown, edit->taDate()));
        edit->setTaArticle(ComboIncomeArticle->currentText());
        edit->setTaSubArticle(ComboIncomeSubArticle->currentText());
        edit->setTaPerPerson(
            numericValue(TextIncomePerPerson->text(), IntWidth::Bits32).value_or(0));
        edit->setTaAmount(amount);
        edit->setTaStudentsNumber(
            std::int16_t(numericValue(TextIncomeStudents->text(), IntWidth::Bits16).value_or(0)));
        edit->setTaIncome(true);
        recordEntry(incomePage());
    });
}

void frmMain::CommandIncomeDelete_Click() {
    guarded([&] { deleteEntry(incomePage()); });
}

void frmMain::CommandIncomeCancel_Click() {
    guarded([&] {
        cancelEntry(incomePage(), {ComboIncomeArticle, ComboIncomeSubArticle, TextIncomePerPerson,
                                   TextIncomeAmount});
    });
}

void frmMain::TextIncomePerPerson_Change() {
    guarded([&] {
        const QString text = TextIncomePerPerson->text();
        // When the filter throws out the per-pupil amount, the amount made
        // from it goes too, or a figure would be recorded whose reason is gone.
        const auto refuse = [&] {
            refuseFactor(TextIncomePerPerson);
        };
        if (!onlyAllowed(text, u"0123456789- ")) {
            refuse();
            return;
        }
        if (text.endsWith(u'-'))
            return;
        const auto perPerson = numericValue(text, IntWidth::Bits32);
        if (!perPerson) {
            refuse();
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
            // While an entry is being shown its fields are written one by one,
            // and this product may pair its amount with the previous pupils.
            if (!m_loadingEntry)
                refuse();
            return;
        }
        TextIncomeAmount->setText(QString::number(product));
        m_amountFromPerPerson = true;
    });
}

void frmMain::refuseFactor(QLineEdit* field) {
    refuseField(field);
    if (std::exchange(m_amountFromPerPerson, false))
        TextIncomeAmount->clear();
}

void frmMain::TextIncomeStudents_Change() {
    guarded([&] {
        const QString text = TextIncomeStudents->text();
        const auto refuse = [&] {
            refuseFactor(TextIncomeStudents);
        };
        if (!onlyAllowed(text, u"0123456789 ")) {
            refuse();
            return;
        }
        const auto pupils = numericValue(text, IntWidth::Bits16);
        if (!pupils) {
            refuse();
            return;
        }
        const int n = *pupils;
        if (n <= 0)
            return;
        if (!TextIncomePerPerson->text().isEmpty()) {
            const std::int64_t product = numericValue64(TextIncomePerPerson->text()) * n;
            if (product < std::numeric_limits<std::int32_t>::min() ||
                product > std::numeric_limits<std::int32_t>::max()) {
                if (!m_loadingEntry)
                    refuse();
                return;
            }
            TextIncomeAmount->setText(QString::number(product));
            m_amountFromPerPerson = true;
        }
        // Pupils typed for the newest entry before any amount become the class size.
        if (numericValue64(TextIncomeNo->text()) == m_state.incomeCount &&
            numericValue64(TextIncomeAmount->text()) == 0)
            m_state.studentCount = std::int16_t(n);
    });
}

void frmMain::TextIncomeAmount_Change() {
    // Whatever the user edits next is compared with this.
    m_incomeAmountBefore = TextIncomeAmount->text();
    guarded([&] { amountChanged(TextIncomeAmount); });
}

// ---- expenses -------------------------------------------------------------

void frmMain::CommandSupplyNew_Click() {
    guarded([&] {
        if (!openNewEntry(supplyPage()))
            return;
        ComboSupplyReceipt->setEditText(QString());
        ComboSupplyArticle->setEditText(QString());
        TextSupplyAmount->clear();
        // The receipt number is the first thing typed for an expense.
        ComboSupplyReceipt->setFocus();
    });
}

void frmMain::TextSupplyNo_Change() {
    guarded([&] { selectByNumber(supplyPage()); });
}

void frmMain::loadSupplyEntry(int number) {
    ArticlePtr entry = entryNumber(m_state.ledger, false, number);
    if (!entry)
        return;
    m_state.supplySelectedEntry = entry;
    ArticlePtr edit = SorobeArticle::create();
    m_state.supplyEditEntry = edit;

    m_loadingEntry = true;
    const auto loaded = qScopeGuard([this] { m_loadingEntry = false; });
    m_dateBeforeReceipt = QDate();
    DTPickerSupplyDate->setDate(entry->taDate().toQDate());
    m_supplyDateShown = DTPickerSupplyDate->date();
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
    guarded([&] { clickList(supplyPage()); });
}

void frmMain::CommandSupplyRecord_Click() {
    guarded([&] {
        const std::int32_t amount =
            numericValue(TextSupplyAmount->text(), IntWidth::Bits32).value_or(0);
        ArticlePtr edit = m_state.supplyEditEntry;
        if (amount == 0 || !edit)
            return;
        edit->setTaDate(pickedDate(DTPickerSupplyDate, m_state.supplySelectedEntry,
                                   m_supplyDateShown, edit->taDate()));
        edit->setTaArticle(ComboSupplyArticle->currentText());
        edit->setTaAmount(amount);
        edit->setTaReceipt(std::int16_t(
            numericValue(ComboSupplyReceipt->currentText(), IntWidth::Bits16).value_or(0)));
        edit->setTaIncome(false);
        recordEntry(supplyPage());
    });
}

void frmMain::CommandSupplyDelete_Click() {
    guarded([&] { deleteEntry(supplyPage()); });
}

void frmMain::CommandSupplyCancel_Click() {
    // The receipt number stays: the next line of the same receipt is likely.
    guarded([&] { cancelEntry(supplyPage(), {ComboSupplyArticle, TextSupplyAmount}); });
}

void frmMain::TextSupplyAmount_Change() {
    guarded([&] { amountChanged(TextSupplyAmount); });
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
        // An entry being shown keeps its own date, whatever other line
        // shares its receipt.
        if (m_loadingEntry)
            return;
        lookUpReceipt(*receipt != 0 ? receipt : std::nullopt);
    });
}

void frmMain::ComboSupplyReceipt_Click(int index) {
    // A number chosen from the list is looked up even when it is 0.
    guarded([&] {
        if (const auto receipt =
                numericValue(ComboSupplyReceipt->itemText(index), IntWidth::Bits16))
            lookUpReceipt(*receipt);
    });
}

void frmMain::DTPickerSupplyDate_Change() {
    // A date the user picks (or the page sets) is the one to keep: a later
    // receipt that matches nothing no longer gives back an older one.
    if (!m_datingByReceipt)
        m_dateBeforeReceipt = QDate();
}

} // namespace sorobe
