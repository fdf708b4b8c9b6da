#include "shell/app/action_table.h"

#include <cstring>

namespace korvane {

const std::vector<ActionEntry>& MainActionTable() {
    static const std::vector<ActionEntry> table = {
        {"ActAddfiles", "FileCollect", "Add source files", "Ctrl+B", "Add input files to the project"},
        {"ActAddDirectoriesToSources", "FileCollect", "Add complete directories to the sources", "Ctrl+A",
         "Add complete directories or directory &trees"},
        {"ActAddCSVFiles", "FileCollect", "Add CSV files containing rename directives", "", ""},
        {"ActAddCopies", "FileCollect", "Add copies to be inserted", "", ""},
        {"ActRefreshCopyLib", "FileCollect", "Refresh checked items in copy library", "", ""},
        {"ActOpenProject", "Project", "&Open existing project", "Ctrl+O", "Open an existing project"},
        {"ActSaveProject", "Project", "&Save ", "Ctrl+S", "Save the current project"},
        {"ActSaveProjectAs", "Project", "Save project as...", "", "Save the current project under a new name"},
        {"ActCloseAll", "Project", "&Exit", "Ctrl+Q", "Close open project and exit"},
        {"ActRemoveFiles", "FileCollect", "Remove &unchecked files", "Alt+D", "Remove unchecked files"},
        {"ActUnselectAll", "FileCollect", "&Unselect all of the items", "Alt+U",
         "Uncheck all file from the selection box"},
        {"ActSelectAll", "FileCollect", "Select &all items in the list", "Alt+A", "Select all items in the list"},
        {"ActCalculateCommonRoot", "FileCollect", "Calculate common root", "",
         "Calculate the common part of the input tree"},
        {"ActReverseSelect", "FileCollect", "&Reverse the selection", "Alt+R", "Reverse the selection"},
        {"ActShowAdvanced", "Preparation", "Show extended options", "", "Show extended options"},
        {"ActNewProject", "Project", "New project", "Ctrl+N", "Create new project"},
        {"ActStartConversion", "Generate", "&Start reengineering", "Ctrl+G", "Start tool"},
        {"ActViewNotepad", "Viewer", "Call external editor", "", "Call external editor"},
        {"ActRename", "Preparation", "Rename the files written by Ozrik's tool ", "",
         "Rename the files written by Ozrik's tool "},
        {"ActInternalViewer", "Viewer", "Open a file in the internal viewer", "Ctrl+W",
         "Open a file in the internal viewer"},
        {"ActViewProductLog", "Viewer", "View product log (<Productname>.log)", "Ctrl+L",
         "View product log (<Productname>.log)"},
        {"ActViewConsoleLog", "Viewer", "View console log from the last run", "",
         "View console log from the last run"},
        {"ActCancelRun", "Generate", "Skip the rest of processing (&Cancel run)", "Ctrl+C",
         "Skip the rest of processing (&Cancel run)"},
        {"ActWriteINIFile", "Preparation", "Save initialisation parameters to disk (Vorl.INI)", "",
         "Save initialisation parameters to disk (Vorl.INI)"},
        {"ActAbout", "Help", "About the program", "", ""},
        {"ActCloseTab", "Viewer", "Close current page", "Ctrl+F4", ""},
        {"EditCopy1", "Edit", "&Copy", "Ctrl+C", "Copy"},
        {"EditSelectAll1", "Edit", "Select &All", "", ""},
        {"ActSelectFont", "Viewer", "Select font for the viewer", "", ""},
        {"ActCloseAllPages", "Viewer", "Close all editor pages", "", ""},
        {"HelpContents1", "Help", "&Contents", "F1", ""},
        {"ActStartScan", "Generate", "Scan files for I/O &operations", "", ""},
        {"ActSaveWordList", "WordList", "Export word list to a file", "", ""},
        {"ActLoadWordList", "WordList", "Import a word list", "", ""},
        {"ActRemoveDuplicates", "WordList", "Remove duplicates", "", ""},
        {"ActLoadTextFile", "WordList", "Load a text file to pick up control words", "", ""},
        {"ActAddselectedToLIst", "WordList", "Add selected text to word list", "Ctrl+A", ""},
        {"ActApplyIni", "Preparation", "Apply INI file settings", "", ""},
        {"ActRunTool", "Generate", "&Start batch process", "Ctrl+G", "Start tool"},
        {"ActAddDirectoriesToCopies", "FileCollect", "Add complete directories to copies", "", ""},
    };
    return table;
}

const ActionEntry* FindActionEntry(std::string_view name) {
    for (const auto& a : MainActionTable())
        if (name == a.name) return &a;
    return nullptr;
}

GateDecision BusyGate(bool busy, const ActionEntry& action) {
    const bool viewer = std::strcmp(action.category, "Viewer") == 0;
    if (busy && !viewer) {
        for (const char* allowed : {"ActSaveProject", "ActCloseAll", "ActCancelRun", "ActRename"})
            if (std::strcmp(action.name, allowed) == 0) return GateDecision::RunKeepingMessages;
        return GateDecision::Refuse;
    }
    if (!viewer && !busy) return GateDecision::ClearAndRun;
    return GateDecision::RunKeepingMessages;
}

}  // namespace korvane
