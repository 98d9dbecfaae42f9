#include "ReceiptCheck.h"

#include "DisplayFormat.h"

#include <QHash>
#include <algorithm>

namespace sorobe {

namespace {

// An expense as read from the ledger, with what the checks compare.
struct Expense {
    ReceiptEntry entry;
    int receipt = 0;
    QString article;
    QString subArticle;
};

// What makes two expenses a likely double entry: the same day, item,
// sub-item and amount.
struct DoubleKey {
    qint64 day = 0;
    QString article;
    QString subArticle;
    std::int32_t amount = 0;

    friend bool operator==(const DoubleKey&, const DoubleKey&) = default;
};

size_t qHash(const DoubleKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.day, key.article, key.subArticle, key.amount);
}

std::vector<Expense> readExpenses(const ArticlePtr& ledger) {
    std::vector<Expense> expenses;
    if (!ledger)
        return expenses;
    for (ArticlePtr node = ledger->nextArticle(); node; node = node->nextArticle()) {
        if (node->taIncome())
            continue;
        Expense expense;
        expense.entry.number = static_cast<int>(expenses.size()) + 1;
        expense.entry.date = node->taDate().toQDate();
        expense.entry.item = node->taSubArticle().isEmpty()
                                 ? node->taArticle()
                                 : node->taArticle() + u' ' + node->taSubArticle();
        expense.entry.amount = node->taAmount();
        // A number of 0, or a negative one from a damaged file, is no receipt.
        expense.receipt = node->taReceipt() > 0 ? node->taReceipt() : 0;
        expense.article = node->taArticle();
        expense.subArticle = node->taSubArticle();
        expenses.push_back(std::move(expense));
    }
    return expenses;
}

// Receipt numbers are 16-bit, so a table indexed by the number stays small.
struct ReceiptUse {
    bool used = false;
    bool differentDates = false;
    QDate firstDate;
    // The place of the number's finding among the different-date findings.
    int finding = -1;
};

void findMissing(const std::vector<ReceiptUse>& uses, std::vector<ReceiptFinding>& findings) {
    const int highest = static_cast<int>(uses.size()) - 1;
    for (int number = 1; number <= highest; ++number) {
        if (uses[number].used)
            continue;
        int last = number;
        while (last < highest && !uses[last + 1].used)
            ++last;
        ReceiptFinding finding;
        finding.problem = ReceiptProblem::Missing;
        finding.summary =
            number == last
                ? QStringLiteral("領収書番号 %1 がありません。").arg(number)
                : QStringLiteral("領収書番号 %1〜%2 がありません。").arg(number).arg(last);
        findings.push_back(std::move(finding));
        number = last;
    }
}

void findDifferentDates(const std::vector<Expense>& expenses, std::vector<ReceiptUse>& uses,
                        std::vector<ReceiptFinding>& findings) {
    const std::size_t first = findings.size();
    for (std::size_t number = 1; number < uses.size(); ++number) {
        if (!uses[number].differentDates)
            continue;
        uses[number].finding = static_cast<int>(findings.size());
        ReceiptFinding finding;
        finding.problem = ReceiptProblem::DifferentDates;
        finding.summary =
            QStringLiteral("領収書番号 %1 が違う日付の支出に使われています。").arg(number);
        findings.push_back(std::move(finding));
    }
    if (findings.size() == first)
        return;
    for (const Expense& expense : expenses) {
        if (expense.receipt != 0 && uses[expense.receipt].finding >= 0)
            findings[uses[expense.receipt].finding].entries.push_back(expense.entry);
    }
}

void findWithoutReceipt(const std::vector<Expense>& expenses,
                        std::vector<ReceiptFinding>& findings) {
    ReceiptFinding finding;
    finding.problem = ReceiptProblem::WithoutReceipt;
    for (const Expense& expense : expenses) {
        if (expense.receipt == 0)
            finding.entries.push_back(expense.entry);
    }
    if (finding.entries.empty())
        return;
    finding.summary =
        QStringLiteral("領収書番号のない支出が %1 件あります。").arg(finding.entries.size());
    findings.push_back(std::move(finding));
}

void findLikelyDoubles(const std::vector<Expense>& expenses,
                       std::vector<ReceiptFinding>& findings) {
    // Groups are made in the order of their first entry, which is the order
    // the findings are shown in.
    QHash<DoubleKey, std::size_t> groupOf;
    std::vector<std::vector<const ReceiptEntry*>> groups;
    for (const Expense& expense : expenses) {
        const DoubleKey key{expense.entry.date.toJulianDay(), expense.article, expense.subArticle,
                            expense.entry.amount};
        auto found = groupOf.constFind(key);
        if (found == groupOf.constEnd()) {
            found = groupOf.insert(key, groups.size());
            groups.emplace_back();
        }
        groups[found.value()].push_back(&expense.entry);
    }
    for (const auto& group : groups) {
        if (group.size() < 2)
            continue;
        ReceiptFinding finding;
        finding.problem = ReceiptProblem::LikelyDouble;
        finding.summary = QStringLiteral("同じ日に同じ項目・金額の支出が %1 件あります。"
                                         "二重に記録していないか確かめてください。")
                              .arg(group.size());
        for (const ReceiptEntry* entry : group)
            finding.entries.push_back(*entry);
        findings.push_back(std::move(finding));
    }
}

} // namespace

std::vector<ReceiptFinding> checkReceipts(const ArticlePtr& ledger) {
    const std::vector<Expense> expenses = readExpenses(ledger);

    int highest = 0;
    for (const Expense& expense : expenses)
        highest = std::max(highest, expense.receipt);
    std::vector<ReceiptUse> uses(static_cast<std::size_t>(highest) + 1);
    for (const Expense& expense : expenses) {
        if (expense.receipt == 0)
            continue;
        ReceiptUse& use = uses[expense.receipt];
        if (!use.used) {
            use.used = true;
            use.firstDate = expense.entry.date;
        } else if (expense.entry.date != use.firstDate) {
            use.differentDates = true;
        }
    }

    std::vector<ReceiptFinding> findings;
    findMissing(uses, findings);
    findDifferentDates(expenses, uses, findings);
    findWithoutReceipt(expenses, findings);
    findLikelyDoubles(expenses, findings);
    return findings;
}

QString describeReceiptEntry(const ReceiptEntry& entry) {
    const QDate& date = entry.date;
    return QStringLiteral("No.%1　%2　%3　%4円")
        .arg(entry.number)
        .arg(QString::asprintf("%04d/%02d/%02d", date.year(), date.month(), date.day()), entry.item,
             formatAmount(entry.amount));
}

} // namespace sorobe
