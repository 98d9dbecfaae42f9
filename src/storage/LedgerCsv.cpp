#include "LedgerCsv.h"

#include "Cp932.h"

namespace sorobe {

namespace {

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString number(std::int64_t value) {
    return QString::number(value);
}

} // namespace

QString csvText(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype k = 0; k < row.size(); ++k) {
            if (k > 0)
                text += u',';
            text += csvField(row[k]);
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

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

    if (encoding == CsvEncoding::Utf8WithBom)
        return {QByteArray("\xEF\xBB\xBF") + csvText(rows).toUtf8(), {}};

    // Shift_JIS, row by row: a row the code page cannot hold is named with
    // its entry and the field that holds the character.
    QByteArray bytes;
    for (const QStringList& row : rows) {
        const Cp932Encoded line = encodeCp932(csvText({row}));
        if (line.ok()) {
            bytes += line.bytes;
            continue;
        }
        const bool inItem = !encodeCp932(row[3]).ok();
        return {{},
                QStringLiteral("%1 %2の%3：%4はShift_JISで書き出せない文字です。")
                    .arg(row[0], row[1], inItem ? QStringLiteral("項目") : QStringLiteral("内訳"),
                         describeCharacter(line.badCharacter))};
    }
    return {bytes, {}};
}

} // namespace sorobe
