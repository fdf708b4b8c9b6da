#include "shared/platform/dosbox_places.h"

#include <cstdlib>

#include "shared/platform/path.h"

namespace korvane {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::vector<std::string> DOSBoxPlacesOnSearchPath(std::string_view searchPath) {
    std::vector<std::string> places;
    for (const std::string& dir : SearchPathFolders(searchPath))
        if (!dir.empty()) places.push_back(JoinPath(dir, "dosbox"));
    places.push_back("/usr/bin/dosbox");
    return places;
}

std::vector<std::string> StandardDOSBoxPlaces() {
#ifdef _WIN32
    return {Variable("ProgramFiles") + "\\DOSBox-0.74\\DOSBox.exe",
            Variable("ProgramFiles(x86)") + "\\DOSBox-0.74\\DOSBox.exe"};
#else
    return DOSBoxPlacesOnSearchPath(Variable("PATH"));
#endif
}

DOSBoxFileChoice DOSBoxFileChoiceDefaults() {
#ifdef _WIN32
    return {"DOSBox.exe", Variable("ProgramFiles") + "\\DOSBox-0.74\\",
            "DOSBox (DOSBox.exe)|DOSBox.exe|Programs (*.exe)|*.exe"};
#else
    return {"dosbox", "/usr/bin/", "DOSBox (dosbox*)|dosbox*|All files (*)|*"};
#endif
}

}  // namespace korvane
