#pragma once
// The window frame drawn from nine pieces of a skin image, and the window shape cut from the
// transparent pixels of its four corner pieces. Pure functions over bitmaps and regions.

#include "ZuBitmap32.h"
#include "ZuPiece.h"

#include <QRegion>
#include <QSize>

namespace tunola {

struct TZuFramePieces {
    TZuPiece TopLeft{0, 0, 5, 5};
    TZuPiece TopMiddle{0, 0, 5, 5};
    TZuPiece TopRight{0, 0, 5, 5};
    TZuPiece BottomLeft{0, 0, 5, 5};
    TZuPiece BottomMiddle{0, 0, 5, 5};
    TZuPiece BottomRight{0, 0, 5, 5};
    TZuPiece LeftMiddle{0, 0, 5, 5};
    TZuPiece RightMiddle{0, 0, 5, 5};
    TZuPiece TitleCenter{0, 0, 0, 0};
};

// Sizes `surface` to `width` x `height`, fills it with `color` and copies the pieces of
// `image` onto it as they are (no blending): the corners, the top edge tiled with the top
// middle piece (around the title piece, centred, when it has a width), the sides tiled with
// the middle pieces, the bottom edge tiled. Tiles may run past their edge; later pieces
// overwrite them. The middle pieces' tiling steps must be positive.
void PaintWindowFrame(TZuBitmap32& surface, int32_t width, int32_t height, TColor32 color,
                      const TZuBitmap32& image, const TZuFramePieces& pieces);

// The same frame for a window of `width` x `height`, painted only where `surface` lies on it
// when its top-left corner sits at (left, top) of the window: each surface pixel inside the
// window gets what PaintWindowFrame would give there, the others are left as they are. Lets a
// window paint what is exposed and a control its backdrop without a picture of the whole frame.
void PaintWindowFrameArea(TZuBitmap32& surface, int32_t left, int32_t top, int32_t width,
                          int32_t height, TColor32 color, const TZuBitmap32& image,
                          const TZuFramePieces& pieces);

// The pixels of `piece` (inside `image`) whose alpha is below 255, as a region relative to the
// piece's top-left corner. Parts of the piece outside the image cut nothing.
QRegion CornerCutOut(const TZuBitmap32& image, const TZuPiece& piece);

struct TZuCornerCutOuts {
    QRegion TopLeft;
    QRegion BottomLeft;
    QRegion TopRight;
    QRegion BottomRight;
};

TZuCornerCutOuts CornerCutOuts(const TZuBitmap32& image, const TZuFramePieces& pieces);

// The shape of a window of size `size`: its rectangle without the cut-outs, each placed in
// its corner by the size of its piece.
QRegion WindowShape(QSize size, const TZuCornerCutOuts& cutOuts, const TZuFramePieces& pieces);

} // namespace tunola
