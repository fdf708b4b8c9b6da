#include "repair/xml_node_list.h"

#include "repair/file_io.h"
#include "shared/errors.h"
#include "shared/text.h"

#include <algorithm>
#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace korvane {

namespace {

[[noreturn]] void IndexError(long long index) {
    throw Error(Format("List index out of bounds (%lld)", index));
}

bool IsWhitespace(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

// The characters at position i are exactly these.
bool Follows(std::string_view text, size_t i, std::string_view what) {
    return i <= text.size() && text.substr(i, what.size()) == what;
}

// The characters at position i are these, letters compared ignoring case.
bool FollowsText(std::string_view text, size_t i, std::string_view what) {
    return i <= text.size() && text.size() - i >= what.size() && SameText(text.substr(i, what.size()), what);
}

// Part of a text by 1-based start and count; out-of-range parts are cut off,
// a count below one gives nothing.
std::string_view MidText(std::string_view text, long long start, long long count) {
    if (start < 1) start = 1;
    if (count < 1 || start > static_cast<long long>(text.size())) return {};
    return text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
}

// Memory about to be written all over: its pages are made ready in one go
// where the system allows, instead of one at a time as they are touched.
void PrepareToFill(void* data, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(page - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace

TMyXMLNode::TMyXMLNode(int level, std::string tagText) : level_(level), tagText_(std::move(tagText)) {
    const std::string& t = tagText_;
    if (t.size() < 2 || t[0] != '<' || t[1] == '!' || t[1] == '/' || t[1] == '?') return;
    nameStart_ = 1;
    if (t.find('=') != std::string::npos) {
        size_t space = t.find(' ');
        nameLength_ = (space == std::string::npos) ? t.size() - 1 : space - 1;
    } else {
        nameLength_ = t.size() - 2;
    }
}

const std::string& TMyXMLNode::Value() const {
    if (!tagText_.empty() && tagText_[0] == '<') return value_;
    return tagText_;
}

std::string TMyXMLNode::TakeValue() {
    if (!tagText_.empty() && tagText_[0] == '<') return value_;
    return std::move(tagText_);
}

TMyXMLNodeList::TMyXMLNodeList(const std::string& filePath, bool condense) { ReadFile(filePath, condense); }

void TMyXMLNodeList::ReadFile(const std::string& filePath, bool condense) {
    std::string text = ReadTextCrLf(filePath);
    ParseText(text, condense);
}

void TMyXMLNodeList::AddNode(int level, std::string tagText) { nodes_.emplace_back(level, std::move(tagText)); }

void TMyXMLNodeList::ParseText(std::string_view text, bool condense) {
    nodes_.clear();
    position_ = 0;
    level_ = 0;
    condensed_ = false;
    // A node for every tag and at most one text after each: room for all of
    // them at once, so that the list is never moved while it grows. The
    // pages of what is not used are never touched.
    const auto tags = static_cast<size_t>(std::count(text.begin(), text.end(), '<'));
    nodes_.reserve(2 * tags + 1);
    PrepareToFill(nodes_.data(), tags * sizeof(TMyXMLNode));

    enum class State {
        Between, ProcessingInstruction, Comment, Doctype, Cdata,
        TagName, Attribute, AttributeName, Quoted, Text, ClosingTag
    };

    // Expected closing texts ("</" + name, without ">"), newest last.
    std::vector<std::string> open;
    auto depth = [&open] { return static_cast<int>(open.size()); };
    std::string assembled;
    State state = State::Between;
    const size_t n = text.size();
    size_t i = text.find('<');
    if (i == std::string_view::npos) i = n;

    auto emptyElement = [&] {
        AddNode(depth(), assembled + ">");
        assembled.clear();
        i += 2;
        state = State::Between;
    };
    auto openElement = [&] {
        size_t space = assembled.find(' ');
        std::string closing = "</";
        closing.append(assembled, 1, space == std::string::npos ? std::string::npos : space - 1);
        open.push_back(std::move(closing));
        AddNode(depth() - 1, assembled + ">");
        assembled.clear();
        i += 1;
        state = State::Text;
    };

    while (i < n) {
        const char c = text[i];
        switch (state) {
        case State::Between:
            if (IsWhitespace(c)) {
                ++i;
            } else if (c != '<') {
                assembled.clear();
                state = State::Text;
            } else if (Follows(text, i, "<?")) {
                assembled = "<?";
                i += 2;
                state = State::ProcessingInstruction;
            } else if (Follows(text, i, "<!--")) {
                assembled = "<!";
                i += 2;
                state = State::Comment;
            } else if (Follows(text, i, "<!") && FollowsText(text, i + 2, "DOCTYPE")) {
                i += 9;
                state = State::Doctype;
            } else if (Follows(text, i, "<!") && FollowsText(text, i + 2, "[CDATA[")) {
                i += 9;
                state = State::Cdata;
            } else if (Follows(text, i, "</")) {
                assembled = "</";
                i += 2;
                state = State::ClosingTag;
            } else {
                assembled = "<";
                i += 1;
                state = State::TagName;
            }
            break;
        case State::ProcessingInstruction:
            if (c == '?' && Follows(text, i + 1, ">")) {
                AddNode(depth(), assembled + "?>");
                assembled.clear();
                i += 2;
                state = State::Between;
            } else {
                assembled += c;
                ++i;
            }
            break;
        case State::Comment:
            if (c == '-' && Follows(text, i + 1, "->")) {
                AddNode(depth(), assembled + "-->");
                assembled.clear();
                i += 3;
                state = State::Between;
            } else {
                assembled += c;
                ++i;
            }
            break;
        case State::Doctype:
            if (Follows(text, i + 1, ">")) {
                i += 2;
                state = State::Between;
            } else {
                ++i;
            }
            break;
        case State::Cdata:
            if (Follows(text, i + 1, "]]>")) {
                i += 4;
                state = State::Between;
            } else {
                ++i;
            }
            break;
        case State::TagName:
            if (IsWhitespace(c)) {
                state = State::Attribute;
            } else if (c == '/' && Follows(text, i + 1, ">")) {
                emptyElement();
            } else if (c == '>') {
                openElement();
            } else {
                assembled += c;
                ++i;
            }
            break;
        case State::Attribute:
            if (IsWhitespace(c)) {
                ++i;
            } else if (c == '/' && Follows(text, i + 1, ">")) {
                emptyElement();
            } else if (c == '>') {
                openElement();
            } else {
                assembled += ' ';
                state = State::AttributeName;
            }
            break;
        case State::AttributeName:
            if (c == '"') {
                assembled += c;
                ++i;
                state = State::Quoted;
            } else if (IsWhitespace(c)) {
                ++i;
            } else {
                assembled += c;
                ++i;
            }
            break;
        case State::Quoted: {
            // Everything up to and including the closing quotation mark.
            size_t quote = text.find('"', i);
            size_t stop = (quote == std::string_view::npos) ? n : quote + 1;
            assembled.append(text.substr(i, stop - i));
            i = stop;
            if (quote != std::string_view::npos) state = State::Attribute;
            break;
        }
        case State::Text: {
            size_t lt = text.find('<', i);
            if (lt == std::string_view::npos) {
                i = n;  // a text at the very end is dropped
                break;
            }
            assembled.append(text.substr(i, lt - i));
            i = lt;
            std::string trimmed = Trim(assembled);
            assembled.clear();
            if (!trimmed.empty()) AddNode(depth(), std::move(trimmed));
            state = State::Between;
            break;
        }
        case State::ClosingTag:
            if (IsWhitespace(c)) {
                ++i;
            } else if (c == '>') {
                if (open.empty()) IndexError(0);
                if (assembled != open.back()) {
                    std::string message = "No matching tag found for ";
                    message += assembled;
                    message += ">!";
                    throw Error(message);
                }
                open.pop_back();
                AddNode(depth(), assembled + ">");
                assembled.clear();
                i += 1;
                state = State::Text;
            } else {
                assembled += c;
                ++i;
            }
            break;
        }
    }

    if (condense) Condense();
}

void TMyXMLNodeList::Condense() {
    if (condensed_) return;
    condensed_ = true;
    const size_t n = nodes_.size();
    size_t i = 0;
    while (i < n) {
        if (i + 3 < n && nodes_[i].Level() == nodes_[i + 2].Level() &&
            nodes_[i].Level() < nodes_[i + 1].Level()) {
            // An element holding only text (or a single node): it takes that
            // node's value. A text node is dropped below, so its text can move.
            nodes_[i].SetValue(nodes_[i + 1].Name().empty() ? nodes_[i + 1].TakeValue()
                                                              : nodes_[i + 1].Value());
            i += 3;
        } else if (i + 2 < n && nodes_[i + 1].Level() == nodes_[i].Level() &&
                   MidText(nodes_[i + 1].TagText(), 3, static_cast<long long>(nodes_[i + 1].TagText().size()) - 3) ==
                       nodes_[i].Name()) {
            // An element with nothing inside.
            i += 2;
        } else {
            i += 1;
        }
    }
    std::erase_if(nodes_, [](const TMyXMLNode& node) { return node.Name().empty(); });
    position_ = 0;
    level_ = 0;
}

const TMyXMLNode& TMyXMLNodeList::NodeAt(int position) const {
    if (position < 0 || position >= Count()) IndexError(position);
    return nodes_[static_cast<size_t>(position)];
}

const TMyXMLNode& TMyXMLNodeList::CurrentNode() const { return NodeAt(position_); }

void TMyXMLNodeList::GoTo(int position) {
    if (position < 0) position = 0;
    if (position >= Count()) position = Count() - 1;
    const TMyXMLNode& node = NodeAt(position);
    position_ = position;
    level_ = node.Level();
}

bool TMyXMLNodeList::NextSibling() {
    for (int j = position_ + 1; j < Count(); ++j) {
        int level = nodes_[static_cast<size_t>(j)].Level();
        if (level > level_) continue;
        if (level < level_) return false;
        position_ = j;
        return true;
    }
    return false;
}

bool TMyXMLNodeList::FirstChild(int position) {
    if (position == -1) position = position_;
    const TMyXMLNode& given = NodeAt(position);
    if (position + 1 >= Count() || nodes_[static_cast<size_t>(position + 1)].Level() <= given.Level()) return false;
    GoTo(position + 1);
    return true;
}

bool TMyXMLNodeList::FindByName(std::string_view name) {
    const int count = Count();
    int start = 0;
    if (level_ != 0) {
        for (int j = position_ < count ? position_ : count - 1; j >= 0; --j) {
            if (nodes_[static_cast<size_t>(j)].Level() < level_) {
                start = j + 1;
                break;
            }
        }
    }
    int found = -1;
    for (int j = start; j < count; ++j) {
        const TMyXMLNode& node = nodes_[static_cast<size_t>(j)];
        if (node.Level() < level_) break;
        if (node.Name() == name) {
            found = j;
            break;
        }
    }
    // The search leaves the cursor where it was unless it found the name; on
    // an empty list this is where the index error comes from.
    GoTo(found >= 0 ? found : position_);
    return found >= 0;
}

}  // namespace korvane
