// Block transfers with clipping and nearest-neighbour stretching, checked pixel by pixel
// against what each destination pixel should show.

#include "BlendReference.h"
#include "ZuBitmap32Blend.h"

#include <gtest/gtest.h>

#include <vector>

namespace tunola {
namespace {

struct Map {
    Map(int32_t w, int32_t h, TColor32 fill) : Width(w), Height(h), Pixels(size_t(w) * h, fill) {}
    // Opaque pixels, each telling its own position.
    static Map Numbered(int32_t w, int32_t h) {
        Map m(w, h, 0);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                m.At(x, y) = 0xFF000000u | uint32_t(y) << 8 | uint32_t(x);
        return m;
    }
    TColor32& At(int32_t x, int32_t y) { return Pixels[size_t(y) * Width + x]; }
    TZuPixelMap View() { return {Pixels.data(), Width, Height}; }
    int32_t Width, Height;
    std::vector<TColor32> Pixels;
};

constexpr TColor32 kBackground = 0xFF123456u;

TEST(BlockTransfer, ClipsOnBothSidesAndKeepsPixelPlaces) {
    struct Case {
        int32_t X, Y;
        TZuRect Source;
    };
    const Case cases[] = {
        {1, 1, {0, 0, 4, 4}},   // inside
        {1, 1, {-2, -1, 2, 3}}, // source rectangle sticks out left and top
        {3, 2, {2, 2, 9, 9}},   // sticks out right and bottom
        {-2, -3, {0, 0, 4, 4}}, // lands partly left of and above the destination
        {4, 5, {0, 0, 4, 4}},   // lands partly right of and below it
        {-10, 0, {0, 0, 4, 4}}, // lands wholly outside
        {0, 0, {4, 0, 8, 4}},   // takes nothing from the source
        {2, 2, {3, 3, 3, 5}},   // empty rectangle
    };
    for (const Case& c : cases) {
        Map src = Map::Numbered(4, 4);
        Map dst(6, 7, kBackground);
        BlockTransfer(dst.View(), c.X, c.Y, src.View(), c.Source, 255);
        for (int32_t y = 0; y < dst.Height; ++y)
            for (int32_t x = 0; x < dst.Width; ++x) {
                const int32_t sx = x - c.X + c.Source.Left;
                const int32_t sy = y - c.Y + c.Source.Top;
                const bool covered = sx >= c.Source.Left && sx < c.Source.Right &&
                                     sy >= c.Source.Top && sy < c.Source.Bottom && sx >= 0 &&
                                     sy >= 0 && sx < src.Width && sy < src.Height;
                ASSERT_EQ(dst.At(x, y), covered ? src.At(sx, sy) : kBackground)
                    << "at " << x << "," << y << " drawing to " << c.X << "," << c.Y;
            }
    }
}

TEST(BlockTransfer, MasterAlphaZeroAndEmptyMapsDrawNothing) {
    Map src = Map::Numbered(3, 3);
    Map dst(3, 3, kBackground);
    BlockTransfer(dst.View(), 0, 0, src.View(), {0, 0, 3, 3}, 0);
    BlockTransfer(dst.View(), 0, 0, TZuPixelMap{}, {0, 0, 3, 3}, 255);
    BlockTransfer(TZuPixelMap{}, 0, 0, src.View(), {0, 0, 3, 3}, 255);
    for (TColor32 p : dst.Pixels)
        EXPECT_EQ(p, kBackground);
}

TEST(BlockTransfer, MasterAlphaBelow255BlendsEveryRow) {
    Map src(5, 3, 0x80FF8040u);
    Map dst(5, 3, 0xFF102030u);
    const auto& routines = BlendRoutines();
    const auto family = routines.Path == TZuBlendPath::Portable ? reference::Family::Portable
                                                                : reference::Family::Vector;
    BlockTransfer(dst.View(), 0, 0, src.View(), {0, 0, 5, 3}, 100, routines);
    for (TColor32 p : dst.Pixels)
        EXPECT_EQ(p, reference::BlendMaster(family, 0x80FF8040u, 0xFF102030u, 100));
}

// Drawing a bitmap onto itself reads the picture as it was before the call.
TEST(BlockTransfer, OntoItselfReadsTheOriginalPixels) {
    for (auto [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{-1, -1}, std::pair{2, 1}}) {
        Map map = Map::Numbered(5, 4);
        const Map original = map;
        BlockTransfer(map.View(), dx, dy, map.View(), {0, 0, 5, 4}, 255);
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t x = 0; x < 5; ++x) {
                const int32_t sx = x - dx, sy = y - dy;
                const bool covered = sx >= 0 && sy >= 0 && sx < 5 && sy < 4;
                ASSERT_EQ(map.At(x, y), covered ? original.Pixels[size_t(sy) * 5 + sx]
                                                : original.Pixels[size_t(y) * 5 + x]);
            }
    }
}

TEST(StretchSourceIndex, RoundsHalvesToEvenAndStaysInside) {
    struct Case {
        int32_t SrcLo, SrcHi;
        int64_t DstLength;
        std::vector<int32_t> Want;
    };
    const Case cases[] = {
        {0, 4, 8, {0, 0, 1, 2, 2, 2, 3, 3}}, // x2: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 3.5 -> 4 kept at 3
        {0, 8, 4, {0, 2, 4, 6}},             // /2
        {0, 3, 2, {0, 2}},                   // 1.5 -> 2
        {10, 13, 2, {10, 12}},               // 11.5 -> 12
        {1, 2, 2, {1, 1}},                   // 1.5 -> 2, outside, kept at 1
        {0, 2, 5, {0, 0, 1, 1, 1}},          // x2.5: 1.6 rounds onto the edge, kept at 1
        {-3, 1, 8, {-3, -2, -2, -2, -1, 0, 0, 0}}, // -2.5 -> -2, -1.5 -> -2, -0.5 -> 0
        {2, 7, 1, {4}},                            // one column: (2 + 7 - 1) div 2
        {-4, 1, 1, {-2}},                          // (-4 + 1 - 1) div 2 truncates towards zero
        {0, 7, 3, {0, 2, 5}},                      // 2.33 -> 2, 4.67 -> 5
    };
    for (const Case& c : cases) {
        for (int64_t e = 0; e < c.DstLength; ++e)
            EXPECT_EQ(StretchSourceIndex(e, c.DstLength, c.SrcLo, c.SrcHi), c.Want[size_t(e)])
                << "[" << c.SrcLo << "," << c.SrcHi << ") onto " << c.DstLength << ", e=" << e;
    }
    // Extreme rectangles must not overflow.
    EXPECT_EQ(StretchSourceIndex(int64_t(1) << 31, int64_t(UINT32_MAX), INT32_MIN, INT32_MAX), 0);
    EXPECT_EQ(
        StretchSourceIndex(int64_t(UINT32_MAX) - 1, int64_t(UINT32_MAX), INT32_MIN, INT32_MAX),
        INT32_MAX - 1);
}

// Every destination pixel shows the source pixel the mapping picks; with master alpha 255 it is
// copied as it is (alpha included), otherwise blended.
void ExpectStretch(int32_t srcW, int32_t srcH, TZuRect srcRect, TZuRect dstRect, uint8_t master) {
    Map src = Map::Numbered(srcW, srcH);
    for (TColor32& p : src.Pixels)
        p = (p & 0xFFFFFF) | (p & 1 ? 0x40000000u : 0xC0000000u); // see-through pixels
    Map dst(9, 8, kBackground);
    const auto& routines = BlendRoutines();
    const auto family = routines.Path == TZuBlendPath::Portable ? reference::Family::Portable
                                                                : reference::Family::Vector;
    StretchTransfer(dst.View(), dstRect, src.View(), srcRect, master, routines);
    for (int32_t y = 0; y < dst.Height; ++y)
        for (int32_t x = 0; x < dst.Width; ++x) {
            TColor32 want = kBackground;
            const bool inRect =
                x >= dstRect.Left && x < dstRect.Right && y >= dstRect.Top && y < dstRect.Bottom;
            if (inRect) {
                const int32_t sx = StretchSourceIndex(x - dstRect.Left, dstRect.Width(),
                                                      srcRect.Left, srcRect.Right);
                const int32_t sy = StretchSourceIndex(y - dstRect.Top, dstRect.Height(),
                                                      srcRect.Top, srcRect.Bottom);
                if (sx >= 0 && sy >= 0 && sx < srcW && sy < srcH) {
                    const TColor32 s = src.At(sx, sy);
                    want =
                        master == 255 ? s : reference::BlendMaster(family, s, kBackground, master);
                }
            }
            ASSERT_EQ(dst.At(x, y), want) << "at " << x << "," << y;
        }
}

TEST(StretchTransfer, MagnifiesAndReducesByNearestNeighbour) {
    struct Case {
        int32_t SrcW, SrcH;
        TZuRect Src, Dst;
    };
    const Case cases[] = {
        {3, 2, {0, 0, 3, 2}, {0, 0, 9, 8}},   // magnify 3x and 4x: repeated rows
        {8, 8, {0, 0, 8, 8}, {1, 1, 4, 3}},   // reduce
        {5, 5, {1, 1, 4, 4}, {2, 0, 3, 8}},   // one column wide: the middle source column
        {5, 5, {1, 1, 4, 5}, {0, 3, 9, 4}},   // one row high: the middle source row
        {4, 4, {0, 0, 4, 4}, {-3, -2, 7, 6}}, // destination rectangle partly outside
        {4, 4, {-2, -1, 6, 3}, {0, 0, 9, 8}}, // source rectangle partly outside the bitmap
        {2, 2, {0, 0, 2, 2}, {0, 0, 7, 5}},   // magnify more than 2x: last index kept inside
    };
    for (const Case& c : cases)
        for (uint8_t master : {uint8_t(255), uint8_t(150)}) {
            SCOPED_TRACE(testing::Message()
                         << "dst " << c.Dst.Left << "," << c.Dst.Top << "," << c.Dst.Right << ","
                         << c.Dst.Bottom << " master " << int(master));
            ExpectStretch(c.SrcW, c.SrcH, c.Src, c.Dst, master);
        }
}

TEST(StretchTransfer, EqualSizesBlendLikeABlockTransfer) {
    Map src(2, 2, 0x80FFFFFFu);
    Map dst(4, 4, 0xFF000000u);
    StretchTransfer(dst.View(), {1, 1, 3, 3}, src.View(), {0, 0, 2, 2}, 255);
    EXPECT_EQ(dst.At(0, 0), 0xFF000000u);
    EXPECT_EQ(dst.At(1, 1) & 0xFFFFFF, 0x808080u); // blended, not copied
}

TEST(StretchTransfer, OntoItselfReadsTheOriginalPixels) {
    Map map = Map::Numbered(4, 4);
    const Map original = map;
    StretchTransfer(map.View(), {0, 0, 4, 4}, map.View(), {0, 0, 2, 2}, 255);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x)
            ASSERT_EQ(map.At(x, y), original.Pixels[size_t(StretchSourceIndex(y, 4, 0, 2)) * 4 +
                                                    size_t(StretchSourceIndex(x, 4, 0, 2))]);
}

} // namespace
} // namespace tunola
