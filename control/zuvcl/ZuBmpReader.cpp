#include "ZuBmpReader.h"

#include "ZuBitmapError.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string>

namespace tunola {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kOs2HeaderSize = 64;

enum Compression : uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kAlphaBitFields = 6,
};

[[noreturn]] void Fail(const std::string& reason) {
    throw EZuBitmapError("Invalid bitmap image: " + reason);
}

uint32_t U16(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}

uint32_t U32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

// One channel of a masked pixel format, widened or narrowed to 8 bits.
struct Channel {
    uint32_t Mask = 0;
    int Shift = 0;
    uint32_t Max = 0; // largest value of the channel after shifting

    explicit Channel(uint32_t mask) : Mask(mask) {
        if (mask != 0) {
            Shift = std::countr_zero(mask);
            Max = mask >> Shift;
        }
    }
    uint32_t Get(uint32_t pixel) const {
        if (Max == 0)
            return 0;
        const uint64_t v = (pixel & Mask) >> Shift;
        return uint32_t((v * 255 + Max / 2) / Max);
    }
};

struct Header {
    int64_t Width = 0;
    int64_t Height = 0; // negative: rows top-down
    uint32_t BitCount = 0;
    uint32_t Compression = kRgb;
    uint32_t ColorsUsed = 0;
    uint32_t Masks[4] = {}; // red, green, blue, alpha
    bool HasMasks = false;
    size_t PaletteOffset = 0;
    size_t PaletteEntrySize = 4;
};

Header ReadHeader(std::span<const uint8_t> b) {
    if (b.size() < kFileHeaderSize + 4 || b[0] != 'B' || b[1] != 'M')
        Fail("not a bitmap file");
    const uint32_t size = U32(b, kFileHeaderSize);
    if (size < kCoreHeaderSize || (size > kCoreHeaderSize && size < 16))
        Fail("unknown header");
    if (b.size() - kFileHeaderSize < size)
        Fail("truncated header");
    const auto h = b.subspan(kFileHeaderSize, size);

    Header header;
    header.PaletteOffset = kFileHeaderSize + size;
    if (size == kCoreHeaderSize) {
        header.Width = U16(h, 4);
        header.Height = U16(h, 6);
        header.BitCount = U16(h, 10);
        header.PaletteEntrySize = 3;
        return header;
    }
    // Later headers grow the 40-byte layout; fields past the end of a short one read as 0.
    auto field = [&](size_t at) { return at + 4 <= size ? U32(h, at) : 0u; };
    header.Width = int32_t(U32(h, 4));
    header.Height = int32_t(U32(h, 8));
    header.BitCount = U16(h, 14);
    header.Compression = field(16);
    header.ColorsUsed = field(32);
    if (size == kOs2HeaderSize && header.Compression >= kBitFields)
        Fail("unsupported OS/2 compression");
    if (header.Compression == kBitFields || header.Compression == kAlphaBitFields) {
        header.HasMasks = true;
        if (size >= 52) {
            for (int i = 0; i < 3; ++i)
                header.Masks[i] = U32(h, 40 + 4 * size_t(i));
            header.Masks[3] = field(52);
        } else {
            // The masks follow the header: three of them, four with the alpha variant.
            const size_t count = header.Compression == kAlphaBitFields ? 4 : 3;
            if (b.size() - header.PaletteOffset < 4 * count)
                Fail("truncated channel masks");
            for (size_t i = 0; i < count; ++i)
                header.Masks[i] = U32(b, header.PaletteOffset + 4 * i);
            header.PaletteOffset += 4 * count;
        }
    }
    return header;
}

// The palette as opaque pixels. Entries missing from the file are black, and so are pixel
// values beyond the palette.
std::array<TColor32, 256> ReadPalette(std::span<const uint8_t> b, const Header& header,
                                      size_t pixelOffset) {
    std::array<TColor32, 256> palette;
    palette.fill(0xFF000000u);
    const uint32_t possible = 1u << header.BitCount;
    uint32_t count = header.ColorsUsed == 0 ? possible : std::min(header.ColorsUsed, possible);
    // Some writers announce more entries than they store before the pixels.
    const size_t end = pixelOffset > header.PaletteOffset ? pixelOffset : b.size();
    const size_t room = end > header.PaletteOffset ? end - header.PaletteOffset : 0;
    count = uint32_t(std::min<size_t>(count, room / header.PaletteEntrySize));
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = header.PaletteOffset + i * header.PaletteEntrySize;
        palette[i] = 0xFF000000u | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 1]) << 8 | b[at];
    }
    return palette;
}

