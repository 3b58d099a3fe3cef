#pragma once
// Copying pixels between bitmaps as they are, alpha included (no blending).

#include "ZuBitmap32.h"
#include "ZuRect.h"

#include <cstdint>

namespace tunola {

// Copies `srcRect` of `src` so that its top-left corner lands on (x, y) of `dst`. Parts
// outside either bitmap are left out; the rest keeps its place.
void CopyPixels(TZuBitmap32& dst, int32_t x, int32_t y, const TZuBitmap32& src,
                const TZuRect& srcRect);

} // namespace tunola
