#include "AlsaOutput.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>

namespace tunaudio {

namespace {

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};

// alsa-lib prints every failed probe to stderr; a machine without a sound card is normal here.
void QuietErrorHandler(const char*, int, const char*, int, const char*, ...) {}

constexpr int kPollSliceMs = 20; // how often a wait looks at Interrupt

class TAlsaOutput final : public TAudioOutput {
public:
    TAlsaOutput(std::unique_ptr<snd_pcm_t, PcmCloser> pcm, int rate, size_t bufferFrames)
        : pcm_(std::move(pcm)), rate_(rate), bufferFrames_(bufferFrames) {}

    std::string Name() const override { return "alsa"; }
    int Rate() const override { return rate_; }
    size_t BufferFrames() const override { return bufferFrames_; }

    size_t Writable() override {
        snd_pcm_sframes_t n = snd_pcm_avail_update(pcm_.get());
        if (n < 0) {
            // An underrun (the mixer slept while nothing played) or a suspend.
            if (snd_pcm_recover(pcm_.get(), static_cast<int>(n), 1) < 0)
                return 0;
            n = snd_pcm_avail_update(pcm_.get());
        }
        return n < 0 ? 0 : std::min(static_cast<size_t>(n), bufferFrames_);
    }

    void WaitWritable(size_t frames, std::chrono::milliseconds atMost) override {
        frames = std::min(frames, bufferFrames_);
        auto left = atMost.count();
        while (!interrupted_.exchange(false) && Writable() < frames && left > 0) {
            // Wakes once a period is free; the slice keeps Interrupt prompt.
            if (snd_pcm_wait(pcm_.get(), kPollSliceMs) < 0)
                return;
            left -= kPollSliceMs;
        }
    }

    void Interrupt() override { interrupted_.store(true); }

    bool Write(const int16_t* frames, size_t count) override {
        while (count > 0) {
            snd_pcm_sframes_t n = snd_pcm_writei(pcm_.get(), frames, count);
            if (n < 0) {
                // An underrun or a suspend: recover and write again; anything else is a lost
                // device.
                if (snd_pcm_recover(pcm_.get(), static_cast<int>(n), 1) < 0)
                    return false;
                continue;
            }
            frames += static_cast<size_t>(n) * 2;
            count -= static_cast<size_t>(n);
        }
        return true;
    }

    void Flush() override {
        snd_pcm_drop(pcm_.get());
        snd_pcm_prepare(pcm_.get());
    }

    uint64_t DelayFrames() override {
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_delay(pcm_.get(), &delay) < 0 || delay < 0)
            return 0;
        return static_cast<uint64_t>(delay);
    }

private:
    std::unique_ptr<snd_pcm_t, PcmCloser> pcm_;
    int rate_;
    size_t bufferFrames_;
    std::atomic<bool> interrupted_{false};
};

} // namespace

std::unique_ptr<TAudioOutput> OpenAlsaOutput(int rate) {
    snd_lib_error_set_handler(QuietErrorHandler);
    snd_pcm_t* raw = nullptr;
    if (snd_pcm_open(&raw, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0)
        return nullptr;
    std::unique_ptr<snd_pcm_t, PcmCloser> pcm(raw);
    // The whole buffer in four periods: the card wakes us a few times per buffer.
    if (snd_pcm_set_params(pcm.get(), SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 2,
                           static_cast<unsigned>(rate), 1, kOutputBufferMs * 1000u) < 0)
        return nullptr;
    snd_pcm_uframes_t buffer = 0, period = 0;
    if (snd_pcm_get_params(pcm.get(), &buffer, &period) < 0 || buffer == 0)
        return nullptr;
    // Start as soon as a fifth of the buffer is there, so a start or a flush is heard at once.
    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    if (snd_pcm_sw_params_current(pcm.get(), sw) == 0) {
        snd_pcm_sw_params_set_start_threshold(pcm.get(), sw,
                                              std::max<snd_pcm_uframes_t>(1, buffer / 5));
        snd_pcm_sw_params(pcm.get(), sw);
    }
    return std::make_unique<TAlsaOutput>(std::move(pcm), rate, static_cast<size_t>(buffer));
}

} // namespace tunaudio
