#pragma once
// The program's icon for the desktop registration of project files.
//
// The registration copies "<program>.png" beside the program, or the icon
// installed with it (<program dir>/../share/icons/hicolor/48x48/apps/), into
// the user's icon theme. A program file copied somewhere on its own has
// neither; then the icon compiled into the program is written into the
// user's icon theme under the names the desktop entry and the file type use,
// so that they still show it.

#include <string>

namespace korvane {

// Whether the registration finds a PNG for the program by itself.
bool ProgramIconAvailable(const std::string& programPath);

// Writes the compiled-in 48 pixel icon as
// $XDG_DATA_HOME/icons/hicolor/48x48/apps/<program name>.png and as the
// project file type's icon, where no file is there yet, when
// ProgramIconAvailable is false. Gives whether both files exist afterwards;
// failures are not reported.
bool ProvideProgramIcon(const std::string& programPath);

}  // namespace korvane
