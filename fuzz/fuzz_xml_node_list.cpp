// brelvin's parameter file reader on arbitrary text: parsing, condensing and
// the cursor operations the repair run uses.
//
// Checked besides the sanitizers: only korvane::Error escapes; the nodes (or
// the error message) equal those of a plain model that reads the text one
// character at a time through the reader's state table, before and after
// condensing; parsing with condense equals parsing and condensing afterwards,
// and a second Condense changes nothing; every node left after condensing has
// a name; GoTo clamps; FirstChild, NextSibling and FindByName move the cursor
// only as documented.

#include <algorithm>
#include <optional>

#include "fuzz/fuzz_support.h"
#include "repair/xml_node_list.h"
#include "shared/errors.h"

using korvane::Error;
using korvane::TMyXMLNode;
using korvane::TMyXMLNodeList;
using korvane::fuzz::Shown;

namespace {

// ---- The model -------------------------------------------------------------

struct ModelNode {
    int level;
    std::string tag;
    std::string value;
};

bool IsWs(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

bool At(std::string_view text, size_t i, std::string_view what) {
    return i <= text.size() && text.substr(i, what.size()) == what;
}

bool AtIgnoringCase(std::string_view text, size_t i, std::string_view what) {
    if (i > text.size() || text.size() - i < what.size()) return false;
    for (size_t k = 0; k < what.size(); ++k) {
        char a = text[i + k], b = what[k];
        if (a >= 'a' && a <= 'z') a = char(a - 32);
        if (b >= 'a' && b <= 'z') b = char(b - 32);
        if (a != b) return false;
    }
    return true;
}

std::string ModelName(const std::string& t) {
    if (t.size() < 2 || t[0] != '<' || t[1] == '!' || t[1] == '/' || t[1] == '?') return {};
    if (t.find('=') != std::string::npos) {
        size_t space = t.find(' ');
        return space == std::string::npos ? t.substr(1) : t.substr(1, space - 1);
    }
    return t.substr(1, t.size() - 2);
}

std::string ModelTrim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

// The nodes as the state table makes them, or the message of the error.
struct ModelResult {
    std::vector<ModelNode> nodes;
    std::optional<std::string> error;
};

ModelResult ModelParse(std::string_view text) {
    enum State { Between, PI, Comment, Doctype, Cdata, TagName, Attr, AttrName, Quoted, Text, Closing };
    ModelResult r;
    std::vector<std::string> stack;
    std::string a;
    State state = Between;
    size_t i = text.find('<');
    if (i == std::string_view::npos) return r;
    // Making a node starts the next tag or text afresh.
    auto add = [&](int level, std::string tag) {
        r.nodes.push_back({level, std::move(tag), {}});
        a.clear();
    };
    auto empty = [&] {
        add(int(stack.size()), a + ">");
        i += 2;
        state = Between;
    };
    auto open = [&] {
        size_t space = a.find(' ');
        stack.push_back("</" + a.substr(1, space == std::string::npos ? std::string::npos : space - 1));
        add(int(stack.size()) - 1, a + ">");
        i += 1;
        state = Text;
    };
    while (i < text.size()) {
        const char c = text[i];
        switch (state) {
        case Between:
            if (IsWs(c)) ++i;
            else if (At(text, i, "<?")) { a = "<?"; i += 2; state = PI; }
            else if (At(text, i, "<!--")) { a = "<!"; i += 2; state = Comment; }
            else if (At(text, i, "<!") && AtIgnoringCase(text, i + 2, "DOCTYPE")) { i += 9; state = Doctype; }
            else if (At(text, i, "<!") && AtIgnoringCase(text, i + 2, "[CDATA[")) { i += 9; state = Cdata; }
            else if (At(text, i, "</")) { a = "</"; i += 2; state = Closing; }
            else if (c == '<') { a = "<"; i += 1; state = TagName; }
            else { a.clear(); state = Text; }
            break;
        case PI:
            if (c == '?' && At(text, i + 1, ">")) { add(int(stack.size()), a + "?>"); i += 2; state = Between; }
            else { a += c; ++i; }
            break;
        case Comment:
            if (c == '-' && At(text, i + 1, "->")) { add(int(stack.size()), a + "-->"); i += 3; state = Between; }
            else { a += c; ++i; }
            break;
        case Doctype:
            if (At(text, i + 1, ">")) { i += 2; state = Between; }
            else ++i;
            break;
        case Cdata:
            if (At(text, i + 1, "]]>")) { i += 4; state = Between; }
            else ++i;
            break;
        case TagName:
            if (IsWs(c)) state = Attr;
            else if (c == '/' && At(text, i + 1, ">")) empty();
            else if (c == '>') open();
            else { a += c; ++i; }
            break;
        case Attr:
            if (IsWs(c)) ++i;
            else if (c == '/' && At(text, i + 1, ">")) empty();
            else if (c == '>') open();
            else { a += ' '; state = AttrName; }
            break;
        case AttrName:
            if (c == '"') { a += c; ++i; state = Quoted; }
            else if (IsWs(c)) ++i;
            else { a += c; ++i; }
            break;
        case Quoted:
            a += c;
            if (c == '"') state = Attr;
            ++i;
            break;
        case Text:
            if (c == '<') {
                std::string t = ModelTrim(a);
                if (!t.empty()) add(int(stack.size()), t);
                state = Between;
            } else { a += c; ++i; }
            break;
        case Closing:
            if (IsWs(c)) ++i;
            else if (c == '>') {
                if (stack.empty()) { r.error = "List index out of bounds (0)"; return r; }
                if (a != stack.back()) { r.error = "No matching tag found for " + a + ">!"; return r; }
                stack.pop_back();
                add(int(stack.size()), a + ">");
                i += 1;
                state = Text;
            } else { a += c; ++i; }
            break;
        }
    }
    return r;
}

void ModelCondense(std::vector<ModelNode>& nodes) {
    const size_t n = nodes.size();
    auto value = [](const ModelNode& node) { return !node.tag.empty() && node.tag[0] == '<' ? node.value : node.tag; };
    size_t i = 0;
    while (i < n) {
        if (i + 3 < n && nodes[i].level == nodes[i + 2].level && nodes[i].level < nodes[i + 1].level) {
            nodes[i].value = value(nodes[i + 1]);
            i += 3;
        } else if (i + 2 < n && nodes[i + 1].level == nodes[i].level &&
                   (nodes[i + 1].tag.size() >= 3 ? nodes[i + 1].tag.substr(2, nodes[i + 1].tag.size() - 3)
                                                  : std::string()) == ModelName(nodes[i].tag)) {
            i += 2;
        } else {
            i += 1;
        }
    }
    std::erase_if(nodes, [](const ModelNode& node) { return ModelName(node.tag).empty(); });
}

void CheckAgainstModel(const TMyXMLNodeList& list, const std::vector<ModelNode>& model) {
    FUZZ_CHECK_MSG(list.Count() == int(model.size()),
                   std::to_string(list.Count()) + " nodes, the model has " + std::to_string(model.size()));
    for (int i = 0; i < list.Count(); ++i) {
        const TMyXMLNode& node = list.NodeAt(i);
        const ModelNode& m = model[size_t(i)];
        const std::string shown = "node " + std::to_string(i) + " " + Shown(node.TagText()) + " model " + Shown(m.tag);
        FUZZ_CHECK_MSG(node.Level() == m.level && node.TagText() == m.tag, shown);
        FUZZ_CHECK_MSG(node.Name() == ModelName(m.tag), shown);
        FUZZ_CHECK_MSG(node.Value() == (!m.tag.empty() && m.tag[0] == '<' ? m.value : m.tag),
                       shown + " value " + Shown(node.Value()) + " model " + Shown(m.value));
    }
}

// ---- The reader --------------------------------------------------------------

bool SameNode(const TMyXMLNode& a, const TMyXMLNode& b) {
    return a.Level() == b.Level() && a.TagText() == b.TagText() && a.Name() == b.Name() && a.Value() == b.Value();
}

template <class F>
bool Throws(F f) {
    try {
        f();
    } catch (const Error&) {
        return true;
    }
    return false;
}

// The walk of the repair run: Files, its first child, then sibling by sibling.
void WalkLikeTheRepairRun(TMyXMLNodeList& list) {
    if (!list.FindByName("Files")) return;
    FUZZ_CHECK(list.CurrentNode().Name() == "Files");
    list.FirstChild(-1);
    int guard = list.Count() + 1;
    while (list.NextSibling()) FUZZ_CHECK(--guard > 0);
}

void CheckCursorAt(TMyXMLNodeList& list, int p) {
    const int n = list.Count();
    list.GoTo(p);
    FUZZ_CHECK(list.CurrentPosition() == p);
    FUZZ_CHECK(list.CurrentLevel() == list.NodeAt(p).Level());
    const int level = list.CurrentLevel();

    // FirstChild: the very next node when it lies deeper, else no move.
    bool deeper = p + 1 < n && list.NodeAt(p + 1).Level() > level;
    FUZZ_CHECK(list.FirstChild(-1) == deeper);
    FUZZ_CHECK(list.CurrentPosition() == (deeper ? p + 1 : p));
    list.GoTo(p);
    FUZZ_CHECK(list.FirstChild(p) == deeper);

    // NextSibling: the next node on the same level with only deeper ones between.
    list.GoTo(p);
    int at = p;
    while (list.NextSibling()) {
        int next = list.CurrentPosition();
        FUZZ_CHECK(next > at);
        FUZZ_CHECK(list.NodeAt(next).Level() == level);
        FUZZ_CHECK(list.CurrentLevel() == level);
        for (int j = at + 1; j < next; ++j) FUZZ_CHECK(list.NodeAt(j).Level() > level);
        at = next;
    }
    FUZZ_CHECK(list.CurrentPosition() == at);
    if (at + 1 < n) {
        // Stopped by a node of a lower level, after deeper ones only.
        int j = at + 1;
        while (j < n && list.NodeAt(j).Level() > level) ++j;
        FUZZ_CHECK(j == n || list.NodeAt(j).Level() < level);
    }

    // FindByName: the node's own name is in its range, at or before it.
    list.GoTo(p);
    const std::string name(list.NodeAt(p).Name());
    FUZZ_CHECK_MSG(list.FindByName(name), Shown(name));
    FUZZ_CHECK(list.CurrentPosition() <= p);
    FUZZ_CHECK(list.CurrentNode().Name() == name);

    // A name that no node carries (a name never begins with "/") leaves the
    // cursor where it was.
    list.GoTo(p);
    FUZZ_CHECK(!list.FindByName("/no such element"));
    FUZZ_CHECK(list.CurrentPosition() == p);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = korvane::fuzz::AsText(data, size);

    ModelResult model = ModelParse(text);
    // An error's message is a C string: it ends at a NUL of the tag.
    if (model.error) model.error->resize(std::min(model.error->size(), model.error->find('\0')));
    TMyXMLNodeList parsed, condensed;
    std::string message;
    try {
        parsed.ParseText(text, false);
    } catch (const Error& e) {
        message = e.what();
        FUZZ_CHECK_MSG(model.error && message == *model.error, Shown(message));
    }
    bool failedCondensing = Throws([&] { condensed.ParseText(text, true); });
    FUZZ_CHECK(model.error.has_value() == failedCondensing);
    if (model.error) {
        FUZZ_CHECK_MSG(message == *model.error, "no error, the model fails with " + *model.error);
        return 0;
    }

    CheckAgainstModel(parsed, model.nodes);
    for (int i = 0; i < parsed.Count(); ++i) FUZZ_CHECK(parsed.NodeAt(i).Level() >= 0);
    parsed.Condense();
    ModelCondense(model.nodes);
    CheckAgainstModel(parsed, model.nodes);
    FUZZ_CHECK(parsed.Count() == condensed.Count());
    for (int i = 0; i < parsed.Count(); ++i) FUZZ_CHECK(SameNode(parsed.NodeAt(i), condensed.NodeAt(i)));
    parsed.Condense();  // runs once per parsed text
    FUZZ_CHECK(parsed.Count() == condensed.Count());

    const int n = condensed.Count();
    FUZZ_CHECK(Throws([&] { condensed.NodeAt(-1); }));
    FUZZ_CHECK(Throws([&] { condensed.NodeAt(n); }));
    if (n == 0) {
        FUZZ_CHECK(Throws([&] { condensed.GoTo(0); }));
        FUZZ_CHECK(Throws([&] { condensed.FindByName("Files"); }));
        return 0;
    }
    for (int i = 0; i < n; ++i) {
        FUZZ_CHECK(!condensed.NodeAt(i).Name().empty());
        FUZZ_CHECK(condensed.NodeAt(i).Level() >= 0);
    }

    FUZZ_CHECK(condensed.CurrentPosition() == 0 && condensed.CurrentLevel() == 0);
    WalkLikeTheRepairRun(condensed);

    condensed.GoTo(-5);
    FUZZ_CHECK(condensed.CurrentPosition() == 0);
    condensed.GoTo(n + 5);
    FUZZ_CHECK(condensed.CurrentPosition() == n - 1);

    // Every position of a small list, an even spread over a big one (each
    // check walks the list, so all of them would be quadratic).
    const int samples = std::min(n, 64);
    for (int s = 0; s < samples; ++s) CheckCursorAt(condensed, int(int64_t(s) * n / samples));
    CheckCursorAt(condensed, n - 1);
    return 0;
}
