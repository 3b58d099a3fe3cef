#pragma once
// The player's service libraries: lrcdown (lyric download) and msearch (music search) in the
// program folder. Each is loaded, asked for its object through its factory and kept with it;
// the object is deleted before its library is unloaded. A missing library, a missing factory or
// a null result leaves no object, and the feature that needs it stays off.
//
// UI thread only (start-up, the first search, shut-down). The objects themselves are used on
// workers as their interfaces say.

#include "ServiceFactories.h"

#include <memory>
#include <string>
#include <utility>

namespace tunola {

class ILyricDown;
class IMusicSearch;

// One library and the object its factory made.
template <class T> class TServiceObject {
public:
    using TFactory = T* (*)(const char* interfaceId, const char* host);

    TServiceObject() = default;
    TServiceObject(TServiceObject&& other) noexcept { *this = std::move(other); }
    TServiceObject& operator=(TServiceObject&& other) noexcept {
        if (this != &other) {
            Reset();
            object_ = std::exchange(other.object_, nullptr);
            library_ = std::exchange(other.library_, nullptr);
        }
        return *this;
    }
    ~TServiceObject() { Reset(); }

    // Loads `file` and calls its `factory`; an empty holder when any of that fails.
    static TServiceObject Load(const std::string& file, const char* factory,
                               const char* interfaceId, const std::string& host);

    T* Get() const { return object_; }
    void Reset();

private:
    T* object_ = nullptr;
    void* library_ = nullptr;
};

class TServiceLibraries {
public:
    // `programDir` ends with "/"; `host` is the service's "host:port".
    TServiceLibraries(std::string programDir, std::string host);

    // Loads lrcdown; the object or null.
    ILyricDown* LoadLyricDown();
    ILyricDown* LyricDown() const { return lyricDown_.Get(); }

    // The search object, loaded on the first call (nothing of it is in memory before the first
    // search); null when it cannot be had, and then it is not tried again.
    IMusicSearch* MusicSearch();

    void ReleaseLyricDown() { lyricDown_.Reset(); }
    void ReleaseMusicSearch() { musicSearch_.Reset(); }

private:
    std::string programDir_;
    std::string host_;
    TServiceObject<ILyricDown> lyricDown_;
    TServiceObject<IMusicSearch> musicSearch_;
    bool musicSearchTried_ = false;
};

} // namespace tunola
