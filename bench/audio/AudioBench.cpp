// Audio library benchmarks.
//  - Decode/<format>: decoding a 30-second file through the library (decode-only stream, 16-bit
//    reads as the player's callers make them), next to Reference/<format>: the decoder
//    library's own command-line decoder on the same file (process start included, output to
//    /dev/null). Both report real time per file and "cpu_ms", the CPU time per file (the
//    decoding thread's, or the reference process's user + system time).
//  - Playback/mp3: one 4-second MP3 played in real time on the silent output, with the spectrum
//    read 30 times a second as the main window does; "cpu_percent" is the process CPU time
//    over the playing time, in percent of one core.

#include "AudioLibrary.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace tunaudio;

fs::path WorkDir() {
    static const fs::path dir = [] {
        const char* base = std::getenv("TMPDIR");
        fs::path d = fs::path(base && *base ? base : "/tmp") /
                     ("tunola-audio-bench-" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// Runs a program without a shell; `cpuSeconds`, when given, receives its user + system time.
bool Run(const std::vector<std::string>& args, bool quietStdout, double* cpuSeconds = nullptr) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (!std::freopen("/dev/null", "w", stderr) ||
            (quietStdout && !std::freopen("/dev/null", "w", stdout)))
            _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (cpuSeconds)
        *cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Something closer to music than a pure tone: a few partials with a slow tremolo and noise.
fs::path MusicWav(double seconds) {
    const fs::path path = WorkDir() / ("music-" + std::to_string(int(seconds)) + ".wav");
    if (fs::exists(path))
        return path;
    const int rate = 44100;
    const auto frames = static_cast<uint32_t>(seconds * rate);
    std::ofstream out(path, std::ios::binary);
    const auto put = [&out](uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    out.write("RIFF", 4);
    put(36 + frames * 4, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);
    put(2, 2);
    put(rate, 4);
    put(rate * 4, 4);
    put(4, 2);
    put(16, 2);
    out.write("data", 4);
    put(frames * 4, 4);
    uint32_t seed = 1;
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double tremolo = 0.6 + 0.4 * std::sin(2 * std::numbers::pi * 0.5 * t);
        for (int c = 0; c < 2; ++c) {
            seed = seed * 1664525u + 1013904223u;
            const double noise = (double(seed >> 8) / double(1 << 24) - 0.5) * 0.05;
            const double v = tremolo * (0.3 * std::sin(2 * std::numbers::pi * 220 * t) +
                                        0.2 * std::sin(2 * std::numbers::pi * (330 + c) * t) +
                                        0.1 * std::sin(2 * std::numbers::pi * 1760 * t)) +
                             noise;
            put(static_cast<uint16_t>(static_cast<int16_t>(std::lrint(v * 32767))), 2);
        }
    }
    return path;
}

// The same music in `format`, made once per run.
fs::path Encoded(const std::string& format, double seconds = 30) {
    static std::map<std::string, fs::path> made;
    const std::string key = format + std::to_string(seconds);
    if (auto it = made.find(key); it != made.end())
        return it->second;
    const fs::path wav = MusicWav(seconds);
    fs::path out = WorkDir() / ("music-" + std::to_string(int(seconds)) + "." + format);
    bool ok = true;
    if (format == "mp3")
        ok = Run({"lame", "--quiet", "-b", "192", wav.string(), out.string()}, true);
    else if (format == "ogg")
        ok = Run({"oggenc", "--quiet", "-q", "5", "-o", out.string(), wav.string()}, true);
    else if (format == "flac")
        ok = Run({"flac", "--silent", "--force", "-o", out.string(), wav.string()}, true);
    else
        out = wav;
    return made[key] = ok ? out : fs::path();
}

TAudioLibrary& Library() {
    static TAudioLibrary lib(TUNOLA_PROGRAM_DIR);
    static const bool loaded = lib.PluginLoad("b_flac.so", 0) != 0;
    (void)loaded;
    return lib;
}

void Decode(benchmark::State& state, const std::string& format) {
    const fs::path file = Encoded(format);
    if (file.empty()) {
        state.SkipWithError("encoder missing");
        return;
    }
    std::vector<int16_t> pcm(16384);
    int64_t bytes = 0;
    const double cpu0 = ThreadCpuSeconds();
    for (auto _ : state) {
        const HSTREAM h = Library().StreamCreateFile(false, file.string(), 0, 0, kStreamDecode);
        if (!h) {
            state.SkipWithError("open failed");
            return;
        }
        for (int n; (n = Library().ChannelGetData(h, pcm.data(), 32768)) > 0;)
            bytes += n;
        Library().StreamFree(h);
    }
    state.SetBytesProcessed(bytes);
    // CPU time is what compares fairly with a reference decoder on a busy machine.
    state.counters["cpu_ms"] =
        1000.0 * (ThreadCpuSeconds() - cpu0) / static_cast<double>(state.iterations());
}

void Reference(benchmark::State& state, const std::string& format) {
    const fs::path file = Encoded(format);
    std::vector<std::string> args;
    if (format == "mp3")
        args = {"mpg123", "-q", "-s", file.string()};
    else if (format == "ogg")
        args = {"oggdec", "-Q", "-o", "/dev/null", file.string()};
    else if (format == "flac")
        args = {"flac", "-d", "-s", "-c", file.string()};
    double cpu = 0;
    for (auto _ : state) {
        double one = 0;
        if (!Run(args, true, &one)) {
            state.SkipWithError("reference decoder failed");
            return;
        }
        cpu += one;
    }
    state.counters["cpu_ms"] = 1000.0 * cpu / static_cast<double>(state.iterations());
}

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void Playback(benchmark::State& state) {
    const fs::path file = Encoded("mp3", 4);
    TAudioLibrary lib(TUNOLA_PROGRAM_DIR);
    if (!lib.Init(kDeviceSilent, 44100, 0, nullptr)) {
        state.SkipWithError("no output");
        return;
    }
    double percent = 0;
    for (auto _ : state) {
        const HSTREAM h = lib.StreamCreateFile(false, file.string(), 0, 0, 0);
        std::atomic<bool> ended{false};
        lib.ChannelSetSync(
            h, kSyncEnd, 0,
            [](HSYNC, DWORD, DWORD, void* user) {
                static_cast<std::atomic<bool>*>(user)->store(true);
            },
            &ended);
        float fft[256];
        const double cpu0 = CpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        lib.ChannelPlay(h, false);
        auto next = wall0;
        while (!ended) {
            next += std::chrono::milliseconds(33);
            std::this_thread::sleep_until(next);
            lib.ChannelGetData(h, fft, kDataFft512);
            benchmark::DoNotOptimize(fft[0]);
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        percent = 100.0 * (CpuSeconds() - cpu0) / wall;
        lib.StreamFree(h);
    }
    state.counters["cpu_percent"] = percent;
}

} // namespace

BENCHMARK_CAPTURE(Decode, wav, std::string("wav"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Decode, mp3, std::string("mp3"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Reference, mp3, std::string("mp3"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Decode, ogg, std::string("ogg"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Reference, ogg, std::string("ogg"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Decode, flac, std::string("flac"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Reference, flac, std::string("flac"))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(Playback)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
