#include "repair/repair_run.h"

#include "repair/test_support.h"

#include <gtest/gtest.h>

#include "shared/text.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace korvane {
namespace {

using test::TempDir;

using Lines = std::vector<std::string>;

struct Outcome {
    int status;
    Lines lines;
};

Outcome RunMain(const std::vector<std::string>& args) {
    Outcome outcome{};
    outcome.status = BrelvinMain(args, [&](std::string_view line) { outcome.lines.emplace_back(line); });
    return outcome;
}

const std::string kBroken = "    if (a == b {\n";
const std::string kRepaired = "    if (a == b) {\r\n";

// The in-process run; the program as a whole (command line, standard output,
// exit status, parameter file errors) is tested in brelvin_process_test.cpp.

// A folder with three files to repair and a parameter file whose Files
// element is given; "$D" in it stands for the folder.
class RepairRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"A", "B", "C"}) test::WriteFile(dir / name, kBroken);
    }
    Outcome RunWithFiles(std::string files) {
        for (size_t p; (p = files.find("$D")) != std::string::npos;) files.replace(p, 2, dir.Path());
        test::WriteFile(dir / "last.xml", "<VORL>\r\n<Directories><Work_Dir>work</Work_Dir></Directories>\r\n" +
                                              files + "\r\n</VORL>\r\n");
        return RunMain({"brelvin", dir / "last.xml"});
    }
    bool Repaired(const char* name) {
        return test::ReadFile(dir / name) == kRepaired &&
               test::ReadFile(dir / (std::string(name) + ".eredeti.txt")) == "    if (a == b {\r\n" &&
               test::ReadFile(dir / (std::string(name) + ".javitott.txt")) == kRepaired;
    }
    bool Untouched(const char* name) {
        return test::ReadFile(dir / name) == kBroken && !test::Exists(dir / (std::string(name) + ".eredeti.txt")) &&
               !test::Exists(dir / (std::string(name) + ".javitott.txt"));
    }
    std::string D(const std::string& name) { return dir / name; }

    TempDir dir;
};

struct FilesCase {
    const char* label;
    const char* files;  // the Files part of the parameter file
    Lines lines;
    std::vector<const char*> repaired;
};

// The Files element given, the lines printed and the files repaired: pairs
// in order whatever their numbers, or a stop with the message and the count.
class FilesElementTest : public RepairRunTest, public ::testing::WithParamInterface<FilesCase> {};

