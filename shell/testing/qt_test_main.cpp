#include "shell/testing/qt_test_main.h"

#include <QApplication>
#include <QMetaMethod>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "shared/platform/process.h"
#include "shared/test_support.h"

namespace korvane::testing {

namespace {

// Keyed by name, so the classes run in the order of their names.
std::map<std::string, QtTestFactory>& Tests() {
    static std::map<std::string, QtTestFactory> tests;
    return tests;
}

// Names registered twice: two classes of one name in one program.
std::vector<std::string>& Duplicates() {
    static std::vector<std::string> duplicates;
    return duplicates;
}

std::map<std::string, QtTestEnvironmentFactory>& Environments() {
    static std::map<std::string, QtTestEnvironmentFactory> environments;
    return environments;
}

// Options of QTest::qExec that take a value.
bool TakesValue(const char* option) {
    static const std::set<std::string> withValue = {"-o",        "-maxwarnings", "-eventdelay",  "-keydelay",
                                                    "-mousedelay", "-repeat",    "-iterations", "-median",
                                                    "-minimumvalue", "-minimumtotal", "-perfcounter"};
    return withValue.count(option) > 0;
}

bool HasFunction(const QObject& test, const std::string& nameAndTag) {
    const std::string name = nameAndTag.substr(0, nameAndTag.find(':'));
    const QMetaObject* meta = test.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.methodType() == QMetaMethod::Slot && m.name().toStdString() == name) return true;
    }
    return false;
}

}  // namespace

bool RegisterQtTest(const char* name, QtTestFactory make) {
    if (!Tests().emplace(name, make).second) Duplicates().push_back(name);
    return true;
}

bool RegisterQtTestEnvironment(const char* name, QtTestEnvironmentFactory make) {
    Environments().emplace(name, make);
    return true;
}

void NoProcessLeftBehind::BeforeApplication() { MarkTestProcesses(); }

bool NoProcessLeftBehind::AfterTests() {
    if (NoMarkedProcessLeft()) return true;
    std::fprintf(stderr, "FAIL: processes started by the tests are still alive\n");
    return false;
}

}  // namespace korvane::testing

int main(int argc, char** argv) {
    using namespace korvane::testing;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The tests never see the real home folder.
    TempDir home("korvane-test-home");
    for (const char* sub : {"config", "data", "cache", "home"}) korvane::ForceDirectories(home / sub);
    korvane::SetEnvVar("HOME", home / "home");
    korvane::SetEnvVar("XDG_CONFIG_HOME", home / "config");
    korvane::SetEnvVar("XDG_DATA_HOME", home / "data");
    korvane::SetEnvVar("XDG_CACHE_HOME", home / "cache");

    std::vector<std::unique_ptr<QtTestEnvironment>> environments;
    for (const auto& [name, make] : Environments()) environments.push_back(make());
    for (auto& e : environments) e->BeforeApplication();

    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    for (auto& e : environments) e->AfterApplication(app);

    // The options, and the function names that choose the classes to run.
    std::vector<char*> options = {argv[0]};
    std::vector<char*> functions;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            options.push_back(argv[i]);
            if (TakesValue(argv[i]) && i + 1 < argc) options.push_back(argv[++i]);
        } else {
            functions.push_back(argv[i]);
        }
    }

    int failures = 0;
    std::set<char*> matched;
    for (const auto& [name, make] : Tests()) {
        std::unique_ptr<QObject> test = make();
        std::vector<char*> args = options;
        for (char* f : functions)
            if (HasFunction(*test, f)) {
                args.push_back(f);
                matched.insert(f);
            }
        if (!functions.empty() && args.size() == options.size()) continue;
        failures += QTest::qExec(test.get(), int(args.size()), args.data());
    }
    for (char* f : functions)
        if (!matched.count(f)) {
            std::fprintf(stderr, "Unknown test function: %s\n", f);
            ++failures;
        }
    for (const std::string& name : Duplicates()) {
        std::fprintf(stderr, "Two test classes are named %s; one would not run\n", name.c_str());
        ++failures;
    }
    if (Tests().empty()) {
        std::fprintf(stderr, "No test class is registered\n");
        ++failures;
    }
    for (auto& e : environments)
        if (!e->AfterTests()) ++failures;
    return failures == 0 ? 0 : 1;
}
