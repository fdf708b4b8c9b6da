// The reliability tests of the run engine on the offscreen platform: tools
// that misbehave, projects saved during a run, file systems that refuse
// writes, the scan run with the bundled tool settings, and the bundled Java
// example run by the batch mode.
//
// The program first enters a private mount namespace (before any thread
// exists), so that the tiny file systems of the full-disk tests are seen by
// this process and the tools it starts, and by nothing else.

#include <QApplication>

#include <cstdio>

#include "shell/run/run_fault_test_support.h"

namespace korvane::testing {
int RunProcessFaultTests(int argc, char** argv);
int RunDiskFaultTests(int argc, char** argv);
int RunBundledScanTests(int argc, char** argv);
int RunBundledJavaTests(int argc, char** argv);
}  // namespace korvane::testing

int main(int argc, char** argv) {
    if (!korvane::testing::EnterPrivateMountNamespace())
        std::fprintf(stderr, "no private mount namespace: the full-disk cases are skipped\n");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int failures = 0;
    failures += korvane::testing::RunProcessFaultTests(argc, argv);
    failures += korvane::testing::RunDiskFaultTests(argc, argv);
    failures += korvane::testing::RunBundledScanTests(argc, argv);
    failures += korvane::testing::RunBundledJavaTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
