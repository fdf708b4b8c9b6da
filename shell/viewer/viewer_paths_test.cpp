#include "shell/viewer/viewer_paths.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(ViewerCaption, RelativeInsideOutputDirectoryFullPathOutside) {
    struct Case {
        const char* path;
        const char* outputDir;
        const char* caption;
    } cases[] = {
        {"/OUT/work/x.txt", "/OUT", "work/x.txt"},
        {"/OUT/work/x.txt", "/OUT/", "work/x.txt"},
        // The beginning compares as the file system does: another case is
        // another folder.
        {"/out/work/x.txt", "/OUT", "/out/work/x.txt"},
        {"/OUT/x.txt", "/out", "/OUT/x.txt"},
        {"/out/x.txt", "/out", "x.txt"},
        {"/other/y.txt", "/OUT", "/other/y.txt"},
        {"/OUTPUT/y.txt", "/OUT", "/OUTPUT/y.txt"},  // only a whole folder is cut off
        {"/OUT/SYS.log", "/OUT", "SYS.log"},
        {"/OUT/", "/OUT", "/OUT/"},  // nothing would be left
        {"/OUT/a.txt", "", "/OUT/a.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(ViewerCaption(c.path, c.outputDir), c.caption) << c.path;
}

TEST(ViewerDialogStart, StartsAtOutputDirectoryOrAtTheFileShown) {
    ViewerDialogStart none = ViewerDialogStartFor("/out", "", false);
    EXPECT_EQ(none.initialDir, "/out");
    EXPECT_EQ(none.fileName, "");

    ViewerDialogStart inside = ViewerDialogStartFor("/out", "work/sub/x.txt", true);
    EXPECT_EQ(inside.initialDir, "/out/work/sub");
    EXPECT_EQ(inside.fileName, "x.txt");

    ViewerDialogStart top = ViewerDialogStartFor("/out/", "SYS.log", true);
    EXPECT_EQ(top.initialDir, "/out");
    EXPECT_EQ(top.fileName, "SYS.log");

    ViewerDialogStart outside = ViewerDialogStartFor("/out", "/other/y.txt", true);
    EXPECT_EQ(outside.initialDir, "/other");
    EXPECT_EQ(outside.fileName, "y.txt");
}

TEST(ViewerFileFilter, TransformedSourcesLogsAndAllFiles) {
    EXPECT_EQ(ViewerFileFilter("Java sources (*.java)|*.java", "JAV"),
              "Transformed Java sources (*.java)|*.java|Logs and technical files|"
              "*.con;*.lit;*.txt;*.xml;*.csv;*.log;*.JAV|All files|*.*");
}

TEST(ViewerLogPath, ProductLogBySystemNameConsoleLogFixed) {
    EXPECT_EQ(ViewerLogPath(ViewerLog::Product, "/out", "SYS"), "/out/SYS.log");
    EXPECT_EQ(ViewerLogPath(ViewerLog::Product, "/out/", "SYS"), "/out/SYS.log");
    EXPECT_EQ(ViewerLogPath(ViewerLog::Console, "/out", "SYS"), "/out/Console.log");
}

}  // namespace
}  // namespace korvane
