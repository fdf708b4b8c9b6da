#include "shell/app/dosbox_setup.h"

#include <ctime>

#include "shared/platform/dosbox_places.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shell/app/tool_settings_run_control.h"
#include "shell/ui/reporter.h"

namespace korvane {

FileDialogOptions ManualDOSBoxChoice() {
    FileDialogOptions opts;
    opts.title = "Please locate DOSBox-0.74\\DOSBox.exe manually";
    const DOSBoxFileChoice place = DOSBoxFileChoiceDefaults();
    opts.fileName = place.fileName;
    opts.initialDir = place.initialDir;
    opts.filter = place.filter;
    opts.mustExist = true;
    return opts;
}

void LocateDOSBox(bool use, ToolSettingsText& settings, RunControlState& run, const DOSBoxSearch& search,
                  Dialogs& dialogs, Reporter& reporter) {
    if (!use) {
        run.dosboxReady = false;
        run.dosboxPath.clear();
        run.dosboxConfig.clear();
        return;
    }
    if (run.dosboxReady) return;

    std::string found;
    for (const std::string& place : search.places)
        if (ExecutableKind(place) != ExecKind::None) {
            found = place;
            break;
        }
    if (found.empty()) found = settings.value(kDOSBoxLocationKey);
    if (found.empty()) {
        std::optional<std::vector<std::string>> chosen = dialogs.OpenFiles(search.manualChoice);
        if (chosen && !chosen->empty()) {
            found = chosen->front();
            PlaceDOSBoxLocation(settings, found);
            settings.stampDateWritten(std::time(nullptr));
            if (search.saveSettings) settings.read(search.saveSettings());
        } else {
            reporter.ShowWarning("DOSBox-0.74\\DOSBox.exe file search cancelled");
        }
    }
    if (found.empty() || !FileExists(found)) return;

    run.dosboxPath = found;
    run.dosboxConfig = DOSBoxBaseConfigPath(search.settingsWritePath);
    if (!FileExists(run.dosboxConfig)) {
        ForceDirectories(ExtractFileDir(search.settingsWritePath));
        const std::string command = DOSBoxConfigRunCommandLine(found);
        RunAndWait(found, command.substr(found.size() + 1), ExtractFileDir(search.settingsWritePath));
    }
    run.dosboxReady = FileExists(run.dosboxConfig);
}

void EvaluateRunControl(ToolSettingsText& settings, RunControlState& run, const DOSBoxSearch& search,
                        Dialogs& dialogs, Reporter& reporter) {
    LocateDOSBox(UseDOSBoxFlag(settings), settings, run, search, dialogs, reporter);
    const RunControlFlags f = EvaluateRunControlFlags(settings, run.dosboxReady);
    run.blindRun = f.blindRun;
    run.captureLog = f.captureLog;
    run.deleteAfter = f.deleteAfter;
    run.exitStatusIgnored = f.exitStatusIgnored;
}

}  // namespace korvane
