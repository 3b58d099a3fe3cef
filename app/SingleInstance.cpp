#include "SingleInstance.h"

#include "PlayerMessages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tunola {

namespace {

constexpr int kRequestSize = 16; // uint32 message, int32 wParam, int64 lParam, little-endian
constexpr int kAnswerSize = 8;

QString RuntimeFolder() {
    // The session's runtime folder when there is one; otherwise a private folder in the temporary
    // folder (asking Qt for the runtime location without one only produces a warning).
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString dir = QDir::tempPath() + QStringLiteral("/tunola-") + QDir::home().dirName();
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

// The socket's address; false when the path does not fit one.
bool SocketAddress(sockaddr_un& address) {
    const QByteArray path = QFile::encodeName(PlayerSocketName());
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= int(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

int MillisecondsLeft(const QElapsedTimer& clock, int timeoutMs) {
    return std::max<int>(0, timeoutMs - int(clock.elapsed()));
}

// Waits until `fd` is ready for `events` or the time is up.
bool WaitFor(int fd, short events, const QElapsedTimer& clock, int timeoutMs) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, MillisecondsLeft(clock, timeoutMs));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

// A blocking client connection that closes itself.
class TClientSocket {
public:
    ~TClientSocket() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    // Connects to the running player, trying again while it may still be starting.
    bool Connect(const QElapsedTimer& clock, int timeoutMs) {
        sockaddr_un address;
        if (!SocketAddress(address))
            return false;
        for (;;) {
            fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (fd_ < 0)
                return false;
            if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                return true;
            ::close(fd_);
            fd_ = -1;
            if (clock.elapsed() >= timeoutMs)
                return false;
            QThread::msleep(50);
        }
    }
    bool WriteAll(const char* data, int64_t size, const QElapsedTimer& clock, int timeoutMs) {
        while (size > 0) {
            if (!WaitFor(fd_, POLLOUT, clock, timeoutMs))
                return false;
            const ssize_t n = ::send(fd_, data, size_t(size), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0)
                return false;
            data += n;
            size -= n;
        }
        return true;
    }
    // Reads exactly `size` bytes before the time is up.
    bool ReadExactly(char* out, int64_t size, const QElapsedTimer& clock, int timeoutMs) {
        while (size > 0) {
            if (!WaitFor(fd_, POLLIN, clock, timeoutMs))
                return false;
            const ssize_t n = ::recv(fd_, out, size_t(size), MSG_DONTWAIT);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0)
                return false;
            out += n;
            size -= n;
        }
        return true;
    }

private:
    int fd_ = -1;
};

} // namespace

struct TSingleInstance::TConnection {
    int fd = -1;
    QSocketNotifier* readable = nullptr;
    QSocketNotifier* writable = nullptr;
    QByteArray input;
    QByteArray output;
    bool serving = false;     // a handler runs for this connection (it may run an event loop)
    bool closeWhenSent = false; // refused: close once the answer is out
};

QString PlayerSocketName() {
    return RuntimeFolder() + QStringLiteral("/TUNOLA");
}

TSingleInstance::TSingleInstance() = default;

TSingleInstance::~TSingleInstance() {
    Release();
}

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
    while (!connections_.empty())
        Close(connections_.begin()->first);
    delete listenNotifier_;
    listenNotifier_ = nullptr;
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        ::unlink(QFile::encodeName(PlayerSocketName()).constData());
    }
    handler_ = nullptr;
    frames_ = nullptr;
    if (lock_)
        lock_->unlock();
}

bool TSingleInstance::Listen(Handler handler, FrameHandler frames) {
    handler_ = std::move(handler);
    frames_ = std::move(frames);
    sockaddr_un address;
    if (!SocketAddress(address))
        return false;
    // We hold the lock, so a socket file that is still there was left by a crashed player.
    ::unlink(address.sun_path);
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        return false;
    // Only this user may connect: the socket is created without rights for anyone else.
    const mode_t mask = ::umask(0077);
    const bool bound =
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::umask(mask);
    if (!bound || ::listen(listenFd_, 16) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    listenNotifier_ = new QSocketNotifier(listenFd_, QSocketNotifier::Read, this);
    connect(listenNotifier_, &QSocketNotifier::activated, this, &TSingleInstance::OnNewConnection);
    return true;
}

void TSingleInstance::OnNewConnection() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return; // EAGAIN: all taken; anything else: the client is gone already
        auto c = std::make_unique<TConnection>();
        c->fd = fd;
        c->readable = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(c->readable, &QSocketNotifier::activated, this, [this, fd] { OnReadable(fd); });
        c->writable = new QSocketNotifier(fd, QSocketNotifier::Write, this);
        c->writable->setEnabled(false);
        connect(c->writable, &QSocketNotifier::activated, this, [this, fd] {
            if (auto it = connections_.find(fd); it != connections_.end())
                Flush(*it->second);
        });
        connections_.emplace(fd, std::move(c));
    }
}

void TSingleInstance::OnReadable(int fd) {
    auto it = connections_.find(fd);
    if (it == connections_.end())
        return;
    TConnection& c = *it->second;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            c.input.append(buffer, n);
            // A header alone says how much is coming; no more than that is kept.
            if (c.input.size() > kRequestSize + kMaxFramePayload + kRequestSize)
                break;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            break;
        // The client hung up (or the connection failed): what it left unanswered is dropped.
        if (!c.serving)
            Close(fd);
        else
            c.readable->setEnabled(false);
        return;
    }
    if (!c.serving)
        Serve(c);
}

