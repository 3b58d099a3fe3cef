#pragma once
// Blending pixels of one bitmap onto another: the inner loops, in a portable form and in SIMD
// forms picked by the processor probe, and the two transfers built on them (a block copy with
// clipping and a nearest-neighbour stretch).
//
// Blending source pixel S (alpha a) onto destination pixel D works on all four bytes of the pixel
// alike; only the colour bytes matter afterwards, since composed images reach the screen opaque.
//   a = 0: D is left alone;  a = 255 (no master alpha): D = S;  otherwise per byte
//     SIMD paths:    D = (a*S + (256 - a)*D + 128) >> 8
//     portable path: D = ((a*S + 128) >> 8) + (((255 - a)*D + 128) >> 8)
// With a master alpha m the pixel's alpha is replaced first:
//     SIMD paths:    a' = (m*(a + 1)) >> 8, the pixel is skipped when m*(a + 1) <= 255 and the
//                    formula is used even when a' is 255
//     portable path: a' = ((m + 1)*a) >> 8, the pixel is skipped when (m + 1)*a < 256
// The two families differ by one in some channels; each path is exact to its own family.

#include "ZuCPUCaps.h"
#include "ZuColor32.h"
#include "ZuRect.h"

#include <cstdint>

namespace tunola {

// A block of pixels: rows top-down, Width pixels per row, no padding between rows.
struct TZuPixelMap {
    TColor32* Bits = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;

    bool IsEmpty() const { return Bits == nullptr || Width <= 0 || Height <= 0; }
};

enum class TZuBlendPath { Portable, SSE2, AVX2 };

struct TZuBlendRoutines {
    TZuBlendPath Path;
    // Blends `count` pixels of `src` onto `dst` by their own alpha.
    void (*BlendLine)(const TColor32* src, TColor32* dst, int32_t count);
    // Blends `count` pixels with the master alpha folded into their alpha.
    void (*BlendLineMaster)(const TColor32* src, TColor32* dst, int32_t count, uint8_t master);
    // Sets `count` pixels to `value`.
    void (*FillLongword)(TColor32* dst, int32_t count, TColor32 value);
};

// The routines of `path`, or nullptr when this build or this processor lacks them. The
// portable routines always exist.
const TZuBlendRoutines* BlendRoutinesFor(TZuBlendPath path);

// The widest SIMD path the processor has, else the portable one.
TZuBlendPath SelectBlendPath(const TZuCPUCaps& caps);

// The routines chosen for this processor (chosen on the first call; any thread may call it).
const TZuBlendRoutines& BlendRoutines();

// Blends `srcRect` of `src` onto `dst` so that the rectangle's top-left corner lands on
// (dstX, dstY). Parts of the rectangle outside `src` and parts landing outside `dst` are left
// out; the rest keeps its place. Master alpha 255 blends by source alpha only, 0 draws nothing.
// `src` and `dst` may be the same pixels.
void BlockTransfer(const TZuPixelMap& dst, int32_t dstX, int32_t dstY, const TZuPixelMap& src,
                   const TZuRect& srcRect, uint8_t masterAlpha,
                   const TZuBlendRoutines& routines = BlendRoutines());

// Scales `srcRect` of `src` into `dstRect` of `dst` by nearest neighbour. Equal sizes are a
// BlockTransfer. Otherwise master alpha 255 copies the mapped pixels without blending and a
// lower master alpha blends them with it. Destination pixels outside `dst`, or mapped onto
// source pixels outside `src`, are left alone.
void StretchTransfer(const TZuPixelMap& dst, const TZuRect& dstRect, const TZuPixelMap& src,
                     const TZuRect& srcRect, uint8_t masterAlpha,
                     const TZuBlendRoutines& routines = BlendRoutines());

// The source index for destination offset `offset` (0-based) of a stretch from source indices
// [srcLo, srcHi) onto `dstLength` destination pixels: round(offset * (srcHi - srcLo) / dstLength
// + srcLo), halves to even; the middle source index when dstLength < 2. Always inside
// [srcLo, srcHi - 1], which must not be empty.
int32_t StretchSourceIndex(int64_t offset, int64_t dstLength, int32_t srcLo, int32_t srcHi);

} // namespace tunola
