#include "DisplayFormat.h"

#include <iterator>

namespace sorobe {

QString formatAmount(std::int32_t amount) {
    // Written from the last digit back into room for the longest amount,
    // "-2,147,483,648": the term pages and the ledger show tens of
    // thousands of amounts at a time.
    char16_t text[14];
    qsizetype start = std::size(text);
    // Widened first: the magnitude of the smallest 32-bit amount does not fit 32 bits.
    std::int64_t magnitude = amount < 0 ? -static_cast<std::int64_t>(amount) : amount;
    for (int digits = 0; digits == 0 || magnitude > 0; ++digits, magnitude /= 10) {
        if (digits > 0 && digits % 3 == 0)
            text[--start] = u',';
        text[--start] = char16_t(u'0' + magnitude % 10);
    }
    if (amount < 0)
        text[--start] = u'-';
    return QString(reinterpret_cast<const QChar*>(text + start),
                   qsizetype(std::size(text)) - start);
}

QString formatShortDate(DateTime date) {
    const QDate d = date.toQDate();
    return QString::asprintf("%04d/%02d/%02d", d.year(), d.month(), d.day());
}

QString formatListDate(DateTime date) {
    QString text = formatShortDate(date);
    if (text.size() >= 5 && text[4] == u'/')
        text.remove(0, 2);
    return text;
}

} // namespace sorobe
