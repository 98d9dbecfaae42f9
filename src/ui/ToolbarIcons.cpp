#include "ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace sorobe {

namespace {

constexpr int side = 24;

void folder(QPainter& p, bool open) {
    p.setPen(QPen(QColor(150, 110, 30), 1));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(2, 6, 19, 14);
    p.drawRect(2, 4, 8, 3);
    if (open) {
        QPainterPath flap;
        flap.moveTo(5, 10);
        flap.lineTo(23, 10);
        flap.lineTo(20, 20);
        flap.lineTo(2, 20);
        flap.closeSubpath();
        p.setBrush(QColor(250, 220, 120));
        p.drawPath(flap);
    }
}

void floppy(QPainter& p) {
    p.setPen(QPen(QColor(30, 50, 110), 1));
    p.setBrush(QColor(60, 90, 170));
    p.drawRect(3, 3, 18, 18);
    p.setBrush(Qt::white);
    p.drawRect(6, 3, 12, 7);
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(7, 14, 10, 7);
}

void printer(QPainter& p) {
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(Qt::white);
    p.drawRect(7, 2, 10, 8);
    p.setBrush(QColor(170, 170, 175));
    p.drawRect(2, 9, 20, 9);
    p.setBrush(Qt::white);
    p.drawRect(6, 15, 12, 7);
    p.drawLine(8, 18, 16, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 170, 60));
    p.drawEllipse(18, 11, 2, 2);
}

void setup(QPainter& p) {
    printer(p);
    // A spanner-like mark over the printer: its settings.
    p.setPen(QPen(QColor(40, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(13, 20, 21, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(21, 12), 2.5, 2.5);
}

void preview(QPainter& p) {
    // A sheet under a magnifying glass.
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(Qt::white);
    p.drawRect(3, 2, 13, 18);
    for (int y = 6; y <= 14; y += 4)
        p.drawLine(6, y, 13, y);
    p.setBrush(QColor(200, 225, 250, 200));
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawEllipse(QPointF(15, 13), 4.5, 4.5);
    p.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(18, 16, 22, 21);
}

} // namespace

QIcon toolbarIcon(const QString& imageKey) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (imageKey == QLatin1String("Open"))
        folder(painter, true);
    else if (imageKey == QLatin1String("Folder04"))
        folder(painter, false);
    else if (imageKey == QLatin1String("Save"))
        floppy(painter);
    else if (imageKey == QLatin1String("Setup"))
        setup(painter);
    else if (imageKey == QLatin1String("Print"))
        printer(painter);
    else if (imageKey == QLatin1String("Preview"))
        preview(painter);
    else
        return QIcon();
    painter.end();
    return QIcon(pixmap);
}

} // namespace sorobe
