#pragma once
// Painting an area through a band: a picture a few rows high, kept from paint to paint, into
// which each strip of the area is composed before it is copied to the screen. A paint of any
// size then needs only the band's memory and allocates nothing once the band is wide enough.

#include "ZuBitmap32.h"

#include <QPainter>
#include <QRect>

#include <algorithm>

namespace tunola {

// The band the windows' frames and the playlist view paint through: one per thread (paints of
// a thread never nest), kept from paint to paint, at most kThreadBandPixels (64 KiB). A band's
// pixels mean nothing between paints.
constexpr int kThreadBandPixels = 16 * 1024;
inline TZuBitmapEx32& ThreadPaintBand() {
    thread_local TZuBitmapEx32 band;
    return band;
}

// Composes `area` strip by strip: `compose(strip)` draws one strip into `band` (the band's
// top-left pixel is the strip's top-left corner), which is then copied to `screen` clipped to
// the strip. The band is widened to the area, as many rows high as `pixels` allow, and never
// narrowed. Nothing is drawn when no band can be had.
template <class TCompose>
void PaintThroughBand(TZuBitmap32& band, int pixels, QPainter& screen, const QRect& area,
                      TCompose&& compose) {
    if (area.isEmpty())
        return;
    if (band.Width() < area.width())
        band.SetSize(area.width(), std::max(1, pixels / area.width()));
    if (band.Empty())
        return;
    for (int top = area.top(); top <= area.bottom(); top += band.Height()) {
        const QRect strip(area.left(), top, area.width(),
                          std::min(band.Height(), area.bottom() + 1 - top));
        compose(strip);
        screen.save();
        screen.setClipRect(strip);
        band.SpendToDC(screen, strip.left(), strip.top());
        screen.restore();
    }
}

} // namespace tunola
