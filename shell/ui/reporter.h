#pragma once
// The reporting channel as the toolkit-free code sees it. The status bar of
// the main window implements it; tests use a recording implementation.
//
// An error reported with continuation off ends the caller's operation by
// throwing korvane::SilentAbort after the report.

#include <string>

namespace korvane {

class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void ClearMessages() = 0;
    virtual void AddInfo(const std::string& text) = 0;
    virtual void AddWarning(const std::string& text) = 0;
    virtual void AddError(const std::string& text, bool cont) = 0;
    virtual void ShowError(const std::string& text, bool cont) = 0;
    virtual void ShowInfo(const std::string& text) = 0;
    virtual void ShowFatal(const std::string& text) = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    // 0 information, 1 warning, 2 error, 3 fatal: the highest level reported
    // since the last ClearMessages.
    virtual int Severity() const = 0;
};

}  // namespace korvane
