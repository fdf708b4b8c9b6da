#pragma once
// The one place where exceptions stop. Every action and every window event
// handler runs its work through RunGuarded. At the outermost level the
// silent abort signal is swallowed and any other error is shown through the
// error sink; inside another guarded operation everything propagates, so the
// operation that started it ends as well. No exception leaves a handler into
// Qt's event loop.

#include <functional>
#include <string>

namespace korvane {

// Where the text of an error that ended an operation goes (the window shows
// a message box; the batch mode prints it).
void SetErrorSink(std::function<void(const std::string&)> sink);
void ShowErrorText(const std::string& text);

void RunGuarded(const std::function<void()>& op);

class Reporter;
// Runs op; an Error it raises (a bad flag, a missing definition) is reported
// on the status bar with continuation off, which ends the operation.
void ReportingErrors(Reporter& reporter, const std::function<void()>& op);

// True while a guarded operation is running on this thread.
bool InGuardedOperation();

// Held while a nested event loop runs (a modal dialog, pending-input
// processing): events handled inside start new outermost operations.
class NestedEventLoopScope {
public:
    NestedEventLoopScope();
    ~NestedEventLoopScope();
    NestedEventLoopScope(const NestedEventLoopScope&) = delete;
    NestedEventLoopScope& operator=(const NestedEventLoopScope&) = delete;

private:
    int saved_;
};

}  // namespace korvane
