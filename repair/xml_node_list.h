#pragma once
// The small reader brelvin uses for its parameter file. It is no general XML
// parser: the text is cut into tags and texts, nesting is tracked with a stack
// of expected closing tags, and the result is one flat list of nodes, each with
// its nesting level. A cursor over the list gives the navigation the repair run
// needs. Entities are not decoded, attributes stay inside the tag text, CDATA
// sections and DOCTYPE declarations are skipped. Text is handled as bytes.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class TMyXMLNode {
public:
    TMyXMLNode(int level, std::string tagText);

    int Level() const { return level_; }
    const std::string& TagText() const { return tagText_; }
    // Element name taken from the tag text; empty for closing tags, texts,
    // comments and processing instructions.
    std::string_view Name() const { return std::string_view(tagText_).substr(nameStart_, nameLength_); }
    // The value field for a tag, the text itself for a text node.
    const std::string& Value() const;

    void SetValue(std::string value) { value_ = std::move(value); }
    // Hands the text of a text node over (used when condensing; the node is
    // dropped afterwards).
    std::string TakeValue();

private:
    int level_;
    // The name is a part of the tag text; only its place is kept.
    size_t nameStart_ = 0;
    size_t nameLength_ = 0;
    std::string tagText_;
    std::string value_;
};

class TMyXMLNodeList {
public:
    TMyXMLNodeList() = default;
    // Reads the file at once (see ReadFile).
    TMyXMLNodeList(const std::string& filePath, bool condense);

    // Reads the file as text lines (CR, LF or CR LF end a line), joins them
    // with CR LF after every line and parses the result.
    void ReadFile(const std::string& filePath, bool condense);
    // Clears the list and parses text; condenses when asked. Throws
    // std::runtime_error for a closing tag that matches no open element.
    void ParseText(std::string_view text, bool condense);
    // Folds elements that hold only text into one node carrying the text as
    // value and drops every node without a name. Runs once per parsed text.
    void Condense();

    int Count() const { return static_cast<int>(nodes_.size()); }
    // Throw std::runtime_error("List index out of bounds (n)") for a bad position.
    const TMyXMLNode& NodeAt(int position) const;
    const TMyXMLNode& CurrentNode() const;
    int CurrentPosition() const { return position_; }
    int CurrentLevel() const { return level_; }

    // Clamps the position into the list and moves the cursor there.
    void GoTo(int position);
    // Moves to the next node on the current level unless the parent ends first.
    bool NextSibling();
    // Moves to the node right after the given one (-1: the cursor) when it
    // lies one level deeper or more.
    bool FirstChild(int position);
    // Searches the current range (siblings of the current node and their
    // descendants) for a node with exactly this name.
    bool FindByName(std::string_view name);

private:
    void AddNode(int level, std::string tagText);

    std::vector<TMyXMLNode> nodes_;
    int position_ = 0;
    int level_ = 0;
    bool condensed_ = false;
};

}  // namespace korvane
