#pragma once
// The run setup of a project file without any window: the project's
// language applied to the tool settings (LanguagePlan), the file's controls
// restored over what that leaves (ProjectModel), and the rules the window's
// load adds after restoring (a row whose program is missing stays off,
// "Realign" stays on).

#include <functional>
#include <string>

#include "shell/app/language_plan.h"
#include "shell/app/tool_settings.h"
#include "shell/project/project_model.h"
#include "shell/run/run_setup.h"

namespace korvane {

struct ProjectRunSetup {
    ProjectModel model;
    LanguagePlan plan;
    RunSetup setup;
    // How far the reading came: the file's lines were read, its language
    // was applied.
    bool fileRead = false;
    bool languageApplied = false;
};

struct ProjectRunInputs {
    std::string projectFile;
    const ToolSettingsText* settings = nullptr;
    std::string toolRoot;
    RunControlState runControl;
    // Called once the project's language has been applied, before the
    // project's own values are read (the window reports in that order).
    std::function<void(const LanguagePlan&)> languageApplied;
};

// The output directory field as applying a language leaves it: the last
// project folder of the language (the per-user value "LastPosition" +
// prefix), else the personal folder, as leaving the field makes it.
std::string NewProjectOutputDirectory(const std::string& lastPosition);

// Reads into r. Throws Error when the file cannot be read or holds a value
// that cannot be converted, and for the tool settings errors of applying
// its language; NameRefused for a name that fails the load; SilentAbort when
// applying the language ends without a message. What was read until then
// stays in r.
void ReadProjectRunSetup(const ProjectRunInputs& in, ProjectRunSetup& r);

}  // namespace korvane
