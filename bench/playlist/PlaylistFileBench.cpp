// Saving and loading whole playlists: the list is rewritten after every change, so a save of a
// long list must stay well under a second, and so must the load at start-up.
//
// Besides time, each benchmark reports peak_MiB: how far the resident set rose above where it
// stood before one save or load (Linux: the kernel's high-water mark is reset just before).

#include "AtomicFile.h"
#include "MoPlist.h"
#include "PlaylistStore.h"
#include "ZuPlaylistModel.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#ifdef __linux__
#include <malloc.h>
#endif

namespace fs = std::filesystem;
using namespace tunola;

namespace {

// Realistic entries: long local paths, half of them with Chinese names, a few streams.
void Fill(TZuPlaylistItems& items, int count) {
    items.BeginUpdate();
    for (int i = 0; i < count; ++i) {
        TZuPlaylistItem entry;
        const bool chinese = i % 2 == 1;
        const std::string n = std::to_string(i);
        const std::string title = chinese ? "晴天的歌 第" + n + "首" : "Song number " + n;
        const std::string artist = chinese ? "周杰伦" : "The Example Band";
        const bool stream = i % 50 == 0;
        entry.SetFileName(stream ? "http://radio.example.com/live/" + n + "?fmt=mp3"
                                 : "/home/listener/Music/" + artist + "/Album " +
                                       std::to_string(i / 12) + "/" + title + ".mp3");
        entry.SetTitle(title);
        entry.SetArtist(artist);
        entry.SetCaption(MakeCaption(title, artist));
        entry.SetISURL(stream);
        entry.SetLongTime(stream ? 0.0 : (120.0 + i % 300) / 86400);
        items.Add(std::move(entry));
    }
    items.EndUpdate();
}

std::string BenchFile(const char* name) {
    return PathToUtf8(fs::temp_directory_path() / name);
}

#ifdef __linux__
long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return -1;
}
#endif

// Rise of the resident set during one run of `work`, in MiB; -1 where it cannot be measured.
double PeakRiseMiB(const std::function<void()>& work) {
#ifdef __linux__
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKiB("VmRSS");
    work();
    const long peak = StatusKiB("VmHWM");
    if (before < 0 || peak < 0)
        return -1;
    return double(peak - before) / 1024.0;
#else
    work();
    return -1;
#endif
}

// Resident memory the loaded list keeps, measured by freeing it.
double HeldMiB(std::unique_ptr<TZuPlaylistModel>& list) {
#ifdef __linux__
    malloc_trim(0);
    const long with = StatusKiB("VmRSS");
    list.reset();
    malloc_trim(0);
    const long without = StatusKiB("VmRSS");
    return double(with - without) / 1024.0;
#else
    list.reset();
    return -1;
#endif
}

void BM_SaveList(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string file = BenchFile("bench-save.pls");
    fs::remove(PathFromUtf8(file));
    TZuPlaylistModel model;
    Fill(model.Items(), count);
    // The first save creates the file; the measured ones replace it, as every later save does.
    SaveList(model.Items(), file);
    state.counters["peak_MiB"] = PeakRiseMiB([&] { SaveList(model.Items(), file); });
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveList(model.Items(), file));
    state.counters["file_MiB"] = double(fs::file_size(PathFromUtf8(file))) / (1024.0 * 1024.0);
    state.SetItemsProcessed(state.iterations() * count);
    fs::remove(PathFromUtf8(file));
}

void BM_LoadList(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string file = BenchFile("bench-load.pls");
    {
        TZuPlaylistModel model;
        Fill(model.Items(), count);
        SaveList(model.Items(), file);
    }
    std::unique_ptr<TZuPlaylistModel> held;
    state.counters["peak_MiB"] = PeakRiseMiB([&] {
        held = std::make_unique<TZuPlaylistModel>();
        LoadDefaultList(held->Items(), file);
    });
    state.counters["held_MiB"] = HeldMiB(held);
    for (auto _ : state) {
        auto model = std::make_unique<TZuPlaylistModel>();
        benchmark::DoNotOptimize(LoadDefaultList(model->Items(), file));
        state.PauseTiming();
        if (model->Items().Count() != count)
            state.SkipWithError("the list did not load whole");
        model.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
    fs::remove(PathFromUtf8(file));
}

// The same save and load done the plain way, on a whole tree with one node per entry and
// attribute: the reference the lazy document is measured against.
void BM_SavePlainTree(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string file = BenchFile("bench-save-plain.pls");
    TZuPlaylistModel model;
    Fill(model.Items(), count);
    SaveList(model.Items(), file);
    const auto save = [&] {
        std::string bytes;
        ReadWholeFile(PathFromUtf8(file), bytes);
        const auto doc = TMoPlist::FromBytes(bytes, kPlaylistRootName, true);
        doc->ClearList(kPlaylistListName);
        for (int i = 0; i < count; ++i) {
            const TZuPlaylistItem& e = *model.Items().GetItem(i);
            doc->AddEntry(kPlaylistEntryPath, e.Title(), e.Artist(), e.ISURL() ? "1" : "0",
                          e.FileName(), e.LongTime());
        }
        WriteFileAtomically(PathFromUtf8(file), doc->ToBytes());
    };
    state.counters["peak_MiB"] = PeakRiseMiB(save);
    for (auto _ : state)
        save();
    state.SetItemsProcessed(state.iterations() * count);
    fs::remove(PathFromUtf8(file));
}

void BM_LoadPlainTree(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string file = BenchFile("bench-load-plain.pls");
    {
        TZuPlaylistModel model;
        Fill(model.Items(), count);
        SaveList(model.Items(), file);
    }
    const auto load = [&] {
        std::string bytes;
        ReadWholeFile(PathFromUtf8(file), bytes);
        const auto doc = TMoPlist::FromBytes(bytes, kPlaylistRootName, true);
        doc->LoadList(kPlaylistListName);
        benchmark::DoNotOptimize(doc->Count());
    };
    state.counters["peak_MiB"] = PeakRiseMiB(load);
    for (auto _ : state)
        load();
    state.SetItemsProcessed(state.iterations() * count);
    fs::remove(PathFromUtf8(file));
}

BENCHMARK(BM_SaveList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePlainTree)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlainTree)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
