#include "shared/ini_file.h"

#include <cerrno>

#include "shared/errors.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return AsciiUpper(c) - 'A' + 10;
}

// Whether raw[i] must be written as "\xHH".
bool NeedsHex(std::string_view raw, size_t i, IniFile::Part part) {
    const unsigned char c = static_cast<unsigned char>(raw[i]);
    if (c < 0x20 || c == 0x7f) return true;
    if (c == ' ' && (i == 0 || i + 1 == raw.size())) return true;
    if (part == IniFile::Part::Value) return false;
    if (c == '=' || c == ']') return true;
    return i == 0 && (c == '[' || c == ';' || c == '#');
}

}  // namespace

std::string IniFile::Escape(std::string_view raw, Part part) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (NeedsHex(raw, i, part)) {
            const unsigned char u = static_cast<unsigned char>(c);
            out += "\\x";
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 15]);
        } else if (c == '\\') {
            // Doubled only when what follows could be read as an escape.
            const bool next = i + 1 < raw.size();
            const bool ambiguous = next && (raw[i + 1] == '\\' || raw[i + 1] == 'x' || NeedsHex(raw, i + 1, part));
            out += ambiguous ? "\\\\" : "\\";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string IniFile::Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            if (text[i + 1] == '\\') {
                out.push_back('\\');
                ++i;
                continue;
            }
            if (text[i + 1] == 'x' && i + 3 < text.size() && IsHexDigit(text[i + 2]) && IsHexDigit(text[i + 3])) {
                out.push_back(char(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3])));
                i += 3;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

void IniFile::parse(std::string_view text) {
    groups_.clear();
    groups_.push_back(Group{});
    for (const std::string& line : SplitLines(text)) {
        const std::string t = Trim(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            Group g;
            g.name = Unescape(Trim(std::string_view(t).substr(1, t.size() - 2)));
            g.header = true;
            groups_.push_back(std::move(g));
            continue;
        }
        Line l;
        l.raw = line;
        const size_t eq = t.find('=');
        if (eq != std::string::npos && t[0] != ';' && t[0] != '#') {
            l.entry = true;
            l.key = Unescape(Trim(std::string_view(t).substr(0, eq)));
            l.value = Unescape(Trim(std::string_view(t).substr(eq + 1)));
        }
        groups_.back().lines.push_back(std::move(l));
    }
}

std::string IniFile::text() const {
    std::string out;
    for (const Group& g : groups_) {
        if (g.header) out += "[" + Escape(g.name, Part::Group) + "]\n";
        for (const Line& l : g.lines) {
            if (l.entry)
                out += Escape(l.key, Part::Key) + "=" + Escape(l.value, Part::Value) + "\n";
            else
                out += l.raw + "\n";
        }
    }
    return out;
}

void IniFile::load(const std::string& path) {
    if (!FileExists(path) && !DirectoryExists(path)) {
        parse("");
        return;
    }
    parse(ReadFileBytes(path));
}

void IniFile::save(const std::string& path) const {
    const std::string dir = ExtractFileDir(path);
    if (!dir.empty() && !ForceDirectories(dir))
        throw Error(Format("Cannot create folder \"%s\". %s", dir.c_str(), SystemErrorText(errno).c_str()));
    WriteFileAtomic(path, text());
}

const IniFile::Group* IniFile::findGroup(std::string_view name) const {
    for (const Group& g : groups_)
        if (g.header && SameText(g.name, name)) return &g;
    return nullptr;
}

IniFile::Group* IniFile::findGroup(std::string_view name) {
    return const_cast<Group*>(static_cast<const IniFile*>(this)->findGroup(name));
}

bool IniFile::has(std::string_view group, std::string_view key) const {
    if (const Group* g = findGroup(group))
        for (const Line& l : g->lines)
            if (l.entry && SameText(l.key, key)) return true;
    return false;
}

std::string IniFile::value(std::string_view group, std::string_view key) const {
    if (const Group* g = findGroup(group))
        for (const Line& l : g->lines)
            if (l.entry && SameText(l.key, key)) return l.value;
    return {};
}

void IniFile::setValue(std::string_view group, std::string_view key, std::string_view value) {
    auto blank = [](const Line& l) { return !l.entry && Trim(l.raw).empty(); };
    if (groups_.empty()) groups_.push_back(Group{});
    Group* g = findGroup(group);
    if (!g) {
        // A blank line between groups keeps the file readable.
        Group& last = groups_.back();
        if (!last.lines.empty() && !blank(last.lines.back())) last.lines.push_back(Line{});
        Group fresh;
        fresh.name = std::string(group);
        fresh.header = true;
        groups_.push_back(std::move(fresh));
        g = &groups_.back();
    }
    for (Line& l : g->lines) {
        if (l.entry && SameText(l.key, key)) {
            l.value = std::string(value);
            return;
        }
    }
    Line l;
    l.entry = true;
    l.key = std::string(key);
    l.value = std::string(value);
    // Right after the group's last entry; in a group without entries before
    // its trailing blank lines.
    auto pos = g->lines.end();
    while (pos != g->lines.begin() && !(pos - 1)->entry) --pos;
    if (pos == g->lines.begin()) {
        pos = g->lines.end();
        while (pos != g->lines.begin() && blank(*(pos - 1))) --pos;
    }
    g->lines.insert(pos, std::move(l));
}

void IniFile::remove(std::string_view group, std::string_view key) {
    if (Group* g = findGroup(group)) {
        for (auto it = g->lines.begin(); it != g->lines.end();) {
            if (it->entry && SameText(it->key, key))
                it = g->lines.erase(it);
            else
                ++it;
        }
    }
}

std::vector<std::pair<std::string, std::string>> IniFile::entries(std::string_view group) const {
    std::vector<std::pair<std::string, std::string>> out;
    if (const Group* g = findGroup(group))
        for (const Line& l : g->lines)
            if (l.entry) out.emplace_back(l.key, l.value);
    return out;
}

}  // namespace korvane
