#pragma once
// Handing a document to the desktop (xdg-open here).

#include <string>

namespace korvane {

// Asks the desktop to open a file or URL and says whether it did: false when
// the opener cannot be started or ends with a failure status within
// answerMs; true when it ends with success, or is still running then (some
// desktops run the browser itself in the opener's place; it is left running
// and reaped when it ends). opener is searched in PATH.
bool OpenWithDesktop(const std::string& target, int answerMs = 2000, const std::string& opener = "xdg-open");

}  // namespace korvane
