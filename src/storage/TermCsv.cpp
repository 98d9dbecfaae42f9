#include "TermCsv.h"

#include <cstdint>

namespace sorobe {

CsvResult termPagesCsv(const std::vector<TermCsvPage>& pages, CsvEncoding encoding) {
    QList<QStringList> rows;
    // Rows of lines, to name a line Shift_JIS cannot hold: 「1学期 3の項目」.
    for (const TermCsvPage& page : pages) {
        if (!rows.isEmpty())
            rows.append(QStringList());
        rows.append({page.name});
        rows.append({QStringLiteral("No."), QStringLiteral("項目"), QStringLiteral("収入"),
                     QStringLiteral("支出"), QStringLiteral("残高")});
        int number = 0;
        // Wider than an amount, as a spreadsheet would add the column.
        std::int64_t balance = 0;
        std::int64_t incomeTotal = 0;
        std::int64_t supplyTotal = 0;
        for (const ArticlePtr& list : {page.income, page.supply}) {
            for (const SorobeArticle* line = list ? list->nextArticle().get() : nullptr; line;
                 line = line->nextArticle().get()) {
                const bool income = line->taIncome();
                const std::int64_t amount = line->taAmount();
                balance += income ? amount : -amount;
                (income ? incomeTotal : supplyTotal) += amount;
                const QString item = line->taSubArticle().isEmpty()
                                         ? line->taArticle()
                                         : line->taArticle() + u' ' + line->taSubArticle();
                rows.append(
                    {QString::number(++number), item, income ? QString::number(amount) : QString(),
                     income ? QString() : QString::number(amount), QString::number(balance)});
            }
        }
        rows.append({QString(), QStringLiteral("合　計"), QString::number(incomeTotal),
                     QString::number(supplyTotal), QString::number(balance)});
    }

    // Only a line's item can hold what Shift_JIS cannot; the page is the
    // nearest row above that holds a name alone.
    return encodeCsv(rows, encoding, [&rows](const QStringList& row, qsizetype) {
        qsizetype at = rows.indexOf(row);
        while (at > 0 && rows[at].size() != 1)
            --at;
        return QStringLiteral("%1 %2の項目").arg(rows.value(at).value(0), row.value(0));
    });
}

} // namespace sorobe
