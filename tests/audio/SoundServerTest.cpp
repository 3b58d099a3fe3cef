// Playing through a real sound server: a PulseAudio of the test's own with a null sink, whose
// monitor is recorded, so the tests check what is actually heard - no dropout while both cores
// are busy, a pause, a volume change and a stop heard when they are made (the buffer is large,
// so this is the flush and rewrite at work), the position in step with the sound, and no stream
// left in the server while the player is paused. Skipped where PulseAudio is not installed.

#include "AudioFixtures.h"
#include "AudioLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tunaudio {
namespace {

using namespace std::chrono_literals;
using test::FixtureDir;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 44100;

// Starts `argv` with stdout going to `out` and stderr to `err`; returns its process id.
pid_t Spawn(const std::vector<std::string>& argv, const fs::path& out, const fs::path& err) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (o >= 0)
        ::dup2(o, 1);
    if (e >= 0)
        ::dup2(e, 2);
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

void End(pid_t pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

bool Installed(const char* program) {
    const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[512];
        while (size_t n = std::fread(buf, 1, sizeof buf, p))
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

template <typename F> bool WaitFor(F&& done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// One PulseAudio with a null sink "tunola_test", reachable only through a socket in a fresh
// folder, and a recorder of that sink's monitor.
class SoundServer : public testing::Test {
protected:
    void SetUp() override {
        if (!Installed("pulseaudio") || !Installed("parec") || !Installed("pactl"))
            GTEST_SKIP() << "PulseAudio (pulseaudio, pulseaudio-utils) is not installed";
        dir_ = FixtureDir() / ("pulse-" + std::to_string(::getpid()) + "-" +
                               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        for (const char* name : {"HOME", "XDG_RUNTIME_DIR"}) {
            if (const char* old = std::getenv(name))
                saved_.emplace_back(name, old);
            ::setenv(name, dir_.c_str(), 1);
        }
        server_ = Spawn(
            {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--log-level=error", "-L", "module-null-sink sink_name=tunola_test", "-L",
             "module-native-protocol-unix socket=" + (dir_ / "s").string() + " auth-anonymous=1"},
            dir_ / "server.log", dir_ / "server.log");
        ::setenv("PULSE_SERVER", ("unix:" + (dir_ / "s").string()).c_str(), 1);
        ASSERT_TRUE(WaitFor(
            [] { return Output("pactl info 2>/dev/null").find("Server") != std::string::npos; },
            10s))
            << "PulseAudio did not start: " << test::ReadFile(dir_ / "server.log");
        // A roomy recording buffer, so a busy machine cannot make the recorder lose sound.
        recorder_ = Spawn({"parec", "-d", "tunola_test.monitor", "--raw", "--format=s16le",
                           "--rate=44100", "--channels=2", "--latency-msec=1000"},
                          dir_ / "heard.raw", dir_ / "parec.log");
        // The recorder is there once the server lists its stream.
        ASSERT_TRUE(
            WaitFor([] { return Output("pactl list short source-outputs").size() > 0; }, 5s));
    }

    void TearDown() override {
        End(recorder_);
        End(server_);
        ::unsetenv("PULSE_SERVER");
        ::unsetenv("XDG_RUNTIME_DIR");
        for (const auto& [name, value] : saved_)
            ::setenv(name.c_str(), value.c_str(), 1);
    }

    // Ends the recording; the left channel of what the sink played.
    std::vector<int16_t> Heard() {
        End(recorder_);
        recorder_ = -1;
        const std::string raw = test::ReadFile(dir_ / "heard.raw");
        std::vector<int16_t> left(raw.size() / 4);
        for (size_t i = 0; i < left.size(); ++i)
            left[i] = static_cast<int16_t>(static_cast<uint8_t>(raw[i * 4]) |
                                           (static_cast<uint8_t>(raw[i * 4 + 1]) << 8));
        return left;
    }

    static int PlayingStreams() {
        const std::string list = Output("pactl list short sink-inputs");
        return static_cast<int>(std::count(list.begin(), list.end(), '\n'));
    }

    fs::path dir_;
    std::vector<std::pair<std::string, std::string>> saved_; // the environment before
    pid_t server_ = -1;
    pid_t recorder_ = -1;
};

// The sound seen in a recording of a sine: where it is loud, where it falls silent.
struct THeard {
    const std::vector<int16_t>& s;

    // Largest magnitude in the 5 ms from `at`.
    int PeakAt(size_t at) const {
        int peak = 0;
        for (size_t i = at; i < std::min(s.size(), at + kRate / 200); ++i)
            peak = std::max(peak, std::abs(static_cast<int>(s[i])));
        return peak;
    }
    // First frame from `from` on whose 5 ms window is above (`above`) or below `level`.
    std::optional<size_t> Find(size_t from, int level, bool above) const {
        for (size_t i = from; i < s.size(); i += kRate / 1000)
            if ((PeakAt(i) > level) == above)
                return i;
        return std::nullopt;
    }
    // The longest run of silence (|x| < 64) between `from` and `to`, in frames.
    size_t LongestSilence(size_t from, size_t to) const {
        size_t longest = 0, run = 0;
        for (size_t i = from; i < std::min(to, s.size()); ++i) {
            run = std::abs(static_cast<int>(s[i])) < 64 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return longest;
    }
};

double Seconds(TAudioLibrary& lib, HSTREAM h) {
    return lib.ChannelBytes2Seconds(h, lib.ChannelGetPosition(h, kPosByte));
}

TEST_F(SoundServer, NoDropoutWhileBothCoresAreBusy) {
    const fs::path tone = test::WriteWav("busy.wav", kRate, 2, 6 * kRate, test::Sine(440, kRate));
    // Two processes that never sleep, one per core, at the player's own priority.
    std::vector<pid_t> burners;
    for (int i = 0; i < 2; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0)
            for (;;)
                asm volatile("" ::: "memory"); // spins; the compiler keeps the loop
        burners.push_back(pid);
    }
    TAudioLibrary lib{FixtureDir().string()};
    ASSERT_TRUE(lib.Init(kDevicePulse, kRate, 0, nullptr));
    const HSTREAM h = lib.StreamCreateFile(false, tone.string(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    std::atomic<bool> done{false};
    ASSERT_NE(lib.ChannelSetSync(
                  h, kSyncEnd, 0,
                  [](HSYNC, DWORD, DWORD, void* user) {
                      static_cast<std::atomic<bool>*>(user)->store(true);
                  },
                  &done),
              0u);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    const bool ended = WaitFor([&] { return done.load(); }, 15s);
    for (pid_t pid : burners)
        End(pid);
    ASSERT_TRUE(ended);
    std::this_thread::sleep_for(200ms);

    const std::vector<int16_t> heard = Heard();
    const THeard h2{heard};
    const auto start = h2.Find(0, 4000, true);
    ASSERT_TRUE(start);
    const auto end = h2.Find(*start, 4000, false);
    ASSERT_TRUE(end);
    // The monitor of a null sink that starts from idle misses up to a few hundred ms of the
    // first sound (any client, pacat too), so the length is checked from above; a dropout
    // shows as silence, or as a tone that lasts longer.
    const double seconds = static_cast<double>(*end - *start) / kRate;
    EXPECT_GT(seconds, 5.3);
    EXPECT_LT(seconds, 6.02);
    EXPECT_LT(h2.LongestSilence(*start, *end), static_cast<size_t>(kRate / 1000))
        << "a gap of more than 1 ms in the sound";
}

TEST_F(SoundServer, PauseVolumeAndStopAreHeardWhenMadeAndIdleHoldsNoStream) {
    const fs::path tone = test::WriteWav("long.wav", kRate, 2, 20 * kRate, test::Sine(440, kRate));
    TAudioLibrary lib{FixtureDir().string()};
    ASSERT_TRUE(lib.Init(kDevicePulse, kRate, 0, nullptr));
    ASSERT_EQ(lib.OutputName(), "pulse");
    const HSTREAM h = lib.StreamCreateFile(false, tone.string(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    EXPECT_EQ(PlayingStreams(), 1);

    ASSERT_TRUE(WaitFor([&] { return Seconds(lib, h) >= 1.0; }, 5s));
    ASSERT_TRUE(lib.SetVolume(0.25f));
    const double quieter = Seconds(lib, h);
    ASSERT_TRUE(WaitFor([&] { return Seconds(lib, h) >= 2.0; }, 5s));
    ASSERT_TRUE(lib.ChannelPause(h));
    const double paused = Seconds(lib, h);
    std::this_thread::sleep_for(100ms);
    EXPECT_DOUBLE_EQ(Seconds(lib, h), paused);
    // Paused: within 2 s the player holds no stream in the server.
    EXPECT_TRUE(WaitFor([] { return PlayingStreams() == 0; }, 2s));

    ASSERT_TRUE(lib.ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return Seconds(lib, h) >= paused + 1.0; }, 5s));
    ASSERT_TRUE(lib.ChannelStop(h));
    const double stopped = Seconds(lib, h);
    std::this_thread::sleep_for(300ms);

    const std::vector<int16_t> heard = Heard();
    const THeard s{heard};
    const auto start = s.Find(0, 12000, true); // full volume: peaks of 16384
    ASSERT_TRUE(start);
    // The quarter volume: peaks of about 4096 (a window of silence before it, should the
    // machine be too busy for the recorder, is passed over).
    std::optional<size_t> soft;
    for (auto at = s.Find(*start, 10000, false); at && !soft; at = s.Find(*at + 44, 10000, false))
        if (s.PeakAt(*at) > 2000)
            soft = at;
    ASSERT_TRUE(soft);
    // The pause: a silence of at least the 100 ms waited above. A shorter one before it is a
    // moment the machine was too busy to feed the sink (under the sanitizers' load), passed over.
    std::optional<size_t> gap, resumed;
    for (size_t from = *soft; !gap;) {
        const auto silent = s.Find(from, 100, false);
        ASSERT_TRUE(silent);
        const auto sound = s.Find(*silent, 2000, true);
        ASSERT_TRUE(sound);
        if (*sound - *silent >= kRate / 12) {
            gap = silent;
            resumed = sound;
        }
        from = *sound;
    }
    const auto end = s.Find(*resumed, 100, false);
    ASSERT_TRUE(end);
    const auto seconds = [](size_t from, size_t to) {
        return static_cast<double>(to - from) / kRate;
    };
    // Each change is heard when it is made, not half a second later when the output's buffer
    // would have drained: the sound between two changes lasts as long as the position moved
    // between them. (Not from the first sound: the monitor of a null sink starting from idle
    // misses some of it.) The margin is the null sink's: what it has already rendered ahead
    // (one block, 125 ms here) reaches its monitor even when the flush takes it back, so a
    // change shows up to one block late in the recording.
    EXPECT_GT(s.PeakAt(*soft + kRate / 10), 3000) << "a quarter volume, not silence";
    EXPECT_NEAR(seconds(*soft, *gap), paused - quieter, 0.15);
    // Resumed where it paused, and silent at the stop.
    EXPECT_NEAR(seconds(*resumed, *end), stopped - paused, 0.15);
}

} // namespace
} // namespace tunaudio
