#include "shell/project/project_file.h"

#include "shared/flags.h"
#include "shell/project/stream_to_ini.h"

namespace korvane {

void WritePropertiesBlock(TStreamToIni& ini, const ProjectProperties& p) {
    using namespace project_key;
    ini.Add("[Properties]");
    ini.WriteValue(kProjectName, p.projectName);
    ini.WriteValue(kProductName, p.productName);
    ini.WriteValue(kSystemName, p.systemName);
    ini.WriteValue(kBatchRunning, BoolToYN(p.batchRunning));
    ini.WriteValue(kProjectDirectory, p.projectDirectory);
    ini.WriteValue(kProjectVersion, p.projectVersion);
    ini.WriteValue(kLanguageVersion, p.languageVersion);
    ini.WriteValue(kToolRootDir, p.toolRootDir);
    ini.WriteValue(kLocalToolRootDir, p.localToolRootDir);
    ini.WriteValue(kMaxDirDepth, std::to_string(p.maxDirDepth));
    if (p.batchRunning) ini.WriteValue(kNumberOfSourceFiles, std::to_string(p.numberOfSourceFiles));
    ini.Add(TStreamToIni::kEndMarker);
}

void BuildProjectFile(TStreamToIni& ini, FormWindow& window, const ProjectProperties& properties) {
    WritePropertiesBlock(ini, properties);
    ini.ExcludeClasses({kExcludedPickerClass});
    ini.SaveFormState(window, kProjectDumpKinds);
}

void SaveProjectFile(const std::string& path, FormWindow& window, const ProjectProperties& properties) {
    TStreamToIni ini;
    BuildProjectFile(ini, window, properties);
    ini.SaveToFile(path);
}

}  // namespace korvane
