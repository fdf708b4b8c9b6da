#include "shell/project/project_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "shared/platform/files.h"
#include "shared/test_support.h"
#include "shared/text.h"
#include "shell/project/form_tree_memory.h"
#include "shell/project/project_model.h"
#include "shell/project/stream_to_ini.h"

using namespace korvane;
using Lines = std::vector<std::string>;

namespace {

ProjectProperties Sample() {
    ProjectProperties p;
    p.projectName = "ProdSys";
    p.productName = "PROD";
    p.systemName = "SYS";
    p.projectDirectory = "/work/jobs/";
    p.projectVersion = "COB";
    p.languageVersion = "COB85";
    p.toolRootDir = "/opt/tools";
    p.localToolRootDir = "/home/me/tools";
    p.maxDirDepth = 100;
    p.numberOfSourceFiles = 12;
    return p;
}

// A window with one control of each kind a project dump holds, a memo and a
// program picker (both left out of a project file).
void Populate(MemoryFormWindow& w) {
    MemoryFormComponent& out = w.addFrame("FrameFindDirectoryOutputDir", "TFrameFindDirectory");
    out.add("Edit", "TEdit").textValue = "/work/out";
    MemoryFormComponent& picker = w.addFrame("FindExexRefine", "TFrameFindexec");
    picker.add("Edit", "TEdit").textValue = "/opt/tools/refine";
    w.add("EditSystemName", "TEdit").textValue = "SYS";
    w.add("ComboBoxRefactorLevel", "TComboBox").index = 8;
    w.add("CheckBoxRefine", "TCheckBox").isChecked = true;
    MemoryFormComponent& list = w.add("CheckListBoxSelectedFiles", "TCheckListBox");
    list.list.add("/src/a.cbl", true);
    list.list.add("/src/b.cbl", false);
    w.add("MemoNewFileNames", "TMemo").memo = {"FIL0000=/src/a.cbl"};
}

}  // namespace

TEST(ProjectFile, PropertiesInTheirOrderWithoutEmptyValues) {
    TStreamToIni ini;
    ProjectProperties p = Sample();
    p.languageVersion.clear();
    p.localToolRootDir.clear();
    WritePropertiesBlock(ini, p);
    EXPECT_EQ(ini.Lines(),
              (Lines{"[Properties]", "ProjectName=ProdSys", "ProjectProductName=PROD",
                     "ProjectSystemName=SYS", "BatchRunning=N", "ProjectDirectory=/work/jobs/",
                     "ProjectVersion=COB", "ToolRootDir=/opt/tools", "MaxDirDepth=100", "[Konyec szkazki]"}));
}

TEST(ProjectFile, BatchRunningAndMaxDirDepthAlwaysWrittenSourceCountOnlyWhileRunning) {
    TStreamToIni idle;
    WritePropertiesBlock(idle, ProjectProperties{});
    EXPECT_EQ(idle.Lines(), (Lines{"[Properties]", "BatchRunning=N", "MaxDirDepth=0", "[Konyec szkazki]"}));

    TStreamToIni running;
    ProjectProperties p = Sample();
    p.batchRunning = true;
    WritePropertiesBlock(running, p);
    EXPECT_EQ(running.ReadValue("BatchRunning"), "Y");
    EXPECT_EQ(running.Line(running.Count() - 2), "NumberOfSourceFiles=12");
    EXPECT_EQ(running.Line(running.Count() - 3), "MaxDirDepth=100");
}

TEST(ProjectFile, WholeFileLeavesOutMemosAndProgramPickers) {
    MemoryFormWindow w("frmKorvaneMain", "Korvane main shell - Cobol 85 [ProdSys]");
    Populate(w);
    const std::string dir = std::filesystem::temp_directory_path() / "korvane_project_file_test";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/ProdSys.srd";
    SaveProjectFile(path, w, Sample());
    const std::string expected =
        "StreamToIni.FileFormat=1\r\n"
        "[Properties]\r\n"
        "ProjectName=ProdSys\r\n"
        "ProjectProductName=PROD\r\n"
        "ProjectSystemName=SYS\r\n"
        "BatchRunning=N\r\n"
        "ProjectDirectory=/work/jobs/\r\n"
        "ProjectVersion=COB\r\n"
        "LanguageVersion=COB85\r\n"
        "ToolRootDir=/opt/tools\r\n"
        "LocalToolRootDir=/home/me/tools\r\n"
        "MaxDirDepth=100\r\n"
        "[Konyec szkazki]\r\n"
        "[Form - frmKorvaneMain]\r\n"
        "[Captions]\r\n"
        "frmKorvaneMain.Caption=Korvane main shell - Cobol 85 [ProdSys]\r\n"
        "[TFrames]\r\n"
        "frmKorvaneMain.FrameFindDirectoryOutputDir.Edit=/work/out\r\n"
        "[Editboxes]\r\n"
        "frmKorvaneMain.EditSystemName=SYS\r\n"
        "[ComboBoxes]\r\n"
        "[TComboBox - ComboBoxRefactorLevel]\r\n"
        "frmKorvaneMain.ComboBoxRefactorLevel=8\r\n"
        "[Checkboxes]\r\n"
        "frmKorvaneMain.CheckBoxRefine=Y\r\n"
        "[CheckListBoxes]\r\n"
        "[TCheckListBox - frmKorvaneMain.CheckListBoxSelectedFiles]\r\n"
        "frmKorvaneMain.CheckListBoxSelectedFiles=CheckListBoxSelectedFiles\r\n"
        "frmKorvaneMain.CheckListBoxSelectedFiles.Tag=0\r\n"
        "YY/src/a.cbl\r\n"
        "NY/src/b.cbl\r\n"
        "[Konyec szkazki]\r\n";
    EXPECT_EQ(ReadFileBytes(path), expected);
    std::filesystem::remove_all(dir);
}

