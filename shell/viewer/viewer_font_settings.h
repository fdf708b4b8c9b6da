#pragma once
// The viewer font in the per-user settings store: eight values written when
// the user chooses a font, read back at the first show of the window.

#include <optional>

#include "shell/ui/dialogs.h"

namespace korvane {

// Writes FontCharSet, FontSize, FontHeight, FontName and the four style
// flags (FontBold, FontItalic, FontUnderline, FontStrikeOut).
void StoreViewerFont(const FontChoice& font);

// The stored font, or nothing when FontName is empty (no font chosen yet).
// Reading, as every read of the store, leaves the missing values stored
// with their defaults.
std::optional<FontChoice> ReadStoredViewerFont();

}  // namespace korvane
