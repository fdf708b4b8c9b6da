// Locating DOSBox and letting it write its base configuration.

#include "shared/env.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/app/tool_settings_run_control.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {
namespace {

// The places DOSBox is looked for before the tool settings name one: on
// Linux the program on the PATH and Debian's package location.
std::vector<std::string> StandardDOSBoxPlaces() {
    std::vector<std::string> places;
#ifdef _WIN32
    places.push_back(ExpandEnvVars("%ProgramFiles%\\DOSBox-0.74\\DOSBox.exe"));
    places.push_back(ExpandEnvVars("%ProgramFiles(x86)%\\DOSBox-0.74\\DOSBox.exe"));
#else
    std::string path = GetEnvVar("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        std::string dir = path.substr(start, end - start);
        if (!dir.empty()) places.push_back(JoinPath(dir, "dosbox"));
        start = end + 1;
    }
    places.push_back("/usr/bin/dosbox");
#endif
    return places;
}

}  // namespace

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
    for (const std::string& place : StandardDOSBoxPlaces())
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
        auto chosen = w_.dialogs().OpenFiles(opts);
        if (chosen && !chosen->empty()) {
            found = chosen->front();
            PlaceDOSBoxLocation(settings_, found);
            settings_.write(settingsPath_);
            settings_.read(settingsPath_);
            showSettingsInMemo();
        } else {
            w_.statusBar().ShowWarning("DOSBox-0.74\\DOSBox.exe file search cancelled");
        }
    }
    if (found.empty() || !FileExists(found)) return;

    run_.dosboxPath = found;
    run_.dosboxConfig = DOSBoxBaseConfigPath(settingsPath_);
    if (!FileExists(run_.dosboxConfig)) {
        std::string command = DOSBoxConfigRunCommandLine(found);
        RunAndWait(found, command.substr(found.size() + 1), ExtractFileDir(settingsPath_));
    }
    run_.dosboxReady = FileExists(run_.dosboxConfig);
}

}  // namespace korvane
