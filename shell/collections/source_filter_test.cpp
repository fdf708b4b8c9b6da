#include "shell/collections/source_filter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "shared/collect_files.h"
#include "shared/test_support.h"

namespace korvane {
namespace {

using Tokens = std::vector<std::string>;

TEST(SourceFilter, FolderSearchListAndDropTokens) {
    struct Case {
        std::string filter, extensions;
        Tokens tokens;
    } cases[] = {
        {"Cobol sources (*.cbl;*.cob)|*.cbl;*.cob", "Cobol sources (*.cbl;*.cob);*.cbl;*.cob;",
         {"Cobol sources (.cbl", ".cob)", ".cbl", ".cob"}},
        {"All files (*.*)|*.*", "All files (*.*);*.*;", {"All files (.*)", ".*"}},
        {"None|*.", "None;*.;", {"None", "."}},
        {kCsvDropFilter, "*.csv;", {".csv"}},
        {"", ";", {""}},
        {"a||b", "a;;b;", {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderSearchExtensions(c.filter), c.extensions) << c.filter;
        EXPECT_EQ(DropExtensionTokens(c.filter), c.tokens) << c.filter;
    }
}

TEST(SourceFilter, DroppedSingleFiles) {
    struct Case {
        const char* filter;
        const char* path;
        bool accepted;
    };
    const Case cases[] = {
        {"Cobol (*.cbl;*.cob)|*.cbl;*.cob", "/s/a.cbl", true},
        {"Cobol (*.cbl;*.cob)|*.cbl;*.cob", "/s/A.COB", true},
        {"Cobol (*.cbl;*.cob)|*.cbl;*.cob", "/s/a.cpy", false},
        {"Cobol (*.cbl;*.cob)|*.cbl;*.cob", "/s.cbl/noext", false},
        {kCsvDropFilter, "/d/rename.CSV", true},
        {kCsvDropFilter, "/d/rename.csv.bak", false},
        // "*.*" becomes the token ".*", which no real extension equals.
        {"All files (*.*)|*.*", "/s/a.cbl", false},
        {"All files (*.*)|*.*", "/s/noext", false},
        // "*." becomes ".", but a file without extension is always skipped.
        {"Bare (*.)|*.", "/s/noext", false},
        {"Bare (*.)|*.", "/s/a.cbl", false},
        // An empty filter accepts nothing.
        {"", "/s/a.cpy", false},
        {"", "/s/noext", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.filter) + " / " + c.path);
        EXPECT_EQ(DroppedFileAccepted(c.path, DropExtensionTokens(c.filter)), c.accepted);
    }
}

// The folder-search form of a filter as the folder search applies it.
TEST(SourceFilter, FolderSearchAcceptance) {
    testing::TempDir dir("korvane-filter");
    for (const char* name : {"a.cbl", "B.CBL", "c.cob", "noext", "d.txt", "sub/e.cbl", ".hidden/f.cbl", ".g.cbl"})
        testing::PutFile(dir / name, "x");
    auto search = [&](const std::string& filter) {
        std::vector<std::string> found;
        CollectFiles(dir.path(), "", FolderSearchExtensions(filter), found);
        for (std::string& f : found) f = f.substr(dir.path().size() + 1);
        std::sort(found.begin(), found.end());
        return found;
    };
    EXPECT_EQ(search("Cobol (*.cbl)|*.cbl"), (Tokens{"B.CBL", "a.cbl", "sub/e.cbl"}));
    EXPECT_EQ(search("All files (*.*)|*.*"), (Tokens{"B.CBL", "a.cbl", "c.cob", "d.txt", "noext", "sub/e.cbl"}));
    EXPECT_EQ(search("Bare (*.)|*."), (Tokens{"noext"}));
    EXPECT_EQ(search(""), Tokens{});
    EXPECT_EQ(search(kCsvDropFilter), Tokens{});
}

}  // namespace
}  // namespace korvane
