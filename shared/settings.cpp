#include "shared/settings.h"

#include <exception>

#include "shared/env.h"
#include "shared/errors.h"
#include "shared/flags.h"
#include "shared/ini_file.h"
#include "shared/platform/path.h"
#include "shared/text.h"

namespace korvane {

SettingReaderFn SettingReader = IniSettingRead;
SettingWriterFn SettingWriter = IniSettingWrite;

namespace {

struct Location {
    std::string application;
    std::string section;
};

Location& CurrentLocation() {
    static Location location;
    return location;
}

// The stand-in for a key path component that is empty.
constexpr std::string_view kEmptyComponent = "_";

}  // namespace

void SetSettingsApplication(const std::string& name) { CurrentLocation().application = name; }

void SetSettingsSection(const std::string& name) {
    CurrentLocation().section = name;
    if (CurrentLocation().application.empty()) CurrentLocation().application = name;
}

std::string SettingsApplication() { return CurrentLocation().application; }
std::string SettingsSection() { return CurrentLocation().section; }

std::string SettingsKeyPath() {
    return Format("Software\\Talmek\\%s\\%s\\", CurrentLocation().application.c_str(),
                  CurrentLocation().section.c_str());
}

std::string SettingsFilePath() {
    const std::string config = XdgConfigHome();
    if (config.empty()) return {};
    const std::string& application = CurrentLocation().application;
    std::string file = application.empty() ? std::string(kEmptyComponent) : application;
    for (char& c : file)
        if (c == kPathSep) c = '_';
    return JoinPath(JoinPath(config, "Talmek"), file + ".ini");
}

std::string SettingsGroupName() {
    const std::string& section = CurrentLocation().section;
    return section.empty() ? std::string(kEmptyComponent) : section;
}

std::string IniSettingRead(const std::string& name) {
    const std::string path = SettingsFilePath();
    IniFile ini;
    bool present = false;
    std::string value;
    if (!path.empty()) {
        try {
            ini.load(path);
            present = ini.has(SettingsGroupName(), name);
            value = ini.value(SettingsGroupName(), name);
        } catch (const Error&) {
            // An unreadable store reads as empty; the write below reports it.
        }
    }
    if (value.empty() && !present) IniSettingWrite(name, "");
    return value;
}

void IniSettingWrite(const std::string& name, const std::string& text) {
    const std::string path = SettingsFilePath();
    if (path.empty()) throw Error("Cannot locate the settings folder: neither XDG_CONFIG_HOME nor HOME is set");
    IniFile ini;
    ini.load(path);
    ini.setValue(SettingsGroupName(), name, text);
    ini.save(path);
}

std::string ReadSettingString(const std::string& name, const std::string& def) {
    const std::string stored = SettingReader(name);
    if (!stored.empty()) return stored;
    WriteSettingString(name, def);
    return def;
}

bool ReadSettingBool(const std::string& name, bool def) {
    const std::string stored = SettingReader(name);
    if (!stored.empty()) return stored == "1";
    WriteSettingBool(name, def);
    return def;
}

int ReadSettingInt(const std::string& name, int def) {
    try {
        const std::string stored = SettingReader(name);
        if (!stored.empty()) return StrToInt(stored);
        WriteSettingInt(name, def);
    } catch (const std::exception&) {
        // Neither an unreadable value nor a failed store of the default is
        // worth more than the default itself.
    }
    return def;
}

void WriteSettingString(const std::string& name, const std::string& text) { SettingWriter(name, text); }

void WriteSettingBool(const std::string& name, bool value) { SettingWriter(name, value ? "1" : "0"); }

void WriteSettingInt(const std::string& name, int value) { SettingWriter(name, std::to_string(value)); }

}  // namespace korvane
