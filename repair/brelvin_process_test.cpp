// Runs the built brelvin program the way the shell starts a step: in the
// output directory, with "last.xml" as argument, and looks at its standard
// output byte for byte, its exit status and the files it leaves.

#include "repair/test_support.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <vector>

namespace korvane {
namespace {

using test::CrLf;
using test::ShellParameterFile;
using test::TempDir;

struct ProcessResult {
    int status = -1;
    std::string output;
};

// Runs brelvin in workingDir; with a file size limit when one is given (the
// signal of a write past it left as the system sets it).
ProcessResult RunBrelvin(const std::string& workingDir, const std::vector<std::string>& args,
                         rlim_t fileSizeLimit = RLIM_INFINITY) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    std::vector<std::string> argv = {BRELVIN_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        if (::chdir(workingDir.c_str()) != 0) ::_exit(126);
        if (fileSizeLimit != RLIM_INFINITY) {
            struct rlimit limit {fileSizeLimit, fileSizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
        }
        ::execv(cargv[0], cargv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    ProcessResult result;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buf, sizeof buf)) > 0) result.output.append(buf, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return result;
}

const std::string kBrokenJava =
    "package app;\n"
    "\n"
    "class Main {\n"
    "    void run(int a, int b) {\n"
    "        if (a == b {\n"
    "            a = 0;\n"
    "        } else if (check(a) {\n"
    "            b = 0;\n"
    "        }\n"
    "    }\n"
    "}\n";
const std::string kRepairedJava = CrLf({
    "package app;",
    "",
    "class Main {",
    "    void run(int a, int b) {",
    "        if (a == b) {",
    "            a = 0;",
    "        } else if (check(a)) {",
    "            b = 0;",
    "        }",
    "    }",
    "}",
});

std::string WithCrLf(std::string text) {
    for (size_t p = 0; (p = text.find('\n', p)) != std::string::npos; p += 2) text.insert(p, 1, '\r');
    return text;
}

// An output directory whose path holds "&" and blanks, with the work copies
// of the checked sources in it.
class BrelvinProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        out = dir / "out & more/run 1";
        std::filesystem::create_directories(out);
    }
    std::string Out(const std::string& name) const { return out + "/" + name; }
    void WriteWorkCopy(const std::string& internalPath) { test::WriteFile(Out(internalPath), kBrokenJava); }
    bool Repaired(const std::string& internalPath, const std::string& stem) {
        return test::ReadFile(Out(internalPath)) == kRepairedJava &&
               test::ReadFile(Out(stem + ".eredeti.txt")) == WithCrLf(kBrokenJava) &&
               test::ReadFile(Out(stem + ".javitott.txt")) == kRepairedJava;
    }
    ProcessResult RunWith(const std::string& parameterText, rlim_t fileSizeLimit = RLIM_INFINITY) {
        test::WriteFile(Out("last.xml"), parameterText);
        return RunBrelvin(out, {"last.xml"}, fileSizeLimit);
    }

    TempDir dir;
    std::string out;
};

