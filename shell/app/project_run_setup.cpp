#include "shell/app/project_run_setup.h"

#include "shared/env.h"
#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/settings.h"
#include "shell/app/designed_rows.h"
#include "shell/project/project_rules.h"
#include "shell/project/stream_to_ini.h"

namespace korvane {

std::string NewProjectOutputDirectory(const std::string& lastPosition) {
    std::string dir = ExtractFilePath(lastPosition);
    if (dir.empty() || !DirectoryExists(dir)) dir = IncludeTrailingSep(PersonalFolder());
    return LeftOutputDirectory(dir, dir);
}

void ReadProjectRunSetup(const ProjectRunInputs& in, ProjectRunSetup& r) {
    TStreamToIni ini;
    ini.LoadFromFile(in.projectFile);
    r.fileRead = true;
    const std::string projectFolder = ExtractFileDir(ExpandFileName(in.projectFile));

    r.model.languageSuffix = ReadProjectLanguage(ini).suffix;
    r.plan = PlanLanguage(*in.settings, r.model.languageSuffix, in.toolRoot);
    if (!r.plan.failure.empty()) throw Error(r.plan.failure);
    if (!r.plan.complete) throw SilentAbort{};
    r.languageApplied = true;
    if (in.languageApplied) in.languageApplied(r.plan);
    // Applying the language leaves the language's last project folder in
    // the output directory field (else the personal folder).
    const std::string lastPositionKey = "LastPosition" + r.plan.applied.prefix;
    ProjectDefaults defaults;
    defaults.outputDirectory = NewProjectOutputDirectory(ReadSettingString(lastPositionKey, ""));

    ReadProjectProperties(ini, projectFolder, r.model);
    // The project's folder is the language's last project folder from now on.
    WriteSettingString(lastPositionKey, r.model.properties.projectDirectory);
    for (const PlannedRow& row : r.plan.rows) defaults.rows[row.name] = row.checked;
    defaults.refactorLevels = kRefactorLevelCount;
    defaults.refactorLevelIndex = DefaultRefactorLevelIndex();
    ReadProjectControls(ini, projectFolder, defaults, r.model);

    RunSetup& s = r.setup;
    const ProjectProperties& p = r.model.properties;
    s.productName = r.model.productName;
    s.systemName = r.model.systemName;
    s.projectProductName = p.productName;
    s.projectSystemName = p.systemName;
    s.projectDirectory = p.projectDirectory;
    s.outputDirectory = r.model.outputDirectory;
    s.maxDirDepth = p.maxDirDepth;
    s.dialect = p.languageVersion;
    s.languagePrefix = r.plan.applied.prefix;
    s.sources = r.model.sources;
    s.copyMembers = r.model.copyMembers;
    s.renameFiles = r.model.renameFiles;
    s.copyAdd = r.model.rows["CopyAdd"];
    s.renameVariables = r.model.rows["RenameVariables"];
    s.refactorLevelIndex = r.model.refactorLevelIndex;
    s.wordScanShown = r.plan.tools.wordListPage();
    s.language = r.plan.applied;
    s.runControl = in.runControl;
    s.stepRegistry = r.plan.stepRegistry;
    for (const PlannedRow& row : r.plan.rows) {
        RunStep step;
        step.name = row.name;
        step.parameterName = row.parameterName;
        step.shown = row.shown;
        // After restoring: a row whose program is missing stays off.
        step.checked = row.name == "Realign" || (r.model.rows[row.name] && !(row.shown && !row.enabled));
        step.hasPicker = true;
        step.programPath = row.programPath;
        step.resultExtension = row.resultExtension;
        step.fileLocal = row.fileLocal;
        s.steps.push_back(std::move(step));
    }
    s.chains.assign(r.plan.chains.begin(), r.plan.chains.end());
    if (r.plan.tools.scan && r.plan.scannerDefault.find('*') == std::string::npos) s.scannerProgram = r.plan.scannerDefault;
}

}  // namespace korvane