void DecodeUncompressed(std::span<const uint8_t> data, const Header& header,
                        const std::array<TColor32, 256>& palette, TZuRasterImage& image) {
    const int32_t w = image.Width;
    const int32_t h = image.Height;
    const uint32_t bits = header.BitCount;
    const uint64_t stride = (uint64_t(w) * bits + 31) / 32 * 4;
    const uint64_t lastRow = (uint64_t(w) * bits + 7) / 8;
    if (data.size() < stride * uint64_t(h - 1) + lastRow)
        Fail("truncated pixel data");

    uint32_t masks[4] = {header.Masks[0], header.Masks[1], header.Masks[2], header.Masks[3]};
    if (!header.HasMasks && bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    const bool masked = bits == 16 || (bits == 32 && header.HasMasks);

    for (int32_t row = 0; row < h; ++row) {
        const uint8_t* in = data.data() + uint64_t(row) * stride;
        const int32_t y = header.Height < 0 ? row : h - 1 - row;
        TColor32* out = image.Pixels.data() + size_t(y) * size_t(w);
        for (int32_t x = 0; x < w; ++x) {
            switch (bits) {
            case 1:
                out[x] = palette[(in[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                out[x] = palette[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
                break;
            case 8:
                out[x] = palette[in[x]];
                break;
            case 24: {
                const uint8_t* p = in + 3 * size_t(x);
                out[x] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
                break;
            }
            default: {
                const uint8_t* p = in + size_t(bits / 8) * size_t(x);
                const uint32_t v = bits == 16 ? U16({p, 2}, 0) : U32({p, 4}, 0);
                if (!masked) {
                    out[x] = v; // B, G, R, A in the file is 0xAARRGGBB
                } else {
                    const uint32_t a = alpha.Max != 0 ? alpha.Get(v) : 255;
                    out[x] = a << 24 | red.Get(v) << 16 | green.Get(v) << 8 | blue.Get(v);
                }
                break;
            }
            }
        }
    }
}

// Run-length encoded rows, bottom-up. Pixels the stream skips keep palette entry 0.
void DecodeRunLength(std::span<const uint8_t> data, const Header& header,
                     const std::array<TColor32, 256>& palette, TZuRasterImage& image) {
    const bool nibbles = header.Compression == kRle4;
    const int64_t w = image.Width;
    const int64_t h = image.Height;
    std::fill(image.Pixels.begin(), image.Pixels.end(), palette[0]);
    int64_t x = 0;
    int64_t y = 0; // counted from the bottom row
    auto put = [&](uint32_t index) {
        if (x < w && y < h)
            image.Pixels[size_t(h - 1 - y) * size_t(w) + size_t(x)] = palette[index];
        ++x;
    };
    size_t at = 0;
    while (at + 2 <= data.size() && y < h) {
        const uint32_t count = data[at];
        const uint32_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count && x < w; ++i)
                put(nibbles ? ((i & 1) ? value & 0xF : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of row
            x = 0;
            ++y;
        } else if (value == 1) { // end of picture
            return;
        } else if (value == 2) { // move right and up
            if (data.size() - at < 2)
                Fail("truncated run-length data");
            x += data[at];
            y += data[at + 1];
            at += 2;
        } else { // literal pixels, padded to a 16-bit boundary
            const size_t bytes = nibbles ? (value + 1) / 2 : value;
            if (data.size() - at < bytes)
                Fail("truncated run-length data");
            for (uint32_t i = 0; i < value && x < w; ++i)
                put(nibbles ? (data[at + i / 2] >> ((i & 1) ? 0 : 4)) & 0xF : data[at + i]);
            at += bytes + (bytes & 1);
        }
    }
}

} // namespace

TZuRasterImage ReadBmp(std::span<const uint8_t> bytes, const TZuImageLimits& limits) {
    const Header header = ReadHeader(bytes);
    const uint32_t bits = header.BitCount;
    const uint32_t compression = header.Compression;
    const bool supported =
        (compression == kRgb &&
         (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
        (compression == kRle8 && bits == 8) || (compression == kRle4 && bits == 4) ||
        ((compression == kBitFields || compression == kAlphaBitFields) &&
         (bits == 16 || bits == 32));
    if (!supported)
        Fail("unsupported format (" + std::to_string(bits) + " bits per pixel, compression " +
             std::to_string(compression) + ")");

    const int64_t height = header.Height < 0 ? -header.Height : header.Height;
    if (header.Width <= 0 || height == 0)
        Fail("empty image");
    if (header.Width > limits.MaxWidth || height > limits.MaxHeight ||
        header.Width * height > limits.MaxPixels)
        Fail("image too large");
    if (header.Height < 0 && (compression == kRle8 || compression == kRle4))
        Fail("top-down run-length data");

    // Some writers leave the offset of the pixels 0; they follow the palette then.
    size_t pixelOffset = U32(bytes, 10);
    if (pixelOffset == 0) {
        const uint32_t entries = bits > 8                 ? 0u
                                 : header.ColorsUsed == 0 ? 1u << bits
                                                          : std::min(header.ColorsUsed, 1u << bits);
        pixelOffset = header.PaletteOffset + header.PaletteEntrySize * entries;
    }
    if (pixelOffset >= bytes.size())
        Fail("no pixel data");

    std::array<TColor32, 256> palette{};
    if (bits <= 8)
        palette = ReadPalette(bytes, header, pixelOffset);

    TZuRasterImage image;
    image.Width = int32_t(header.Width);
    image.Height = int32_t(height);
    image.Pixels.resize(size_t(header.Width) * size_t(height));
    const auto data = bytes.subspan(pixelOffset);
    if (compression == kRle8 || compression == kRle4)
        DecodeRunLength(data, header, palette, image);
    else
        DecodeUncompressed(data, header, palette, image);

    image.HasAlpha = bits == 32 && (!header.HasMasks || header.Masks[3] != 0);
    if (image.HasAlpha && std::all_of(image.Pixels.begin(), image.Pixels.end(),
                                      [](TColor32 p) { return p < 0x01000000u; })) {
        for (TColor32& p : image.Pixels)
            p |= 0xFF000000u;
        image.HasAlpha = false;
    }
    return image;
}

} // namespace tunola
