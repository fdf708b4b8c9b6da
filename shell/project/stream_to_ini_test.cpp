#include "shell/project/stream_to_ini.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "shared/errors.h"
#include "shared/text.h"
#include "shared/platform/files.h"
#include "shell/project/form_tree_memory.h"

using namespace korvane;
using Lines = std::vector<std::string>;

namespace {

const std::string kMain = "frmKorvaneMain";

class TempDir {
public:
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "korvane_sti_XXXXXX").string();
        if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
        path_ = templ;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadRaw(const std::string& path) { return ReadFileBytes(path); }

void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TStreamToIni WithLines(const Lines& lines) {
    TStreamToIni ini;
    for (const auto& l : lines) ini.Add(l);
    return ini;
}

// Loads text as a file does, so that FileFormat follows the text.
TStreamToIni LoadedFrom(const std::string& text) {
    TempDir dir;
    WriteRaw(dir.file("f.srd"), text);
    TStreamToIni ini;
    ini.LoadFromFile(dir.file("f.srd"));
    return ini;
}

std::string JoinCrLf(const Lines& lines) {
    std::string r;
    for (const auto& l : lines) r += l + "\r\n";
    return r;
}

bool AnyCallOf(const MemoryFormWindow& w, const std::string& component) {
    return std::any_of(w.calls.begin(), w.calls.end(),
                       [&](const std::string& c) { return c.rfind(component + ".", 0) == 0; });
}

// Name lines of a dump without the window prefix, section and raw lines left out.
Lines DumpNames(const Lines& lines) {
    Lines names;
    for (const auto& l : lines) {
        if (l.empty() || l[0] == '[' || l.rfind(kMain + ".", 0) != 0) continue;
        names.push_back(l.substr(kMain.size() + 1, l.find('=') - kMain.size() - 1));
    }
    return names;
}

// A window with one control of every kind. With filled false it has the same
// structure and designed items but none of the state.
std::unique_ptr<MemoryFormWindow> EveryKindWindow(bool filled) {
    auto w = std::make_unique<MemoryFormWindow>("frmAll", filled ? "All kinds [Job]" : "");
    auto& frame = w->addFrame("FrameDir", "TFrameFindDirectory");
    frame.add("LabelCaption", "TLabel");
    auto& frameEdit = frame.add("Edit", "TEdit");
    auto& edit = w->add("EditName", "TEdit");
    auto& num = w->add("EditCount", "TMrNumEdit");
    auto& combo = w->add("ComboBoxLevel", "TComboBox");
    combo.itemList = {"1", "2", "3"};
    auto& typed = w->add("ComboBoxTyped", "TComboBox");
    typed.itemList = {"INPT", "OTPT"};
    auto& inc = w->add("IncComboHist", "TIncCombo");
    auto& check = w->add("CheckBoxOn", "TCheckBox");
    auto& list = w->add("CheckListBoxFiles", "TCheckListBox");
    auto& memo = w->add("MemoNotes", "TMemo");
    auto& holder = w->add("HolderNames", "TStringListHolder");
    auto& plain = w->add("HolderPlain", "TStringListHolder");
    auto& radio = w->add("RadioGroupMode", "TRadioGroup");
    if (filled) {
        frameEdit.textValue = "/work/out";
        edit.textValue = "Name with = and \"quotes\"";
        num.textValue = "42";
        combo.index = 1;
        typed.textValue = "MASK";
        inc.itemList = {"first", "second"};
        inc.values = {"v1", "v=2"};
        inc.index = 1;
        check.isChecked = true;
        list.list.setTag(7);
        list.list.add("/src/A.COB", true);
        list.list.add("/src/B.COB", false);
        list.list.setEnabled(1, false);
        memo.memo = {"line one", "", "  indented"};
        holder.saveObjects = true;
        holder.maxLen = 30;
        holder.strings = {"alpha", "be@ta", ""};
        holder.objects = {1, -2, 3};
        plain.maxLen = 8;
        plain.strings = {"x", "", "y"};
        plain.objects = {0, 0, 0};
        radio.index = 2;
    }
    return w;
}

}  // namespace

// ---- Names and values ------------------------------------------------------

TEST(StreamToIniNames, FindNameComparesIgnoringCaseAndTakesTheFirstLine) {
    auto ini = WithLines({"[a=b]", "Alpha=1", "x", "ALPHA=2", "beta=", "gamma=g=h"});
    EXPECT_EQ(ini.FindName("alpha"), 1);
    EXPECT_EQ(ini.ReadValue("alpha"), "1");
    EXPECT_EQ(ini.FindName("[a"), -1) << "section lines are never looked up";
    EXPECT_EQ(ini.FindName("x"), -1) << "a line without = has no name";
    EXPECT_EQ(ini.FindName("beta"), 4);
    EXPECT_EQ(ini.ReadValue("beta"), "");
    EXPECT_EQ(ini.ReadValue("gamma"), "g=h");
    EXPECT_EQ(ini.FindName("delta"), -1);
    EXPECT_EQ(ini.ReadValue("delta"), "");
}

TEST(StreamToIniNames, ReadValueFallsBackToThePartAfterTheLastDot) {
    auto ini = WithLines({"EditSystemName=X", "Tag=9"});
    EXPECT_EQ(ini.ReadValue("frmKorvaneMain.EditSystemName"), "X");
    EXPECT_EQ(ini.FindName("a.b.Tag"), 1);
    EXPECT_EQ(ini.FindName("a.b.Other"), -1);

    ini.Add("FRMKORVANEMAIN.EDITSYSTEMNAME=Y");
    EXPECT_EQ(ini.ReadValue("frmKorvaneMain.EditSystemName"), "Y") << "the full name comes first";
    EXPECT_EQ(ini.ReadValue("EditSystemName"), "X");
}

TEST(StreamToIniNames, WriteValueReplacesAppendsAndDeletesWithoutFallback) {
    auto ini = WithLines({"[Properties]", "EditSystemName=X", "projectname=Old", "[Konyec szkazki]"});
    ini.WriteValue("ProjectName", "New");
    ini.WriteValue("w.EditSystemName", "Z");  // exact name only: appended
    EXPECT_EQ(ini.Lines(), (Lines{"[Properties]", "EditSystemName=X", "ProjectName=New", "[Konyec szkazki]",
                                  "w.EditSystemName=Z"}));
    ini.WriteValue("EDITSYSTEMNAME", "");
    ini.WriteValue("Missing", "");
    EXPECT_EQ(ini.Lines(), (Lines{"[Properties]", "ProjectName=New", "[Konyec szkazki]", "w.EditSystemName=Z"}));
    EXPECT_EQ(ini.FindName("w.EditSystemName"), 3);
    EXPECT_EQ(ini.FindName("projectname"), 1);
}

