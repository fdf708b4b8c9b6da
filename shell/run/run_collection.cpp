// ActRename: the results of the last prepared run go back into the output
// directory under the sources' names (CollectResults, then CleanWorkArea);
// after a scan run the word lists are refilled from what the scanner found.

#include "shared/platform/path.h"
#include "shell/app/language_controller.h"
#include "shell/app/main_window.h"
#include "shell/project/project_controller.h"
#include "shell/run/result_collection.h"
#include "shell/run/run_controller.h"
#include "shell/ui/my_status_bar.h"
#include "shell/wordlists/word_list_controller.h"

namespace korvane {

void RunController::ActRenameExecute() {
    const AppliedLanguage& language = w_.language()->applied();
    CollectionInput in;
    // Empty until a run was prepared since the shell started and since the
    // project was last cleared; the work area stays unset until a run was
    // prepared at all, and then nothing is formed from it.
    in.nameMap = nameMap_;
    in.area = area_;
    // The file-system root is never a place to collect into (nor to clean):
    // the output directory of the prepared run stands in for it.
    in.outputDir = w_.project()->outputDirectory();
    if (IsFileSystemRoot(in.outputDir)) in.outputDir.clear();
    in.commonRoot = commonRoot_;
    in.finalResultExtension = finalResultExtension_;
    in.outputExtension = language.outputExtension;
    in.copyExtension = language.copyExtension;
    in.systemName = w_.project()->systemName();
    in.projectName = names_.projectName;
    in.maxDirDepth = w_.project()->maxDirDepth();
    in.deleteAfter = w_.language()->runControl().deleteAfter;
    in.scanRun = runMode_ == RunMode::Scan;
    in.reloadWordLists = [this](const std::string& funcTabPath) {
        w_.wordLists()->ReloadAfterScan(ExtractFileDir(funcTabPath));
    };
    in.keep = projectFiles();
    // At the end of a run the run's lock is held; collecting by hand takes
    // it for the time of the collection, so that no run there is disturbed.
    FolderLock byHand;
    if (area_.IsSet() && !outputLock_.Locked()) LockOutputDir(area_.outputDir, byHand, w_.statusBar());
    CollectResults(in, w_.statusBar());
}

}  // namespace korvane
