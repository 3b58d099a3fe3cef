// The PNG and BMP readers on files made in memory, and LoadFromFile on files in a temporary
// folder.

#include "ImageFixtures.h"
#include "ZuBitmap32.h"
#include "ZuBmpReader.h"
#include "ZuPngReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <png.h>

namespace tunola {
namespace {

using fixtures::Bytes;

const std::vector<TColor32> kFourPixels = {0xFFFF0000u, 0x8000FF00u, 0x000000FFu, 0x40123456u};

TZuRasterImage Png(const Bytes& bytes, const TZuImageLimits& limits = {}) {
    return ReadPng(bytes, limits);
}

TEST(PngReader, KeepsPerPixelAlphaOrIsOpaque) {
    for (bool interlaced : {false, true}) {
        const TZuRasterImage withAlpha =
            Png(fixtures::EncodePng(2, 2, kFourPixels, true, interlaced));
        EXPECT_TRUE(withAlpha.HasAlpha);
        EXPECT_EQ(withAlpha.Width, 2);
        EXPECT_EQ(withAlpha.Pixels, kFourPixels) << "interlaced " << interlaced;

        const TZuRasterImage opaque =
            Png(fixtures::EncodePng(2, 2, kFourPixels, false, interlaced));
        EXPECT_FALSE(opaque.HasAlpha);
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(opaque.Pixels[i], kFourPixels[i] | 0xFF000000u);
    }
}

TEST(PngReader, WidensOtherColourTypesToEightBitRgba) {
    fixtures::PngRecipe palette;
    palette.Width = 3;
    palette.Height = 1;
    palette.ColorType = PNG_COLOR_TYPE_PALETTE;
    palette.Palette = {0xFF0000, 0x00FF00, 0x0000FF};
    palette.Transparency = {0x00, 0x80}; // third entry has no alpha: opaque
    palette.Rows = {2, 0, 1};
    TZuRasterImage image = Png(fixtures::EncodePng(palette));
    EXPECT_TRUE(image.HasAlpha);
    EXPECT_EQ(image.Pixels, (std::vector<TColor32>{0xFF0000FFu, 0x00FF0000u, 0x8000FF00u}));

    fixtures::PngRecipe grey16; // 16-bit samples k * 257 scale to exactly k
    grey16.Width = 3;
    grey16.Height = 1;
    grey16.ColorType = PNG_COLOR_TYPE_GRAY;
    grey16.BitDepth = 16;
    grey16.Rows = {0x00, 0x00, 0x80, 0x80, 0xFF, 0xFF};
    image = Png(fixtures::EncodePng(grey16));
    EXPECT_FALSE(image.HasAlpha);
    EXPECT_EQ(image.Pixels, (std::vector<TColor32>{0xFF000000u, 0xFF808080u, 0xFFFFFFFFu}));

    fixtures::PngRecipe keyed; // 1-bit grey with white as the transparent key
    keyed.Width = 9;
    keyed.Height = 1;
    keyed.ColorType = PNG_COLOR_TYPE_GRAY;
    keyed.BitDepth = 1;
    keyed.Rows = {0b10100000, 0b10000000};
    keyed.Transparency = {0x00, 0x01};
    image = Png(fixtures::EncodePng(keyed));
    EXPECT_TRUE(image.HasAlpha);
    EXPECT_EQ(image.Pixels[0], 0x00FFFFFFu);
    EXPECT_EQ(image.Pixels[1], 0xFF000000u);
    EXPECT_EQ(image.Pixels[8], 0x00FFFFFFu);
}

TEST(PngReader, DecodingErrorsAreReported) {
    const Bytes good = fixtures::EncodePng(2, 2, kFourPixels, true);
    Bytes badChecksum = good;
    badChecksum[good.size() - 20] ^= 0x55; // inside the image data
    Bytes notPng = good;
    notPng[1] = 'X';
    const Bytes cases[] = {
        Bytes(good.begin(), good.begin() + 40), // cut inside the image data
        badChecksum,
        notPng,
        {},
    };
    for (const Bytes& bytes : cases) {
        try {
            Png(bytes);
            ADD_FAILURE() << "decoded " << bytes.size() << " bad bytes";
        } catch (const EZuBitmapError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Invalid PNG image: ", 0), 0u) << e.what();
        }
    }
}

TEST(PngReader, RefusesImagesBeyondTheLimitsBeforeDecoding) {
    const Bytes wide = fixtures::EncodePng(40, 2, std::vector<TColor32>(80, 0xFF000000u), false);
    EXPECT_THROW(Png(wide, {30, 100, 1000}), EZuBitmapError); // width over the limit
    EXPECT_THROW(Png(wide, {100, 1, 1000}), EZuBitmapError);  // height over the limit
    EXPECT_THROW(Png(wide, {100, 100, 79}), EZuBitmapError);  // too many pixels
    EXPECT_EQ(Png(wide, {40, 2, 80}).Pixels.size(), 80u);
}

// BMP files of every supported layout that show the same 3 x 2 picture.
TEST(BmpReader, ReadsEveryLayout) {
    const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const std::vector<uint32_t> indices = {1, 2, 3, 0, 1, 2};
    std::vector<TColor32> want;
    for (uint32_t i : indices)
        want.push_back(0xFF000000u | palette[i]);
    std::vector<uint32_t> rgb24, rgb555, rgb565;
    for (TColor32 p : want) {
        rgb24.push_back(p & 0xFFFFFF);
        const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        rgb555.push_back((r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
        rgb565.push_back((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
    }

    struct Case {
        const char* Name;
        fixtures::BmpRecipe Recipe;
    };
    auto recipe = [&](int bits, bool topDown, const std::vector<uint32_t>& values,
                      uint32_t header = 40) {
        fixtures::BmpRecipe s;
        s.Width = 3;
        s.Height = topDown ? -2 : 2;
        s.BitCount = uint16_t(bits);
        s.HeaderSize = header;
        if (bits <= 8)
            s.Palette = palette;
        s.PixelData = fixtures::PackBmpRows(3, 2, bits, values, topDown);
        return s;
    };
    std::vector<Case> cases = {
        {"1 bit", recipe(1, false, {1, 0, 1, 0, 1, 0})},
        {"4 bits", recipe(4, false, indices)},
        {"8 bits", recipe(8, false, indices)},
        {"8 bits top-down", recipe(8, true, indices)},
        {"8 bits core header", recipe(8, false, indices, 12)},
        {"16 bits 5-5-5", recipe(16, false, rgb555)},
        {"24 bits", recipe(24, false, rgb24)},
        {"24 bits top-down", recipe(24, true, rgb24)},
        {"24 bits, 124-byte header", recipe(24, false, rgb24, 124)},
    };
    cases[0].Recipe.Palette = {0x000000, 0xFF0000};
    Case masked{"16 bits 5-6-5 masks", recipe(16, false, rgb565)};
    masked.Recipe.Compression = 3;
    masked.Recipe.Masks = {0xF800, 0x07E0, 0x001F};
    cases.push_back(masked);

    for (const Case& c : cases) {
        const TZuRasterImage image = ReadBmp(fixtures::EncodeBmp(c.Recipe));
        EXPECT_FALSE(image.HasAlpha) << c.Name;
        ASSERT_EQ(image.Width, 3) << c.Name;
        ASSERT_EQ(image.Height, 2) << c.Name;
        if (c.Recipe.BitCount == 1)
            EXPECT_EQ(image.Pixels, (std::vector<TColor32>{0xFFFF0000u, 0xFF000000u, 0xFFFF0000u,
                                                           0xFF000000u, 0xFFFF0000u, 0xFF000000u}));
        else
            EXPECT_EQ(image.Pixels, want) << c.Name;
    }
}

TEST(BmpReader, ThirtyTwoBitsKeepAlphaUnlessItIsAllZero) {
    fixtures::BmpRecipe s;
    s.Width = 2;
    s.Height = 1;
    s.BitCount = 32;
    s.PixelData = fixtures::PackBmpRows(2, 1, 32, {0x80FF0000u, 0x00ABCDEFu}, false);
    TZuRasterImage image = ReadBmp(fixtures::EncodeBmp(s));
    EXPECT_TRUE(image.HasAlpha);
    EXPECT_EQ(image.Pixels, (std::vector<TColor32>{0x80FF0000u, 0x00ABCDEFu}));

    s.PixelData = fixtures::PackBmpRows(2, 1, 32, {0x00FF0000u, 0x00ABCDEFu}, false);
    image = ReadBmp(fixtures::EncodeBmp(s));
    EXPECT_FALSE(image.HasAlpha);
    EXPECT_EQ(image.Pixels, (std::vector<TColor32>{0xFFFF0000u, 0xFFABCDEFu}));

    // Channel masks in a V5 header, alpha in the low byte.
    s.HeaderSize = 124;
    s.Compression = 3;
    s.Masks = {0xFF000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu};
    s.PixelData = fixtures::PackBmpRows(2, 1, 32, {0x11223344u, 0xAABBCCFFu}, false);
    image = ReadBmp(fixtures::EncodeBmp(s));
    EXPECT_TRUE(image.HasAlpha);
    EXPECT_EQ(image.Pixels, (std::vector<TColor32>{0x44112233u, 0xFFAABBCCu}));
}

TEST(BmpReader, RunLengthEncodedRows) {
    fixtures::BmpRecipe rle8;
    rle8.Width = 4;
    rle8.Height = 3;
    rle8.BitCount = 8;
    rle8.Compression = 1;
    rle8.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    rle8.PixelData = {
        3, 1, 0, 0,       // bottom row: three of index 1, end of row
        0, 3, 2, 3, 1, 0, // literal 2 3 1 (padded), row continues
        0, 0,             // end of row
        0, 2, 1, 0,       // move right by one
        5, 3,             // run past the right edge is cut
        0, 1,             // end of picture
    };
    TZuRasterImage image = ReadBmp(fixtures::EncodeBmp(rle8));
    const TColor32 k = 0xFF000000u, r = 0xFFFF0000u, g = 0xFF00FF00u, b = 0xFF0000FFu;
    EXPECT_EQ(image.Pixels, (std::vector<TColor32>{k, b, b, b, g, b, r, k, r, r, r, k}));

    fixtures::BmpRecipe rle4 = rle8;
    rle4.BitCount = 4;
    rle4.Compression = 2;
    rle4.PixelData = {
        4, 0x12,             // bottom row: 1 2 1 2
        0, 0,                // end of row
        0, 3,    0x31, 0x20, // literal 3 1 2, padded to a word
        0, 1,
    };
    image = ReadBmp(fixtures::EncodeBmp(rle4));
    EXPECT_EQ(image.Pixels, (std::vector<TColor32>{k, k, k, k, b, r, g, k, r, g, r, g}));
}

TEST(BmpReader, MalformedFilesAreErrors) {
    fixtures::BmpRecipe good;
    good.Width = 4;
    good.Height = 4;
    good.BitCount = 24;
    good.PixelData = Bytes(48, 0x7F);
    const Bytes valid = fixtures::EncodeBmp(good);
    ASSERT_NO_THROW(ReadBmp(valid));

    auto changed = [&](size_t at, std::vector<uint8_t> value) {
        Bytes b = valid;
        std::copy(value.begin(), value.end(), b.begin() + at);
        return b;
    };
    struct Case {
        const char* Name;
        Bytes File;
    };
    const Case cases[] = {
        {"no signature", changed(0, {'X'})},
        {"truncated pixels", Bytes(valid.begin(), valid.end() - 4)},
        {"truncated header", Bytes(valid.begin(), valid.begin() + 30)},
        {"unknown header size", changed(14, {13, 0, 0, 0})},
        {"header longer than the file", changed(14, {0, 1, 0, 0})},
        {"zero width", changed(18, {0, 0, 0, 0})},
        {"negative width", changed(18, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"vast height", changed(22, {0, 0, 0, 0x70})},
        {"unsupported bit count", changed(28, {7, 0})},
        {"unsupported compression", changed(30, {4, 0, 0, 0})},
        {"pixel offset past the end", changed(10, {0xFF, 0xFF, 0, 0})},
    };
    for (const Case& c : cases)
        EXPECT_THROW(ReadBmp(c.File), EZuBitmapError) << c.Name;

    EXPECT_THROW(ReadBmp(valid, {3, 16, 100}), EZuBitmapError);
}

class LoadFromFile : public testing::Test {
protected:
    QString Write(const QString& name, const Bytes& bytes) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(LoadFromFile, ChoosesTheReaderByExtension) {
    TZuBitmap32 bitmap;
    bitmap.LoadFromFile(Write("picture.PNG", fixtures::EncodePng(2, 2, kFourPixels, true)));
    ASSERT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Bits()[1], kFourPixels[1]);
    EXPECT_EQ(bitmap.Bits()[2], kFourPixels[2]); // transparent pixels keep their colour

    bitmap.LoadFromFile(Write("opaque.png", fixtures::EncodePng(2, 2, kFourPixels, false)));
    EXPECT_EQ(bitmap.Bits()[2], 0xFF0000FFu);

    fixtures::BmpRecipe s;
    s.Width = 1;
    s.Height = 1;
    s.BitCount = 24;
    s.PixelData = {0x10, 0x20, 0x30, 0};
    bitmap.LoadFromFile(Write("picture.skin", fixtures::EncodeBmp(s)));
    EXPECT_EQ(bitmap.Width(), 1);
    EXPECT_EQ(bitmap.Bits()[0], 0xFF302010u);
}

TEST_F(LoadFromFile, FailuresReachTheCallerAndKeepTheBitmap) {
    TZuBitmap32 bitmap;
    bitmap.SetSize(1, 1);
    bitmap.Clear(0xFF010203u);
    const QString pngNamedBmp = Write("x.bmp", fixtures::EncodePng(2, 2, kFourPixels, true));
    const QString missing = dir_.filePath("missing.png");
    for (const QString& path : {pngNamedBmp, missing, QStringLiteral("/dev/zero")}) {
        EXPECT_THROW(bitmap.LoadFromFile(path), EZuBitmapError) << path.toStdString();
        EXPECT_EQ(bitmap.Width(), 1);
        EXPECT_EQ(bitmap.Bits()[0], 0xFF010203u);
    }
}

} // namespace
} // namespace tunola
