#include "shell/run/tool_launcher.h"

#include <QSocketNotifier>
#include <QTimer>

namespace korvane {

namespace {

class ProcessToolRun : public ToolRun {
public:
    ProcessToolRun(std::function<void()> ended, bool poll) : ended_(std::move(ended)), poll_(poll) {}

    ~ProcessToolRun() override {
        // The notifier goes before the process closes its descriptor, and
        // later, since this may run inside the notifier's own signal.
        stopNotices();
        // ~ToolProcess kills and collects a program that still runs.
    }

    bool Start(const std::vector<std::string>& args, const std::string& workingDir, const ToolStartOptions& options,
               std::string& errorText) {
        if (!process_.StartArgs(args, workingDir, options, errorText)) return false;
        if (process_.HasPidFd() && !poll_) {
            notifier_ = new QSocketNotifier(process_.PidFd(), QSocketNotifier::Read);
            QObject::connect(notifier_, &QSocketNotifier::activated, notifier_, [this] { check(); });
        } else {
            timer_ = new QTimer;
            QObject::connect(timer_, &QTimer::timeout, timer_, [this] { check(); });
            timer_->start(ProcessLauncher::kPollMs);
        }
        return true;
    }

    long Pid() const override { return long(process_.Pid()); }
    bool Running() override { return process_.IsRunning(); }
    bool Watching() const override { return !delivered_; }
    bool Kill(std::string& errorText) override { return process_.Kill(errorText); }
    ProcessEnd End() const override { return process_.Reaped() ? process_.End() : ProcessEnd{}; }

    void StopWatching(int graceMs) override {
        if (delivered_) return;
        process_.WaitFor(graceMs);
        deliver();
    }

private:
    void check() {
        if (!delivered_ && process_.WaitFor(0)) deliver();
    }

    void deliver() {
        delivered_ = true;
        stopNotices();
        if (process_.WaitFor(0)) process_.Reap();
        // The call may release this object: nothing of it is touched after.
        std::function<void()> ended = std::move(ended_);
        ended_ = nullptr;
        if (ended) ended();
    }

    void stopNotices() {
        if (notifier_) {
            notifier_->setEnabled(false);
            notifier_->deleteLater();
            notifier_ = nullptr;
        }
        if (timer_) {
            timer_->stop();
            timer_->deleteLater();
            timer_ = nullptr;
        }
    }

    ToolProcess process_;
    std::function<void()> ended_;
    bool poll_;
    bool delivered_ = false;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace

std::unique_ptr<ToolRun> ProcessLauncher::Start(const std::vector<std::string>& args, const std::string& workingDir,
                                                const ToolStartOptions& options, std::function<void()> ended,
                                                std::string& errorText) {
    auto run = std::make_unique<ProcessToolRun>(std::move(ended), notice_ == Notice::Poll);
    if (!run->Start(args, workingDir, options, errorText)) return nullptr;
    return run;
}

}  // namespace korvane
