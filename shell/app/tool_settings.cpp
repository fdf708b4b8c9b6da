#include "shell/app/tool_settings.h"

#include <locale.h>
#include <time.h>

#include "shared/errors.h"
#include "shared/flags.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

void ToolSettingsText::read(const std::string& path) { lines() = ReadTextLines(path); }

void ToolSettingsText::stampDateWritten(std::time_t now) {
    if (value(kDateWrittenKey).empty()) {
        size_t at = size() < 1 ? size() : 1;
        lines().insert(lines().begin() + long(at), std::string(kDateWrittenKey) + "=0");
    }
    setValue(kDateWrittenKey, FormatDateWritten(now));
}

void ToolSettingsText::write(const std::string& path, std::time_t now) {
    stampDateWritten(now);
    try {
        WriteTextLines(path, lines());
    } catch (const Error&) {
        throw Error("Cannot write to " + path);
    }
}

bool ToolSettingsText::flag(std::string_view key) const { return TextToBool(value(key)); }

std::string FormatDateWritten(std::time_t when) {
    struct tm tm {};
    localtime_r(&when, &tm);
    locale_t loc = newlocale(LC_TIME_MASK, "", locale_t(0));
    if (!loc) loc = newlocale(LC_TIME_MASK, "C", locale_t(0));
    char buf[128];
    size_t n = loc ? strftime_l(buf, sizeof buf, "%x %X", &tm, loc) : strftime(buf, sizeof buf, "%x %X", &tm);
    if (loc) freelocale(loc);
    return std::string(buf, n);
}

std::string ToolSettingsLocator::locate(const std::string& programPath) {
    if (!found_.empty()) return found_;
    std::string candidate = ExpandFileName(ExtractFilePath(programPath) + ".." + kPathSepStr + "_Korvane.Src" +
                                           kPathSepStr + "Korvane.INI");
    if (!FileExists(candidate)) candidate = ExpandFileName(ChangeFileExt(programPath, ".INI"));
    if (FileExists(candidate)) found_ = candidate;
    return found_;
}

std::string LocateToolSettingsFile(const std::string& programPath) {
    static ToolSettingsLocator locator;
    return locator.locate(programPath);
}

}  // namespace korvane
