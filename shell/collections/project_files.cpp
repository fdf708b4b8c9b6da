#include "shell/collections/project_files.h"

#include "shared/platform/path.h"

namespace korvane {

void ProtectedFiles::Add(const std::string& path) {
    const std::string p = ExcludeTrailingSep(path);
    // The entry itself and, where it is a link, the file it leads to. The
    // entry is looked at first: for a file that is no link that is all.
    FileId id;
    bool isLink = false;
    if (GetFileId(p, false, id, &isLink)) {
        ids_.insert(id);
        if (!isLink) return;
    }
    if (GetFileId(p, true, id)) ids_.insert(id);
}

bool ProtectedFiles::Contains(const std::string& path) const {
    FileId id;
    return !ids_.empty() && GetFileId(path, false, id) && ids_.count(id) > 0;
}

}  // namespace korvane
