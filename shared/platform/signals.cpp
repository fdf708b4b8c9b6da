#include "shared/platform/signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace korvane {

namespace {

int gReadEnd = -1;
int gWriteEnd = -1;

void OnTerminationSignal(int sig) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(sig);
    // A full pipe drops the byte: requests already wait there.
    [[maybe_unused]] ssize_t n = write(gWriteEnd, &byte, 1);
    errno = saved;
}

}  // namespace

int WatchTerminationSignals() {
    if (gReadEnd >= 0) return gReadEnd;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    gReadEnd = fds[0];
    gWriteEnd = fds[1];
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
    return gReadEnd;
}

int TakeTerminationSignal() {
    if (gReadEnd < 0) return 0;
    unsigned char byte = 0;
    ssize_t n;
    do n = read(gReadEnd, &byte, 1);
    while (n < 0 && errno == EINTR);
    return n == 1 ? int(byte) : 0;
}

}  // namespace korvane
