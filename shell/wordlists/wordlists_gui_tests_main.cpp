// Runs the window tests of the macro table on the offscreen platform.

#include <QApplication>

int RunWordListControllerTests(int argc, char** argv);
int RunControlWordEditingTests(int argc, char** argv);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    int failures = 0;
    failures += RunWordListControllerTests(argc, argv);
    failures += RunControlWordEditingTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
