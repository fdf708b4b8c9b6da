#pragma once
// RunBinding: the main window's side of a run. It binds the run actions
// (ActStartConversion, ActStartScan, ActRunTool, ActCancelRun, ActRename) to
// the run engine, forms the engine's RunSetup from the controls, and shows
// what the engine reports: progress bar and group, name map memo, pages,
// status bar, the cancel action, the log views, the project's state.

#include <QObject>

#include <memory>

#include "shell/run/run_engine.h"
#include "shell/run/tool_launcher.h"

namespace korvane {

class TfrmKorvaneMain;

// What a run reads of the window: the project, the applied language, the
// tool settings and the controls, at this moment.
RunSetup RunSetupFromWindow(TfrmKorvaneMain& window);

class RunBinding : public QObject, public RunSetupSource, public RunObserver {
    Q_OBJECT
public:
    explicit RunBinding(TfrmKorvaneMain& window);
    ~RunBinding() override;

    RunEngine& engine() { return *engine_; }

    // RunSetupSource
    RunSetup CurrentSetup() override { return RunSetupFromWindow(w_); }

    // RunObserver
    void ProgressShown(bool shown) override;
    void ProgressRange(int position, int maximum) override;
    void ProgressCaption(const std::string& caption) override;
    void Working(bool on) override;
    void NameTaken(bool product, const std::string& name) override;
    void ProjectNameFormed(const std::string& projectName) override;
    void NumberOfSources(int count) override;
    void OutputDirResolved(const std::string& outputDir) override;
    void CommonRootComputed(const std::string& root) override;
    void CopyLibraryNeeded() override;
    void NameMapShown(const std::vector<std::string>& lines) override;
    void WriteRunWordList(const std::string& outputDir) override;
    void BatchRunningChanged(bool on) override;
    void ProjectModified() override;
    void CancelCommand(bool on) override;
    void Hint(RunHint hint) override;
    void LogsAvailable(bool on) override;
    void ShowLogs(bool consoleLog) override;
    void ReloadWordListsAfterScan(const std::string& outputDir) override;

private:
    void bindActions();

    TfrmKorvaneMain& w_;
    ProcessLauncher launcher_;
    std::unique_ptr<RunEngine> engine_;
};

}  // namespace korvane
