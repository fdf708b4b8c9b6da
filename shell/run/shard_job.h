#pragma once
// One shard of a split run inside this process: its engine, and what that
// engine shows and reports, filtered for the engine of the whole run. The
// whole run shows one progress, one name map and one set of logs; a shard
// passes on only its steps' ends, its errors and its word list.

#include <memory>

#include "shell/run/run_engine.h"
#include "shell/ui/reporter.h"

namespace korvane {

// Errors go on to the whole run's reporter as they come (unless muted: a
// shard stopped because another failed says nothing); the shard keeps its
// own severity, and an error with continuation off ends the shard's
// operation alone.
class ShardReporter : public Reporter {
public:
    explicit ShardReporter(Reporter& run) : run_(run) {}
    void mute() { muted_ = true; }

    void ClearMessages() override { severity_ = 0; }
    void AddInfo(const std::string&) override {}
    void AddWarning(const std::string&) override { raise(1); }
    void AddError(const std::string& text, bool cont) override { error(text, cont); }
    void ShowError(const std::string& text, bool cont) override { error(text, cont); }
    void ShowInfo(const std::string&) override {}
    void ShowFatal(const std::string& text) override {
        raise(3);
        error(text, false);
    }
    void ShowWarning(const std::string&) override { raise(1); }
    int Severity() const override { return severity_; }

private:
    void raise(int level) { severity_ = severity_ > level ? severity_ : level; }
    void error(const std::string& text, bool cont);

    Reporter& run_;
    bool muted_ = false;
    int severity_ = 0;
};

class ShardObserver : public RunObserver {
public:
    explicit ShardObserver(RunObserver& run) : run_(run) {}
    void ProjectModified() override { run_.ProjectModified(); }
    void StepEnded(const std::string& step, const std::string& program, const ProcessEnd& end) override {
        run_.StepEnded(step, program, end);
    }
    void WriteRunWordList(const std::string& outputDir) override { run_.WriteRunWordList(outputDir); }

private:
    RunObserver& run_;
};

struct ShardJob {
    ShardJob(Reporter& reporter, RunObserver& observer) : reporter(reporter), observer(observer) {}
    ShardReporter reporter;
    ShardObserver observer;
    std::unique_ptr<RunEngine> engine;
    bool ended = false;
};

}  // namespace korvane
