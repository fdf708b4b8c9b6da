#include "shell/viewer/viewer_paths.h"

#include <string_view>

#include "shared/platform/path.h"
#include "shell/run/work_area.h"

namespace korvane {

std::string ViewerCaption(const std::string& path, const std::string& outputDir) {
    if (outputDir.empty()) return path;
    const std::string prefix = IncludeTrailingSep(outputDir);
    // The beginning is compared as the file system compares paths.
    if (path.size() > prefix.size() && SamePath(std::string_view(path).substr(0, prefix.size()), prefix))
        return path.substr(prefix.size());
    return path;
}

ViewerDialogStart ViewerDialogStartFor(const std::string& outputDir, const std::string& currentCaption,
                                       bool havePage) {
    ViewerDialogStart start;
    start.initialDir = outputDir;
    if (!havePage) return start;
    const std::string shown = (!currentCaption.empty() && IsPathSep(currentCaption.front()))
                                  ? currentCaption
                                  : IncludeTrailingSep(outputDir) + currentCaption;
    start.initialDir = ExtractFileDir(shown);
    start.fileName = ExtractFileName(shown);
    return start;
}

std::string ViewerFileFilter(const std::string& sourceFilter, const std::string& prefix) {
    return "Transformed " + sourceFilter + "|Logs and technical files|*.con;*.lit;*.txt;*.xml;*.csv;*.log;*." +
           prefix + "|All files|*.*";
}

std::string ViewerLogPath(ViewerLog log, const std::string& outputDir, const std::string& systemName) {
    // The run writes the product log under exactly this name (a file system
    // that tells case apart would otherwise see two files).
    return log == ViewerLog::Product ? ProductLogPath(outputDir, systemName) : ConsoleLogPath(outputDir);
}

}  // namespace korvane
