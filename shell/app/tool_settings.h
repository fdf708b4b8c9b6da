#pragma once
// The tool settings text: the lines of the tool settings file, read as
// key=value lines. A key is the text before the first "=", compared ignoring
// case and never trimmed; the first matching line wins; an empty value counts
// as a missing one. Writing replaces the line, appends one, or deletes it
// when the value is empty.

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "shared/name_value_list.h"

namespace korvane {

// Reported by the caller when neither candidate file exists.
inline constexpr const char* kNoIniFileMessage = "No ini file is available for Korvane";
inline constexpr const char* kDateWrittenKey = "Date Written";

class ToolSettingsText : public NameValueList {
public:
    using NameValueList::NameValueList;

    // Replaces the lines by those of the file (CR LF, LF or CR line ends).
    // Throws Error when the file cannot be read.
    void read(const std::string& path);

    // Stamps "Date Written" with now and writes every line with CR LF,
    // atomically. The stamp stays in the text even when the write fails,
    // which throws Error("Cannot write to " + path).
    void write(const std::string& path, std::time_t now);
    void write(const std::string& path) { write(path, std::time(nullptr)); }

    // Inserts "Date Written=0" as the second line when the key has no value,
    // then sets it to the date and time of now.
    void stampDateWritten(std::time_t now);

    // The value read as a flag (TextToBool: an invalid value throws Error).
    bool flag(std::string_view key) const;
};

// The user's short date followed by the long time ("%x %X" in the locale the
// environment names, the C locale when that one is not available).
std::string FormatDateWritten(std::time_t when);

// Where the tool settings of the program at programPath come from and go to.
//
// The bundled file is the first that exists of: the folder above the
// program's folder + "_Korvane.Src/Korvane.INI", the program path with its
// extension replaced by ".INI", and the installed data folder
// (<prefix>/share/korvane/Korvane.INI for <prefix>/bin/korvane).
//
// The per-user file $XDG_CONFIG_HOME/korvane/Korvane.INI belongs to the user
// when the bundled file is the installed one or one the user may not
// replace: it is then read instead of the bundled file once it exists, and
// saving writes it. A bundled file the user may replace (a build folder, an
// unpacked tree of one's own) is read and written in place as before.
struct ToolSettingsPlace {
    std::string bundled;    // "" when no bundled file exists
    bool installed = false;  // bundled is the one in the installed data folder
    std::string user;       // the per-user file ("" when no configuration folder is known)
    bool userOwned = false;  // reading and saving go to the per-user file

    // The file to read: "" when there is none.
    std::string readPath() const;
    // The file that saving writes: "" when there is none.
    std::string writePath() const;
};

// Whether the user may replace a file (IsWritableFile by default; tests run
// as root and give their own answer).
using WritableCheck = std::function<bool(const std::string& path)>;

ToolSettingsPlace FindToolSettings(const std::string& programPath, const WritableCheck& writable);

// Finds the tool settings file of the program at programPath (see
// ToolSettingsPlace). The first success is kept and returned by every later
// call, even when the file has gone since. Empty when there is none.
class ToolSettingsLocator {
public:
    std::string locate(const std::string& programPath);
    const std::string& found() const { return found_; }
    const ToolSettingsPlace& place() const { return place_; }
    // After a save into the per-user file, that file is the one read.
    void savedTo(const std::string& path);
    void setWritableCheck(WritableCheck check) { writable_ = std::move(check); }

private:
    std::string found_;
    ToolSettingsPlace place_;
    WritableCheck writable_;
};

// The locator for the life of the program.
std::string LocateToolSettingsFile(const std::string& programPath);

}  // namespace korvane
