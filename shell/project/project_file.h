#pragma once
// The project file: the [Properties] block of the project's values, in its
// fixed order, followed by the dump of the main window's controls.
//
//   StreamToIni.FileFormat=1
//   [Properties]
//   ProjectName=... (a property with an empty value has no line)
//   [Konyec szkazki]
//   [Form - frmKorvaneMain] ... the dump ...
//   [Konyec szkazki]

#include <cstdint>
#include <string>

namespace korvane {

class FormWindow;
class TStreamToIni;

// Keys of the [Properties] block.
namespace project_key {
inline constexpr const char* kProjectName = "ProjectName";
inline constexpr const char* kProductName = "ProjectProductName";
inline constexpr const char* kSystemName = "ProjectSystemName";
inline constexpr const char* kBatchRunning = "BatchRunning";
inline constexpr const char* kProjectDirectory = "ProjectDirectory";
inline constexpr const char* kProjectVersion = "ProjectVersion";
inline constexpr const char* kLanguageVersion = "LanguageVersion";
inline constexpr const char* kToolRootDir = "ToolRootDir";
inline constexpr const char* kLocalToolRootDir = "LocalToolRootDir";
inline constexpr const char* kMaxDirDepth = "MaxDirDepth";
inline constexpr const char* kNumberOfSourceFiles = "NumberOfSourceFiles";
inline constexpr const char* kTestName = "ProjectTestName";
inline constexpr const char* kObjectName = "ProjectObjectName";
}  // namespace project_key

// Every kind of control except memos.
inline constexpr uint16_t kProjectDumpKinds = 991;
// The program pickers are not part of a project.
inline constexpr const char* kExcludedPickerClass = "TFrameFindExec";

// The values a project file carries in its [Properties] block.
struct ProjectProperties {
    std::string projectName;
    std::string productName;
    std::string systemName;
    bool batchRunning = false;
    std::string projectDirectory;
    std::string projectVersion;   // the language prefix
    std::string languageVersion;  // the dialect
    std::string toolRootDir;
    std::string localToolRootDir;
    int maxDirDepth = 0;
    int numberOfSourceFiles = 0;  // written only while a run is in progress
};

// Appends "[Properties]", the property lines in their order and the line
// "[Konyec szkazki]". Empty values leave no line; BatchRunning (Y or N) and
// MaxDirDepth always have one.
void WritePropertiesBlock(TStreamToIni& ini, const ProjectProperties& properties);

// The properties block followed by the window's dump (memos and program
// pickers left out).
void BuildProjectFile(TStreamToIni& ini, FormWindow& window, const ProjectProperties& properties);

// Builds the file and writes it (through a temporary file, so a failed
// write leaves an older file as it was). File errors throw korvane::Error.
void SaveProjectFile(const std::string& path, FormWindow& window, const ProjectProperties& properties);

}  // namespace korvane
