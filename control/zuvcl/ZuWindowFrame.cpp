#include "ZuWindowFrame.h"

#include "ZuPixelCopy.h"

#include <algorithm>

namespace tunola {

namespace {

void Put(TZuBitmap32& surface, const TZuBitmap32& image, const TZuPiece& piece, int32_t x,
         int32_t y) {
    CopyPixels(surface, x, y, image, piece.Rect());
}

// Tiles `piece` along a row from `from` while x <= `last`. `piece.W` is the step.
void TileRow(TZuBitmap32& surface, const TZuBitmap32& image, const TZuPiece& piece, int32_t from,
             int32_t last, int32_t y) {
    const int32_t step = std::max<int32_t>(piece.W, 1);
    for (int32_t x = from; x <= last; x += step)
        Put(surface, image, piece, x, y);
}

} // namespace

void PaintWindowFrame(TZuBitmap32& surface, int32_t width, int32_t height, TColor32 color,
                      const TZuBitmap32& image, const TZuFramePieces& p) {
    surface.SetSize(width, height);
    if (surface.Empty())
        return;
    surface.BeginUpdate();
    surface.Clear(color);
    const int32_t w = width;
    const int32_t h = height;

    Put(surface, image, p.TopLeft, 0, 0);
    if (p.TitleCenter.W <= 0) {
        TileRow(surface, image, p.TopMiddle, p.TopLeft.W, w - p.TopRight.W, 0);
    } else {
        const int32_t mid = w / 2 - p.TitleCenter.W / 2;
        TileRow(surface, image, p.TopMiddle, p.TopLeft.W, mid, 0);
        Put(surface, image, p.TitleCenter, mid, 0);
        TileRow(surface, image, p.TopMiddle, mid + p.TitleCenter.W, w - p.TopRight.W, 0);
    }
    Put(surface, image, p.TopRight, w - p.TopRight.W, 0);

    const int32_t sideStep = std::max<int32_t>(p.LeftMiddle.H, 1);
    for (int32_t y = p.TopLeft.H; y <= h - p.BottomLeft.H; y += sideStep) {
        Put(surface, image, p.LeftMiddle, 0, y);
        Put(surface, image, p.RightMiddle, w - p.RightMiddle.W, y);
    }

    Put(surface, image, p.BottomLeft, 0, h - p.BottomLeft.H);
    TileRow(surface, image, p.BottomMiddle, p.BottomLeft.W, w - p.BottomRight.W,
            h - p.BottomMiddle.H);
    Put(surface, image, p.BottomRight, w - p.BottomRight.W, h - p.BottomRight.H);
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
