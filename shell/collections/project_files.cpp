#include "shell/collections/project_files.h"

#include "shared/platform/path.h"

namespace korvane {

void ProtectedFiles::Add(const std::string& path) {
    const std::string p = ExcludeTrailingSep(path);
    FileId id;
    if (GetFileId(p, true, id)) ids_.insert(id);
    if (GetFileId(p, false, id)) ids_.insert(id);
}

bool ProtectedFiles::Contains(const std::string& path) const {
    FileId id;
    return !ids_.empty() && GetFileId(path, false, id) && ids_.count(id) > 0;
}

}  // namespace korvane
