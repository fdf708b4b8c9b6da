#include "shell/app/tool_settings.h"

#include <locale.h>
#include <time.h>

#include "shared/errors.h"
#include "shared/flags.h"
#include "shared/platform/files.h"
#include "shared/platform/path.h"
#include "shared/text.h"
#include "shell/app/install_places.h"

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

std::string ToolSettingsPlace::readPath() const {
    if (userOwned && FileExists(user)) return user;
    return bundled;
}

std::string ToolSettingsPlace::writePath() const {
    if (userOwned) return user;
    return bundled;
}

ToolSettingsPlace FindToolSettings(const std::string& programPath, const WritableCheck& writable) {
    ToolSettingsPlace place;
    const std::string installed = JoinPath(InstalledPlacesOf(programPath).dataDir, "Korvane.INI");
    for (const std::string& candidate :
         {ExpandFileName(ExtractFilePath(programPath) + ".." + kPathSepStr + "_Korvane.Src" + kPathSepStr +
                         "Korvane.INI"),
          ExpandFileName(ChangeFileExt(programPath, ".INI")), installed}) {
        if (FileExists(candidate)) {
            place.bundled = candidate;
            place.installed = candidate == installed;
            break;
        }
    }
    const std::string userDir = UserConfigDir();
    if (!userDir.empty()) place.user = JoinPath(userDir, "Korvane.INI");
    if (!place.user.empty()) {
        if (place.bundled.empty())
            place.userOwned = FileExists(place.user);
        else
            place.userOwned = place.installed || !(writable ? writable(place.bundled) : IsWritableFile(place.bundled));
    }
    return place;
}

std::string ToolSettingsLocator::locate(const std::string& programPath) {
    if (!found_.empty()) return found_;
    place_ = FindToolSettings(programPath, writable_);
    found_ = place_.readPath();
    return found_;
}

void ToolSettingsLocator::savedTo(const std::string& path) {
    if (place_.userOwned && path == place_.user) found_ = path;
}

std::string LocateToolSettingsFile(const std::string& programPath) {
    static ToolSettingsLocator locator;
    return locator.locate(programPath);
}

}  // namespace korvane
