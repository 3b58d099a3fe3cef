// Playing streams on the silent output, which runs in real time like a sound card: start-up,
// volume, position, pause and resume, the end notification and the spectrum of what is heard.

#include "AudioFixtures.h"
#include "AudioLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace tunaudio {
namespace {

using namespace std::chrono_literals;
using test::FixtureDir;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct EndCounter {
    std::atomic<int> calls{0};
    std::atomic<DWORD> channel{0};
    std::atomic<bool> onCallerThread{false};
    std::thread::id caller = std::this_thread::get_id();

    static void Proc(HSYNC, DWORD channel, DWORD, void* user) {
        auto* self = static_cast<EndCounter*>(user);
        self->channel = channel;
        if (std::this_thread::get_id() == self->caller)
            self->onCallerThread = true;
        ++self->calls;
    }
};

// Polls until `done` or the deadline; the silent output runs in real time, so waits are short.
template <typename F> bool WaitFor(F&& done, std::chrono::milliseconds limit = 5000ms) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Plays a short tone until the output is chosen and opened (the default device opens on play).
void PlayBriefly(TAudioLibrary& lib) {
    const fs::path wav = test::WriteWav("brief.wav", 44100, 2, 44100 / 5, test::Sine(440, 44100));
    const HSTREAM h = lib.StreamCreateFile(false, wav.string(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    EXPECT_TRUE(WaitFor([&] { return !lib.OutputName().empty(); }));
    lib.StreamFree(h);
}

class Playback : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(lib.Init(kDeviceSilent, 44100, 0, nullptr)); }

    HSTREAM Open(const fs::path& path) {
        return lib.StreamCreateFile(false, path.string(), 0, 0, 0);
    }

    TAudioLibrary lib{FixtureDir().string()};
};

TEST(Startup, VersionOutputChoiceAndVolume) {
    TAudioLibrary lib(FixtureDir().string());
    EXPECT_EQ(lib.GetVersion() >> 16, 0x0204u);
    EXPECT_EQ(lib.GetVolume(), -1.0f) << "no output before Init";
    EXPECT_FALSE(lib.SetVolume(0.5f));
    EXPECT_FALSE(lib.Init(-1, 1000, 0, nullptr));
    EXPECT_FALSE(lib.Init(9, 44100, 0, nullptr));

    // What the player does at start-up, on a machine told to stay silent.
    ::setenv("TUNOLA_AUDIO_OUTPUT", "silent", 1);
    ASSERT_TRUE(lib.Init(-1, 44100, 0, nullptr));
    EXPECT_EQ(lib.OutputName(), "") << "no device opened before something plays";
    PlayBriefly(lib);
    ::unsetenv("TUNOLA_AUDIO_OUTPUT");
    EXPECT_EQ(lib.OutputName(), "silent");
    EXPECT_FALSE(lib.Init(-1, 44100, 0, nullptr)) << "already running";
    EXPECT_TRUE(lib.SetConfig(kConfigNetPlaylist, 1));
    EXPECT_TRUE(lib.SetConfig(kConfigNetPrebuf, 1024));
    EXPECT_EQ(lib.GetConfig(kConfigNetPrebuf), 1024u);
    EXPECT_FALSE(lib.SetConfig(999, 1));

    EXPECT_FLOAT_EQ(lib.GetVolume(), 1.0f);
    EXPECT_TRUE(lib.SetVolume(0.37f));
    EXPECT_FLOAT_EQ(lib.GetVolume(), 0.37f);
    EXPECT_TRUE(lib.SetVolume(0.0f));
    EXPECT_FLOAT_EQ(lib.GetVolume(), 0.0f);
    EXPECT_FALSE(lib.SetVolume(1.5f));
    EXPECT_FALSE(lib.SetVolume(std::nanf("")));
    EXPECT_FLOAT_EQ(lib.GetVolume(), 0.0f);

    EXPECT_TRUE(lib.Free());
    EXPECT_FALSE(lib.Free());
    EXPECT_EQ(lib.OutputName(), "");
}

TEST(Startup, DefaultDeviceAlwaysFindsAnOutput) {
    // No sound server and no sound card (this machine, CI) still start: silently.
    TAudioLibrary lib(FixtureDir().string());
    ASSERT_TRUE(lib.Init(kDeviceDefault, 44100, 0, nullptr));
    PlayBriefly(lib);
    const std::string name = lib.OutputName();
    EXPECT_TRUE(name == "pulse" || name == "alsa" || name == "silent") << name;
}

TEST(Startup, PlayingStreamsNeedAnOutput) {
    const fs::path wav = test::WriteWav("noinit.wav", 8000, 1, 800, test::Sine(500, 8000));
    TAudioLibrary lib(FixtureDir().string());
    EXPECT_EQ(lib.StreamCreateFile(false, wav.string(), 0, 0, 0), 0u);
    EXPECT_NE(lib.StreamCreateFile(false, wav.string(), 0, 0, kStreamDecode), 0u);
}

TEST_F(Playback, PlaysToTheEndAndNotifiesOnceOnItsOwnThread) {
    const int64_t frames = 44100 * 4 / 10; // 0.4 s
    const fs::path wav = test::WriteWav("end.wav", 44100, 2, frames, test::Sine(440, 44100));
    const HSTREAM h = Open(wav);
    ASSERT_NE(h, 0u);
    EndCounter end;
    ASSERT_NE(lib.ChannelSetSync(h, kSyncEnd, 0, &EndCounter::Proc, &end), 0u);
    const auto start = Clock::now();
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return end.calls > 0; }));
    const auto took = Clock::now() - start;
    EXPECT_GE(took, 380ms) << "the silent output plays in real time";
    EXPECT_LT(took, 2000ms);
    EXPECT_EQ(end.channel.load(), h);
    EXPECT_FALSE(end.onCallerThread.load());
    EXPECT_EQ(lib.ChannelGetPosition(h, kPosByte), lib.ChannelGetLength(h, kPosByte));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(end.calls.load(), 1);

    // Played again, it starts over and ends (and notifies) once more.
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return end.calls > 1; }));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(end.calls.load(), 2);
}

