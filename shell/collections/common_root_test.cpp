#include "shell/collections/common_root.h"

#include <gtest/gtest.h>

#include "shell/ui/check_list.h"

namespace korvane {
namespace {

CheckList ListOf(std::initializer_list<const char*> paths, bool checked = true) {
    CheckList list;
    std::vector<CheckEntry> entries;
    for (const char* p : paths) entries.push_back({p, checked, true});
    list.assign(std::move(entries));
    return list;
}

struct RootCase {
    const char* name;
    std::initializer_list<const char*> paths;
    const char* root;
};

TEST(ComputeCommonRoot, RootsOfTheExamplesAndTheirRelatives) {
    const RootCase cases[] = {
        {"one folder gives its parent", {"C:/src/app/a.cbl", "C:/src/app/b.cbl"}, "C:/src"},
        {"different depths", {"C:/src/x/a.cbl", "C:/src/y/z/b.cbl"}, "C:/src"},
        {"different drives", {"C:/src/a.cbl", "D:/src/b.cbl"}, ""},
        {"components compared with case", {"C:/Src/a.cbl", "C:/src/b.cbl"}, "C:"},
        {"a single entry", {"/home/u/p/a.cbl"}, "/home/u"},
        {"absolute paths below different tops", {"/a/x/f.cbl", "/b/y/g.cbl"}, ""},
        {"a component that only starts alike", {"/src/app/a.cbl", "/src/apple/x/b.cbl"}, "/src"},
        {"the deeper entry ends one level below", {"/p/q/r/a.cbl", "/p/q/r/s/b.cbl"}, "/p/q/r"},
        {"two leading separators", {"//server/share/dir/a.cbl", "//server/share/other/b.cbl"}, "//server/share"},
        {"two leading separators against one", {"//server/share/a.cbl", "/server/share/b.cbl"}, ""},
        {"a name without folder", {"a.cbl", "/x/b.cbl"}, ""},
        {"a file at the top", {"/a.cbl", "/b.cbl"}, ""},
        {"three entries, the middle one differs", {"/w/s/a/1.c", "/w/t/2.c", "/w/s/b/3.c"}, "/w"},
    };
    for (const RootCase& c : cases) {
        SCOPED_TRACE(c.name);
        CheckList list = ListOf(c.paths);
        EXPECT_EQ(ComputeCommonRoot(list).root, c.root);
        // Check marks take no part.
        CheckList unchecked = ListOf(c.paths, false);
        EXPECT_EQ(ComputeCommonRoot(unchecked).root, c.root);
    }
}

TEST(ComputeCommonRoot, EmptyListGivesNothing) {
    CheckList list;
    const CommonRootResult r = ComputeCommonRoot(list, [](std::string_view) { return 99; });
    EXPECT_EQ(r.root, "");
    EXPECT_EQ(r.widestText, 0);
}

TEST(ComputeCommonRoot, WidestFullPathIsMeasured) {
    CheckList list = ListOf({"/s/a.cbl", "/s/longer/name.cbl", "/s/b.cbl"});
    const CommonRootResult r =
        ComputeCommonRoot(list, [](std::string_view t) { return int(t.size()) * 3; });
    EXPECT_EQ(r.widestText, int(std::string("/s/longer/name.cbl").size()) * 3);
}

TEST(ComputeCommonRoot, LongListIsQuick) {
    std::vector<CheckEntry> entries;
    for (int i = 0; i < 100000; ++i)
        entries.push_back({"/work/tree/d" + std::to_string(i % 97) + "/f" + std::to_string(i) + ".cbl", true, true});
    CheckList list;
    list.assign(std::move(entries));
    EXPECT_EQ(ComputeCommonRoot(list).root, "/work/tree");
}

TEST(EntryTexts, DrawnTextsAfterTheRoot) {
    const std::string tail(300, 'x'), accented = std::string(259, 'a') + "\xC3\xA9\xC3\xA9";
    struct Case {
        const char* what;
        std::string drawn, expected;
    } cases[] = {
        {"after the root", ElidedEntryText("C:/src/app/a.cbl", std::string("C:/src").size()), "..../app/a.cbl"},
        {"an empty root", ElidedEntryText("C:/a.cbl", 0), "....C:/a.cbl"},
        // A root remembered from other entries may be longer than the entry.
        {"a longer root", ElidedEntryText("/a", 10), "...."},
        {"at most 260 characters", ElidedEntryText("/r" + tail, 2), "...." + std::string(260, 'x')},
        // Characters, not bytes: a two-byte letter counts once and is never cut.
        {"two-byte letters", ElidedEntryText("/r" + accented, 2), "...." + std::string(259, 'a') + "\xC3\xA9"},
        {"a root ending inside a letter", ElidedEntryText("/\xC3\xA9z", 2), "....z"},
        // The CSV and copy lists draw plain paths while their caption is empty.
        {"no caption", PanelEntryText("D:/csv/x.csv", ""), "D:/csv/x.csv"},
        {"a caption", PanelEntryText("C:/src/app/a.cbl", "C:/src"), "..../app/a.cbl"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.drawn, c.expected) << c.what;
}

}  // namespace
}  // namespace korvane
