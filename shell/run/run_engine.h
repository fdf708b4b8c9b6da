#pragma once
// RunEngine: a run from its preparation to the collection of its results,
// with no window. It prepares the work area, starts the tool program of
// every step, hands over from one step to the next when a tool has ended,
// cancels, and collects the results under the sources' names. What it reads
// and what it shows go through narrow interfaces:
//
//   RunSetupSource  the project, language and tool-settings values (RunSetup),
//                   read at the start of a run and again at every hand-over;
//   Reporter        status messages (an error with continuation off ends the
//                   operation);
//   Dialogs         the questions (cancel, an output directory never used for
//                   a run, a kill that failed);
//   RunObserver     what a front end shows or does for a run (progress, the
//                   name map, logs, the cancel command, project state);
//   ToolLauncher    starting a tool and hearing of its end.
//
// The main window and the batch mode are two observers of the same engine.
// Everything happens on the engine's thread: a tool's end is noticed by its
// event loop, the time limit is a timer of the engine.
//
// The work is split over files by phase: run_preparation.cpp,
// run_launch.cpp, run_handover.cpp and run_collection.cpp; run_shards.cpp
// splits a run over several jobs (see shard_plan.h).
//
// With more than one parallel job, the file-local steps at the head of the
// queue run in shards: one engine per shard, each with its part of the
// sources in a folder of its own, side by side; when all have ended, this
// engine brings them together, runs the steps left as one job and collects.
//
// State of a run:
//   state          BatchRunning  progress       cancel command    logs
//   idle           false         hidden         off               available
//   preparing      false         shown by copy  unchanged         off once prepared
//   running step k true          "Processing"   on                off
//   cancelling     true (until   hidden by      off               shown by branch A
//                  StopRun ends) branch A
//   finishing      false         hidden         off               shown

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/run/copy_run_files.h"
#include "shell/run/output_ownership.h"
#include "shell/run/run_setup.h"
#include "shell/run/shard_plan.h"
#include "shell/run/work_area.h"

namespace korvane {

class Dialogs;
class Reporter;
struct ProcessEnd;
class ToolLauncher;
class ToolRun;
struct ShardJob;

// The files of the project: sources, copy members and rename-directive
// files, never deleted or replaced by a run.
ProtectedFiles ProjectFilesOf(const RunSetup& setup);

class RunSetupSource {
public:
    virtual ~RunSetupSource() = default;
    virtual RunSetup CurrentSetup() = 0;
};

// Where the front end should point the user when a run is refused.
enum class RunHint {
    NamesPage,         // the page with names, output directory and sources
    ProductNameField,  // the product name field (on the names page)
    SystemNameField,
    OutputDirField,    // the output directory field (on the names page)
    SourcesTab,        // the list of sources
    CsvTab,            // the list of rename-directive files
};

// What a front end shows or does for a run. Every call has an empty default,
// so a front end overrides only what it shows.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // --- progress ---
    virtual void ProgressShown(bool) {}
    virtual void ProgressRange(int /*position*/, int /*maximum*/) {}
    virtual void ProgressCaption(const std::string&) {}
    // A long phase (copying the sources) begins or ends.
    virtual void Working(bool) {}
    // --- the preparation ---
    // A name was taken into the project (product or system): the text as
    // given, which passed ("*" for none).
    virtual void NameTaken(bool /*product*/, const std::string&) {}
    virtual void ProjectNameFormed(const std::string&) {}
    virtual void NumberOfSources(int) {}
    // A relative output directory was taken from the project's folder.
    virtual void OutputDirResolved(const std::string&) {}
    // The common root of the sources was computed (to be shown); the engine
    // clears the status messages after this call when there are sources.
    virtual void CommonRootComputed(const std::string&) {}
    // Copies are inserted: the copy library folder is derived again.
    virtual void CopyLibraryNeeded() {}
    virtual void NameMapShown(const std::vector<std::string>&) {}
    // The word list of the run is written into the output directory.
    virtual void WriteRunWordList(const std::string& /*outputDir*/) {}
    // --- the run ---
    virtual void BatchRunningChanged(bool) {}
    virtual void ProjectModified() {}
    virtual void CancelCommand(bool /*on*/) {}
    virtual void Hint(RunHint) {}
    // A step's program has ended (the scanner's step is "Scan"): how, as far
    // as known (Kind::Unknown when its end could not be collected).
    virtual void StepEnded(const std::string& /*step*/, const std::string& /*program*/, const ProcessEnd&) {}
    // The logs of the run are (no longer) there to be viewed; when there,
    // the product log is shown, and the console log when it was captured.
    virtual void LogsAvailable(bool) {}
    virtual void ShowLogs(bool /*consoleLog*/) {}
    // After a scan run: the word lists are read again from this folder.
    virtual void ReloadWordListsAfterScan(const std::string& /*outputDir*/) {}
};

