#pragma once
// Play mode and playback state, shared by the main window, the playlist and the remote control.

#include <cstdint>

namespace tunola {

enum TPlayMode : uint8_t { pmSingle = 0, pmRandom = 1, pmRepeat = 2, pmOneRepeat = 3 };
enum TPlayState : uint8_t { psStopped = 0, psPaused = 1, psPlaying = 2 };

// The configuration stores the mode as "PATTERN": 0 none, 1 repeat the list, 2 random,
// 3 repeat one track. Any other number leaves the mode at pmSingle.
constexpr TPlayMode PlayModeFromPattern(int pattern) {
    switch (pattern) {
    case 0:
        return pmSingle;
    case 1:
        return pmRepeat;
    case 2:
        return pmRandom;
    case 3:
        return pmOneRepeat;
    default:
        return pmSingle;
    }
}

constexpr int PatternFromPlayMode(TPlayMode mode) {
    switch (mode) {
    case pmSingle:
        return 0;
    case pmRepeat:
        return 1;
    case pmRandom:
        return 2;
    case pmOneRepeat:
        return 3;
    }
    return 0;
}

static_assert(PatternFromPlayMode(PlayModeFromPattern(2)) == 2);
static_assert(PlayModeFromPattern(PatternFromPlayMode(pmOneRepeat)) == pmOneRepeat);

} // namespace tunola
