#pragma once
// The per-user settings store.
//
// Settings are raw strings named within a location made of an application
// and a section; on Windows this is the registry key
// "Software\Talmek\<application>\<section>\" under the current user. Here it
// is the group [<section>] of the file
// $XDG_CONFIG_HOME/Talmek/<application>.ini. An empty application or section
// is written as "_" (the names a Windows key path would leave empty), and a
// "/" in the application becomes "_" in the file name. Names compare ignoring
// case; values are escaped in the file so that any text round-trips.
//
// The typed operations go through SettingReader and SettingWriter only, so a
// different store can be put in their place without touching the callers.

#include <functional>
#include <string>

namespace korvane {

using SettingReaderFn = std::function<std::string(const std::string& name)>;
using SettingWriterFn = std::function<void(const std::string& name, const std::string& text)>;

// Read one raw setting ("" when nothing is stored) / store one raw setting.
// Initially IniSettingRead and IniSettingWrite.
extern SettingReaderFn SettingReader;
extern SettingWriterFn SettingWriter;

void SetSettingsApplication(const std::string& name);
// Also sets the application when that is still empty.
void SetSettingsSection(const std::string& name);
std::string SettingsApplication();
std::string SettingsSection();

// "Software\Talmek\<application>\<section>\" for the current location.
std::string SettingsKeyPath();
// The file and group that hold the current location.
std::string SettingsFilePath();
std::string SettingsGroupName();

// The file store. The reader reads the file afresh on every call; when the
// value is missing or empty (or the file cannot be read) it stores the value
// as an empty string through IniSettingWrite, so every setting ever read is
// present in the file. The writer throws Error when the file cannot be read
// or written.
std::string IniSettingRead(const std::string& name);
void IniSettingWrite(const std::string& name, const std::string& text);

// Stored text when non-empty; otherwise def, which is then stored.
std::string ReadSettingString(const std::string& name, const std::string& def);
// Stored text when non-empty: true exactly for "1"; otherwise def, stored as
// "1" or "0".
bool ReadSettingBool(const std::string& name, bool def);
// Stored text when non-empty: its decimal value, or def (nothing stored) when
// it is no valid integer; otherwise def, which is then stored. Never throws:
// any error yields def.
int ReadSettingInt(const std::string& name, int def);

void WriteSettingString(const std::string& name, const std::string& text);
void WriteSettingBool(const std::string& name, bool value);
void WriteSettingInt(const std::string& name, int value);

}  // namespace korvane
