// Collect: the results of the last prepared run go back into the output
// directory under the sources' names (CollectResults, then CleanWorkArea);
// after a scan run the word lists are refilled from what the scanner found.

#include "shared/platform/path.h"
#include "shell/run/result_collection.h"
#include "shell/run/run_engine.h"

namespace korvane {

void RunEngine::Collect() {
    const RunSetup setup = currentSetup();
    CollectionInput in;
    // Empty until a run was prepared since the engine was made and since the
    // project was last cleared; the work area stays unset until a run was
    // prepared at all, and then nothing is formed from it.
    in.nameMap = nameMap_;
    in.area = area_;
    // The file-system root is never a place to collect into (nor to clean):
    // the output directory of the prepared run stands in for it.
    in.outputDir = setup.outputDirectory;
    if (IsFileSystemRoot(in.outputDir)) in.outputDir.clear();
    in.commonRoot = commonRoot_;
    in.finalResultExtension = finalResultExtension_;
    in.outputExtension = setup.language.outputExtension;
    in.copyExtension = setup.language.copyExtension;
    in.systemName = setup.projectSystemName;
    in.projectName = names_.projectName;
    in.maxDirDepth = setup.maxDirDepth;
    in.deleteAfter = setup.runControl.deleteAfter;
    in.scanRun = runMode_ == RunMode::Scan;
    in.reloadWordLists = [this](const std::string& funcTabPath) {
        observer_.ReloadWordListsAfterScan(ExtractFileDir(funcTabPath));
    };
    in.keep = ProjectFilesOf(setup);
    // At the end of a run the run's lock is held; collecting by hand takes
    // it for the time of the collection, so that no run there is disturbed.
    FolderLock byHand;
    if (area_.IsSet() && !outputLock_.Locked()) LockOutputDir(area_.outputDir, byHand, reporter_);
    CollectResults(in, reporter_);
}

}  // namespace korvane
