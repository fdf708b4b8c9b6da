// Runs the window tests of the viewer, the help and the registration on the
// offscreen platform.

#include <QApplication>

int RunViewerControllerTests(int argc, char** argv);
int RunViewerHelpTests(int argc, char** argv);
int RunViewerRegistrationTests(int argc, char** argv);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    int failures = 0;
    failures += RunViewerControllerTests(argc, argv);
    failures += RunViewerHelpTests(argc, argv);
    failures += RunViewerRegistrationTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
