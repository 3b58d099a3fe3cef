#pragma once
// A sound output: takes interleaved 16-bit stereo frames at the rate it was opened with and
// plays them in real time. Only the mixer thread calls an output, so outputs need no locks.

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
    // Blocks until the output has taken all `count` frames; it paces the mixer this way.
    // False when the device failed (a server that went away); the frames are then lost.
    virtual bool Write(const int16_t* frames, size_t count) = 0;
    // Frames written but not heard yet.
    virtual uint64_t DelayFrames() = 0;
};

// Device -1: PulseAudio when a server is reachable, else ALSA's default device, else the silent
// output. The environment variable TUNOLA_AUDIO_OUTPUT ("pulse", "alsa", "silent") narrows -1
// to that one output, so that tests and machines without sound choose without a code change.
// Device 0 is the silent output, 1 PulseAudio, 2 ALSA. Null when the chosen output cannot open.
std::unique_ptr<TAudioOutput> OpenAudioOutput(int device, int rate);

} // namespace tunaudio
