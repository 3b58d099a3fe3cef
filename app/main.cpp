// Program entry: one player per user, then the main window's start-up.

#include "AppState.h"
#include "PlayerMessages.h"
#include "QuitSignals.h"
#include "SingleInstance.h"
#include "TunApplication.h"
#include "TunMain.h"

#include <QCoreApplication>
#include <QTimer>

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
    TAppState state;
    auto* mainWindow = new TTunMain(state);
    instance.Listen([mainWindow](uint32_t message, int32_t wParam, int64_t lParam) {
        return mainWindow->HandleMessage(message, wParam, lParam);
    });
    CloseOnQuitSignals([mainWindow] { mainWindow->close(); });
    mainWindow->FormCreate();
    mainWindow->show();
    if (mainWindow->TerminateRequested())
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    delete mainWindow;
    return rc;
}
