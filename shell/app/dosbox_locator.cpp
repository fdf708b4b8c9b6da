// Locating DOSBox and letting it write its base configuration.

#include "shell/app/dosbox_locator.h"

#include <ctime>

#include "shared/env.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shell/app/dosbox_setup.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/app/tool_settings_run_control.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {

std::vector<std::string> DOSBoxPlacesOnSearchPath(std::string_view searchPath) {
    std::vector<std::string> places;
    size_t start = 0;
    while (start <= searchPath.size()) {
        size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) end = searchPath.size();
        const std::string dir(searchPath.substr(start, end - start));
        if (!dir.empty()) places.push_back(JoinPath(dir, "dosbox"));
        start = end + 1;
    }
    places.push_back("/usr/bin/dosbox");
    return places;
}

std::vector<std::string> StandardDOSBoxPlaces() {
#ifdef _WIN32
    return {ExpandEnvVars("%ProgramFiles%\\DOSBox-0.74\\DOSBox.exe"),
            ExpandEnvVars("%ProgramFiles(x86)%\\DOSBox-0.74\\DOSBox.exe")};
#else
    return DOSBoxPlacesOnSearchPath(GetEnvVar("PATH"));
#endif
}

FileDialogOptions ManualDOSBoxChoice() {
    FileDialogOptions opts;
    opts.title = "Please locate DOSBox-0.74\\DOSBox.exe manually";
#ifdef _WIN32
    opts.fileName = "DOSBox.exe";
    opts.initialDir = ExpandEnvVars("%ProgramFiles%\\DOSBox-0.74\\");
    opts.filter = "DOSBox (DOSBox.exe)|DOSBox.exe|Programs (*.exe)|*.exe";
#else
    opts.fileName = "dosbox";
    opts.initialDir = "/usr/bin/";
    opts.filter = "DOSBox (dosbox*)|dosbox*|All files (*)|*";
#endif
    opts.mustExist = true;
    return opts;
}

DOSBoxSearch LanguageController::dosboxSearch() {
    DOSBoxSearch search;
    search.places = dosboxPlaces_ ? dosboxPlaces_() : StandardDOSBoxPlaces();
    search.manualChoice = ManualDOSBoxChoice();
    search.settingsWritePath = settingsWritePath();
    search.saveSettings = [this] {
        const std::string path = writeToolSettings();
        showSettingsInMemo();
        return path;
    };
    return search;
}

}  // namespace korvane
