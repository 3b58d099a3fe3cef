// The real player binary: one instance per user, a second start hands over and ends.

#include "SingleInstance.h"
#include "PlayerMessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace tunola;

namespace {

class PlayerProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        runtime_ = home_.path() + QStringLiteral("/run");
        QDir().mkpath(runtime_);
        QFile::setPermissions(runtime_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("HOME"), home_.path());
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
        env_.insert(QStringLiteral("XDG_DOCUMENTS_DIR"),
                    home_.path() + QStringLiteral("/Documents"));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // This process talks to the player through the same socket name.
        qputenv("XDG_RUNTIME_DIR", runtime_.toLocal8Bit());
    }
    void TearDown() override {
        for (QProcess* p : started_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
    }

    QProcess* Start() {
        auto* p = new QProcess;
        p->setProcessEnvironment(env_);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(TUNOLA_BINARY), {});
        started_.push_back(p);
        return p;
    }

    // Waits until the running player answers on its socket.
    bool WaitUntilAnswering() {
        for (int i = 0; i < 100; ++i) {
            if (SendPlayerMessage(WM_PLAYER_CONTROL, 12345, 0, 200))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    QTemporaryDir home_;
    QString runtime_;
    QProcessEnvironment env_;
    std::vector<QProcess*> started_;
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
