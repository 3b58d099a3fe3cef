#include "Mixer.h"

#include "SilentOutput.h"

#include <algorithm>
#include <cmath>

namespace tunaudio {

TMixer::TMixer(std::unique_ptr<TAudioOutput> output, std::recursive_mutex& syncMutex)
    : rate_(output->Rate()), syncMutex_(syncMutex), output_(std::move(output)),
      outputName_(output_->Name()) {
    thread_ = std::thread([this] { Run(); });
}

TMixer::~TMixer() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::string TMixer::OutputName() const {
    std::lock_guard lock(mutex_);
    return outputName_;
}

void TMixer::Add(const std::shared_ptr<TStream>& stream) {
    {
        std::lock_guard lock(mutex_);
        if (std::find(playing_.begin(), playing_.end(), stream) == playing_.end())
            playing_.push_back(stream);
    }
    wake_.notify_all();
}

void TMixer::Remove(const TStream* stream) {
    std::lock_guard lock(mutex_);
    std::erase_if(playing_, [stream](const auto& s) { return s.get() == stream; });
}

uint64_t TMixer::Audible() const {
    std::lock_guard lock(clockMutex_);
    const double elapsed = std::chrono::duration<double>(Clock::now() - sampledAt_).count();
    const auto played = static_cast<double>(written_ - delay_) +
                        std::max(0.0, elapsed) * static_cast<double>(rate_);
    return std::min(written_, static_cast<uint64_t>(played));
}

void TMixer::Run() {
    std::vector<std::shared_ptr<TStream>> active;
    std::vector<float> mix(kBlockFrames * 2);
    std::vector<int16_t> pcm(kBlockFrames * 2);
    std::vector<TPendingSync> fired;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !playing_.empty(); });
            if (quit_)
                break;
            active = playing_;
        }
        uint64_t outStart;
        {
            std::lock_guard lock(clockMutex_);
            outStart = written_;
        }
        const uint64_t heardBefore = Audible();
        std::fill(mix.begin(), mix.end(), 0.0f);
        for (const auto& stream : active)
            stream->Mix(mix.data(), kBlockFrames, rate_, outStart, heardBefore);

        const float volume = volume_.load();
        for (size_t i = 0; i < mix.size(); ++i)
            pcm[i] = static_cast<int16_t>(
                std::clamp(std::lrint(mix[i] * volume * 32768.0f), -32768L, 32767L));
        if (!output_->Write(pcm.data(), kBlockFrames)) {
            // The device went away (a sound server that stopped): carry on without sound so
            // that positions and end notifications keep working.
            output_ = std::make_unique<TSilentOutput>(rate_, 2048);
            std::lock_guard lock(mutex_);
            outputName_ = output_->Name();
        }
        {
            const uint64_t delay = output_->DelayFrames();
            std::lock_guard lock(clockMutex_);
            written_ += kBlockFrames;
            delay_ = std::min(delay, written_);
            sampledAt_ = Clock::now();
        }

        const uint64_t heard = Audible();
        fired.clear();
        for (const auto& stream : active) {
            if (stream->CheckEnd(heard, fired))
                continue;
            std::lock_guard lock(mutex_);
            // Played again meanwhile? Then it stays.
            if (stream->Freed() || stream->State() != TStream::TState::Playing)
                std::erase(playing_, stream);
        }
        if (!fired.empty()) {
            std::lock_guard syncs(syncMutex_);
            for (const TPendingSync& sync : fired) {
                // Freed since its end was seen (perhaps by an earlier handler of this batch):
                // its owner may be gone, so it hears nothing.
                const bool freed = std::any_of(active.begin(), active.end(), [&](const auto& s) {
                    return s->Handle() == sync.channel && s->Freed();
                });
                if (!freed)
                    sync.proc(sync.sync, sync.channel, 0, sync.user);
            }
        }
        active.clear();
    }
}

} // namespace tunaudio
