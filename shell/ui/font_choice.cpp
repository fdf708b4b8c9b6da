#include "shell/ui/font_choice.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace korvane {
namespace {

double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

}  // namespace

QFont QFontFromChoice(const FontChoice& entry) {
    QFont font;
    if (!entry.name.empty()) font.setFamily(QString::fromUtf8(entry.name));
    if (entry.size > 0)
        font.setPointSize(entry.size);
    else if (entry.height != 0)
        font.setPixelSize(std::abs(entry.height));
    font.setBold(entry.bold);
    font.setItalic(entry.italic);
    font.setUnderline(entry.underline);
    font.setStrikeOut(entry.strikeOut);
    return font;
}

FontChoice FontChoiceFromQFont(const QFont& font, int charSet) {
    FontChoice entry;
    entry.name = font.family().toUtf8().toStdString();
    entry.charSet = charSet;
    const double dpi = ScreenDpi();
    if (font.pointSizeF() > 0) {
        entry.size = int(std::lround(font.pointSizeF()));
        entry.height = -int(std::lround(font.pointSizeF() * dpi / 72.0));
    } else {
        entry.height = -font.pixelSize();
        entry.size = int(std::lround(font.pixelSize() * 72.0 / dpi));
    }
    entry.bold = font.bold();
    entry.italic = font.italic();
    entry.underline = font.underline();
    entry.strikeOut = font.strikeOut();
    return entry;
}

}  // namespace korvane
