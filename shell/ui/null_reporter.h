#pragma once
// A reporter for controls that were given no status bar: messages are
// dropped, but a report with continuation off still ends the operation.

#include "shared/errors.h"
#include "shell/ui/reporter.h"

namespace korvane {

class NullReporter : public Reporter {
public:
    void ClearMessages() override {}
    void AddInfo(const std::string&) override {}
    void AddWarning(const std::string&) override {}
    void AddError(const std::string&, bool cont) override {
        if (!cont) throw SilentAbort{};
    }
    void ShowError(const std::string&, bool cont) override {
        if (!cont) throw SilentAbort{};
    }
    void ShowInfo(const std::string&) override {}
    void ShowFatal(const std::string&) override { throw SilentAbort{}; }
    void ShowWarning(const std::string&) override {}
    int Severity() const override { return 0; }

    static NullReporter& Instance() {
        static NullReporter instance;
        return instance;
    }
};

}  // namespace korvane
