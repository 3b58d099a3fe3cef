#pragma once
// The application object. An exception that escapes an event handler is dropped here without a
// dialog, so one failing handler never takes the player down; it is traced through the
// "tunola.app" logging category, which is off unless QT_LOGGING_RULES turns it on.

#include <QApplication>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcTunola)

namespace tunola {

class TTunApplication : public QApplication {
    Q_OBJECT
public:
    TTunApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Qt's own dialogs (file dialogs, message boxes, the input dialog) in Chinese like the rest of
// the player, when the system has Qt's translations. True when they were loaded.
bool LoadQtTranslations(QCoreApplication& app);

// Runs `step`, dropping (and tracing) any exception it throws. Returns false when it threw.
template <typename F> bool RunContained(const char* what, F&& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        qCWarning(lcTunola, "%s failed: %s", what, e.what());
    } catch (...) {
        qCWarning(lcTunola, "%s failed", what);
    }
    return false;
}

} // namespace tunola
