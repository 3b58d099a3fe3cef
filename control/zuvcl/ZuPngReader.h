#pragma once
// PNG decoding through libpng. Every colour type and bit depth comes out as 8-bit B, G, R, A;
// grey is widened, 16-bit channels are scaled down, a palette's or a colour key's transparency
// becomes per-pixel alpha. No gamma or colour-profile correction: skin images are shown as
// their pixels are stored.
// Any thread may call it; it does not block beyond the work itself.

#include "ZuRasterImage.h"

#include <cstdint>
#include <span>

namespace tunola {

// Throws EZuBitmapError with the reason when the bytes are not a PNG that can be decoded
// within `limits`.
TZuRasterImage ReadPng(std::span<const uint8_t> bytes, const TZuImageLimits& limits = {});

} // namespace tunola
