// Renders the program's SVG icon into a square PNG at build time, so that the
// PNG icons of the installation are always the SVG icon's drawing:
//   sorobe_icon_png ICON.svg OUT.png SIZE

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ICON.svg OUT.png SIZE\n", argv[0]);
        return 2;
    }
    const QString svgPath = QString::fromLocal8Bit(argv[1]);
    const QString pngPath = QString::fromLocal8Bit(argv[2]);
    bool sizeOk = false;
    const int size = QString::fromLocal8Bit(argv[3]).toInt(&sizeOk);
    if (!sizeOk || size < 16 || size > 1024) {
        std::fprintf(stderr, "%s: the size must be a number of pixels from 16 to 1024\n", argv[0]);
        return 2;
    }

    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: cannot read the SVG icon %s\n", argv[0], argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(pngPath, "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
