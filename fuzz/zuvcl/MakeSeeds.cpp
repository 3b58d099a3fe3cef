// Writes a starting corpus for the image fuzzers: one small file of each layout the readers
// know, into <folder>/png and <folder>/bmp.

#include "ImageFixtures.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace tunola::fixtures;

void Save(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    std::filesystem::create_directories(root / "png");
    std::filesystem::create_directories(root / "bmp");

    std::vector<tunola::TColor32> pixels;
    for (uint32_t i = 0; i < 35; ++i)
        pixels.push_back(i * 0x07050301u);
    Save(root / "png" / "rgba.png", EncodePng(7, 5, pixels, true));
    Save(root / "png" / "rgb-interlaced.png", EncodePng(7, 5, pixels, false, true));
    PngRecipe palette{5,
                      2,
                      PNG_COLOR_TYPE_PALETTE,
                      4,
                      false,
                      {0x01, 0x23, 0x40, 0x12, 0x30, 0x10},
                      {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0},
                      {0x00, 0x80}};
    Save(root / "png" / "palette-trns.png", EncodePng(palette));
    PngRecipe grey{3, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, true, Bytes(12, 0x5A), {}, {}};
    Save(root / "png" / "grey-alpha-16.png", EncodePng(grey));

    const std::vector<uint32_t> values = {1, 2, 3, 0, 1, 2};
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        BmpRecipe s;
        s.Width = 3;
        s.Height = bits == 24 ? -2 : 2;
        s.BitCount = uint16_t(bits);
        if (bits <= 8)
            s.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
        std::vector<uint32_t> v = values;
        for (uint32_t& x : v)
            x = bits > 8 ? x * 0x40302010u : x & ((1u << bits) - 1);
        s.PixelData = PackBmpRows(3, 2, bits, v, s.Height < 0);
        Save(root / "bmp" / ("bits" + std::to_string(bits) + ".bmp"), EncodeBmp(s));
        if (bits == 32 || bits == 16) {
            s.HeaderSize = bits == 32 ? 124 : 40;
            s.Compression = 3;
            s.Masks = bits == 32 ? std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF, 0xFF000000u}
                                 : std::vector<uint32_t>{0xF800, 0x07E0, 0x001F};
            Save(root / "bmp" / ("bitfields" + std::to_string(bits) + ".bmp"), EncodeBmp(s));
        }
    }
    BmpRecipe rle{4,  3,
                  8,  1,
                  40, {0, 0xFF0000, 0x00FF00},
                  {}, {3, 1, 0, 0, 0, 3, 2, 1, 1, 0, 0, 2, 1, 0, 2, 2, 0, 1}};
    Save(root / "bmp" / "rle8.bmp", EncodeBmp(rle));
    rle.BitCount = 4;
    rle.Compression = 2;
    rle.PixelData = {4, 0x12, 0, 0, 0, 3, 0x21, 0x10, 0, 1};
    Save(root / "bmp" / "rle4.bmp", EncodeBmp(rle));
    BmpRecipe core{2, 2, 24, 0, 12, {}, {}, Bytes(16, 0x33)};
    Save(root / "bmp" / "core.bmp", EncodeBmp(core));
    return 0;
}
