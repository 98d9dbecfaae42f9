#pragma once

// The new school year: next year's book started from this year's, with the
// settings page kept, 年度 one year on and the year's balance carried.

#include "SorobeArticle.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>

namespace sorobe {

// The item of the new book's first income.
inline constexpr char16_t yearCarryArticle[] = u"前年度繰越金";

// The school year (the calendar year of its April) a 年度 text names:
// 2026 for 「令和8年度(2026年度）」, 「2026年度」, 「令和8年度」, 「令和８年度」;
// 2019 for 「令和元年度」, 2018 for 「平成30年度」: a number directly before
// 年度, a western year preferred. Nothing when it names none.
std::optional<int> schoolYearInText(const QString& text);

// The 年度 text one school year on, in the form the text holds:
// 「令和8年度(2026年度）」 → 「令和9年度(2027年度）」, 「２０２６年度」 → 「２０２７年度」
// (digits keep their width), 「令和元年度」 → 「令和2年度」; a text of the
// settings page's own choices crosses an era as the choices do
// (「平成30年度(2018年度）」 → 「令和元年度(2019年度）」). Nothing when the
// text names no school year: the teacher then edits it.
std::optional<QString> nextSchoolYearText(const QString& text);

// The school year of the ledger being closed: the one its 年度 text names,
// else that of its latest entry, else that of `today`.
int ledgerSchoolYear(const QString& yearText, const ArticlePtr& ledger, QDate today);

// The new book's first income, detached: item yearCarryArticle, no sub-item,
// dated 1 April of `schoolYear`, `amount` as given (a negative balance is
// carried as a negative amount), no amount per pupil, `studentCount` pupils,
// receipt and key 0.
ArticlePtr makeYearCarry(std::int32_t amount, int schoolYear, std::int16_t studentCount);

} // namespace sorobe
