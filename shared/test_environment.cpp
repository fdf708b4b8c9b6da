// Keeps every test of this executable away from the real home folder: HOME
// and the XDG folders point into a temporary folder for the whole run.
#include <gtest/gtest.h>

#include <memory>

#include "shared/test_support.h"

namespace {

class PrivateHome : public ::testing::Environment {
public:
    void SetUp() override {
        dir_ = std::make_unique<korvane::testing::TempDir>("korvane-home");
        setenv("HOME", dir_->path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (*dir_ / ".config").c_str(), 1);
        setenv("XDG_DATA_HOME", (*dir_ / ".local/share").c_str(), 1);
    }
    void TearDown() override { dir_.reset(); }

private:
    std::unique_ptr<korvane::testing::TempDir> dir_;
};

const auto* const kPrivateHome = ::testing::AddGlobalTestEnvironment(new PrivateHome);

// No process started by the tests outlives them.
class NoProcessLeftBehind : public ::testing::Environment {
public:
    void SetUp() override { korvane::testing::MarkTestProcesses(); }
    void TearDown() override {
        EXPECT_TRUE(korvane::testing::NoMarkedProcessLeft()) << "processes of the test run are still alive";
    }
};

const auto* const kNoProcessLeftBehind = ::testing::AddGlobalTestEnvironment(new NoProcessLeftBehind);

}  // namespace
