#pragma once
// The popularity requests of the sharing page ("/hot.asp?id=" + identifier), sent fire and
// forget so that a slow or dead service never holds up the window.
//
// Threads: one worker, started with the first request, sends the queued addresses in order
// with the web client's bounds and drops the answers; Send (UI thread) only queues. The queue
// and the stop flag are shared under one mutex. The destructor cancels the call in flight and
// joins the worker.

#include <WebClient.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace tunola {

class THotRequests {
public:
    // Requests queued beyond this are dropped: counting plays is not worth a backlog.
    static constexpr size_t kMaxQueued = 32;

    explicit THotRequests(TWebBounds bounds = {2000, 3000, 5000, 64 * 1024}) : bounds_(bounds) {}
    ~THotRequests();
    THotRequests(const THotRequests&) = delete;
    THotRequests& operator=(const THotRequests&) = delete;

    // Queues a GET of `url`; false when the queue was full and the request was dropped.
    bool Send(std::string url);

    // Requests sent so far (for tests).
    size_t Sent() const;

private:
    void Run();

    const TWebBounds bounds_;
    TWebCancel cancel_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    size_t sent_ = 0;
    bool stop_ = false;
    std::thread worker_;
};

} // namespace tunola
