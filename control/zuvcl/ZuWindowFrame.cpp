#include "ZuWindowFrame.h"

#include "ZuPixelCopy.h"

#include <algorithm>

namespace tunola {

namespace {

// The part of a window's frame being painted: `surface` lies with its top-left corner at
// (Left, Top) of the window, and only window pixels inside Clip are written.
struct TFrameArea {
    TZuBitmap32& Surface;
    const TZuBitmap32& Image;
    int32_t Left;
    int32_t Top;
    TZuRect Clip; // window coordinates
};

// Copies `piece` with its top-left corner at window point (x, y), cut to the area.
void Put(const TFrameArea& a, const TZuPiece& piece, int32_t x, int32_t y) {
    const TZuRect at = ZuIntersect(ZuBounds(x, y, piece.W, piece.H), a.Clip);
    if (at.IsEmpty())
        return;
    const TZuRect from = ZuBounds(piece.X + (at.Left - x), piece.Y + (at.Top - y),
                                  int32_t(at.Width()), int32_t(at.Height()));
    CopyPixels(a.Surface, at.Left - a.Left, at.Top - a.Top, a.Image, from);
}

// The first of the tiles at from, from + step, ... that can reach `clipStart`, a tile being at
// most `extent` long: the ones before it end before the area and are not visited.
int32_t FirstTile(int32_t from, int32_t step, int32_t extent, int32_t clipStart) {
    const int64_t gap = int64_t(clipStart) - from - std::max<int32_t>(extent, 0);
    return gap <= 0 ? from : int32_t(from + gap / step * step);
}

// Tiles `piece` along a row from `from` while x <= `last`. `piece.W` is the step.
void TileRow(const TFrameArea& a, const TZuPiece& piece, int32_t from, int32_t last, int32_t y) {
    const int32_t step = std::max<int32_t>(piece.W, 1);
    for (int64_t x = FirstTile(from, step, piece.W, a.Clip.Left);
         x <= last && x < a.Clip.Right; x += step)
        Put(a, piece, int32_t(x), y);
}

} // namespace

void PaintWindowFrame(TZuBitmap32& surface, int32_t width, int32_t height, TColor32 color,
                      const TZuBitmap32& image, const TZuFramePieces& p) {
    surface.SetSize(width, height);
    PaintWindowFrameArea(surface, 0, 0, width, height, color, image, p);
}

void PaintWindowFrameArea(TZuBitmap32& surface, int32_t left, int32_t top, int32_t width,
                          int32_t height, TColor32 color, const TZuBitmap32& image,
                          const TZuFramePieces& p) {
    if (surface.Empty())
        return;
    const TZuRect clip = ZuIntersect(ZuBounds(0, 0, width, height),
                                     ZuBounds(left, top, surface.Width(), surface.Height()));
    if (clip.IsEmpty())
        return;
    const TFrameArea area{surface, image, left, top, clip};
    surface.BeginUpdate();
    surface.FillRect(ZuBounds(clip.Left - left, clip.Top - top, int32_t(clip.Width()),
                              int32_t(clip.Height())),
                     color);
    const int32_t w = width;
    const int32_t h = height;

    Put(area, p.TopLeft, 0, 0);
    if (p.TitleCenter.W <= 0) {
        TileRow(area, p.TopMiddle, p.TopLeft.W, w - p.TopRight.W, 0);
    } else {
        const int32_t mid = w / 2 - p.TitleCenter.W / 2;
        TileRow(area, p.TopMiddle, p.TopLeft.W, mid, 0);
        Put(area, p.TitleCenter, mid, 0);
        TileRow(area, p.TopMiddle, mid + p.TitleCenter.W, w - p.TopRight.W, 0);
    }
    Put(area, p.TopRight, w - p.TopRight.W, 0);

    // The two sides step by the left piece's height; the right one may be taller and overlap.
    const int32_t sideStep = std::max<int32_t>(p.LeftMiddle.H, 1);
    const int32_t sideExtent = std::max(p.LeftMiddle.H, p.RightMiddle.H);
    for (int64_t y = FirstTile(p.TopLeft.H, sideStep, sideExtent, clip.Top);
         y <= h - p.BottomLeft.H && y < clip.Bottom; y += sideStep) {
        Put(area, p.LeftMiddle, 0, int32_t(y));
        Put(area, p.RightMiddle, w - p.RightMiddle.W, int32_t(y));
    }

    Put(area, p.BottomLeft, 0, h - p.BottomLeft.H);
    TileRow(area, p.BottomMiddle, p.BottomLeft.W, w - p.BottomRight.W, h - p.BottomMiddle.H);
    Put(area, p.BottomRight, w - p.BottomRight.W, h - p.BottomRight.H);
    surface.EndUpdate();
    surface.Changed();
}

QRegion CornerCutOut(const TZuBitmap32& image, const TZuPiece& piece) {
    QRegion region;
    const TZuRect inside = ZuIntersect(piece.Rect(), image.BoundsRect());
    if (inside.IsEmpty())
        return region;
    // One rectangle per run of see-through pixels in each row.
    for (int32_t y = inside.Top; y < inside.Bottom; ++y) {
        const TColor32* row = image.ScanLine(y);
        int32_t x = inside.Left;
        while (x < inside.Right) {
            if (AlphaComponent(row[x]) == 255) {
                ++x;
                continue;
            }
            const int32_t start = x;
            while (x < inside.Right && AlphaComponent(row[x]) < 255)
                ++x;
            region += QRect(start - piece.X, y - piece.Y, x - start, 1);
        }
    }
    return region;
}

TZuCornerCutOuts CornerCutOuts(const TZuBitmap32& image, const TZuFramePieces& pieces) {
    return {CornerCutOut(image, pieces.TopLeft), CornerCutOut(image, pieces.BottomLeft),
            CornerCutOut(image, pieces.TopRight), CornerCutOut(image, pieces.BottomRight)};
}

QRegion WindowShape(QSize size, const TZuCornerCutOuts& c, const TZuFramePieces& p) {
    const int w = size.width();
    const int h = size.height();
    QRegion shape(0, 0, w, h);
    // Subtracted rather than exclusive-or'ed: on a window too small for its corners the
    // cut-outs overlap, and a second cut must not give back what the first took.
    shape -= c.TopLeft;
    shape -= c.TopRight.translated(w - p.TopRight.W, 0);
    shape -= c.BottomLeft.translated(0, h - p.BottomLeft.H);
    shape -= c.BottomRight.translated(w - p.BottomRight.W, h - p.BottomRight.H);
    return shape;
}

} // namespace tunola
