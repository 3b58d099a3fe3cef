#pragma once
// What other programs may ask of the player — the hand-over of a second start, tunola-remote's
// verbs, the desktop bus — as one set of operations over the playback controller and the main
// window's controls. Every way in acts exactly as the buttons do, so the controls, the
// configuration and the answers never disagree.
//
// UI thread only. The signals tell listeners (the desktop bus) what changed, whichever way the
// change came: the buttons, the sliders, the menus or these operations.

#include <AppState.h>

#include <QObject>
#include <QPoint>
#include <QStringList>

#include <functional>
#include <optional>

namespace tunaudio {
class TAudioLibrary;
}

namespace tunola {

class TZuCheckedButton;
class TZuSliderBlendEx;
class TPlaybackController;
class TTunPlayList;
class TZuPlaylistItem;

class TPlayerActions : public QObject {
    Q_OBJECT
public:
    // Any of the pointers may be null (a player without sound, tests): the operations that
    // need them then do nothing.
    struct TParts {
        TAppState* State = nullptr;
        tunaudio::TAudioLibrary* Audio = nullptr;
        TPlaybackController* Controller = nullptr;
        TTunPlayList* Playlist = nullptr;
        TZuSliderBlendEx* Music = nullptr;
        TZuSliderBlendEx* Volume = nullptr;
        TZuCheckedButton* Sound = nullptr;
        // The main window's skin menu and its windows, for scripts that drive the player.
        std::function<bool(const QByteArray& folder)> ChooseSkin = nullptr;
        std::function<bool(const QByteArray& window, QPoint delta)> DragWindow = nullptr;
        // The line the lyrics window shows now; absent without lyric windows.
        std::function<QString()> LyricLine = nullptr;
    };
    explicit TPlayerActions(TParts parts, QObject* parent = nullptr);

    void PlayPause();
    void Play();
    void Pause();
    void Stop();
    void Next();
    void Previous();

    TPlayState State() const;
    // Seconds into the playing track, and its length (0 when unknown).
    double Position() const;
    double Length() const;
    // Moves within the playing track; false when nothing plays or the track cannot seek.
    bool Seek(double seconds);

    // 0 to 100, the volume slider's position (also while muted).
    int Volume() const;
    void SetVolume(int percent);
    bool Muted() const;
    void SetMuted(bool muted);

    TPlayMode Mode() const;
    void SetMode(TPlayMode mode);

    // The entry that plays or played last, or null.
    const TZuPlaylistItem* Current() const;
    // Index of that entry in the list, or −1.
    int CurrentIndex() const;
    int Count() const;
    // Plays entry `index` of the list as a double click does.
    void PlayAt(int index);
    // Opens entry `index` paused at `seconds`, without a sound (the last session's track).
    void ResumePaused(int index, double seconds);
    // Entry `index` of the list, or null.
    const TZuPlaylistItem* EntryAt(int index) const;

    // Deletes entry `index` as selecting it and the playlist menu's delete do (deleting the
    // playing entry stops it); false when there is no such entry.
    bool Remove(int index);
    // Adds files, folders, addresses and playlists at the end of the list; when `play` is set,
    // the first entry added plays. Returns the number of entries added.
    int Open(const QStringList& items, bool play);

    // Chooses the skin in folder `folder` as its skin menu entry does; false when there is no
    // such entry.
    bool ChooseSkin(const QByteArray& folder);
    // Drags window "main" or "playlist" by `delta` as the mouse does; false for other names.
    bool DragWindow(const QByteArray& window, QPoint delta);

    // "key=value" lines: state (playing, paused, stopped), position and length in seconds,
    // title, artist.
    QByteArray StatusText() const;

signals:
    // Playing, paused or stopped changed, or another track started.
    void PlaybackChanged();
    // The position jumped (a seek from anywhere); seconds.
    void Seeked(double seconds);
    void VolumeChanged();
    void ModeChanged();

private:
    void Watch();
    // Rows of entries that did not open are marked with the reason; playing clears the mark.
    void MarkFailures(int32_t code, int64_t lParam);

    TParts p_;
};

} // namespace tunola
