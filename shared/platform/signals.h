#pragma once
// Requests to end the program from outside: SIGTERM, SIGINT and SIGHUP.
//
// A signal handler may do next to nothing, so the handlers installed here
// only write the signal's number as one byte into a pipe. The window thread
// watches the read end (a socket notifier in the shell) and does the real
// work there, between two events, like any other event.

namespace korvane {

// Installs the handlers (once; later calls give the same descriptor) and
// gives the read end of the pipe: non-blocking and close-on-exec. -1 when
// the pipe cannot be made (the signals then keep their default action).
int WatchTerminationSignals();

// The next signal number waiting on the pipe, 0 when none is waiting.
int TakeTerminationSignal();

}  // namespace korvane
