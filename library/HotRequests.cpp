#include "HotRequests.h"

namespace tunola {

THotRequests::~THotRequests() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        queue_.clear();
    }
    cancel_.Cancel();
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

bool THotRequests::Send(std::string url) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stop_ || queue_.size() >= kMaxQueued)
        return false;
    queue_.push_back(std::move(url));
    if (!worker_.joinable())
        worker_ = std::thread([this] { Run(); });
    wake_.notify_one();
    return true;
}

size_t THotRequests::Sent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
}

void THotRequests::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_)
            return;
        const std::string url = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        WebGetResponse(url, bounds_, &cancel_);
        lock.lock();
        ++sent_;
    }
}

} // namespace tunola
