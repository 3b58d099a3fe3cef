#pragma once
// The lyrics of the playing track on screen: the lyrics window, the desktop lyrics and the
// loader that finds each track's lyric. The main window hands over each track start and each
// 33 ms tick; this part decides what the two windows show.
// UI thread only (the loader's worker is its own: LyricLoader.h).

#include "LyricLoader.h"
#include "TunDeskTopLrc.h"
#include "TunLrc.h"

#include <functional>
#include <memory>

namespace tunola {

class TLyricsWindows {
public:
    struct TParts {
        ILyricDown* Service = nullptr;
        std::function<bool()> ServiceOnline;
        TLyricLoader::TPost Post;
        // A download found the lyric but could not keep it: show this warning.
        std::function<void(const QString& caption, const QString& text)> Warn;
        // The lookup has finished with `text` (empty when there is none): the upload hand-off.
        std::function<void(const TLyricTrack& track, const std::string& text)> OnLyricFound;
    };
    explicit TLyricsWindows(TParts parts);
    ~TLyricsWindows();

    TTunLrc& Lyrics() { return *lyrics_; }
    TTunDeskTopLrc& Desktop() { return *desktop_; }

    // A track has started: its lyric from the first source that has one; the display shows
    // the empty lyric (its trailer) until a download ends. `lengthMs`: the track's length.
    void LoadLyrics(const TLyricTrack& track, const std::filesystem::path& lyricDir,
                    int64_t lengthMs);
    bool DownloadPending() const { return loader_.Pending(); }

    // Either window is on the screen: the tick has something to feed.
    bool Visible() const;
    // The tick: the display's position; returns its current line.
    QString LyricsAt(int milliseconds);
    void ShowDesktopText(const QString& text) { desktop_->ShowDesktopText(text); }

    void ToggleLyrics();
    void ToggleDesktop();

private:
    void Show(const std::string& text, int64_t lengthMs);

    TParts parts_;
    std::unique_ptr<TTunLrc> lyrics_;
    std::unique_ptr<TTunDeskTopLrc> desktop_;
    TLyricLoader loader_;
};

} // namespace tunola
