#pragma once
// Where DOSBox is looked for before the tool settings name a place for it.

#include <string>
#include <string_view>
#include <vector>

#include "shell/ui/dialogs.h"

namespace korvane {

// "dosbox" in every folder of a search path (folders separated by ':',
// empty ones skipped), in order, then Debian's package location.
std::vector<std::string> DOSBoxPlacesOnSearchPath(std::string_view searchPath);

// The standard places of the running system: the folders of the PATH and
// Debian's package location (on Windows the two DOSBox-0.74 folders under
// the program folders).
std::vector<std::string> StandardDOSBoxPlaces();

// The dialog that asks the user for DOSBox when it is found nowhere.
FileDialogOptions ManualDOSBoxChoice();

}  // namespace korvane
