#pragma once
// The places of an installed Korvane, found from the program's own folder:
// the programs lie in <prefix>/bin, and beside that folder the build puts
//   <prefix>/lib/korvane        the tool tree (the tool root of an installation)
//   <prefix>/share/korvane      the bundled tool settings file Korvane.INI
//   <prefix>/share/doc/korvane  the user guide (html/index.html) and the examples
// The relative paths are those the installation was configured with.

#include <string>

namespace korvane {

struct InstalledPlaces {
    std::string toolDir;  // absolute, no trailing separator
    std::string dataDir;
    std::string docDir;
};

InstalledPlaces InstalledPlacesOf(const std::string& programPath);

// The per-user folder of the shell's files: $XDG_CONFIG_HOME/korvane ("" when
// no configuration folder is known).
std::string UserConfigDir();

}  // namespace korvane
