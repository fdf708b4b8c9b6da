#include "shell/run/purge_files.h"

#include <filesystem>
#include <system_error>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/run/output_ownership.h"
#include "shell/run/work_area.h"

namespace korvane {

bool PurgeMaskMatches(std::string_view fileName, std::string_view mask) {
    if (mask == "*.*") return true;
    std::string test = UpperCase(fileName);
    for (char& c : test)
        if (c >= '0' && c <= '9') c = '#';
    return StartsWithText(mask, test);
}

void PurgeMatchingFiles(const std::string& folder, int depth, std::string_view mask, const ProtectedFiles* keep) {
    if (depth <= 0 || folder.empty()) return;
    // Never from the file-system root: that would empty folders everywhere.
    if (IsFileSystemRoot(folder)) return;
    // A linked folder leads out of the tree being cleaned: never enter it.
    if (IsSymlink(folder)) return;
    for (const DirEntry& e : ListDirectory(folder)) {
        if (e.hiddenOrSystem) continue;
        std::string path = JoinPath(folder, e.name);
        if (e.isDir) {
            if (e.name[0] != '.') PurgeMatchingFiles(path, depth - 1, mask, keep);
        } else if (e.isFile && PurgeMaskMatches(e.name, mask) && !(keep && keep->Contains(path))) {
            DeleteFile(path);  // a link to a file goes as a link; its target stays
        }
    }
    RemoveDir(folder);  // only succeeds when the folder is empty now
}

std::string ResolveChosenFolder(const std::string& folder) {
    if (!IsSymlink(ExcludeTrailingSep(folder))) return folder;
    std::error_code ec;
    auto real = std::filesystem::canonical(ExcludeTrailingSep(folder), ec);
    return ec ? folder : real.string();
}

}  // namespace korvane
