#pragma once
// The player's two message numbers. Notifications go from the workers (and a second start of the
// program) to the main window; control requests come from other programs over the local socket.

#include "NotifyCodes.h"

#include <cstdint>

namespace tunola {

constexpr uint32_t WM_PLAYER_NOTIFY = 0x70E;
constexpr uint32_t WM_PLAYER_CONTROL = 0x70F;
// A request that carries a payload: the header's wParam is a TFrameVerb and its lParam the size
// of the UTF-8 payload that follows it. The answer is the usual 8-byte result followed by the
// 8-byte size of the answer's own payload and that payload.
constexpr uint32_t WM_PLAYER_FRAME = 0x710;

// Notification codes (wParam of WM_PLAYER_NOTIFY): NotifyCodes.h.

// Control codes (wParam of WM_PLAYER_CONTROL).
enum TControlCode : int32_t {
    ccMute = 15,
    ccPlayPause = 16,
    ccPrevious = 19,
    ccNext = 20,
    ccCount = 50,
    ccIndex = 51,
};

// Verbs of WM_PLAYER_FRAME. Payloads and answers are UTF-8 text.
enum TFrameVerb : int32_t {
    fvOpen = 1, // items (paths, folders, addresses, playlists), NUL-separated: add, play the first
    fvEnqueue = 2, // the same, only added; result: entries added
    fvStatus = 3,  // answer: "key=value" lines (state, position, title, artist, service, lyric…)
    fvStop = 4,
    fvPause = 5,
    fvSeek = 6,    // payload: the position in seconds ("12.5")
    fvVolume = 7,  // payload: 0 to 100
    fvSkin = 8,    // payload: a skin folder's name, as the skin menu lists it; result 1 if found
    fvMove = 9,    // payload: "main" or "playlist", then the distance "DX DY"; a whole drag
    fvRemove = 10, // payload: an entry's index; deleted as the playlist menu does; result 1 if it
                   // was there
};

} // namespace tunola
