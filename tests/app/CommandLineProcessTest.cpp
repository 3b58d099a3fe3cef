// The real player and remote binaries: the command line, the hand-over of a second start and
// tunola-remote's verbs, all through the player's local socket.

#include "PlayerMessages.h"
#include "PlayerProcessFixture.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

#include <map>

#include <signal.h>

using namespace tunola;

namespace {

class CommandLineProcess : public test::TPlayerHomeTest {
protected:
    void SetUp() override {
        TPlayerHomeTest::SetUp();
        music_ = home_.path() + QStringLiteral("/music");
    }

    // Runs a short-lived process to its end; its standard output.
    QByteArray Run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
        QProcess* p = Start(program, args);
        EXPECT_TRUE(p->waitForFinished(30000));
        if (exitCode)
            *exitCode = p->exitCode();
        return p->readAllStandardOutput();
    }
    QByteArray Remote(const QStringList& args, int* exitCode = nullptr) {
        return Run(QStringLiteral(TUNOLA_REMOTE), args, exitCode);
    }
    std::map<std::string, std::string> Status() {
        std::map<std::string, std::string> fields;
        for (const QByteArray& line : Remote({QStringLiteral("status")}).split('\n')) {
            const qsizetype eq = line.indexOf('=');
            if (eq > 0)
                fields[line.left(eq).toStdString()] = line.mid(eq + 1).toStdString();
        }
        return fields;
    }
    // Waits until the status shows `key` = `value`. Bounded by time, not by tries: every try
    // starts a remote process, which takes long on a loaded machine.
    bool WaitForStatus(const std::string& key, const std::string& value) {
        QElapsedTimer clock;
        clock.start();
        do {
            if (Status()[key] == value)
                return true;
            QThread::msleep(100);
        } while (clock.elapsed() < 20000);
        return false;
    }
    int64_t Count() { return SendPlayerMessage(WM_PLAYER_CONTROL, ccCount, 0).value_or(-1); }

    QString music_;
};

TEST_F(CommandLineProcess, HelpAndVersionNeedNoDisplayAndBadOptionsAreUsageErrors) {
    env_.remove(QStringLiteral("DISPLAY"));
    env_.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env_.remove(QStringLiteral("QT_QPA_PLATFORM"));
    int code = -1;
    EXPECT_TRUE(Run(QStringLiteral(TUNOLA_BINARY), {QStringLiteral("--help")}, &code)
                    .contains("--enqueue"));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(Run(QStringLiteral(TUNOLA_BINARY), {QStringLiteral("--version")}, &code)
                    .startsWith("tunola "));
    EXPECT_EQ(code, 0);
    Run(QStringLiteral(TUNOLA_BINARY), {QStringLiteral("--no-such-option")}, &code);
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(Remote({QStringLiteral("--help")}, &code).contains("status"));
    EXPECT_EQ(code, 0);
    for (const QStringList& bad : {QStringList{QStringLiteral("seek")},
                                   QStringList{QStringLiteral("volume"), QStringLiteral("101")},
                                   QStringList{QStringLiteral("volume"), QStringLiteral("x")},
                                   QStringList{QStringLiteral("add")},
                                   QStringList{QStringLiteral("remove"), QStringLiteral("-1")},
                                   QStringList{QStringLiteral("stop"), QStringLiteral("now")}}) {
        Remote(bad, &code);
        EXPECT_EQ(code, 2) << bad.join(' ').toStdString();
    }
    // No player: the remote says so.
    Remote({QStringLiteral("status")}, &code);
    EXPECT_EQ(code, 1);
}

