// Slider arithmetic: rounding, the value grid, the catch at the middle, percentages.

#include "ZuSliderMath.h"

#include <gtest/gtest.h>

namespace tunola {
namespace {

TZuSliderMetrics Horizontal(int width, int sliderW, int max, TZuSliderStyle style = ssComplex) {
    TZuSliderMetrics m;
    m.Style = style;
    m.Width = width;
    m.Height = 10;
    m.SliderW = sliderW;
    m.SliderH = 10;
    m.Max = max;
    return m;
}

TEST(SliderMath, RoundsHalvesToEven) {
    struct Case {
        int64_t Num, Den, Expected;
    };
    const Case cases[] = {{5, 2, 2},   {7, 2, 4},   {-5, 2, -2},    {-7, 2, -4},
                          {9, 4, 2},   {11, 4, 3},  {1, 3, 0},      {2, 3, 1},
                          {-2, 3, -1}, {5, -2, -2}, {4000, 90, 44}, {7, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(RoundDivHalfEven(c.Num, c.Den), c.Expected) << c.Num << "/" << c.Den;
}

TEST(SliderMath, TrackLengthAndTheValueGrid) {
    const TZuSliderMetrics m = Horizontal(100, 10, 100); // L = 90
    EXPECT_EQ(TrackLength(m), 90);
    EXPECT_EQ(TrackLength(Horizontal(100, 10, 100, ssSimple)), 100);
    // A press at 45 on the track previews the thumb centred there: pixel 45 - 10/2 = 40.
    EXPECT_EQ(PixelToValue(m, 40), 44); // round(100 * 40 / 90) = round(44.4)
    EXPECT_EQ(SnapPixel(m, 40), (TZuSnapped{40, 44}));
    // Off the value grid, a pixel lands on the pixel of its value: with Max 10 a value is 9
    // pixels, and pixel 13 (value 1.44) goes back to 9.
    EXPECT_EQ(SnapPixel(Horizontal(100, 10, 10), 13), (TZuSnapped{9, 1}));
    // Kept on the track.
    EXPECT_EQ(SnapPixel(m, -7), (TZuSnapped{0, 0}));
    EXPECT_EQ(SnapPixel(m, 95), (TZuSnapped{90, 100}));
    // Halves go to the even value: Max 20 on L = 40 gives 2 pixels a step; pixel 3 is 1.5.
    EXPECT_EQ(PixelToValue(Horizontal(50, 10, 20), 3), 2);
    EXPECT_EQ(PixelToValue(Horizontal(50, 10, 20), 5), 2);
    // Nothing divides by zero.
    EXPECT_EQ(PixelToValue(Horizontal(10, 10, 100), 5), 0);
    EXPECT_EQ(ValueToPixel(Horizontal(100, 10, 0), 5), 0);
}

TEST(SliderMath, CenterMiddleCatchesTwoPixelsEachSide) {
    TZuSliderMetrics m = Horizontal(100, 10, 100);
    m.CenterMiddle = true;
    for (int pixel = 43; pixel <= 47; ++pixel)
        EXPECT_EQ(SnapPixel(m, pixel), (TZuSnapped{45, 50})) << pixel;
    EXPECT_EQ(SnapPixel(m, 42).Value, 47);
    EXPECT_EQ(SnapPixel(m, 48).Value, 53);
    m.CenterMiddle = false;
    EXPECT_EQ(SnapPixel(m, 44).Value, 49);
}

TEST(SliderMath, RotatorFrames) {
    TZuSliderMetrics m = Horizontal(30, 0, 100, ssRotator);
    m.Height = 30;
    EXPECT_EQ(ValueToPixel(m, 0), 0);
    EXPECT_EQ(ValueToPixel(m, 50), 11 * 30);  // round(11.0)
    EXPECT_EQ(ValueToPixel(m, 100), 22 * 30); // the last of 23 frames
    EXPECT_EQ(SnapRotator(m, 130), (TZuSnapped{22 * 30, 100}));
    EXPECT_EQ(SnapRotator(m, -4), (TZuSnapped{0, 0}));
}

TEST(SliderMath, PercentagesOfMax) {
    const TZuSliderMetrics h = Horizontal(100, 10, 10);
    EXPECT_EQ(ValueForPercentage(h, 50), 5);
    EXPECT_EQ(ValueForPercentage(h, 150), 10);
    EXPECT_EQ(ValueForPercentage(h, -3), 0);
    EXPECT_EQ(PercentageOf(h, 5), 50);
    EXPECT_EQ(PercentageOf(h, 3), 30);

    // Vertical: the value counts from the top, the percentage from the bottom, and the two
    // agree also when Max is not 100.
    TZuSliderMetrics v = h;
    v.Kind = skVertical;
    EXPECT_EQ(ValueForPercentage(v, 50), 5);
    EXPECT_EQ(ValueForPercentage(v, 80), 2);
    EXPECT_EQ(PercentageOf(v, 2), 80);
    EXPECT_EQ(PercentageOf(v, 10), 0);

    TZuSliderMetrics rotator = h;
    rotator.Style = ssRotator;
    EXPECT_EQ(ValueForPercentage(rotator, 64), 64);
}

} // namespace
} // namespace tunola
