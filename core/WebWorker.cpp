#include "WebWorker.h"

namespace tunola {

TWebWorker::~TWebWorker() {
    Stop();
}

bool TWebWorker::Start(TJob job) {
    if (stopped_ || running_.load())
        return false;
    // The previous job has cleared the guard: its thread is ending or gone.
    if (thread_.joinable())
        thread_.join();
    running_ = true;
    thread_ = std::thread([this, job = std::move(job)] {
        try {
            job(cancel_);
        } catch (...) {
        }
        running_ = false; // the last step
    });
    return true;
}

void TWebWorker::Wait() {
    if (thread_.joinable())
        thread_.join();
}

void TWebWorker::Cancel() {
    stopped_ = true;
    cancel_.Cancel();
}

void TWebWorker::Stop() {
    Cancel();
    Wait();
}

} // namespace tunola
