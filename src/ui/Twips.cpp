#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace sorobe {

double twipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int twipsToPixels(double twips) {
    return int(std::lround(twips / twipsPerPixel()));
}

int pixelsToTwips(double pixels) {
    return int(std::lround(pixels * twipsPerPixel()));
}

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace sorobe
