#pragma once
// The codes of the player's notifications: what the workers (and a second start of the program)
// tell the main window through the notification channel (NotifyPoster.h).

#include <cstdint>

namespace tunola {

enum TNotifyCode : int32_t {
    ncStatusText = 0,      // lParam: text for the status label
    ncServiceChecked = 90, // lParam 1: the service answered with its marker; 0: it did not
    ncUpdateOffered = 91,  // lParam: the service's version number; text: the updater's parameter
    ncTrackLength = 94,    // lParam: length in whole seconds
    ncOpening = 95,        // lParam 1: the worker starts; 2: the stream plays
    ncPlayState = 97,      // lParam 0 playing, 1 paused, 2 stopped at the end of a track
    ncOpenFailed = 98,     // nothing could be opened
    ncShowMain = 99,       // a second start of the program wants the main window in front
};

} // namespace tunola
