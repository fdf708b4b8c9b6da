#include "shell/app/language_plan.h"

#include <algorithm>

#include "shared/errors.h"
#include "shared/flags.h"
#include "shared/platform/files.h"
#include "shared/text.h"
#include "shell/app/designed_rows.h"
#include "shell/app/step_definition.h"

namespace korvane {

namespace {

// A program picker's check without browsing: "*" in the default marks the
// program unavailable (reported, the field stays empty); otherwise an empty
// field takes the default, and the picker is valid when that file exists.
bool CheckPicker(const std::string& defaultName, const std::string& label, std::string& field,
                 std::vector<std::string>& errors) {
    if (defaultName == "@") return true;
    if (defaultName.find('*') != std::string::npos) {
        errors.push_back("File " + label + " is marked unavailable!");
        return false;
    }
    if ((field == "?" || field.empty()) && !defaultName.empty()) field = defaultName;
    return FileExists(field);
}

// A FileLocal flag: a value TextToBool refuses is reported and counts as
// not file-local; the language is applied all the same.
bool FileLocalFlag(const NameValueList& settings, const std::string& key, std::vector<std::string>& errors) {
    try {
        return TextToBool(settings.value(key + ".FileLocal"));
    } catch (const Error& e) {
        errors.push_back(e.what());
        return false;
    }
}

// A label as its picker shows it ("&&" stands for one "&").
std::string PickerLabel(const std::string& text) { return ReplaceAll(text, "&&", "&"); }

PlannedRow* FindRow(std::vector<PlannedRow>& rows, const std::string& name) {
    for (PlannedRow& row : rows)
        if (row.name == name) return &row;
    return nullptr;
}

}  // namespace

int DefaultRefactorLevelIndex() { return kRefactorLevelCount - 1; }

LanguagePlan PlanLanguage(const NameValueList& settings, std::string_view suffix, std::string_view toolRoot) {
    const LanguageRadioButton* button = FindLanguageRadioButton(suffix);
    if (!button) throw Error("No language button for " + std::string(suffix));

    LanguagePlan plan;
    const LanguageSuffixParts parts = SplitLanguageSuffix(button->suffix);
    plan.applied.suffix = std::string(button->suffix);
    plan.applied.key = parts.key;
    plan.applied.dialect = parts.dialect;

    // The designed rows, hidden; "Realign" is always checked and never
    // enabled. Their picker labels keep the designed captions.
    std::vector<std::string> pickerLabels;
    for (const DesignedRow& designed : kDesignedRows) {
        PlannedRow row;
        row.name = designed.name;
        row.caption = designed.caption;
        row.enabled = row.name != "Realign";
        row.checked = row.name == "Realign";
        row.parameterName = row.name;
        row.programPath = kNewPickerText;
        plan.rows.push_back(row);
        pickerLabels.push_back(PickerLabel(std::string("Program for ") + designed.caption));
    }

    std::optional<LanguageDefinition> def;
    try {
        def = ReadLanguageDefinition(settings, parts.key);
        if (!def) {
            plan.complete = false;
            return plan;
        }
        plan.applied.displayName = def->displayName;
        plan.applied.prefix = def->prefix;
        plan.definitionRead = true;
        const LanguageFiles files = ReadLanguageFiles(settings, parts.key, def->prefix);
        plan.applied.copyExtension = files.copyExtension;
        plan.applied.outputExtension = files.outputExtension;
        plan.applied.sourceFilter = files.filter;
        plan.applied.copyFilter = files.copyFilter;
        plan.tools = ReadLanguageTools(settings, parts.key, def->prefix);
    } catch (const Error& e) {
        plan.failure = e.what();
        plan.complete = false;
        return plan;
    }
    plan.toolsRead = true;
    if (plan.tools.wordListPage()) plan.applied.objectTypes = plan.tools.objectTypes;
    plan.scannerDefault = ScannerDefaultPath(toolRoot, def->prefix, plan.tools.scannerName);
    plan.functabDefault = FunctionTableDefaultPath(toolRoot, def->prefix);

    const bool languageFileLocal = FileLocalFlag(settings, parts.key, plan.errors);
    int number = 0;
    for (const std::string& value : ReadStepValues(settings, def->prefix)) {
        ++number;
        const std::optional<StepDefinition> step = ParseStepDefinition(value);
        if (!step) {
            plan.complete = false;
            break;
        }
        PlannedRow* row = FindRow(plan.rows, step->name);
        std::string designedCaption;
        for (const DesignedRow& designed : kDesignedRows)
            if (SameText(designed.name, step->name)) designedCaption = designed.caption;
        const std::string caption = !step->caption.empty() ? step->caption : designedCaption;
        if (!row) {
            plan.rows.push_back(PlannedRow{});
            row = &plan.rows.back();
            row->name = step->name;
            pickerLabels.push_back(PickerLabel("Program for " + caption));
        }
        const size_t rowIndex = size_t(row - plan.rows.data());
        PlannedStep& shown = plan.steps.emplace_back();
        shown.row = rowIndex;
        const std::string hint = StepPanelHint(*step);
        row->caption = caption;
        row->shown = true;
        row->checked = true;
        row->resultExtension = TextBeforeFirst(hint, "@");
        const std::string xmlFlag = TextAfterFirst(hint, "@@");
        row->parameterName = !xmlFlag.empty() && !row->resultExtension.empty() ? xmlFlag : row->name;
        // The step's own key is read (and its value checked) also when the
        // whole language is file-local.
        row->fileLocal = FileLocalFlag(settings, StepKey(def->prefix, number), plan.errors) || languageFileLocal;

        row->programDefault = StepProgramPath(toolRoot, def->prefix, step->program);
        row->programPath.clear();
        row->programReady = CheckPicker(row->programDefault, pickerLabels[rowIndex], row->programPath, plan.errors);
        if (row->programReady) {
            std::string chainEntry;
            if (!step->chain.empty()) {
                auto chain = std::find_if(plan.chains.begin(), plan.chains.end(),
                                          [&](const PlannedChain& c) { return c.name == step->chain; });
                if (chain == plan.chains.end()) {
                    plan.chains.push_back(PlannedChain{{step->chain, ""}, "", false});
                    chain = plan.chains.end() - 1;
                }
                shown.chain = int(chain - plan.chains.begin());
                chain->programDefault = ChainProgramPath(toolRoot, def->prefix, step->chain);
                chain->programPath.clear();
                chain->programReady = CheckPicker(chain->programDefault,
                                                  PickerLabel("Chained Program for " + step->chain),
                                                  chain->programPath, plan.errors);
                if (chain->programReady) chainEntry = step->chain;
            }
            plan.stepRegistry.push_back(StepRegistryEntry(step->name, chainEntry));
        } else {
            row->checked = false;
            row->enabled = false;
        }
    }
    if (!plan.complete) return plan;

    // A new project: every row shown is checked when it may run.
    for (PlannedRow& row : plan.rows)
        if (row.shown) row.checked = row.enabled;
    if (PlannedRow* realign = FindRow(plan.rows, "Realign")) realign->checked = true;
    return plan;
}

bool ScannerReady(const LanguagePlan& plan, std::string& field, const ProgramBrowse& browse,
                  std::vector<std::string>& errors) {
    if (!plan.tools.scan) return true;
    const std::string& defaultName = plan.scannerDefault;
    if (defaultName.find('*') != std::string::npos) {
        errors.push_back(std::string("File ") + kScannerLabel + " is marked unavailable!");
        return false;
    }
    if ((field == "?" || field.empty()) && !defaultName.empty()) field = defaultName;
    if (FileExists(field)) return true;
    if (browse && browse(field)) return true;
    errors.push_back("File not found: " + field);
    return false;
}

}  // namespace korvane
