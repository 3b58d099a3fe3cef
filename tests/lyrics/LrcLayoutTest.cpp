// The lyric display's arithmetic: current line and scroll value over a table of positions,
// the trailer's time and the display line fields.

#include "ZuLrcLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace tunola {
namespace {

TEST(LrcLayoutTest, CurrentLineAndScrollOverPositions) {
    // Lines at 1 s, 3 s, 6 s and the trailer at 10 s; pitch 20, height 100: y0 = 50 + 10 = 60.
    const std::vector<int64_t> times = {1000, 3000, 6000, 10000};
    struct Case {
        int64_t offset, pos;
        int current;
        int64_t scroll;
    } cases[] = {
        {0, 0, -1, 40},    // before the first line: none current, the column at its start
        {0, 1000, -1, 40}, // on the first line's time: it is not yet passed
        {0, 2000, 0, 40},  // the first line holds still
        {0, 3000, 0, 40},
        {0, 4500, 1, 30}, // half way from 3 s to 6 s: half a pitch up, one pitch per line
        {0, 6000, 1, 20},
        {0, 8000, 2, 10}, // towards the trailer
        {0, 10000, 2, 0},
        {0, 10001, 3, 40}, // after the trailer: back to the start
        {0, 99999, 3, 40},
        {500, 2500, 0, 40}, // LrcOffset 500: every line half a second earlier
        {500, 2501, 1, 40},
        {500, 4000, 1, 30},
    };
    for (const Case& c : cases) {
        const TLrcFrame f = LrcFrameAt(times, c.offset, c.pos, 20, 100, 0);
        EXPECT_EQ(f.Current, c.current) << c.offset << "/" << c.pos;
        EXPECT_EQ(f.Scroll, c.scroll) << c.offset << "/" << c.pos;
        EXPECT_EQ(f.ImageTop, c.scroll - 60) << c.offset << "/" << c.pos;
    }
}

TEST(LrcLayoutTest, SpacingMovesTheStartAndTheCurrentLineEntersAtTheMiddle) {
    const std::vector<int64_t> times = {0, 1000, 2000, 3000};
    // h = 16 + 4, y0 = 120 / 2 + 10 + 4 = 74; line 2 current on its time: at Height / 2 + 4.
    const TLrcFrame f = LrcFrameAt(times, 0, 1001, LrcPitch(16, 4), 120, 4);
    EXPECT_EQ(f.Current, 1);
    const int64_t lineY = 1 * 20 + 120 / 2 + f.ImageTop;
    EXPECT_EQ(lineY, 60 + 4);
}

TEST(LrcLayoutTest, TrailerGoesAfterTheSongAndAfterTheLastLine) {
    EXPECT_EQ(TrailerTime(30000, 5000, true), 30000);
    EXPECT_EQ(TrailerTime(30000, 40000, true), 40001); // the lyric runs longer
    EXPECT_EQ(TrailerTime(30000, 30000, true), 30001);
    EXPECT_EQ(TrailerTime(20000, 0, false), 20000); // a 20 s track keeps its trailer at 20 s
    EXPECT_EQ(TrailerTime(-5, 0, false), 0);
    // Three hours stay exact in 64 bits; the field never grows past 10 characters.
    EXPECT_EQ(TrailerTime(3LL * 3600 * 1000, 0, false), 10800000);
    EXPECT_EQ(TrailerTime(int64_t(1) << 40, 0, false), kLrcMaxTime);
    EXPECT_EQ(TrailerTime(0, kLrcMaxTime, true), kLrcMaxTime);
    EXPECT_EQ(DisplayLine(kLrcMaxTime, "x").size(), 12u);
}

TEST(LrcLayoutTest, DisplayLineFields) {
    const std::string line = DisplayLine(12345, "歌");
    EXPECT_EQ(line, "     12345,歌");
    EXPECT_EQ(DisplayLineTime(line), 12345);
    EXPECT_EQ(DisplayLineText(line), "歌");
    EXPECT_EQ(DisplayLineText(DisplayLine(5, "")), " ");
    EXPECT_EQ(DisplayLineTime(DisplayLine(-250, "a")), -250);
    EXPECT_EQ(DisplayLineTime("garbage"), 0);
}

TEST(LrcLayoutTest, BandHoldsWhatCanShow) {
    // Around the current line, reaching a view's height and a pitch more either way.
    const TLrcBand mid = LrcBand(50, 100, 20, 100);
    EXPECT_EQ(mid.First, 42);
    EXPECT_EQ(mid.Last, 58);
    // Before the second line and after the last the column is at its start.
    EXPECT_EQ(LrcBand(-1, 100, 20, 100).First, 0);
    EXPECT_EQ(LrcBand(99, 100, 20, 100).First, 0);
    EXPECT_EQ(LrcBand(99, 100, 20, 100).Last, 8);
    EXPECT_EQ(LrcBand(0, 0, 20, 100).Last, -1);
}

} // namespace
} // namespace tunola
