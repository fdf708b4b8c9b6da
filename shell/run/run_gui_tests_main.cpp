// Runs the window tests of the run engine on the offscreen platform: real
// tool processes in a temporary tool tree.

#include <QApplication>

#include "shared/test_support.h"

namespace korvane::testing {
int RunChainTests(int argc, char** argv);
int RunLifecycleTests(int argc, char** argv);
}  // namespace korvane::testing

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    korvane::testing::MarkTestProcesses();
    QApplication app(argc, argv);
    int failures = 0;
    failures += korvane::testing::RunChainTests(argc, argv);
    failures += korvane::testing::RunLifecycleTests(argc, argv);
    // No process started by the tests outlives them.
    if (!korvane::testing::NoMarkedProcessLeft()) ++failures;
    return failures == 0 ? 0 : 1;
}
