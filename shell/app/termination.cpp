#include "shell/app/termination.h"

#include <QSocketNotifier>

#include "shared/platform/signals.h"
#include "shell/ui/guard.h"

namespace korvane {

bool WatchTerminationRequests(QObject* context, std::function<void(int)> handler) {
    const int fd = WatchTerminationSignals();
    if (fd < 0) return false;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [handler = std::move(handler)] {
        while (const int sig = TakeTerminationSignal()) RunGuarded([&] { handler(sig); });
    });
    return true;
}

}  // namespace korvane
