// DOS tool programs inside the real DOSBox: the run configuration built from
// the base configuration DOSBox itself writes, and DOSSTEP.COM started with
// the command line of a DOS step (DOSBox, "-conf DOSBox.config -noconsole
// -exit", in the output directory) on parameter files of the shell's format.
// Skipped where DOSBox is not installed or DOSSTEP.COM was not built.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "shared/env.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/platform/process.h"
#include "shared/text.h"
#include "shell/app/tool_settings_run_control.h"
#include "shell/run/dosbox_config.h"
#include "shell/run/parameter_file.h"
#include "shell/run/run_test_support.h"
#include "shell/run/tool_command.h"

namespace korvane {
namespace {

using testing::PutFile;
using testing::TempDir;
using Lines = std::vector<std::string>;

// How long one DOSBox run may take before the test counts it as hanging.
constexpr int kDosBoxLimitMs = 60000;

std::string FindDosBox() {
    std::string path = GetEnvVar("PATH");
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        std::string candidate = JoinPath(path.substr(start, end - start), "dosbox");
        if (end > start && ExecutableKind(candidate) == ExecKind::Native) return candidate;
        start = end + 1;
    }
    return ExecutableKind("/usr/bin/dosbox") == ExecKind::Native ? "/usr/bin/dosbox" : "";
}

// One DOSBox home and base configuration for all tests: DOSBox writes its
// own settings below $HOME, which must not be the real one.
class DosBoxEnvironment {
public:
    static DosBoxEnvironment& Get() {
        static DosBoxEnvironment env;
        return env;
    }
    const std::string& dosbox() const { return dosbox_; }
    const std::string& baseConfig() const { return baseConfig_; }

private:
    DosBoxEnvironment() {
        dosbox_ = FindDosBox();
        if (dosbox_.empty()) return;
        setenv("HOME", (dir_ / "home").c_str(), 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ForceDirectories(dir_ / "home");
        // The configuration run of the shell, in the folder of the tool settings.
        std::string command = DOSBoxConfigRunCommandLine(dosbox_);
        RunAndWait(dosbox_, command.substr(dosbox_.size() + 1), dir_.path());
        if (FileExists(dir_ / kDOSBoxBaseConfigName)) baseConfig_ = dir_ / kDOSBoxBaseConfigName;
    }
    TempDir dir_;
    std::string dosbox_;
    std::string baseConfig_;
};

#define REQUIRE_DOSBOX()                                                                      \
    do {                                                                                      \
        if (DosBoxEnvironment::Get().dosbox().empty()) GTEST_SKIP() << "dosbox is not installed"; \
        ASSERT_FALSE(DosBoxEnvironment::Get().baseConfig().empty())                           \
            << "DOSBox wrote no base configuration";                                          \
    } while (0)

#define REQUIRE_DOSSTEP()                                                                             \
    do {                                                                                              \
        REQUIRE_DOSBOX();                                                                             \
        if (!FileExists(KORVANE_DOSSTEP_PROGRAM))                                                     \
            GTEST_SKIP() << KORVANE_DOSSTEP_PROGRAM << " was not built (nasm missing)";               \
    } while (0)

// Starts a DOS program as a step does while DOSBox is ready: the run
// configuration in the working directory, then DOSBox with the DOS step's
// arguments. True when DOSBox ended within the limit (else it is killed).
bool RunInDosBox(const std::string& program, const std::string& workingDir) {
    const DosBoxEnvironment& env = DosBoxEnvironment::Get();
    WriteDosBoxConfig(workingDir, env.baseConfig(), program);
    const std::string commandLine = ToolCommandLine(env.dosbox(), kDosBoxArguments);
    ToolProcess process;
    std::string error;
    // DOSBox's chatter goes into a file beside the output directory.
    ToolStartOptions options;
    options.captureFile = ExtractFilePath(ExcludeTrailingSep(workingDir)) + "dosbox.out";
    options.captureAppend = false;
    if (!process.StartArgs(SplitProgramCommandLine(commandLine), workingDir, options, error)) {
        ADD_FAILURE() << "DOSBox did not start: " << error;
        return false;
    }
    if (process.WaitFor(kDosBoxLimitMs)) return true;
    process.Kill(error);
    return false;
}

// The tool folder holding DOSSTEP.COM, with a blank in its path.
std::string PlaceDosStep(const TempDir& dir) {
    std::string program = dir / "dos tools/DOSSTEP.COM";
    ForceDirectories(ExtractFileDir(program));
    CopyFileReplace(KORVANE_DOSSTEP_PROGRAM, program);
    return program;
}

std::string Bytes(size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = char((i * 7 + i / 251) & 0xFF);  // every byte value, ^Z and CR LF too
    return s;
}

Lines Names(const std::string& folder) {
    Lines names;
    for (const DirEntry& e : ListDirectory(folder)) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

// --- the run configuration ----------------------------------------------------

TEST(DosBoxRunConfiguration, BuiltFromTheBaseThatDOSBoxWrites) {
    REQUIRE_DOSBOX();
    const Lines base = ReadTextLines(DosBoxEnvironment::Get().baseConfig());
    auto autoexec = std::find_if(base.begin(), base.end(), [](const std::string& l) { return SameText(l, "[autoexec]"); });
    ASSERT_NE(autoexec, base.end());
    ASSERT_NE(autoexec, base.begin());
    const size_t cut = size_t(autoexec - base.begin());

    const Lines config = BuildDosBoxConfig(base, "/opt/dos tools/DOSSTEP.COM");
    ASSERT_EQ(config.size(), cut + 6);
    int cyclesLines = 0;
    for (size_t i = 0; i < cut; ++i) {
        SCOPED_TRACE(base[i]);
        if (SameText(TextBeforeFirst(base[i], "="), "cycles") && base[i].find('=') != std::string::npos) {
            EXPECT_EQ(config[i], "cycles=max");
            ++cyclesLines;
        } else {
            EXPECT_EQ(config[i], base[i]);
        }
    }
    EXPECT_EQ(cyclesLines, 1);  // DOSBox's own "cycles=auto", changed where it stands
    EXPECT_EQ(Lines(config.begin() + std::ptrdiff_t(cut), config.end()),
              (Lines{"[autoexec]", "mount c: \"/opt/dos tools/\"", "mount x: .", "x:", "c:\\DOSSTEP.COM last.xml",
                     "exit"}));
}

// --- DOSSTEP.COM inside DOSBox --------------------------------------------------

// The parameter file the shell writes for the first step (copies in
// workinp) or a later one (results of the step before in workout).
void WriteShellParameterFile(const std::string& outputDir, const std::vector<std::string>& sources,
                             const std::string& inputExtension) {
    ParameterFileInput in;
    in.productName = "Prod";
    in.systemName = "Sys";
    in.projectVersion = "JAV";
    in.rows = {{"Realign", "Realign", true, true}};
    in.outputDir = outputDir;
    for (const std::string& s : sources) in.sources.push_back({s, true});
    Lines lines;
    testing::RecordingReporter reporter;
    WriteParameterFile(in, inputExtension, lines, nullptr, reporter);
}

TEST(DosStep, CopiesTheFilesOfTheShellsParameterFile) {
    REQUIRE_DOSSTEP();
    TempDir dir;
    const std::string program = PlaceDosStep(dir);
    const std::string out = dir / "out dir";
    ForceDirectories(out + "/workinp");
    ForceDirectories(out + "/workout");
    const std::string small = "class A {\r\n}\r\n";
    const std::string large = Bytes(200000);  // more than one 64 KB segment
    PutFile(out + "/workinp/FIL0000", small);
    PutFile(out + "/workinp/FIL0001", large);
    PutFile(out + "/workinp/FIL0002", "");
    PutFile(dir / "src/A.java", "");
    PutFile(dir / "src/B.java", "");
    PutFile(dir / "src/C.java", "");
    WriteShellParameterFile(out, {dir / "src/A.java", dir / "src/B.java", dir / "src/C.java"}, "");
    // A log left by an earlier step under the system name as the tools
    // spell it: DOS finds it whatever the case and appends.
    PutFile(out + "/workout/Sys.LOG", "Realign FIL0000 -> FIL0000.JV1\r\n");

    ASSERT_TRUE(RunInDosBox(program, out));
    EXPECT_EQ(Names(out + "/workout"), (Lines{"FIL0000.DS1", "FIL0001.DS1", "FIL0002.DS1", "Sys.LOG"}));
    EXPECT_EQ(ReadFileBytes(out + "/workout/FIL0000.DS1"), small);
    EXPECT_EQ(ReadFileBytes(out + "/workout/FIL0001.DS1"), large);
    EXPECT_EQ(ReadFileBytes(out + "/workout/FIL0002.DS1"), "");
    EXPECT_EQ(ReadFileBytes(out + "/workout/Sys.LOG"),
              "Realign FIL0000 -> FIL0000.JV1\r\n"
              "DOSSTEP FIL0000 -> FIL0000.DS1\r\n"
              "DOSSTEP FIL0001 -> FIL0001.DS1\r\n"
              "DOSSTEP FIL0002 -> FIL0002.DS1\r\n");
    // The run configuration is left in the output directory.
    const Lines config = ReadTextLines(out + "/DOSBox.config");
    ASSERT_GE(config.size(), size_t(6));
    EXPECT_EQ(config[config.size() - 5], "mount c: \"" + ExtractFilePath(program) + "\"");

    // A later step reads the results of the step before from workout.
    DeleteFile(out + "/workout/FIL0001.DS1");
    MoveFile(out + "/workout/FIL0000.DS1", out + "/workout/FIL0000.JV1");
    DeleteFile(out + "/workout/FIL0002.DS1");
    PutFile(out + "/workout/FIL0001.JV1", "second");
    DeleteFile(out + "/workout/Sys.LOG");
    WriteShellParameterFile(out, {dir / "src/A.java", dir / "src/B.java"}, "JV1");
    ASSERT_TRUE(RunInDosBox(program, out));
    EXPECT_EQ(Names(out + "/workout"), (Lines{"FIL0000.DS1", "FIL0000.JV1", "FIL0001.DS1", "FIL0001.JV1", "SYS.LOG"}));
    EXPECT_EQ(ReadFileBytes(out + "/workout/FIL0000.DS1"), small);
    EXPECT_EQ(ReadFileBytes(out + "/workout/FIL0001.DS1"), "second");
    // Without a log before it, DOS makes the name upper case.
    EXPECT_EQ(ReadFileBytes(out + "/workout/SYS.LOG"),
              "DOSSTEP FIL0000 -> FIL0000.DS1\r\nDOSSTEP FIL0001 -> FIL0001.DS1\r\n");
}

TEST(DosStep, OddEntriesOfTheParameterFile) {
    REQUIRE_DOSSTEP();
    TempDir dir;
    const std::string program = PlaceDosStep(dir);
    const std::string out = dir / "out";
    ForceDirectories(out + "/workinp");
    ForceDirectories(out + "/workout");
    PutFile(out + "/workinp/FIL0000", "zero");
    PutFile(out + "/workinp/FIL0002", "two");
    PutFile(out + "/workinp/FIL12345", "five digits");
    const std::string longLine = "<Orig_File_0000>/src/" + std::string(70000, 'a') + "<File_9999>x</File_9999>";
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<VORL>\r\n <Names\r\n"
        "  SystemName  = \"Sys_1\"\r\n />\r\n <Files>\r\n"
        "  " + longLine + "</Orig_File_0000>\r\n"          // a line far longer than any buffer
        "  <File_0000>workinp/FIL0000</File_0000>\r\n"      // the platform separator
        "  <File_0001>workinp/FIL0001</File_0001>\r\n"      // no such input
        "  <File_0002>workinp\\FIL0002</File_0002>\r\n"     // the DOS separator
        "  <File_0003>workinp/" + std::string(300, 'B') + "</File_0003>\r\n"  // a path too long
        "  <File_12345>workinp/FIL12345</File_12345>\r\n"   // five digits still fit 8.3
        "  <File_123456>workinp/FIL0000</File_123456>\r\n"  // six do not
        "  <File_>workinp/FIL0000</File_>\r\n"
        " </Files>\r\n</VORL>";                             // no line end at the end
    PutFile(out + "/last.xml", xml);

    ASSERT_TRUE(RunInDosBox(program, out));
    EXPECT_EQ(Names(out + "/workout"), (Lines{"FIL0000.DS1", "FIL0002.DS1", "FIL12345.DS1", "SYS_1.LOG"}));
    EXPECT_EQ(ReadFileBytes(out + "/workout/FIL0000.DS1"), "zero");
    EXPECT_EQ(ReadFileBytes(out + "/workout/FIL0002.DS1"), "two");
    EXPECT_EQ(ReadFileBytes(out + "/workout/FIL12345.DS1"), "five digits");
    EXPECT_EQ(ReadFileBytes(out + "/workout/SYS_1.LOG"),
              "DOSSTEP FIL9999 missing input\r\n"
              "DOSSTEP FIL0000 -> FIL0000.DS1\r\n"
              "DOSSTEP FIL0001 missing input\r\n"
              "DOSSTEP FIL0002 -> FIL0002.DS1\r\n"
              "DOSSTEP FIL0003 skipped\r\n"
              "DOSSTEP FIL12345 -> FIL12345.DS1\r\n"
              "DOSSTEP FIL123456 skipped\r\n");
}

TEST(DosStep, SystemNamesThatMakeNoDosFileNameGiveNoLog) {
    // And without a parameter file DOSBox still ends, and nothing is written.
    REQUIRE_DOSSTEP();
    TempDir dir;
    const std::string program = PlaceDosStep(dir);
    for (const char* system : {"TooLongName", "a b", "", "(no last.xml)"}) {
        SCOPED_TRACE(system);
        const bool none = *system == '(';
        const std::string out = dir / "out";
        ForceDirectories(out + "/workinp");
        ForceDirectories(out + "/workout");
        PutFile(out + "/workinp/FIL0000", "zero");
        if (!none)
            PutFile(out + "/last.xml", std::string(" <Names\r\n  SystemName  = \"") + system +
                                           "\"\r\n />\r\n  <File_0000>workinp/FIL0000</File_0000>\r\n");
        ASSERT_TRUE(RunInDosBox(program, out));
        EXPECT_EQ(Names(out + "/workout"), none ? Lines{} : Lines{"FIL0000.DS1"});
        std::filesystem::remove_all(out);
    }
}

}  // namespace
}  // namespace korvane
