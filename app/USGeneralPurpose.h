#pragma once
// TUSGeneralPurpose: the general plug-in host. It loads the plug-ins of one folder at start-up
// (see plugins/tunola_plugin.h for what a plug-in is), sends each its start event, passes every
// started track on, and sends each its quit event before unloading it.
//
// Threads:
//  - UI thread: construction (loading, event 100), UnloadPlugin/UnloadAll and destruction
//    (event 101). The table is filled before the track thread starts and is not changed while
//    it runs.
//  - Any thread (the player calls it on the UI thread): TrackStarted copies the track into the
//    queue and returns at once.
//  - The track thread (started with the first track): takes the queue in order and broadcasts
//    event 108 with a TTrackInfo over its copy. It shares the queue (under its mutex) and the
//    table (read only) with the UI thread. At quit it gets kQuitWait to finish what is queued;
//    if a plug-in holds it longer, the plug-ins are left loaded (unloading code that is still
//    running would crash) and the thread is left behind with its shared state.

#include "plugins/tunola_plugin.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace tunola {

class TZuPlaylistItem;

class TUSGeneralPurpose {
public:
    static constexpr int kMaxPlugins = 64;
    static constexpr std::chrono::milliseconds kQuitWait{2000};

    struct TEntry {
        void* Module = nullptr;
        const TUSPluginInfo* Info = nullptr;
    };

    // Loads the plug-ins of `folder` (UTF-8); an empty folder name loads nothing.
    explicit TUSGeneralPurpose(const std::string& folder);
    ~TUSGeneralPurpose();
    TUSGeneralPurpose(const TUSGeneralPurpose&) = delete;
    TUSGeneralPurpose& operator=(const TUSGeneralPurpose&) = delete;

    // Every "*.so" of the folder in name order.
    void LoadPlugins(const std::string& folder);
    // True when the library was accepted and appended to the table.
    bool LoadPlugin(const std::string& fileName);
    // Event 101 and unload; the entry stays in the table, cleared.
    void UnloadPlugin(int index);
    void UnloadAll();
    // Sends the event to every loaded plug-in in table order; the last one's answer, 1 with
    // none. A plug-in that throws leaves the answer as it was.
    int32_t PluginBroadcast(int32_t event, void* pointer, int32_t value);

    // A track started playing: queued for event 108 on the track thread. Any thread.
    void TrackStarted(const TZuPlaylistItem& entry);
    // Waits until every queued track has been delivered (tests).
    void WaitForTracks();

    int Count() const { return count_; }
    const TEntry& Entry(int index) const { return table_[size_t(index)]; }

private:
    struct TTrack {
        std::string FileName, Title, Artist;
        double Length = 0;
    };
    // What the track thread shares with the host; it outlives the host when the thread is
    // left behind at quit.
    struct TShared {
        std::mutex Mutex;
        std::condition_variable Wake, Idle;
        std::deque<TTrack> Queue;
        bool Busy = false;
        bool Stop = false;
        bool Finished = false;
        std::array<TEntry, kMaxPlugins> Table{};
        int Count = 0;
    };
    static void TrackThread(std::shared_ptr<TShared> shared);
    static int32_t Broadcast(const std::array<TEntry, kMaxPlugins>& table, int count, int32_t event,
                             void* pointer, int32_t value);
    // Ends the track thread; false when it did not finish in time.
    bool StopTrackThread();

    std::array<TEntry, kMaxPlugins> table_{};
    int count_ = 0;
    std::shared_ptr<TShared> shared_;
    std::thread thread_;
    bool stuck_ = false;
};

} // namespace tunola
