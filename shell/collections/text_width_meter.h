#pragma once
// Text widths in a list's font, for the horizontal extent of a collection
// list. The widest of many paths is measured by summing the advances of
// their characters (one table for ASCII), which keeps a list of 100,000
// entries quick; other texts are measured whole.

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <array>
#include <string_view>

namespace korvane {

class TextWidthMeter {
public:
    explicit TextWidthMeter(const QFont& font) : metrics_(font) {
        for (int c = 0; c < 128; ++c) ascii_[size_t(c)] = metrics_.horizontalAdvance(QChar(c));
    }
    int operator()(std::string_view text) const {
        int width = 0;
        for (char c : text) {
            const auto u = static_cast<unsigned char>(c);
            if (u >= 128) return metrics_.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
            width += ascii_[u];
        }
        return width;
    }

private:
    QFontMetrics metrics_;
    std::array<int, 128> ascii_{};
};

}  // namespace korvane
