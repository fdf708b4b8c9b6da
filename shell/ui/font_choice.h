#pragma once
// Conversion between the stored form of a font (FontChoice) and QFont.

#include <QFont>

#include "shell/ui/dialogs.h"

namespace korvane {

// A size in points wins over a height in pixels; a negative height is the
// character height, a positive one the cell height (taken as pixels, too).
QFont QFontFromChoice(const FontChoice& entry);
// charSet is not part of a QFont; the caller passes the one to keep.
FontChoice FontChoiceFromQFont(const QFont& font, int charSet = 0);

}  // namespace korvane
