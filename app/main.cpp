// Program entry: one player per user, then the main window's start-up.

#include "AppState.h"
#include "MoConfig.h"
#include "PlayerMessages.h"
#include "QuitSignals.h"
#include "SingleInstance.h"
#include "TunApplication.h"
#include "TunMain.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

Q_LOGGING_CATEGORY(lcStartup, "tunola.startup", QtCriticalMsg)

namespace {

// Reports when the main window has painted for the first time (wall clock, milliseconds since
// the epoch), so a script can measure start-up from outside. Off unless the category is on.
class FirstPaintProbe : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            qCInfo(lcStartup, "first paint at %lld", QDateTime::currentMSecsSinceEpoch());
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    using namespace tunola;

    TSingleInstance instance;
    if (!instance.TryAcquire()) {
        // Another player runs: bring it to the front and end at once.
        QCoreApplication app(argc, argv);
        SendPlayerMessage(WM_PLAYER_NOTIFY, ncShowMain, 0, 1000);
        return 0;
    }

    TTunApplication app(argc, argv);
    SilenceXmlErrors();
    TAppState state;
    auto* mainWindow = new TTunMain(state);
    instance.Listen([mainWindow](uint32_t message, int32_t wParam, int64_t lParam) {
        return mainWindow->HandleMessage(message, wParam, lParam);
    });
    CloseOnQuitSignals([mainWindow] { mainWindow->close(); });
    mainWindow->FormCreate();
    if (lcStartup().isInfoEnabled())
        app.installEventFilter(new FirstPaintProbe(&app));
    mainWindow->show();
    if (mainWindow->TerminateRequested())
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    delete mainWindow;
    return rc;
}
