#pragma once
// Where paths and names meet a widget. The core keeps them as the bytes the
// file system and the project file hold; a widget shows them as QString. The
// mapping loses nothing (Utf16FromBytes): a folder name that is no UTF-8
// comes back from the widget with the same bytes, so the run creates and
// fills that folder and the project file keeps it as it was.

#include <QString>

#include <string>
#include <string_view>

#include "shared/text.h"

namespace korvane {

inline QString QStringFromBytes(std::string_view bytes) {
    const std::u16string text = Utf16FromBytes(bytes);
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

inline std::string BytesFromQString(const QString& text) {
    return BytesFromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
}

}  // namespace korvane
