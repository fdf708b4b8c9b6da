// The picker, drop-target and about box tests in one executable. Settings
// and desktop files go to a temporary folder, never to the real home.

#include <QApplication>
#include <QTemporaryDir>

#include "shell/ui/ui_picker_test_support.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    QApplication app(argc, argv);
    using namespace korvane::testing;
    int failures = 0;
    failures += RunDropTargetTests(argc, argv);
    failures += RunFindDirectoryFrameTests(argc, argv);
    failures += RunFindExecFrameTests(argc, argv);
    failures += RunAboutBoxTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