TEST_F(CommandLineProcess, FoldersPlayInNameOrderAndLaterStartsHandOver) {
    test::WriteSilentWav(music_ + QStringLiteral("/b.wav"), 6);
    test::WriteSilentWav(music_ + QStringLiteral("/A.WAV"), 6); // upper case counts as music too
    test::WriteSilentWav(music_ + QStringLiteral("/sub/c.wav"), 6);
    QFile(music_ + QStringLiteral("/notes.txt")).open(QIODevice::WriteOnly);
    test::WriteSilentWav(home_.path() + QStringLiteral("/extra.wav"), 6);

    // A relative folder, resolved against the caller's folder.
    QProcess* player = StartPlayer({QStringLiteral("music")});
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    ASSERT_TRUE(WaitForStatus("state", "playing"));
    EXPECT_EQ(Count(), 3);
    EXPECT_EQ(Status()["title"], "A");

    // -e only adds; the playing track plays on. The player is held still for a while first, as
    // a loaded machine may hold it: a late answer is still an answer, not a closing player.
    ::kill(pid_t(player->processId()), SIGSTOP);
    QProcess* second =
        Start(QStringLiteral(TUNOLA_BINARY), {QStringLiteral("-e"), QStringLiteral("extra.wav")});
    ASSERT_TRUE(second->waitForStarted());
    QThread::msleep(2500);
    ::kill(pid_t(player->processId()), SIGCONT);
    EXPECT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(Status()["title"], "A");

    // Without -e the first new item plays.
    int code = -1;
    Run(QStringLiteral(TUNOLA_BINARY),
        {QStringLiteral("file://") + music_ + QStringLiteral("/sub/c.wav")}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Count(), 5);
    EXPECT_TRUE(WaitForStatus("title", "c"));
    EXPECT_EQ(SendPlayerMessage(WM_PLAYER_CONTROL, ccIndex, 0), 4);
    EXPECT_EQ(player->state(), QProcess::Running);
}

TEST_F(CommandLineProcess, RemoteVerbsActOnThePlayer) {
    test::WriteSilentWav(music_ + QStringLiteral("/one.wav"), 8);
    QProcess* player = StartPlayer();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    EXPECT_EQ(Status()["state"], "stopped");

    EXPECT_EQ(Remote({QStringLiteral("add"), QStringLiteral("music")}), "1\n");
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(Remote({QStringLiteral("play")}), "1\n");
    ASSERT_TRUE(WaitForStatus("state", "playing"));
    EXPECT_EQ(Status()["length"], "8.000");

    EXPECT_EQ(Remote({QStringLiteral("seek"), QStringLiteral("5.5")}), "1\n");
    EXPECT_GE(std::stod(Status()["position"]), 5.5);
    EXPECT_EQ(Remote({QStringLiteral("pause")}), "1\n");
    EXPECT_TRUE(WaitForStatus("state", "paused"));
    EXPECT_EQ(Remote({QStringLiteral("volume"), QStringLiteral("40")}), "1\n");
    EXPECT_EQ(Remote({QStringLiteral("stop")}), "1\n");
    EXPECT_TRUE(WaitForStatus("state", "stopped"));
    // Nothing plays: there is nothing to seek in.
    EXPECT_EQ(Remote({QStringLiteral("seek"), QStringLiteral("1")}), "0\n");
    // Removing: an index past the end is refused; the playing entry goes and playback stops.
    EXPECT_EQ(Remote({QStringLiteral("add"), QStringLiteral("music")}), "1\n");
    EXPECT_EQ(Remote({QStringLiteral("remove"), QStringLiteral("2")}), "0\n");
    EXPECT_EQ(Remote({QStringLiteral("play")}), "1\n");
    ASSERT_TRUE(WaitForStatus("state", "playing"));
    EXPECT_EQ(Remote({QStringLiteral("remove"), QStringLiteral("0")}), "1\n");
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(WaitForStatus("state", "stopped"));
    // The old codes answer as they always did.
    EXPECT_EQ(SendPlayerMessage(WM_PLAYER_CONTROL, 12345, 0), -1);
    EXPECT_EQ(SendPlayerMessage(WM_PLAYER_NOTIFY, ncShowMain, 0), 0);
}

