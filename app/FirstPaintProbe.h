#pragma once
// Reports when the player has painted for the first time (wall clock, milliseconds since the
// epoch) through the "tunola.startup" logging category, so a script can measure start-up from
// outside. Installed on the application, it sees the first paint of any widget, reports it once
// and removes itself.

#include <QLoggingCategory>
#include <QObject>

Q_DECLARE_LOGGING_CATEGORY(lcStartup)

namespace tunola {

class TFirstPaintProbe : public QObject {
public:
    // Watches `target` (the application) and is owned by it.
    static void Install(QObject* target);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TFirstPaintProbe(QObject* target) : QObject(target), target_(target) {}
    QObject* target_;
    bool reported_ = false;
};

} // namespace tunola