void TSingleInstance::Serve(TConnection& c) {
    const int fd = c.fd;
    c.serving = true;
    QPointer<TSingleInstance> alive(this);
    while (c.input.size() >= kRequestSize && !c.closeWhenSent) {
        const char* request = c.input.constData();
        const auto message = qFromLittleEndian<uint32_t>(request);
        const auto wParam = qFromLittleEndian<int32_t>(request + 4);
        const auto lParam = qFromLittleEndian<int64_t>(request + 8);
        if (message == WM_PLAYER_FRAME) {
            if (!AnswerFrame(c, wParam, lParam))
                break; // the payload is not all there yet, or the client was refused
        } else {
            c.input.remove(0, kRequestSize);
            const int64_t answer = handler_ ? handler_(message, wParam, lParam) : -1;
            if (!alive || !connections_.count(fd))
                return; // the handler released the instance
            char reply[kAnswerSize];
            qToLittleEndian<int64_t>(answer, reply);
            Send(c, reply, kAnswerSize);
        }
        if (!alive || !connections_.count(fd))
            return;
    }
    c.serving = false;
    if (!c.readable->isEnabled() && c.output.isEmpty())
        Close(fd); // the client hung up while it was being answered
}

bool TSingleInstance::AnswerFrame(TConnection& c, int32_t verb, int64_t size) {
    if (size < 0 || size > kMaxFramePayload) {
        char head[16];
        qToLittleEndian<int64_t>(-1, head);
        qToLittleEndian<int64_t>(0, head + 8);
        c.closeWhenSent = true;
        c.readable->setEnabled(false);
        c.input.clear();
        Send(c, head, sizeof head);
        return false;
    }
    if (c.input.size() < kRequestSize + size)
        return false;
    const QByteArray payload = c.input.mid(kRequestSize, size);
    c.input.remove(0, kRequestSize + size);
    const int fd = c.fd;
    QPointer<TSingleInstance> alive(this);
    const TFrameAnswer answer = frames_ ? frames_(verb, payload) : TFrameAnswer{};
    if (!alive || !connections_.count(fd))
        return false;
    char head[16];
    qToLittleEndian<int64_t>(answer.Result, head);
    qToLittleEndian<int64_t>(answer.Payload.size(), head + 8);
    c.output.append(head, sizeof head);
    Send(c, answer.Payload.constData(), answer.Payload.size());
    return connections_.count(fd) != 0;
}

void TSingleInstance::Send(TConnection& c, const char* data, int64_t size) {
    c.output.append(data, size);
    Flush(c);
}

void TSingleInstance::Flush(TConnection& c) {
    while (!c.output.isEmpty()) {
        const ssize_t n = ::send(c.fd, c.output.constData(), size_t(c.output.size()),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            c.output.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            c.writable->setEnabled(true); // the rest goes when the client reads
            return;
        }
        c.output.clear(); // the client is gone
        c.readable->setEnabled(false);
        break;
    }
    c.writable->setEnabled(false);
    if ((c.closeWhenSent || !c.readable->isEnabled()) && !c.serving) {
        // Closing later, so no caller up the stack holds a dead connection.
        const int fd = c.fd;
        QMetaObject::invokeMethod(this, [this, fd] { Close(fd); }, Qt::QueuedConnection);
    }
}

void TSingleInstance::Close(int fd) {
    auto it = connections_.find(fd);
    if (it == connections_.end())
        return;
    std::unique_ptr<TConnection> c = std::move(it->second);
    connections_.erase(it);
    delete c->readable;
    delete c->writable;
    ::close(fd);
}

std::optional<int64_t> SendPlayerMessage(uint32_t message, int32_t wParam, int64_t lParam,
                                         int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    TClientSocket socket;
    // The player may be starting: keep trying until the time is up.
    if (!socket.Connect(clock, timeoutMs))
        return std::nullopt;
    char request[kRequestSize];
    qToLittleEndian<uint32_t>(message, request);
    qToLittleEndian<int32_t>(wParam, request + 4);
    qToLittleEndian<int64_t>(lParam, request + 8);
    char reply[kAnswerSize];
    if (!socket.WriteAll(request, kRequestSize, clock, timeoutMs) ||
        !socket.ReadExactly(reply, kAnswerSize, clock, timeoutMs))
        return std::nullopt;
    return qFromLittleEndian<int64_t>(reply);
}

std::optional<TFrameAnswer> SendPlayerFrame(int32_t verb, const QByteArray& payload,
                                            int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    TClientSocket socket;
    if (!socket.Connect(clock, timeoutMs))
        return std::nullopt;
    char request[kRequestSize];
    qToLittleEndian<uint32_t>(WM_PLAYER_FRAME, request);
    qToLittleEndian<int32_t>(verb, request + 4);
    qToLittleEndian<int64_t>(payload.size(), request + 8);
    if (!socket.WriteAll(request, kRequestSize, clock, timeoutMs) ||
        !socket.WriteAll(payload.constData(), payload.size(), clock, timeoutMs))
        return std::nullopt;
    char head[16];
    if (!socket.ReadExactly(head, sizeof head, clock, timeoutMs))
        return std::nullopt;
    TFrameAnswer answer;
    answer.Result = qFromLittleEndian<int64_t>(head);
    const auto size = qFromLittleEndian<int64_t>(head + 8);
    if (size < 0 || size > kMaxFramePayload)
        return std::nullopt;
    answer.Payload.resize(size);
    if (size > 0 && !socket.ReadExactly(answer.Payload.data(), size, clock, timeoutMs))
        return std::nullopt;
    return answer;
}

} // namespace tunola