TEST_F(CommandLineProcess, FramesArriveInPiecesAndOversizedOnesAreRefused) {
    QProcess* player = StartPlayer();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());

    auto header = [](int32_t verb, int64_t size) {
        QByteArray h(16, '\0');
        qToLittleEndian<uint32_t>(WM_PLAYER_FRAME, h.data());
        qToLittleEndian<int32_t>(verb, h.data() + 4);
        qToLittleEndian<int64_t>(size, h.data() + 8);
        return h;
    };
    auto readAnswer = [](QLocalSocket& s, qint64 size) {
        while (s.bytesAvailable() < size && s.waitForReadyRead(3000)) {
        }
        return s.read(size);
    };
    {
        // Header and payload in separate writes, then an old request on the same connection.
        QLocalSocket s;
        s.connectToServer(PlayerSocketName());
        ASSERT_TRUE(s.waitForConnected(2000));
        s.write(header(fvVolume, 2));
        s.waitForBytesWritten(1000);
        QThread::msleep(200);
        s.write("55");
        QByteArray old(16, '\0');
        qToLittleEndian<uint32_t>(WM_PLAYER_CONTROL, old.data());
        qToLittleEndian<int32_t>(ccCount, old.data() + 4);
        s.write(old);
        s.waitForBytesWritten(1000);
        const QByteArray answer = readAnswer(s, 24);
        ASSERT_EQ(answer.size(), 24);
        EXPECT_EQ(qFromLittleEndian<int64_t>(answer.constData()), 1);
        EXPECT_EQ(qFromLittleEndian<int64_t>(answer.constData() + 8), 0);
        EXPECT_EQ(qFromLittleEndian<int64_t>(answer.constData() + 16), 0); // count
    }
    {
        QLocalSocket s;
        s.connectToServer(PlayerSocketName());
        ASSERT_TRUE(s.waitForConnected(2000));
        s.write(header(fvEnqueue, kMaxFramePayload + 1));
        s.waitForBytesWritten(1000);
        const QByteArray answer = readAnswer(s, 16);
        ASSERT_EQ(answer.size(), 16);
        EXPECT_EQ(qFromLittleEndian<int64_t>(answer.constData()), -1);
        EXPECT_TRUE(s.state() == QLocalSocket::UnconnectedState || !s.waitForReadyRead(500));
    }
    // Unknown verbs answer −1, and the player still answers afterwards.
    const auto unknown = SendPlayerFrame(12345, QByteArray("x"));
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->Result, -1);
    EXPECT_EQ(player->state(), QProcess::Running);
}

// Closes the player as a desktop session does; the settings file afterwards.
QByteArray CloseAndReadSettings(QProcess* player, const QString& home) {
    player->terminate();
    EXPECT_TRUE(player->waitForFinished(10000));
    QFile config(home + QStringLiteral("/Documents/Tunola/tunola.xml"));
    EXPECT_TRUE(config.open(QIODevice::ReadOnly));
    return config.readAll();
}

