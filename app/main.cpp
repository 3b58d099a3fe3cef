// Program entry: one player per user, then the main window's start-up.

#include "AppState.h"
#include "CommandLine.h"
#include "FrameRequests.h"
#include "MoConfig.h"
#include "PlayerActions.h"
#include "PlayerMessages.h"
#include "QuitSignals.h"
#include "SingleInstance.h"
#include "TunApplication.h"
#include "TunMain.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

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

// Items that name nothing are reported here, where the user can see it; the rest are added.
void WarnMissingItems(const QStringList& items) {
    for (const QString& item : items)
        if (!tunola::IsStreamAddress(item) && !QFileInfo::exists(item))
            std::fprintf(stderr, "tunola: %s: no such file or folder\n", qPrintable(item));
}

// Another player runs: give it the items and bring it to the front (an enqueue leaves it
// where it is). Adding a large folder takes the player a moment, hence the longer wait.
int HandOver(const tunola::TCommandLine& line) {
    using namespace tunola;
    if (!line.Items.isEmpty() &&
        !SendPlayerFrame(line.Enqueue ? fvEnqueue : fvOpen, JoinItems(line.Items), 60000)) {
        std::fprintf(stderr, "tunola: the running player does not answer\n");
        return 1;
    }
    if (line.Items.isEmpty() || !line.Enqueue)
        SendPlayerMessage(WM_PLAYER_NOTIFY, ncShowMain, 0, 1000);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tunola;

    // The command line is read before anything needs a display.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.push_back(QString::fromLocal8Bit(argv[i]));
    const TCommandLine line = ParseCommandLine(args, QDir::currentPath());
    if (!line.Error.isEmpty()) {
        std::fprintf(stderr, "tunola: %s\nTry \"tunola --help\".\n", qPrintable(line.Error));
        return 2;
    }
    if (line.Help || line.Version) {
        std::fputs(qPrintable(line.Help ? CommandLineHelp() : VersionText()), stdout);
        return 0;
    }
    WarnMissingItems(line.Items);

    TSingleInstance instance;
    if (!instance.TryAcquire()) {
        QCoreApplication app(argc, argv);
        return HandOver(line);
    }

    TTunApplication app(argc, argv);
    SilenceXmlErrors();
    TAppState state;
    auto* mainWindow = new TTunMain(state);
    instance.Listen(
        [mainWindow](uint32_t message, int32_t wParam, int64_t lParam) {
            return mainWindow->HandleMessage(message, wParam, lParam);
        },
        [mainWindow](int32_t verb, const QByteArray& payload) {
            return AnswerFrameRequest(mainWindow->Actions(), verb, payload);
        });
    CloseOnQuitSignals([mainWindow] { mainWindow->close(); });
    mainWindow->FormCreate();
    if (lcStartup().isInfoEnabled())
        app.installEventFilter(new FirstPaintProbe(&app));
    mainWindow->show();
    if (mainWindow->TerminateRequested())
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    else if (!line.Items.isEmpty())
        QTimer::singleShot(0, mainWindow, [mainWindow, line] {
            mainWindow->Actions().Open(line.Items, !line.Enqueue);
        });
    const int rc = app.exec();
    delete mainWindow;
    return rc;
}
