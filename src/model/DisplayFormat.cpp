#include "DisplayFormat.h"

namespace sorobe {

QString formatAmount(std::int32_t amount) {
    // Widened first: the magnitude of the smallest 32-bit amount does not fit 32 bits.
    std::int64_t magnitude = amount < 0 ? -static_cast<std::int64_t>(amount) : amount;
    QString digits = QString::number(magnitude);
    QString grouped;
    grouped.reserve(digits.size() + digits.size() / 3 + 1);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += u',';
        grouped += digits[i];
    }
    return amount < 0 ? u'-' + grouped : grouped;
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
