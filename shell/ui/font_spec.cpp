#include "shell/ui/font_spec.h"

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

QFont QFontFromSpec(const FontSpec& spec) {
    QFont font;
    if (!spec.name.empty()) font.setFamily(QString::fromUtf8(spec.name));
    if (spec.size > 0)
        font.setPointSize(spec.size);
    else if (spec.height != 0)
        font.setPixelSize(std::abs(spec.height));
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

FontSpec FontSpecFromQFont(const QFont& font, int charSet) {
    FontSpec spec;
    spec.name = font.family().toUtf8().toStdString();
    spec.charSet = charSet;
    const double dpi = ScreenDpi();
    if (font.pointSizeF() > 0) {
        spec.size = int(std::lround(font.pointSizeF()));
        spec.height = -int(std::lround(font.pointSizeF() * dpi / 72.0));
    } else {
        spec.height = -font.pixelSize();
        spec.size = int(std::lround(font.pixelSize() * 72.0 / dpi));
    }
    spec.bold = font.bold();
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikeOut = font.strikeOut();
    return spec;
}

}  // namespace korvane
