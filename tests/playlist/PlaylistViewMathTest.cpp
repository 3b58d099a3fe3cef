// The playlist view's arithmetic: row geometry, the scroll bar's mapping and the length text.

#include "ZuPlaylistGeometry.h"
#include "ZuPlaylistScrollMath.h"
#include "ZuTimeFormat.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tunola;
using namespace tunola::zuplaylist;

namespace {

// 20 entries, scrolled to row 5, in a view 100 pixels high (7 whole rows and 2 pixels of the
// eighth) whose rows end at x = 90 (a scroll bar stands right of them).
TZuListGeometry Scrolled() {
    TZuListGeometry g;
    g.TopIndex = 5;
    g.Count = 20;
    g.ItemHeight = 14;
    g.Height = 100;
    g.RowRight = 90;
    return g;
}

TEST(PlaylistGeometry, ItemRect) {
    const TZuListGeometry g = Scrolled();
    struct Case {
        int index;
        TZuRect rect;
    };
    const Case cases[] = {
        {5, {0, 0, 90, 14}},
        {6, {0, 14, 90, 28}},
        {4, {0, -14, 90, 0}},   // the row just above the view (the drop line at the top)
        {3, {}},                // further up: nothing
        {11, {0, 84, 90, 98}},  // the last whole row
        {12, {0, 98, 90, 112}}, // the partly shown row still has its place
        {13, {}},               // starts below the view
        {1000000000, {}},       // far below, without wrapping around
    };
    for (const Case& c : cases)
        EXPECT_EQ(ItemRect(g, c.index), c.rect) << c.index;
}

TEST(PlaylistGeometry, ItemAtPointAndDropIndexAt) {
    TZuListGeometry g = Scrolled();
    struct Case {
        int y;
        int item;
        int drop;
    };
    const Case cases[] = {
        {-1, -1, -1}, {0, 5, 5},    {13, 5, 5}, {14, 6, 6},
        {97, 11, 11}, {98, -1, 12}, // the partly shown row: no item, but a drop lands there
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ItemAtPoint(g, {10, c.y}), c.item) << c.y;
        EXPECT_EQ(DropIndexAt(g, {10, c.y}), c.drop) << c.y;
    }

    // Three entries: below the last one there is no item, and a drop appends.
    g.TopIndex = 0;
    g.Count = 3;
    EXPECT_EQ(ItemAtPoint(g, {10, 2 * 14 + 3}), 2);
    EXPECT_EQ(ItemAtPoint(g, {10, 3 * 14}), -1);
    EXPECT_EQ(DropIndexAt(g, {10, 3 * 14}), 3);
    EXPECT_EQ(DropIndexAt(g, {10, 99}), 3);
}

TEST(PlaylistGeometry, ScrollRangeBarAndDropImage) {
    EXPECT_EQ(ScrollMaxFor(5, 10), 0);
    EXPECT_EQ(ScrollMaxFor(10, 10), 0);
    EXPECT_EQ(ScrollMaxFor(100000, 8), 99992);

    EXPECT_FALSE(ScrollBarShown(true, 140, 10, 14)); // exactly fits
    EXPECT_TRUE(ScrollBarShown(true, 140, 11, 14));
    EXPECT_TRUE(ScrollBarShown(false, 140, 0, 14));

    EXPECT_EQ(ScrollBarPlace(200, 100, 8, 3, 5), (TZuBarPlace{192, 3, 8, 92}));
    EXPECT_EQ(ScrollBarPlace(200, 6, 8, 3, 5).Height, 0);

    EXPECT_EQ(DropImageTop(28, 8), 24);
    EXPECT_EQ(DropImageTop(2, 8), 0);
}

TEST(PlaylistScrollMath, PositionsAndPixelsRoundHalfToEven) {
    // A bar 100 high with a slider of 20: 80 pixels of travel.
    const TZuScrollMetrics m{100, 20, 4};
    struct Case {
        int pixel;
        int pos;
    };
    const Case toPos[] = {{0, 0}, {10, 0}, {11, 1}, {30, 2}, {50, 2}, {70, 4}, {80, 4}};
    for (const Case& c : toPos)
        EXPECT_EQ(PosFromPixel(m, c.pixel), c.pos) << c.pixel;
    for (int pos = 0; pos <= 4; ++pos)
        EXPECT_EQ(PixelFromPos(m, pos), pos * 20);
    EXPECT_EQ(PixelFromPos({100, 20, 3}, 1), 27); // 26.67
    EXPECT_EQ(PixelFromPos({100, 20, 32}, 1), 2); // 2.5 -> 2
    EXPECT_EQ(PixelFromPos({100, 20, 32}, 3), 8); // 7.5 -> 8

    // Snapping keeps the slider on the bar and on the grid.
    EXPECT_EQ(SnapPixel(m, -30), 0);
    EXPECT_EQ(SnapPixel(m, 25), 20);
    EXPECT_EQ(SnapPixel(m, 500), 80);

    // Nothing to scroll, or no room to move: everything is at 0.
    EXPECT_EQ(PosFromPixel({100, 20, 0}, 50), 0);
    EXPECT_EQ(PixelFromPos({100, 20, 0}, 3), 0);
    EXPECT_EQ(PosFromPixel({20, 30, 5}, 10), 0);
    EXPECT_EQ(SnapPixel({20, 30, 5}, 10), 0);

    // A long list on a tall bar: no overflow on the way.
    EXPECT_EQ(PosFromPixel({1000, 10, 99992}, 990), 99992);
    EXPECT_EQ(PixelFromPos({1000, 10, 99992}, 49996), 495);
}

TEST(TimeFormat, LengthsShowAsTimeOfDay) {
    struct Case {
        const char* format;
        double seconds;
        const char* text;
    };
    const Case cases[] = {
        {"nn:ss", 245, "04:05"},
        {"nn:ss", 0, "00:00"},
        {"nn:ss", 75 * 60, "15:00"}, // an hour and a quarter shows its minutes only
        {"nn:ss", 59.9996, "01:00"}, // rounded to the millisecond first
        {"nn:ss", 59.9994, "00:59"},
        {"hh:nn:ss", 3725, "01:02:05"},
        {"h:n:s", 3725, "1:2:5"},
        {"NN:SS", 245, "04:05"}, // any case
        {"mm:ss", 245, "04:05"}, // minutes, not months
        {"nn:ss.zzz", 1.5, "00:01.500"},
        {"'len' nn\"m\"", 600, "len 10m"}, // quoted text as it is
        {"", 245, ""},
        {"nn:ss", 86400 + 61, "01:01"}, // a day and more: the time of day
        {"nn:ss", -61, "01:01"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTimeOfDay(c.format, c.seconds / 86400.0), c.text)
            << c.format << " " << c.seconds;
    EXPECT_EQ(FormatTimeOfDay("nn:ss", std::numeric_limits<double>::quiet_NaN()), "00:00");
}

} // namespace