TEST_P(FilesElementTest, LinesAndRepairedFiles) {
    const FilesCase& c = GetParam();
    Outcome out = RunWithFiles(c.files);
    Lines expected;
    for (const std::string& line : c.lines) {
        std::string l = line;
        for (size_t p; (p = l.find("$D")) != std::string::npos;) l.replace(p, 2, dir.Path());
        expected.push_back(l);
    }
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.lines, expected);
    for (const char* name : {"A", "B", "C"}) {
        bool shouldBeRepaired = std::find_if(c.repaired.begin(), c.repaired.end(), [&](const char* r) {
                                    return std::string(r) == name;
                                }) != c.repaired.end();
        EXPECT_TRUE(shouldBeRepaired ? Repaired(name) : Untouched(name)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilesElementTest,
    ::testing::Values(
        FilesCase{"OnePair",
                  "<Files><Orig_File_0000>C:\\src\\A.java</Orig_File_0000><File_0000>$D/A</File_0000></Files>",
                  {"Processing original file 1 C:\\src\\A.java ", "Internal name $D/A ", "1 files processed"},
                  {"A"}},
        FilesCase{"PairsCountedInOrderWhateverTheirNumbers",
                  "<Files><Orig_File_0000>/s/a</Orig_File_0000><File_0000>$D/A</File_0000>"
                  "<orig_file_0002>/s/c</orig_file_0002><Anything>$D/C</Anything></Files>",
                  {"Processing original file 1 /s/a ", "Internal name $D/A ", "Processing original file 2 /s/c ",
                   "Internal name $D/C ", "2 files processed"},
                  {"A", "C"}},
        FilesCase{"NoFilesElement", "<Other><Orig_File_0000>x</Orig_File_0000><File_0000>$D/A</File_0000></Other>",
                    {"Invalid parameter file!", "0 files processed"}, {}},
        FilesCase{"FilesCaseDiffers", "<files><Orig_File_0000>x</Orig_File_0000><File_0000>$D/A</File_0000></files>",
                    {"Invalid parameter file!", "0 files processed"}, {}},
        FilesCase{"EmptyFiles", "<Files></Files><After/>", {"Invalid parameter file!", "0 files processed"}, {}},
        FilesCase{"FilesHoldingText", "<Files>text</Files><After/>", {"Invalid parameter file!", "0 files processed"}, {}},
        FilesCase{"FirstElementNotOrigFile", "<Files><File_0000>$D/A</File_0000><File_0001>$D/B</File_0001></Files>",
                    {"Invalid parameter file!", "0 files processed"}, {}},
        FilesCase{"OrigFileWithoutPartner", "<Files><Orig_File_0000>/s/a</Orig_File_0000></Files><After/>",
                    {"Processing original file 1 /s/a ", "Invalid parameter file!", "0 files processed"}, {}},
        FilesCase{"PairsBreakOff",
                    "<Files><Orig_File_0000>/s/a</Orig_File_0000><File_0000>$D/A</File_0000>"
                    "<Orig_File_0001>/s/b</Orig_File_0001></Files>",
                    {"Processing original file 1 /s/a ", "Internal name $D/A ", "Processing original file 2 /s/b ",
                     "Invalid parameter file!", "1 files processed"},
                    {"A"}},
        FilesCase{"ThirdElementAfterAPair",
                    "<Files><Orig_File_0000>/s/a</Orig_File_0000><File_0000>$D/A</File_0000>"
                    "<Extra>$D/B</Extra><File_0002>$D/C</File_0002></Files>",
                    {"Processing original file 1 /s/a ", "Internal name $D/A ", "Invalid parameter file!",
                     "1 files processed"},
                    {"A"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(RepairRunTest, AFileThatCannotBeWrittenEndsTheRunAfterTheCountLine) {
    std::filesystem::create_directory(D("B.javitott.txt"));
    Outcome out = RunWithFiles(
        "<Files><Orig_File_0000>/s/b</Orig_File_0000><File_0000>$D/B</File_0000>"
        "<Orig_File_0001>/s/c</Orig_File_0001><File_0001>$D/C</File_0001></Files>");
    EXPECT_EQ(out.status, 1);
    ASSERT_EQ(out.lines.size(), 4u);
    EXPECT_EQ(out.lines[2], "1 files processed");
    EXPECT_EQ(out.lines[3], "Error: Cannot create file \"" + D("B.javitott.txt") + "\". Is a directory");
    EXPECT_EQ(test::ReadFile(D("B")), kRepaired) << "the file itself was already rewritten";
    EXPECT_TRUE(Untouched("C"));
}

// --- threads ------------------------------------------------------------------
// The same run over two copies of one folder, with one thread and with four:
// the lines, the error and every file left must be alike.

struct ThreadsCase {
    const char* label;
    // Files element text with "$D" for the folder; folder set up beforehand.
    std::function<std::string(const std::string& dir)> arrange;
};

// Every entry below the folder: its name, kind, permissions and content (or
// link target).
std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
        const std::string name = e.path().string().substr(dir.size());
        if (name == "/last.xml") continue;  // names its folder
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        std::string& d = entries[name];
        d = std::to_string(st.st_mode) + " ";
        if (e.is_symlink()) d += std::filesystem::read_symlink(e.path()).string();
        else if (e.is_regular_file()) d += test::ReadFile(e.path().string());
    }
    return entries;
}

std::string Pairs(int from, int to, const char* path = "$D/F%02d") {
    std::string text;
    for (int i = from; i < to; ++i)
        text += Format("<Orig_File_%04d>/s/%d.java</Orig_File_%04d><File_%04d>", i, i, i, i) + Format(path, i) +
                Format("</File_%04d>", i);
    return text;
}

TEST(RepairRunThreads, LinesFilesAndErrorsAsWithOneThread) {
    for (const ThreadsCase& c : std::vector<ThreadsCase>{
             {"forty files", [](const std::string&) { return Pairs(0, 40); }},
             {"a file listed twice, a backup listed after its file",
              [](const std::string& dir) {
                  // The first file is large, so that the ones after it are
                  // read while it is repaired.
                  test::WriteFile(dir + "/F00", std::string(4'000'000, 'x') + kBroken);
                  return Pairs(0, 2) + Pairs(1, 2) + Pairs(1, 2, "$D/F%02d.eredeti.txt") + Pairs(2, 30);
              }},
             {"a folder in the middle",
              [](const std::string& dir) {
                  std::filesystem::remove(dir + "/F17");
                  std::filesystem::create_directory(dir + "/F17");
                  return Pairs(0, 40);
              }},
             {"a link in the middle",
              [](const std::string& dir) {
                  std::filesystem::remove(dir + "/F17");
                  std::filesystem::create_symlink("F16", dir + "/F17");
                  return Pairs(0, 40);
              }},
             {"a corrected copy that cannot be put in place",
              [](const std::string& dir) {
                  std::filesystem::create_directory(dir + "/F25.javitott.txt");
                  return Pairs(0, 40);
              }},
             {"pairs breaking off",
              [](const std::string&) { return Pairs(0, 30) + "<Orig_File_0030>/s/x</Orig_File_0030>"; }},
         }) {
        SCOPED_TRACE(c.label);
        std::vector<std::map<std::string, std::string>> trees;
        std::vector<Outcome> outcomes;
        for (unsigned threads : {1u, 4u}) {
            TempDir dir;
            for (int i = 0; i < 40; ++i)
                test::WriteFile(dir / Format("F%02d", i),
                                std::string(static_cast<size_t>(i) * 997 % 20000, 'x') + kBroken);
            std::string files = c.arrange(dir.Path());
            for (size_t p; (p = files.find("$D")) != std::string::npos;) files.replace(p, 2, dir.Path());
            test::WriteFile(dir / "last.xml", "<VORL><Files>\r\n" + files + "\r\n</Files></VORL>\r\n");
            Outcome outcome{0, {}};
            try {
                RunRepair(dir / "last.xml", [&](std::string_view line) { outcome.lines.emplace_back(line); }, threads);
            } catch (const std::exception& e) {
                outcome.status = 1;
                outcome.lines.push_back(e.what());
            }
            for (std::string& line : outcome.lines)
                for (size_t p; (p = line.find(dir.Path())) != std::string::npos;)
                    line.replace(p, dir.Path().size(), "$D");
            outcomes.push_back(outcome);
            trees.push_back(Snapshot(dir.Path()));
        }
        EXPECT_EQ(outcomes[1].status, outcomes[0].status);
        EXPECT_EQ(outcomes[1].lines, outcomes[0].lines);
        for (const auto& [name, entry] : trees[0])
            EXPECT_TRUE(trees[1].count(name) && trees[1][name] == entry) << name << " differs";
        EXPECT_EQ(trees[1].size(), trees[0].size());
        EXPECT_GT(trees[0].size(), 70u) << "at least 17 files repaired";
    }
}

}  // namespace
}  // namespace korvane
