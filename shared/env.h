#pragma once
// Process environment and per-user folders.

#include <string>
#include <string_view>

namespace korvane {

// The variable's value, "" when it is not set.
std::string GetEnvVar(const std::string& name);

// $XDG_CONFIG_HOME, or $HOME/.config when that is unset, empty or relative;
// "" when neither is known.
std::string XdgConfigHome();
// $XDG_DATA_HOME, or $HOME/.local/share likewise.
std::string XdgDataHome();

// The user's documents folder: XDG_DOCUMENTS_DIR of
// $XDG_CONFIG_HOME/user-dirs.dirs when it names an existing folder, else
// $HOME; "" when neither is known.
std::string PersonalFolder();

// Replaces every %NAME% by the variable's value. A name is looked up exactly
// first, then ignoring case (the Windows names such as %ProgramFiles% are
// case-insensitive). References to unknown variables, "%%" and a lone "%"
// stay as they are.
std::string ExpandEnvVars(std::string_view text);

}  // namespace korvane
