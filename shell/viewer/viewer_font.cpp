#include "shell/viewer/viewer_font.h"

#include <QFontDatabase>
#include <QStringList>
#include <cstdlib>

namespace korvane {

QFont DefaultViewerFont() {
    const QString designed = QStringLiteral("Lucida Console");
    if (QFontDatabase::families().contains(designed, Qt::CaseInsensitive)) {
        QFont font(designed);
        font.setPixelSize(11);
        font.setStyleHint(QFont::TypeWriter);
        return font;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

QFont ViewerFontFromSpec(const FontSpec& spec) {
    QFont font = DefaultViewerFont();
    if (!spec.name.empty()) font.setFamily(QString::fromUtf8(spec.name));
    font.setStyleHint(QFont::TypeWriter);
    if (spec.size > 0) font.setPointSize(spec.size);
    if (spec.height != 0) font.setPixelSize(std::abs(spec.height));
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

}  // namespace korvane
