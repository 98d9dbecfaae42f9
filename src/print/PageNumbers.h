#pragma once

// Page numbers for printouts of more than one sheet: 「1 / 3」 centred under
// everything the ledger or the report places, at the foot of the printable
// area, so that a teacher who drops the sheets can put them back in order. A
// printout of one sheet is printed exactly as laid out, with no number.

#include "PrintSurface.h"

#include <functional>

namespace sorobe {

// The foot of the page kept free for the number on a printout of more than
// one sheet: the rows of the tables and the sign-off stop above it.
inline constexpr double pageNumberBand = 300.0;
inline constexpr double pageNumberPoints = 10.0;

// The middle of the tables of the upright sheets, where their numbers stand.
inline constexpr double portraitMiddle = 5800.0;

// Lays the printout out once without ink to count its sheets, then on the
// surface: unchanged when it takes one sheet, else above the band with each
// sheet's number in the band, centred on `middle`. Exceptions of the layout
// pass through.
//
// failsAlikeOnAnySheets: the layout, if it throws, throws on sheets of any
// height (no total it forms depends on where its pages break). Then the
// count that only tells one sheet from more stops at the second sheet: the
// rest of the count, on sheets kept free of the band, meets whatever the
// rest of this one would have met.
void printNumbered(PrintSurface& surface, const std::function<void(PrintSurface&)>& layout,
                   double middle = portraitMiddle, bool failsAlikeOnAnySheets = false);

} // namespace sorobe