// Each case: the parameter file, the work copies it names and the sources
// they stand for, in order; every work copy there is repaired, any other left.
TEST_F(BrelvinProcessTest, RepairsTheWorkCopiesNamed) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::pair<std::string, std::string>> named;  // source, work copy
    };
    // Sources at list positions 0, 1 and 2; the second is not checked, so its
    // number is missing from the parameter file.
    ShellParameterFile three;
    three.productName = "R&D";
    three.outputDir = out;
    three.parameterLines = {"RelocateFile = \"N\"", "RestructCode = \"Y\"", "Brelvin = \"Y\""};
    three.funcTab = true;
    three.sources = {{0, dir / "src & lib/My App/Main.java"}, {2, dir / "src & lib/util/Str Util.java"}};
    ShellParameterFile later;
    later.outputDir = out;
    later.inputExtension = "JAV";
    later.sources = {{0, dir / "a&b/A.java"}};
    for (const Case& c : std::vector<Case>{
             {"three sources, the middle one unchecked", three.Text(),
              {{three.sources[0].path, "workinp/FIL0000"}, {three.sources[1].path, "workinp/FIL0002"}}},
             // Here "workinp\FIL0000" is one file name in the output directory.
             {"Windows-style paths used as they are",
              "<VORL><Files>\r\n  <Orig_File_0000>C:\\src\\A.java</Orig_File_0000>\r\n"
              "  <File_0000>workinp\\FIL0000</File_0000>\r\n</Files></VORL>\r\n",
              {{"C:\\src\\A.java", "workinp\\FIL0000"}}},
             {"a later step reads from workout with the input extension", later.Text(),
              {{later.sources[0].path, "workout/FIL0000.JAV"}}},
         }) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(out);
        for (const char* copy : {"workinp/FIL0000", "workinp/FIL0001", "workinp/FIL0002", "workinp\\FIL0000",
                                 "workout/FIL0000.JAV"})
            WriteWorkCopy(copy);
        std::string expected;
        for (size_t n = 0; n < c.named.size(); ++n)
            expected += "Processing original file " + std::to_string(n + 1) + " " + c.named[n].first +
                        " \r\nInternal name " + c.named[n].second + " \r\n";
        ProcessResult r = RunWith(c.text);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.output, expected + std::to_string(c.named.size()) + " files processed\r\n");
        for (const auto& [source, copy] : c.named)
            EXPECT_TRUE(Repaired(copy, copy.substr(0, copy.find('.')))) << copy;
        EXPECT_EQ(test::ReadFile(Out("workinp/FIL0001")), kBrokenJava);
        EXPECT_FALSE(test::Exists(Out("workinp/FIL0001.eredeti.txt")));
    }
}

// Broken pairs and a missing Files element: FilesElementTest in
// repair_run_test.cpp, in process; the program only prints its lines.

TEST_F(BrelvinProcessTest, AFileToRepairThatCannotBeRead) {
    ShellParameterFile file;
    file.outputDir = out;
    file.sources = {{0, "/s/A.java"}, {1, "/s/B.java"}, {2, "/s/C.java"}};
    WriteWorkCopy("workinp/FIL0000");
    std::filesystem::create_directories(Out("workinp/FIL0001"));  // a folder in place of the file
    WriteWorkCopy("workinp/FIL0002");
    ProcessResult r = RunWith(file.Text());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Processing original file 1 /s/A.java \r\n"
                        "Internal name workinp/FIL0000 \r\n"
                        "Processing original file 2 /s/B.java \r\n"
                        "Internal name workinp/FIL0001 \r\n"
                        "2 files processed\r\n"
                        "Error: Cannot open file \"workinp/FIL0001\". Is a directory\r\n");
    EXPECT_TRUE(Repaired("workinp/FIL0000", "workinp/FIL0000"));
    EXPECT_EQ(test::ReadFile(Out("workinp/FIL0002")), kBrokenJava);
    EXPECT_FALSE(test::Exists(Out("workinp/FIL0002.eredeti.txt")));
}

TEST_F(BrelvinProcessTest, ParameterFileProblems) {
    struct Case {
        const char* label;
        std::string text;
        int status;
        std::string output;
    };
    ShellParameterFile file;
    file.sources = {{0, "/s/A.java"}};
    std::string mismatched = file.Text();
    mismatched.replace(mismatched.find("</Directories>"), 14, "</Files>");
    for (const Case& c : std::vector<Case>{
             {"empty file", "", 1, "0 files processed\r\nError: List index out of bounds (-1)\r\n"},
             {"text without tags", "nothing here\n", 1, "0 files processed\r\nError: List index out of bounds (-1)\r\n"},
             {"mismatched closing tag", mismatched, 1, "Error: No matching tag found for </Files>!\r\n"},
             {"closing tag without element", "</VORL>\r\n", 1, "Error: List index out of bounds (0)\r\n"},
         }) {
        SCOPED_TRACE(c.label);
        ProcessResult r = RunWith(c.text);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.output, c.output);
    }
}

