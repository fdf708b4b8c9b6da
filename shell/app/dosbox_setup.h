#pragma once
// Making DOSBox ready for the run control: found in the places searched
// first, else where the tool settings name it, else chosen by the user; its
// base configuration written beside the tool settings the user owns. No
// window: the window and the batch mode both come here.

#include <functional>
#include <string>
#include <vector>

#include "shell/run/run_setup.h"
#include "shell/app/tool_settings.h"
#include "shell/ui/dialogs.h"

namespace korvane {

class Reporter;

struct DOSBoxSearch {
    std::vector<std::string> places;  // searched first, in order
    FileDialogOptions manualChoice;   // the dialog when none is found
    // The tool settings file that saving writes (DOSBox.config goes beside it).
    std::string settingsWritePath;
    // Saves the settings text after a manual choice; gives the path written.
    std::function<std::string()> saveSettings;
};

// The dialog that asks the user for DOSBox when it is found nowhere.
FileDialogOptions ManualDOSBoxChoice();

// "Runcontrol.UseDOSBox" off: DOSBox is not used. On: located once (a ready
// DOSBox stays as it is).
void LocateDOSBox(bool use, ToolSettingsText& settings, RunControlState& run, const DOSBoxSearch& search,
                  Dialogs& dialogs, Reporter& reporter);

// The run control of the tool settings: DOSBox, then the flags.
void EvaluateRunControl(ToolSettingsText& settings, RunControlState& run, const DOSBoxSearch& search,
                        Dialogs& dialogs, Reporter& reporter);

}  // namespace korvane
