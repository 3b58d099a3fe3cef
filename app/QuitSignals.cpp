#include "QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tunola {

#ifndef _WIN32
namespace {
// The one thing a signal handler may touch: the write end of a pipe that the UI thread watches.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &byte, 1);
}
} // namespace

void CloseOnQuitSignals(std::function<void()> close) {
    if (g_signalPipe[0] >= 0 || ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier =
        new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [close = std::move(close)] {
        char buffer[16];
        while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        close();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}
#else
void CloseOnQuitSignals(std::function<void()>) {}
#endif

} // namespace tunola
