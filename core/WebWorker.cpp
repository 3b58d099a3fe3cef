#include "WebWorker.h"

namespace tunola {

TWebWorker::~TWebWorker() {
    Stop();
}

bool TWebWorker::Start(TJob job) {
    if (stopped_ || running_.load())
        return false;
    running_ = true;
    {
        std::lock_guard lock(mutex_);
        job_ = std::move(job);
    }
    changed_.notify_all();
    if (!thread_.joinable())
        thread_ = std::thread([this] { Run(); });
    return true;
}

void TWebWorker::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quit_ || job_; });
        if (!job_)
            return; // the end, with no job left to run
        TJob job = std::move(job_);
        job_ = nullptr;
        lock.unlock();
        try {
            job(cancel_);
        } catch (...) {
        }
        job = nullptr; // what the job holds goes before the guard says it has finished
        lock.lock();
        running_ = false; // the last step
        changed_.notify_all();
    }
}

void TWebWorker::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !running_.load(); });
}

void TWebWorker::Cancel() {
    stopped_ = true;
    cancel_.Cancel();
}

void TWebWorker::Stop() {
    Cancel();
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

} // namespace tunola
