#include "AudioFixtures.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>

namespace tunaudio::test {

namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = (fs::path(base && *base ? base : "/tmp") / "tunola-audio-XXXXXX");
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data()))
            path = buf.data();
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

void Put16(std::string& s, uint16_t v, bool big) {
    if (big) {
        s += static_cast<char>(v >> 8);
        s += static_cast<char>(v & 0xFF);
    } else {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>(v >> 8);
    }
}

void Put32(std::string& s, uint32_t v, bool big) {
    if (big) {
        Put16(s, static_cast<uint16_t>(v >> 16), true);
        Put16(s, static_cast<uint16_t>(v & 0xFFFF), true);
    } else {
        Put16(s, static_cast<uint16_t>(v & 0xFFFF), false);
        Put16(s, static_cast<uint16_t>(v >> 16), false);
    }
}

// Runs a program without a shell; true when it exits with 0.
bool Run(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        // Encoders chatter on stderr; keep the test log readable.
        if (std::freopen("/dev/null", "w", stderr) == nullptr)
            _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

fs::path Encode(std::vector<std::string> args, const fs::path& out) {
    if (!Run(args) || !fs::exists(out)) {
        ADD_FAILURE() << "encoder failed: " << args.front();
        return {};
    }
    return out;
}

// IEEE 754 80-bit extended, as AIFF stores its sample rate.
std::string Extended(double value) {
    std::string out(10, '\0');
    int exponent = 0;
    double mantissa = std::frexp(value, &exponent); // value = mantissa * 2^exponent
    exponent += 16382;
    const auto bits = static_cast<uint64_t>(std::ldexp(mantissa, 64));
    out[0] = static_cast<char>((exponent >> 8) & 0x7F);
    out[1] = static_cast<char>(exponent & 0xFF);
    for (int i = 0; i < 8; ++i)
        out[2 + i] = static_cast<char>((bits >> (56 - 8 * i)) & 0xFF);
    return out;
}

} // namespace

const fs::path& FixtureDir() {
    static TempDir dir;
    return dir.path;
}

SampleFn Sine(double hz, int rate, double amplitude) {
    return [=](int64_t i, int) {
        return amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate);
    };
}

std::vector<int16_t> Pcm16(int channels, int64_t frames, const SampleFn& sample) {
    std::vector<int16_t> out;
    out.reserve(static_cast<size_t>(frames * channels));
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out.push_back(
                static_cast<int16_t>(std::lrint(std::clamp(sample(i, c), -1.0, 1.0) * 32767.0)));
    return out;
}

fs::path WriteWav(const std::string& name, int rate, int channels, int64_t frames,
                  const SampleFn& sample) {
    const auto pcm = Pcm16(channels, frames, sample);
    const auto dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    std::string s = "RIFF";
    Put32(s, 36 + dataBytes, false);
    s += "WAVEfmt ";
    Put32(s, 16, false);
    Put16(s, 1, false);
    Put16(s, static_cast<uint16_t>(channels), false);
    Put32(s, static_cast<uint32_t>(rate), false);
    Put32(s, static_cast<uint32_t>(rate * channels * 2), false);
    Put16(s, static_cast<uint16_t>(channels * 2), false);
    Put16(s, 16, false);
    s += "data";
    Put32(s, dataBytes, false);
    for (const int16_t v : pcm)
        Put16(s, static_cast<uint16_t>(v), false);
    const fs::path path = FixtureDir() / name;
    WriteFile(path, s);
    return path;
}

fs::path WriteAiff(const std::string& name, int rate, int channels, int64_t frames,
                   const SampleFn& sample) {
    const auto pcm = Pcm16(channels, frames, sample);
    const auto dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    std::string s = "FORM";
    Put32(s, 4 + 26 + 16 + dataBytes, true);
    s += "AIFFCOMM";
    Put32(s, 18, true);
    Put16(s, static_cast<uint16_t>(channels), true);
    Put32(s, static_cast<uint32_t>(frames), true);
    Put16(s, 16, true);
    s += Extended(rate);
    s += "SSND";
    Put32(s, 8 + dataBytes, true);
    Put32(s, 0, true);
    Put32(s, 0, true);
    for (const int16_t v : pcm)
        Put16(s, static_cast<uint16_t>(v), true);
    const fs::path path = FixtureDir() / name;
    WriteFile(path, s);
    return path;
}

fs::path EncodeMp3(const fs::path& wav, const std::string& name,
                   const std::vector<std::string>& extra) {
    const fs::path out = FixtureDir() / name;
    std::vector<std::string> args{"lame", "--quiet", "--noreplaygain"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(wav.string());
    args.push_back(out.string());
    return Encode(args, out);
}

fs::path EncodeOgg(const fs::path& wav, const std::string& name,
                   const std::vector<std::string>& extra) {
    const fs::path out = FixtureDir() / name;
    std::vector<std::string> args{"oggenc", "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"-o", out.string(), wav.string()});
    return Encode(args, out);
}

fs::path EncodeFlac(const fs::path& wav, const std::string& name,
                    const std::vector<std::string>& extra) {
    const fs::path out = FixtureDir() / name;
    std::vector<std::string> args{"flac", "--silent", "--force"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"-o", out.string(), wav.string()});
    return Encode(args, out);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace tunaudio::test
