#pragma once
// The actions of the main window's action list, in their order, with
// category, caption, shortcut and hint; and the busy gate every action
// passes before it runs.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct ActionEntry {
    const char* name;
    const char* category;
    const char* caption;
    const char* shortcut;  // key text as Qt parses it ("Ctrl+B"), "" for none
    const char* hint;
};

// All actions of ActionListMain in list order.
const std::vector<ActionEntry>& MainActionTable();
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