TEST_F(Playback, PauseHoldsThePositionAndPlayResumesWithoutRestart) {
    const fs::path wav = test::WriteWav("pause.wav", 44100, 2, 44100, test::Sine(440, 44100));
    const HSTREAM h = Open(wav);
    ASSERT_NE(h, 0u);
    EndCounter end;
    lib.ChannelSetSync(h, kSyncEnd, 0, &EndCounter::Proc, &end);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return lib.ChannelGetPosition(h, kPosByte) >= 44100u; }));
    ASSERT_TRUE(lib.ChannelPause(h));
    EXPECT_FALSE(lib.ChannelPause(h)) << "already paused";
    // What was queued in the output is still heard; then the position stands still.
    std::this_thread::sleep_for(300ms);
    const QWORD held = lib.ChannelGetPosition(h, kPosByte);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(lib.ChannelGetPosition(h, kPosByte), held);
    EXPECT_LT(held, 44100u * 4u);
    EXPECT_EQ(end.calls.load(), 0);

    ASSERT_TRUE(lib.ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return lib.ChannelGetPosition(h, kPosByte) > held; }));
    EXPECT_GE(lib.ChannelGetPosition(h, kPosByte), held) << "resumed, not restarted";
    ASSERT_TRUE(WaitFor([&] { return end.calls > 0; }));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(end.calls.load(), 1);
}

TEST_F(Playback, SeekRestartStopAndFreeWhilePlaying) {
    const fs::path wav = test::WriteWav("seek.wav", 44100, 2, 44100, test::Sine(440, 44100));
    const HSTREAM h = Open(wav);
    ASSERT_NE(h, 0u);
    EndCounter end;
    lib.ChannelSetSync(h, kSyncEnd, 0, &EndCounter::Proc, &end);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    const QWORD target = lib.ChannelSeconds2Bytes(h, 0.6);
    ASSERT_TRUE(lib.ChannelSetPosition(h, target, kPosByte));
    EXPECT_GE(lib.ChannelGetPosition(h, kPosByte), target) << "a seek shows at once";
    ASSERT_TRUE(WaitFor([&] { return lib.ChannelGetPosition(h, kPosByte) > target + 4000; }));

    ASSERT_TRUE(lib.ChannelPlay(h, true));
    EXPECT_LT(lib.ChannelGetPosition(h, kPosByte), target) << "restart goes back to the start";

    ASSERT_TRUE(lib.ChannelStop(h));
    std::this_thread::sleep_for(300ms);
    const QWORD stopped = lib.ChannelGetPosition(h, kPosByte);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(lib.ChannelGetPosition(h, kPosByte), stopped);

    ASSERT_TRUE(lib.ChannelPlay(h, false));
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(lib.StreamFree(h));
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(end.calls.load(), 0) << "a freed stream never ends";
    EXPECT_EQ(lib.ChannelGetPosition(h, kPosByte), kUnknown);
}

TEST_F(Playback, OtherRatesAndMonoPlayAtTheirOwnSpeed) {
    const int64_t frames = 22050 * 3 / 10; // 0.3 s at 22.05 kHz, resampled to 44.1 kHz
    const fs::path wav = test::WriteWav("mono22.wav", 22050, 1, frames, test::Sine(300, 22050));
    const HSTREAM h = Open(wav);
    ASSERT_NE(h, 0u);
    EndCounter end;
    lib.ChannelSetSync(h, kSyncEnd, 0, &EndCounter::Proc, &end);
    const auto start = Clock::now();
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return end.calls > 0; }));
    EXPECT_GE(Clock::now() - start, 280ms);
    EXPECT_EQ(lib.ChannelGetPosition(h, kPosByte), static_cast<QWORD>(frames) * 2u);
    EXPECT_EQ(end.calls.load(), 1);
}

