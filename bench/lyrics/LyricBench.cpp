// Parsing a large lyric, and finding a track's lyric among 10,000 files in the lyric folder.

#include "AtomicFile.h"
#include "LyricHandle.h"
#include "LyricLookup.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace tunola;

// About 100 KB of LRC: tags, timed lines with Chinese text, repeated choruses.
std::string LargeLyric() {
    std::string text = "[ti:晴天]\r\n[ar:周杰伦]\r\n[al:叶惠美]\r\n[offset:0]\r\n";
    for (int i = 0; text.size() < 100 * 1024; ++i) {
        const int ms = i * 3170;
        char tag[32];
        std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", ms / 60000 % 100, ms / 1000 % 60,
                      ms / 10 % 100);
        text += tag;
        if (i % 7 == 0)
            text += "[99:00.00]"; // several tags share a line now and then
        text += i % 5 == 0 ? "刮风这天 我试过握着你手" : "故事的小黄花 从出生那年就飘着 line";
        text += std::to_string(i % 13);
        text += "\r\n";
    }
    return text;
}

void BM_ParseLyric100KB(benchmark::State& state) {
    const std::string text = LargeLyric();
    TLyricHandle lyric;
    for (auto _ : state) {
        lyric.Parse(text);
        benchmark::DoNotOptimize(lyric.Count());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["lines"] = lyric.Count();
}
BENCHMARK(BM_ParseLyric100KB)->Unit(benchmark::kMillisecond);

// 100 KB of unclosed identification tags: must stay a linear read.
void BM_ParseUnclosedTags100KB(benchmark::State& state) {
    std::string text;
    while (text.size() < 100 * 1024)
        text += "[ti:";
    text += "]";
    TLyricHandle lyric;
    for (auto _ : state) {
        lyric.Parse(text);
        benchmark::DoNotOptimize(lyric.Info.Title.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ParseUnclosedTags100KB)->Unit(benchmark::kMillisecond);

void BM_TimeListOf100KB(benchmark::State& state) {
    TLyricHandle lyric;
    lyric.Parse(LargeLyric());
    for (auto _ : state)
        benchmark::DoNotOptimize(lyric.ToText(llTimeList));
}
BENCHMARK(BM_TimeListOf100KB)->Unit(benchmark::kMillisecond);

// 10,000 lyric files, Chinese and Latin names, none matching the track well: the search has to
// look at every name.
class TLyricFolder {
public:
    TLyricFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("tunola-bench-lrc-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
        const char* words[] = {"月亮", "代表", "我的心", "Love", "Song", "夜曲", "Remix", "稻香"};
        for (int i = 0; i < 10000; ++i) {
            std::string name = words[i % 8];
            name += ' ';
            name += words[(i / 8) % 8];
            name += ' ';
            name += std::to_string(i);
            name += i % 3 == 0 ? " (live).lrc" : ".lrc";
            std::FILE* f = std::fopen((path_ / PathFromUtf8(name)).c_str(), "wb");
            if (f)
                std::fclose(f);
        }
    }
    ~TLyricFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

void BM_FindLyricFileIn10000(benchmark::State& state) {
    const TLyricFolder folder;
    for (auto _ : state)
        benchmark::DoNotOptimize(FindLyricFile(folder.Path(), "晴天", "周杰伦"));
}
BENCHMARK(BM_FindLyricFileIn10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
