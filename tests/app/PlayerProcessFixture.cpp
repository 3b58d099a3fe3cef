#include "PlayerProcessFixture.h"

#include "PlayerMessages.h"
#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tunola::test {

void WriteSilentWav(const QString& path, double seconds) {
    const int frames = static_cast<int>(8000 * seconds);
    QByteArray wav("RIFF");
    auto put32 = [&](quint32 v) {
        for (int k = 0; k < 4; ++k)
            wav += char((v >> (8 * k)) & 0xFF);
    };
    auto put16 = [&](quint16 v) {
        wav += char(v & 0xFF);
        wav += char(v >> 8);
    };
    put32(36 + frames * 2);
    wav += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(8000);
    put32(16000);
    put16(2);
    put16(16);
    wav += "data";
    put32(frames * 2);
    wav += QByteArray(frames * 2, '\0');
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(wav);
}

QString MakePrivateRuntimeDir(const QString& home) {
    const QString runtime = home + QStringLiteral("/run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return runtime;
}

QProcessEnvironment PlayerEnvironment(const QString& home, const QString& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("XDG_DOCUMENTS_DIR"), home + QStringLiteral("/Documents"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

void TPlayerHomeTest::SetUp() {
    ASSERT_TRUE(home_.isValid());
    runtime_ = MakePrivateRuntimeDir(home_.path());
    env_ = PlayerEnvironment(home_.path(), runtime_);
    qputenv("XDG_RUNTIME_DIR", runtime_.toLocal8Bit());
}

void TPlayerHomeTest::TearDown() {
    for (QProcess* p : started_) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
        delete p;
    }
    started_.clear();
}

QProcess* TPlayerHomeTest::Start(const QString& program, const QStringList& args,
                                 QProcess::ProcessChannelMode channels) {
    auto* p = new QProcess;
    p->setProcessEnvironment(env_);
    p->setProcessChannelMode(channels);
    p->setWorkingDirectory(home_.path());
    p->start(program, args);
    started_.push_back(p);
    return p;
}

bool TPlayerHomeTest::WaitUntilAnswering() {
    // One request with a long wait: it connects as soon as the player listens and then waits
    // for its first answer, however slowly a loaded machine starts it.
    return SendPlayerMessage(WM_PLAYER_CONTROL, 12345, 0, 20000).has_value();
}

} // namespace tunola::test
