#include "AlsaOutput.h"

#include <alsa/asoundlib.h>

namespace tunaudio {

namespace {

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};

// alsa-lib prints every failed probe to stderr; a machine without a sound card is normal here.
void QuietErrorHandler(const char*, int, const char*, int, const char*, ...) {}

class TAlsaOutput final : public TAudioOutput {
public:
    TAlsaOutput(std::unique_ptr<snd_pcm_t, PcmCloser> pcm, int rate)
        : pcm_(std::move(pcm)), rate_(rate) {}

    std::string Name() const override { return "alsa"; }
    int Rate() const override { return rate_; }

    bool Write(const int16_t* frames, size_t count) override {
        while (count > 0) {
            snd_pcm_sframes_t n = snd_pcm_writei(pcm_.get(), frames, count);
            if (n < 0) {
                // An underrun (the mixer slept while nothing played) or a suspend: recover and
                // write again; anything else is a lost device.
                if (snd_pcm_recover(pcm_.get(), static_cast<int>(n), 1) < 0)
                    return false;
                continue;
            }
            frames += static_cast<size_t>(n) * 2;
            count -= static_cast<size_t>(n);
        }
        return true;
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
};

} // namespace

std::unique_ptr<TAudioOutput> OpenAlsaOutput(int rate) {
    snd_lib_error_set_handler(QuietErrorHandler);
    snd_pcm_t* raw = nullptr;
    if (snd_pcm_open(&raw, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0)
        return nullptr;
    std::unique_ptr<snd_pcm_t, PcmCloser> pcm(raw);
    if (snd_pcm_set_params(pcm.get(), SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 2,
                           static_cast<unsigned>(rate), 1, 80000) < 0)
        return nullptr;
    return std::make_unique<TAlsaOutput>(std::move(pcm), rate);
}

} // namespace tunaudio
