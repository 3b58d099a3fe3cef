#pragma once
// The player's two message numbers. Notifications go from the workers (and a second start of the
// program) to the main window; control requests come from other programs over the local socket.

#include <cstdint>

namespace tunola {

constexpr uint32_t WM_PLAYER_NOTIFY = 0x70E;
constexpr uint32_t WM_PLAYER_CONTROL = 0x70F;

// Notification codes (wParam of WM_PLAYER_NOTIFY).
enum TNotifyCode : int32_t {
    ncStatusText = 0,   // lParam: text for the status label
    ncTrackLength = 94, // lParam: length in whole seconds
    ncOpening = 95,     // lParam 1: the worker starts; 2: the stream plays
    ncPlayState = 97,   // lParam 0 playing, 1 paused, 2 stopped at the end of a track
    ncOpenFailed = 98,  // nothing could be opened
    ncShowMain = 99,    // a second start of the program wants the main window in front
};

// Control codes (wParam of WM_PLAYER_CONTROL).
enum TControlCode : int32_t {
    ccMute = 15,
    ccPlayPause = 16,
    ccPrevious = 19,
    ccNext = 20,
    ccCount = 50,
    ccIndex = 51,
};

} // namespace tunola
