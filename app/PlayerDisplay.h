#pragma once
// What the playback controller shows and reads on the main window, by the controls' names.
// The main window implements it with whatever controls the skin gives it; all calls come on the
// UI thread.

#include <QString>

namespace tunola {

class IPlayerDisplay {
public:
    virtual ~IPlayerDisplay() = default;

    virtual void vb_playSetChecked(bool checked) = 0;
    virtual bool vb_soundChecked() const = 0;
    virtual void vb_soundSetChecked(bool checked) = 0;
    virtual int pgb_musicPosition() const = 0;
    virtual void pgb_musicSetPosition(int seconds) = 0;
    virtual void pgb_musicSetMax(int seconds) = 0;
    virtual int pgb_volumePosition() const = 0;
    virtual void pgb_volumeSetEnabled(bool enabled) = 0;
    virtual void vl_titleSetText(const QString& text) = 0;
    virtual void vl_timeSetText(const QString& text) = 0;
    virtual QString vl_stackText() const = 0;
    virtual void vl_stackSetText(const QString& text) = 0;
    virtual void SetTrayHint(const QString& hint) = 0;
    // A second start of the program wants the main window in front.
    virtual void ShowMainWindow() = 0;

    // A track started playing (load its lyrics).
    virtual void TrackStarted() {}
    // Whether the lyric windows are visible, and the lyric hand-off of each tick: the display
    // takes the position, and returns its current line.
    virtual bool LyricsVisible() const { return false; }
    virtual QString LyricsAt(int /*milliseconds*/) { return {}; }
    virtual void ShowDesktopLyric(const QString& /*line*/) {}
    // The spectrum of each tick, when the main window is visible and a painter exists.
    virtual bool SpectrumWanted() const { return false; }
    virtual void DrawSpectrum(const float* /*magnitudes*/, int /*count*/) {}
};

} // namespace tunola
