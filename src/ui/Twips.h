#pragma once

// Window and grid geometry is kept in twips (1440 to the inch), as the
// ledger's screens were laid out; the screen's logical dpi decides how many
// twips one pixel is (15 at 96 dpi).

namespace sorobe {

double twipsPerPixel();
int twipsToPixels(double twips);
int pixelsToTwips(double pixels);

} // namespace sorobe
