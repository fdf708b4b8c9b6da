#pragma once
// The actions of the main window's action list, in their order, with
// category, caption, shortcut and hint; and the busy gate every action
// passes before it runs.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// One value per action of ActionListMain, in list order; the name of the
// action is "Act" followed by the value's name (EditCopy1, EditSelectAll1
// and HelpContents1 are named as they are).
enum class ActionId {
    Addfiles,
    AddDirectoriesToSources,
    AddCSVFiles,
    AddCopies,
    RefreshCopyLib,
    OpenProject,
    SaveProject,
    SaveProjectAs,
    CloseAll,
    RemoveFiles,
    UnselectAll,
    SelectAll,
    CalculateCommonRoot,
    ReverseSelect,
    ShowAdvanced,
    NewProject,
    StartConversion,
    ViewNotepad,
    Rename,
    InternalViewer,
    ViewProductLog,
    ViewConsoleLog,
    CancelRun,
    WriteINIFile,
    About,
    CloseTab,
    EditCopy1,
    EditSelectAll1,
    SelectFont,
    CloseAllPages,
    HelpContents1,
    StartScan,
    SaveWordList,
    LoadWordList,
    RemoveDuplicates,
    LoadTextFile,
    AddselectedToLIst,
    ApplyIni,
    RunTool,
    AddDirectoriesToCopies,
};
inline constexpr size_t kActionCount = size_t(ActionId::AddDirectoriesToCopies) + 1;

struct ActionEntry {
    ActionId id;
    const char* name;
    const char* category;
    const char* caption;
    const char* shortcut;  // key text as Qt parses it ("Ctrl+B"), "" for none
    const char* hint;
};

// All actions of ActionListMain in list order: entry i has the id i.
const std::vector<ActionEntry>& MainActionTable();
const ActionEntry& ActionEntryOf(ActionId id);
// The entry of an action name (compared exactly), null for none.
const ActionEntry* FindActionEntry(std::string_view name);

// What the busy gate decides for an action.
enum class GateDecision {
    Refuse,             // report "Only viewing,Save,Cancel & Exit are allowed when processing"
    ClearAndRun,        // clear the status bar, then run
    RunKeepingMessages  // run; the status bar keeps its messages
};
GateDecision BusyGate(bool busy, const ActionEntry& action);

inline constexpr const char* kBusyRefusal = "Only viewing,Save,Cancel & Exit are allowed when processing";

}  // namespace korvane
