#pragma once
// Small PNG and BMP files made in memory for the reader tests, the benchmarks and the fuzzers'
// starting corpus.

#include "ZuColor32.h"

#include <cstdint>
#include <vector>

namespace tunola::fixtures {

using Bytes = std::vector<uint8_t>;

struct PngRecipe {
    int32_t Width = 0;
    int32_t Height = 0;
    int ColorType = 6; // libpng's PNG_COLOR_TYPE_*
    int BitDepth = 8;
    bool Interlaced = false;
    Bytes Rows;                    // packed rows, top-down, as the format stores them
    std::vector<uint32_t> Palette; // 0x00RRGGBB, for palette images
    Bytes Transparency;            // tRNS contents: palette alphas, or a colour key
};

Bytes EncodePng(const PngRecipe& recipe);

// An 8-bit RGBA (withAlpha) or RGB picture from 0xAARRGGBB pixels.
Bytes EncodePng(int32_t width, int32_t height, const std::vector<TColor32>& pixels, bool withAlpha,
                bool interlaced = false);

struct BmpRecipe {
    int32_t Width = 0;
    int32_t Height = 0; // negative: rows top-down
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t HeaderSize = 40;      // 12 writes the core header
    std::vector<uint32_t> Palette; // 0x00RRGGBB
    std::vector<uint32_t> Masks;   // written after a 40-byte header, or into a larger one
    Bytes PixelData;               // as stored in the file
};

Bytes EncodeBmp(const BmpRecipe& recipe);

// Packs pixel values (palette indices, or 16/24/32-bit values) given top-down into padded BMP
// rows in file order (bottom-up unless topDown).
Bytes PackBmpRows(int32_t width, int32_t height, int bitCount, const std::vector<uint32_t>& values,
                  bool topDown);

} // namespace tunola::fixtures
