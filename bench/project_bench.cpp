// Saves or loads a project file of a window held in memory, for
// project.bench.sh:
//
//   project_bench save <paths file> <project file>   a project whose source
//                                                   list holds the paths
//   project_bench load <project file>               reads it back into a
//                                                   window; prints the number
//                                                   of sources
//
// The window has the main window's project controls: the output directory
// picker, the edit boxes, combo boxes, transformation check boxes, the five
// check-lists, two memos and program pickers (the last two kinds are not
// part of a project).

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "shared/platform/files.h"
#include "shell/project/form_tree_memory.h"
#include "shell/project/project_file.h"
#include "shell/project/project_rules.h"
#include "shell/project/stream_to_ini.h"

using namespace korvane;

namespace {

void BuildWindow(MemoryFormWindow& w) {
    w.addFrame("FrameFindDirectoryOutputDir", "TFrameFindDirectory").add("Edit", "TEdit");
    for (const char* e :
         {"EditSystemName", "EditProductName", "EditObjects", "EditCreateWrdList", "EditCWrd"})
        w.add(e, "TEdit");
    for (const char* c : {"ComboBoxRefactorLevel", "ComboBoxCreateWrdList", "ComboBoxEditCWrd"})
        w.add(c, "TComboBox").itemList = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (const char* b : {"CopyAdd", "Realign", "Refine", "RenameVariables", "RemoveComp",
                          "ReplaceNumericConstants", "ReplaceLiterals", "RelocateFiles", "RelocateDB",
                          "RelocateTP", "Restructure", "RefactorNestedBlocks"})
        w.add(std::string("CheckBox") + b, "TCheckBox");
    for (const char* l : {"CheckListBoxSelectedFiles", "CheckListBoxCSVForRename",
                          "CheckListBoxCopyCollection", "CheckListBoxObjects", "CheckListBoxControlTags"})
        w.add(l, "TCheckListBox");
    for (const char* m : {"MemoNewFileNames", "MemoToolDefaultValues"}) w.add(m, "TMemo");
    for (const char* p : {"FrameFindexecEditorGeneral", "FrameFindexecScanner", "FrameFindexecFunctab"})
        w.addFrame(p, "TFrameFindexec").add("Edit", "TEdit");
}

int Save(const std::string& pathsFile, const std::string& projectFile) {
    MemoryFormWindow w("frmKorvaneMain", "Korvane main shell - Cobol 85 [BenchSys]");
    BuildWindow(w);
    w.get("FrameFindDirectoryOutputDir").components().front()->setText("/srv/out/BenchSys");
    w.get("EditProductName").textValue = "BENCH";
    w.get("EditSystemName").textValue = "SYS";
    w.get("ComboBoxRefactorLevel").index = 8;
    w.get("CheckBoxRealign").isChecked = true;
    w.get("CheckBoxRefine").isChecked = true;
    std::vector<CheckEntry> entries;
    int n = 0;
    for (std::string& path : ReadTextLines(pathsFile))
        entries.push_back({std::move(path), n++ % 7 != 0, true});
    w.get("CheckListBoxSelectedFiles").list.appendAll(std::move(entries));

    ProjectProperties p;
    p.projectName = FormProjectName("BENCH", "SYS");
    p.productName = "BENCH";
    p.systemName = "SYS";
    p.projectDirectory = "/srv/jobs/";
    p.projectVersion = "COB";
    p.languageVersion = "COB85";
    p.toolRootDir = "/opt/korvane/tools";
    p.maxDirDepth = 100;
    SaveProjectFile(projectFile, w, p);
    return 0;
}

int Load(const std::string& projectFile) {
    using namespace project_key;
    TStreamToIni ini;
    ini.LoadFromFile(projectFile);
    std::string values;
    for (const char* key : {kProjectName, kProductName, kSystemName, kBatchRunning, kProjectDirectory,
                            kProjectVersion, kLanguageVersion, kToolRootDir, kLocalToolRootDir, kMaxDirDepth,
                            kNumberOfSourceFiles, kTestName, kObjectName})
        values += ini.ReadValue(key);
    const int depth = ProjectNumber(ini.ReadValue(kMaxDirDepth));
    MemoryFormWindow w("frmKorvaneMain");
    BuildWindow(w);
    ini.LoadFormState(w);
    std::printf("%zu %d %zu\n", w.get("CheckListBoxSelectedFiles").list.size(), depth, values.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "save" && argc == 4) return Save(argv[2], argv[3]);
        if (mode == "load" && argc == 3) return Load(argv[2]);
        std::fprintf(stderr, "usage: project_bench save <paths> <project> | load <project>\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "project_bench: %s\n", e.what());
        return 1;
    }
}
