#pragma once
// The viewer font as a QFont: the designed default and the font made from
// the stored values.

#include <QFont>

#include "shell/ui/dialogs.h"

namespace korvane {

// Designed as "Lucida Console" with the character height 11 pixels; where
// that face is not installed, the desktop's fixed-pitch font.
QFont DefaultViewerFont();

// The font of the stored values: face, size in points and then the height in
// pixels, which decides the size when it is given; the four styles.
QFont ViewerFontFromChoice(const FontChoice& entry);

}  // namespace korvane
