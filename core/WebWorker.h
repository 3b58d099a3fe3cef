#pragma once
// One kind of background call to the service, at most one at a time.
//
// Threads: Start, Running, Wait and Stop are called on the owner's thread (the UI thread), which
// tests and sets the guard; the jobs run one after another on one thread of the worker's own,
// started with the first job and kept until Stop; that thread clears the guard as each job's
// last step. Shared between the two: the guard (atomic), the job handed over (under the mutex) and
// the TWebCancel that the job's web calls are given. Stop cancels the call under way (it
// returns within milliseconds, whatever the server does) and joins the thread: a worker is never
// detached or left running at exit. One thread for all the jobs, not one each: the service check
// runs every 2 s for as long as the service is away, and a thread per call costs a thread's
// start each time, and under AddressSanitizer a record that is never given back.

#include "WebClient.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
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
    void Run();

    std::atomic<bool> running_{false};
    bool stopped_ = false;
    TWebCancel cancel_;
    std::mutex mutex_;
    std::condition_variable changed_; // a job handed over, a job finished, or the end
    TJob job_;                        // the job handed over and not yet taken
    bool quit_ = false;
    std::thread thread_;
};

} // namespace tunola
