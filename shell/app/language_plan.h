#pragma once
// What applying a language makes of the transformation rows, the program
// pickers and the step registry, worked out from the tool settings text
// alone: the designed rows first, then each step of the language that has
// no designed row, in step order. The window shows such a plan; the batch
// mode runs from it without any window.

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
    std::string programPath;      // the picker's field after its check
    std::string resultExtension;  // item 3 of the step
    std::string parameterName;    // the XMLFlag with a result extension, else the name
};

struct LanguagePlan {
    AppliedLanguage applied;
    LanguageTools tools;
    std::vector<PlannedRow> rows;
    std::vector<RunChain> chains;           // chain pickers in creation order
    std::vector<std::string> stepRegistry;  // "name=chain" or "name=*"
    std::string scannerDefault;
    std::string functabDefault;
    // What the pickers reported while they were checked, in order.
    std::vector<std::string> errors;
    // False when the application ended early without a message (a language
    // or step value with too few items).
    bool complete = true;
};

// Applies the language of the radio-button suffix (e.g. "COB_COB85").
// Throws Error for a suffix that names no button and for the tool settings
// errors that applying a language reports.
LanguagePlan PlanLanguage(const NameValueList& settings, std::string_view suffix, std::string_view toolRoot);

// The index of the refactor level box a new project starts with.
int DefaultRefactorLevelIndex();

}  // namespace korvane
