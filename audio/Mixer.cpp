#include "Mixer.h"

#include "SilentOutput.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tunaudio {

namespace {

// How long the mixer waits when nothing is to be written: streams whose last frames are still
// being heard, or a download that ran dry. Feeding the device silence instead would put that
// silence before whatever plays next.
constexpr std::chrono::milliseconds kNothingToWrite{20};

std::unique_ptr<TAudioOutput> SilentFallback(int rate) {
    return std::make_unique<TSilentOutput>(rate,
                                           static_cast<size_t>(rate) * kOutputBufferMs / 1000);
}

} // namespace

TMixer::TMixer(std::unique_ptr<TAudioOutput> output, std::recursive_mutex& syncMutex,
               TOpener reopen)
    : rate_(output->Rate()), syncMutex_(syncMutex), reopen_(std::move(reopen)),
      outputName_(output->Name()), output_(std::move(output)) {
    thread_ = std::thread([this] { Run(); });
}

TMixer::TMixer(int rate, std::recursive_mutex& syncMutex, TOpener open)
    : rate_(rate), syncMutex_(syncMutex), reopen_(std::move(open)) {
    thread_ = std::thread([this] { Run(); });
}

TMixer::~TMixer() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    {
        std::lock_guard lock(outputMutex_);
        if (output_)
            output_->Interrupt();
    }
    thread_.join();
}

std::string TMixer::OutputName() const {
    std::lock_guard lock(mutex_);
    return outputName_;
}

bool TMixer::OutputOpen() const {
    std::lock_guard lock(outputMutex_);
    return output_ != nullptr;
}

void TMixer::SetVolume(float volume) {
    if (volume_.exchange(volume) != volume)
        Rewrite();
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

void TMixer::Rewrite() {
    {
        std::lock_guard lock(mutex_);
        rewrite_ = true;
    }
    wake_.notify_all();
    std::lock_guard lock(outputMutex_);
    if (output_)
        output_->Interrupt();
}

uint64_t TMixer::Audible() const {
    std::lock_guard lock(clockMutex_);
    const double elapsed = std::chrono::duration<double>(Clock::now() - sampledAt_).count();
    const auto played = static_cast<double>(written_ - delay_) +
                        std::max(0.0, elapsed) * static_cast<double>(rate_);
    return std::min(written_, static_cast<uint64_t>(played));
}

void TMixer::SetOutput(std::unique_ptr<TAudioOutput> output) {
    std::unique_ptr<TAudioOutput> old;
    {
        std::lock_guard lock(outputMutex_);
        old = std::exchange(output_, std::move(output));
    }
    old.reset(); // closes the device outside the lock
    std::lock_guard lock(clockMutex_);
    delay_ = 0; // nothing queued in a closed or new output
    sampledAt_ = Clock::now();
}

bool TMixer::EnsureOutput() {
    if (output_)
        return true;
    auto output = reopen_ ? reopen_() : nullptr;
    if (!output || output->Rate() != rate_)
        output = SilentFallback(rate_); // the sound server went away while we were idle
    const std::string name = output->Name();
    SetOutput(std::move(output));
    std::lock_guard lock(mutex_);
    outputName_ = name;
    return true;
}

void TMixer::FlushAndRewind(const std::vector<std::shared_ptr<TStream>>& active) {
    const uint64_t heard = Audible();
    if (output_)
        output_->Flush();
    {
        std::lock_guard lock(clockMutex_);
        written_ = heard;
        delay_ = 0;
        sampledAt_ = Clock::now();
    }
    for (const auto& stream : active)
        stream->Rewind(heard);
}

void TMixer::Run() {
    std::vector<std::shared_ptr<TStream>> active;
    std::vector<float> mix(kBlockFrames * 2);
    std::vector<int16_t> pcm(kBlockFrames * 2);
    std::vector<TPendingSync> fired;
    for (;;) {
        bool rewrite = false;
        {
            std::unique_lock lock(mutex_);
            const auto ready = [this] { return quit_ || rewrite_ || !playing_.empty(); };
            if (!ready() && !wake_.wait_for(lock, kIdleClose, ready) && reopen_) {
                // Nothing played for a while: give the device back. (Closing it takes a few
                // milliseconds; an Add meanwhile just waits for the lock.)
                SetOutput(nullptr);
                wake_.wait(lock, ready);
            }
            if (quit_)
                break;
            rewrite = std::exchange(rewrite_, false);
            active = playing_;
        }
        if (rewrite)
            FlushAndRewind(active);
        if (active.empty() || !EnsureOutput())
            continue;

        const size_t block = std::min(kBlockFrames, output_->BufferFrames());
        if (output_->Writable() < block) {
            output_->WaitWritable(block, std::chrono::milliseconds(kOutputBufferMs));
            continue; // look at the flags again before writing
        }
        uint64_t outStart;
        {
            std::lock_guard lock(clockMutex_);
            outStart = written_;
        }
        const uint64_t heardBefore = Audible();
        std::fill(mix.begin(), mix.end(), 0.0f);
        size_t produced = 0;
        for (const auto& stream : active)
            produced =
                std::max(produced, stream->Mix(mix.data(), block, rate_, outStart, heardBefore));

        if (produced > 0) {
            const float volume = volume_.load();
            for (size_t i = 0; i < produced * 2; ++i)
                pcm[i] = static_cast<int16_t>(
                    std::clamp(std::lrint(mix[i] * volume * 32768.0f), -32768L, 32767L));
            if (!output_->Write(pcm.data(), produced)) {
                // The device went away (a sound server that stopped): carry on without sound
                // so that positions and end notifications keep working.
                SetOutput(SilentFallback(rate_));
                std::lock_guard lock(mutex_);
                outputName_ = output_->Name();
            }
            const uint64_t delay = output_->DelayFrames();
            std::lock_guard lock(clockMutex_);
            written_ += produced;
            delay_ = std::min(delay, written_);
            sampledAt_ = Clock::now();
        } else {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, kNothingToWrite, [this] { return quit_ || rewrite_; });
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
