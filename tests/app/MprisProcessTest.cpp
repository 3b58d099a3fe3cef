// The real player on a private session bus, driven by playerctl and dbus-send, watched with
// dbus-monitor.

#include "PlayerProcessFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class MprisProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty());
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("playerctl")).isEmpty());
        const QString runtime = tunola::test::MakePrivateRuntimeDir(home_.path());

        // A bus of our own: nothing of the desktop this runs on is touched.
        bus_.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1"),
                    QStringLiteral("--address=unix:path=") + runtime + QStringLiteral("/bus")});
        ASSERT_TRUE(bus_.waitForStarted());
        while (!bus_.canReadLine())
            ASSERT_TRUE(bus_.waitForReadyRead(5000));
        address_ = QString::fromUtf8(bus_.readLine().trimmed());

        env_ = tunola::test::PlayerEnvironment(home_.path(), runtime);
        env_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);

        music_ = home_.path() + QStringLiteral("/music");
        tunola::test::WriteSilentWav(music_ + QStringLiteral("/a.wav"), 6);
        tunola::test::WriteSilentWav(music_ + QStringLiteral("/b.wav"), 6);
        player_.setProcessEnvironment(env_);
        player_.start(QStringLiteral(TUNOLA_BINARY), {music_});
        ASSERT_TRUE(player_.waitForStarted());
        ASSERT_TRUE(WaitFor({QStringLiteral("status")}, "Playing"));
    }
    void TearDown() override {
        if (player_.state() != QProcess::NotRunning) {
            player_.kill();
            player_.waitForFinished(5000);
        }
        bus_.kill();
        bus_.waitForFinished(5000);
    }

    QString Run(const QString& program, QStringList args) {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(10000));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    QString Playerctl(QStringList args) {
        args.prepend(QStringLiteral("tunola"));
        args.prepend(QStringLiteral("--player"));
        return Run(QStringLiteral("playerctl"), args);
    }
    bool WaitFor(const QStringList& query, const QString& expected) {
        for (int i = 0; i < 50; ++i) {
            if (Playerctl(query) == expected)
                return true;
            QThread::msleep(100);
        }
        ADD_FAILURE() << query.join(' ').toStdString() << " never gave " << expected.toStdString()
                      << ", last: " << Playerctl(query).toStdString();
        return false;
    }

    QTemporaryDir home_;
    QProcess bus_;
    QProcess player_;
    QString address_;
    QString music_;
    QProcessEnvironment env_;
};

