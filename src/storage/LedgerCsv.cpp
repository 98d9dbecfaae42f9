#include "LedgerCsv.h"

namespace sorobe {

namespace {

QString number(std::int64_t value) {
    return QString::number(value);
}

} // namespace

CsvResult ledgerCsv(const ArticlePtr& ledger, CsvEncoding encoding) {
    QList<QStringList> rows{{QStringLiteral("区分"), QStringLiteral("No."), QStringLiteral("日付"),
                             QStringLiteral("項目"), QStringLiteral("内訳"),
                             QStringLiteral("領収書番号"), QStringLiteral("一人分"),
                             QStringLiteral("人数"), QStringLiteral("収入"), QStringLiteral("支出"),
                             QStringLiteral("残高")}};
    int incomeNumber = 0;
    int supplyNumber = 0;
    // Wider than an amount: the sum is what a spreadsheet would show, even
    // for a ledger that could not be held on the pages.
    std::int64_t balance = 0;
    for (const SorobeArticle* entry = ledger ? ledger->nextArticle().get() : nullptr; entry;
         entry = entry->nextArticle().get()) {
        const bool income = entry->taIncome();
        balance += income ? std::int64_t(entry->taAmount()) : -std::int64_t(entry->taAmount());
        const bool perPupil = entry->taPerPerson() != 0;
        rows.append({income ? QStringLiteral("収入") : QStringLiteral("支出"),
                     number(income ? ++incomeNumber : ++supplyNumber),
                     entry->taDate().toQDate().toString(QStringLiteral("yyyy/MM/dd")),
                     entry->taArticle(), entry->taSubArticle(),
                     !income && entry->taReceipt() != 0 ? number(entry->taReceipt()) : QString(),
                     perPupil ? number(entry->taPerPerson()) : QString(),
                     perPupil ? number(entry->taStudentsNumber()) : QString(),
                     income ? number(entry->taAmount()) : QString(),
                     income ? QString() : number(entry->taAmount()), number(balance)});
    }

    // A row names its entry as the pages do: 「支出 2の項目」.
    return encodeCsv(rows, encoding, [](const QStringList& row, qsizetype field) {
        return QStringLiteral("%1 %2の%3")
            .arg(row[0], row[1], field == 3 ? QStringLiteral("項目") : QStringLiteral("内訳"));
    });
}

} // namespace sorobe
