// The list box's arithmetic: the layout of rows and bar, hits, the first row's limits, the
// lines to bring a row into view, drag-outside codes, smooth-scroll frames, and the scroll
// bar's parts and steps.

#include "ZuListGeometry.h"
#include "ZuScrollBarMath.h"

#include <gtest/gtest.h>

namespace tunola {
namespace {

TEST(ListGeometry, LayoutTable) {
    const struct {
        int w, h, count, itemH;
        TListControlGUI style;
        TZuRect area;
        int page;
        bool bar;
    } cases[] = {
        // 116 pixels of rows at 22: five whole rows and a cut one.
        {200, 120, 30, 22, lcgFlat, {2, 2, 182, 118}, 6, true},
        // Fewer rows than fit: no bar, the rows take the whole width.
        {200, 120, 5, 22, lcgFlat, {2, 2, 198, 118}, 6, false},
        // Exactly a page: the bar is there (count >= page).
        {200, 120, 6, 22, lcgFlat, {2, 2, 182, 118}, 6, true},
        // Rows that fit exactly.
        {100, 114, 10, 22, lcgFlat, {2, 2, 82, 112}, 5, true},
        {100, 112, 10, 22, lcgLowered, {1, 1, 83, 111}, 5, true},
        {100, 112, 10, 22, lcgIintaglio, {1, 1, 83, 111}, 5, true},
        // No room for a row: nothing to scroll.
        {10, 3, 4, 14, lcgFlat, {2, 2, 8, 2}, 0, false},
    };
    for (const auto& c : cases) {
        const TZuListGeometry g = ZuListGeometryOf(c.w, c.h, c.count, c.itemH, c.style, 0);
        EXPECT_EQ(g.Area, c.area) << c.w << "x" << c.h << " count " << c.count;
        EXPECT_EQ(g.Page, c.page) << c.w << "x" << c.h;
        EXPECT_EQ(g.BarEnabled, c.bar) << c.w << "x" << c.h << " count " << c.count;
        EXPECT_EQ(g.Bar, (TZuRect{g.Area.Right, g.Area.Top, g.Area.Right + 16, g.Area.Bottom}));
    }
}

TEST(ListGeometry, HitTestTable) {
    TZuListGeometry g = ZuListGeometryOf(200, 120, 8, 22, lcgFlat, 0);
    g.TopIndex = 3; // rows 3 … 7 shown, row 8 would be the cut one but does not exist
    const struct {
        int x, y;
        bool anyX;
        int row;
    } cases[] = {
        {10, 2, false, 3},    // the area's top pixel row
        {10, 23, false, 3},   // last pixel of the first row
        {10, 24, false, 4},   // next row
        {2, 50, false, 5},    // the area's left edge
        {181, 50, false, 5},  // its right edge
        {182, 50, false, -1}, // on the bar
        {182, 50, true, 5},   // a held button counts only the height
        {1, 50, false, -1},   // on the frame
        {10, 1, false, -1},   // above
        {10, 118, false, -1}, // below (bottom edge is outside)
        {10, 112, false, -1}, // inside, under the last row
        {10, 111, false, 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(g.ItemAt(c.x, c.y, c.anyX), c.row) << c.x << "," << c.y;
    EXPECT_EQ(g.ItemRect(4), (TZuRect{2, 24, 182, 46}));
    EXPECT_EQ(g.LastPainted(), 7);
}

TEST(ListGeometry, TopIndexAndLinesToShowTables) {
    const struct {
        int top, count, page;
        bool bar;
        int result;
    } tops[] = {
        {0, 30, 6, true, 0},  {25, 30, 6, true, 25}, {26, 30, 6, true, 25},
        {-4, 30, 6, true, 0}, {1, 6, 6, true, 1},    {2, 6, 6, true, 1}, // one step past a page
        {3, 5, 6, false, 0},  {9, 2, 6, true, 0},
    };
    for (const auto& c : tops)
        EXPECT_EQ(ZuClampTopIndex(c.top, c.count, c.page, c.bar), c.result)
            << c.top << " of " << c.count;

    const struct {
        int row, top, page, lines;
    } shows[] = {
        {5, 3, 6, 0}, {8, 3, 6, 0}, {9, 3, 6, 1}, {20, 3, 6, 12}, {2, 3, 6, -1}, {0, 10, 6, -10},
    };
    for (const auto& c : shows)
        EXPECT_EQ(ZuLinesToShow(c.row, c.top, c.page), c.lines) << c.row << " from " << c.top;
}

TEST(ListGeometry, AutoScrollCodesAndIntervals) {
    const TZuRect area{2, 2, 182, 118};
    const struct {
        int y, code;
    } cases[] = {{50, 0},  {2, 0},   {117, 0}, {1, 4},   {-13, 4}, {-14, 5}, {-28, 5},
                 {-29, 6}, {118, 1}, {133, 1}, {134, 2}, {148, 2}, {149, 3}, {500, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(ZuAutoScrollCode(c.y, area), c.code) << c.y;
    const int intervals[] = {0, 100, 50, 10, 100, 50, 10};
    for (int code = 0; code <= 6; ++code)
        EXPECT_EQ(ZuAutoScrollInterval(code), intervals[code]) << code;
}

TEST(ListGeometry, SmoothScrollFrames) {
    const struct {
        int distance, frames, pause, lastOffset, offset1;
    } cases[] = {
        {22, 21, 10, 22, 1}, // one row of the library's list: 21 frames, 210 ms
        {5, 6, 40, 5, 1},    // short: a pixel a frame
        {10, 11, 20, 10, 1}, {400, 21, 10, 400, 20}, // long: 20 pixels a frame
        {30, 21, 10, 30, 2},                         // 1.5 rounds half to even
        {0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const TZuSmoothScroll s{c.distance};
        EXPECT_EQ(s.Frames(), c.frames) << c.distance;
        EXPECT_EQ(s.PauseMs(), c.pause) << c.distance;
        if (c.frames > 0) {
            EXPECT_EQ(s.Offset(c.frames - 1), c.lastOffset) << c.distance;
            EXPECT_EQ(s.Offset(1), c.offset1) << c.distance;
        }
    }
}

TEST(ScrollBarMath, PartsTable) {
    const struct {
        int length, min, max, page, position;
        bool enabled, hasThumb;
        int arrow, thumbLength, thumbStart;
    } cases[] = {
        // The library list: 116 high, 30 rows, page 6: track 84, thumb round(84 * 6 / 31) = 16.
        {116, 0, 30, 6, 0, true, true, 16, 16, 16},
        {116, 0, 30, 6, 25, true, true, 16, 16, 84}, // at the end: track end - thumb
        {116, 0, 30, 6, 12, true, true, 16, 16, 49}, // 16 + round(68 * 12 / 25)
        // Many rows: the thumb stays at least 9 long.
        {116, 0, 10000, 6, 0, true, true, 16, 9, 16},
        // Page size 0: a 16-pixel thumb.
        {121, 0, 100, 0, 50, true, true, 16, 16, 52}, // 16 + round(36.5) to even
        // Disabled: no thumb length, the spaces cover the track.
        {116, 0, 5, 6, 0, false, true, 16, 0, 16},
        // Too short for a thumb: half-length arrows.
        {30, 0, 30, 6, 0, true, false, 15, 0, 0},
        {40, 0, 30, 6, 0, true, false, 16, 9, 0},
    };
    for (const auto& c : cases) {
        const TZuScrollRange r{c.min, c.max, c.page, c.position, c.enabled};
        const TZuScrollBarLayout l = ZuScrollBarLayoutOf(sbVertical, 16, c.length, r);
        EXPECT_EQ(l.ArrowLength, c.arrow) << c.length << " " << c.max;
        EXPECT_EQ(l.HasThumb, c.hasThumb) << c.length << " " << c.max;
        if (c.hasThumb) {
            EXPECT_EQ(l.ThumbLength, c.thumbLength) << c.length << " " << c.max;
            EXPECT_EQ(l.ThumbStart, c.thumbStart) << c.length << " " << c.max;
            EXPECT_EQ(l.Parts[dsSpaceLeft].Bottom, l.ThumbStart);
            EXPECT_EQ(l.Parts[dsSpaceRight].Top, l.ThumbStart + l.ThumbLength);
            EXPECT_EQ(l.Parts[dsSpaceRight].Bottom, c.length - c.arrow);
        } else {
            EXPECT_TRUE(l.Parts[dsTrack].IsEmpty());
        }
        EXPECT_EQ(l.Parts[dsRightBtn], (TZuRect{0, c.length - c.arrow, 16, c.length}));
    }
    // A horizontal bar lays the same parts out across.
    const TZuScrollBarLayout h =
        ZuScrollBarLayoutOf(sbHorizontal, 121, 16, TZuScrollRange{0, 100, 0, 0, true});
    EXPECT_EQ(h.Parts[dsLeftBtn], (TZuRect{0, 0, 16, 16}));
    EXPECT_EQ(h.Parts[dsTrack], (TZuRect{16, 0, 32, 16}));
}

TEST(ScrollBarMath, StepsAndThumbDrags) {
    const TZuScrollRange r{0, 30, 6, 23, true};
    EXPECT_EQ(ZuStepPosition(r, 1), 24);
    EXPECT_EQ(ZuStepPosition(r, 6), 25); // Max - PageSize + 1
    EXPECT_EQ(ZuStepPosition(r, -30), 0);
    EXPECT_EQ(ZuStepPosition(TZuScrollRange{0, 3, 6, 0, false}, 1), 0);

    const TZuScrollBarLayout l = ZuScrollBarLayoutOf(sbVertical, 16, 116, r);
    EXPECT_EQ(ZuPositionFromThumb(l, r, l.TrackStart), 0);
    EXPECT_EQ(ZuPositionFromThumb(l, r, l.TrackStart + l.TrackLength - l.ThumbLength), 25);
    EXPECT_EQ(ZuPositionFromThumb(l, r, 1000), 25);
    // Every position survives the way to the thumb and back.
    for (int pos = 0; pos <= 25; ++pos) {
        TZuScrollRange at = r;
        at.Position = pos;
        const TZuScrollBarLayout la = ZuScrollBarLayoutOf(sbVertical, 16, 116, at);
        EXPECT_EQ(ZuPositionFromThumb(la, at, la.ThumbStart), pos);
    }
}

} // namespace
} // namespace tunola
