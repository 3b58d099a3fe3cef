#include "TunApplication.h"

Q_LOGGING_CATEGORY(lcTunola, "tunola.app", QtCriticalMsg)

namespace tunola {

TTunApplication::TTunApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tunola"));
    setApplicationDisplayName(QStringLiteral("听风"));
    // The desktop entry names the player to the window manager and the desktop bus.
    setDesktopFileName(QStringLiteral("org.tunola.Tunola"));
    setQuitOnLastWindowClosed(false);
}

bool TTunApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunContained("event handler", [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace tunola