// The analyser shows what is heard: silence while the first half (silent) plays, although the
// decoder has already read into the tone of the second half.
TEST_F(Playback, SpectrumFollowsWhatIsHeard) {
    constexpr int kBin = 40;
    const double hz = kBin * 44100.0 / 512.0;
    const auto tone = test::Sine(hz, 44100, 1.0);
    const int64_t half = 44100 / 2;
    const fs::path wav =
        test::WriteWav("silence-then-tone.wav", 44100, 2, 2 * half,
                       [&](int64_t i, int c) { return i < half ? 0.0 : tone(i, c); });
    const HSTREAM h = Open(wav);
    ASSERT_NE(h, 0u);
    float fft[256];
    ASSERT_EQ(lib.ChannelGetData(h, fft, kDataFft512), 1024) << "before play: silence";
    EXPECT_EQ(*std::max_element(fft, fft + 256), 0.0f);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    // Heard position inside the silent half, with the tone right behind it in the decoder.
    ASSERT_TRUE(WaitFor([&] { return lib.ChannelGetPosition(h, kPosByte) >= 4u * (half - 2048); }));
    ASSERT_EQ(lib.ChannelGetData(h, fft, kDataFft512), 1024);
    if (lib.ChannelGetPosition(h, kPosByte) < 4u * half) {
        EXPECT_LT(*std::max_element(fft, fft + 256), 0.01f);
    }
    ASSERT_TRUE(WaitFor([&] { return lib.ChannelGetPosition(h, kPosByte) >= 4u * (half + 4096); }));
    ASSERT_EQ(lib.ChannelGetData(h, fft, kDataFft512), 1024);
    EXPECT_EQ(std::max_element(fft, fft + 256) - fft, kBin);
    EXPECT_NEAR(fft[kBin], 1.0f, 0.05f);
}

TEST_F(Playback, FreeWhilePlayingIsSafeAndSyncsNeedAValidRequest) {
    const fs::path wav = test::WriteWav("free.wav", 44100, 2, 44100, test::Sine(440, 44100));
    const HSTREAM a = Open(wav);
    const HSTREAM b = Open(wav);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    EndCounter end;
    EXPECT_EQ(lib.ChannelSetSync(a, 7, 0, &EndCounter::Proc, &end), 0u) << "unknown sync type";
    EXPECT_EQ(lib.ChannelSetSync(a, kSyncEnd, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(lib.ChannelSetSync(999999, kSyncEnd, 0, &EndCounter::Proc, &end), 0u);
    lib.ChannelSetSync(a, kSyncEnd, 0, &EndCounter::Proc, &end);
    ASSERT_TRUE(lib.ChannelPlay(a, false));
    ASSERT_TRUE(lib.ChannelPlay(b, false));
    std::this_thread::sleep_for(60ms);
    EXPECT_TRUE(lib.Free());
    EXPECT_EQ(lib.ChannelGetPosition(a, kPosByte), kUnknown) << "Free releases every stream";
    EXPECT_EQ(end.calls.load(), 0);
}

// The end of a stream is reported to every handler registered on it, one after the other on
// the playback thread. A handler that frees the stream (as an owner going away does) must be
// the last one to hear of it: once StreamFree has returned, the stream's handlers may point at
// objects that no longer exist.
TEST_F(Playback, NoEndHandlerRunsAfterItsStreamIsFreed) {
    const fs::path wav = test::WriteWav("freed-end.wav", 44100, 2, 2205, test::Sine(440, 44100));
    struct Owner {
        TAudioLibrary* lib;
        HSTREAM stream = 0;
        std::atomic<int> first{0}, second{0};
    } owner{&lib};
    const HSTREAM h = Open(wav);
    ASSERT_NE(h, 0u);
    owner.stream = h;
    lib.ChannelSetSync(
        h, kSyncEnd, 0,
        [](HSYNC, DWORD, DWORD, void* user) {
            auto* o = static_cast<Owner*>(user);
            ++o->first;
            o->lib->StreamFree(o->stream);
        },
        &owner);
    lib.ChannelSetSync(
        h, kSyncEnd, 0,
        [](HSYNC, DWORD, DWORD, void* user) { ++static_cast<Owner*>(user)->second; }, &owner);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return owner.first.load() == 1; }));
    // The mixer has called the handlers of this end by the time it mixes again.
    const QWORD before = lib.ChannelGetPosition(h, kPosByte);
    EXPECT_EQ(before, kUnknown);
    const HSTREAM other = Open(wav);
    EndCounter end;
    lib.ChannelSetSync(other, kSyncEnd, 0, &EndCounter::Proc, &end);
    ASSERT_TRUE(lib.ChannelPlay(other, false));
    ASSERT_TRUE(WaitFor([&] { return end.calls.load() == 1; }));
    EXPECT_EQ(owner.second.load(), 0);
}

} // namespace
} // namespace tunaudio
