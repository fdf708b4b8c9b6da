#include "shared/text.h"

#include <climits>
#include <cstdarg>
#include <cwchar>
#include <cwctype>
#include <cstdio>
#include <cstring>

namespace korvane {

std::string TextAfterFirst(std::string_view text, std::string_view sep) {
    if (sep.empty()) return {};
    auto pos = text.find(sep);
    if (pos == std::string_view::npos) return {};
    return std::string(text.substr(pos + sep.size()));
}

std::string TextAfterLast(std::string_view text, std::string_view sep) {
    if (sep.empty()) return {};
    auto pos = text.rfind(sep);
    if (pos == std::string_view::npos) return {};
    return std::string(text.substr(pos + sep.size()));
}

std::string TextBeforeFirst(std::string_view text, std::string_view sep) {
    if (sep.empty()) return std::string(text);
    auto pos = text.find(sep);
    if (pos == std::string_view::npos) return std::string(text);
    return std::string(text.substr(0, pos));
}

std::string TextBeforeLast(std::string_view text, std::string_view sep) {
    if (sep.empty()) return std::string(text);
    auto pos = text.rfind(sep);
    if (pos == std::string_view::npos) return std::string(text);
    return std::string(text.substr(0, pos));
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string LowerCase(std::string_view text) {
    std::string r(text);
    for (char& c : r) c = AsciiLower(c);
    return r;
}

std::string UpperCase(std::string_view text) {
    std::string r(text);
    for (char& c : r) c = AsciiUpper(c);
    return r;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

int CompareText(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    // Equal bytes stay equal folded: a shared beginning (paths in one folder)
    // is passed eight bytes at a time.
    size_t i = 0;
    while (i + 8 <= n && std::memcmp(a.data() + i, b.data() + i, 8) == 0) i += 8;
    for (; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(AsciiLower(a[i]));
        unsigned char y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool StartsWithStr(std::string_view prefix, std::string_view text) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool StartsWithText(std::string_view prefix, std::string_view text) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool EndsWithText(std::string_view suffix, std::string_view text) {
    return text.size() >= suffix.size() && SameText(text.substr(text.size() - suffix.size()), suffix);
}

bool ContainsText(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return true;
    if (needle.size() > haystack.size()) return false;
    for (size_t i = 0; i + needle.size() <= haystack.size(); ++i)
        if (SameText(haystack.substr(i, needle.size()), needle)) return true;
    return false;
}

namespace {

// One UTF-8 sequence at text[i]: its code point and length, or length 0 for a
// byte that starts no valid sequence (such bytes are kept as they are).
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& cp) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = b(i);
    size_t len = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > text.size()) return 0;
    cp = len == 1 ? lead : len == 2 ? (lead & 0x1F) : len == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

// The character's case as the current locale maps it.
char32_t LocaleCase(char32_t cp, bool upper) {
    if (cp > char32_t(WCHAR_MAX)) return cp;
    const wint_t c = static_cast<wint_t>(cp);
    const wint_t mapped = upper ? std::towupper(c) : std::towlower(c);
    return mapped > 0x10FFFF ? cp : static_cast<char32_t>(mapped);
}

}  // namespace

// Unlike the other routines, which fold ASCII letters only, this one follows
// the locale's case mapping, so "éVA" becomes "Éva" under a UTF-8 locale.
std::string ProperCase(std::string_view text) {
    std::string r;
    r.reserve(text.size());
    bool first = true;
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            r.push_back(text[i++]);
        } else {
            AppendUtf8(r, LocaleCase(cp, first));
            i += len;
        }
        first = false;
    }
    return r;
}

std::string SqueezeChar(std::string_view text, char c) {
    std::string r;
    r.reserve(text.size());
    size_t i = 0;
    while (i < text.size() && text[i] == c) ++i;
    for (; i < text.size(); ++i) {
        if (text[i] == c && !r.empty() && r.back() == c) continue;
        r.push_back(text[i]);
    }
    return r;
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string Trim(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

std::string TrimLeft(std::string_view text) {
    size_t b = 0;
    while (b < text.size() && IsBlank(text[b])) ++b;
    return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
    size_t e = text.size();
    while (e > 0 && IsBlank(text[e - 1])) --e;
    return std::string(text.substr(0, e));
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string r;
    r.reserve(text.size());
    size_t pos = 0;
    while (true) {
        size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) break;
        r.append(text.substr(pos, hit - pos));
        r.append(to);
        pos = hit + from.size();
    }
    r.append(text.substr(pos));
    return r;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    size_t total = 0;
    for (const auto& l : lines) total += l.size() + 2;
    std::string r;
    r.reserve(total);
    for (const auto& l : lines) {
        r.append(l);
        r.append("\r\n");
    }
    return r;
}

std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string r;
    if (n > 0) {
        r.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(r.data(), r.size(), fmt, ap2);
        r.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return r;
}

std::u16string Utf16FromBytes(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const size_t n = DecodeUtf8(bytes, i, c);
        if (n == 0) {
            out.push_back(char16_t(0xDC00 + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
        i += n;
    }
    return out;
}

std::string BytesFromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out.push_back(char(u - 0xDC00));  // a byte that was no UTF-8
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

}  // namespace korvane
