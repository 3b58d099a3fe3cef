#pragma once
// What the tests that run the real player binary share: a home, documents folder and private
// runtime folder of their own (so the player's socket and lock never meet a real player's), the
// environment for an offscreen player, silent WAV files to play, and the processes started,
// killed at the end of each test.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace tunola::test {

// A silent mono WAV of `seconds` at 8 kHz; the folders on the way are made.
void WriteSilentWav(const QString& path, double seconds);

// `home`/run, readable by its owner only, as a session's runtime folder must be.
QString MakePrivateRuntimeDir(const QString& home);

// The system environment with HOME, XDG_RUNTIME_DIR, XDG_DOCUMENTS_DIR pointed into `home` and
// Qt's offscreen platform.
QProcessEnvironment PlayerEnvironment(const QString& home, const QString& runtime);

class TPlayerHomeTest : public ::testing::Test {
protected:
    // Also points this process's XDG_RUNTIME_DIR at the private folder, so that its own
    // messages reach the player under test.
    void SetUp() override;
    void TearDown() override;

    QProcess* Start(const QString& program, const QStringList& args,
                    QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel);
#ifdef TUNOLA_BINARY
    QProcess* StartPlayer(const QStringList& args = {},
                          QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) {
        return Start(QStringLiteral(TUNOLA_BINARY), args, channels);
    }
#endif
    // Waits (up to 20 s) until a player answers on the socket.
    bool WaitUntilAnswering();

    QString SettingsFolder() const { return home_.path() + QStringLiteral("/Documents/Tunola"); }

    QTemporaryDir home_;
    QString runtime_;
    QProcessEnvironment env_;
    std::vector<QProcess*> started_;
};

} // namespace tunola::test
