#pragma once
// TLyricLoader: finds the lyric of each track that starts. The local sources (the file beside
// the audio file, the lyric folder) are read at once on the caller's thread; a download runs on
// the loader's one worker thread, so a slow or dead service never holds up the UI.
//
// Threads:
//   - the owner's thread (the UI thread): Load, Pending, the destructor; `done` runs here.
//   - one worker, started with the first download: runs the downloads one at a time, the
//     newest request first, and hands each result back through Post.
//   Shared: the request slot and the stop flag (under mutex_), and the serial of the newest
//   Load (atomic). A result whose serial is no longer the newest is dropped, on the owner's
//   thread, so a track change while a download is pending never shows the old track's lyric.

#include "LyricLookup.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace tunola {

class TLyricLoader {
public:
    // Runs a function on the owner's thread, later (a queued call).
    using TPost = std::function<void(std::function<void()>)>;
    using TDone = std::function<void(const TLyricLookup& lookup)>;

    // `service` may be null (no download); `serviceOnline` is asked on each Load.
    TLyricLoader(ILyricDown* service, std::function<bool()> serviceOnline, TPost post);
    // Cancels a download under way and waits for the worker to end.
    ~TLyricLoader();

    // The lyric of `track`: `done` runs once with the lookup, at once when a local source
    // answers or there is nothing to download, else when the download ends, unless another
    // Load came first. Returns true when `done` has already run.
    bool Load(const TLyricTrack& track, const std::filesystem::path& lyricDir, TDone done);

    // A download for the newest Load is still under way.
    bool Pending() const;

private:
    struct TRequest {
        uint64_t Serial = 0;
        TLyricTrack Track;
        std::filesystem::path LyricDir;
    };
    // What the worker's posted results reach; outlives the loader while results are queued.
    struct TShared {
        std::atomic<uint64_t> Newest{0};
        TDone Done; // of the newest Load that went to the worker
        bool Waiting = false;
    };

    void Run();

    ILyricDown* service_;
    std::function<bool()> serviceOnline_;
    TPost post_;
    std::shared_ptr<TShared> shared_ = std::make_shared<TShared>();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<TRequest> request_;
    bool stop_ = false;
    std::thread worker_;
};

} // namespace tunola
