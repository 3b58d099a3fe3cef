#include "USGeneralPurpose.h"

#include <ZuPlaylistItem.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "AtomicFile.h"
#include "PluginLibrary.h"

namespace tunola {

TUSGeneralPurpose::TUSGeneralPurpose(const std::string& folder)
    : shared_(std::make_shared<TShared>()) {
    LoadPlugins(folder);
}

TUSGeneralPurpose::~TUSGeneralPurpose() {
    UnloadAll();
}

void TUSGeneralPurpose::LoadPlugins(const std::string& folder) {
    if (folder.empty())
        return;
    std::vector<std::filesystem::path> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end;
         it.increment(ec))
        if (it->path().extension() == kPluginSuffix)
            names.push_back(it->path());
    std::sort(names.begin(), names.end());
    for (const std::filesystem::path& name : names)
        LoadPlugin(PathToUtf8(name));
}

bool TUSGeneralPurpose::LoadPlugin(const std::string& fileName) {
    std::error_code ec;
    if (count_ >= kMaxPlugins || fileName.empty() ||
        !std::filesystem::exists(PathFromUtf8(fileName), ec))
        return false;
    // The track thread reads the table without a lock: nothing is added once it runs.
    if (thread_.joinable())
        return false;
    void* module = OpenPluginLibrary(fileName);
    if (!module)
        return false;
    for (int i = 0; i < count_; ++i)
        if (table_[size_t(i)].Module == module) {
            ClosePluginLibrary(module); // only our extra reference
            return false;
        }
    const TUSPluginInfo* info = nullptr;
    try {
        auto query =
            reinterpret_cast<TUSPluginInfoFunc>(PluginLibrarySymbol(module, "USPluginInfo"));
        if (query)
            info = query(TUNOLA_PLUGIN_INTERFACE);
    } catch (...) {
        info = nullptr;
    }
    if (!info || info->Kind != TUNOLA_PLUGIN_KIND || info->Version != TUNOLA_PLUGIN_INTERFACE) {
        ClosePluginLibrary(module);
        return false;
    }
    if (info->PluginProc) {
        try {
            info->PluginProc(TUNOLA_EVENT_INIT, nullptr, 0);
        } catch (...) {
        }
    }
    table_[size_t(count_++)] = {module, info};
    return true;
}

void TUSGeneralPurpose::UnloadPlugin(int index) {
    if (index < 0 || index >= count_)
        return;
    // Quit comes after every track event; a plug-in still busy with one stays loaded.
    if (!StopTrackThread())
        return;
    TEntry& e = table_[size_t(index)];
    if (e.Info && e.Info->PluginProc) {
        try {
            e.Info->PluginProc(TUNOLA_EVENT_QUIT, nullptr, 0);
        } catch (...) {
        }
    }
    e.Info = nullptr;
    if (e.Module)
        ClosePluginLibrary(e.Module);
    e.Module = nullptr;
}

void TUSGeneralPurpose::UnloadAll() {
    for (int i = 0; i < count_; ++i)
        UnloadPlugin(i);
    count_ = 0;
}

int32_t TUSGeneralPurpose::Broadcast(const std::array<TEntry, kMaxPlugins>& table, int count,
                                     int32_t event, void* pointer, int32_t value) {
    int32_t result = 1;
    for (int i = 0; i < count; ++i) {
        const TEntry& e = table[size_t(i)];
        if (!e.Info || !e.Info->PluginProc)
            continue;
        try {
            result = e.Info->PluginProc(event, pointer, value);
        } catch (...) {
        }
    }
    return result;
}

int32_t TUSGeneralPurpose::PluginBroadcast(int32_t event, void* pointer, int32_t value) {
    return Broadcast(table_, count_, event, pointer, value);
}

void TUSGeneralPurpose::TrackStarted(const TZuPlaylistItem& entry) {
    if (count_ == 0 || stuck_)
        return;
    TTrack track{entry.FileName(), entry.Title(), entry.Artist(), entry.LongTime()};
    {
        std::lock_guard lock(shared_->Mutex);
        if (shared_->Stop)
            return;
        shared_->Queue.push_back(std::move(track));
    }
    shared_->Wake.notify_one();
    // The first track starts the thread. Only the opening worker calls this, one at a time,
    // and never after UnloadAll began (the player ends the worker first).
    if (!thread_.joinable()) {
        {
            std::lock_guard lock(shared_->Mutex);
            shared_->Table = table_;
            shared_->Count = count_;
        }
        thread_ = std::thread(&TUSGeneralPurpose::TrackThread, shared_);
    }
}

void TUSGeneralPurpose::TrackThread(std::shared_ptr<TShared> shared) {
    std::unique_lock lock(shared->Mutex);
    for (;;) {
        shared->Wake.wait(lock, [&] { return shared->Stop || !shared->Queue.empty(); });
        if (shared->Queue.empty())
            break; // stopping, and everything was delivered
        TTrack track = std::move(shared->Queue.front());
        shared->Queue.pop_front();
        shared->Busy = true;
        lock.unlock();
        TTrackInfo info{};
        info.FileName = track.FileName.c_str();
        info.Length = track.Length;
        info.Title = track.Title.c_str();
        info.TitleLength = int32_t(std::min<size_t>(track.Title.size(), INT32_MAX));
        info.Artist = track.Artist.c_str();
        info.ArtistLength = int32_t(std::min<size_t>(track.Artist.size(), INT32_MAX));
        Broadcast(shared->Table, shared->Count, TUNOLA_EVENT_TRACK, &info, 0);
        lock.lock();
        shared->Busy = false;
        shared->Idle.notify_all();
    }
    shared->Finished = true;
    shared->Idle.notify_all();
}

void TUSGeneralPurpose::WaitForTracks() {
    std::unique_lock lock(shared_->Mutex);
    shared_->Idle.wait(lock, [&] { return shared_->Queue.empty() && !shared_->Busy; });
}

bool TUSGeneralPurpose::StopTrackThread() {
    if (stuck_)
        return false;
    if (!thread_.joinable())
        return true;
    std::unique_lock lock(shared_->Mutex);
    shared_->Stop = true;
    shared_->Wake.notify_one();
    if (!shared_->Idle.wait_for(lock, kQuitWait, [&] { return shared_->Finished; })) {
        // A plug-in does not come back: leave it be; its thread keeps the shared state alive.
        lock.unlock();
        thread_.detach();
        stuck_ = true;
        return false;
    }
    lock.unlock();
    thread_.join();
    return true;
}

} // namespace tunola
