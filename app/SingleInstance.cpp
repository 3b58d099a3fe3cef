#include "SingleInstance.h"

#include "PlayerMessages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>

namespace tunola {

namespace {

constexpr int kRequestSize = 16; // uint32 message, int32 wParam, int64 lParam, little-endian
constexpr int kAnswerSize = 8;

void WriteFrameAnswer(QLocalSocket& socket, const TFrameAnswer& answer) {
    char head[16];
    qToLittleEndian<int64_t>(answer.Result, head);
    qToLittleEndian<int64_t>(answer.Payload.size(), head + 8);
    socket.write(head, sizeof head);
    socket.write(answer.Payload);
    socket.flush();
}

// Connects to the running player, trying again while it may still be starting.
bool ConnectToPlayer(QLocalSocket& socket, const QElapsedTimer& clock, int timeoutMs) {
    for (;;) {
        socket.connectToServer(PlayerSocketName());
        if (socket.waitForConnected(std::max<int>(1, timeoutMs - int(clock.elapsed()))))
            return true;
        socket.abort();
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(50);
    }
}

// Reads exactly `size` bytes before the time is up.
bool ReadExactly(QLocalSocket& socket, char* out, qint64 size, const QElapsedTimer& clock,
                 int timeoutMs) {
    while (socket.bytesAvailable() < size) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left))
            return false;
    }
    return socket.read(out, size) == size;
}

QString RuntimeFolder() {
#ifdef _WIN32
    return {};
#else
    // The session's runtime folder when there is one; otherwise a private folder in the temporary
    // folder (asking Qt for the runtime location without one only produces a warning).
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString dir = QDir::tempPath() + QStringLiteral("/tunola-") + QDir::home().dirName();
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
#endif
}

} // namespace

QString PlayerSocketName() {
    const QString dir = RuntimeFolder();
    return dir.isEmpty() ? QStringLiteral("TUNOLA") : dir + QStringLiteral("/TUNOLA");
}

TSingleInstance::TSingleInstance() = default;
TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::TryAcquire() {
    return WaitAcquire(0);
}

bool TSingleInstance::WaitAcquire(int timeoutMs) {
    QString dir = RuntimeFolder();
    if (dir.isEmpty())
        dir = QDir::tempPath();
    if (!lock_)
        lock_ = std::make_unique<QLockFile>(dir + QStringLiteral("/TunOlabasic1.2.lock"));
    // A lock whose process has died is stale and removed by tryLock itself.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(timeoutMs);
}

void TSingleInstance::Release() {
    if (server_) {
        server_->close();
        delete server_;
        server_ = nullptr;
    }
    handler_ = nullptr;
    if (lock_)
        lock_->unlock();
}

bool TSingleInstance::Listen(Handler handler, FrameHandler frames) {
    handler_ = std::move(handler);
    frames_ = std::move(frames);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file that is still there was left by a crashed player.
    QLocalServer::removeServer(PlayerSocketName());
    connect(server_, &QLocalServer::newConnection, this, &TSingleInstance::OnNewConnection);
    return server_->listen(PlayerSocketName());
}

void TSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            while (socket->bytesAvailable() >= kRequestSize) {
                char request[kRequestSize];
                socket->peek(request, kRequestSize);
                const auto message = qFromLittleEndian<uint32_t>(request);
                const auto wParam = qFromLittleEndian<int32_t>(request + 4);
                const auto lParam = qFromLittleEndian<int64_t>(request + 8);
                if (message == WM_PLAYER_FRAME) {
                    if (!AnswerFrame(*socket, wParam, lParam))
                        return; // the payload is not all there yet, or the client was refused
                    continue;
                }
                socket->skip(kRequestSize);
                const int64_t answer = handler_ ? handler_(message, wParam, lParam) : -1;
                char reply[kAnswerSize];
                qToLittleEndian<int64_t>(answer, reply);
                socket->write(reply, kAnswerSize);
                socket->flush();
            }
        });
    }
}

bool TSingleInstance::AnswerFrame(QLocalSocket& socket, int32_t verb, int64_t size) {
    if (size < 0 || size > kMaxFramePayload) {
        WriteFrameAnswer(socket, TFrameAnswer{});
        socket.disconnectFromServer();
        return false;
    }
    if (socket.bytesAvailable() < kRequestSize + size)
        return false;
    socket.skip(kRequestSize);
    const QByteArray payload = socket.read(size);
    WriteFrameAnswer(socket, frames_ ? frames_(verb, payload) : TFrameAnswer{});
    return true;
}

std::optional<int64_t> SendPlayerMessage(uint32_t message, int32_t wParam, int64_t lParam,
                                         int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    // The player may be starting: keep trying until the time is up.
    for (;;) {
        socket.connectToServer(PlayerSocketName());
        if (socket.waitForConnected(std::max<int>(1, timeoutMs - int(clock.elapsed()))))
            break;
        socket.abort();
        if (clock.elapsed() >= timeoutMs)
            return std::nullopt;
        QThread::msleep(50);
    }
    char request[kRequestSize];
    qToLittleEndian<uint32_t>(message, request);
    qToLittleEndian<int32_t>(wParam, request + 4);
    qToLittleEndian<int64_t>(lParam, request + 8);
    socket.write(request, kRequestSize);
    if (!socket.waitForBytesWritten(timeoutMs))
        return std::nullopt;
    while (socket.bytesAvailable() < kAnswerSize) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left))
            return std::nullopt;
    }
    char reply[kAnswerSize];
    socket.read(reply, kAnswerSize);
    socket.disconnectFromServer();
    return qFromLittleEndian<int64_t>(reply);
}

std::optional<TFrameAnswer> SendPlayerFrame(int32_t verb, const QByteArray& payload,
                                            int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    if (!ConnectToPlayer(socket, clock, timeoutMs))
        return std::nullopt;
    char request[kRequestSize];
    qToLittleEndian<uint32_t>(WM_PLAYER_FRAME, request);
    qToLittleEndian<int32_t>(verb, request + 4);
    qToLittleEndian<int64_t>(payload.size(), request + 8);
    socket.write(request, kRequestSize);
    socket.write(payload);
    while (socket.bytesToWrite() > 0) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !socket.waitForBytesWritten(left))
            return std::nullopt;
    }
    char head[16];
    if (!ReadExactly(socket, head, sizeof head, clock, timeoutMs))
        return std::nullopt;
    TFrameAnswer answer;
    answer.Result = qFromLittleEndian<int64_t>(head);
    const auto size = qFromLittleEndian<int64_t>(head + 8);
    if (size < 0 || size > kMaxFramePayload)
        return std::nullopt;
    answer.Payload.resize(size);
    if (size > 0 && !ReadExactly(socket, answer.Payload.data(), size, clock, timeoutMs))
        return std::nullopt;
    socket.disconnectFromServer();
    return answer;
}

} // namespace tunola
