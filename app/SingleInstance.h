#pragma once
// One player per user. The first start holds a lock file and answers requests on a local
// socket named "TUNOLA"; a second start finds the lock taken, hands code 99 to the running
// player through the socket and ends. A lock left by a crashed player is recognised as stale
// (its process is gone) and taken over, and the stale socket file is removed before listening.
//
// Requests are (message, wParam, lParam) and get one 64-bit answer: the same protocol serves
// the second start and remote control from other programs.
//
// The server lives on the UI thread and calls its handler there.

#include <QLockFile>
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;

namespace tunola {

QString PlayerSocketName();

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<int64_t(uint32_t message, int32_t wParam, int64_t lParam)>;

    TSingleInstance();
    ~TSingleInstance() override;

    // True when this process is now the only player.
    bool TryAcquire();
    // Starts answering requests. Call after TryAcquire succeeded.
    bool Listen(Handler handler);

private:
    void OnNewConnection();

    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    Handler handler_;
};

// Sends one request to the running player and waits for its answer; nullopt when no player
// answers within `timeoutMs`. Blocking; any thread that has no event loop of its own may call it.
std::optional<int64_t> SendPlayerMessage(uint32_t message, int32_t wParam, int64_t lParam,
                                         int timeoutMs = 1000);

} // namespace tunola
