// Decode-only streams: what the playlist reads when files are added, and the ground truth for
// lengths, conversions, seeks and bad input.

#include "AudioFixtures.h"
#include "AudioLibrary.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <vector>

namespace tunaudio {
namespace {

using test::FixtureDir;
namespace fs = std::filesystem;

struct Format {
    const char* name;
    int rate;
    int channels;
    int64_t frames;
    bool lossless;
};

fs::path MakeFixture(const Format& f) {
    const std::string base = std::string("decode-") + f.name + "-" + std::to_string(f.rate) + "-" +
                             std::to_string(f.channels);
    const auto tone = test::Sine(440.0, f.rate);
    const std::string kind = f.name;
    if (kind == "aiff")
        return test::WriteAiff(base + ".aif", f.rate, f.channels, f.frames, tone);
    const fs::path wav = test::WriteWav(base + ".wav", f.rate, f.channels, f.frames, tone);
    if (kind == "mp3")
        return test::EncodeMp3(wav, base + ".mp3", {"-b", "128"});
    if (kind == "ogg")
        return test::EncodeOgg(wav, base + ".ogg");
    return wav;
}

// Every frame of a decode-only stream as floats.
std::vector<float> DecodeAll(TAudioLibrary& lib, HSTREAM h, int channels) {
    std::vector<float> all;
    std::vector<float> block(4096 * static_cast<size_t>(channels));
    for (;;) {
        const int n = lib.ChannelGetData(
            h, block.data(), static_cast<DWORD>(block.size() * sizeof(float)) | kDataFloat);
        if (n <= 0)
            break;
        all.insert(all.end(), block.begin(), block.begin() + n / 4);
    }
    return all;
}

class DecodeFormats : public testing::TestWithParam<Format> {};

TEST_P(DecodeFormats, LengthConversionsAndSeeksAreExact) {
    const Format f = GetParam();
    const fs::path path = MakeFixture(f);
    ASSERT_FALSE(path.empty());
    TAudioLibrary lib(FixtureDir().string());
    const HSTREAM h = lib.StreamCreateFile(false, path.string(), 0, 0, kStreamDecode);
    ASSERT_NE(h, 0u) << f.name;
    const QWORD frameBytes = static_cast<QWORD>(f.channels) * 2;

    // Encoders keep the sample count (lame through its gapless header).
    const QWORD length = lib.ChannelGetLength(h, kPosByte);
    EXPECT_EQ(length, static_cast<QWORD>(f.frames) * frameBytes);
    EXPECT_DOUBLE_EQ(lib.ChannelBytes2Seconds(h, length), double(f.frames) / f.rate);
    for (const QWORD frame : {QWORD{0}, QWORD{1}, QWORD{4410}, QWORD(f.frames - 1)}) {
        const QWORD bytes = frame * frameBytes;
        EXPECT_EQ(lib.ChannelSeconds2Bytes(h, lib.ChannelBytes2Seconds(h, bytes)), bytes);
    }
    EXPECT_EQ(lib.ChannelSeconds2Bytes(h, 0.5), QWORD(f.rate / 2) * frameBytes);
    EXPECT_EQ(lib.ChannelSeconds2Bytes(h, -3.0), 0u);

    const std::vector<float> all = DecodeAll(lib, h, f.channels);
    ASSERT_EQ(all.size(), static_cast<size_t>(f.frames * f.channels));
    EXPECT_EQ(lib.ChannelGetPosition(h, kPosByte), length);

    // After a seek the next samples are those that sequential decoding gave at that frame.
    const float tolerance = f.lossless ? 1e-6f : 0.02f;
    for (const int64_t target :
         {int64_t{0}, int64_t{1}, int64_t{1234}, f.frames / 2 + 77, f.frames - 300}) {
        ASSERT_TRUE(lib.ChannelSetPosition(h, QWORD(target) * frameBytes, kPosByte)) << target;
        EXPECT_EQ(lib.ChannelGetPosition(h, kPosByte), QWORD(target) * frameBytes);
        std::vector<float> block(256 * static_cast<size_t>(f.channels));
        const int n =
            lib.ChannelGetData(h, block.data(), static_cast<DWORD>(block.size() * 4) | kDataFloat);
        ASSERT_EQ(n, static_cast<int>(block.size() * 4));
        float worst = 0.0f;
        for (size_t i = 0; i < block.size(); ++i)
            worst = std::max(worst, std::abs(block[i] - all[size_t(target * f.channels) + i]));
        EXPECT_LE(worst, tolerance) << f.name << " at frame " << target;
    }
    EXPECT_TRUE(lib.ChannelSetPosition(h, length, kPosByte));
    EXPECT_EQ(lib.ChannelGetData(h, std::vector<float>(64).data(), 256 | kDataFloat), -1);
    EXPECT_FALSE(lib.ChannelSetPosition(h, length + frameBytes, kPosByte));
    EXPECT_TRUE(lib.StreamFree(h));
    EXPECT_FALSE(lib.StreamFree(h));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DecodeFormats,
    testing::Values(Format{"wav", 44100, 2, 30000, true}, Format{"wav", 22050, 1, 11025, true},
                    Format{"aiff", 48000, 2, 24000, true}, Format{"mp3", 44100, 2, 44100, false},
                    Format{"ogg", 44100, 2, 30000, false}, Format{"ogg", 32000, 1, 16000, false}),
    [](const auto& info) {
        return std::string(info.param.name) + "_" + std::to_string(info.param.rate) + "_" +
               std::to_string(info.param.channels);
    });

// No encoder for layers 1 and 2 is installed, so these are built by hand: constant bit rate
// frames whose bit allocation is all zero, which decode to silence.
TEST(Decode, MpegLayers1And2) {
    struct Layer {
        const char* name;
        unsigned char header1; // layer bits
        unsigned char header2; // bit rate index 4 (layer 1: 128 kbit/s) or 8 (layer 2: 128 kbit/s)
        size_t frameBytes;
        int64_t samplesPerFrame;
    };
    for (const Layer& layer :
         {Layer{"layer1.mp1", 0xFF, 0x40, 136, 384}, Layer{"layer2.mp2", 0xFD, 0x80, 417, 1152}}) {
        SCOPED_TRACE(layer.name);
        std::string frame(layer.frameBytes, '\0');
        frame[0] = '\xFF';
        frame[1] = static_cast<char>(layer.header1);
        frame[2] = static_cast<char>(layer.header2);
        std::string bytes;
        for (int i = 0; i < 20; ++i)
            bytes += frame;
        const fs::path path = FixtureDir() / layer.name;
        test::WriteFile(path, bytes);
        TAudioLibrary lib(FixtureDir().string());
        const HSTREAM h = lib.StreamCreateFile(false, path.string(), 0, 0, kStreamDecode);
        ASSERT_NE(h, 0u);
        const std::vector<float> all = DecodeAll(lib, h, 2);
        EXPECT_EQ(static_cast<int64_t>(all.size()), 20 * layer.samplesPerFrame * 2);
        EXPECT_EQ(lib.ChannelGetLength(h, kPosByte), QWORD(all.size()) * 2);
        EXPECT_EQ(*std::max_element(all.begin(), all.end()), 0.0f);
    }
}

TEST(Decode, SixteenBitDataMatchesTheWavSamples) {
    const auto tone = test::Sine(1000.0, 44100, 0.7);
    const fs::path wav = test::WriteWav("pcm16.wav", 44100, 2, 2000, tone);
    TAudioLibrary lib(FixtureDir().string());
    const HSTREAM h = lib.StreamCreateFile(false, wav.string(), 0, 0, kStreamDecode);
    ASSERT_NE(h, 0u);
    std::vector<int16_t> got(4000);
    ASSERT_EQ(lib.ChannelGetData(h, got.data(), 8000), 8000);
    EXPECT_EQ(got, test::Pcm16(2, 2000, tone));
}

TEST(Decode, MemoryStreamsAndFileWindowsDecodeLikeFiles) {
    const fs::path wav = test::WriteWav("window.wav", 8000, 1, 800, test::Sine(500, 8000));
    const std::string bytes = test::ReadFile(wav);
    TAudioLibrary lib(FixtureDir().string());
    const HSTREAM mem = lib.StreamCreateFile(true, bytes, 0, 0, kStreamDecode);
    ASSERT_NE(mem, 0u);
    EXPECT_EQ(lib.ChannelGetLength(mem, kPosByte), 1600u);
    // The same file behind 100 bytes of something else, opened as a window of a larger file.
    const fs::path padded = FixtureDir() / "padded.bin";
    test::WriteFile(padded, std::string(100, 'x') + bytes + std::string(50, 'y'));
    const HSTREAM win =
        lib.StreamCreateFile(false, padded.string(), 100, bytes.size(), kStreamDecode);
    ASSERT_NE(win, 0u);
    EXPECT_EQ(lib.ChannelGetLength(win, kPosByte), 1600u);
    EXPECT_EQ(lib.StreamCreateFile(false, padded.string(), 1u << 20, 0, kStreamDecode), 0u);
}

TEST(Decode, FlagsAndModesOutsideTheTableFail) {
    const fs::path wav = test::WriteWav("modes.wav", 8000, 1, 80, test::Sine(500, 8000));
    TAudioLibrary lib(FixtureDir().string());
    const HSTREAM h = lib.StreamCreateFile(false, wav.string(), 0, 0, kStreamDecode);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(lib.ChannelGetLength(h, 1), kUnknown);
    EXPECT_EQ(lib.ChannelGetPosition(h, 7), kUnknown);
    EXPECT_FALSE(lib.ChannelPlay(h, false)) << "decode-only streams have no output";
    EXPECT_EQ(lib.ChannelGetLength(0, kPosByte), kUnknown);
    EXPECT_DOUBLE_EQ(lib.ChannelBytes2Seconds(0, 100), -1.0);
    EXPECT_DOUBLE_EQ(lib.ChannelBytes2Seconds(h, kUnknown), 0.0);
    EXPECT_EQ(lib.ChannelSeconds2Bytes(0, 1.0), kUnknown);
    float fft[256];
    EXPECT_EQ(lib.ChannelGetData(12345, fft, kDataFft512), -1);
    EXPECT_EQ(lib.TagsRead(12345, "%TITL"), "");
}

// Bad input never crashes or hangs: it fails to open, or plays what decodes.
TEST(Decode, BrokenAndMislabelledFiles) {
    // Noise, so that audio pages and not the codec headers make up most of the Ogg file.
    const auto noise = [](int64_t i, int c) {
        const auto x = static_cast<uint32_t>(i * 2 + c) * 2654435761u;
        return (static_cast<double>(x >> 8) / double(1 << 24) - 0.5) * 0.8;
    };
    const fs::path wav = test::WriteWav("good.wav", 44100, 2, 44100, noise);
    const fs::path mp3 = test::EncodeMp3(wav, "good.mp3");
    const fs::path ogg = test::EncodeOgg(wav, "good.ogg");
    const std::string wavBytes = test::ReadFile(wav);
    const std::string mp3Bytes = test::ReadFile(mp3);
    const std::string oggBytes = test::ReadFile(ogg);

    struct Case {
        const char* name;
        std::string bytes;
        bool opens;
        int64_t maxFrames;
    };
    std::string lying = wavBytes.substr(0, 44 + 4000 * 4); // header says 44100 frames
    std::string random(20000, '\0');
    uint32_t seed = 12345;
    for (char& c : random)
        c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    const std::vector<Case> cases = {
        {"text.mp3", "This is not music.\nJust some text that ends up named .mp3\n", false, 0},
        {"empty.wav", "", false, 0},
        {"random.ogg", random, false, 0},
        {"lying.wav", lying, true, 4000},
        {"header-only.wav", wavBytes.substr(0, 44), true, 0},
        {"half.mp3", mp3Bytes.substr(0, mp3Bytes.size() / 2), true, 44100},
        {"half.ogg", oggBytes.substr(0, oggBytes.size() / 2), true, 44100},
        {"ogg-head.ogg", oggBytes.substr(0, 60), false, 0},
        {"mp3-as.wav", mp3Bytes, true, 44100}, // mislabelled, but real MP3
    };
    TAudioLibrary lib(FixtureDir().string());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = FixtureDir() / c.name;
        test::WriteFile(path, c.bytes);
        const HSTREAM h = lib.StreamCreateFile(false, path.string(), 0, 0, kStreamDecode);
        EXPECT_EQ(h != 0, c.opens);
        if (!h)
            continue;
        const size_t decoded = DecodeAll(lib, h, 2).size() / 2;
        EXPECT_LE(static_cast<int64_t>(decoded), c.maxFrames);
        lib.StreamFree(h);
    }
    EXPECT_EQ(
        lib.StreamCreateFile(false, (FixtureDir() / "missing.mp3").string(), 0, 0, kStreamDecode),
        0u);
    EXPECT_EQ(lib.StreamCreateFile(false, FixtureDir().string(), 0, 0, kStreamDecode), 0u);
    // A named pipe must not block the caller waiting for a writer.
    const fs::path fifo = FixtureDir() / "pipe.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(lib.StreamCreateFile(false, fifo.string(), 0, 0, kStreamDecode), 0u);
}

// A full-scale sine centred on bin k reads about 1.0 in bin k and little elsewhere.
TEST(Decode, SpectrumOfADecodedSinePeaksInItsBin) {
    constexpr int kBin = 20;
    const double hz = kBin * 44100.0 / 512.0;
    const fs::path wav = test::WriteWav("fft.wav", 44100, 2, 4096, test::Sine(hz, 44100, 1.0));
    const fs::path quiet =
        test::WriteWav("silence.wav", 44100, 2, 1024, [](int64_t, int) { return 0.0; });
    TAudioLibrary lib(FixtureDir().string());
    const HSTREAM h = lib.StreamCreateFile(false, wav.string(), 0, 0, kStreamDecode);
    ASSERT_NE(h, 0u);
    float fft[256] = {};
    ASSERT_EQ(lib.ChannelGetData(h, fft, kDataFft512), 1024);
    const int peak = static_cast<int>(std::max_element(fft, fft + 256) - fft);
    EXPECT_EQ(peak, kBin);
    EXPECT_NEAR(fft[kBin], 1.0f, 0.02f);
    EXPECT_LT(fft[kBin + 5], 0.01f);
    EXPECT_LT(fft[100], 0.01f);
    EXPECT_EQ(lib.ChannelGetPosition(h, kPosByte), 512u * 4u) << "a decode stream advances";

    const HSTREAM s = lib.StreamCreateFile(false, quiet.string(), 0, 0, kStreamDecode);
    ASSERT_NE(s, 0u);
    ASSERT_EQ(lib.ChannelGetData(s, fft, kDataFft512), 1024);
    for (const float v : fft)
        EXPECT_EQ(v, 0.0f);
}

} // namespace
} // namespace tunaudio
