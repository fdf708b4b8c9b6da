#pragma once
// SIGTERM, SIGINT and SIGHUP handled on the window thread: the platform
// layer turns them into bytes on a pipe, and a socket notifier reads them
// between two events, so the handler runs like any event (guarded: nothing
// escapes into Qt).

#include <functional>

class QObject;

namespace korvane {

// Calls handler(signal number) on the window thread for every termination
// signal, as long as context lives. False when the signals cannot be
// watched (they then keep their default action, which ends the program).
bool WatchTerminationRequests(QObject* context, std::function<void(int)> handler);

}  // namespace korvane
