#include "PulseOutput.h"

#include <pulse/context.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <algorithm>

namespace tunaudio {

namespace {

constexpr size_t kFrameBytes = 4; // 16-bit stereo

class TPulseOutput final : public TAudioOutput {
public:
    explicit TPulseOutput(int rate) : rate_(rate) {}
    ~TPulseOutput() override;
    bool Open();

    std::string Name() const override { return "pulse"; }
    int Rate() const override { return rate_; }
    size_t BufferFrames() const override { return bufferFrames_; }
    size_t Writable() override;
    void WaitWritable(size_t frames, std::chrono::milliseconds atMost) override;
    void Interrupt() override;
    bool Write(const int16_t* frames, size_t count) override;
    void Flush() override;
    uint64_t DelayFrames() override;

private:
    static void Wake(pa_context*, void* self) { static_cast<TPulseOutput*>(self)->Signal(); }
    static void WakeStream(pa_stream*, void* self) { static_cast<TPulseOutput*>(self)->Signal(); }
    static void WakeRequest(pa_stream*, size_t, void* self) {
        static_cast<TPulseOutput*>(self)->Signal();
    }
    void Signal() { pa_threaded_mainloop_signal(loop_, 0); }
    bool FailedLocked() const;
    // Lock held: the main loop's thread wakes us when the server asks for data, when the stream
    // changes state, and on Interrupt.
    void WaitLocked() { pa_threaded_mainloop_wait(loop_); }

    const int rate_;
    size_t bufferFrames_ = 0;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    bool interrupted_ = false; // guarded by the main loop's lock
    uint64_t lastDelay_ = 0;
};

TPulseOutput::~TPulseOutput() {
    if (!loop_)
        return;
    pa_threaded_mainloop_lock(loop_);
    if (stream_) {
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_unlock(loop_);
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

bool TPulseOutput::Open() {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_)
        return false;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tunola");
    if (!context_)
        return false;
    pa_context_set_state_callback(context_, &TPulseOutput::Wake, this);
    // No autospawn: a machine without a server falls back to ALSA at once.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;
    if (pa_threaded_mainloop_start(loop_) < 0)
        return false;

    pa_threaded_mainloop_lock(loop_);
    struct Unlock {
        pa_threaded_mainloop* loop;
        ~Unlock() { pa_threaded_mainloop_unlock(loop); }
    } unlock{loop_};
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY)
            break;
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        WaitLocked();
    }

    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = static_cast<uint32_t>(rate_);
    spec.channels = 2;
    stream_ = pa_stream_new(context_, "Music", &spec, nullptr);
    if (!stream_)
        return false;
    pa_stream_set_state_callback(stream_, &TPulseOutput::WakeStream, this);
    pa_stream_set_write_callback(stream_, &TPulseOutput::WakeRequest, this);

    // A large buffer asked for in quarters: the server wakes us about four times per buffer,
    // and starts playing once a fifth of it is there, so a start or a flush is heard at once.
    const auto bytes = static_cast<uint32_t>(static_cast<uint64_t>(rate_) * kFrameBytes *
                                             kOutputBufferMs / 1000 / kFrameBytes * kFrameBytes);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = bytes;
    attr.prebuf = bytes / 5 / kFrameBytes * kFrameBytes;
    attr.minreq = bytes / 4 / kFrameBytes * kFrameBytes;
    attr.fragsize = static_cast<uint32_t>(-1);
    // The whole latency may sit in the sink too (fewer wake-ups there as well); timing updates
    // keep the delay, and so the heard position, exact.
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) < 0)
        return false;
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(stream_);
        if (state == PA_STREAM_READY)
            break;
        if (!PA_STREAM_IS_GOOD(state))
            return false;
        WaitLocked();
    }
    const pa_buffer_attr* got = pa_stream_get_buffer_attr(stream_);
    bufferFrames_ = (got ? got->tlength : bytes) / kFrameBytes;
    return bufferFrames_ > 0;
}

bool TPulseOutput::FailedLocked() const {
    return pa_context_get_state(context_) != PA_CONTEXT_READY ||
           pa_stream_get_state(stream_) != PA_STREAM_READY;
}

size_t TPulseOutput::Writable() {
    pa_threaded_mainloop_lock(loop_);
    const size_t bytes = FailedLocked() ? 0 : pa_stream_writable_size(stream_);
    pa_threaded_mainloop_unlock(loop_);
    return bytes == static_cast<size_t>(-1) ? 0 : bytes / kFrameBytes;
}

void TPulseOutput::WaitWritable(size_t frames, std::chrono::milliseconds /*atMost*/) {
    // The server asks for data at least every quarter buffer while it plays, and a stream that
    // fails wakes us too, so this wait needs no clock of its own.
    pa_threaded_mainloop_lock(loop_);
    frames = std::min(frames, bufferFrames_);
    while (!interrupted_ && !FailedLocked()) {
        const size_t bytes = pa_stream_writable_size(stream_);
        if (bytes != static_cast<size_t>(-1) && bytes / kFrameBytes >= frames)
            break;
        WaitLocked();
    }
    interrupted_ = false;
    pa_threaded_mainloop_unlock(loop_);
}

void TPulseOutput::Interrupt() {
    pa_threaded_mainloop_lock(loop_);
    interrupted_ = true;
    Signal();
    pa_threaded_mainloop_unlock(loop_);
}

bool TPulseOutput::Write(const int16_t* frames, size_t count) {
    const auto* data = reinterpret_cast<const uint8_t*>(frames);
    size_t left = count * kFrameBytes;
    pa_threaded_mainloop_lock(loop_);
    bool ok = true;
    while (left > 0) {
        if (FailedLocked()) {
            ok = false;
            break;
        }
        size_t room = pa_stream_writable_size(stream_);
        if (room == static_cast<size_t>(-1)) {
            ok = false;
            break;
        }
        if (room == 0) {
            WaitLocked();
            continue;
        }
        room = std::min(room, left) / kFrameBytes * kFrameBytes;
        if (room == 0)
            room = left; // never split a frame
        if (pa_stream_write(stream_, data, room, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            ok = false;
            break;
        }
        data += room;
        left -= room;
    }
    pa_threaded_mainloop_unlock(loop_);
    return ok;
}

void TPulseOutput::Flush() {
    pa_threaded_mainloop_lock(loop_);
    if (!FailedLocked())
        if (pa_operation* op = pa_stream_flush(stream_, nullptr, nullptr))
            pa_operation_unref(op);
    lastDelay_ = 0;
    pa_threaded_mainloop_unlock(loop_);
}

uint64_t TPulseOutput::DelayFrames() {
    pa_threaded_mainloop_lock(loop_);
    pa_usec_t usec = 0;
    int negative = 0;
    if (!FailedLocked() && pa_stream_get_latency(stream_, &usec, &negative) == 0)
        lastDelay_ = negative ? 0 : usec * static_cast<uint64_t>(rate_) / 1000000u;
    const uint64_t delay = lastDelay_;
    pa_threaded_mainloop_unlock(loop_);
    return delay;
}

} // namespace

std::unique_ptr<TAudioOutput> OpenPulseOutput(int rate) {
    auto output = std::make_unique<TPulseOutput>(rate);
    if (!output->Open())
        return nullptr;
    return output;
}

} // namespace tunaudio
