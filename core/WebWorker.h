#pragma once
// One kind of background call to the service, at most one at a time.
//
// Threads: Start, Running, Wait and Stop are called on the owner's thread (the UI thread), which
// tests and sets the guard; the job runs on a thread of its own, which clears the guard as its
// last step. Shared between the two: the guard (atomic) and the TWebCancel that the job's web
// calls are given. Stop cancels the call under way (it returns within milliseconds, whatever the
// server does) and joins the thread: a worker is never detached or left running at exit.

#include "WebClient.h"

#include <atomic>
#include <functional>
#include <thread>

namespace tunola {

class TWebWorker {
public:
    // The job; its web calls take `cancel`. A failure it throws is dropped.
    using TJob = std::function<void(TWebCancel& cancel)>;

    TWebWorker() = default;
    TWebWorker(const TWebWorker&) = delete;
    TWebWorker& operator=(const TWebWorker&) = delete;
    ~TWebWorker(); // Stop

    // Starts `job` unless one runs (or Stop was called): false then, and nothing starts.
    bool Start(TJob job);
    // The guard: a job has been started and has not yet finished.
    bool Running() const { return running_.load(); }
    // Waits until the job ends by itself (tests).
    void Wait();
    // Cancels the job's call under way and every later one; no job starts afterwards.
    void Cancel();
    // Cancel, then wait for the thread.
    void Stop();

private:
    std::atomic<bool> running_{false};
    bool stopped_ = false;
    TWebCancel cancel_;
    std::thread thread_;
};

} // namespace tunola