TEST_F(CommandLineProcess, TheSessionComesBackAfterARestart) {
    test::WriteSilentWav(music_ + QStringLiteral("/a.wav"), 8);
    test::WriteSilentWav(music_ + QStringLiteral("/b.wav"), 8);
    QProcess* player = StartPlayer({music_});
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    ASSERT_TRUE(WaitForStatus("state", "playing"));
    Remote({QStringLiteral("next")});
    ASSERT_TRUE(WaitForStatus("title", "b"));
    // Paused, so the position at close is exactly the one sought.
    Remote({QStringLiteral("pause")});
    Remote({QStringLiteral("seek"), QStringLiteral("4.25")});
    Remote({QStringLiteral("volume"), QStringLiteral("30")});
    Remote({QStringLiteral("mute")});
    QByteArray xml = CloseAndReadSettings(player, home_.path());
    EXPECT_TRUE(xml.contains("<Sound VOLUME=\"30\" MUTE=\"1\"/>")) << xml.constData();
    EXPECT_TRUE(xml.contains("INDEX=\"1\"")) << xml.constData();
    // The Parts' own elements are still there, unchanged in form.
    EXPECT_TRUE(xml.contains("<PLAY PATTERN=")) << xml.constData();

    // The user's own edit of a place, and a playlist window closed.
    QString text = QString::fromUtf8(xml);
    text.replace(QRegularExpression(QStringLiteral("<Main [^/]*/>")),
                 QStringLiteral("<Main X=\"40\" Y=\"50\" W=\"464\" H=\"238\" VISIBLE=\"1\"/>"));
    text.replace(QRegularExpression(QStringLiteral("(<Playlist [^/]*VISIBLE=)\"1\"")),
                 QStringLiteral("\\1\"0\""));
    xml = text.toUtf8();
    {
        QFile config(home_.path() + QStringLiteral("/Documents/Tunola/tunola.xml"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(xml);
    }

    // Started again without items: the same entry, paused where it was.
    player = StartPlayer();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    ASSERT_TRUE(WaitForStatus("state", "paused"));
    auto status = Status();
    EXPECT_EQ(status["title"], "b");
    EXPECT_EQ(status["position"], "4.250");
    xml = CloseAndReadSettings(player, home_.path());
    EXPECT_TRUE(xml.contains("<Sound VOLUME=\"30\" MUTE=\"1\"/>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<Main X=\"40\" Y=\"50\"")) << xml.constData();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("<Playlist [^/]*VISIBLE=\"0\""))
                    .match(QString::fromUtf8(xml))
                    .hasMatch())
        << xml.constData();

    // With resuming switched off the player starts stopped.
    xml.replace("<Resume ON=\"1\"", "<Resume ON=\"0\"");
    {
        QFile config(home_.path() + QStringLiteral("/Documents/Tunola/tunola.xml"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(xml);
    }
    player = StartPlayer();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    QThread::msleep(300);
    EXPECT_EQ(Status()["state"], "stopped");
}

// The verbs that scripts use to drive the windows: a skin chosen through the skin menu and a
// drag of the main window, both as the configuration keeps them.
TEST_F(CommandLineProcess, SkinAndMoveVerbsDriveTheWindows) {
    const QRegularExpression place(QStringLiteral("<Main X=\"(-?\\d+)\" Y=\"(-?\\d+)\""));
    QProcess* player = StartPlayer();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    const auto before = place.match(QString::fromUtf8(CloseAndReadSettings(player, home_.path())));
    ASSERT_TRUE(before.hasMatch());

    player = StartPlayer();
    ASSERT_TRUE(player->waitForStarted());
    ASSERT_TRUE(WaitUntilAnswering());
    EXPECT_EQ(Remote({QStringLiteral("skin"), QStringLiteral("Porcelain")}), "1\n");
    EXPECT_EQ(Remote({QStringLiteral("skin"), QStringLiteral("NoSuchSkin")}), "0\n");
    EXPECT_EQ(Remote({QStringLiteral("move"), QStringLiteral("main"), QStringLiteral("40"),
                      QStringLiteral("30")}),
              "1\n");
    EXPECT_EQ(Remote({QStringLiteral("move"), QStringLiteral("tray"), QStringLiteral("1"),
                      QStringLiteral("1")}),
              "0\n");
    int rc = 0;
    Remote(
        {QStringLiteral("move"), QStringLiteral("main"), QStringLiteral("x"), QStringLiteral("1")},
        &rc);
    EXPECT_EQ(rc, 2);
    const QString xml = QString::fromUtf8(CloseAndReadSettings(player, home_.path()));
    EXPECT_TRUE(xml.contains(QStringLiteral("NAME=\"Porcelain\""))) << qPrintable(xml);
    const auto after = place.match(xml);
    ASSERT_TRUE(after.hasMatch()) << qPrintable(xml);
    EXPECT_EQ(after.captured(1).toInt(), before.captured(1).toInt() + 40) << qPrintable(xml);
    EXPECT_EQ(after.captured(2).toInt(), before.captured(2).toInt() + 30) << qPrintable(xml);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
