#include "shell/wordlists/word_list_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/test_support.h"

using namespace korvane;
using korvane::testing::TempDir;
namespace fs = std::filesystem;

namespace {

CheckList ListOf(std::initializer_list<std::pair<const char*, bool>> entries) {
    CheckList l;
    for (const auto& [text, checked] : entries) l.add(text, checked);
    return l;
}

std::vector<std::string> Texts(const CheckList& l) {
    std::vector<std::string> r;
    for (const auto& e : l.entries()) r.push_back(e.text);
    return r;
}

std::vector<std::string> LoadControlWords(const std::string& path, const std::string& bytes) {
    WriteFileAtomic(path, bytes);
    CheckList objects, words;
    LoadWordList(path, objects, words);
    EXPECT_TRUE(objects.empty());
    return Texts(words);
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(WordListFile, OnlyCheckedTrimmedEntriesAreWrittenEveryReadEntryChecked) {
    TempDir dir;
    std::string path = dir / "w.wrl";
    WriteFileAtomic(path, "old content that must go\r\n");
    CheckList words = ListOf({{"SKIP X", false}, {"  AB   READ \t", true}, {"AB", true}, {"", true}});
    CheckList objects = ListOf({{"HIDDEN", false}, {" CUST FILE ", true}});
    SaveWordList(path, objects, words);
    // Lengths come from the trimmed texts; control words count 5 less, so a
    // text shorter than five characters gets a negative length, one column
    // wider, which shifts the text as a wide number does.
    EXPECT_EQ(ReadFileBytes(path),
              "0001 04 AB   READ\r\n0002 -03 AB\r\n0003 -05 \r\n0004 09 OBJT CUST FILE\r\n");

    CheckList o2 = ListOf({{"KEEP", false}}), w2;
    LoadWordList(path, o2, w2);
    EXPECT_EQ(Texts(o2), (Lines{"KEEP", "CUST FILE"}));  // existing entries stay
    EXPECT_FALSE(o2.checked(0));
    EXPECT_TRUE(o2.checked(1));
    EXPECT_EQ(Texts(w2), (Lines{"AB   READ", " AB", " "}));
    EXPECT_EQ(w2.checkedCount(), 3);

    SaveWordList(path, CheckList(), CheckList());
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(WordListFile, ReadsColumnsAsTheyStand) {
    TempDir dir;
    std::string path = dir / "in.wrl";
    // Shorter than nine: an empty control word. Nine to twelve without
    // "OBJT": what stands from column 9. "OBJT" is case-sensitive. Texts are
    // not trimmed; number fields are ignored; LF and CR ends are accepted.
    EXPECT_EQ(LoadControlWords(path, "\r\n0001 04\r\n0002 04 \r\n0003 04 I\r\n0004 04 INPT\r\n"
                                     "0005 04 objt CUSTFILE\r\n12345678 INPT READ  \nxxxxxxxxOBJ\rabcdefghOBJt1"),
              (Lines{"", "", "", "I", "INPT", "objt CUSTFILE", " INPT READ  ", "OBJ", "OBJt1"}));

    WriteFileAtomic(path, "0001 08 OBJT\r\n0002 08 OBJT \r\n0003 08 OBJT  CUST \r\nzzzzzzzzOBJTzNAME\r\n");
    CheckList objects, words;
    LoadWordList(path, objects, words);
    EXPECT_TRUE(words.empty());
    EXPECT_EQ(Texts(objects), (Lines{"", "", " CUST ", "NAME"}));
}

TEST(WordListFile, WideNumbersShiftTheColumns) {
    TempDir dir;
    std::string path = dir / "wide.wrl";
    CheckList words;
    for (int i = 0; i < 9999; ++i) words.add("INPT W", true);
    std::string longName(100, 'N');
    CheckList objects = ListOf({{"CUSTFILE", true}, {longName.c_str(), true}});
    SaveWordList(path, objects, words);
    Lines lines = ReadTextLines(path);
    ASSERT_EQ(lines.size(), 10001u);
    EXPECT_EQ(lines[9998], "9999 01 INPT W");
    EXPECT_EQ(lines[9999], "10000 08 OBJT CUSTFILE");
    EXPECT_EQ(lines[10000], "10001 100 OBJT " + longName);

    // Read back, the shifted records no longer have "OBJT" in columns 9-12.
    CheckList o2, w2;
    LoadWordList(path, o2, w2);
    EXPECT_TRUE(o2.empty());
    ASSERT_EQ(w2.size(), 10001u);
    EXPECT_EQ(w2.text(9999), " OBJT CUSTFILE");
    EXPECT_EQ(w2.text(10000), "0 OBJT " + longName);
}

TEST(WordListFile, BinaryBytesPassUnchanged) {
    TempDir dir;
    std::string path = dir / "bin.wrl";
    std::string word("INPT \x01\x7f\x80\xa0\xe9\xff", 11);
    word += std::string("\0z", 2);
    CheckList words, objects;
    words.add(word, true);
    objects.add(std::string("OB\0J\xfe", 5), true);
    SaveWordList(path, objects, words);
    CheckList o2, w2;
    LoadWordList(path, o2, w2);
    ASSERT_EQ(w2.size(), 1u);
    EXPECT_EQ(w2.text(0), word);
    ASSERT_EQ(o2.size(), 1u);
    EXPECT_EQ(o2.text(0), std::string("OB\0J\xfe", 5));
}

TEST(WordListFile, FileErrorsCarryTheSystemText) {
    TempDir dir;
    CheckList objects = ListOf({{"KEEP", true}}), words;
    std::string missing = dir / "none.wrl";
    try {
        LoadWordList(missing, objects, words);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + missing + "\". No such file or directory");
    }
    try {
        LoadWordList(dir.path(), objects, words);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + dir.path() + "\". Is a directory");
    }
    EXPECT_EQ(Texts(objects), (Lines{"KEEP"}));
    EXPECT_TRUE(words.empty());

    std::string unwritable = dir / "no/such/folder.wrl";
    try {
        SaveWordList(unwritable, objects, words);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + unwritable + "\". No such file or directory");
    }
}

