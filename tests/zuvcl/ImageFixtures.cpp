#include "ImageFixtures.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <stdexcept>

namespace tunola::fixtures {

namespace {

extern "C" void AppendPngBytes(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

extern "C" void FlushPng(png_structp) {}

// Writes with libpng; the setjmp frame holds nothing with a destructor.
bool RunWrite(png_structp png, png_infop info, const PngRecipe* recipe, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, png_uint_32(recipe->Width), png_uint_32(recipe->Height),
                 recipe->BitDepth, recipe->ColorType,
                 recipe->Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    const int paletteSize = int(recipe->Palette.size());
    for (int i = 0; i < paletteSize && i < 256; ++i)
        palette[i] = {png_byte(recipe->Palette[size_t(i)] >> 16),
                      png_byte(recipe->Palette[size_t(i)] >> 8),
                      png_byte(recipe->Palette[size_t(i)])};
    if (paletteSize > 0)
        png_set_PLTE(png, info, palette, paletteSize);
    if (!recipe->Transparency.empty()) {
        if (recipe->ColorType == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, recipe->Transparency.data(), int(recipe->Transparency.size()),
                         nullptr);
        } else {
            // Colour key as 16-bit values: grey, or red, green, blue.
            png_color_16 key{};
            auto word = [&](size_t i) {
                return png_uint_16(recipe->Transparency[2 * i] << 8 |
                                   recipe->Transparency[2 * i + 1]);
            };
            if (recipe->ColorType == PNG_COLOR_TYPE_GRAY) {
                key.gray = word(0);
            } else {
                key.red = word(0);
                key.green = word(1);
                key.blue = word(2);
            }
            png_set_tRNS(png, info, nullptr, 0, &key);
        }
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

} // namespace

Bytes EncodePng(const PngRecipe& recipe) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendPngBytes, FlushPng);
    const size_t rowBytes = recipe.Height > 0 ? recipe.Rows.size() / size_t(recipe.Height) : 0;
    std::vector<png_bytep> rows(size_t(recipe.Height));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = const_cast<png_bytep>(recipe.Rows.data() + y * rowBytes);
    const bool ok = RunWrite(png, info, &recipe, rows.data());
    png_destroy_write_struct(&png, &info);
    if (!ok)
        throw std::runtime_error("test PNG could not be written");
    return out;
}

Bytes EncodePng(int32_t width, int32_t height, const std::vector<TColor32>& pixels, bool withAlpha,
                bool interlaced) {
    PngRecipe recipe;
    recipe.Width = width;
    recipe.Height = height;
    recipe.ColorType = withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB;
    recipe.Interlaced = interlaced;
    for (TColor32 p : pixels) {
        recipe.Rows.push_back(uint8_t(p >> 16));
        recipe.Rows.push_back(uint8_t(p >> 8));
        recipe.Rows.push_back(uint8_t(p));
        if (withAlpha)
            recipe.Rows.push_back(uint8_t(p >> 24));
    }
    return EncodePng(recipe);
}

Bytes EncodeBmp(const BmpRecipe& recipe) {
    Bytes out;
    auto u16 = [&](uint32_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    const bool core = recipe.HeaderSize == 12;
    const bool masksInHeader = recipe.HeaderSize >= 52;
    const size_t masksAfter = masksInHeader ? 0 : recipe.Masks.size() * 4;
    const size_t paletteBytes = recipe.Palette.size() * (core ? 3 : 4);
    const uint32_t offset = uint32_t(14 + recipe.HeaderSize + masksAfter + paletteBytes);

    out.push_back('B');
    out.push_back('M');
    u32(uint32_t(offset + recipe.PixelData.size()));
    u32(0);
    u32(offset);
    u32(recipe.HeaderSize);
    if (core) {
        u16(uint32_t(recipe.Width));
        u16(uint32_t(recipe.Height));
        u16(1);
        u16(recipe.BitCount);
    } else {
        const size_t start = out.size() - 4;
        u32(uint32_t(recipe.Width));
        u32(uint32_t(recipe.Height));
        u16(1);
        u16(recipe.BitCount);
        u32(recipe.Compression);
        u32(uint32_t(recipe.PixelData.size()));
        u32(2835);
        u32(2835);
        u32(uint32_t(recipe.Palette.size()));
        u32(0);
        for (size_t i = 0; masksInHeader && i < recipe.Masks.size(); ++i)
            u32(recipe.Masks[i]);
        out.resize(start + recipe.HeaderSize, 0);
        for (size_t i = 0; !masksInHeader && i < recipe.Masks.size(); ++i)
            u32(recipe.Masks[i]);
    }
    for (uint32_t c : recipe.Palette) {
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
        out.push_back(uint8_t(c >> 16));
        if (!core)
            out.push_back(0);
    }
    out.insert(out.end(), recipe.PixelData.begin(), recipe.PixelData.end());
    return out;
}

Bytes PackBmpRows(int32_t width, int32_t height, int bitCount, const std::vector<uint32_t>& values,
                  bool topDown) {
    const size_t stride = (size_t(width) * size_t(bitCount) + 31) / 32 * 4;
    Bytes out(stride * size_t(height), 0);
    for (int32_t fileRow = 0; fileRow < height; ++fileRow) {
        const int32_t y = topDown ? fileRow : height - 1 - fileRow;
        uint8_t* row = out.data() + size_t(fileRow) * stride;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = values[size_t(y) * size_t(width) + size_t(x)];
            switch (bitCount) {
            case 1:
                row[x / 8] |= uint8_t((v & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= uint8_t((v & 0xF) << (x % 2 ? 0 : 4));
                break;
            default:
                for (int b = 0; b < bitCount / 8; ++b)
                    row[size_t(x) * size_t(bitCount / 8) + size_t(b)] = uint8_t(v >> (8 * b));
            }
        }
    }
    return out;
}

} // namespace tunola::fixtures
