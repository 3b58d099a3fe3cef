// The real player binary: one instance per user, a second start hands over and ends.

#include "SingleInstance.h"
#include "PlayerMessages.h"
#include "PlayerProcessFixture.h"

#include "../audio/HttpTestServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace tunola;

namespace {

class PlayerProcess : public test::TPlayerHomeTest {
protected:
    void SetUp() override {
        TPlayerHomeTest::SetUp();
        // Repeat the list.
        QDir().mkpath(SettingsFolder());
        QFile config(SettingsFolder() + QStringLiteral("/tunola.xml"));
        if (config.open(QIODevice::WriteOnly))
            config.write("<TUNOLA.CONFIG><Window><PLAY PATTERN=\"1\"/></Window></TUNOLA.CONFIG>");
    }

    QProcess* Start(QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) {
        return StartPlayer({}, channels);
    }
};

TEST_F(PlayerProcess, SecondStartHandsOverAndEndsAtOnce) {
    QProcess* first = Start();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());

    QElapsedTimer clock;
    clock.start();
    QProcess* second = Start();
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    // The first player is still there and still answers.
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(SendPlayerMessage(WM_PLAYER_NOTIFY, ncShowMain, 0, 1000), 0);
}

TEST_F(PlayerProcess, CrashedPlayerDoesNotBlockTheNextStart) {
    QProcess* first = Start();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    first->kill(); // leaves its lock file and socket file behind
    first->waitForFinished(5000);
    ASSERT_TRUE(QFile::exists(runtime_ + QStringLiteral("/TUNOLA")));

    QProcess* next = Start();
    ASSERT_TRUE(next->waitForStarted());
    EXPECT_TRUE(WaitUntilAnswering());
    EXPECT_EQ(next->state(), QProcess::Running);
}

TEST_F(PlayerProcess, CloseWritesTheSettings) {
    QProcess* player = Start();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    player->terminate();
    ASSERT_TRUE(player->waitForFinished(10000));
    QFile config(home_.path() + QStringLiteral("/Documents/Tunola/tunola.xml"));
    ASSERT_TRUE(config.open(QIODevice::ReadOnly));
    const QByteArray xml = config.readAll();
    EXPECT_TRUE(xml.contains("<PLAY PATTERN=\"1\"/>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<SKIN NAME=\"Default\"/>")) << xml.constData();
    EXPECT_TRUE(xml.contains("Default.pls")) << xml.constData();
    EXPECT_FALSE(xml.contains("<LRC")) << xml.constData();
    EXPECT_TRUE(QDir(home_.path() + QStringLiteral("/Documents/Tunola/lrc")).exists());
}

