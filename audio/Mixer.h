#pragma once
// The library's playback thread: it mixes every playing stream into the output, keeps the
// output clock, and calls end notifications.
//
// Threads: one mixer thread, started by the constructor and joined by the destructor. Other
// threads call Add, Remove, SetVolume and Audible. `mutex_` guards the playing list and the
// quit flag; `clockMutex_` guards the clock sample (frames written, the output's delay then,
// and when). The output itself is touched only by the mixer thread. Lock order: `mutex_`
// before a stream's own lock; end notifications are called with no lock held but the sync
// lock, and not for a stream freed by then.

#include "AudioOutput.h"
#include "Stream.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tunaudio {

class TMixer {
public:
    static constexpr size_t kBlockFrames = 1024; // about 23 ms at 44.1 kHz

    // `syncMutex` is held while end notifications are called (see StreamFree).
    TMixer(std::unique_ptr<TAudioOutput> output, std::recursive_mutex& syncMutex);
    ~TMixer();
    TMixer(const TMixer&) = delete;
    TMixer& operator=(const TMixer&) = delete;

    std::string OutputName() const;
    int Rate() const { return rate_; }
    float Volume() const { return volume_.load(); }
    void SetVolume(float volume) { volume_.store(volume); }

    // The stream must already be in its playing state.
    void Add(const std::shared_ptr<TStream>& stream);
    void Remove(const TStream* stream);
    // The output frame heard now (frames written minus those still queued in the device).
    uint64_t Audible() const;
    bool OnMixerThread() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    using Clock = std::chrono::steady_clock;
    void Run();

    const int rate_;
    std::recursive_mutex& syncMutex_;
    std::atomic<float> volume_{1.0f};

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::shared_ptr<TStream>> playing_;
    bool quit_ = false;
    std::unique_ptr<TAudioOutput> output_; // mixer thread only (after construction)
    std::string outputName_;               // guarded by mutex_

    mutable std::mutex clockMutex_;
    uint64_t written_ = 0;
    uint64_t delay_ = 0;
    Clock::time_point sampledAt_ = Clock::now();

    std::thread thread_;
};

} // namespace tunaudio
