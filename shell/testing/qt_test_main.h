#pragma once
// The one main of the Qt test programs. Each test file registers its test
// classes with KORVANE_QT_TEST(Class); the program runs every class linked
// into it, so a class cannot be left out by a forgotten call. What a whole
// program needs around its classes (a process check, a mount namespace, the
// environment of an outside program) is a QtTestEnvironment registered with
// KORVANE_QT_TEST_ENVIRONMENT(Class) in the files that need it (once per
// program, however many files name it). The classes run in the order of
// their names; two classes of one name in a program fail it.
//
// Every program runs with QT_QPA_PLATFORM=offscreen unless the variable is
// set, the Fusion style, and HOME and the XDG folders in a temporary folder.
// Function names on the command line ("name" or "name:tag") run only the
// classes that have such a function, each given only its own names.

#include <QObject>

#include <memory>

class QApplication;

namespace korvane::testing {

class QtTestEnvironment {
public:
    virtual ~QtTestEnvironment() = default;
    // Before the QApplication exists (environment variables, namespaces).
    virtual void BeforeApplication() {}
    virtual void AfterApplication(QApplication&) {}
    // After the last class; false fails the program.
    virtual bool AfterTests() { return true; }
};

using QtTestFactory = std::unique_ptr<QObject> (*)();
using QtTestEnvironmentFactory = std::unique_ptr<QtTestEnvironment> (*)();

bool RegisterQtTest(const char* name, QtTestFactory make);
bool RegisterQtTestEnvironment(const char* name, QtTestEnvironmentFactory make);

// The program must leave no process it started (directly or not) alive.
class NoProcessLeftBehind : public QtTestEnvironment {
public:
    void BeforeApplication() override;
    bool AfterTests() override;
};

}  // namespace korvane::testing

#define KORVANE_QT_TEST(Class)                                                                     \
    [[maybe_unused]] static const bool korvaneQtTestRegistered_##Class =                          \
        ::korvane::testing::RegisterQtTest(#Class, []() -> std::unique_ptr<QObject> {            \
            return std::make_unique<Class>();                                                       \
        })

#define KORVANE_QT_TEST_ENVIRONMENT(Class)                                                         \
    [[maybe_unused]] static const bool korvaneQtTestEnvironment_##Class =                         \
        ::korvane::testing::RegisterQtTestEnvironment(                                             \
            #Class, []() -> std::unique_ptr<::korvane::testing::QtTestEnvironment> {              \
                return std::make_unique<Class>();                                                   \
            })
