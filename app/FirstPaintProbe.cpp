#include "FirstPaintProbe.h"

#include <QDateTime>
#include <QEvent>

Q_LOGGING_CATEGORY(lcStartup, "tunola.startup", QtCriticalMsg)

namespace tunola {

void TFirstPaintProbe::Install(QObject* target) {
    target->installEventFilter(new TFirstPaintProbe(target));
}

bool TFirstPaintProbe::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::Paint && !reported_) {
        reported_ = true;
        qCInfo(lcStartup, "first paint at %lld", QDateTime::currentMSecsSinceEpoch());
        // Off the object it was installed on (the application), not the widget that painted.
        target_->removeEventFilter(this);
        deleteLater();
    }
    return false;
}

} // namespace tunola
