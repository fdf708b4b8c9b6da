#pragma once
// The pictures compiled into the program: the maker's logo of the about box
// and the application icon for the desktop (48 and 256 pixels square).

namespace korvane {

inline constexpr const char* kMakerLogoResource = ":/korvane/talmek_logo.png";
inline constexpr const char* kAppIcon48Resource = ":/korvane/icons/48x48/korvane.png";
inline constexpr const char* kAppIcon256Resource = ":/korvane/icons/256x256/korvane.png";

// Registers the resources; they live in a static library, so code that reads
// them calls this first (repeated calls do nothing).
void InitUiResources();

}  // namespace korvane
