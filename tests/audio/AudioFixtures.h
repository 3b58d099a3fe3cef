#pragma once
// Test audio made on the spot: WAV files written here, MP3, Ogg and FLAC made from them with
// the encoders the set-up installs. Everything goes into a fresh folder under TMPDIR.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tunaudio::test {

// A fresh, empty folder for one test program's files, removed at exit.
const std::filesystem::path& FixtureDir();

// Sample value of channel `c` at frame `i`, in [-1, 1].
using SampleFn = std::function<double(int64_t i, int c)>;

// A sine of `hz` at `amplitude` on every channel.
SampleFn Sine(double hz, int rate, double amplitude = 0.5);

// Writes 16-bit PCM WAV (or AIFF when the name ends in .aif).
std::filesystem::path WriteWav(const std::string& name, int rate, int channels, int64_t frames,
                               const SampleFn& sample);
std::filesystem::path WriteAiff(const std::string& name, int rate, int channels, int64_t frames,
                                const SampleFn& sample);
// The PCM samples WriteWav stores for `sample`, interleaved.
std::vector<int16_t> Pcm16(int channels, int64_t frames, const SampleFn& sample);

// Runs an encoder on `wav`; the extra arguments go before the file names. Fails the test (and
// returns an empty path) when the encoder is missing or fails.
std::filesystem::path EncodeMp3(const std::filesystem::path& wav, const std::string& name,
                                const std::vector<std::string>& extra = {});
std::filesystem::path EncodeOgg(const std::filesystem::path& wav, const std::string& name,
                                const std::vector<std::string>& extra = {});
std::filesystem::path EncodeFlac(const std::filesystem::path& wav, const std::string& name,
                                 const std::vector<std::string>& extra = {});

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace tunaudio::test
