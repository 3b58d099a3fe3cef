#include "LingeringThreads.h"

#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace tunola {

struct TLingeringThreads::TState {
    const std::string name;
    const size_t stackBytes;
    const std::chrono::milliseconds linger;
    mutable std::mutex mutex;
    std::condition_variable wake;
    // Run starts a thread only when there are more queued jobs than idle threads, so every
    // queued job has a thread bound to take it. Jobs queued when the pool goes still run.
    std::deque<std::function<void()>> jobs;
    size_t idle = 0;
    size_t alive = 0;
    size_t started = 0;
    bool ending = false;

    TState(std::string name, size_t stackBytes, int lingerMs)
        : name(std::move(name)), stackBytes(stackBytes), linger(lingerMs) {}
};

namespace {

struct TThreadStart {
    std::shared_ptr<void> state; // the pool's, kept for as long as the thread runs
};

} // namespace

TLingeringThreads::TLingeringThreads(std::string name, size_t stackBytes, int lingerMs)
    : state_(std::make_shared<TState>(std::move(name), stackBytes, lingerMs)) {}

TLingeringThreads::~TLingeringThreads() {
    {
        std::lock_guard lock(state_->mutex);
        state_->ending = true;
    }
    state_->wake.notify_all();
}

bool TLingeringThreads::Run(std::function<void()> job) {
    TState& s = *state_;
    std::unique_lock lock(s.mutex);
    if (s.ending)
        return false;
    s.jobs.push_back(std::move(job));
    if (s.jobs.size() <= s.idle) {
        lock.unlock();
        s.wake.notify_one();
        return true;
    }

    // The thread: jobs until none has come for the lingering time or the pool has gone.
    auto loop = [](void* argument) -> void* {
        const std::unique_ptr<TThreadStart> start(static_cast<TThreadStart*>(argument));
        TState& s = *static_cast<TState*>(start->state.get());
        pthread_setname_np(pthread_self(), s.name.substr(0, 15).c_str());
        std::unique_lock lock(s.mutex);
        for (;;) {
            while (!s.jobs.empty()) {
                std::function<void()> job = std::move(s.jobs.front());
                s.jobs.pop_front();
                lock.unlock();
                job();
                job = nullptr; // what it holds goes before the thread counts as idle
                lock.lock();
            }
            ++s.idle;
            const bool woken =
                s.wake.wait_for(lock, s.linger, [&s] { return !s.jobs.empty() || s.ending; });
            --s.idle;
            if (!woken || s.jobs.empty())
                break; // lingered long enough, or the pool has gone
        }
        --s.alive;
        return nullptr;
    };

    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        s.jobs.pop_back();
        return false;
    }
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (s.stackBytes)
        pthread_attr_setstacksize(&attributes, s.stackBytes);
    auto start = std::make_unique<TThreadStart>(TThreadStart{state_});
    pthread_t thread;
    const bool created = pthread_create(&thread, &attributes, loop, start.get()) == 0;
    pthread_attr_destroy(&attributes);
    if (!created) {
        s.jobs.pop_back(); // no thread is bound to take it
        return false;
    }
    start.release();
    ++s.alive;
    ++s.started;
    return true;
}

size_t TLingeringThreads::Threads() const {
    std::lock_guard lock(state_->mutex);
    return state_->alive;
}

size_t TLingeringThreads::Started() const {
    std::lock_guard lock(state_->mutex);
    return state_->started;
}

} // namespace tunola
