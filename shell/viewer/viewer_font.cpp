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

QFont ViewerFontFromChoice(const FontChoice& entry) {
    QFont font = DefaultViewerFont();
    if (!entry.name.empty()) font.setFamily(QString::fromUtf8(entry.name));
    font.setStyleHint(QFont::TypeWriter);
    if (entry.size > 0) font.setPointSize(entry.size);
    if (entry.height != 0) font.setPixelSize(std::abs(entry.height));
    font.setBold(entry.bold);
    font.setItalic(entry.italic);
    font.setUnderline(entry.underline);
    font.setStrikeOut(entry.strikeOut);
    return font;
}

}  // namespace korvane
