#include "tools/io_scanner.h"

#include <cctype>
#include <vector>

#include "shared/text.h"

namespace korvane::tools {

namespace {

struct Token {
    enum Kind { Word, String, Punct } kind;
    std::string text;
};

bool IsCWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }
bool IsCobolWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; }

// C and Java: // and /* */ comments dropped, "..." strings kept as tokens
// (escapes resolved only as far as a backslash keeps the next character),
// '...' character literals dropped.
std::vector<Token> TokenizeCLike(const std::string& s) {
    std::vector<Token> tokens;
    size_t i = 0, n = s.size();
    while (i < n) {
        char c = s[i];
        if (c == '/' && i + 1 < n && s[i + 1] == '/') {
            while (i < n && s[i] != '\n' && s[i] != '\r') ++i;
        } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            size_t end = s.find("*/", i + 2);
            i = end == std::string::npos ? n : end + 2;
        } else if (c == '"' || c == '\'') {
            std::string text;
            ++i;
            while (i < n && s[i] != c && s[i] != '\n') {
                if (s[i] == '\\' && i + 1 < n) ++i;
                text += s[i++];
            }
            ++i;
            if (c == '"') tokens.push_back({Token::String, text});
        } else if (IsCWordChar(c)) {
            size_t start = i;
            while (i < n && IsCWordChar(s[i])) ++i;
            tokens.push_back({Token::Word, s.substr(start, i - start)});
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else {
            tokens.push_back({Token::Punct, std::string(1, c)});
            ++i;
        }
    }
    return tokens;
}

// Cobol: a "*" or "/" in column 7 makes a comment line, "*>" starts a
// comment; literals in quotes or apostrophes become string tokens.
std::vector<Token> TokenizeCobol(const std::string& text) {
    std::vector<Token> tokens;
    for (std::string line : SplitLines(text)) {
        if (line.size() >= 7 && (line[6] == '*' || line[6] == '/')) continue;
        size_t comment = line.find("*>");
        if (comment != std::string::npos) line.resize(comment);
        size_t i = 0, n = line.size();
        while (i < n) {
            char c = line[i];
            if (c == '"' || c == '\'') {
                size_t end = line.find(c, i + 1);
                if (end == std::string::npos) end = n;
                tokens.push_back({Token::String, line.substr(i + 1, end - i - 1)});
                i = end + 1;
            } else if (IsCobolWordChar(c)) {
                size_t start = i;
                while (i < n && IsCobolWordChar(line[i])) ++i;
                tokens.push_back({Token::Word, line.substr(start, i - start)});
            } else {
                if (!std::isspace(static_cast<unsigned char>(c))) tokens.push_back({Token::Punct, std::string(1, c)});
                ++i;
            }
        }
    }
    return tokens;
}

bool Is(const std::vector<Token>& t, size_t i, Token::Kind kind, const char* text = nullptr) {
    return i < t.size() && t[i].kind == kind && (!text || t[i].text == text);
}

void ScanCobol(const std::string& text, WordLists& found) {
    static const struct {
        const char* word;
        const char* tag;
    } kStatements[] = {{"READ", "INPT"},    {"WRITE", "OTPT"}, {"REWRITE", "OTPT"},
                       {"DELETE", "OTPT"}, {"OPEN", "FUNC"},  {"CLOSE", "FUNC"}};
    std::vector<Token> t = TokenizeCobol(text);
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != Token::Word) continue;
        std::string word = UpperCase(t[i].text);
        for (const auto& s : kStatements)
            if (word == s.word) AddUnique(found.controlWords, std::string(s.tag) + " " + s.word);
        if (word == "FD" && Is(t, i + 1, Token::Word)) AddUnique(found.objects, t[i + 1].text);
    }
}

void ScanC(const std::string& text, WordLists& found) {
    static const struct {
        const char* word;
        const char* tag;
    } kCalls[] = {{"fread", "INPT"},   {"fscanf", "INPT"}, {"fwrite", "OTPT"},
                  {"fprintf", "OTPT"}, {"fopen", "FUNC"},  {"fclose", "FUNC"}};
    std::vector<Token> t = TokenizeCLike(text);
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != Token::Word || !Is(t, i + 1, Token::Punct, "(")) continue;
        // A member or a declaration such as "x.fopen(" or "int fopen(" is no call
        // of the library; members are skipped, declarations are rare enough.
        if (i > 0 && t[i - 1].kind == Token::Punct && (t[i - 1].text == "." || t[i - 1].text == ">")) continue;
        for (const auto& c : kCalls) {
            if (t[i].text != c.word) continue;
            AddUnique(found.controlWords, std::string(c.tag) + " " + c.word);
            if (t[i].text == "fopen" && Is(t, i + 2, Token::String) && !t[i + 2].text.empty())
                AddUnique(found.objects, t[i + 2].text);
        }
    }
}

void ScanJava(const std::string& text, WordLists& found) {
    static const struct {
        const char* word;
        const char* tag;
    } kClasses[] = {{"FileInputStream", "INPT"},  {"BufferedReader", "INPT"}, {"FileReader", "INPT"},
                    {"FileOutputStream", "OTPT"}, {"FileWriter", "OTPT"}};
    std::vector<Token> t = TokenizeCLike(text);
    auto literalArgument = [&](size_t open) {
        if (Is(t, open, Token::Punct, "(") && Is(t, open + 1, Token::String) && !t[open + 1].text.empty())
            AddUnique(found.objects, t[open + 1].text);
    };
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != Token::Word) continue;
        const std::string& w = t[i].text;
        if (w == "new" && Is(t, i + 1, Token::Word)) {
            const std::string& cls = t[i + 1].text;
            for (const auto& c : kClasses)
                if (cls == c.word) AddUnique(found.controlWords, std::string(c.tag) + " " + c.word);
            bool fileClass = cls == "File";
            for (const auto& c : kClasses) fileClass = fileClass || cls == c.word;
            if (fileClass) literalArgument(i + 2);
        } else if ((w == "Files" || w == "Paths" || w == "Path") && Is(t, i + 1, Token::Punct, ".") &&
                   Is(t, i + 2, Token::Word) && Is(t, i + 3, Token::Punct, "(")) {
            const std::string& member = t[i + 2].text;
            if (w == "Files" && StartsWithStr("read", member))
                AddUnique(found.controlWords, "INPT Files." + member);
            else if (w == "Files" && StartsWithStr("write", member))
                AddUnique(found.controlWords, "OTPT Files." + member);
            else if ((w == "Paths" && member == "get") || (w == "Path" && member == "of"))
                literalArgument(i + 3);
        }
    }
}

}  // namespace

SourceKind SourceKindOfVersion(const std::string& version) {
    if (StartsWithText("COB", version)) return SourceKind::Cobol;
    if (SameText(version, "C") || SameText(version, "CPP")) return SourceKind::C;
    if (StartsWithText("JAV", version)) return SourceKind::Java;
    return SourceKind::Any;
}

void ScanSource(const std::string& text, SourceKind kind, WordLists& found) {
    if (kind == SourceKind::Cobol || kind == SourceKind::Any) ScanCobol(text, found);
    if (kind == SourceKind::C || kind == SourceKind::Any) ScanC(text, found);
    if (kind == SourceKind::Java || kind == SourceKind::Any) ScanJava(text, found);
}

}  // namespace korvane::tools
