#pragma once
// What the playlist window asks of the window that plays: to play an entry, to stop, and to
// show whether the playlist window is open. The main window implements it; tests fake it.
// UI thread only.

namespace tunola {

class IPlaylistHost {
public:
    virtual ~IPlaylistHost() = default;

    // The user chose entry `index` to play now (a double click, Enter): it becomes the play
    // index as a direct choice, even in random play, and playback starts there.
    virtual void PlayEntry(int index) = 0;
    // Stop what plays: the progress timer, the playing state and the stream.
    virtual void StopPlayback() = 0;
    // The main window's playlist button shows whether the playlist window is open.
    virtual void SetListButtonChecked(bool checked) = 0;
};

} // namespace tunola
