// Locating DOSBox and letting it write its base configuration.


#include <ctime>

#include "shared/platform/dosbox_places.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/app/tool_settings_run_control.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/my_status_bar.h"

namespace korvane {

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
        const DOSBoxFileChoice place = DOSBoxFileChoiceDefaults();
        opts.fileName = place.fileName;
        opts.initialDir = place.initialDir;
        opts.filter = place.filter;
        opts.mustExist = true;
        auto chosen = w_.dialogs().OpenFiles(opts);
        if (chosen && !chosen->empty()) {
            found = chosen->front();
            PlaceDOSBoxLocation(settings_, found);
            settings_.stampDateWritten(std::time(nullptr));
            settings_.read(writeToolSettings());
            showSettingsInMemo();
        } else {
            w_.statusBar().ShowWarning("DOSBox-0.74\\DOSBox.exe file search cancelled");
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
