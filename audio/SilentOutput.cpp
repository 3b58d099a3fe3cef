#include "SilentOutput.h"

#include <algorithm>
#include <thread>

namespace tunaudio {

TSilentOutput::TSilentOutput(int rate, size_t bufferFrames)
    : rate_(rate), bufferFrames_(std::max<size_t>(bufferFrames, 1)) {}

uint64_t TSilentOutput::PlayedAt(Clock::time_point now) const {
    if (now <= anchorTime_)
        return std::min(anchorPlayed_, written_);
    const auto elapsed = std::chrono::duration<double>(now - anchorTime_).count();
    const auto played = anchorPlayed_ + static_cast<uint64_t>(elapsed * rate_);
    return std::min(played, written_);
}

TSilentOutput::Clock::time_point TSilentOutput::RoomAt(size_t frames) const {
    const uint64_t target = written_ + frames;
    if (target <= bufferFrames_ + anchorPlayed_)
        return anchorTime_;
    const uint64_t mustPlay = target - bufferFrames_;
    const double seconds = static_cast<double>(mustPlay - anchorPlayed_) / rate_;
    return anchorTime_ +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

size_t TSilentOutput::Writable() {
    return bufferFrames_ - static_cast<size_t>(std::min<uint64_t>(DelayFrames(), bufferFrames_));
}

void TSilentOutput::WaitWritable(size_t frames, std::chrono::milliseconds atMost) {
    frames = std::min(frames, bufferFrames_);
    const auto deadline = std::min(RoomAt(frames), Clock::now() + atMost);
    std::unique_lock lock(interruptMutex_);
    interruptCv_.wait_until(lock, deadline, [this] { return interrupted_; });
    interrupted_ = false;
}

void TSilentOutput::Interrupt() {
    {
        std::lock_guard lock(interruptMutex_);
        interrupted_ = true;
    }
    interruptCv_.notify_all();
}

bool TSilentOutput::Write(const int16_t* /*frames*/, size_t count) {
    auto now = Clock::now();
    uint64_t played = PlayedAt(now);
    if (played == written_) {
        anchorTime_ = now;
        anchorPlayed_ = played;
    }
    // Wait until the new frames fit into the pretend buffer.
    if (written_ + count > played + bufferFrames_)
        std::this_thread::sleep_until(RoomAt(count));
    written_ += count;
    return true;
}

void TSilentOutput::Flush() {
    const auto now = Clock::now();
    written_ = PlayedAt(now);
    anchorTime_ = now;
    anchorPlayed_ = written_;
}

uint64_t TSilentOutput::DelayFrames() {
    return written_ - PlayedAt(Clock::now());
}

} // namespace tunaudio
