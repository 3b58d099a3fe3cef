#pragma once
// A sound output: takes interleaved 16-bit stereo frames at the rate it was opened with and
// plays them in real time from a large buffer (hundreds of milliseconds), so the sound server
// and the mixer wake rarely. What must be heard at once (pause, stop, seek, volume) does not wait
// for that buffer to drain: the mixer drops what is queued with Flush and writes it again.
//
// Threads: only the mixer thread calls an output, except Interrupt, which any thread may call
// while the mixer holds the output.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tunaudio {

class TAudioOutput {
public:
    virtual ~TAudioOutput() = default;
    // "pulse", "alsa" or "silent".
    virtual std::string Name() const = 0;
    virtual int Rate() const = 0;
    // Frames the output holds when full.
    virtual size_t BufferFrames() const = 0;
    // Frames it takes now without blocking.
    virtual size_t Writable() = 0;
    // Returns when `frames` can be written, when Interrupt was called (since the last wait), when
    // the device failed, or after about `atMost`.
    virtual void WaitWritable(size_t frames, std::chrono::milliseconds atMost) = 0;
    // Any thread: ends the current or next WaitWritable at once.
    virtual void Interrupt() = 0;
    // Blocks until the output has taken all `count` frames. False when the device failed (a
    // server that went away); the frames are then lost.
    virtual bool Write(const int16_t* frames, size_t count) = 0;
    // Drops every frame written and not heard yet.
    virtual void Flush() = 0;
    // Frames written but not heard yet.
    virtual uint64_t DelayFrames() = 0;
};

// Device -1: PulseAudio when a server is reachable, else ALSA's default device, else the silent
// output. The environment variable TUNOLA_AUDIO_OUTPUT ("pulse", "alsa", "silent") narrows -1
// to that one output, so that tests and machines without sound choose without a code change.
// Device 0 is the silent output, 1 PulseAudio, 2 ALSA. Null when the chosen output cannot open.
std::unique_ptr<TAudioOutput> OpenAudioOutput(int device, int rate);

// How long the outputs buffer: long enough that the sound server wakes a few times a second
// and a busy machine does not make it skip.
constexpr int kOutputBufferMs = 500;

} // namespace tunaudio
