#pragma once

// How the printouts, laid out in twips for an A4 sheet (upright, or on its
// side for the collection roll), go onto the paper the printer has, turned
// the same way. On A4 or larger paper they print as laid out. On smaller
// paper (B5, Letter) the whole page is made smaller, the same in both
// directions, until the A4 layout fits the printable area: nothing is cut,
// and the rows per page stay those of A4.

#include <QPageLayout>

namespace sorobe {

struct PaperFit {
    // The factor the layout is drawn at: 1 on A4 or larger, less below.
    double scale = 1.0;
    // The page height the layout sees, in twips: the printable height on A4
    // or larger paper, that of A4 with the same margins when scaled.
    double pageHeight = 0.0;
};

PaperFit fitA4Layout(const QPageLayout& layout, int resolution);

} // namespace sorobe
