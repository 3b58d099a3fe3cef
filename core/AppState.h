#pragma once
// The process-wide values of the player. The main window owns the one instance and hands it to
// whatever needs it; nothing reaches it through a global.

#include "PlayTypes.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace tunola {

struct TAppState {
    // Folders, each with a trailing "/". Paths are UTF-8.
    std::string ProgramDir;   // holds skin/ and plugins/ and the audio add-ons
    std::string UserDir;      // Documents + "Tunola/"
    std::string LyricDir;     // where lyric files are looked for and saved
    std::string PlaylistFile; // the current playlist file
    std::string SkinName;     // folder name of the current skin
    std::string SkinDir;      // ProgramDir + "skin/" + SkinName + "/"

    TPlayMode PlayMode = pmSingle;
    TPlayState PlayState = psStopped;
    int32_t PlayIndex = 0;
    // Written by the stream-opening worker, read on the UI thread.
    std::atomic<bool> DirectIndex{false};
    std::atomic<uint32_t> CurrentStream{0};
    std::atomic<double> TrackLength{0.0}; // days
    double TrackPosition = 0.0;           // days
    std::atomic<uint32_t> StreamEndBytes{0};
    std::atomic<bool> ServiceOnline{false};
};

} // namespace tunola
