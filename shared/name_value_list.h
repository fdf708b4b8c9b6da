#pragma once
// A list of text lines read as name=value pairs: a line's name is the text
// before its first "=", its value the rest. Names compare ignoring case and
// the first matching line wins. Lines without "=" define nothing.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class NameValueList {
public:
    NameValueList() = default;
    explicit NameValueList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    std::vector<std::string>& lines() { return lines_; }
    const std::vector<std::string>& lines() const { return lines_; }
    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    void clear() { lines_.clear(); }
    void add(std::string line) { lines_.push_back(std::move(line)); }

    // Index of the first line whose name equals name (ignoring case), or -1.
    int indexOfName(std::string_view name) const;
    // The value of that line, empty when there is none.
    std::string value(std::string_view name) const;
    // Replaces the line, appends one when there is none, deletes it when the
    // value is empty.
    void setValue(std::string_view name, std::string_view value);

    // Name and value of line i ("" name for a line without "=").
    static std::string NameOf(std::string_view line);
    static std::string ValueOf(std::string_view line);

private:
    std::vector<std::string> lines_;
};

}  // namespace korvane