class RunEngine : public QObject {
    Q_OBJECT
public:
    enum class RunMode { Reengineering, Scan };

    RunEngine(RunSetupSource& setup, RunObserver& observer, Reporter& reporter, Dialogs& dialogs,
              ToolLauncher& launcher, QObject* parent = nullptr);
    ~RunEngine() override;

    // --- commands ---
    // The mode of the next StartRun.
    void setRunMode(RunMode mode) { runMode_ = mode; }
    // Prepares a run in the current mode and starts its first tool. The
    // output directory's lock, taken by the preparation, goes at once when
    // no tool started, else when the run has ended.
    void StartRun();
    // The user's cancel: asks, then stops the run.
    void Cancel();
    // A stop asked for elsewhere (the window's close request): empties the
    // queue, marks the project modified and stops; nothing while idle.
    void StopRequested();
    // Kills the current tool, ends the cancel command ("Terminate
    // signalled!", the cancelled hand-over, "Background process cancelled!"
    // with continuation off).
    void StopRun();
    // The program is asked to end (a termination signal): kills the current
    // step's process group at once, empties the queue and marks the run
    // cancelled, so that the hand-over of the killed step collects and
    // writes nothing; no further tool is started. Safe at any moment, also
    // inside another operation; asks nothing.
    void TerminateRun();
    bool Terminating() const { return terminating_; }
    // The results of the last prepared run go back under the sources' names
    // (also "Rename the files..." by hand, and opening a project saved
    // during a run).
    void Collect();
    // The project was cleared: results are collected only for a run
    // prepared since.
    void ForgetNameMap() { nameMap_.clear(); }

    // --- shards ---
    // This engine runs one shard of a split run: only its part of the
    // checked sources, only the file-local steps at the head of the queue,
    // in the shard's folder below the output directory; it collects nothing
    // and leaves its record there. byParent: the engine of the whole run
    // holds the output directory (else the shard's folder alone is locked).
    void setShard(ShardId id, bool byParent = false) {
        shard_ = id;
        shardByParent_ = byParent;
    }
    // After every shard of a split has run (elsewhere): prepares the run as
    // StartRun does, brings the shards together, runs the steps that are
    // left as one job and collects. Refused (ShowError) when a shard is
    // missing, unfinished or of another chain.
    void CollectShards();
    // The last CollectShards got as far as bringing the shards together.
    bool ShardsBroughtTogether() const { return shardsBroughtTogether_; }
    // Waits up to graceMs for the end of a killed tool, which is then
    // handed over.
    void waitForStoppedTool(int graceMs);
    // A shard engine: how its last run ended, as its record says.
    ShardRecord::End shardEnd() const { return shardRecord_.end; }

    // A time limit for every step's program (0: none, the window's way):
    // a program still running after that many seconds ends the run as
    // cancelled, with StepTimeLimitText on the status bar.
    void setStepTimeLimit(int seconds) { stepTimeLimit_ = seconds; }
    // What a run does with an output directory that holds files but was
    // never used for a run (the window asks; the batch mode refuses, or
    // takes it with -takeover).
    void setForeignOutputDir(ForeignOutputDir policy) { foreignOutputDir_ = policy; }

    // --- state ---
    bool BatchRunning() const { return batchRunning_; }
    RunMode runMode() const { return runMode_; }
    // A tool has been started whose end has not been handed over yet.
    bool ToolActive() const;
    // The process identifier of the current step's tool while it runs, else 0.
    long currentToolPid() const;
    // The last run ended with "Processing finished".
    bool FinishedCleanly() const { return finishedCleanly_; }
    // This engine's run holds the lock of its output directory.
    bool HoldsOutputDir() const { return outputLock_.Locked(); }

    const std::vector<std::string>& stepQueue() const { return stepQueue_; }
    const std::vector<std::string>& nameMap() const { return nameMap_; }
    const WorkArea& workArea() const { return area_; }
    const RunNames& runNames() const { return names_; }
    const std::string& commonRoot() const { return commonRoot_; }
    const std::string& finalResultExtension() const { return finalResultExtension_; }
    int numberOfSources() const { return numberOfSources_; }

signals:
    // The caption of the progress group changed.
    void progressCaptionChanged(const std::string& caption);
    // A tool process was started for a step (the scanner: its program path).
    void toolStarted(const std::string& program, long pid);
    // A hand-over of an ended tool is done, whatever branch it took and
    // however it ended.
    void stepHandedOver();
    // The run is over: ended, cancelled or stopped by an error of a hand-over.
    void runEnded();
    // A shard engine: its run is over, however it ended (also when it was
    // stopped, which emits no runEnded).
    void shardDone();

private:
    // What is known of a started step's program at its end.
    struct StepRun {
        std::string step;     // the queue's step name; "Scan" for the scanner
        std::string program;  // the program path as the picker holds it
        bool statusCounts = false;  // a native program of a language whose statuses mean something
    };

