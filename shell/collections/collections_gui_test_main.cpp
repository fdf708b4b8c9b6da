// Runs the Qt tests of the collection lists on the offscreen platform.

#include <QApplication>

#include "shell/collections/collections_gui_test_support.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    int failures = 0;
    failures += korvane::testing::RunCollectionsAdditionsTests(argc, argv);
    failures += korvane::testing::RunCollectionsListsTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
