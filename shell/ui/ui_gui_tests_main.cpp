// Runs the Qt widget tests of the status bar, the check-list box, the dialogs
// and the window routines on the offscreen platform.

#include <QApplication>

int RunStatusBarTests(int argc, char** argv);
int RunCheckListBoxTests(int argc, char** argv);
int RunQtDialogsTests(int argc, char** argv);
int RunWindowRoutinesTests(int argc, char** argv);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    int failures = 0;
    failures += RunStatusBarTests(argc, argv);
    failures += RunCheckListBoxTests(argc, argv);
    failures += RunQtDialogsTests(argc, argv);
    failures += RunWindowRoutinesTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
