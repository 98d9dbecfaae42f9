#pragma once

// Window and grid geometry is kept in twips (1440 to the inch), as the
// ledger's screens were laid out; the screen's logical dpi decides how many
// twips one pixel is (15 at 96 dpi).

#include <QRect>

namespace sorobe {

double twipsPerPixel();
int twipsToPixels(double twips);
int pixelsToTwips(double pixels);
// A control's place on its form, given in twips.
QRect twipsRect(int left, int top, int width, int height);

} // namespace sorobe
