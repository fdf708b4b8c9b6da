#pragma once
// RunController: the batch run engine of the main window. It serves the
// actions that start a run (ActStartConversion, ActStartScan, ActRunTool),
// cancel it (ActCancelRun) and collect its results (ActRename), prepares the
// work area, starts the tool program of every step with a watcher for its
// process, and hands over from one step to the next on the window thread.
//
// The work is split over four files by phase: run_preparation.cpp,
// run_launch.cpp, run_handover.cpp and run_collection.cpp.
//
// Processes and threads: every started tool gets its own ToolProcess and its
// own TToolWatcherThread. The process object is shared between the
// controller (current step) and the watcher's hand-over call, so it outlives
// the watcher; it is reaped by the hand-over of its own watcher, and a
// reaped process is never signalled again. The watchers call back through
// the application object, so a call that arrives after the controller has
// gone finds nothing to do.

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "shell/run/copy_run_files.h"
#include "shell/run/output_ownership.h"
#include "shell/run/work_area.h"

namespace korvane {

class TfrmKorvaneMain;
class ToolProcess;
class TToolWatcherThread;

class RunController : public QObject {
    Q_OBJECT
public:
    enum class RunMode { Reengineering, Scan };

    explicit RunController(TfrmKorvaneMain& window);
    ~RunController() override;

    // --- actions ---
    void ActStartConversionExecute();
    void ActStartScanExecute();
    void ActRunToolExecute();
    void ActCancelRunExecute();
    void ActRenameExecute();

    // --- preparation (run_preparation.cpp) ---
    void PrepareRun();
    void CopyRunFiles();
    void MergeRenameDirectives();

    // --- launching (run_launch.cpp) ---
    // Starts the program of a queued step (its picker "FindExex"+name, else
    // "Chain"+name); false when the program is no executable.
    bool StartStep(const std::string& stepName);
    // Starts program with the arguments in the working directory and a
    // watcher for it; false when the program is no executable. A refused
    // start throws Error with the system's text, the command and the folder.
    bool StartToolProcess(const std::string& program, const std::string& arguments, const std::string& workingDir);

    // --- hand-over and cancelling (run_handover.cpp) ---
    // Kills the current tool, stops its watcher and ends the cancel action
    // ("Background process cancelled!", continuation off).
    void StopRun();
    void KillToolProcess();
    // The program is asked to end (a termination signal): kills the current
    // step's process group at once, empties the queue and marks the run
    // cancelled, so that the hand-over of the killed step collects and
    // writes nothing; no further tool is started. Safe at any moment on the
    // window thread, also inside another operation; asks nothing.
    void TerminateRun();
    bool Terminating() const { return terminating_; }

    // A time limit for every step's program (0: none, the window's way):
    // a program still running after that many seconds ends the run as
    // cancelled, with StepTimeLimitText on the status bar.
    void setStepTimeLimit(int seconds) { stepTimeLimit_ = seconds; }

    // --- state ---
    bool BatchRunning() const;
    RunMode runMode() const { return runMode_; }
    // The batch-running flag of the project, the window's busy flag and
    // this controller's view of it move together.
    void SetBatchRunning(bool on);
    // A tool process or its watcher is still at work.
    bool ToolActive() const;
    // The last run ended with "Processing finished".
    bool FinishedCleanly() const { return finishedCleanly_; }
    // What a run does with an output directory that holds files but was
    // never used for a run (the window asks; the batch mode refuses, or
    // takes it with -takeover).
    void setForeignOutputDir(ForeignOutputDir policy) { foreignOutputDir_ = policy; }
    // This window's run holds the lock of its output directory.
    bool HoldsOutputDir() const { return outputLock_.Locked(); }

    const std::vector<std::string>& stepQueue() const { return stepQueue_; }
    const std::vector<std::string>& nameMap() const { return nameMap_; }
    const WorkArea& workArea() const { return area_; }
    const RunNames& runNames() const { return names_; }
    const std::string& commonRoot() const { return commonRoot_; }
    const std::string& finalResultExtension() const { return finalResultExtension_; }
    int numberOfSources() const { return numberOfSources_; }
    // The process identifier of the current step's tool while it runs, else 0.
    long currentToolPid() const;

signals:
    // The caption of the progress group changed (also shown in GroupBoxSlider).
    void progressCaptionChanged(const std::string& caption);
    // A tool process was started for a step (the scanner: its program path).
    void toolStarted(const std::string& program, long pid);
    // A hand-over of an ended tool process is done, whatever branch it took
    // and however it ended.
    void stepHandedOver();
    // The run is over: ended, cancelled or stopped by an error of a hand-over.
    void runEnded();

private:
    // run_controller.cpp
    void bindActions();
    void setProgress(const char* phase, int position, int maximum);
    void showLogs();
    void forgetNameMap();
    void shutDown();

    // run_preparation.cpp
    void validateNames();
    // Takes the output directory for the run (its lock, and the user's word
    // for a folder never used for a run); the lock is held until the run
    // has ended.
    void claimOutputDir(const std::string& outputDir);
    // The sources, copy members and rename-directive files of the project.
    ProtectedFiles projectFiles() const;
    void checkTargetPlan(const std::string& outputDir);
    void buildStepQueue();
    // Writes last.xml for a step reading inputExtension; only the run's
    // first writing (PrepareRun) fills the name map.
    void writeParameterFile(const std::string& inputExtension, bool fillNameMap);

    // What is known of a started step's program at its end.
    struct StepRun {
        std::string step;     // the queue's step name; "Scan" for the scanner
        std::string program;  // the program path as the picker holds it
        bool statusCounts = false;  // a native program of a language whose statuses mean something
    };

    // run_launch.cpp
    void startWatcher(const std::shared_ptr<ToolProcess>& process, const StepRun& info);
    void onStepTimeLimit();

    // run_handover.cpp
    void StepFinished(const std::shared_ptr<ToolProcess>& process, const StepRun& info);
    void stepFinishedBody(const std::shared_ptr<ToolProcess>& process, const StepRun& info);

    TfrmKorvaneMain& w_;
    RunMode runMode_ = RunMode::Reengineering;
    bool finishedCleanly_ = false;

    // Values of the last prepared run.
    RunNames names_;
    WorkArea area_;
    std::string commonRoot_;
    std::string finalResultExtension_;
    int numberOfSources_ = 0;
    std::vector<std::string> stepQueue_;
    std::vector<std::string> nameMap_;
    std::vector<std::string> parameterLines_;
    ForeignOutputDir foreignOutputDir_ = ForeignOutputDir::Ask;
    FolderLock outputLock_;

    // The current step's tool and its watcher.
    std::shared_ptr<ToolProcess> process_;
    QPointer<TToolWatcherThread> watcher_;
    // Every watcher that may not have ended yet, the current one included.
    std::vector<QPointer<TToolWatcherThread>> watchers_;
    // Cleared when the controller goes: late calls of watchers then do nothing.
    std::shared_ptr<bool> alive_;

    // The step StartStep is starting (read by StartToolProcess).
    std::string startingStep_;
    bool terminating_ = false;
    // The time limit of each step, and what runs under it.
    int stepTimeLimit_ = 0;
    QTimer stepTimer_;
    StepRun timedStep_;
};

}  // namespace korvane
