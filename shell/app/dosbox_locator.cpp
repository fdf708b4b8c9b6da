// Locating DOSBox and letting it write its base configuration.

#include "shell/app/dosbox_locator.h"

#include <ctime>

#include "shared/env.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shell/app/language_controller.h"
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

void LanguageController::LocateDOSBox(bool use) {
    if (!use) {
        run_.dosboxReady = false;
        run_.dosboxPath.clear();
        run_.dosboxConfig.clear();
        return;
    }
    if (run_.dosboxReady) return;
    run_.dosboxReady = false;

    std::string found;
    for (const std::string& place : dosboxPlaces_ ? dosboxPlaces_() : StandardDOSBoxPlaces())
        if (ExecutableKind(place) != ExecKind::None) {
            found = place;
            break;
        }
    if (found.empty()) found = settings_.value(kDOSBoxLocationKey);
    if (found.empty()) {
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
        auto chosen = s_.dialogs.OpenFiles(opts);
        if (chosen && !chosen->empty()) {
            found = chosen->front();
            PlaceDOSBoxLocation(settings_, found);
            settings_.stampDateWritten(std::time(nullptr));
            settings_.read(writeToolSettings());
            showSettingsInMemo();
        } else {
            s_.statusBar.ShowWarning("DOSBox-0.74\\DOSBox.exe file search cancelled");
        }
    }
    if (found.empty() || !FileExists(found)) return;

    run_.dosboxPath = found;
    // Beside the tool settings the user owns: an installed file's folder
    // is not the user's to write in.
    const std::string settingsFile = settingsWritePath();
    run_.dosboxConfig = DOSBoxBaseConfigPath(settingsFile);
    if (!FileExists(run_.dosboxConfig)) {
        ForceDirectories(ExtractFileDir(settingsFile));
        std::string command = DOSBoxConfigRunCommandLine(found);
        RunAndWait(found, command.substr(found.size() + 1), ExtractFileDir(settingsFile));
    }
    run_.dosboxReady = FileExists(run_.dosboxConfig);
}

}  // namespace korvane
