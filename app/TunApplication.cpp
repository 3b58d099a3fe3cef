#include "TunApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

Q_LOGGING_CATEGORY(lcTunola, "tunola.app", QtCriticalMsg)

namespace tunola {

TTunApplication::TTunApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tunola"));
    setApplicationDisplayName(QStringLiteral("听风"));
    // The desktop entry names the player to the window manager and the desktop bus.
    setDesktopFileName(QStringLiteral("org.tunola.Tunola"));
    setQuitOnLastWindowClosed(false);
    LoadQtTranslations(*this);
}

bool LoadQtTranslations(QCoreApplication& app) {
    auto* qt = new QTranslator(&app);
    if (!qt->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                  QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(qt);
    return true;
}

bool TTunApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunContained("event handler", [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace tunola
