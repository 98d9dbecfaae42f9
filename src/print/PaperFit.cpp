#include "PaperFit.h"

#include <QPageSize>
#include <QRect>
#include <algorithm>

namespace sorobe {

namespace {

constexpr double twipsPerInch = 1440.0;
constexpr double twipsPerPoint = 20.0;

} // namespace

PaperFit fitA4Layout(const QPageLayout& layout, int resolution) {
    PaperFit fit;
    // As the printer gives it, in whole device dots: on A4 the layout sees
    // exactly the height it always has.
    fit.pageHeight = layout.paintRectPixels(resolution).height() * twipsPerInch / resolution;

    QPageLayout a4 = layout;
    a4.setPageSize(QPageSize(QPageSize::A4));
    a4.setOrientation(layout.orientation());
    const QRectF wanted = a4.paintRect(QPageLayout::Point);
    const QRectF room = layout.paintRect(QPageLayout::Point);
    if (wanted.width() <= 0 || wanted.height() <= 0)
        return fit;
    const double scale =
        std::min({1.0, room.width() / wanted.width(), room.height() / wanted.height()});
    if (scale < 1.0) {
        fit.scale = scale;
        fit.pageHeight = wanted.height() * twipsPerPoint;
    }
    return fit;
}

} // namespace sorobe
