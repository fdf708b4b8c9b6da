#include "shared/version_info.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "shared/flags.h"
#include "shared/platform/path.h"
#include "shared/text.h"

using namespace korvane;

namespace {

TEST(VersionInfo, StringsOfTheBuild) {
    EXPECT_EQ(VersionInfoString("FileVersion"), KORVANE_EXPECTED_FILE_VERSION);
    // Four numbers, as a version resource has them.
    std::string rest = VersionInfoString("FileVersion");
    for (int part = 0; part < 4; ++part) {
        EXPECT_TRUE(IsIntegerText(TextBeforeFirst(rest, "."), true)) << VersionInfoString("FileVersion");
        rest = TextAfterFirst(rest, ".");
    }
    EXPECT_EQ(rest, "");
    EXPECT_EQ(VersionInfoString("ProductVersion"), KORVANE_EXPECTED_FILE_VERSION);
    EXPECT_EQ(VersionInfoString("FileDescription"), "Wrapper application for Korvane programs");
    EXPECT_EQ(VersionInfoString("ProductName"), "Korvane");
    EXPECT_EQ(VersionInfoString("LegalCopyright"), "Copyright (C) 2026 Talmek");
    EXPECT_EQ(VersionInfoString("CompanyName"), "Talmek");
    EXPECT_EQ(VersionInfoString("fileversion"), KORVANE_EXPECTED_FILE_VERSION);
    EXPECT_EQ(VersionInfoString("InternalName"), "");
    EXPECT_EQ(VersionInfoString(""), "");
}

TEST(VersionInfo, ProgramFile) {
    const std::string path = ProgramFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path[0], kPathSep);
    EXPECT_EQ(ExtractFileName(path), "shared_tests");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(ProgramFileTime(), st.st_mtime);
}

}  // namespace
