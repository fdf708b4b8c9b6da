#pragma once
// Conversion between the stored form of a font (FontSpec) and QFont.

#include <QFont>

#include "shell/ui/dialogs.h"

namespace korvane {

// A size in points wins over a height in pixels; a negative height is the
// character height, a positive one the cell height (taken as pixels, too).
QFont QFontFromSpec(const FontSpec& spec);
// charSet is not part of a QFont; the caller passes the one to keep.
FontSpec FontSpecFromQFont(const QFont& font, int charSet = 0);

}  // namespace korvane
