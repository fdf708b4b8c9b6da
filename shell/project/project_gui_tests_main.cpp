// The project's window tests: one QApplication, every test class in turn.

#include <QApplication>
#include <QtTest>

#include <memory>
#include <vector>

std::unique_ptr<QObject> MakeWindowFormAdapterTest();
std::unique_ptr<QObject> MakeProjectControllerTest();
std::unique_ptr<QObject> MakeProjectFileGuiTest();
std::unique_ptr<QObject> MakeOutputDirectoryTest();

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::unique_ptr<QObject>> tests;
    tests.push_back(MakeWindowFormAdapterTest());
    tests.push_back(MakeProjectControllerTest());
    tests.push_back(MakeProjectFileGuiTest());
    tests.push_back(MakeOutputDirectoryTest());
    int failed = 0;
    for (auto& t : tests) failed += QTest::qExec(t.get(), argc, argv);
    return failed == 0 ? 0 : 1;
}
