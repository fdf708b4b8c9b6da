#pragma once
// What applying a language makes of the transformation rows, the program
// pickers and the step registry, worked out from the tool settings text
// alone: the designed rows first, then each step of the language that has
// no designed row, in step order. The window shows such a plan; the batch
// mode runs from it without any window.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/name_value_list.h"
#include "shell/app/language_definition.h"
#include "shell/run/run_setup.h"

namespace korvane {

struct PlannedRow {
    std::string name;             // "CheckBox" + name, picker "FindExex" + name
    std::string caption;
    bool shown = false;           // a step of the language
    bool enabled = true;          // false: the step's program is missing
    bool checked = false;         // as a new project starts
    std::string programDefault;   // the picker's default: the step's program in the tool directory
    std::string programPath;      // the picker's field after its check
    bool programReady = false;    // the picker's check passed
    std::string resultExtension;  // item 3 of the step
    std::string parameterName;    // the XMLFlag with a result extension, else the name
    // <key>.FileLocal or the step key + ".FileLocal": the step's programs
    // (its chained one too) treat each listed file on its own.
    bool fileLocal = false;
};

// A chain picker ("Chain" + name, "Chained Program for " + name).
struct PlannedChain : RunChain {
    std::string programDefault;  // the chained program in the tool directory
    bool programReady = false;   // its last check passed
};

// One step as applying shows it: its row (an index into rows) comes next
// among the rows shown, its picker next among the pickers, followed by its
// chain picker (an index into chains) when its program was found.
struct PlannedStep {
    size_t row = 0;
    int chain = -1;
};

struct LanguagePlan {
    AppliedLanguage applied;
    LanguageTools tools;
    std::vector<PlannedRow> rows;
    std::vector<PlannedChain> chains;       // chain pickers in creation order
    std::vector<PlannedStep> steps;         // in step order
    std::vector<std::string> stepRegistry;  // "name=chain" or "name=*"
    std::string scannerDefault;
    std::string functabDefault;
    // What the pickers reported while they were checked, and the flag
    // errors of the FileLocal keys, in order.
    std::vector<std::string> errors;
    // How far the application came: the language's definition was read
    // (display name and prefix known); its files and tools were read.
    bool definitionRead = false;
    bool toolsRead = false;
    // The tool settings error that ended the application, empty when none.
    std::string failure;
    // False when the application ended early: with the failure, or without
    // a message (a language or step value with too few items).
    bool complete = true;
};

// Applies the language of the radio-button suffix (e.g. "COB_COB85").
// Throws Error for a suffix that names no button; the tool settings errors
// that applying a language reports end the plan with its failure.
LanguagePlan PlanLanguage(const NameValueList& settings, std::string_view suffix, std::string_view toolRoot);

// Gives another program for the picker's field (in/out), or false.
using ProgramBrowse = std::function<bool(std::string& field)>;

// The scanner picker's check, made when a language is applied and deciding
// whether a scan may start. Without a scan step the picker is hidden and
// there is nothing to check. A default marked unavailable ("*") fails with
// "File Scanner program is marked unavailable!"; an empty field (or "?")
// takes the default; a field naming no file is handed to browse, and fails
// with "File not found: <field>" when browse gives nothing. The reports are
// appended to errors.
bool ScannerReady(const LanguagePlan& plan, std::string& field, const ProgramBrowse& browse,
                  std::vector<std::string>& errors);

// The scanner picker's label.
inline constexpr const char* kScannerLabel = "Scanner program";

// The index of the refactor level box a new project starts with.
int DefaultRefactorLevelIndex();

}  // namespace korvane