// A million lines: quadratic work would not end within the test's time limit.
TEST(WordListFile, MillionLinesQuickly) {
    TempDir dir;
    std::string path = dir / "big.wrl";
    std::string bytes;
    bytes.reserve(24u * 1000000u);
    for (int i = 1; i <= 1000000; ++i)
        bytes += (i % 2 ? "0001 04 INPT READ\r\n" : "0002 08 OBJT CUSTFILE\r\n");
    WriteFileAtomic(path, bytes);
    CheckList objects, words;
    objects.setSorted(true);  // a sorted list is sorted once, not per entry
    LoadWordList(path, objects, words);
    SaveWordList(path, objects, words);
    RemoveDuplicates(words);
    EXPECT_EQ(objects.size(), 500000u);
    EXPECT_EQ(words.size(), 1u);
    EXPECT_EQ(ReadTextLines(path).size(), 1000000u);
}

TEST(RemoveDuplicates, SortsAndMergesExactDuplicates) {
    // The same entries imported twice (answered No): each one stays once,
    // sorted; the survivor keeps its own mark.
    CheckList l = ListOf({{"OTPT WRITE", true}, {"INPT READ", false}, {"OTPT WRITE", false}, {"INPT READ", true},
                          {"inpt read", true}, {"CASE X", false}});
    RemoveDuplicates(l);
    EXPECT_EQ(Texts(l), (Lines{"CASE X", "INPT READ", "inpt read", "OTPT WRITE"}));
    EXPECT_FALSE(l.sorted());  // unsorted before, unsorted mode after, entries sorted
    EXPECT_FALSE(l.checked(1));
    EXPECT_TRUE(l.checked(3));

    // Only neighbours after the case-ignoring (stable) sort merge.
    CheckList mixed = ListOf({{"a", true}, {"A", true}, {"a", true}});
    RemoveDuplicates(mixed);
    EXPECT_EQ(Texts(mixed), (Lines{"a", "A", "a"}));

    CheckList sorted = ListOf({{"b", false}, {"a", true}, {"b", true}});
    sorted.setSorted(true);
    RemoveDuplicates(sorted);
    EXPECT_TRUE(sorted.sorted());
    EXPECT_EQ(Texts(sorted), (Lines{"a", "b"}));
    EXPECT_FALSE(sorted.checked(1));

    CheckList empty;
    RemoveDuplicates(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(ControlWordEntry, TagPaddedAndCutToFour) {
    struct Case {
        const char* tag;
        const char* word;
        const char* entry;
    } cases[] = {
        {"INPT", "READ", "INPT READ"},  {"AB", "READ", "AB   READ"}, {"LONGTAG", "READ", "LONG READ"},
        {"", "READ", "     READ"},     {"X", "", "X    "},         {"MASK", " a b ", "MASK  a b "},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatControlWordEntry(c.tag, c.word), c.entry) << c.tag;
    EXPECT_EQ(ControlWordTag("AB   READ"), "AB  ");
    EXPECT_EQ(ControlWordWord("AB   READ"), "READ");
    EXPECT_EQ(ControlWordWord("AB"), "");

    // The same word added twice merges under "Remove duplicates".
    CheckList l;
    l.add(FormatControlWordEntry("AB", "READ"), true);
    l.add(FormatControlWordEntry("AB", "READ"), true);
    RemoveDuplicates(l);
    EXPECT_EQ(l.size(), 1u);
}

TEST(ControlWordEntry, SelectionCutAtTheFirstLineBreak) {
    struct Case {
        const char* selection;
        const char* word;
    } cases[] = {
        {"READ", "READ"},           {"READ FILE\r\nWRITE", "READ FILE"}, {"READ\nWRITE\n", "READ"},
        {"READ\rWRITE", "READ"},   {"\r\nREAD", ""},                   {"", ""},
        {" PUT  \n", " PUT  "},
    };
    for (const Case& c : cases) EXPECT_EQ(SelectionFirstLine(c.selection), c.word) << c.selection;
}

TEST(TagVocabulary, FromObjectTypes) {
    const Lines def{"INPT", "OTPT", "MASK", "REPO", "CASE", "SKIP", "LINK", "FUNC", "PROC"};
    EXPECT_EQ(TagVocabulary(""), def);
    EXPECT_EQ(TagVocabulary("INPT,CALL"), def);  // no "(": nothing taken
    EXPECT_EQ(TagVocabulary("()"), def);
    EXPECT_EQ(TagVocabulary("(INPT, CALL,\"A B\")"), (Lines{"INPT", "CALL", "A B"}));
    EXPECT_EQ(TagVocabulary("x(INPT,(CALL)) y"), (Lines{"INPT", "(CALL)"}));
    EXPECT_EQ(TagVocabulary("(INPT,CALL"), (Lines{"INPT", "CALL"}));
    EXPECT_EQ(ObjectTypesText("(A,B)"), "A,B");
}
