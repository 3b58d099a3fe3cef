#pragma once
// What the music library window asks of the rest of the player: add an internet entry to the
// playlist, play an entry, and learn that the window was closed. The main window implements it.
// UI thread only.

#include <string>

namespace tunola {

struct TShareEntry {
    std::string FileName; // the playable address
    std::string Title;
    std::string Artist;
};

class IShareHost {
public:
    virtual ~IShareHost() = default;
    // Appends an internet entry (caption title + " - " + artist, no length yet), rebuilds the
    // random order and saves the list; returns the new entry's index, or -1 when there is no
    // playlist.
    virtual int AppendInternetEntry(const TShareEntry& entry) = 0;
    // Plays entry `index` at once.
    virtual void PlayEntryNow(int index) = 0;
    // The window's close button hid it.
    virtual void ShareWindowClosed() = 0;
};

} // namespace tunola
