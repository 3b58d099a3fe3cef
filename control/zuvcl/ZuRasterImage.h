#pragma once
// A decoded picture as the PNG and BMP readers hand it over, before it becomes a TZuBitmap32.

#include "ZuColor32.h"

#include <cstdint>
#include <vector>

namespace tunola {

struct TZuRasterImage {
    int32_t Width = 0;
    int32_t Height = 0;
    // Width x Height pixels 0xAARRGGBB, rows top-down, colour not premultiplied.
    std::vector<TColor32> Pixels;
    // False when the file stored no alpha of its own; the alpha bytes are then 255.
    bool HasAlpha = false;
    // A picture marked transparent shows no pixel whose colour equals TransparentColor (a
    // platform colour, system colours allowed). Files never carry the mark; callers set it.
    bool Transparent = false;
    TColor TransparentColor = 0;
};

// Upper bounds a reader checks before it allocates anything for the pixels.
struct TZuImageLimits {
    int32_t MaxWidth = 16384;
    int32_t MaxHeight = 16384;
    int64_t MaxPixels = int64_t(1) << 26; // 256 MiB of pixels
};

} // namespace tunola
