#include "MeasuringPrintSurface.h"

namespace sorobe {

MeasuringPrintSurface::MeasuringPrintSurface()
    : m_fontName(printFontName()) {
    refreshFont();
}

void MeasuringPrintSurface::setFontName(const QString& name) {
    m_fontName = name;
    refreshFont();
}

void MeasuringPrintSurface::setFontSize(double points) {
    m_fontSize = points;
    refreshFont();
}

void MeasuringPrintSurface::refreshFont() {
    m_font = printFont(m_fontName, m_fontSize);
    m_metrics.emplace(m_font);
    m_fontWidths = &(*m_textWidths)[FontKey(m_fontName, m_fontSize)];
    ++m_fontChanges;
}

void MeasuringPrintSurface::shareTextWidths(const MeasuringPrintSurface& other) {
    m_textWidths = other.m_textWidths;
    m_fontWidths = &(*m_textWidths)[FontKey(m_fontName, m_fontSize)];
}

void MeasuringPrintSurface::printText(const QString& text) {
    drawText(m_currentX, m_currentY, text);
    m_currentX = 0.0;
    m_currentY += textHeight(text);
}

double MeasuringPrintSurface::textWidth(const QString& text) const {
    const HashedText key(text);
    auto known = m_fontWidths->constFind(key);
    if (known == m_fontWidths->cend())
        known = m_fontWidths->insert(key, m_metrics->horizontalAdvance(text));
    return *known;
}

double MeasuringPrintSurface::textHeight(const QString&) const {
    return m_metrics->height();
}

void MeasuringPrintSurface::line(double x1, double y1, double x2, double y2) {
    drawLine(x1, y1, x2, y2);
}

} // namespace sorobe
