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

bool TSilentOutput::Write(const int16_t* /*frames*/, size_t count) {
    auto now = Clock::now();
    uint64_t played = PlayedAt(now);
    if (played == written_) {
        anchorTime_ = now;
        anchorPlayed_ = played;
    }
    // Wait until the new frames fit into the pretend buffer.
    const uint64_t target = written_ + count;
    if (target > played + bufferFrames_) {
        const uint64_t mustPlay = target - bufferFrames_;
        const double seconds = static_cast<double>(mustPlay - anchorPlayed_) / rate_;
        std::this_thread::sleep_until(anchorTime_ + std::chrono::duration_cast<Clock::duration>(
                                                        std::chrono::duration<double>(seconds)));
    }
    written_ = target;
    return true;
}

uint64_t TSilentOutput::DelayFrames() {
    return written_ - PlayedAt(Clock::now());
}

} // namespace tunaudio