// ---- Reading a project file without a window ---------------------------------

namespace {

const std::string kM = "frmKorvaneMain.";

// A Cobol 85 project with the controls a run reads.
Lines ModelFile() {
    return {"StreamToIni.FileFormat=1", "[Properties]", "ProjectName=ProdSys", "ProjectProductName=PROD",
            "ProjectSystemName=SYS", "BatchRunning=N", "ProjectDirectory=/work/jobs/ProdSys.srd",
            "ProjectVersion=COB", "LanguageVersion=COB85", "LocalToolRootDir=/home/me/tools", "MaxDirDepth=42",
            "[Konyec szkazki]", "[Form - frmKorvaneMain]", kM + "FrameFindDirectoryOutputDir.Edit=/work/out",
            kM + "EditSystemName=SYS", kM + "ComboBoxRefactorLevel=2", kM + "CheckBoxRefine=N",
            kM + "CheckListBoxSelectedFiles=CheckListBoxSelectedFiles", kM + "CheckListBoxSelectedFiles.Tag=0",
            "YY/src/b.cbl", "NY/src/a.cbl", "", kM + "CheckListBoxControlTags=CheckListBoxControlTags",
            kM + "CheckListBoxControlTags.Tag=2", "YYINPT FILEA", "[Konyec szkazki]"};
}

struct ModelRead {
    ProjectModel model;
    std::string error;  // "<no error>" when the file was read
};

// Reads the file (each line that a change names replaced) as a project
// file in /work/jobs, over the state a Cobol language leaves.
ModelRead ReadModel(const std::vector<std::pair<std::string, std::string>>& changes = {}) {
    Lines lines = ModelFile();
    for (const auto& [from, to] : changes) std::replace(lines.begin(), lines.end(), from, to);
    korvane::testing::TempDir dir("korvane-model");
    korvane::testing::PutFile(dir / "p.srd", JoinLinesCrLf(lines));
    TStreamToIni ini;
    ini.LoadFromFile(dir / "p.srd");
    ProjectDefaults defaults;
    defaults.outputDirectory = "/default/out";
    defaults.rows = {{"Realign", true}, {"Refine", true}};
    defaults.refactorLevels = 9;
    defaults.refactorLevelIndex = 8;
    ModelRead r;
    r.error = korvane::testing::ErrorOf([&] {
        ReadProjectProperties(ini, "/work/jobs", r.model);
        ReadProjectControls(ini, "/work/jobs", defaults, r.model);
    });
    return r;
}

Lines Texts(const std::vector<CheckEntry>& entries) {
    Lines r;
    for (const CheckEntry& e : entries) r.push_back((e.checked ? "" : "-") + e.text);
    return r;
}

}  // namespace

TEST(ProjectModel, PropertiesAndControlsOfAFile) {
    const ModelRead r = ReadModel();
    ASSERT_EQ(r.error, "<no error>");
    const ProjectModel& m = r.model;
    EXPECT_EQ(m.properties.projectName, "ProdSys");
    EXPECT_EQ(m.properties.productName, "PROD");
    EXPECT_EQ(m.properties.projectDirectory, "/work/jobs/");
    EXPECT_EQ(m.properties.localToolRootDir, "/home/me/tools");
    EXPECT_EQ(m.properties.maxDirDepth, 42);
    EXPECT_FALSE(m.properties.batchRunning);
    EXPECT_EQ(m.languageSuffix, "COB_COB85");
    EXPECT_EQ(m.outputDirectory, "/work/out");
    EXPECT_EQ(m.systemName, "SYS");
    EXPECT_EQ(Texts(m.sources), (Lines{"-/src/a.cbl", "/src/b.cbl"})) << "the collections are sorted";
    EXPECT_EQ(m.rows, (std::map<std::string, bool>{{"Realign", true}, {"Refine", false}}));
    EXPECT_EQ(m.refactorLevelIndex, 2);
    EXPECT_EQ(m.controlTags.tag(), 2);
    EXPECT_EQ(Texts(m.controlTags.entries()), Lines{"INPT FILEA"});
    EXPECT_TRUE(m.errors.empty() && m.warnings.empty());
}