TEST_F(MprisProcess, PlayerctlActsOnThePlayer) {
    EXPECT_EQ(Playerctl({QStringLiteral("metadata"), QStringLiteral("title")}), "a");
    EXPECT_EQ(Playerctl({QStringLiteral("metadata"), QStringLiteral("mpris:length")}), "6000000");
    EXPECT_EQ(Playerctl({QStringLiteral("metadata"), QStringLiteral("xesam:url")}),
              QStringLiteral("file://") + music_ + QStringLiteral("/a.wav"));

    const struct {
        QStringList command;
        QStringList query;
        const char* expected;
    } kSteps[] = {
        {{"play-pause"}, {"status"}, "Paused"},
        {{"play-pause"}, {"status"}, "Playing"},
        {{"next"}, {"metadata", "title"}, "b"},
        {{"previous"}, {"metadata", "title"}, "a"},
        {{"loop", "None"}, {"loop"}, "None"},
        {{"loop", "Track"}, {"loop"}, "Track"},
        {{"loop", "Playlist"}, {"loop"}, "Playlist"},
        {{"shuffle", "On"}, {"shuffle"}, "On"},
        {{"shuffle", "On"}, {"loop"}, "Playlist"}, // random play repeats the list
        {{"loop", "None"}, {"shuffle"}, "On"},     // and stays random when the loop is set
        {{"shuffle", "Off"}, {"loop"}, "Playlist"},
        {{"shuffle", "Off"}, {"shuffle"}, "Off"},
        {{"loop", "None"}, {"loop"}, "None"},
        {{"pause"}, {"status"}, "Paused"},
        {{"play"}, {"status"}, "Playing"},
        {{"stop"}, {"status"}, "Stopped"},
        {{"play"}, {"status"}, "Playing"},
    };
    for (const auto& step : kSteps) {
        Playerctl(step.command);
        EXPECT_TRUE(WaitFor(step.query, QString::fromLatin1(step.expected)))
            << step.command.join(' ').toStdString();
    }

    // The volume slider has one step per pixel: the level comes back within a step.
    Playerctl({QStringLiteral("volume"), QStringLiteral("0.25")});
    EXPECT_NEAR(Playerctl({QStringLiteral("volume")}).toDouble(), 0.25, 0.02);
    Playerctl({QStringLiteral("volume"), QStringLiteral("0")});
    EXPECT_EQ(Playerctl({QStringLiteral("volume")}).toDouble(), 0.0);

    Playerctl({QStringLiteral("position"), QStringLiteral("4")});
    const double position = Playerctl({QStringLiteral("position")}).toDouble();
    EXPECT_GE(position, 4.0);
    EXPECT_LT(position, 5.5);
    // Relative seeks, and a position outside the track is ignored.
    Playerctl({QStringLiteral("position"), QStringLiteral("2-")});
    EXPECT_LT(Playerctl({QStringLiteral("position")}).toDouble(), 3.5);
    Playerctl({QStringLiteral("position"), QStringLiteral("600")});
    EXPECT_LT(Playerctl({QStringLiteral("position")}).toDouble(), 6.0);

    // The mode set over the bus is the player's own: it is saved at quit.
    Playerctl({QStringLiteral("loop"), QStringLiteral("Track")});
    ASSERT_TRUE(WaitFor({QStringLiteral("loop")}, QStringLiteral("Track")));
    Run(QStringLiteral("dbus-send"),
        {QStringLiteral("--session"), QStringLiteral("--print-reply"),
         QStringLiteral("--dest=org.mpris.MediaPlayer2.tunola"),
         QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("org.mpris.MediaPlayer2.Quit")});
    ASSERT_TRUE(player_.waitForFinished(10000));
    QFile config(home_.path() + QStringLiteral("/Documents/Tunola/tunola.xml"));
    ASSERT_TRUE(config.open(QIODevice::ReadOnly));
    EXPECT_TRUE(config.readAll().contains("PATTERN=\"3\""));
}

TEST_F(MprisProcess, ChangesMadeElsewhereAreAnnounced) {
    // dbus-monitor prints every signal the player sends.
    QProcess monitor;
    monitor.setProcessEnvironment(env_);
    monitor.start(QStringLiteral("dbus-monitor"),
                  {QStringLiteral("--session"),
                   QStringLiteral("type='signal',path='/org/mpris/MediaPlayer2'")});
    ASSERT_TRUE(monitor.waitForStarted());
    QThread::msleep(300);
    // The remote control is not MPRIS, yet the bus hears of the change.
    Run(QStringLiteral(TUNOLA_REMOTE), {QStringLiteral("pause")});
    Run(QStringLiteral(TUNOLA_REMOTE), {QStringLiteral("seek"), QStringLiteral("3")});
    Run(QStringLiteral(TUNOLA_REMOTE), {QStringLiteral("volume"), QStringLiteral("70")});
    QByteArray seen;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 &&
           !(seen.contains("Paused") && seen.contains("Seeked") && seen.contains("double 0."))) {
        monitor.waitForReadyRead(200);
        seen += monitor.readAllStandardOutput();
    }
    monitor.kill();
    monitor.waitForFinished(2000);
    EXPECT_TRUE(seen.contains("PropertiesChanged")) << seen.constData();
    EXPECT_TRUE(seen.contains("\"Paused\"")) << seen.constData();
    EXPECT_TRUE(seen.contains("member=Seeked")) << seen.constData();
    EXPECT_TRUE(seen.contains("int64 3000000")) << seen.constData();
    EXPECT_TRUE(seen.contains("\"Volume\"")) << seen.constData();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
