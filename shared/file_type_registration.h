#pragma once
// Registration of a file type with the desktop.
//
// The Windows version writes default values under HKEY_CLASSES_ROOT:
//   "\<ext>"                            := file type
//   "\<type>\DefaultIcon"               := icon ("<program path>,<index>")
//   "\<type>\shell"                     := verb (the last verb registered is the default)
//   "\<type>\shell\<verb>"              := caption
//   "\<type>\shell\<verb>\command"      := command (Windows command-line syntax, %1 = the file)
// Here the same key paths and values are kept in the file
// $XDG_DATA_HOME/korvane/classes.ini, and after every change the desktop's
// view of the file type is regenerated from it:
//   - a shared-mime-info package $XDG_DATA_HOME/mime/packages/<slug>.xml
//     defining the type application/x-<slug> with a glob per extension;
//   - a desktop entry $XDG_DATA_HOME/applications/<slug>.desktop whose Exec
//     runs the default verb's command and whose actions are the other verbs;
//   - the icon: a PNG beside the program ("<program>.png") or installed with
//     it (<program dir>/../share/icons/hicolor/48x48/apps/<program name>.png)
//     copied into $XDG_DATA_HOME/icons/hicolor/48x48/ as the type's and the
//     program's icon;
//   - the default association in $XDG_CONFIG_HOME/mimeapps.list.
// update-mime-database and update-desktop-database are then run when they are
// installed. <slug> is the file type in lower case with every run of other
// characters than letters and digits turned into "-".
//
// Each operation gives true, or false at the first failure, keeping what was
// written before it. Nothing is reported otherwise.

#include <string>
#include <string_view>

namespace korvane {

bool RegisterFileExtension(const std::string& extension, const std::string& fileType);
bool RegisterFileTypeIcon(const std::string& fileType, const std::string& icon);
bool RegisterFileTypeVerb(const std::string& fileType, const std::string& verb, const std::string& caption,
                          const std::string& command);

// $XDG_DATA_HOME/korvane/classes.ini ("" when no data folder is known).
std::string ClassesRootFile();
// The value registered under a key path such as "\.srd"; "" when none.
std::string ClassesRootValue(const std::string& keyPath);

// "ZQ Korvane Project File" -> "zq-korvane-project-file".
std::string FileTypeSlug(std::string_view fileType);
// "ZQ Korvane Project File" -> "application/x-zq-korvane-project-file".
std::string FileTypeMimeType(std::string_view fileType);

}  // namespace korvane
