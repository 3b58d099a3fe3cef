#pragma once
// Windows bitmap decoding: 1, 4 and 8 bits per pixel with a palette (also run-length encoded),
// 16 and 32 bits with the standard or given channel masks, 24 bits; rows bottom-up or
// top-down; all header versions from the 12-byte core header to the 124-byte one.
// A 32-bit file keeps its alpha bytes, unless every one of them is 0: such files were written
// by programs that leave the fourth byte unused, and are taken as opaque.
// Any thread may call it; it does not block beyond the work itself.

#include "ZuRasterImage.h"

#include <cstdint>
#include <span>

namespace tunola {

// Throws EZuBitmapError with the reason when the bytes are not a bitmap that can be decoded
// within `limits`.
TZuRasterImage ReadBmp(std::span<const uint8_t> bytes, const TZuImageLimits& limits = {});

} // namespace tunola
