#pragma once
// Helpers shared by the fuzz targets: the input as text, a scratch folder for
// the targets that go through files, and a check that stops the fuzzer with a
// readable message when a property of the code under test does not hold.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace korvane::fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

[[noreturn]] inline void CheckFailed(const char* what, const char* file, int line, const std::string& detail) {
    std::fprintf(stderr, "\n*** fuzz check failed: %s (%s:%d)\n", what, file, line);
    if (!detail.empty()) std::fprintf(stderr, "    %s\n", detail.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(cond) \
    do { \
        if (!(cond)) ::korvane::fuzz::CheckFailed(#cond, __FILE__, __LINE__, std::string()); \
    } while (0)
#define FUZZ_CHECK_MSG(cond, detail) \
    do { \
        if (!(cond)) ::korvane::fuzz::CheckFailed(#cond, __FILE__, __LINE__, (detail)); \
    } while (0)

// A printable form of a text for check messages (bytes outside 32..126 as \xNN),
// cut to a few hundred characters.
inline std::string Shown(std::string_view text) {
    std::string r = "\"";
    static const char hex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < text.size() && r.size() < 400; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 32 && c < 127 && c != '\\' && c != '"') {
            r += char(c);
        } else {
            r += "\\x";
            r += hex[c >> 4];
            r += hex[c & 15];
        }
    }
    if (r.size() >= 400) r += "...";
    return r + "\"";
}

inline std::string Shown(const std::vector<std::string>& items) {
    std::string r = "[";
    for (size_t i = 0; i < items.size() && r.size() < 400; ++i) r += (i ? ", " : "") + Shown(items[i]);
    return r + "]";
}

// A folder of this process for the files a target writes, on a memory file
// system when there is one; removed when the process ends normally.
class ScratchFolder {
public:
    ScratchFolder() {
        for (const char* base : {"/dev/shm", "/tmp"}) {
            std::string templ = std::string(base) + "/korvane-fuzz-XXXXXX";
            std::vector<char> buf(templ.begin(), templ.end());
            buf.push_back('\0');
            if (mkdtemp(buf.data())) {
                path_ = buf.data();
                return;
            }
        }
        std::fprintf(stderr, "cannot create a scratch folder\n");
        std::abort();
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

inline const ScratchFolder& Scratch() {
    static ScratchFolder folder;
    return folder;
}

// Writes bytes as they are (no line-end translation), replacing the file.
inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

// Splits bytes into lines the way the programs read text files: a line ends at
// CR LF, LF or CR, and a line end at the very end adds no empty line. Written
// here again so that the checks do not lean on the routine they test.
inline std::vector<std::string> OracleLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
            open = true;
        }
    }
    if (open) lines.push_back(current);
    return lines;
}

}  // namespace korvane::fuzz