// What the window's load reports and how far it comes: refused names and
// numbers out of range are noted and the file still reads; relative paths
// start at the file's folder; a value that cannot be converted, or a name
// that is neither acceptable nor refused outright, ends the reading.
TEST(ProjectModel, RefusedNamesNumbersOutOfRangeRelativePathsAndBadValues) {
    using Model = const ProjectModel&;
    const std::string ok = "<no error>", systemRefused = "System name name missing or incorrect",
                      productRefused = "Product name missing or incorrect";
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> changes;
        std::string error;
        Lines notes;  // errors, then warnings
        std::function<void(Model)> check;
    } cases[] = {
        {"a system name that cannot be a file name", {{"ProjectSystemName=SYS", "ProjectSystemName=../../victim"}},
         ok, {systemRefused}, [](Model m) {
             EXPECT_EQ(m.properties.systemName + "|" + m.properties.productName, "|PROD");
             EXPECT_EQ(m.sources.size(), 2u);
         }},
        {"a product name longer than a file name",
         {{"ProjectProductName=PROD", "ProjectProductName=" + std::string(200, 'P')}}, ok, {productRefused},
         [](Model m) { EXPECT_EQ(m.properties.productName, ""); }},
        {"no system name", {{"ProjectSystemName=SYS", "ProjectSystemName="}}, systemRefused, {},
         [](Model m) { EXPECT_EQ(m.properties.productName, ""); }},
        {"a digit-led product name", {{"ProjectProductName=PROD", "ProjectProductName=1AB"}}, productRefused, {},
         [](Model m) { EXPECT_EQ(m.properties.systemName, "SYS"); }},
        {"names given as *", {{"ProjectSystemName=SYS", "ProjectSystemName=*"}}, ok, {},
         [](Model m) { EXPECT_EQ(m.properties.systemName, ""); }},
        {"a depth that overflows", {{"MaxDirDepth=42", "MaxDirDepth=2147483647"}}, ok,
         {"MaxDirDepth=2147483647 is out of range (0 to 4096), 100 is used"},
         [](Model m) { EXPECT_EQ(m.properties.maxDirDepth, 100); }},
        {"a run in progress", {{"BatchRunning=N", "BatchRunning=Y"}, {"MaxDirDepth=42", "NumberOfSourceFiles=99999999999"}},
         ok, {"NumberOfSourceFiles=99999999999 is out of range (0 to 2147483647), 0 is used"},
         [](Model m) { EXPECT_TRUE(m.properties.batchRunning && m.properties.maxDirDepth == 0); }},
        {"a depth that is no number", {{"MaxDirDepth=42", "MaxDirDepth=abc"}}, "'0abc' is not a valid integer value", {},
         [](Model m) { EXPECT_EQ(m.properties.productName, "PROD"); }},
        {"relative paths",
         {{kM + "FrameFindDirectoryOutputDir.Edit=/work/out", kM + "FrameFindDirectoryOutputDir.Edit=out/./x"},
          {"ProjectDirectory=/work/jobs/ProdSys.srd", "ProjectDirectory=rel/ProdSys.srd"},
          {"YY/src/b.cbl", "YYsrc/b.cbl"}, {"NY/src/a.cbl", "NY../elsewhere/../src/a.cbl"}},
         ok, {}, [](Model m) {
             EXPECT_EQ(m.outputDirectory, "/work/jobs/out/x");
             EXPECT_EQ(m.properties.projectDirectory, "/work/jobs/rel/");
             EXPECT_EQ(Texts(m.sources), (Lines{"/work/jobs/src/b.cbl", "-/work/src/a.cbl"}));
         }},
        {"a Tag that is no number", {{kM + "CheckListBoxSelectedFiles.Tag=0", kM + "CheckListBoxSelectedFiles.Tag=x"}},
         "'x' is not a valid integer value", {}, nullptr},
        {"a check box flag", {{kM + "CheckBoxRefine=N", kM + "CheckBoxRefine=Q"}},
         "Q is not valid boolean value (Y,J,I,N,True,False)", {}, nullptr},
        {"no dialect", {{"LanguageVersion=COB85", "X=1"}}, ok, {}, [](Model m) { EXPECT_EQ(m.languageSuffix, "COB"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ModelRead r = ReadModel(c.changes);
        EXPECT_EQ(r.error, c.error);
        Lines notes = r.model.errors;
        notes.insert(notes.end(), r.model.warnings.begin(), r.model.warnings.end());
        EXPECT_EQ(notes, c.notes);
        if (c.check) c.check(r.model);
    }
}
