#include "repair/file_io.h"

#include "repair/test_support.h"
#include "shared/text.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

namespace korvane {
namespace {

using test::TempDir;

TEST(NormalizeLineEnds, EveryLineEndsInCrLf) {
    struct Case {
        std::string text;
        std::string expected;
    };
    for (const Case& c : std::vector<Case>{
             {"", ""},
             {"a", "a\r\n"},
             {"a\n", "a\r\n"},
             {"a\r", "a\r\n"},
             {"a\r\n", "a\r\n"},
             {"a\n\r", "a\r\n\r\n"},
             {"\n\n", "\r\n\r\n"},
             {"\r\r\n\n", "\r\n\r\n\r\n"},
             {"a\r\r\nb", "a\r\n\r\nb\r\n"},
             {"a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd\r\n"},
             {"a\r\nb\r\n", "a\r\nb\r\n"},
             {"a\r\nb", "a\r\nb\r\n"},
             {"\r\n", "\r\n"},
             {std::string("\0\n\0", 3), std::string("\0\r\n\0\r\n", 6)},
         }) {
        EXPECT_EQ(NormalizeLineEnds(c.text), c.expected) << testing::PrintToString(c.text);
    }
}

TEST(NormalizeLineEnds, AgreesWithSplittingAndJoiningOnLongTexts) {
    // Texts long enough for the word-wise counting, from all line ends to
    // none, with the kinds of line end mixed or alone.
    std::mt19937 random(7);
    for (const char* alphabet : {"\n", "\r", "\r\n", "a\n", "ab\r\n", "abcdefgh\n\r", "abcdefghijklmnop\n"}) {
        for (size_t length : {7u, 8u, 9u, 247u, 248u, 249u, 5000u, 100000u}) {
            std::string text;
            std::string_view letters(alphabet);
            for (size_t i = 0; i < length; ++i) text += letters[random() % letters.size()];
            EXPECT_EQ(NormalizeLineEnds(text), JoinLinesCrLf(SplitLines(text))) << alphabet << " " << length;
            std::string allLf(length, '\n');
            EXPECT_EQ(NormalizeLineEnds(allLf).size(), 2 * length);
        }
    }
}

TEST(ReadFileBytes, ReadsEveryByteAndReportsFailuresWithTheSystemsText) {
    TempDir dir;
    std::string bytes("x\0y\r\nz\xff", 7);
    test::WriteFile(dir / "f", bytes);
    EXPECT_EQ(ReadFileBytes(dir / "f"), bytes);
    EXPECT_EQ(ReadTextCrLf(dir / "f"), std::string("x\0y\r\nz\xff\r\n", 9));

    struct Case {
        std::string path;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {dir / "missing", "Cannot open file \"" + (dir / "missing") + "\". No such file or directory"},
             {dir.Path(), "Cannot open file \"" + dir.Path() + "\". Is a directory"},
             {dir / "f/below", "Cannot open file \"" + (dir / "f/below") + "\". Not a directory"},
             {"", "Cannot open file \"\". No such file or directory"},
         }) {
        try {
            ReadFileBytes(c.path);
            ADD_FAILURE() << "no error for " << c.path;
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    // A NUL byte would cut the name short: it names no file.
    EXPECT_THROW(ReadFileBytes(std::string(dir / "f") + std::string("\0x", 2)), std::runtime_error);
}

TEST(WriteFile, CreatesOrTruncatesAndReportsFailures) {
    TempDir dir;
    WriteFileBytes(dir / "w", "a longer first content");
    WriteFileBytes(dir / "w", std::string("b\0", 2));
    EXPECT_EQ(test::ReadFile(dir / "w"), std::string("b\0", 2));
    try {
        WriteFileBytes(dir / "no/such/folder/w", "x");
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + (dir / "no/such/folder/w") + "\". No such file or directory");
    }
}

TEST(OverwriteFile, RewritesTheSameFileAndCutsItToTheNewLength) {
    TempDir dir;
    test::WriteFile(dir / "r", "a much longer old content");
    ASSERT_EQ(::chmod((dir / "r").c_str(), 0604), 0);
    std::filesystem::create_hard_link(dir / "r", dir / "link");
    OverwriteFileBytes(dir / "r", "new");
    EXPECT_EQ(test::ReadFile(dir / "r"), "new");
    EXPECT_EQ(test::ReadFile(dir / "link"), "new") << "still the same file";
    struct stat st {};
    ASSERT_EQ(::stat((dir / "r").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    OverwriteFileBytes(dir / "r", "longer than before");
    EXPECT_EQ(test::ReadFile(dir / "r"), "longer than before");

    try {
        OverwriteFileBytes(dir / "gone/r", "x");
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + (dir / "gone/r") + "\". No such file or directory");
    }
}

}  // namespace
}  // namespace korvane
