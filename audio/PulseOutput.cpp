#include "PulseOutput.h"

#include <pulse/error.h>
#include <pulse/simple.h>

namespace tunaudio {

namespace {

struct SimpleDeleter {
    void operator()(pa_simple* s) const { pa_simple_free(s); }
};

class TPulseOutput final : public TAudioOutput {
public:
    TPulseOutput(std::unique_ptr<pa_simple, SimpleDeleter> s, int rate)
        : simple_(std::move(s)), rate_(rate) {}

    std::string Name() const override { return "pulse"; }
    int Rate() const override { return rate_; }

    bool Write(const int16_t* frames, size_t count) override {
        int error = 0;
        return pa_simple_write(simple_.get(), frames, count * 2 * sizeof(int16_t), &error) == 0;
    }

    uint64_t DelayFrames() override {
        int error = 0;
        const pa_usec_t latency = pa_simple_get_latency(simple_.get(), &error);
        if (latency == static_cast<pa_usec_t>(-1))
            return 0;
        return static_cast<uint64_t>(latency) * static_cast<uint64_t>(rate_) / 1000000u;
    }

private:
    std::unique_ptr<pa_simple, SimpleDeleter> simple_;
    int rate_;
};

} // namespace

std::unique_ptr<TAudioOutput> OpenPulseOutput(int rate) {
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = static_cast<uint32_t>(rate);
    spec.channels = 2;
    // About 80 ms in the server: short enough that pause and seek are heard at once, long
    // enough that a busy machine does not make it skip.
    const uint32_t bytes = static_cast<uint32_t>(rate) * 4u * 80u / 1000u;
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = bytes;
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    int error = 0;
    std::unique_ptr<pa_simple, SimpleDeleter> s(pa_simple_new(
        nullptr, "Tunola", PA_STREAM_PLAYBACK, nullptr, "Music", &spec, nullptr, &attr, &error));
    if (!s)
        return nullptr;
    return std::make_unique<TPulseOutput>(std::move(s), rate);
}

} // namespace tunaudio
