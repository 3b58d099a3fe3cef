#pragma once
// TSpectrum: a bar spectrum analyser with falling bars and held peak markers. It owns a back
// buffer the size of its box; each frame updates the bar and peak heights from the FFT
// magnitudes, draws them into the buffer and copies the buffer to the target in one go, so the
// box never flickers. No allocation per frame. UI thread only.

#include <ZuBitmap32.h>
#include <ZuColor32.h>

#include <array>
#include <cstdint>
#include <span>

class QPainter;

namespace tunola {

class TSpectrum {
public:
    static constexpr int kBars = 129; // bars 0..128

    TSpectrum(int width, int height);

    // Colours are platform colours (0x00BBGGRR).
    TColor BackColor = 0;
    int32_t MaxHeight = 100;
    TColor BarColor = 0xFFFFFF;
    TColor PeakColor = 0x00FFFF; // yellow
    int32_t BarStyle = 0;        // 0 one-pixel lines, 1 blocks, anything else no bars
    int32_t LastBar = 128;       // bars 0..LastBar are drawn; more than 128 counts as 128
    bool ClearBack = true;
    int32_t FallStep = 3;
    int32_t BarWidth = 5;
    bool ShowPeaks = true;

    // Draws one frame from `magnitudes` (the player passes the 256 values of a 512-sample FFT;
    // missing values count as silence) into the back buffer, then copies the buffer to `target`
    // at (0, 0) when one is given. `reset` drops every bar and peak to 0. Returns whether the
    // frame differs from the one before (settled silence draws the same frame again and again,
    // which a caller need not show).
    bool Paint(QPainter* target, std::span<const float> magnitudes, int xOffset, int yOffset,
               bool reset);
    // Copies the last frame again (an expose of the box).
    void CopyTo(QPainter& target);

    const TZuBitmap32& BackBuffer() const { return back_; }
    int32_t Peak(int i) const { return peaks_[size_t(i)]; }
    int32_t Bar(int i) const { return bars_[size_t(i)]; }
    int32_t Hold(int i) const { return holds_[size_t(i)]; }

private:
    TZuBitmap32 back_;
    int32_t peakFall_ = 0;
    bool drawn_ = false; // a first frame was drawn
    int lastX_ = 0, lastY_ = 0;
    std::array<int32_t, kBars> peaks_{};
    std::array<int32_t, kBars> bars_{};
    std::array<int32_t, kBars> holds_{};
};

} // namespace tunola
