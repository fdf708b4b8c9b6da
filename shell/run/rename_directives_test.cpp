#include "shell/run/rename_directives.h"

#include <gtest/gtest.h>

#include "shell/run/run_test_support.h"

namespace korvane {
namespace {

using testing::Exists;
using testing::PutFile;
using testing::RecordingReporter;
using testing::TempDir;

class RenameDirectivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ForceDirectories(tmp / "workout");
        in.renameVariables = true;
        in.resultFolder = tmp / "workout";
        in.showCsvTab = [this] { ++csvTabShown; };
    }
    std::vector<std::string> NamesCsv() { return ReadTextLines(tmp / "workout/names.csv"); }

    TempDir tmp;
    RenameDirectivesInput in;
    RecordingReporter reporter;
    int csvTabShown = 0;
};

TEST_F(RenameDirectivesTest, FilterKeepsOnlyDirectiveLines) {
    PutFile(tmp / "one.csv", "old-name;new-name\r\nX1;Y1\r\n\r\n#comment\r\na\r\nAb;cd\r\n");
    PutFile(tmp / "two.csv", "OldName;NewName\nOLDNAME;kept\n;x\n9z;9y\n old;new\n");
    PutFile(tmp / "three.csv", "Z;z\r\n");
    in.csvFiles = {{tmp / "one.csv", true}, {tmp / "three.csv", false}, {tmp / "two.csv", true}};
    MergeRenameDirectives(in, reporter);
    EXPECT_EQ(NamesCsv(), (std::vector<std::string>{"X1;Y1", "Ab;cd", "OLDNAME;kept", "9z;9y"}));
    EXPECT_EQ(ReadFileBytes(tmp / "workout/names.csv"), "X1;Y1\r\nAb;cd\r\nOLDNAME;kept\r\n9z;9y\r\n");
}

TEST_F(RenameDirectivesTest, MissingFileStillLeavesWhatWasGathered) {
    PutFile(tmp / "one.csv", "X1;Y1\r\n");
    PutFile(tmp / "three.csv", "Z;z\r\n");
    in.csvFiles = {{tmp / "one.csv", true}, {tmp / "gone.csv", true}, {tmp / "three.csv", true}};
    EXPECT_THROW(MergeRenameDirectives(in, reporter), SilentAbort);
    EXPECT_EQ(reporter.Texts(), std::vector<std::string>{"File " + tmp / "gone.csv" + " is not available"});
    EXPECT_EQ(csvTabShown, 1);
    EXPECT_EQ(NamesCsv(), std::vector<std::string>{"X1;Y1"});
}

TEST_F(RenameDirectivesTest, NothingWithoutRenameVariables) {
    PutFile(tmp / "one.csv", "X1;Y1\r\n");
    in.csvFiles = {{tmp / "one.csv", true}, {tmp / "gone.csv", true}};
    in.renameVariables = false;
    MergeRenameDirectives(in, reporter);
    EXPECT_FALSE(Exists(tmp / "workout/names.csv"));
    EXPECT_TRUE(reporter.entries.empty());
}

}  // namespace
}  // namespace korvane
