#include "platform/desktop/system/CloseOnSignal.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <csignal>

namespace platform {

namespace {

// The handler may do nothing but write to a descriptor; the event loop reads
// the other end and does the closing between two events, like any click.
int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

void closeTopLevelWindows() {
    char drain[64];
    while (::read(signalPipe[0], drain, sizeof drain) > 0) {
    }
    bool closed = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) closed = w->close() || closed;
    // With no window to close, nothing else would end the loop: a signal
    // must never be ignored.
    if (!closed) QCoreApplication::quit();
}

}  // namespace

void closeWindowsOnTerminationSignals() {
    if (signalPipe[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;  // the default action, ending at once, still applies
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] { closeTopLevelWindows(); });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

}  // namespace platform