TEST(StreamToIniNames, LookupsFollowEveryKindOfLineChange) {
    // Lookups between the changes make sure a kept index never goes stale.
    TStreamToIni ini;
    auto naive = [&](const std::string& name) {
        for (int i = 0; i < ini.Count(); ++i) {
            const std::string& l = ini.Line(i);
            if (!l.empty() && l[0] != '[' && l.find('=') != std::string::npos &&
                SameText(l.substr(0, l.find('=')), name))
                return i;
        }
        return -1;
    };
    const Lines names = {"a", "b", "c", "d"};
    auto check = [&](const char* step) {
        for (const auto& n : names) EXPECT_EQ(ini.FindName(n), naive(n)) << step << " " << n;
    };
    ini.Add("b=1");
    check("add");
    ini.Add("a=1");
    ini.Add("B=2");
    check("add again");
    ini.Insert(0, "a=0");
    check("insert");
    ini.Delete(0);
    check("delete");
    ini.SetLine(0, "c=3");
    check("set line");
    ini.SetLine(1, "[a=1]");
    check("section");
    ini.WriteValue("d", "4");
    ini.WriteValue("c", "");
    check("write value");
    ini.Clear();
    check("clear");
    EXPECT_EQ(ini.Count(), 0);
}

// ---- Files -----------------------------------------------------------------

TEST(StreamToIniFiles, LoadAcceptsEveryLineEndAndDetectsTheFormat) {
    struct Case {
        std::string text;
        Lines lines;
        int format;
    } cases[] = {
        {"StreamToIni.FileFormat=1\r\na=1\nb=2\rc=3", {"StreamToIni.FileFormat=1", "a=1", "b=2", "c=3"}, 1},
        {"a=1\r\nstreamtoini.fileformat=1\r\n", {"a=1", "streamtoini.fileformat=1"}, 1},
        {"StreamToIni.FileFormat=01\r\n", {"StreamToIni.FileFormat=01"}, 0},
        {"StreamToIni.FileFormat=2\n", {"StreamToIni.FileFormat=2"}, 0},
        {"a=1\n\nb=2\n", {"a=1", "", "b=2"}, 0},
        {"", {}, 0},
    };
    for (const auto& c : cases) {
        auto ini = LoadedFrom(c.text);
        EXPECT_EQ(ini.Lines(), c.lines) << c.text;
        EXPECT_EQ(ini.FileFormat(), c.format) << c.text;
    }
}

