#include "shell/collections/copy_library.h"

#include <vector>

#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shell/collections/check_list.h"
#include "shell/run/work_area.h"

namespace korvane {

void CopyCheckedMembers(CheckList& members, const std::string& libraryFolder, Reporter& reporter) {
    for (size_t i = 0; i < members.size(); ++i) {
        if (!members.checked(i)) continue;
        const std::string source = members.text(i);
        if (!FileExists(source)) {
            members.setChecked(i, false);
            continue;
        }
        if (libraryFolder.empty()) continue;
        const std::string target = IncludeTrailingSep(libraryFolder) + ExtractFileName(source);
        const int64_t targetAge = FileAgeNs(target);
        if (targetAge >= 0 && targetAge >= FileAgeNs(source)) continue;
        CopyWorkFile(source, target, reporter);
    }
}

size_t RemoveUncheckedEntries(CheckList& list, const std::string& copyLibraryFolder) {
    const size_t before = list.size();
    std::vector<char> keep(before, 1);
    size_t removed = 0;
    for (size_t i = before; i-- > 0;) {
        if (list.checked(i)) continue;
        if (!copyLibraryFolder.empty()) {
            const std::string copy = IncludeTrailingSep(copyLibraryFolder) + ExtractFileName(list.text(i));
            if (FileExists(copy)) DeleteFile(copy);
        }
        keep[i] = 0;
        ++removed;
    }
    if (removed == 0) return 0;
    std::vector<CheckEntry> rest;
    rest.reserve(before - removed);
    for (size_t i = 0; i < before; ++i)
        if (keep[i]) rest.push_back(list.at(i));
    const bool wasSorted = list.sorted();
    list.setSorted(false);
    list.assign(std::move(rest));
    list.setSorted(wasSorted);
    return removed;
}

}  // namespace korvane
