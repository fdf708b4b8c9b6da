#include "shell/run/output_ownership.h"

#include <cerrno>

#include "shared/errors.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/run/work_area.h"
#include "shell/ui/reporter.h"

namespace korvane {

namespace {

bool IsWorkFolderName(const std::string& name) {
    return name == kInputFolderName || name == kResultFolderName || name == kWorkFolderName;
}

}  // namespace

OutputDirUse ClassifyOutputDir(const std::string& dir) {
    if (!DirectoryExists(dir)) return OutputDirUse::Fresh;
    bool foreign = false;
    for (const DirEntry& e : ListDirectory(dir)) {
        if (e.name == "last.xml") return OutputDirUse::UsedByRun;
        // Hidden entries are never touched by a run.
        if (e.hiddenOrSystem) continue;
        // Preparation makes the work folders (and the copy library, with
        // copies of the project's members) before last.xml can be written:
        // a run that stopped there leaves nothing of the user's.
        if (e.isDir && IsWorkFolderName(e.name) && ListDirectory(JoinPath(dir, e.name)).empty()) continue;
        if (e.isDir && e.name == kCopyLibraryName) continue;
        foreign = true;
    }
    return foreign ? OutputDirUse::Foreign : OutputDirUse::Fresh;
}

void LockOutputDir(const std::string& dir, FolderLock& lock, Reporter& reporter) {
    int err = lock.TryLock(dir);
    if (err == EWOULDBLOCK)
        reporter.ShowError(Format(kOutputDirInUse, dir.c_str()), false);
    else if (err)
        reporter.ShowError(Format(kOutputDirUnusable, dir.c_str(), SystemErrorText(err).c_str()), false);
    if (err) throw SilentAbort{};  // never go on, whatever the reporter did
}

void ClaimOutputDir(const std::string& dir, ForeignOutputDir foreign, const std::function<bool(const std::string&)>& ask,
                    FolderLock& lock, Reporter& reporter) {
    if (!DirectoryExists(dir)) ForceDirectories(dir);
    LockOutputDir(dir, lock, reporter);
    // Looked at only under the lock: another run may be making it its own.
    if (ClassifyOutputDir(dir) != OutputDirUse::Foreign || foreign == ForeignOutputDir::Take) return;
    try {
        if (foreign == ForeignOutputDir::Refuse) reporter.ShowError(Format(kForeignOutputDirRefused, dir.c_str()), false);
        if (foreign == ForeignOutputDir::Refuse || !ask(Format(kForeignOutputDirQuestion, dir.c_str())))
            throw SilentAbort{};
    } catch (...) {
        lock.Unlock();
        throw;
    }
}

}  // namespace korvane