TEST(BrelvinProcess, NoArgumentOrNoUsableParameterFile) {
    TempDir dir;
    ProcessResult r = RunBrelvin(dir.Path(), {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Usage: brelvin <parameter file>\r\n");

    r = RunBrelvin(dir.Path(), {"last.xml", ">>", "Console.log"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Error: Cannot open file \"last.xml\". No such file or directory\r\n");

    std::filesystem::create_directory(dir / "folder.xml");
    r = RunBrelvin(dir.Path(), {"folder.xml"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Error: Cannot open file \"folder.xml\". Is a directory\r\n");

    if (::geteuid() != 0) {  // the superuser reads any file
        test::WriteFile(dir / "locked.xml", "<VORL></VORL>");
        ::chmod((dir / "locked.xml").c_str(), 0);
        r = RunBrelvin(dir.Path(), {"locked.xml"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.output, "Error: Cannot open file \"locked.xml\". Permission denied\r\n");
    }
}

// --- brelvin writes -------------------------------------------------------------
// brelvin rewrites files that a step left in the work area. It never writes
// through a symbolic link there, and a write that fails leaves the file to
// repair as it was. Three work copies of a later step, the middle one a large
// file meeting the fault; the run stops at it after the count line, as for any
// file that cannot be written.

enum class WriteFault { WorkCopyIsALink, BackupIsALink, CorrectedCopyIsALink, FileSizeLimit, FullDisk };

struct WriteCase {
    const char* label;
    WriteFault fault;
    int status;
    std::string error;  // the line after the count line; empty: the run succeeds
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.label; }

// A file of about 56 KB in LF lines, every fourth condition missing its ")":
// the backup in CR LF lines needs one more page than the file, the repaired
// text yet more.
std::string BigJava() {
    std::string text = "class Big {\n";
    for (int i = 0; text.size() < 56'000; ++i)
        text += i % 4 ? "    void f() { if (a > b) { g(); } }\n" : "    void f() { if (a > b { g(); } }\n";
    return text + "}\n";
}

// Compares a large file without printing it.
::testing::AssertionResult Holds(const std::string& path, const std::string& bytes) {
    if (!test::Exists(path)) return ::testing::AssertionFailure() << path << " is missing";
    const std::string got = test::ReadFile(path);
    if (got == bytes) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path << " holds other bytes (" << got.size() << " instead of "
                                         << bytes.size() << ")";
}

// The mount namespace of this test program made private once, so that a
// tmpfs mounted here is seen by nobody else and goes with the program.
bool PrivateMountNamespace(std::string& why) {
    static int err = [] {
        if (::unshare(CLONE_NEWNS) != 0) return errno;
        return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 ? 0 : errno;
    }();
    why = std::string("no private mount namespace for a small tmpfs: ") + std::strerror(err);
    return err == 0;
}

// Writes zeros to path until the file has size bytes or the disk is full.
void WriteZeros(const std::string& path, size_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    static const char zeros[4096] = {};
    for (size_t done = 0; done < size;) {
        ssize_t n = ::write(fd, zeros, std::min(sizeof zeros, size - done));
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

class BrelvinWrites : public BrelvinProcessTest, public ::testing::WithParamInterface<WriteCase> {
protected:
    void TearDown() override {
        if (mounted) ::umount2(out.c_str(), MNT_DETACH);
    }
    // The names in workout that look like temporary files.
    std::vector<std::string> TemporaryFiles() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(Out("workout"))) {
            std::string name = e.path().filename().string();
            if (name[0] == '.') names.push_back(name);
        }
        return names;
    }
    bool IsLink(const std::string& internalPath) { return std::filesystem::is_symlink(Out(internalPath)); }

    bool mounted = false;
};

TEST_P(BrelvinWrites, NothingIsWrittenThroughALinkOrLeftCutOff) {
    const WriteCase& c = GetParam();
    const std::string source = dir / "src/Cart.java";  // the user's own file
    const std::string big = BigJava();
    const std::string bigBackup = WithCrLf(big);
    if (c.fault == WriteFault::FullDisk) {
        std::string why;
        if (!PrivateMountNamespace(why)) GTEST_SKIP() << why;
        if (::mount("tmpfs", out.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") != 0)
            GTEST_SKIP() << "cannot mount a small tmpfs: " << std::strerror(errno);
        mounted = true;
    }
    ShellParameterFile file;
    file.outputDir = out;
    file.inputExtension = "JRA";
    file.sources = {{0, dir / "src/Main.java"}, {1, source}, {2, dir / "src/Util.java"}};
    test::WriteFile(source, big);
    WriteWorkCopy("workout/FIL0000.JRA");
    test::WriteFile(Out("workout/FIL0001.JRA"), big);
    WriteWorkCopy("workout/FIL0002.JRA");
    rlim_t limit = RLIM_INFINITY;
    switch (c.fault) {
    case WriteFault::WorkCopyIsALink:  // a step left a link to the source
        std::filesystem::remove(Out("workout/FIL0001.JRA"));
        std::filesystem::create_symlink(source, Out("workout/FIL0001.JRA"));
        break;
    case WriteFault::BackupIsALink:
        std::filesystem::create_symlink(source, Out("workout/FIL0001.eredeti.txt"));
        break;
    case WriteFault::CorrectedCopyIsALink:
        std::filesystem::create_symlink(source, Out("workout/FIL0001.javitott.txt"));
        break;
    case WriteFault::FileSizeLimit:  // the backup fits, the repaired file does not
        limit = bigBackup.size();
        break;
    case WriteFault::FullDisk: {
        // Room for the first file's backup and corrected copy (one page
        // each) and for the second one's backup, nothing more.
        const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
        const size_t room = 2 * page + (bigBackup.size() + page - 1) / page * page;
        test::WriteFile(Out("last.xml"), file.Text());
        WriteZeros(Out("spare"), room);
        WriteZeros(Out("fill"), SIZE_MAX);
        std::filesystem::remove(Out("spare"));
        break;
    }
    }

    ProcessResult r = RunWith(file.Text(), limit);
    EXPECT_EQ(r.status, c.status);
    const std::string head = "Processing original file 1 " + (dir / "src/Main.java") + " \r\n"
                             "Internal name workout/FIL0000.JRA \r\n"
                             "Processing original file 2 " + source + " \r\n"
                             "Internal name workout/FIL0001.JRA \r\n";
    if (c.error.empty())
        EXPECT_EQ(r.output, head + "Processing original file 3 " + (dir / "src/Util.java") + " \r\n"
                                   "Internal name workout/FIL0002.JRA \r\n"
                                   "3 files processed\r\n");
    else
        EXPECT_EQ(r.output, head + "2 files processed\r\n" + c.error + "\r\n");

    EXPECT_TRUE(Holds(source, big)) << "the user's file is never written";
    EXPECT_TRUE(Repaired("workout/FIL0000.JRA", "workout/FIL0000"));
    EXPECT_EQ(TemporaryFiles(), std::vector<std::string>{});
    if (c.error.empty()) {
        EXPECT_FALSE(IsLink("workout/FIL0001.eredeti.txt") || IsLink("workout/FIL0001.javitott.txt"))
            << "a link in place of a copy is replaced";
        EXPECT_TRUE(Holds(Out("workout/FIL0001.eredeti.txt"), bigBackup));
        EXPECT_TRUE(Holds(Out("workout/FIL0001.javitott.txt"), test::ReadFile(Out("workout/FIL0001.JRA"))));
        EXPECT_TRUE(Repaired("workout/FIL0002.JRA", "workout/FIL0002"));
        return;
    }
    if (c.fault == WriteFault::WorkCopyIsALink) {
        EXPECT_TRUE(IsLink("workout/FIL0001.JRA"));
        EXPECT_FALSE(test::Exists(Out("workout/FIL0001.eredeti.txt")));
    } else {
        EXPECT_TRUE(Holds(Out("workout/FIL0001.JRA"), big)) << "the file stays whole";
    }
    EXPECT_FALSE(test::Exists(Out("workout/FIL0001.javitott.txt")));
    EXPECT_EQ(test::ReadFile(Out("workout/FIL0002.JRA")), kBrokenJava);
    EXPECT_FALSE(test::Exists(Out("workout/FIL0002.eredeti.txt")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrelvinWrites,
    ::testing::Values(
        WriteCase{"WorkCopyIsALinkToTheSource", WriteFault::WorkCopyIsALink, 1,
                  "Error: Cannot rewrite file \"workout/FIL0001.JRA\". It is a symbolic link"},
        WriteCase{"BackupIsALink", WriteFault::BackupIsALink, 0, ""},
        WriteCase{"CorrectedCopyIsALink", WriteFault::CorrectedCopyIsALink, 0, ""},
        WriteCase{"RepairedFileOverTheFileSizeLimit", WriteFault::FileSizeLimit, 1,
                  "Error: Cannot write file \"workout/FIL0001.JRA\". File too large"},
        WriteCase{"RepairedFileOnAFullDisk", WriteFault::FullDisk, 1,
                  "Error: Cannot write file \"workout/FIL0001.JRA\". No space left on device"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace korvane
