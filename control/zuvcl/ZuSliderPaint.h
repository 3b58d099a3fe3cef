#pragma once
// Drawing the sliders from their skin image. Pure functions: the slider gathers its state into
// a TZuSliderLook and the painters draw onto the canvas that holds its backdrop.

#include "ZuBitmap32.h"
#include "ZuPiece.h"
#include "ZuSliderMath.h"

namespace tunola {

enum class TZuThumbState : uint8_t { tsNormal, tsPressedThumb, tsPressedTrack, tsHighlighted };

struct TZuSliderLook {
    TZuSliderKind Kind = skHorizontal;
    TZuSliderStyle Style = ssComplex;
    int Width = 0;
    int Height = 0;
    int Offset = 0;        // the thumb along the track; a rotator's frame offset
    int PreviewOffset = 0; // where a drag would put the thumb
    TZuThumbState State = TZuThumbState::tsNormal;
    TZuPiece Normal; // thumb pictures (X, Y; the thumb size in W, H)
    TZuPiece Pressed;
    TZuPiece Highlighted;
    // TZuSliderBlendEx only: the plain track (A) and the fill (B), and the end caps' width.
    TZuPiece TileA{0, 0, 25, 25};
    TZuPiece TileB{0, 0, 25, 25};
    int Border = 0;
    // Draw the half-transparent pressed thumb at PreviewOffset while pressed.
    bool ShowPreview = false;
};

// TZuSliderBlendEx: the track from pieces A and B with end caps, tiled along the control; the
// fill styles (ssSimple, ssMix) show piece B (A for skVertical) from the start of the track to
// the thumb; then the thumb.
void PaintSliderBlendEx(TZuBitmap32& canvas, const TZuBitmap32& image, const TZuSliderLook& look);

// TZuSlider and TZuSliderBlend: the image's first row (column, for skVertical) as high (wide)
// as the control is the empty track, the second the fill; thumbs by their pictures.
void PaintSliderRows(TZuBitmap32& canvas, const TZuBitmap32& image, const TZuSliderLook& look);

} // namespace tunola
