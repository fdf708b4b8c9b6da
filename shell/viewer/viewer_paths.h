#pragma once
// How the internal viewer names and finds its files: the page caption of a
// file, where the open dialog starts, the dialog's filter and the two logs.

#include <string>

namespace korvane {

// The caption of a viewer page: the path without "<outputDir>/" when it
// begins with that (compared as the file system compares paths: exactly
// here); the full path otherwise.
std::string ViewerCaption(const std::string& path, const std::string& outputDir);

// Where the open dialog of the viewer starts.
struct ViewerDialogStart {
    std::string initialDir;
    std::string fileName;
};
// Without a page: the output directory and no file name. With a current page
// of that caption: the folder and name of the file it shows, so that the
// dialog opens at it. A caption that is a full path (a file outside the
// output directory) is taken as it is.
ViewerDialogStart ViewerDialogStartFor(const std::string& outputDir, const std::string& currentCaption,
                                       bool havePage);

// "Transformed <source filter>|Logs and technical files|*.con;...;*.<prefix>|All files|*.*".
std::string ViewerFileFilter(const std::string& sourceFilter, const std::string& prefix);

// The logs a run leaves in the output directory.
enum class ViewerLog { Product, Console };
std::string ViewerLogPath(ViewerLog log, const std::string& outputDir, const std::string& systemName);

}  // namespace korvane
