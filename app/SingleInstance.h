#pragma once
// One player per user. The first start holds a lock file and answers requests on a local
// socket named "TUNOLA"; a second start finds the lock taken, hands code 99 to the running
// player through the socket and ends. A lock left by a crashed player is recognised as stale
// (its process is gone) and taken over, and the stale socket file is removed before listening.
//
// Requests are (message, wParam, lParam) and get one 64-bit answer: the same protocol serves
// the second start and remote control from other programs. A framed request (WM_PLAYER_FRAME)
// also carries a payload and gets one back; see PlayerMessages.h.
//
// The server lives on the UI thread and calls its handler there. The socket is a plain Unix
// stream socket watched by QSocketNotifier, not Qt Network's local socket: that library and the
// Kerberos and proxy libraries it brings would cost every start about 1.3 MiB resident.

#include <QByteArray>
#include <QLockFile>
#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace tunola {

QString PlayerSocketName();

// The answer to a framed request.
struct TFrameAnswer {
    int64_t Result = -1;
    QByteArray Payload;
};

// The largest payload a framed request may carry; a bigger one is refused and the connection
// closed, so a stray client cannot make the player buffer without end.
inline constexpr int64_t kMaxFramePayload = 16 * 1024 * 1024;

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<int64_t(uint32_t message, int32_t wParam, int64_t lParam)>;
    using FrameHandler = std::function<TFrameAnswer(int32_t verb, const QByteArray& payload)>;

    TSingleInstance();
    ~TSingleInstance() override;

    // True when this process is now the only player.
    bool TryAcquire();
    // Keeps trying for up to `timeoutMs` (a player that is closing lets go of it soon).
    bool WaitAcquire(int timeoutMs);
    // Starts answering requests. Call after TryAcquire succeeded.
    bool Listen(Handler handler, FrameHandler frames = {});
    // Stops answering and lets go of the lock, so that a new start becomes the player at once
    // while this one is still tidying up.
    void Release();

private:
    struct TConnection;
    void OnNewConnection();
    void OnReadable(int fd);
    // Answers what the connection's input holds, request by request.
    void Serve(TConnection& c);
    // Answers the framed request whose header starts the connection's input; false when its
    // payload has not all arrived yet (nothing is consumed) or the request was refused.
    bool AnswerFrame(TConnection& c, int32_t verb, int64_t size);
    void Send(TConnection& c, const char* data, int64_t size);
    void Flush(TConnection& c);
    void Close(int fd);

    std::unique_ptr<QLockFile> lock_;
    int listenFd_ = -1;
    QSocketNotifier* listenNotifier_ = nullptr;
    std::map<int, std::unique_ptr<TConnection>> connections_;
    Handler handler_;
    FrameHandler frames_;
};

// Sends one request to the running player and waits for its answer; nullopt when no player
// answers within `timeoutMs`. Blocking; any thread that has no event loop of its own may call it.
std::optional<int64_t> SendPlayerMessage(uint32_t message, int32_t wParam, int64_t lParam,
                                         int timeoutMs = 1000);

// Sends one framed request (WM_PLAYER_FRAME) and waits for its answer; nullopt when no player
// answers within `timeoutMs`. Blocking, like SendPlayerMessage.
std::optional<TFrameAnswer> SendPlayerFrame(int32_t verb, const QByteArray& payload,
                                            int timeoutMs = 2000);

} // namespace tunola