TEST(StreamToIniFiles, LoadErrorsReachTheCallerAndKeepTheLines) {
    TempDir dir;
    auto ini = WithLines({"kept=1"});
    try {
        ini.LoadFromFile(dir.file("missing.srd"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(SystemErrorText(ENOENT)), std::string::npos) << e.what();
    }
    EXPECT_EQ(ini.Lines(), Lines{"kept=1"});
}

TEST(StreamToIniFiles, SaveDeclaresTheFormatAndAddsTheEndMarkerOnlyAfterANameOrRawLine) {
    struct Case {
        Lines lines;
        Lines written;
    } cases[] = {
        {{"a=1"}, {"StreamToIni.FileFormat=1", "a=1", "[Konyec szkazki]"}},
        {{"a=1", "YNraw item"}, {"StreamToIni.FileFormat=1", "a=1", "YNraw item", "[Konyec szkazki]"}},
        {{"a=1", "[Konyec szkazki]"}, {"StreamToIni.FileFormat=1", "a=1", "[Konyec szkazki]"}},
        {{"a=1", "[Other]"}, {"StreamToIni.FileFormat=1", "a=1", "[Other]"}},
        {{"a=1", ""}, {"StreamToIni.FileFormat=1", "a=1", ""}},
        {{"[S]", "streamtoini.fileformat=0", "x=1"}, {"[S]", "streamtoini.fileformat=1", "x=1", "[Konyec szkazki]"}},
        {{}, {"StreamToIni.FileFormat=1", "[Konyec szkazki]"}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        auto ini = WithLines(c.lines);
        ini.SaveToFile(dir.file("out.srd"));
        EXPECT_EQ(ReadRaw(dir.file("out.srd")), JoinCrLf(c.written));
    }
}

TEST(StreamToIniFiles, FailedSaveReportsThePlatformTextAndKeepsTheOldFile) {
    TempDir dir;
    auto ini = WithLines({"a=1"});
    try {
        ini.SaveToFile(dir.file("no/such/dir/p.srd"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(SystemErrorText(ENOENT)), std::string::npos) << e.what();
    }

    // A write that fails half way (file size limit) leaves the old file whole.
    const std::string path = dir.file("p.srd");
    WriteRaw(path, "old content\r\n");
    TStreamToIni big;
    for (int i = 0; i < 1000; ++i) big.Add("line" + std::to_string(i) + "=" + std::string(100, 'x'));
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        big.SaveToFile(path);
    } catch (const Error& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_NE(message.find(SystemErrorText(EFBIG)), std::string::npos) << message;
    EXPECT_EQ(ReadRaw(path), "old content\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";
}

// ---- Saving ----------------------------------------------------------------

TEST(StreamToIniSave, KindsWithoutControlsLeaveNoSectionAndAnEmptyCaptionNoLine) {
    MemoryFormWindow w("frmW", "");
    w.add("EditA", "TEdit").textValue = "x";
    w.add("LabelA", "TLabel");
    TStreamToIni ini;
    ini.SaveFormState(w, 0);
    EXPECT_EQ(ini.Lines(), (Lines{"[Form - frmW]", "[Captions]", "[Editboxes]", "frmW.EditA=x"}));

    MemoryFormWindow titled("frmW", "Title = here");
    TStreamToIni ini2;
    ini2.SaveFormState(titled, TStreamToIni::kKindCaption | TStreamToIni::kKindCheckBoxes);
    EXPECT_EQ(ini2.Lines(), (Lines{"[Form - frmW]", "[Captions]", "frmW.Caption=Title = here"}));
}

TEST(StreamToIniSave, EveryKindIsWrittenInItsFormat) {
    auto w = EveryKindWindow(true);
    w->get("ComboBoxTyped").itemList = {"INPT", "a,b", "say \"hi\"", "two words", ""};
    TStreamToIni ini;
    ini.SetOptions(0);  // item lists included
    ini.SaveFormState(*w, 0);
    EXPECT_EQ(ini.Lines(), SplitLines(R"([Form - frmAll]
[Captions]
frmAll.Caption=All kinds [Job]
[TFrames]
frmAll.FrameDir.Edit=/work/out
[Editboxes]
frmAll.EditName=Name with = and "quotes"
frmAll.EditCount=42
[ComboBoxes]
[TComboBox - ComboBoxLevel]
frmAll.ComboBoxLevel=1
frmAll.ComboBoxLevel.Content=(1,2,3)
[TComboBox - ComboBoxTyped]
frmAll.ComboBoxTyped=MASK
frmAll.ComboBoxTyped.Content=(INPT,"a,b","say ""hi""","two words",)
[IncComboBoxes]
[TIncCombo - frmAll.IncComboHist]
frmAll.IncComboHist=1
first==v1
second==v=2
[Checkboxes]
frmAll.CheckBoxOn=Y
[CheckListBoxes]
[TCheckListBox - frmAll.CheckListBoxFiles]
frmAll.CheckListBoxFiles=CheckListBoxFiles
frmAll.CheckListBoxFiles.Tag=7
YY/src/A.COB
NN/src/B.COB
[Memos]
[TMemo - frmAll.MemoNotes]
frmAll.MemoNotes=MemoNotes
line one

  indented
[StringListHolders]
[TStringListHolder - frmAll.HolderNames]
frmAll.HolderNames=HolderNames
frmAll.HolderNames.MaxLen=30
frmAll.HolderNames.SaveObjects=Y
1@alpha
-2@be@ta
3@
[TStringListHolder - frmAll.HolderPlain]
frmAll.HolderPlain=HolderPlain
frmAll.HolderPlain.MaxLen=8
frmAll.HolderPlain.SaveObjects=N
x

y
[RadioGroups]
frmAll.RadioGroupMode=2
)"));
}

TEST(StreamToIniSave, DefaultOptionsLeaveOutItemListsButNotEnabledFlags) {
    auto w = EveryKindWindow(true);
    TStreamToIni ini;
    ini.SaveFormState(*w, TStreamToIni::kKindComboBoxes | TStreamToIni::kKindIncCombos |
                              TStreamToIni::kKindCheckListBoxes);
    EXPECT_EQ(ini.Lines(), (Lines{"[Form - frmAll]", "[ComboBoxes]", "[TComboBox - ComboBoxLevel]",
                                  "frmAll.ComboBoxLevel=1", "[TComboBox - ComboBoxTyped]",
                                  "frmAll.ComboBoxTyped=MASK", "[IncComboBoxes]", "[TIncCombo - frmAll.IncComboHist]",
                                  "frmAll.IncComboHist=1", "[CheckListBoxes]",
                                  "[TCheckListBox - frmAll.CheckListBoxFiles]",
                                  "frmAll.CheckListBoxFiles=CheckListBoxFiles", "frmAll.CheckListBoxFiles.Tag=7",
                                  "YY/src/A.COB", "NN/src/B.COB"}));
}

TEST(StreamToIniSave, FrameEditsNeedTheEditKindAndClassesMustMatchExactly) {
    MemoryFormWindow w("frmW", "c");
    auto& frame = w.addFrame("FrameX", "TFrameFindDirectory");
    frame.add("Edit", "TEdit").textValue = "e";
    frame.add("Num", "TMrNumEdit").textValue = "5";
    frame.add("Other", "TEditEx").textValue = "no";
    auto& panel = w.add("PanelY", "TPanel");  // not a frame although it owns an edit
    panel.add("Edit", "TEdit").textValue = "no";
    w.add("EditDerived", "TEditEx").textValue = "no";
    w.add("CheckBoxDerived", "TCheckBoxEx");

    TStreamToIni only128;
    only128.SaveFormState(w, TStreamToIni::kKindFrameEdits);
    EXPECT_EQ(only128.Lines(), Lines{"[Form - frmW]"});

    TStreamToIni both;
    both.SaveFormState(w, TStreamToIni::kKindFrameEdits | TStreamToIni::kKindEditBoxes |
                              TStreamToIni::kKindCheckBoxes);
    EXPECT_EQ(both.Lines(), (Lines{"[Form - frmW]", "[TFrames]", "frmW.FrameX.Edit=e", "frmW.FrameX.Num=5"}));
}

TEST(StreamToIniSave, ExcludedFrameClassesAreLeftOutForOneWalk) {
    MemoryFormWindow w("frmW", "c");
    w.addFrame("FindExexEditor", "TFrameFindexec").add("Edit", "TEdit").textValue = "notepad";
    w.addFrame("FrameDir", "TFrameFindDirectory").add("Edit", "TEdit").textValue = "/out";
    w.addFrame("FrameOther", "TFrameOther").add("Edit", "TEdit").textValue = "o";
    const uint16_t kinds = TStreamToIni::kKindFrameEdits | TStreamToIni::kKindEditBoxes;

    TStreamToIni ini;
    ini.ExcludeClasses({"TFrameFindExec", "TFRAMEOTHER"});
    EXPECT_EQ(ini.ClassExclusion(), ".TFrameFindExec..TFRAMEOTHER.");
    ini.SaveFormState(w, kinds);
    EXPECT_EQ(ini.Lines(), (Lines{"[Form - frmW]", "[TFrames]", "frmW.FrameDir.Edit=/out"}));
    EXPECT_EQ(ini.ClassExclusion(), "");

    ini.SaveFormState(w, kinds);  // the exclusion applied to one walk only
    EXPECT_EQ(ini.Count(), 3 + 5);
    EXPECT_EQ(ini.Line(5), "frmW.FindExexEditor.Edit=notepad");

    TStreamToIni all;
    all.ExcludeClasses({"TFrameFindexec", "TFrameFindDirectory", "TFrameOther"});
    all.SaveFormState(w, kinds);
    EXPECT_EQ(all.Lines(), Lines{"[Form - frmW]"}) << "no frame left, no section line";
}

TEST(StreamToIniSave, OptionsAndExclusionAreResetAfterEveryWalk) {
    MemoryFormWindow w("frmW", "c");
    w.add("CheckBoxA", "TCheckBox");
    w.add("RadioGroupA", "TRadioGroup");
    TStreamToIni ini;
    ini.SetOptions(0);
    ini.ExcludeClasses({"TFrameFindExec"});
    ini.SaveFormState(w, 0);
    EXPECT_EQ(ini.Options(), 26);
    EXPECT_EQ(ini.ClassExclusion(), "");

    ini.SetOptions(0);
    ini.ExcludeClasses({"TFrameFindExec"});
    ini.LoadFormState(w);
    EXPECT_EQ(ini.Options(), 26);
    EXPECT_EQ(ini.ClassExclusion(), "");

    auto bad = WithLines({"frmW.RadioGroupA=x"});
    bad.SetOptions(0);
    bad.ExcludeClasses({"TFrameFindExec"});
    EXPECT_THROW(bad.LoadFormState(w), Error);
    EXPECT_EQ(bad.Options(), 26);
    EXPECT_EQ(bad.ClassExclusion(), "");
}

TEST(StreamToIniSave, TheMainWindowDumpFollowsKindOrderThenOwnershipOrder) {
    MemoryFormWindow w(kMain, "Korvane [ProdSys]");
    // Designed components, kinds interleaved as they sit on the pages.
    w.add("Panel3", "TPanel");
    w.add("RadioButtonCOB_85", "TRadioButton");
    w.add("GroupBoxNames", "TGroupBox");
    w.add("EditSystemName", "TEdit");
    w.add("CheckBoxCopyAdd", "TCheckBox");
    w.add("EditProductName", "TEdit");
    auto& dir = w.addFrame("FrameFindDirectoryOutputDir", "TFrameFindDirectory");
    dir.add("LabelCaption", "TLabel");
    dir.add("Edit", "TEdit").textValue = "/work/ProdSys";
    dir.add("SpeedButton", "TSpeedButton");
    for (const char* name : {"CheckBoxRealign", "CheckBoxRefine", "CheckBoxRenameVariables", "CheckBoxRemoveComp",
                             "CheckBoxReplaceNumericConstants", "CheckBoxReplaceLiterals"})
        w.add(name, "TCheckBox");
    w.add("ComboBoxRefactorLevel", "TComboBox").itemList = {"1", "2", "3"};
    for (const char* name : {"CheckBoxRelocateFiles", "CheckBoxRelocateDB", "CheckBoxRelocateTP",
                             "CheckBoxRestructure", "CheckBoxRefactorNestedBlocks"})
        w.add(name, "TCheckBox");
    w.add("CheckListBoxSelectedFiles", "TCheckListBox");
    w.add("CheckListBoxCSVForRename", "TCheckListBox");
    w.add("CheckListBoxCopyCollection", "TCheckListBox");
    w.add("MemoNewFileNames", "TMemo").memo = {"kept out"};
    w.add("EditObjects", "TEdit");
    w.add("CheckListBoxObjects", "TCheckListBox");
    w.add("EditCreateWrdList", "TEdit");
    w.add("ComboBoxCreateWrdList", "TComboBox");
    w.add("RichEditCTLWords", "TRichEdit");
    w.add("CheckListBoxControlTags", "TCheckListBox");
    w.add("EditCWrd", "TEdit");
    w.add("ComboBoxEditCWrd", "TComboBox");
    auto& editor = w.addFrame("FrameFindexecEditor", "TFrameFindexec");
    editor.add("Edit", "TEdit").textValue = "Notepad.exe";
    // Created at run time: a step's program picker.
    w.addFrame("FindExexVORL", "TFrameFindexec").add("Edit", "TEdit").textValue = "/tools/VORL";

    TStreamToIni ini;
    ini.ExcludeClasses({"TFrameFindExec"});
    ini.SaveFormState(w, 991);
    Lines expected = {"Caption", "FrameFindDirectoryOutputDir.Edit", "EditSystemName", "EditProductName",
                      "EditObjects", "EditCreateWrdList", "EditCWrd", "ComboBoxRefactorLevel",
                      "ComboBoxCreateWrdList", "ComboBoxEditCWrd", "CheckBoxCopyAdd", "CheckBoxRealign",
                      "CheckBoxRefine", "CheckBoxRenameVariables", "CheckBoxRemoveComp",
                      "CheckBoxReplaceNumericConstants", "CheckBoxReplaceLiterals", "CheckBoxRelocateFiles",
                      "CheckBoxRelocateDB", "CheckBoxRelocateTP", "CheckBoxRestructure",
                      "CheckBoxRefactorNestedBlocks"};
    for (const char* list : {"CheckListBoxSelectedFiles", "CheckListBoxCSVForRename", "CheckListBoxCopyCollection",
                             "CheckListBoxObjects", "CheckListBoxControlTags"}) {
        expected.push_back(list);
        expected.push_back(std::string(list) + ".Tag");
    }
    EXPECT_EQ(DumpNames(ini.Lines()), expected);
    Lines sections;
    for (const auto& l : ini.Lines())
        if (l[0] == '[' && (l.find(" - ") == std::string::npos || l.rfind("[Form - ", 0) == 0))
            sections.push_back(l);
    EXPECT_EQ(sections, (Lines{"[Form - frmKorvaneMain]", "[Captions]", "[TFrames]", "[Editboxes]", "[ComboBoxes]",
                               "[Checkboxes]", "[CheckListBoxes]"}));
}

TEST(StreamToIniSave, AProjectFileHoldsTheEndMarkerTwice) {
    MemoryFormWindow w(kMain, "Korvane [ProdSys]");
    w.add("EditSystemName", "TEdit").textValue = "Sys";
    w.add("CheckBoxRealign", "TCheckBox").isChecked = true;
    w.addFrame("FindExexScanner", "TFrameFindexec").add("Edit", "TEdit").textValue = "/tools/scan";
    TStreamToIni ini;
    ini.Add("[Properties]");
    ini.WriteValue("ProjectName", "ProdSys");
    ini.WriteValue("BatchRunning", "N");
    ini.WriteValue("LanguageVersion", "");
    ini.WriteValue("MaxDirDepth", "100");
    ini.Add("[Konyec szkazki]");
    ini.ExcludeClasses({"TFrameFindExec"});
    ini.SaveFormState(w, 991);
    TempDir dir;
    ini.SaveToFile(dir.file("ProdSys.srd"));
    EXPECT_EQ(ReadRaw(dir.file("ProdSys.srd")),
              JoinCrLf({"StreamToIni.FileFormat=1", "[Properties]", "ProjectName=ProdSys", "BatchRunning=N",
                        "MaxDirDepth=100", "[Konyec szkazki]", "[Form - frmKorvaneMain]", "[Captions]",
                        "frmKorvaneMain.Caption=Korvane [ProdSys]", "[Editboxes]", "frmKorvaneMain.EditSystemName=Sys",
                        "[Checkboxes]", "frmKorvaneMain.CheckBoxRealign=Y", "[Konyec szkazki]"}));

    TStreamToIni back;
    back.LoadFromFile(dir.file("ProdSys.srd"));
    EXPECT_EQ(back.FileFormat(), 1);
    EXPECT_EQ(back.ReadValue("projectname"), "ProdSys");
    EXPECT_EQ(back.ReadValue("LanguageVersion"), "");
    EXPECT_EQ(back.ReadValue("MaxDirDepth"), "100");
}

// ---- Restoring -------------------------------------------------------------

TEST(StreamToIniLoad, ComboBoxesSelectAnIndexBelowTheItemCountElseTakeTheText) {
    struct Case {
        std::string value;
        int index;
        std::string text;
    } cases[] = {
        {"2", 2, "3"}, {"0", 0, "1"}, {"08", 8, "9"}, {"12", -1, "12"}, {"9", -1, "9"},
        {"-1", -1, "-1"}, {" 2", -1, " 2"}, {"", -1, ""}, {"99999999999999999999", -1, "99999999999999999999"},
    };
    for (const auto& c : cases) {
        MemoryFormWindow w(kMain);
        auto& box = w.add("ComboBoxRefactorLevel", "TComboBox");
        box.itemList = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
        box.textValue = "old";
        auto ini = WithLines({"frmKorvaneMain.ComboBoxRefactorLevel=" + c.value});
        ini.SetKinds(TStreamToIni::kKindComboBoxes);
        ini.LoadFormState(w);
        EXPECT_EQ(box.index, c.index) << c.value;
        EXPECT_EQ(box.textValue, c.text) << c.value;
        EXPECT_EQ(box.itemList.size(), 9u) << "items stay with the default options";
    }
}

TEST(StreamToIniLoad, ComboBoxItemsComeFromTheContentLineWhenOptionTwoIsOff) {
    MemoryFormWindow w("frmW");
    auto& box = w.add("ComboBoxA", "TComboBox");
    auto& other = w.add("ComboBoxB", "TComboBox");
    other.itemList = {"gone"};
    auto ini = WithLines({"frmW.ComboBoxA=1", "frmW.ComboBoxA.Content=(x,\"a, b\" c\t,,\"q\"\"\")",
                          "frmW.ComboBoxB=text"});
    ini.SetOptions(0);
    ini.LoadFormState(w);
    EXPECT_EQ(box.itemList, (Lines{"x", "a, b", "c", "", "q\""}));
    EXPECT_EQ(box.index, 1);
    EXPECT_TRUE(other.itemList.empty()) << "no Content line: the items become empty";
    EXPECT_EQ(other.textValue, "text");
}

TEST(StreamToIniLoad, CheckListItemsTakeTwoFlagsInFormatOne) {
    auto ini = LoadedFrom(JoinCrLf({"StreamToIni.FileFormat=1", "[TCheckListBox - frmKorvaneMain.CheckListBoxSelectedFiles]",
                                    "frmKorvaneMain.CheckListBoxSelectedFiles=CheckListBoxSelectedFiles",
                                    "frmKorvaneMain.CheckListBoxSelectedFiles.Tag=3", "YNC:\\src\\A.COB",
                                    "NYC:\\src\\B.COB", "Y", "[Konyec szkazki]", "NNafter.section"}));
    for (bool restoreEnabled : {false, true}) {
        MemoryFormWindow w(kMain);
        auto& box = w.add("CheckListBoxSelectedFiles", "TCheckListBox");
        box.list.add("previous", true);
        if (restoreEnabled) ini.SetOptions(0);
        ini.LoadFormState(w);
        ASSERT_EQ(box.list.size(), 3u);
        EXPECT_EQ(box.list.tag(), 3);
        EXPECT_EQ(box.list.text(0), "C:\\src\\A.COB");
        EXPECT_TRUE(box.list.checked(0));
        EXPECT_EQ(box.list.at(0).enabled, !restoreEnabled);
        EXPECT_EQ(box.list.text(1), "C:\\src\\B.COB");
        EXPECT_FALSE(box.list.checked(1));
        EXPECT_TRUE(box.list.at(1).enabled);
        EXPECT_EQ(box.list.text(2), "");
        EXPECT_TRUE(box.list.checked(2));
    }
}

TEST(StreamToIniLoad, FormatZeroCheckListsDecideBetweenOneAndTwoFlags) {
    struct Case {
        Lines items;
        Lines texts;
        std::vector<bool> checks;
    } cases[] = {
        {{"YC:\\a", "NC:\\b"}, {"C:\\a", "C:\\b"}, {true, false}},
        {{"YNC:\\a", "NYC:\\b"}, {"C:\\a", "C:\\b"}, {true, false}},
        {{"YNC:\\a", "Nb"}, {"NC:\\a", "b"}, {true, false}},
        {{"YY", "N"}, {"Y", ""}, {true, false}},
        {{"yy"}, {"y"}, {true}},
    };
    for (const auto& c : cases) {
        Lines lines = {"frmW.CheckListBoxA=CheckListBoxA"};  // no Tag line: items right below
        lines.insert(lines.end(), c.items.begin(), c.items.end());
        lines.push_back("");
        lines.push_back("NNnot an item");
        auto ini = LoadedFrom(JoinCrLf(lines));
        ASSERT_EQ(ini.FileFormat(), 0);
        MemoryFormWindow w("frmW");
        auto& box = w.add("CheckListBoxA", "TCheckListBox");
        box.list.setTag(5);
        ini.LoadFormState(w);
        Lines texts;
        std::vector<bool> checks;
        for (const auto& e : box.list.entries()) {
            texts.push_back(e.text);
            checks.push_back(e.checked);
        }
        EXPECT_EQ(texts, c.texts) << c.items[0];
        EXPECT_EQ(checks, c.checks) << c.items[0];
        EXPECT_EQ(box.list.tag(), 5) << "no Tag line keeps the Tag";
    }
}

TEST(StreamToIniLoad, SortedCheckListsTakeTheirItemsInOrder) {
    MemoryFormWindow w("frmW");
    auto& box = w.add("CheckListBoxA", "TCheckListBox");
    box.list.setSorted(true);
    auto ini = WithLines({"frmW.CheckListBoxA=CheckListBoxA", "frmW.CheckListBoxA.Tag=0", "YYc", "NYA", "YYb"});
    ini.LoadFormState(w);
    ASSERT_EQ(box.list.size(), 3u);
    EXPECT_EQ(box.list.text(0), "A");
    EXPECT_FALSE(box.list.checked(0));
    EXPECT_EQ(box.list.text(2), "c");
    EXPECT_TRUE(box.list.checked(2));
}

TEST(StreamToIniLoad, MemoBlocksRunToASectionLineOrTheEnd) {
    MemoryFormWindow w("frmW");
    auto& first = w.add("MemoA", "TMemo");
    auto& last = w.add("MemoB", "TMemo");
    auto ini = WithLines({"[TMemo - frmW.MemoA]", "frmW.MemoA=MemoA", "one", "", "x=y", "[TMemo - frmW.MemoB]",
                          "frmW.MemoB=MemoB", "tail 1", "", "tail 2", ""});
    ini.LoadFormState(w);
    EXPECT_EQ(first.memo, (Lines{"one", "", "x=y"}));
    EXPECT_EQ(last.memo, (Lines{"tail 1", "", "tail 2", ""}));
    EXPECT_TRUE(first.modified);
    EXPECT_TRUE(last.modified);
}

TEST(StreamToIniLoad, IncrementalComboItemsAndValues) {
    MemoryFormWindow w("frmW");
    auto& box = w.add("IncComboA", "TIncCombo");
    box.itemList = {"old"};
    box.values = {"o"};
    box.trimItemsOnAdd = true;
    auto ini = WithLines({"frmW.IncComboA=1", "a==1", "b  ==x==y", "a==2", "noValue", "", "c==3"});
    ini.LoadFormState(w);
    EXPECT_EQ(box.itemList, Lines{"old"}) << "option 8 leaves the items alone";
    EXPECT_EQ(box.textValue, "1");

    ini.SetOptions(0);
    ini.LoadFormState(w);
    EXPECT_EQ(box.itemList, (Lines{"a", "b", "noValue"}));
    EXPECT_EQ(box.values, (Lines{"1", "x==y", ""}));
    EXPECT_EQ(box.index, 1);
    EXPECT_EQ(box.textValue, "b");
}

TEST(StreamToIniLoad, StringListHolderBlocks) {
    // Format 1, with a SaveObjects line: strings three lines below the name.
    auto withObjects = LoadedFrom(JoinCrLf({"StreamToIni.FileFormat=1", "frmW.H=H", "frmW.H.MaxLen=12",
                                            "frmW.H.SaveObjects=Y", "4@a@b", "-1@", "0@x", "[Konyec szkazki]"}));
    MemoryFormWindow w("frmW");
    auto& h = w.add("H", "TStringListHolder");
    h.strings = {"old"};
    h.objects = {9};
    withObjects.LoadFormState(w);
    EXPECT_EQ(h.maxLen, 12);
    EXPECT_TRUE(h.saveObjects);
    EXPECT_EQ(h.strings, (Lines{"a@b", "", "x"}));
    EXPECT_EQ(h.objects, (std::vector<int>{4, -1, 0}));
    // Empty lines belong to the block too; one has no "@" and no number, which ends the restore.
    auto strict = LoadedFrom(JoinCrLf({"StreamToIni.FileFormat=1", "frmW.H=H", "frmW.H.MaxLen=12",
                                       "frmW.H.SaveObjects=Y", "1@a", "", "[Konyec szkazki]"}));
    EXPECT_THROW(strict.LoadFormState(w), Error);

    // Format 1 without a SaveObjects line: strings two lines below, empty lines kept.
    auto plain = LoadedFrom(JoinCrLf({"StreamToIni.FileFormat=1", "frmW.H=H", "frmW.H.MaxLen=3", "s1", "", "s2"}));
    h.saveObjects = false;
    h.maxLen = 99;
    plain.LoadFormState(w);
    EXPECT_EQ(h.maxLen, 3);
    EXPECT_EQ(h.strings, (Lines{"s1", "", "s2"}));

    // Format 0: the comma text of the name line's value between its first and last character.
    auto old = LoadedFrom(JoinCrLf({"frmW.H=(one,\"two three\",,four)", "ignored"}));
    h.maxLen = 99;
    old.LoadFormState(w);
    EXPECT_EQ(h.maxLen, 0) << "cleared, no MaxLen line";
    EXPECT_EQ(h.strings, (Lines{"one", "two three", "", "four"}));
}

TEST(StreamToIniLoad, FrameEditsFallBackToTheEditNameThenTheFrameName) {
    struct Case {
        Lines lines;
        std::string text;
    } cases[] = {
        {{"Edit=short", "frmW.FrameDir.Edit=full"}, "full"},
        {{"frmW.FrameDir=frame line", "Edit=short"}, "short"},
        {{"frmW.FrameDir=frame line"}, "frame line"},
        {{"FrameDir=bare frame"}, "bare frame"},
        {{"frmW.Other.Edit=x"}, "unchanged"},
    };
    for (const auto& c : cases) {
        MemoryFormWindow w("frmW");
        auto& edit = w.addFrame("FrameDir", "TFrameFindDirectory").add("Edit", "TEdit");
        edit.textValue = "unchanged";
        auto ini = WithLines(c.lines);
        ini.LoadFormState(w);
        EXPECT_EQ(edit.textValue, c.text) << c.lines[0];
    }
}

TEST(StreamToIniLoad, ExcludedFramesAreNotRestored) {
    MemoryFormWindow w("frmW");
    auto& edit = w.addFrame("FindExexA", "TFrameFindexec").add("Edit", "TEdit");
    edit.textValue = "kept";
    auto ini = WithLines({"frmW.FindExexA.Edit=new"});
    ini.ExcludeClasses({"TFrameFindExec"});
    ini.LoadFormState(w);
    EXPECT_EQ(edit.textValue, "kept");
    ini.LoadFormState(w);
    EXPECT_EQ(edit.textValue, "new");
}

TEST(StreamToIniLoad, MissingLinesLeaveControlsUnchangedAndUnknownLinesAreIgnored) {
    auto w = EveryKindWindow(true);
    w->captionValue = "Caption";
    auto ini = WithLines({"frmAll.Caption=Restored", "frmAll.Unknown=1", "frmAll.EditGone=x", "frmOther.EditName=no",
                          "[TCheckListBox - frmAll.CheckListBoxGone]", "frmAll.CheckListBoxGone=CheckListBoxGone",
                          "YYz", "frmAll.CheckBoxOn=N"});
    ini.LoadFormState(*w);
    EXPECT_EQ(w->captionValue, "Restored");
    EXPECT_FALSE(w->get("CheckBoxOn").isChecked);
    for (const char* name : {"Edit", "EditName", "EditCount", "ComboBoxLevel", "ComboBoxTyped", "IncComboHist",
                             "MemoNotes", "HolderNames", "HolderPlain", "RadioGroupMode"})
        EXPECT_FALSE(AnyCallOf(*w, name)) << name;
    EXPECT_EQ(w->get("EditName").textValue, "Name with = and \"quotes\"");
    EXPECT_EQ(w->get("CheckListBoxFiles").list.size(), 2u);
    EXPECT_EQ(w->get("RadioGroupMode").index, 2);
    EXPECT_EQ(w->calls, (Lines{"frmAll.setCaption(Restored)", "CheckBoxOn.setChecked(false)"}));
}

TEST(StreamToIniLoad, RestoringRunsTheOrdinarySettersInKindOrder) {
    MemoryFormWindow w("frmW");
    w.add("CheckBoxA", "TCheckBox");
    w.add("EditA", "TEdit");
    w.add("RadioGroupA", "TRadioGroup");
    w.add("ComboBoxA", "TComboBox").itemList = {"x", "y"};
    auto ini = WithLines({"frmW.RadioGroupA=1", "frmW.CheckBoxA=true", "frmW.ComboBoxA=1", "frmW.EditA=e"});
    ini.LoadFormState(w);
    EXPECT_EQ(w.calls, (Lines{"frmW.setCaption()", "EditA.setText(e)", "ComboBoxA.setItemIndex(1)",
                              "CheckBoxA.setChecked(true)", "RadioGroupA.setItemIndex(1)"}));
}

TEST(StreamToIniLoad, BadValuesEndTheRestoreAndEarlierControlsKeepTheirState) {
    struct Case {
        const char* what;
        Lines lines;
        std::string message;
    } cases[] = {
        {"tag", {"frmW.CheckListBoxA=CheckListBoxA", "frmW.CheckListBoxA.Tag=x", "YYitem"},
         "'x' is not a valid integer value"},
        {"check box", {"frmW.CheckBoxA=yes"}, "yes is not valid boolean value (Y,J,I,N,True,False)"},
        {"flag", {"frmW.CheckListBoxA=CheckListBoxA", "YYgood", "XYbad", "YYnever"},
         "X is not valid boolean value (Y,J,I,N,True,False)"},
        {"max len", {"frmW.H=H", "frmW.H.MaxLen=1.5"}, "'1.5' is not a valid integer value"},
        {"object", {"frmW.H=H", "frmW.H.MaxLen=1", "frmW.H.SaveObjects=Y", "q@s"},
         "'q' is not a valid integer value"},
        {"radio", {"frmW.RadioGroupA=one"}, "'one' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        MemoryFormWindow w("frmW");
        auto& edit = w.add("EditA", "TEdit");
        auto& check = w.add("CheckBoxA", "TCheckBox");
        auto& list = w.add("CheckListBoxA", "TCheckListBox");
        list.list.add("previous");
        w.add("H", "TStringListHolder");
        auto& radio = w.add("RadioGroupA", "TRadioGroup");
        radio.index = 3;
        Lines lines = {"StreamToIni.FileFormat=1", "frmW.EditA=restored"};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        auto ini = LoadedFrom(JoinCrLf(lines));
        try {
            ini.LoadFormState(w);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.what;
        }
        EXPECT_EQ(edit.textValue, "restored") << c.what;
        EXPECT_FALSE(check.isChecked) << c.what;
        if (std::string(c.what) == "flag") {
            ASSERT_EQ(list.list.size(), 1u);
            EXPECT_EQ(list.list.text(0), "good");
        } else if (std::string(c.what) == "tag") {
            EXPECT_EQ(list.list.size(), 0u) << "cleared before the Tag was read";
        }
        if (std::string(c.what) != "radio") {
            EXPECT_EQ(radio.index, 3) << c.what << ": later controls untouched";
        }
    }
}

TEST(StreamToIniLoad, TruncatedFilesAndBinaryBytesDoNotBreakTheRestore) {
    // A file cut in the middle of a check-list item, without its end marker.
    auto cut = LoadedFrom("StreamToIni.FileFormat=1\r\nfrmW.EditA=e\r\nfrmW.CheckListBoxA=CheckListBoxA\r\n"
                          "frmW.CheckListBoxA.Tag=2\r\nYYfirst\r\nNYsec");
    MemoryFormWindow w("frmW");
    auto& edit = w.add("EditA", "TEdit");
    auto& list = w.add("CheckListBoxA", "TCheckListBox");
    auto& memo = w.add("MemoA", "TMemo");
    memo.memo = {"kept"};
    cut.LoadFormState(w);
    EXPECT_EQ(edit.textValue, "e");
    ASSERT_EQ(list.list.size(), 2u);
    EXPECT_EQ(list.list.text(1), "sec");
    EXPECT_EQ(memo.memo, Lines{"kept"});

    // A name line cut after its "=" restores an empty value.
    auto cutName = LoadedFrom("frmW.EditA=");
    cutName.LoadFormState(w);
    EXPECT_EQ(edit.textValue, "");

    // Control bytes, bytes above 127 and NUL inside values travel unchanged.
    const std::string odd = std::string("a\0b\x01\x7f\xff\xfe=", 8) + "\xc3\xa9";
    MemoryFormWindow src("frmW");
    src.add("EditA", "TEdit").textValue = odd;
    src.add("CheckListBoxA", "TCheckListBox").list.add(odd, true);
    src.add("MemoA", "TMemo").memo = {odd, std::string(1, '\0')};
    TempDir dir;
    TStreamToIni out;
    out.SaveFormState(src, 0);
    out.SaveToFile(dir.file("odd.srd"));
    TStreamToIni in;
    in.LoadFromFile(dir.file("odd.srd"));
    in.LoadFormState(w);
    EXPECT_EQ(edit.textValue, odd);
    ASSERT_EQ(list.list.size(), 1u);
    EXPECT_EQ(list.list.text(0), odd);
    EXPECT_EQ(memo.memo, (Lines{odd, std::string(1, '\0')}));

    // Garbage that holds no name line at all changes nothing.
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(char((i * 37 + 11) & 0xff));
    garbage.erase(std::remove(garbage.begin(), garbage.end(), '='), garbage.end());
    auto junk = LoadedFrom(garbage);
    w.calls.clear();
    junk.LoadFormState(w);
    EXPECT_EQ(w.calls, Lines{"frmW.setCaption()"});
}

// ---- Round trips and size --------------------------------------------------

TEST(StreamToIniRoundTrip, EveryKindComesBackByteForByte) {
    for (uint16_t options : {uint16_t(26), uint16_t(0)}) {
        TempDir dir;
        auto original = EveryKindWindow(true);
        TStreamToIni first;
        first.SetOptions(options);
        first.SaveFormState(*original, 0);
        first.SaveToFile(dir.file("1.srd"));

        auto fresh = EveryKindWindow(false);
        TStreamToIni load;
        load.LoadFromFile(dir.file("1.srd"));
        load.SetOptions(options);
        load.LoadFormState(*fresh);
        EXPECT_EQ(fresh->get("CheckListBoxFiles").list.at(1).enabled, options != 0);
        EXPECT_TRUE(fresh->get("MemoNotes").modified);

        TStreamToIni second;
        second.SetOptions(options);
        second.SaveFormState(*fresh, 0);
        second.SaveToFile(dir.file("2.srd"));
        if (options == 0) {
            EXPECT_EQ(ReadRaw(dir.file("2.srd")), ReadRaw(dir.file("1.srd")));
        } else {
            // The enabled flags are written but not restored with the default options.
            std::string expected = ReadRaw(dir.file("1.srd"));
            expected.replace(expected.find("NN/src/B.COB"), 2, "NY");
            EXPECT_EQ(ReadRaw(dir.file("2.srd")), expected);
        }
    }
}

TEST(StreamToIniRoundTrip, LinesWithLineBreaksAreLeftOutAndTheRestComesBack) {
    TempDir dir;
    MemoryFormWindow src("frmW", "Caption\r\nbroken");
    src.add("EditA", "TEdit").textValue = "one\ntwo";
    src.add("EditB", "TEdit").textValue = "fine";
    auto& files = src.add("CheckListBoxA", "TCheckListBox");
    files.list.add("/src/a.cob", true);
    files.list.add("/src/new\nline.cob", false);
    files.list.add("/src/cr\rname.cob", true);
    files.list.add("/src/y.cob", true);
    files.list.add("/src/crlf\r\nname.cob", true);
    files.list.add("/src/z.cob", false);
    src.add("CheckListBoxB", "TCheckListBox").list.add("/copy/b.cpy", true);
    src.add("MemoNotes", "TMemo").memo = {"kept", "bro\rken", "also kept"};
    TStreamToIni out;
    out.SaveFormState(src, 0);
    out.SaveToFile(dir.file("w.srd"));

    // No CR or LF in the file but the line ends.
    std::string bytes = ReadRaw(dir.file("w.srd"));
    for (size_t pos; (pos = bytes.find("\r\n")) != std::string::npos;) bytes.erase(pos, 2);
    EXPECT_EQ(bytes.find_first_of("\r\n"), std::string::npos);

    MemoryFormWindow dst("frmW", "before");
    dst.add("EditA", "TEdit").textValue = "untouched";
    dst.add("EditB", "TEdit");
    auto& a = dst.add("CheckListBoxA", "TCheckListBox");
    auto& b = dst.add("CheckListBoxB", "TCheckListBox");
    auto& memo = dst.add("MemoNotes", "TMemo");
    TStreamToIni in;
    in.LoadFromFile(dir.file("w.srd"));
    ASSERT_NO_THROW(in.LoadFormState(dst));
    EXPECT_EQ(dst.captionValue, "");
    EXPECT_EQ(dst.get("EditA").textValue, "untouched");
    EXPECT_EQ(dst.get("EditB").textValue, "fine");
    ASSERT_EQ(a.list.size(), 3u);
    EXPECT_EQ(a.list.text(0), "/src/a.cob");
    EXPECT_EQ(a.list.text(1), "/src/y.cob");
    EXPECT_EQ(a.list.text(2), "/src/z.cob");
    EXPECT_TRUE(a.list.checked(0) && a.list.checked(1) && !a.list.checked(2));
    ASSERT_EQ(b.list.size(), 1u);
    EXPECT_EQ(b.list.text(0), "/copy/b.cpy");
    EXPECT_EQ(memo.memo, (Lines{"kept", "also kept"}));
}

TEST(StreamToIniRoundTrip, HundredThousandItemsAndMegabyteLinesStayFast) {
    const int kItems = 100000;
    const std::string megabyte(1 << 20, 'M');
    MemoryFormWindow src("frmW", "big");
    src.add("EditBig", "TEdit").textValue = megabyte;
    auto& list = src.add("CheckListBoxA", "TCheckListBox");
    std::vector<CheckEntry> entries;
    for (int i = 0; i < kItems; ++i) entries.push_back({"/src/file" + std::to_string(i) + ".cob", i % 3 == 0, true});
    list.list.assign(entries);
    src.add("CheckListBoxB", "TCheckListBox").list.add("b", true);
    src.add("MemoBig", "TMemo").memo = {megabyte, megabyte};

    auto start = std::chrono::steady_clock::now();
    TempDir dir;
    TStreamToIni out;
    out.SaveFormState(src, 0);
    out.SaveToFile(dir.file("big.srd"));

    MemoryFormWindow dst("frmW");
    dst.add("EditBig", "TEdit");
    auto& back = dst.add("CheckListBoxA", "TCheckListBox");
    auto& b = dst.add("CheckListBoxB", "TCheckListBox");
    auto& memo = dst.add("MemoBig", "TMemo");
    TStreamToIni in;
    in.LoadFromFile(dir.file("big.srd"));
    in.LoadFormState(dst);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    EXPECT_EQ(dst.get("EditBig").textValue, megabyte);
    ASSERT_EQ(back.list.size(), size_t(kItems));
    EXPECT_EQ(back.list.checkedCount(), (kItems + 2) / 3);
    EXPECT_EQ(b.list.size(), 1u);
    EXPECT_EQ(memo.memo, (Lines{megabyte, megabyte}));
    EXPECT_LT(seconds, 10.0);

    TStreamToIni again;
    again.SaveFormState(dst, 0);
    again.SaveToFile(dir.file("again.srd"));
    EXPECT_TRUE(ReadRaw(dir.file("big.srd")) == ReadRaw(dir.file("again.srd")));
}
