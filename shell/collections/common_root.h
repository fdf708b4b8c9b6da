#pragma once
// The common root of a collection list (the folder part its entries share)
// and the text drawn for an entry beside it.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace korvane {

class CheckList;

// Width of a text as the list would draw it (pixels in the widget; tests
// count characters).
using TextWidthFn = std::function<int(std::string_view)>;

struct CommonRootResult {
    // Folder path without trailing separator, or empty.
    std::string root;
    // The widest full path of the list as textWidth measures it; the list's
    // horizontal extent is this plus kExtentMargin. 0 without a measure.
    int widestText = 0;
};

inline constexpr int kExtentMargin = 20;
// Characters of an entry's path drawn after the root at most.
inline constexpr size_t kMaxDrawnChars = 260;
inline constexpr const char* kElidedRootPrefix = "....";

// ComputeCommonRoot: every entry, checked or not, contributes its folder
// (the path without its file name and the separator before it), split at
// every separator, so two leading separators give two empty components. The
// reference is the first entry with the fewest components, D the largest
// component count; n components are shared exactly (case-sensitive) by all
// entries; the root is the first min(n, D-1) reference components joined by
// the separator. An empty list gives an empty root and no width.
CommonRootResult ComputeCommonRoot(const CheckList& list, const TextWidthFn& textWidth = {});

// "...." followed by the path from the character after rootLength on, at
// most kMaxDrawnChars characters (UTF-8 sequences are kept whole). The source
// list draws every entry so, also with an empty root.
std::string ElidedEntryText(std::string_view path, size_t rootLength);
// The CSV and copy lists: the plain path while their panel caption is
// empty, else the elided text after the caption's length.
std::string PanelEntryText(std::string_view path, std::string_view panelCaption);

}  // namespace korvane
