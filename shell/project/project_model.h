#pragma once
// A project as its file describes it, read without any window: the values
// of the [Properties] block and of the controls a run reads, after the same
// checks the window's load makes (names refused, numbers out of range,
// relative paths taken from the project file's folder).
//
// The controls are restored by the form-state walk itself, over an
// in-memory copy of the window's components with the state a freshly
// applied language leaves; so a value the file does not name keeps that
// state, exactly as in the window.

#include <map>
#include <string>
#include <vector>

#include "shared/errors.h"
#include "shell/ui/check_list.h"
#include "shell/project/project_file.h"

namespace korvane {

// Reported (continuation off) when a project file cannot be loaded.
inline constexpr const char* kProjectLoadError =
    " Error while loading project definition, it was possibly generated with an older version of the tool";

// The question before a modified project is left.
inline constexpr const char* kProjectModifiedQuestion =
    "The current project has been modified \r\nDo you want to save the changes?'";

// A product or system name in a project file that is neither acceptable
// nor refused outright: the load fails, after this name's message.
struct NameRefused : Error {
    using Error::Error;
};

// Component names of the window that a project file stores and a run reads.
namespace project_component {
inline constexpr const char* kWindow = "frmKorvaneMain";
inline constexpr const char* kOutputDirFrame = "FrameFindDirectoryOutputDir";
inline constexpr const char* kOutputDirFrameClass = "TFrameFindDirectory";
inline constexpr const char* kFrameEdit = "Edit";
inline constexpr const char* kProductName = "EditProductName";
inline constexpr const char* kSystemName = "EditSystemName";
inline constexpr const char* kRefactorLevel = "ComboBoxRefactorLevel";
inline constexpr const char* kSelectedFiles = "CheckListBoxSelectedFiles";
inline constexpr const char* kCsvForRename = "CheckListBoxCSVForRename";
inline constexpr const char* kCopyCollection = "CheckListBoxCopyCollection";
inline constexpr const char* kObjects = "CheckListBoxObjects";
inline constexpr const char* kControlTags = "CheckListBoxControlTags";
inline constexpr const char* kCheckBoxPrefix = "CheckBox";
}  // namespace project_component

// The state of the controls before the file is read: what applying the
// project's language left.
struct ProjectDefaults {
    std::string outputDirectory;          // the field's text
    std::map<std::string, bool> rows;     // step name -> checked, every row that exists
    int refactorLevelIndex = -1;
    int refactorLevels = 0;               // items of the refactor level box ("1", "2", ...)
};

struct ProjectModel {
    ProjectProperties properties;   // names validated, numbers range-checked
    std::string languageSuffix;     // from ProjectVersion and LanguageVersion
    std::string productName;        // the name fields' text
    std::string systemName;
    std::string outputDirectory;    // the field's text, absolute when the file's was relative
    std::vector<CheckEntry> sources;
    std::vector<CheckEntry> renameFiles;
    std::vector<CheckEntry> copyMembers;
    // The word lists a run hands to its tools: the objects and the control
    // words ("TAG word").
    CheckList objects;
    CheckList controlTags;
    std::map<std::string, bool> rows;  // step name -> checked
    int refactorLevelIndex = -1;
    // What the load reports (continuing): refused names, then numbers
    // out of range.
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
};

class TStreamToIni;

// The language a project file names: its prefix (ProjectVersion), its
// dialect (LanguageVersion) and the radio-button suffix they make.
struct ProjectLanguage {
    std::string prefix;
    std::string dialect;
    std::string suffix;
};
ProjectLanguage ReadProjectLanguage(const TStreamToIni& ini);

// The properties part of a project file, read into model in the window's
// order; what was read stays in model when a name is refused (NameRefused)
// or a number is not one (Error).
void ReadProjectProperties(const TStreamToIni& ini, const std::string& projectFolder, ProjectModel& model);

// Restores the controls' values from the file over the defaults. A value
// that cannot be converted, or a name that is neither acceptable nor
// refused outright, throws Error: the window reports such a file as not
// loaded.
void ReadProjectControls(TStreamToIni& ini, const std::string& projectFolder, const ProjectDefaults& defaults,
                         ProjectModel& model);

}  // namespace korvane
