#include "shell/viewer/viewer_font_settings.h"

#include "shared/settings.h"

namespace korvane {

void StoreViewerFont(const FontChoice& font) {
    WriteSettingInt("FontCharSet", font.charSet);
    WriteSettingInt("FontSize", font.size);
    WriteSettingInt("FontHeight", font.height);
    WriteSettingString("FontName", font.name);
    WriteSettingBool("FontBold", font.bold);
    WriteSettingBool("FontItalic", font.italic);
    WriteSettingBool("FontUnderline", font.underline);
    WriteSettingBool("FontStrikeOut", font.strikeOut);
}

std::optional<FontChoice> ReadStoredViewerFont() {
    FontChoice font;
    font.name = ReadSettingString("FontName", "");
    if (font.name.empty()) return std::nullopt;
    font.charSet = ReadSettingInt("FontCharSet", 0);
    font.size = ReadSettingInt("FontSize", 0);
    font.height = ReadSettingInt("FontHeight", 0);
    font.bold = ReadSettingBool("FontBold", false);
    font.italic = ReadSettingBool("FontItalic", false);
    font.underline = ReadSettingBool("FontUnderline", false);
    font.strikeOut = ReadSettingBool("FontStrikeOut", false);
    return font;
}

}  // namespace korvane
