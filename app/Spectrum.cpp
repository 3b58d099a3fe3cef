#include "Spectrum.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tunola {

namespace {

// Fills [left, right) x [top, bottom), cut to the bitmap. The bars are a few pixels wide, so
// plain stores beat a call into the blend routines per row.
void FillBox(TZuBitmap32& b, int32_t left, int32_t top, int32_t right, int32_t bottom,
             TColor32 color) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, b.Width());
    bottom = std::min(bottom, b.Height());
    if (left >= right || top >= bottom)
        return;
    for (int32_t y = top; y < bottom; ++y)
        std::fill_n(b.PixelPtr(left, y), right - left, color);
}

} // namespace

TSpectrum::TSpectrum(int width, int height) {
    back_.SetSize(std::max(width, 0), std::max(height, 0));
    // A fresh box shows its background rather than black until the first frame.
    back_.Clear(Color32(BackColor));
}

bool TSpectrum::Paint(QPainter* target, std::span<const float> magnitudes, int xOffset, int yOffset,
                      bool reset) {
    const int32_t h = back_.Height();
    const int32_t base = yOffset + h;
    if (back_.Empty())
        return false;
    // Anything but the bar heights that changes the picture: the first frame, new settings
    // between frames, or a buffer that is not cleared (bars pile up).
    bool changed = !drawn_ || !ClearBack || xOffset != lastX_ || yOffset != lastY_;
    drawn_ = true;
    lastX_ = xOffset;
    lastY_ = yOffset;
    if (ClearBack)
        std::fill_n(back_.Bits(), size_t(back_.Width()) * size_t(h), Color32(BackColor));
    const TColor32 bar = Color32(BarColor);
    const TColor32 peak = Color32(PeakColor);
    const int last = std::min(LastBar, kBars - 1);
    for (int i = 0; i <= last; ++i) {
        int32_t& p = peaks_[size_t(i)];
        int32_t& b = bars_[size_t(i)];
        const int32_t oldPeak = p, oldBar = b;
        if (reset) {
            p = 0;
            b = 0;
        } else {
            // NaN and negative zero land on 0; anything at or above the cap is the cap.
            const double m = size_t(i) < magnitudes.size() ? magnitudes[size_t(i)] : 0.0f;
            const double scaled = std::fabs(m) * 500.0;
            const int32_t v = scaled >= MaxHeight ? MaxHeight : scaled > 0.0 ? int32_t(scaled) : 0;
            int32_t& hold = holds_[size_t(i)];
            if (v >= p) {
                p = v;
                hold = 0;
            } else {
                ++hold;
                peakFall_ = hold >= 8 ? 3 : 0;
                p -= peakFall_;
            }
            if (v >= b)
                b = v;
            else
                b -= FallStep;
            if (b > p)
                p = b;
            p = std::max(p, 0);
            b = std::max(b, 0);
        }
        changed = changed || p != oldPeak || b != oldBar;
        if (BarStyle == 0) {
            const int32_t x = xOffset + i;
            // From the base up to base - bar, the end row left out.
            if (b > 0)
                FillBox(back_, x, base - b + 1, x + 1, base + 1, bar);
            if (ShowPeaks)
                FillBox(back_, x, base - p, x + 1, base - p + 1, peak);
        } else if (BarStyle == 1) {
            // A skin's bar width can be anything; keep the columns inside 32 bits.
            auto clamp32 = [](int64_t v) {
                return int32_t(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
            };
            const int32_t left = clamp32(xOffset + int64_t(i) * (int64_t(BarWidth) + 1));
            const int32_t right = clamp32(int64_t(left) + BarWidth);
            if (ShowPeaks)
                FillBox(back_, left, base - p - 1, right, base - p, peak);
            FillBox(back_, left, base - b, right, base, bar);
        }
    }
    if (target)
        back_.SpendToDC(*target, 0, 0);
    return changed;
}

void TSpectrum::CopyTo(QPainter& target) {
    // Every colour the buffer is filled with is opaque, so its pixels can go to the screen as
    // they are.
    back_.SpendToDC(target, 0, 0);
}

} // namespace tunola
