#pragma once
// The library's playback thread: it mixes every playing stream into the output, keeps the
// output clock, and calls end notifications.
//
// Threads: one mixer thread, started by the constructor and joined by the destructor. Other
// threads call Add, Remove, SetVolume, Rewrite and Audible. `mutex_` guards the playing list,
// the rewrite and quit flags; `clockMutex_` guards the clock sample (frames written, the output's
// delay then, and when); `outputMutex_` guards the output pointer, which the mixer thread
// replaces (opens, closes) and other threads use only to Interrupt its wait. Everything else
// on the output is the mixer thread's. Lock order: `mutex_`, then `outputMutex_`, then a
// stream's own lock; end notifications are called with no lock held but the sync lock, and
// not for a stream freed by then.
//
// The output buffers about half a second. Whatever changes what must be heard next (a pause,
// stop, seek, free or volume change) asks for a rewrite: the mixer drops what the output holds
// and mixes again from the frame heard now, so the change is heard within a block, not after
// the buffer. While nothing plays the output is closed (after kIdleClose), so an idle player
// holds no stream in the sound server; it opens again on the next play.

#include "AudioOutput.h"
#include "Stream.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tunaudio {

class TMixer {
public:
    static constexpr size_t kBlockFrames = 4096; // about 93 ms at 44.1 kHz
    static constexpr std::chrono::milliseconds kIdleClose{1000};
    using TOpener = std::function<std::unique_ptr<TAudioOutput>()>;

    // `syncMutex` is held while end notifications are called (see StreamFree). `reopen` opens
    // the output again after it was closed while idle (null: keep it open).
    TMixer(std::unique_ptr<TAudioOutput> output, std::recursive_mutex& syncMutex,
           TOpener reopen = nullptr);
    // Opens nothing until the first stream plays (`open` then opens it; the silent output
    // stands in when it fails), so a player that does not play keeps no device open.
    TMixer(int rate, std::recursive_mutex& syncMutex, TOpener open);
    ~TMixer();
    TMixer(const TMixer&) = delete;
    TMixer& operator=(const TMixer&) = delete;

    std::string OutputName() const;
    int Rate() const { return rate_; }
    float Volume() const { return volume_.load(); }
    // Heard at once (the output's queue is mixed again).
    void SetVolume(float volume);

    // The stream must already be in its playing state.
    void Add(const std::shared_ptr<TStream>& stream);
    void Remove(const TStream* stream);
    // Drop what the output holds and mix again from the frame heard now.
    void Rewrite();
    // The output frame heard now (frames written minus those still queued in the device).
    uint64_t Audible() const;
    // Whether a device stream is open now (false while idle).
    bool OutputOpen() const;
    bool OnMixerThread() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    using Clock = std::chrono::steady_clock;
    void Run();
    void FlushAndRewind(const std::vector<std::shared_ptr<TStream>>& active);
    bool EnsureOutput();
    void SetOutput(std::unique_ptr<TAudioOutput> output);

    const int rate_;
    std::recursive_mutex& syncMutex_;
    std::atomic<float> volume_{1.0f};
    TOpener reopen_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::shared_ptr<TStream>> playing_;
    bool quit_ = false;
    bool rewrite_ = false;
    std::string outputName_; // guarded by mutex_

    mutable std::mutex outputMutex_;
    std::unique_ptr<TAudioOutput> output_; // null while idle

    mutable std::mutex clockMutex_;
    uint64_t written_ = 0;
    uint64_t delay_ = 0;
    Clock::time_point sampledAt_ = Clock::now();

    std::thread thread_;
};

} // namespace tunaudio
