#include "shell/project/project_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "shared/platform/files.h"
#include "shell/project/form_tree_memory.h"
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

TEST(ProjectFile, SavedFileLoadsBackIntoAnotherWindow) {
    MemoryFormWindow a("frmKorvaneMain", "caption");
    Populate(a);
    TStreamToIni saved;
    BuildProjectFile(saved, a, Sample());

    MemoryFormWindow b("frmKorvaneMain");
    Populate(b);
    b.get("EditSystemName").textValue.clear();
    b.get("CheckBoxRefine").isChecked = false;
    b.get("CheckListBoxSelectedFiles").list.clear();
    b.get("MemoNewFileNames").memo = {"kept"};
    saved.LoadFormState(b);
    EXPECT_EQ(b.captionValue, "caption");
    EXPECT_EQ(b.get("EditSystemName").textValue, "SYS");
    EXPECT_TRUE(b.get("CheckBoxRefine").isChecked);
    ASSERT_EQ(b.get("CheckListBoxSelectedFiles").list.size(), 2u);
    EXPECT_TRUE(b.get("CheckListBoxSelectedFiles").list.checked(0));
    EXPECT_EQ(b.get("MemoNewFileNames").memo, Lines{"kept"});
    EXPECT_EQ(saved.ReadValue("ProjectVersion"), "COB");
}
