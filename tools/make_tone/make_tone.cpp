// Writes a test or demo track: a 16-bit PCM WAV file of a sine (or silence), so fixtures, seeds
// and benchmarks are made here instead of downloaded.
//
//   tunola_make_tone OUT.wav SECONDS [HZ=440] [RATE=44100] [CHANNELS=2] [AMPLITUDE=0.5]

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <string>

namespace {

void Put(std::ofstream& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT.wav SECONDS [HZ] [RATE] [CHANNELS] [AMPLITUDE]\n",
                     argv[0]);
        return 2;
    }
    const double seconds = std::atof(argv[2]);
    const double hz = argc > 3 ? std::atof(argv[3]) : 440.0;
    const int rate = argc > 4 ? std::atoi(argv[4]) : 44100;
    const int channels = argc > 5 ? std::atoi(argv[5]) : 2;
    const double amplitude = argc > 6 ? std::atof(argv[6]) : 0.5;
    if (!(seconds > 0 && seconds < 36000) || rate < 1000 || rate > 384000 || channels < 1 ||
        channels > 8 || !(amplitude >= 0 && amplitude <= 1)) {
        std::fprintf(stderr, "%s: value out of range\n", argv[0]);
        return 2;
    }
    const auto frames = static_cast<uint32_t>(seconds * rate);
    const uint32_t dataBytes = frames * static_cast<uint32_t>(channels) * 2u;
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    out.write("RIFF", 4);
    Put(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, static_cast<uint32_t>(channels), 2);
    Put(out, static_cast<uint32_t>(rate), 4);
    Put(out, static_cast<uint32_t>(rate * channels * 2), 4);
    Put(out, static_cast<uint32_t>(channels * 2), 2);
    Put(out, 16, 2);
    out.write("data", 4);
    Put(out, dataBytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate);
        const auto sample = static_cast<int16_t>(std::lrint(v * 32767.0));
        for (int c = 0; c < channels; ++c)
            Put(out, static_cast<uint16_t>(sample), 2);
    }
    return out ? 0 : 1;
}
