#include "NewSchoolYear.h"

#include "TermCalendar.h"

#include <algorithm>
#include <vector>

namespace sorobe {

namespace {

struct Era {
    const char16_t* name;
    int firstYear;
};

constexpr Era eras[] = {{u"令和", 2019}, {u"平成", 1989}, {u"昭和", 1926}};

// Western years outside this range are not read as a school year: a 4-digit
// number before 年 is then something else (an amount, a serial number).
constexpr int earliestYear = 1900;
constexpr int latestYear = 2200;

constexpr char16_t firstYearOfEra = u'元';
constexpr char16_t yearMark = u'年';
constexpr char16_t schoolYearMark = u'度';

// Whether 年度 begins at `at`: only a number before 年度 names a school year
// (「創立1950年 令和8年度」 is of 2026).
bool schoolYearAt(const QString& text, qsizetype at) {
    return at + 1 < text.size() && text[at] == yearMark && text[at + 1] == schoolYearMark;
}

// The value of an ASCII or full-width digit, -1 for any other character.
int digitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'０' && u <= u'９')
        return u - u'０';
    return -1;
}

bool isFullWidthDigit(QChar c) {
    return c.unicode() >= u'０' && c.unicode() <= u'９';
}

// A year number of the text, directly followed by 年度.
struct YearNumber {
    qsizetype start = 0;
    qsizetype length = 0;
    // The number as written: the year itself for a western year, the year in
    // the era (1 for 元) for an era year.
    int number = 0;
    bool western = false;
    // The school year it names.
    int year = 0;
};

// The era whose name ends just before `at`, if any.
const Era* eraBefore(const QString& text, qsizetype at) {
    for (const Era& era : eras) {
        const QStringView name(era.name);
        if (at >= name.size() && QStringView(text).sliced(at - name.size(), name.size()) == name)
            return &era;
    }
    return nullptr;
}

// Every western year (four digits in 1900-2200) and every era year (an era
// name, then digits or 元) followed by 年度, in the order of the text. Other
// numbers, such as the grade in 「5年1組」, are no school year.
std::vector<YearNumber> yearNumbers(const QString& text) {
    std::vector<YearNumber> found;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == firstYearOfEra) {
            const Era* era = eraBefore(text, i);
            if (era && schoolYearAt(text, i + 1))
                found.push_back({i, 1, 1, false, era->firstYear});
            ++i;
            continue;
        }
        if (digitValue(text[i]) < 0) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        qint64 value = 0;
        while (i < text.size() && digitValue(text[i]) >= 0) {
            // Capped: a long run of digits is no year, and must not overflow.
            value = std::min<qint64>(value * 10 + digitValue(text[i]), 1000000);
            ++i;
        }
        if (!schoolYearAt(text, i))
            continue;
        const qsizetype length = i - start;
        const int number = static_cast<int>(value);
        if (const Era* era = eraBefore(text, start)) {
            const int year = era->firstYear + number - 1;
            if (number >= 1 && year <= latestYear)
                found.push_back({start, length, number, false, year});
        } else if (length == 4 && number >= earliestYear && number <= latestYear) {
            found.push_back({start, length, number, true, number});
        }
    }
    return found;
}

// `number` in ASCII or full-width digits, padded with zeros to `length` characters.
QString digitsOf(int number, bool fullWidth, qsizetype length) {
    QString digits = QString::number(number).rightJustified(length, u'0');
    if (fullWidth) {
        for (QChar& c : digits)
            c = QChar(c.unicode() - u'0' + u'０');
    }
    return digits;
}

} // namespace

std::optional<int> schoolYearInText(const QString& text) {
    const std::vector<YearNumber> numbers = yearNumbers(text);
    // A western year says the year without doubt; an era year is read only
    // when the text holds none.
    for (const YearNumber& number : numbers) {
        if (number.western)
            return number.year;
    }
    if (!numbers.empty())
        return numbers.front().year;
    return std::nullopt;
}

std::optional<QString> nextSchoolYearText(const QString& text) {
    const std::optional<int> year = schoolYearInText(text);
    if (!year)
        return std::nullopt;
    // The settings page's own form gets the next choice of the page, which
    // names a new era by its first year.
    if (text.trimmed() == schoolYearName(*year))
        return schoolYearName(*year + 1);

    // 元 has no width of its own: it takes that of the text's digits.
    bool anyAscii = false;
    bool anyFullWidth = false;
    for (const QChar c : text) {
        if (digitValue(c) >= 0)
            (isFullWidthDigit(c) ? anyFullWidth : anyAscii) = true;
    }
    const bool fullWidthFirstYear = anyFullWidth && !anyAscii;

    QString next;
    next.reserve(text.size() + 2);
    qsizetype copied = 0;
    for (const YearNumber& number : yearNumbers(text)) {
        next += QStringView(text).sliced(copied, number.start - copied);
        const bool fullWidth = text[number.start] == firstYearOfEra
                                   ? fullWidthFirstYear
                                   : isFullWidthDigit(text[number.start]);
        next += digitsOf(number.number + 1, fullWidth,
                         text[number.start] == firstYearOfEra ? 1 : number.length);
        copied = number.start + number.length;
    }
    next += QStringView(text).sliced(copied);
    return next;
}

int ledgerSchoolYear(const QString& yearText, const ArticlePtr& ledger, QDate today) {
    if (const std::optional<int> year = schoolYearInText(yearText))
        return *year;
    QDate latest;
    if (ledger) {
        for (ArticlePtr node = ledger->nextArticle(); node; node = node->nextArticle()) {
            const QDate date = node->taDate().toQDate();
            if (date.isValid() && (!latest.isValid() || date > latest))
                latest = date;
        }
    }
    return schoolYearOf(latest.isValid() ? latest : today);
}

ArticlePtr makeYearCarry(std::int32_t amount, int schoolYear, std::int16_t studentCount) {
    ArticlePtr entry = SorobeArticle::create();
    entry->setTaDate(DateTime::fromDate(schoolYear, 4, 1));
    entry->setTaIncome(true);
    entry->setTaArticle(QString::fromUtf16(yearCarryArticle));
    entry->setTaSubArticle(QString());
    entry->setTaPerPerson(0);
    entry->setTaStudentsNumber(studentCount);
    entry->setTaAmount(amount);
    entry->setTaReceipt(0);
    entry->setTaKey(0);
    return entry;
}

} // namespace sorobe
