#include "shell/project/project_model.h"

#include <climits>

#include "shared/errors.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/project/form_tree_memory.h"
#include "shell/project/project_rules.h"
#include "shell/project/stream_to_ini.h"

namespace korvane {

namespace {

// A name read from a file: "*" stands for none; a name that could not
// stand in a file name is refused and the project opens without it.
std::string LoadedName(const std::string& text, const char* refusal, std::vector<std::string>& errors) {
    if (text == "*") return {};
    if (IsAcceptableName(text)) return text;
    if (!IsFileNameSafe(text)) {
        errors.push_back(refusal);
        return {};
    }
    throw NameRefused(refusal);
}

int LoadedNumber(const std::string& key, const std::string& text, int lo, int hi, int def,
                 std::vector<std::string>& warnings) {
    const RangedNumber n = ProjectNumberInRange(text, lo, hi, def);
    if (n.outOfRange) warnings.push_back(Format(kNumberOutOfRange, key.c_str(), text.c_str(), lo, hi, def));
    return n.value;
}

std::vector<CheckEntry> Absolute(const std::string& folder, std::vector<CheckEntry> entries) {
    for (CheckEntry& e : entries)
        if (!e.text.empty()) e.text = AbsolutePathFrom(folder, e.text);
    return entries;
}

}  // namespace

ProjectLanguage ReadProjectLanguage(const TStreamToIni& ini) {
    ProjectLanguage language;
    language.dialect = ini.ReadValue(project_key::kLanguageVersion);
    language.prefix = ini.ReadValue(project_key::kProjectVersion);
    language.suffix = LanguageSuffix(language.prefix, language.dialect);
    return language;
}

void ReadProjectProperties(const TStreamToIni& ini, const std::string& projectFolder, ProjectModel& m) {
    using namespace project_key;
    ProjectProperties& p = m.properties;
    const ProjectLanguage language = ReadProjectLanguage(ini);
    p.languageVersion = language.dialect;
    p.projectVersion = language.prefix;
    m.languageSuffix = language.suffix;
    p.localToolRootDir = ini.ReadValue(kLocalToolRootDir);
    p.projectName = ProjectNameFromPath(ini.ReadValue(kProjectName));
    p.systemName = LoadedName(ini.ReadValue(kSystemName), "System name name missing or incorrect", m.errors);
    p.productName = LoadedName(ini.ReadValue(kProductName), "Product name missing or incorrect", m.errors);
    p.projectDirectory = ExtractFilePath(ini.ReadValue(kProjectDirectory));
    if (!p.projectDirectory.empty() && !IsAbsolutePath(p.projectDirectory))
        p.projectDirectory = IncludeTrailingSep(AbsolutePathFrom(projectFolder, p.projectDirectory));
    p.maxDirDepth = LoadedNumber(kMaxDirDepth, ini.ReadValue(kMaxDirDepth), 0, kMaxDirDepthLimit,
                                 kDefaultMaxDirDepth, m.warnings);
    p.batchRunning = ini.ReadValue(kBatchRunning) == "Y";
    p.numberOfSourceFiles =
        LoadedNumber(kNumberOfSourceFiles, ini.ReadValue(kNumberOfSourceFiles), 0, INT_MAX, 0, m.warnings);
    p.toolRootDir = ini.ReadValue(kToolRootDir);
    m.productName = p.productName;
    m.systemName = p.systemName;
}

void ReadProjectControls(TStreamToIni& ini, const std::string& projectFolder, const ProjectDefaults& defaults,
                         ProjectModel& model) {
    namespace pc = project_component;
    MemoryFormWindow window(pc::kWindow);
    // The rows first, as the window creates them before its other controls.
    for (const auto& [name, checked] : defaults.rows)
        window.add(pc::kCheckBoxPrefix + name, std::string(form_class::kCheckBox)).isChecked = checked;
    MemoryFormComponent& frame = window.addFrame(pc::kOutputDirFrame, pc::kOutputDirFrameClass);
    MemoryFormComponent& outputDir = frame.add(pc::kFrameEdit, std::string(form_class::kEdit));
    outputDir.textValue = defaults.outputDirectory;
    MemoryFormComponent& system = window.add(pc::kSystemName, std::string(form_class::kEdit));
    system.textValue = model.systemName;
    MemoryFormComponent& product = window.add(pc::kProductName, std::string(form_class::kEdit));
    product.textValue = model.productName;
    MemoryFormComponent& level = window.add(pc::kRefactorLevel, std::string(form_class::kComboBox));
    for (int i = 1; i <= defaults.refactorLevels; ++i) level.itemList.push_back(std::to_string(i));
    level.index = defaults.refactorLevelIndex;
    MemoryFormComponent& sources = window.add(pc::kSelectedFiles, std::string(form_class::kCheckListBox));
    MemoryFormComponent& csv = window.add(pc::kCsvForRename, std::string(form_class::kCheckListBox));
    MemoryFormComponent& copies = window.add(pc::kCopyCollection, std::string(form_class::kCheckListBox));
    MemoryFormComponent& objects = window.add(pc::kObjects, std::string(form_class::kCheckListBox));
    MemoryFormComponent& tags = window.add(pc::kControlTags, std::string(form_class::kCheckListBox));

    // The three collections keep their entries sorted.
    for (MemoryFormComponent* list : {&sources, &csv, &copies}) list->list.setSorted(true);
    ini.LoadFormState(window);

    model.productName = product.textValue;
    model.systemName = system.textValue;
    model.outputDirectory = outputDir.textValue;
    if (!model.outputDirectory.empty()) model.outputDirectory = AbsolutePathFrom(projectFolder, model.outputDirectory);
    for (MemoryFormComponent* list : {&sources, &csv, &copies})
        list->list.assign(Absolute(projectFolder, list->list.entries()));
    model.sources = sources.list.entries();
    model.renameFiles = csv.list.entries();
    model.copyMembers = copies.list.entries();
    model.objects.assign(objects.list.entries());
    model.objects.setTag(objects.list.tag());
    model.controlTags.assign(tags.list.entries());
    model.controlTags.setTag(tags.list.tag());
    model.refactorLevelIndex = level.index;
    model.rows.clear();
    for (const auto& [name, checked] : defaults.rows)
        model.rows[name] = window.get(pc::kCheckBoxPrefix + name).isChecked;
}

}  // namespace korvane
