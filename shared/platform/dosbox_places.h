#pragma once
// Where an installed DOSBox is found on this system, before the tool
// settings name a place for it.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// "dosbox" in every folder of a search path (empty folders skipped), in
// order, then Debian's package location.
std::vector<std::string> DOSBoxPlacesOnSearchPath(std::string_view searchPath);

// The standard places of the running system: the folders of the PATH and
// Debian's package location (on Windows the two DOSBox-0.74 folders under
// the program folders).
std::vector<std::string> StandardDOSBoxPlaces();

// What the open-file dialog that asks the user for DOSBox starts with.
struct DOSBoxFileChoice {
    std::string fileName;
    std::string initialDir;
    std::string filter;
};
DOSBoxFileChoice DOSBoxFileChoiceDefaults();

}  // namespace korvane