TEST_F(PlayerProcess, UnreadableSettingsAreKeptAndStartUpGoesOn) {
    const QString folder = home_.path() + QStringLiteral("/Documents/Tunola");
    QDir().mkpath(folder);
    const QByteArray broken = "<TUNOLA.CONFIG><Window><PLAY PATTERN=\"3\">";
    {
        QFile f(folder + QStringLiteral("/tunola.xml"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(broken);
    }
    QProcess* player = Start();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    player->terminate();
    ASSERT_TRUE(player->waitForFinished(10000));
    QFile kept(folder + QStringLiteral("/tunola.xml.unreadable"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), broken);
    QFile fresh(folder + QStringLiteral("/tunola.xml"));
    ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fresh.readAll().contains("PATTERN=\"1\""));
}

// Closing while a stream opens on a server that takes the connection and never answers: the
// player ends at once, and a start right after it comes up as the new player.
TEST_F(PlayerProcess, RestartRightAfterClosingWhileAStreamOpens) {
    tunaudio::test::THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    const QString folder = home_.path() + QStringLiteral("/Documents/Tunola");
    {
        QFile f(folder + QStringLiteral("/Default.pls"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DefaultList>"
                               "<PlayerList><LIST Path=\"%1\" Title=\"电台\" Artist=\"\" "
                               "Url=\"1\" Ltime=\"0\"/></PlayerList></DefaultList>")
                    .arg(QString::fromStdString(silent.Url("/radio.mp3")))
                    .toUtf8());
    }
    QProcess* first = Start();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    EXPECT_EQ(SendPlayerMessage(WM_PLAYER_CONTROL, ccPlayPause, 0), 1);
    QThread::msleep(200); // the open now waits on the silent server (for 15 s if let)

    QElapsedTimer clock;
    clock.start();
    first->terminate();
    QProcess* second = Start();
    ASSERT_TRUE(second->waitForStarted());
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_LT(clock.elapsed(), 5000) << "closing does not wait for the server";
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_TRUE(WaitUntilAnswering());
    EXPECT_EQ(second->state(), QProcess::Running) << "the new start became the player";
}

// The service check is stuck on a service that takes the connection and never answers: closing
// cancels it and the player ends within 2 s, far inside the check's own time-outs.
TEST_F(PlayerProcess, ClosingWhileTheServiceCheckWaitsOnASilentService) {
    tunaudio::test::THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    // In place of the configured service (the suite's own stand-in included).
    env_.insert(QStringLiteral("TUNOLA_SERVICE_HOST"),
                QStringLiteral("127.0.0.1:%1").arg(silent.Port()));
    QProcess* player = Start();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    QThread::msleep(300); // the first check has connected and waits for an answer

    QElapsedTimer clock;
    clock.start();
    player->terminate();
    ASSERT_TRUE(player->waitForFinished(10000));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(player->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player->exitCode(), 0);
}

// Once the service is found the library window shows; it only hides when asked to close, which
// must not keep the player from ending when its main window closes.
TEST_F(PlayerProcess, ClosingEndsThePlayerOnceTheLibraryWindowWasShown) {
    tunaudio::test::THttpTestServer service;
    tunaudio::test::THttpRoute check;
    check.body = "tunola v=0,";
    service.Route("/soft/updata.asp", check);
    ASSERT_TRUE(service.Start());
    env_.insert(QStringLiteral("TUNOLA_SERVICE_HOST"),
                QStringLiteral("127.0.0.1:%1").arg(service.Port()));
    QProcess* player = Start();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    bool online = false;
    for (int i = 0; i < 150 && !online; ++i) {
        const auto status = SendPlayerFrame(fvStatus, {});
        online = status && status->Payload.contains("service=online");
        if (!online)
            QThread::msleep(100);
    }
    ASSERT_TRUE(online);
    QThread::msleep(2500); // the library window shows on the next check tick (every 2 s)

    player->terminate();
    ASSERT_TRUE(player->waitForFinished(10000)) << "the player did not end";
    EXPECT_EQ(player->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player->exitCode(), 0);
}

// A player that holds the lock and never answers (one that is still closing): a new start
// waits a few seconds for it, then gives up with a message and a failure status.
TEST_F(PlayerProcess, StartGivesUpOnAPlayerThatNeverLetsGo) {
    QLockFile held(runtime_ + QStringLiteral("/TunOlabasic1.2.lock"));
    ASSERT_TRUE(held.tryLock(0));
    QProcess* start = Start(QProcess::SeparateChannels);
    ASSERT_TRUE(start->waitForFinished(15000));
    EXPECT_NE(start->exitCode(), 0);
    EXPECT_TRUE(
        QString::fromUtf8(start->readAllStandardError()).contains(QStringLiteral("仍在关闭")));

    // Once the lock comes free while it waits, the start becomes the player.
    QProcess* next = Start();
    ASSERT_TRUE(next->waitForStarted());
    QThread::msleep(1500);
    EXPECT_EQ(next->state(), QProcess::Running);
    held.unlock();
    EXPECT_TRUE(WaitUntilAnswering());
    EXPECT_EQ(next->state(), QProcess::Running);
}

TEST_F(PlayerProcess, PlaysTheListInOrderAndSavesItBack) {
    // Three 0.3 s tracks in "repeat the list" mode.
    const QString folder = home_.path() + QStringLiteral("/Documents/Tunola");
    QDir().mkpath(folder);
    QString list =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DefaultList><PlayerList>");
    for (int i = 0; i < 3; ++i) {
        const QString track = home_.path() + QStringLiteral("/track%1.wav").arg(i);
        test::WriteSilentWav(track, 0.3);
        list +=
            QStringLiteral("<LIST Path=\"%1\" Title=\"曲%2\" Artist=\"\" Url=\"0\" Ltime=\"0\"/>")
                .arg(track)
                .arg(i);
    }
    list += QStringLiteral("</PlayerList></DefaultList>");
    {
        QFile f(folder + QStringLiteral("/Default.pls"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(list.toUtf8());
    }

    QProcess* player = Start();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    EXPECT_EQ(SendPlayerMessage(WM_PLAYER_CONTROL, ccCount, 0), 3);
    EXPECT_EQ(SendPlayerMessage(WM_PLAYER_CONTROL, ccIndex, 0), 0);
    EXPECT_EQ(SendPlayerMessage(WM_PLAYER_CONTROL, ccPlayPause, 0), 1);
    // The index walks through the list and wraps.
    std::vector<int64_t> seen;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3000 && seen.size() < 4) {
        const auto index = SendPlayerMessage(WM_PLAYER_CONTROL, ccIndex, 0);
        ASSERT_TRUE(index);
        if (seen.empty() || seen.back() != *index)
            seen.push_back(*index);
        QThread::msleep(20);
    }
    EXPECT_EQ(seen, (std::vector<int64_t>{0, 1, 2, 0}));

    player->terminate();
    ASSERT_TRUE(player->waitForFinished(10000));
    QFile saved(folder + QStringLiteral("/Default.pls"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(saved.readAll());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(text.contains(QStringLiteral("Title=\"曲%1\"").arg(i))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Ltime=\"3.47222222222222E-6\"")), 3) << text.toStdString();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
