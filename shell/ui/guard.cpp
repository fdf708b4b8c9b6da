#include "shell/ui/guard.h"

#include <cstdio>
#include <exception>

#include "shared/errors.h"
#include "shell/ui/reporter.h"

namespace korvane {
namespace {
thread_local int g_depth = 0;
std::function<void(const std::string&)>& Sink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}
}  // namespace

void SetErrorSink(std::function<void(const std::string&)> sink) { Sink() = std::move(sink); }

void ShowErrorText(const std::string& text) {
    if (Sink())
        Sink()(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
}

bool InGuardedOperation() { return g_depth > 0; }

void RunGuarded(const std::function<void()>& op) {
    if (g_depth > 0) {
        ++g_depth;
        struct Leave {
            ~Leave() { --g_depth; }
        } leave;
        op();
        return;
    }
    ++g_depth;
    struct Leave {
        ~Leave() { --g_depth; }
    } leave;
    try {
        op();
    } catch (const SilentAbort&) {
    } catch (const std::exception& e) {
        ShowErrorText(e.what());
    } catch (...) {
        ShowErrorText("Unexpected error");
    }
}

void ReportingErrors(Reporter& reporter, const std::function<void()>& op) {
    try {
        op();
    } catch (const Error& e) {
        reporter.ShowError(e.what(), false);
    }
}

NestedEventLoopScope::NestedEventLoopScope() : saved_(g_depth) { g_depth = 0; }
NestedEventLoopScope::~NestedEventLoopScope() { g_depth = saved_; }

}  // namespace korvane
