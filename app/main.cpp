// Program entry: one player per user, then the main window's start-up.

#include "AppState.h"
#include "CommandLine.h"
#include "EventLoopStallProbe.h"
#include "MemoryTrim.h"
#include "FirstPaintProbe.h"
#include "FrameRequests.h"
#include "MoConfig.h"
#include "PlayerActions.h"
#include "PlayerMessages.h"
#include "QuitSignals.h"
#include "SingleInstance.h"
#include "ThreadsSettleAtExit.h"
#include "TunApplication.h"
#include "TunMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace {

// How long a start waits for a player that holds the lock either to answer or to let go of
// the lock. A busy player (a loaded machine, a large folder being added) answers late but does
// answer; a closing one stops answering and lets go of the lock soon.
constexpr int kRunningPlayerWaitMs = 8000;

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

// Another player holds the lock. Returns the exit code when this start ends here, or -1 when
// that player was closing and let go of the lock, so this start goes on as the player.
int HandOverOrWait(int argc, char** argv, const tunola::TCommandLine& line,
                   tunola::TSingleInstance& instance) {
    using namespace tunola;
    QCoreApplication app(argc, argv);
    // One late answer must not be taken for a closing player, so both are asked by turns until
    // one of them says yes. Any request does as a ping (code 0 is answered with -1 and does
    // nothing); the other player lets go of the lock once its window is gone.
    QElapsedTimer clock;
    clock.start();
    do {
        if (SendPlayerMessage(WM_PLAYER_CONTROL, 0, 0, 1000))
            return HandOver(line);
        if (instance.WaitAcquire(250))
            return -1;
    } while (clock.elapsed() < kRunningPlayerWaitMs);
    std::fputs("听风: 另一个播放器仍在关闭，请稍后再启动。\n"
               "tunola: another player is still closing; start again in a moment.\n",
               stderr);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tunola;
    // Before anything starts a thread: the exit hook must run after their owners' destructors.
    SettleThreadsAtExit();
    TuneAllocator();

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
        const int rc = HandOverOrWait(argc, argv, line, instance);
        if (rc >= 0)
            return rc;
    }

    // The windows' pictures go to the X server in the connection's own requests, not through
    // shared memory: with shared memory Qt's backing store waits for the server (a round trip)
    // before it paints again an area it has just shown, and every picture shown comes back as a
    // completion event that wakes Qt's X reader thread. The title, the spectrum and the lyric
    // fades repaint the same small areas 20-40 times a second, where that cost more than the
    // copy: about 40 % of the player's thread switches while playing. Set by the user, the
    // variable stays as it is.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // No Qt::AA_ShareOpenGLContexts, although WebEngine (the library window's panes) asks for
    // it: it makes Qt create a GL context at start, which maps the GL driver (some 58 MB
    // resident with Mesa's software renderer) into every player. The pane module makes the
    // shared context itself when the library window first shows.
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
    // Every window of the player carries its icon (drawn beside the program at build time).
    // Read as PNG by name: a reader that guesses the format loads every image-format plug-in
    // (GIF, ICO, JPEG with libjpeg: 0.2 MiB) to ask it.
    QImageReader iconReader(QString::fromStdString(state.ProgramDir) +
                                QStringLiteral("icons/tunola.png"),
                            "png");
    iconReader.setAutoDetectImageFormat(false);
    if (const QImage icon = iconReader.read(); !icon.isNull())
        app.setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    if (lcStartup().isInfoEnabled())
        TFirstPaintProbe::Install(&app);
    if (lcStall().isInfoEnabled())
        (new TEventLoopStallProbe(&app))->Start();
    mainWindow->show();
    if (mainWindow->TerminateRequested())
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    else if (!line.Items.isEmpty())
        QTimer::singleShot(0, mainWindow, [mainWindow, line] {
            mainWindow->Actions().Open(line.Items, !line.Enqueue);
        });
    const int rc = app.exec();
    // The window is closed and the settings are saved: a new start may take over now, while
    // this process still frees the audio library and the rest.
    instance.Release();
    delete mainWindow;
    return rc;
}
