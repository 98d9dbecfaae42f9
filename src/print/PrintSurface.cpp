#include "PrintSurface.h"

#include <QStringList>
#include <mutex>

namespace sorobe {

PrintFailure::PrintFailure(const QString& message)
    : std::runtime_error(message.toStdString())
    , m_message(message) {}

void PrintSurface::printAt(double x, double y, const QString& text) {
    setCurrentX(x);
    setCurrentY(y);
    printText(text);
}

QString printFontName() {
    return QStringLiteral("ＭＳ 明朝");
}

namespace {

// IPAMincho first: its advances are those of the face the layout was drawn
// for. The others are Mincho faces with the same full-width advance, used only
// when IPAMincho is missing; a proportional face would shift the columns.
void registerSubstitutes() {
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitutions(
            printFontName(), QStringList{QStringLiteral("IPAMincho"), QStringLiteral("IPAexMincho"),
                                         QStringLiteral("Noto Serif CJK JP")});
    });
}

} // namespace

QFont printFont(const QString& name, double points) {
    registerSubstitutes();
    QFont font(name);
    font.setPixelSize(qMax(1, qRound(points * 20.0)));
    font.setStyleHint(QFont::Serif);
    // Glyph outlines as designed: at a few hundred units to the em hinting
    // only nudges advances, and both surfaces must measure alike.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace sorobe
