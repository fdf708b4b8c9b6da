#pragma once
// Handing a document to the desktop (xdg-open here).

#include <sys/types.h>

#include <string>
#include <vector>

namespace korvane {

// Starts args[0] (searched in PATH) with the other arguments, its standard
// input, output and error on /dev/null. Gives its pid, or -1 when it could
// not be started; the caller reaps it.
pid_t SpawnQuietly(const std::vector<std::string>& args);

// Starts args[0] as SpawnQuietly does and waits until it ends. A program that
// is missing or fails changes nothing.
void RunQuietly(const std::vector<std::string>& args);

// Asks the desktop to open a file or URL and says whether it did: false when
// the opener cannot be started or ends with a failure status within
// answerMs; true when it ends with success, or is still running then (some
// desktops run the browser itself in the opener's place; it is left running
// and reaped when it ends). opener is searched in PATH.
bool OpenWithDesktop(const std::string& target, int answerMs = 2000, const std::string& opener = "xdg-open");

}  // namespace korvane
