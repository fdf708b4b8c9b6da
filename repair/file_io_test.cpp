#include "repair/file_io.h"

#include "repair/test_support.h"
#include "shared/text.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
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
            // A CR only after a long stretch of LF lines, where the text
            // has already been half written out.
            std::string lateReturn = text;
            std::replace(lateReturn.begin(), lateReturn.end(), '\r', 'x');
            lateReturn.insert(lateReturn.size() - lateReturn.size() / 8, "\r");
            EXPECT_EQ(NormalizeLineEnds(lateReturn), JoinLinesCrLf(SplitLines(lateReturn))) << alphabet << " " << length;
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

TEST(ReplaceFile, PutsANewFileInPlaceAndReportsFailures) {
    TempDir dir;
    auto mode = [](const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };
    const mode_t mask = ::umask(022);
    ReplaceFileBytes(dir / "w", "a longer first content");
    EXPECT_EQ(mode(dir / "w"), 0644u) << "a new file's permissions";
    ReplaceFileBytes(dir / "w", std::string("b\0", 2), 0604);
    EXPECT_EQ(test::ReadFile(dir / "w"), std::string("b\0", 2));
    EXPECT_EQ(mode(dir / "w"), 0604u);
    ::umask(mask);

    // Links are replaced, not written through: the other file keeps its content.
    test::WriteFile(dir / "other", "other");
    std::filesystem::create_symlink("other", dir / "soft");
    std::filesystem::create_hard_link(dir / "other", dir / "hard");
    ReplaceFileBytes(dir / "soft", "s");
    ReplaceFileBytes(dir / "hard", "h");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "soft"));
    EXPECT_EQ(test::ReadFile(dir / "soft") + test::ReadFile(dir / "hard"), "sh");
    EXPECT_EQ(test::ReadFile(dir / "other"), "other");

    std::filesystem::create_directory(dir / "folder");
    for (const auto& [target, message] : std::vector<std::pair<std::string, std::string>>{
             {dir / "no/such/folder/w",
              "Cannot create file \"" + (dir / "no/such/folder/w") + "\". No such file or directory"},
             {dir / "folder", "Cannot create file \"" + (dir / "folder") + "\". Is a directory"},
         }) {
        try {
            ReplaceFileBytes(target, "x");
            ADD_FAILURE() << "no error for " << target;
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"folder", "hard", "other", "soft", "w"})) << "no temporary file left";
}

}  // namespace
}  // namespace korvane
