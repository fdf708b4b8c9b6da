#include "shell/ui/action_table.h"

#include <cstring>
#include <iterator>

namespace korvane {

namespace {

constexpr ActionEntry kTable[] = {
    {ActionId::Addfiles, "ActAddfiles", "FileCollect", "Add source files", "Ctrl+B", "Add input files to the project"},
    {ActionId::AddDirectoriesToSources, "ActAddDirectoriesToSources", "FileCollect", "Add complete directories to the sources", "Ctrl+A",
     "Add complete directories or directory &trees"},
    {ActionId::AddCSVFiles, "ActAddCSVFiles", "FileCollect", "Add CSV files containing rename directives", "", ""},
    {ActionId::AddCopies, "ActAddCopies", "FileCollect", "Add copies to be inserted", "", ""},
    {ActionId::RefreshCopyLib, "ActRefreshCopyLib", "FileCollect", "Refresh checked items in copy library", "", ""},
    {ActionId::OpenProject, "ActOpenProject", "Project", "&Open existing project", "Ctrl+O", "Open an existing project"},
    {ActionId::SaveProject, "ActSaveProject", "Project", "&Save ", "Ctrl+S", "Save the current project"},
    {ActionId::SaveProjectAs, "ActSaveProjectAs", "Project", "Save project as...", "", "Save the current project under a new name"},
    {ActionId::CloseAll, "ActCloseAll", "Project", "&Exit", "Ctrl+Q", "Close open project and exit"},
    {ActionId::RemoveFiles, "ActRemoveFiles", "FileCollect", "Remove &unchecked files", "Alt+D", "Remove unchecked files"},
    {ActionId::UnselectAll, "ActUnselectAll", "FileCollect", "&Unselect all of the items", "Alt+U",
     "Uncheck all file from the selection box"},
    {ActionId::SelectAll, "ActSelectAll", "FileCollect", "Select &all items in the list", "Alt+A", "Select all items in the list"},
    {ActionId::CalculateCommonRoot, "ActCalculateCommonRoot", "FileCollect", "Calculate common root", "",
     "Calculate the common part of the input tree"},
    {ActionId::ReverseSelect, "ActReverseSelect", "FileCollect", "&Reverse the selection", "Alt+R", "Reverse the selection"},
    {ActionId::ShowAdvanced, "ActShowAdvanced", "Preparation", "Show extended options", "", "Show extended options"},
    {ActionId::NewProject, "ActNewProject", "Project", "New project", "Ctrl+N", "Create new project"},
    {ActionId::StartConversion, "ActStartConversion", "Generate", "&Start reengineering", "Ctrl+G", "Start tool"},
    {ActionId::ViewNotepad, "ActViewNotepad", "Viewer", "Call external editor", "", "Call external editor"},
    {ActionId::Rename, "ActRename", "Preparation", "Rename the files written by Ozrik's tool ", "",
     "Rename the files written by Ozrik's tool "},
    {ActionId::InternalViewer, "ActInternalViewer", "Viewer", "Open a file in the internal viewer", "Ctrl+W",
     "Open a file in the internal viewer"},
    {ActionId::ViewProductLog, "ActViewProductLog", "Viewer", "View product log (<Productname>.log)", "Ctrl+L",
     "View product log (<Productname>.log)"},
    {ActionId::ViewConsoleLog, "ActViewConsoleLog", "Viewer", "View console log from the last run", "",
     "View console log from the last run"},
    {ActionId::CancelRun, "ActCancelRun", "Generate", "Skip the rest of processing (&Cancel run)", "Ctrl+C",
     "Skip the rest of processing (&Cancel run)"},
    {ActionId::WriteINIFile, "ActWriteINIFile", "Preparation", "Save initialisation parameters to disk (Vorl.INI)", "",
     "Save initialisation parameters to disk (Vorl.INI)"},
    {ActionId::About, "ActAbout", "Help", "About the program", "", ""},
    {ActionId::CloseTab, "ActCloseTab", "Viewer", "Close current page", "Ctrl+F4", ""},
    {ActionId::EditCopy1, "EditCopy1", "Edit", "&Copy", "Ctrl+C", "Copy"},
    {ActionId::EditSelectAll1, "EditSelectAll1", "Edit", "Select &All", "", ""},
    {ActionId::SelectFont, "ActSelectFont", "Viewer", "Select font for the viewer", "", ""},
    {ActionId::CloseAllPages, "ActCloseAllPages", "Viewer", "Close all editor pages", "", ""},
    {ActionId::HelpContents1, "HelpContents1", "Help", "&Contents", "F1", ""},
    {ActionId::StartScan, "ActStartScan", "Generate", "Scan files for I/O &operations", "", ""},
    {ActionId::SaveWordList, "ActSaveWordList", "WordList", "Export word list to a file", "", ""},
    {ActionId::LoadWordList, "ActLoadWordList", "WordList", "Import a word list", "", ""},
    {ActionId::RemoveDuplicates, "ActRemoveDuplicates", "WordList", "Remove duplicates", "", ""},
    {ActionId::LoadTextFile, "ActLoadTextFile", "WordList", "Load a text file to pick up control words", "", ""},
    {ActionId::AddselectedToLIst, "ActAddselectedToLIst", "WordList", "Add selected text to word list", "Ctrl+A", ""},
    {ActionId::ApplyIni, "ActApplyIni", "Preparation", "Apply INI file settings", "", ""},
    {ActionId::RunTool, "ActRunTool", "Generate", "&Start batch process", "Ctrl+G", "Start tool"},
    {ActionId::AddDirectoriesToCopies, "ActAddDirectoriesToCopies", "FileCollect", "Add complete directories to copies", "", ""},
};

// Entry i carries the id i, so that an id indexes the table.
constexpr bool InIdOrder() {
    for (size_t i = 0; i < std::size(kTable); ++i)
        if (size_t(kTable[i].id) != i) return false;
    return std::size(kTable) == kActionCount;
}
static_assert(InIdOrder(), "the action table and ActionId disagree");

}  // namespace

const std::vector<ActionEntry>& MainActionTable() {
    static const std::vector<ActionEntry> table(std::begin(kTable), std::end(kTable));
    return table;
}

const ActionEntry& ActionEntryOf(ActionId id) { return MainActionTable()[size_t(id)]; }

const ActionEntry* FindActionEntry(std::string_view name) {
    for (const auto& a : MainActionTable())
        if (name == a.name) return &a;
    return nullptr;
}

GateDecision BusyGate(bool busy, const ActionEntry& action) {
    const bool viewer = std::strcmp(action.category, "Viewer") == 0;
    if (busy && !viewer) {
        for (ActionId allowed : {ActionId::SaveProject, ActionId::CloseAll, ActionId::CancelRun, ActionId::Rename})
            if (action.id == allowed) return GateDecision::RunKeepingMessages;
        return GateDecision::Refuse;
    }
    if (!viewer && !busy) return GateDecision::ClearAndRun;
    return GateDecision::RunKeepingMessages;
}

}  // namespace korvane
