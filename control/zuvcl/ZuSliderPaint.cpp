#include "ZuSliderPaint.h"

#include <algorithm>
#include <cstdlib>

namespace tunola {

namespace {

// Lays a horizontal description onto the slider's axis: offsets and lengths along the track
// become x and widths, or y and heights for a vertical slider.
struct Axis {
    bool Vertical;

    int Length(const TZuPiece& p) const { return Vertical ? p.H : p.W; }
    // `len` pixels of `p` from `from` along the axis, across its whole breadth.
    TZuRect Part(const TZuPiece& p, int from, int len) const {
        return Vertical ? ZuBounds(p.X, p.Y + from, p.W, len) : ZuBounds(p.X + from, p.Y, len, p.H);
    }
    TZuRect Middle(const TZuPiece& p, int border) const {
        return Part(p, border, Length(p) - 2 * border);
    }
    int X(int along) const { return Vertical ? 0 : along; }
    int Y(int along) const { return Vertical ? along : 0; }
};

void DrawThumb(TZuBitmap32& canvas, const TZuBitmap32& image, const TZuSliderLook& look,
               const Axis& axis) {
    const TZuPiece* picture = &look.Normal;
    const bool pressed =
        look.State == TZuThumbState::tsPressedThumb || look.State == TZuThumbState::tsPressedTrack;
    if (pressed)
        picture = &look.Pressed;
    else if (look.State == TZuThumbState::tsHighlighted)
        picture = &look.Highlighted;
    image.Draw(canvas, axis.X(look.Offset), axis.Y(look.Offset), picture->Rect());
    // The preview: where the thumb goes on release.
    if (pressed && look.ShowPreview && look.PreviewOffset != look.Offset)
        image.DrawBlended(canvas, axis.X(look.PreviewOffset), axis.Y(look.PreviewOffset), 127,
                          look.Pressed.Rect());
}

void DrawRotator(TZuBitmap32& canvas, const TZuBitmap32& image, const TZuSliderLook& look) {
    image.Draw(canvas, 0, 0, ZuBounds(0, look.Offset, look.Width, look.Height));
}

} // namespace

void PaintSliderBlendEx(TZuBitmap32& canvas, const TZuBitmap32& image, const TZuSliderLook& look) {
    if (look.Style == ssRotator) {
        DrawRotator(canvas, image, look);
        return;
    }
    const Axis axis{look.Kind == skVertical};
    // Along a vertical slider the pieces swap roles: B is the plain track, A the fill above
    // the thumb.
    const TZuPiece& track = axis.Vertical ? look.TileB : look.TileA;
    const TZuPiece& fill = axis.Vertical ? look.TileA : look.TileB;
    const bool plain = look.Style == ssComplex;
    const int length = axis.Vertical ? look.Height : look.Width;
    const int border = look.Border;
    const int p = look.Offset;
    auto put = [&](const TZuRect& src, int along) {
        image.Draw(canvas, axis.X(along), axis.Y(along), src);
    };

    if (border > 0) {
        put(axis.Part(track, 0, border), 0);
        if (!plain)
            put(axis.Part(fill, 0, p), 0);
    }
    // A track piece no longer than its two caps would never advance.
    const int step = std::max(axis.Length(track) - 2 * border, 1);
    bool reachedThumb = false;
    for (int at = border; at < length; at += step) {
        if (at >= p || plain) {
            // The fill's last tile runs past the thumb; the first plain tile starts right at
            // the thumb to cover it.
            if (!plain && !reachedThumb && border < p)
                at = p;
            reachedThumb = true;
            put(axis.Middle(track, border), at);
        } else {
            put(axis.Middle(fill, border), at);
        }
    }
    if (!plain)
        put(axis.Middle(track, border), std::max(border, p));
    if (border > 0) {
        put(axis.Part(track, axis.Length(track) - border, border), length - border);
        if (!plain && p > length - border)
            put(axis.Part(fill, axis.Length(fill) - border, std::abs(p + border - length)),
                length - border);
    }
    DrawThumb(canvas, image, look, axis);
}

void PaintSliderRows(TZuBitmap32& canvas, const TZuBitmap32& image, const TZuSliderLook& look) {
    if (look.Style == ssRotator) {
        DrawRotator(canvas, image, look);
        return;
    }
    const Axis axis{look.Kind == skVertical};
    const int w = look.Width;
    const int h = look.Height;
    image.Draw(canvas, 0, 0, ZuBounds(0, 0, w, h));
    if (look.Style != ssComplex) {
        const TZuRect fill =
            axis.Vertical ? ZuBounds(w, 0, w, look.Offset) : ZuBounds(0, h, look.Offset, h);
        image.Draw(canvas, 0, 0, fill);
    }
    if (look.Style != ssSimple)
        DrawThumb(canvas, image, look, axis);
}

} // namespace tunola
