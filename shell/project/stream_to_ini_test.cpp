#include "shell/project/stream_to_ini.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>

#include "shared/errors.h"
#include "shared/text.h"
#include "shared/test_support.h"
#include "shared/platform/files.h"
#include "shell/project/form_tree_memory.h"

using namespace korvane;
using korvane::testing::ErrorOf;
using Lines = std::vector<std::string>;

namespace {

TStreamToIni WithLines(const Lines& lines) {
    TStreamToIni ini;
    for (const auto& l : lines) ini.Add(l);
    return ini;
}

std::string JoinCrLf(const Lines& lines) {
    std::string r;
    for (const auto& l : lines) r += l + "\r\n";
    return r;
}

// Loads text as a file does, so that FileFormat follows the text.
TStreamToIni LoadedFrom(const std::string& text) {
    korvane::testing::TempDir dir("korvane-sti");
    korvane::testing::PutFile(dir / "f.srd", text);
    TStreamToIni ini;
    ini.LoadFromFile(dir / "f.srd");
    return ini;
}
TStreamToIni LoadedFrom(const Lines& lines) { return LoadedFrom(JoinCrLf(lines)); }

// The state of src saved to a file (whose bytes go to *bytes) and read back.
TStreamToIni SavedAndLoaded(FormWindow& src, std::string* bytes = nullptr,
                            uint16_t options = TStreamToIni::kDefaultOptions) {
    TStreamToIni out;
    out.SetOptions(options);
    out.SaveFormState(src, 0);
    korvane::testing::TempDir dir("korvane-sti");
    out.SaveToFile(dir / "w.srd");
    if (bytes) *bytes = ReadFileBytes(dir / "w.srd");
    TStreamToIni in;
    in.LoadFromFile(dir / "w.srd");
    in.SetOptions(options);
    return in;
}

// A check-list as its item lines: the checked and enabled flags, the text.
Lines Items(const CheckList& list) {
    Lines r;
    for (const CheckEntry& e : list.entries())
        r.push_back(std::string(e.checked ? "Y" : "N") + (e.enabled ? "Y" : "N") + e.text);
    return r;
}

bool AnyCallOf(const MemoryFormWindow& w, const std::string& component) {
    return std::any_of(w.calls.begin(), w.calls.end(),
                       [&](const std::string& c) { return c.rfind(component + ".", 0) == 0; });
}

// A window with one control of every kind (two of some), owned in an order
// that mixes the kinds. With filled false it has the same structure and
// designed items but none of the state.
std::unique_ptr<MemoryFormWindow> EveryKindWindow(bool filled) {
    auto w = std::make_unique<MemoryFormWindow>("frmAll", filled ? "All kinds [Job]" : "");
    auto& radio = w->add("RadioGroupMode", "TRadioGroup");
    auto& edit = w->add("EditName", "TEdit");
    auto& check = w->add("CheckBoxOn", "TCheckBox");
    auto& frame = w->addFrame("FrameDir", "TFrameFindDirectory");
    frame.add("LabelCaption", "TLabel");
    auto& frameEdit = frame.add("Edit", "TEdit");
    auto& combo = w->add("ComboBoxLevel", "TComboBox");
    combo.itemList = {"1", "2", "3"};
    auto& holder = w->add("HolderNames", "TStringListHolder");
    auto& memo = w->add("MemoNotes", "TMemo");
    auto& num = w->add("EditCount", "TMrNumEdit");
    auto& inc = w->add("IncComboHist", "TIncCombo");
    auto& typed = w->add("ComboBoxTyped", "TComboBox");
    typed.itemList = {"INPT", "OTPT"};
    auto& list = w->add("CheckListBoxFiles", "TCheckListBox");
    auto& plain = w->add("HolderPlain", "TStringListHolder");
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

TEST(StreamToIniNames, FindNameIgnoresCaseTakesTheFirstLineThenThePartAfterTheLastDot) {
    const auto ini = WithLines({"[a=b]", "Alpha=1", "x", "ALPHA=2", "beta=", "gamma=g=h", "Edit=X", "W.EDIT=Y"});
    struct Case {
        const char* name;
        int index;
        const char* value;
    } cases[] = {
        {"alpha", 1, "1"},   {"beta", 4, ""},
        {"gamma", 5, "g=h"}, {"delta", -1, ""},
        {"[a", -1, ""},      // section lines are never looked up
        {"x", -1, ""},       // a line without = has no name
        {"w.Edit", 7, "Y"},  // the full name comes first
        {"v.Edit", 6, "X"},  {"a.b.Alpha", 1, "1"},
        {"a.b.Other", -1, ""}, {"Edit", 6, "X"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.FindName(c.name), c.index) << c.name;
        EXPECT_EQ(ini.ReadValue(c.name), c.value) << c.name;
    }
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
    auto check = [&](const char* step) {
        for (const char* n : {"a", "b", "c", "d"}) EXPECT_EQ(ini.FindName(n), naive(n)) << step << " " << n;
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
    korvane::testing::TempDir dir("korvane-sti");
    for (const auto& c : cases) {
        auto ini = WithLines(c.lines);
        ini.SaveToFile(dir / "out.srd");
        EXPECT_EQ(ReadFileBytes(dir / "out.srd"), JoinCrLf(c.written));
    }
}

TEST(StreamToIniFiles, FileErrorsReportThePlatformTextAndKeepTheLinesAndTheOldFile) {
    korvane::testing::TempDir dir("korvane-sti");
    auto ini = WithLines({"kept=1"});
    const std::string loadError = ErrorOf([&] { ini.LoadFromFile(dir / "missing.srd"); });
    EXPECT_NE(loadError.find(SystemErrorText(ENOENT)), std::string::npos) << loadError;
    EXPECT_EQ(ini.Lines(), Lines{"kept=1"});
    const std::string saveError = ErrorOf([&] { ini.SaveToFile(dir / "no/such/dir/p.srd"); });
    EXPECT_NE(saveError.find(SystemErrorText(ENOENT)), std::string::npos) << saveError;

    // A write that fails half way (file size limit) leaves the old file whole.
    const std::string path = dir / "p.srd";
    korvane::testing::PutFile(path, "old content\r\n");
    TStreamToIni big;
    for (int i = 0; i < 1000; ++i) big.Add("line" + std::to_string(i) + "=" + std::string(100, 'x'));
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = ErrorOf([&] { big.SaveToFile(path); });
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_NE(message.find(SystemErrorText(EFBIG)), std::string::npos) << message;
    EXPECT_EQ(ReadFileBytes(path), "old content\r\n");
    EXPECT_EQ(ListDirectory(dir.path()).size(), 1u) << "no temporary file is left behind";
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

// Kind by kind, each kind's controls in the order the window owns them.
TEST(StreamToIniSave, EveryKindIsWrittenInItsFormatInKindOrder) {
    auto w = EveryKindWindow(true);
    w->get("ComboBoxTyped").itemList = {"INPT", "a,b", "say \"hi\"", "two words", ""};
    const Lines all = SplitLines(R"([Form - frmAll]
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
)");
    TStreamToIni ini;
    ini.SetOptions(0);  // item lists included
    ini.SaveFormState(*w, 0);
    EXPECT_EQ(ini.Lines(), all);

    // The default options leave out the item lists, not the enabled flags.
    Lines withoutItems;
    for (const std::string& l : all)
        if (l.find(".Content=") == std::string::npos && l.find("==") == std::string::npos) withoutItems.push_back(l);
    TStreamToIni defaults;
    defaults.SaveFormState(*w, 0);
    EXPECT_EQ(defaults.Lines(), withoutItems);
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

TEST(StreamToIniSave, ExcludedFrameClassesAndOptionsHoldForOneWalk) {
    MemoryFormWindow w("frmW", "c");
    auto& picker = w.addFrame("FindExexEditor", "TFrameFindexec").add("Edit", "TEdit");
    picker.textValue = "notepad";
    w.addFrame("FrameDir", "TFrameFindDirectory").add("Edit", "TEdit").textValue = "/out";
    w.addFrame("FrameOther", "TFrameOther").add("Edit", "TEdit").textValue = "o";
    w.add("RadioGroupA", "TRadioGroup");
    const uint16_t kinds = TStreamToIni::kKindFrameEdits | TStreamToIni::kKindEditBoxes;

    TStreamToIni ini;
    ini.SetOptions(0);
    ini.ExcludeClasses({"TFrameFindExec", "TFRAMEOTHER"});
    EXPECT_EQ(ini.ClassExclusion(), ".TFrameFindExec..TFRAMEOTHER.");
    ini.SaveFormState(w, kinds);
    EXPECT_EQ(ini.Lines(), (Lines{"[Form - frmW]", "[TFrames]", "frmW.FrameDir.Edit=/out"}));
    EXPECT_EQ(ini.ClassExclusion(), "");
    EXPECT_EQ(ini.Options(), 26);
    ini.SaveFormState(w, kinds);
    EXPECT_EQ(ini.Count(), 3 + 5);
    EXPECT_EQ(ini.Line(5), "frmW.FindExexEditor.Edit=notepad");

    TStreamToIni all;
    all.ExcludeClasses({"TFrameFindexec", "TFrameFindDirectory", "TFrameOther"});
    all.SaveFormState(w, kinds);
    EXPECT_EQ(all.Lines(), Lines{"[Form - frmW]"}) << "no frame left, no section line";

    // Restoring: left out once, restored the next time; a restore that ends
    // with an error resets them as well.
    auto restore = WithLines({"frmW.FindExexEditor.Edit=new"});
    restore.SetOptions(0);
    restore.ExcludeClasses({"TFrameFindExec"});
    restore.LoadFormState(w);
    EXPECT_EQ(picker.textValue, "notepad");
    EXPECT_EQ(restore.Options(), 26);
    restore.LoadFormState(w);
    EXPECT_EQ(picker.textValue, "new");
    auto bad = WithLines({"frmW.RadioGroupA=x"});
    bad.SetOptions(0);
    bad.ExcludeClasses({"TFrameFindExec"});
    EXPECT_THROW(bad.LoadFormState(w), Error);
    EXPECT_EQ(bad.Options(), 26);
    EXPECT_EQ(bad.ClassExclusion(), "");
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
        MemoryFormWindow w("frmKorvaneMain");
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
    auto ini = LoadedFrom(Lines{"StreamToIni.FileFormat=1", "[TCheckListBox - frmW.CheckListBoxA]",
                                "frmW.CheckListBoxA=CheckListBoxA", "frmW.CheckListBoxA.Tag=3", "YNC:\\src\\A.COB",
                                "NYC:\\src\\B.COB", "Y", "[Konyec szkazki]", "NNafter.section"});
    for (bool restoreEnabled : {false, true}) {
        MemoryFormWindow w("frmW");
        auto& box = w.add("CheckListBoxA", "TCheckListBox");
        box.list.add("previous", true);
        if (restoreEnabled) ini.SetOptions(0);
        ini.LoadFormState(w);
        EXPECT_EQ(box.list.tag(), 3);
        // With the enabled flags restored, a line without one reads as disabled.
        EXPECT_EQ(Items(box.list), (Lines{restoreEnabled ? "YNC:\\src\\A.COB" : "YYC:\\src\\A.COB",
                                          "NYC:\\src\\B.COB", restoreEnabled ? "YN" : "YY"}));
    }
    // A sorted list takes its items in its order.
    MemoryFormWindow w("frmW");
    auto& sorted = w.add("CheckListBoxA", "TCheckListBox");
    sorted.list.setSorted(true);
    WithLines({"frmW.CheckListBoxA=CheckListBoxA", "frmW.CheckListBoxA.Tag=0", "YYc", "NYA", "YYb"}).LoadFormState(w);
    EXPECT_EQ(Items(sorted.list), (Lines{"NYA", "YYb", "YYc"}));
}

TEST(StreamToIniLoad, FormatZeroCheckListsDecideBetweenOneAndTwoFlags) {
    struct Case {
        Lines items;
        Lines restored;  // with the enabled flags as the default options leave them
    } cases[] = {
        {{"YC:\\a", "NC:\\b"}, {"YYC:\\a", "NYC:\\b"}},
        {{"YNC:\\a", "NYC:\\b"}, {"YYC:\\a", "NYC:\\b"}},
        {{"YNC:\\a", "Nb"}, {"YYNC:\\a", "NYb"}},
        {{"YY", "N"}, {"YYY", "NY"}},
        {{"yy"}, {"YYy"}},
    };
    for (const auto& c : cases) {
        Lines lines = {"frmW.CheckListBoxA=CheckListBoxA"};  // no Tag line: items right below
        lines.insert(lines.end(), c.items.begin(), c.items.end());
        lines.push_back("");
        lines.push_back("NNnot an item");
        auto ini = LoadedFrom(lines);
        ASSERT_EQ(ini.FileFormat(), 0);
        MemoryFormWindow w("frmW");
        auto& box = w.add("CheckListBoxA", "TCheckListBox");
        box.list.setTag(5);
        ini.LoadFormState(w);
        EXPECT_EQ(Items(box.list), c.restored) << c.items[0];
        EXPECT_EQ(box.list.tag(), 5) << "no Tag line keeps the Tag";
    }
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
    MemoryFormWindow w("frmW");
    auto& h = w.add("H", "TStringListHolder");
    h.strings = {"old"};
    h.objects = {9};
    LoadedFrom(Lines{"StreamToIni.FileFormat=1", "frmW.H=H", "frmW.H.MaxLen=12", "frmW.H.SaveObjects=Y", "4@a@b",
                     "-1@", "0@x", "[Konyec szkazki]"})
        .LoadFormState(w);
    EXPECT_EQ(h.maxLen, 12);
    EXPECT_TRUE(h.saveObjects);
    EXPECT_EQ(h.strings, (Lines{"a@b", "", "x"}));
    EXPECT_EQ(h.objects, (std::vector<int>{4, -1, 0}));
    // Empty lines belong to the block too; one has no "@" and no number, which ends the restore.
    auto strict = LoadedFrom(Lines{"StreamToIni.FileFormat=1", "frmW.H=H", "frmW.H.MaxLen=12",
                                   "frmW.H.SaveObjects=Y", "1@a", "", "[Konyec szkazki]"});
    EXPECT_THROW(strict.LoadFormState(w), Error);

    // Format 1 without a SaveObjects line: strings two lines below, empty lines kept.
    h.saveObjects = false;
    h.maxLen = 99;
    LoadedFrom(Lines{"StreamToIni.FileFormat=1", "frmW.H=H", "frmW.H.MaxLen=3", "s1", "", "s2"}).LoadFormState(w);
    EXPECT_EQ(h.maxLen, 3);
    EXPECT_EQ(h.strings, (Lines{"s1", "", "s2"}));

    // Format 0: the comma text of the name line's value between its first and last character.
    h.maxLen = 99;
    LoadedFrom(Lines{"frmW.H=(one,\"two three\",,four)", "ignored"}).LoadFormState(w);
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
        WithLines(c.lines).LoadFormState(w);
        EXPECT_EQ(edit.textValue, c.text) << c.lines[0];
    }
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
    WithLines({"frmW.RadioGroupA=1", "frmW.CheckBoxA=true", "frmW.ComboBoxA=1", "frmW.EditA=e"}).LoadFormState(w);
    EXPECT_EQ(w.calls, (Lines{"frmW.setCaption()", "EditA.setText(e)", "ComboBoxA.setItemIndex(1)",
                              "CheckBoxA.setChecked(true)", "RadioGroupA.setItemIndex(1)"}));
}

TEST(StreamToIniLoad, BadValuesEndTheRestoreAndEarlierControlsKeepTheirState) {
    struct Case {
        const char* what;
        Lines lines;
        std::string message;
        Lines items;      // of the check-list afterwards
        int radio = 3;    // later controls untouched
    } cases[] = {
        {"tag", {"frmW.CheckListBoxA=CheckListBoxA", "frmW.CheckListBoxA.Tag=x", "YYitem"},
         "'x' is not a valid integer value", {}},  // cleared before the Tag was read
        {"check box", {"frmW.CheckBoxA=yes"}, "yes is not valid boolean value (Y,J,I,N,True,False)", {"YYprevious"}},
        {"flag", {"frmW.CheckListBoxA=CheckListBoxA", "YYgood", "XYbad", "YYnever"},
         "X is not valid boolean value (Y,J,I,N,True,False)", {"YYgood"}},
        {"max len", {"frmW.H=H", "frmW.H.MaxLen=1.5"}, "'1.5' is not a valid integer value", {"YYprevious"}},
        {"object", {"frmW.H=H", "frmW.H.MaxLen=1", "frmW.H.SaveObjects=Y", "q@s"},
         "'q' is not a valid integer value", {"YYprevious"}},
        {"radio", {"frmW.RadioGroupA=one"}, "'one' is not a valid integer value", {"YYprevious"}, -1},
    };
    for (const auto& c : cases) {
        MemoryFormWindow w("frmW");
        auto& edit = w.add("EditA", "TEdit");
        auto& check = w.add("CheckBoxA", "TCheckBox");
        auto& list = w.add("CheckListBoxA", "TCheckListBox");
        list.list.add("previous", true);
        w.add("H", "TStringListHolder");
        auto& radio = w.add("RadioGroupA", "TRadioGroup");
        radio.index = 3;
        Lines lines = {"StreamToIni.FileFormat=1", "frmW.EditA=restored"};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        auto ini = LoadedFrom(lines);
        EXPECT_EQ(ErrorOf([&] { ini.LoadFormState(w); }), c.message) << c.what;
        EXPECT_EQ(edit.textValue, "restored") << c.what;
        EXPECT_FALSE(check.isChecked) << c.what;
        EXPECT_EQ(Items(list.list), c.items) << c.what;
        if (c.radio >= 0) {
            EXPECT_EQ(radio.index, c.radio) << c.what;
        }
    }
}

TEST(StreamToIniLoad, TruncatedFilesAndBinaryBytesDoNotBreakTheRestore) {
    // A file cut in the middle of a check-list item, without its end marker.
    MemoryFormWindow w("frmW");
    auto& edit = w.add("EditA", "TEdit");
    auto& list = w.add("CheckListBoxA", "TCheckListBox");
    auto& memo = w.add("MemoA", "TMemo");
    memo.memo = {"kept"};
    LoadedFrom("StreamToIni.FileFormat=1\r\nfrmW.EditA=e\r\nfrmW.CheckListBoxA=CheckListBoxA\r\n"
               "frmW.CheckListBoxA.Tag=2\r\nYYfirst\r\nNYsec")
        .LoadFormState(w);
    EXPECT_EQ(edit.textValue, "e");
    EXPECT_EQ(Items(list.list), (Lines{"YYfirst", "NYsec"}));
    EXPECT_EQ(memo.memo, Lines{"kept"});

    // A name line cut after its "=" restores an empty value.
    LoadedFrom("frmW.EditA=").LoadFormState(w);
    EXPECT_EQ(edit.textValue, "");

    // Control bytes, bytes above 127 and NUL inside values travel unchanged.
    const std::string odd = std::string("a\0b\x01\x7f\xff\xfe=", 8) + "\xc3\xa9";
    MemoryFormWindow src("frmW");
    src.add("EditA", "TEdit").textValue = odd;
    src.add("CheckListBoxA", "TCheckListBox").list.add(odd, true);
    src.add("MemoA", "TMemo").memo = {odd, std::string(1, '\0')};
    SavedAndLoaded(src).LoadFormState(w);
    EXPECT_EQ(edit.textValue, odd);
    EXPECT_EQ(Items(list.list), Lines{"YY" + odd});
    EXPECT_EQ(memo.memo, (Lines{odd, std::string(1, '\0')}));

    // Garbage that holds no name line at all changes nothing.
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(char((i * 37 + 11) & 0xff));
    garbage.erase(std::remove(garbage.begin(), garbage.end(), '='), garbage.end());
    w.calls.clear();
    LoadedFrom(garbage).LoadFormState(w);
    EXPECT_EQ(w.calls, Lines{"frmW.setCaption()"});
}

// ---- Round trips and size --------------------------------------------------

TEST(StreamToIniRoundTrip, EveryKindComesBackByteForByte) {
    for (uint16_t options : {uint16_t(26), uint16_t(0)}) {
        auto original = EveryKindWindow(true);
        std::string first, second;
        auto fresh = EveryKindWindow(false);
        SavedAndLoaded(*original, &first, options).LoadFormState(*fresh);
        EXPECT_EQ(fresh->get("CheckListBoxFiles").list.at(1).enabled, options != 0);
        EXPECT_TRUE(fresh->get("MemoNotes").modified);
        SavedAndLoaded(*fresh, &second, options);
        // The enabled flags are written but not restored with the default options.
        if (options != 0) first.replace(first.find("NN/src/B.COB"), 2, "NY");
        EXPECT_EQ(second, first);
    }
}

TEST(StreamToIniRoundTrip, LinesWithLineBreaksAreLeftOutAndTheRestComesBack) {
    MemoryFormWindow src("frmW", "Caption\r\nbroken");
    src.add("EditA", "TEdit").textValue = "one\ntwo";
    src.add("EditB", "TEdit").textValue = "fine";
    auto& files = src.add("CheckListBoxA", "TCheckListBox");
    for (const char* name : {"/src/a.cob", "/src/new\nline.cob", "/src/cr\rname.cob", "/src/y.cob",
                             "/src/crlf\r\nname.cob", "/src/z.cob"})
        files.list.add(name, std::string(name) != "/src/z.cob" && std::string(name) != "/src/new\nline.cob");
    src.add("CheckListBoxB", "TCheckListBox").list.add("/copy/b.cpy", true);
    src.add("MemoNotes", "TMemo").memo = {"kept", "bro\rken", "also kept"};
    std::string bytes;
    TStreamToIni in = SavedAndLoaded(src, &bytes);

    // No CR or LF in the file but the line ends.
    for (size_t pos; (pos = bytes.find("\r\n")) != std::string::npos;) bytes.erase(pos, 2);
    EXPECT_EQ(bytes.find_first_of("\r\n"), std::string::npos);

    MemoryFormWindow dst("frmW", "before");
    dst.add("EditA", "TEdit").textValue = "untouched";
    dst.add("EditB", "TEdit");
    auto& a = dst.add("CheckListBoxA", "TCheckListBox");
    auto& b = dst.add("CheckListBoxB", "TCheckListBox");
    auto& memo = dst.add("MemoNotes", "TMemo");
    ASSERT_NO_THROW(in.LoadFormState(dst));
    EXPECT_EQ(dst.captionValue, "");
    EXPECT_EQ(dst.get("EditA").textValue, "untouched");
    EXPECT_EQ(dst.get("EditB").textValue, "fine");
    EXPECT_EQ(Items(a.list), (Lines{"YY/src/a.cob", "YY/src/y.cob", "NY/src/z.cob"}));
    EXPECT_EQ(Items(b.list), Lines{"YY/copy/b.cpy"});
    EXPECT_EQ(memo.memo, (Lines{"kept", "also kept"}));
}

// The speed of big files is measured by bench/project.bench.sh.
TEST(StreamToIniRoundTrip, HundredThousandItemsAndMegabyteLines) {
    const int kItems = 100000;
    const std::string megabyte(1 << 20, 'M');
    MemoryFormWindow src("frmW", "big");
    src.add("EditBig", "TEdit").textValue = megabyte;
    std::vector<CheckEntry> entries;
    for (int i = 0; i < kItems; ++i) entries.push_back({"/src/file" + std::to_string(i) + ".cob", i % 3 == 0, true});
    src.add("CheckListBoxA", "TCheckListBox").list.assign(entries);
    src.add("CheckListBoxB", "TCheckListBox").list.add("b", true);
    src.add("MemoBig", "TMemo").memo = {megabyte, megabyte};

    MemoryFormWindow dst("frmW");
    dst.add("EditBig", "TEdit");
    auto& back = dst.add("CheckListBoxA", "TCheckListBox");
    auto& b = dst.add("CheckListBoxB", "TCheckListBox");
    auto& memo = dst.add("MemoBig", "TMemo");
    std::string first, second;
    SavedAndLoaded(src, &first).LoadFormState(dst);
    EXPECT_EQ(dst.get("EditBig").textValue, megabyte);
    ASSERT_EQ(back.list.size(), size_t(kItems));
    EXPECT_EQ(back.list.checkedCount(), (kItems + 2) / 3);
    EXPECT_EQ(b.list.size(), 1u);
    EXPECT_EQ(memo.memo, (Lines{megabyte, megabyte}));
    SavedAndLoaded(dst, &second);
    EXPECT_TRUE(first == second);
}
