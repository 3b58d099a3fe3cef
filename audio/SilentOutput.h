#pragma once
// An output without a device: it consumes frames in real time against the steady clock, so that
// positions, the end of a stream and the spectrum behave as they do with sound.

#include "AudioOutput.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tunaudio {

class TSilentOutput final : public TAudioOutput {
public:
    // `bufferFrames` plays the part of a device buffer.
    TSilentOutput(int rate, size_t bufferFrames);

    std::string Name() const override { return "silent"; }
    int Rate() const override { return rate_; }
    size_t BufferFrames() const override { return bufferFrames_; }
    size_t Writable() override;
    void WaitWritable(size_t frames, std::chrono::milliseconds atMost) override;
    void Interrupt() override;
    bool Write(const int16_t* frames, size_t count) override;
    void Flush() override;
    uint64_t DelayFrames() override;

private:
    using Clock = std::chrono::steady_clock;
    uint64_t PlayedAt(Clock::time_point now) const;
    // When `frames` more fit into the buffer.
    Clock::time_point RoomAt(size_t frames) const;

    int rate_;
    size_t bufferFrames_;
    uint64_t written_ = 0;
    // The clock runs from an anchor; it is set again whenever the buffer ran empty, as a device
    // that underruns stops its position until new data comes.
    Clock::time_point anchorTime_{};
    uint64_t anchorPlayed_ = 0;

    std::mutex interruptMutex_; // guards interrupted_ only
    std::condition_variable interruptCv_;
    bool interrupted_ = false;
};

} // namespace tunaudio
