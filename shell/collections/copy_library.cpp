#include "shell/collections/copy_library.h"

#include <vector>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/collections/copy_library_folder.h"
#include "shell/ui/check_list.h"
#include "shell/ui/reporter.h"

namespace korvane {

std::string CopyLibraryPath(std::string_view outputDir) {
    return IncludeTrailingSep(JoinPath(ExcludeTrailingSep(outputDir), kCopyLibraryName));
}

void CopyWorkFile(const std::string& source, const std::string& target, Reporter& reporter) {
    // The copies are scratch that every run makes afresh, so they are
    // written in place, without the temporary file and the flush to disk that
    // the files a user would miss get (a run over many sources would
    // otherwise spend its time waiting for the disk).
    if (int err = CopyFileContents(source, target))
        reporter.ShowError("Error during preparation - " + source + " - " + SystemErrorText(err), false);
}

namespace {

// The files of the members (checked or not): the library never replaces or
// deletes one of them, whatever name reaches it.
ProtectedFiles MemberFiles(const CheckList& members) {
    ProtectedFiles keep;
    for (size_t i = 0; i < members.size(); ++i) keep.Add(members.text(i));
    return keep;
}

// A library reached through a link would be written outside the output
// directory.
bool LibraryIsLink(const std::string& libraryFolder) {
    return !libraryFolder.empty() && IsSymlink(ExcludeTrailingSep(libraryFolder));
}

}  // namespace

void CopyCheckedMembers(CheckList& members, const std::string& libraryFolder, Reporter& reporter,
                        const ProtectedFiles& keep) {
    ProtectedFiles own = keep;
    const bool linked = LibraryIsLink(libraryFolder);
    if (!libraryFolder.empty() && !linked) own.Add(MemberFiles(members));
    for (size_t i = 0; i < members.size(); ++i) {
        if (!members.checked(i)) continue;
        const std::string source = members.text(i);
        if (!FileExists(source)) {
            members.setChecked(i, false);
            continue;
        }
        if (libraryFolder.empty()) continue;
        if (linked) {
            reporter.ShowError(Format(kWorkFolderIsLink, ExcludeTrailingSep(libraryFolder).c_str()), false);
            throw SilentAbort{};  // never go on, whatever the reporter did
        }
        const std::string target = IncludeTrailingSep(libraryFolder) + ExtractFileName(source);
        const int64_t targetAge = FileAgeNs(target);
        if (targetAge >= 0 && targetAge >= FileAgeNs(source)) continue;
        // The member itself, or another file of the project, at the copy's name.
        if (own.Contains(target)) continue;
        CopyWorkFile(source, target, reporter);
    }
}

size_t RemoveUncheckedEntries(CheckList& list, const std::string& copyLibraryFolder) {
    const size_t before = list.size();
    std::vector<char> keep(before, 1);
    size_t removed = 0;
    const bool library = !copyLibraryFolder.empty() && !LibraryIsLink(copyLibraryFolder);
    ProtectedFiles members;
    if (library) members = MemberFiles(list);
    for (size_t i = before; i-- > 0;) {
        if (list.checked(i)) continue;
        if (library) {
            const std::string copy = IncludeTrailingSep(copyLibraryFolder) + ExtractFileName(list.text(i));
            if (FileExists(copy) && !members.Contains(copy)) DeleteFile(copy);
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
