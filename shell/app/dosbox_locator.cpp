// Where the window looks for DOSBox, and how a manual choice is saved.

#include "shared/platform/dosbox_places.h"
#include "shell/app/dosbox_setup.h"
#include "shell/app/language_controller.h"

namespace korvane {

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
