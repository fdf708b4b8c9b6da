#pragma once
// A small INI text store used where the Windows version keeps values in the
// registry (per-user settings, the file-type classes root).
//
// Layout: "[group]" lines, each followed by "key=value" lines. Group names
// and keys compare ignoring case, as registry key and value names do; the
// first spelling written is kept. Lines that are neither (comments, blank
// lines) are kept as they are.
//
// Keys, values and group names are written escaped so that any byte string
// survives: a control character, a leading or trailing blank, and in keys
// and group names "=", "[", "]", ";" and "#" where they would confuse a reader,
// become "\xHH"; a backslash is doubled only where it would otherwise start
// an escape, so Windows-style key paths stay readable.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

class IniFile {
public:
    // Reads the file; a missing file gives an empty store. Throws Error when
    // the file exists but cannot be read.
    void load(const std::string& path);
    // Writes atomically, creating missing folders. Throws Error on failure.
    void save(const std::string& path) const;

    void parse(std::string_view text);
    std::string text() const;

    bool has(std::string_view group, std::string_view key) const;
    // The value, "" when absent.
    std::string value(std::string_view group, std::string_view key) const;
    void setValue(std::string_view group, std::string_view key, std::string_view value);
    void remove(std::string_view group, std::string_view key);
    // Keys and values of a group in file order.
    std::vector<std::pair<std::string, std::string>> entries(std::string_view group) const;

    enum class Part { Key, Value, Group };
    static std::string Escape(std::string_view raw, Part part);
    static std::string Unescape(std::string_view text);

private:
    struct Line {
        std::string raw;      // as read, for lines that are not entries
        bool entry = false;
        std::string key;      // unescaped
        std::string value;    // unescaped
    };
    struct Group {
        std::string name;     // unescaped; "" for lines before the first header
        bool header = false;
        std::vector<Line> lines;
    };
    const Group* findGroup(std::string_view name) const;
    Group* findGroup(std::string_view name);

    std::vector<Group> groups_;
};

}  // namespace korvane