    // run_engine.cpp
    // The setup as the source gives it, with the shard applied.
    RunSetup currentSetup();
    void setBatchRunning(bool on);
    void setCancelCommand(bool on);
    void setProgress(const char* phase, int position, int maximum);
    void showLogs(const RunSetup& setup);

    // run_preparation.cpp
    // Runs body; the output directory's lock taken in it goes again unless
    // a tool has been started.
    void holdingOutputDir(void (RunEngine::*body)());
    void startRunBody();
    void prepareRun();
    void validateNames(const RunSetup& setup);
    void claimOutputDir(const std::string& outputDir);
    void checkTargetPlan(const RunSetup& setup, const std::string& outputDir);
    void buildStepQueue(const RunSetup& setup);
    // Writes last.xml for a step reading inputExtension; only the run's
    // first writing fills the name map.
    void writeParameterFile(const RunSetup& setup, const std::string& inputExtension, bool fillNameMap);
    // copySources false: the shards make the working copies.
    void copyRunFiles(bool copySources = true);
    void mergeRenameDirectives();

    // run_launch.cpp
    bool startStep(const RunSetup& setup, const std::string& stepName);
    bool startToolProcess(const RunSetup& setup, const std::string& step, const std::string& program,
                          const std::string& arguments, const std::string& workingDir);
    void onStepTimeLimit();

    // run_handover.cpp
    void toolEnded(const std::shared_ptr<ToolRun>& tool, const StepRun& info);
    void stepFinished(const std::shared_ptr<ToolRun>& tool, const StepRun& info);
    void stepFinishedBody(const std::shared_ptr<ToolRun>& tool, const StepRun& info);
    // Branch B: the next entry of the queue; branch C: the run has ended.
    void startNextStep(const RunSetup& setup);
    void finishRun();
    void killToolProcess();

    // run_shards.cpp
    void prepareShardFolder(const std::string& outputDir);
    bool shouldSplit(const RunSetup& setup) const;
    bool startShards(const RunSetup& setup);
    void shardEnded();
    void stopShards();
    bool shardToolActive() const;
    void continueAfterShards(const std::vector<ShardRecord>& records, bool reportErrors);
    void collectShardsBody();
    void recordShardStep(const std::string& failure);
    void writeShardRecord(ShardRecord::End end);

    RunSetupSource& setup_;
    RunObserver& observer_;
    Reporter& reporter_;
    Dialogs& dialogs_;
    ToolLauncher& launcher_;

    RunMode runMode_ = RunMode::Reengineering;
    bool batchRunning_ = false;
    bool cancelCommand_ = false;
    bool finishedCleanly_ = false;
    bool terminating_ = false;

    // Values of the last prepared run.
    RunNames names_;
    WorkArea area_;
    std::string commonRoot_;
    std::string finalResultExtension_;
    int numberOfSources_ = 0;
    std::vector<std::string> stepQueue_;
    std::vector<std::string> nameMap_;
    std::vector<std::string> parameterLines_;
    int progressPosition_ = 0;
    int progressMaximum_ = 0;
    ForeignOutputDir foreignOutputDir_ = ForeignOutputDir::Ask;
    FolderLock outputLock_;

    // The current step's tool, until its end has been handed over.
    std::shared_ptr<ToolRun> tool_;
    // Cleared when the engine goes: a late end of a tool then does nothing.
    std::shared_ptr<bool> alive_;

    // The time limit of each step, and what runs under it.
    int stepTimeLimit_ = 0;
    QTimer stepTimer_;
    StepRun timedStep_;

    // As a shard: which, the shard's folder once prepared, its record.
    std::optional<ShardId> shard_;
    bool shardByParent_ = false;
    std::string shardOutputDir_;
    ShardRecord shardRecord_;
    // As the engine of a split run: the entries the shards run, the shards
    // (kept until the next run), and whether they are still running.
    std::vector<std::string> shardedQueue_;
    std::vector<std::unique_ptr<ShardJob>> shardJobs_;
    bool shardPhase_ = false;
    int shardGeneration_ = 0;
    bool shardsBroughtTogether_ = false;
};

}  // namespace korvane
