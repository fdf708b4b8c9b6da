#pragma once
// The files of a project: its sources, copy members and rename-directive
// files. No step of a run and no copy into the copy library may delete or
// replace one of them, wherever it lies.

#include <set>
#include <string>

#include "shared/platform/files.h"

namespace korvane {

// Files known by their identity on the disk, so that any name they are
// reached by (another spelling of the folder, a link to a folder above them)
// counts.
class ProtectedFiles {
public:
    // A file of the project: the file the path names and, when the path is
    // a symbolic link, the link itself. A missing file adds nothing.
    void Add(const std::string& path);
    // Whether removing the name path (deleting it, or moving or writing a
    // file onto it) would remove a file of the project.
    bool Contains(const std::string& path) const;
    // The files of other as well.
    void Add(const ProtectedFiles& other) { ids_.insert(other.ids_.begin(), other.ids_.end()); }
    bool Empty() const { return ids_.empty(); }

private:
    std::set<FileId> ids_;
};

}  // namespace korvane
