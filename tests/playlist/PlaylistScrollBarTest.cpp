// The playlist's scroll bar: how it draws its track and slider, and how the mouse moves it.

#include "PlaylistViewSupport.h"
#include "ZuPlaylistScrollBar.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tunola;
using namespace tunola::test;
using tunola::zuplaylist::TZuScrollBar;
using tunola::zuplaylist::TZuSliderState;

namespace {

constexpr TColor32 kNormal = 0xFF00A000;
constexpr TColor32 kHot = 0xFF00F0F0;
constexpr TColor32 kPressed = 0xFFFFFFFF;

// A picture laid out like the skins': an 8-pixel track at x = 0 whose pixels name their row
// (in the green channel), then the normal, highlighted and pressed sliders (8 x 20).
void PaintSkinPicture(TZuBitmap32& image) {
    image.SetSize(32, 40);
    image.Clear(0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 8; ++x)
            *image.PixelPtr(x, y) = 0xFF000000u | uint32_t(y) << 8;
    image.FillRect(ZuBounds(8, 0, 8, 20), kNormal);
    image.FillRect(ZuBounds(16, 0, 8, 20), kHot);
    image.FillRect(ZuBounds(24, 0, 8, 20), kPressed);
}

class ScrollBar : public ::testing::Test {
protected:
    void SetUp() override {
        PaintSkinPicture(bar.Image());
        bar.SetNormalX(8);
        bar.SetHighlightedX(16);
        bar.SetPressedX(24);
        bar.SetSliderW(8);
        bar.SetSliderH(20);
        bar.resize(8, 100);
        bar.SetMax(4);
        bar.OnChange = [this](QWidget&) { changes.push_back(bar.Position()); };
    }
    // Row of the track picture that the bar shows at height y (from the green channel).
    int TrackRowAt(const QImage& image, int y) { return int(image.pixel(2, y) >> 8 & 0xFF); }

    TZuScrollBar bar;
    std::vector<int> changes;
};

TEST_F(ScrollBar, TrackTilesItsBodyBetweenCapsOfBorderPixels) {
    bar.SetSliderW(0); // no slider over the track
    bar.SetBorder(2);
    bar.SetTrackRect(0, 0, 8, 20);
    bar.resize(8, 40);
    ShowAndWait(bar);
    const QImage image = Grab(bar);
    std::vector<int> rows;
    for (int y = 0; y < 40; ++y)
        rows.push_back(TrackRowAt(image, y));
    // Top cap: rows 0-1. The body leaves four cap widths out: rows 2-13, every 12 pixels.
    // Bottom cap: rows 18-19 at the very bottom.
    std::vector<int> want{0, 1};
    for (int tile = 0; tile < 3; ++tile)
        for (int r = 2; r <= 13; ++r)
            want.push_back(r);
    want.push_back(18);
    want.push_back(19);
    EXPECT_EQ(rows, want);
}

TEST_F(ScrollBar, SliderPicturesFollowTheMouse) {
    bar.SetTrackRect(0, 30, 8, 1); // one plain row, tiled
    ShowAndWait(bar);
    auto sliderPixel = [&] { return Grab(bar).pixel(3, bar.SliderTop() + 5); };
    EXPECT_EQ(sliderPixel(), kNormal);

    QTest::mouseMove(&bar, QPoint(3, 10));
    EXPECT_EQ(bar.SliderState(), TZuSliderState::Hot);
    EXPECT_EQ(sliderPixel(), kHot);
    QTest::mouseMove(&bar, QPoint(3, 60));
    EXPECT_EQ(bar.SliderState(), TZuSliderState::Normal);

    // Pressed: the pressed picture at 190 of 255 over the track.
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(3, 10));
    EXPECT_EQ(bar.SliderState(), TZuSliderState::Dragged);
    const TColor32 under = 0xFF000000u | 30u << 8; // row 30 of the picture
    const QRgb seen = sliderPixel();
    for (int shift : {0, 8, 16}) {
        const int s = int(kPressed >> shift & 0xFF), d = int(under >> shift & 0xFF);
        const int want = (190 * s + 65 * d) / 255;
        EXPECT_LE(std::abs(int(seen >> shift & 0xFF) - want), 1) << shift;
    }
    // Let go outside: back to normal.
    QTest::mouseMove(&bar, QPoint(30, 10));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_FALSE(bar.Tracking());
    EXPECT_EQ(bar.SliderState(), TZuSliderState::Normal);
}

TEST_F(ScrollBar, PressAndDragMapPixelsToPositions) {
    ShowAndWait(bar);
    // 80 pixels of travel for positions 0-4: 20 pixels a step.
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(3, 70)); // on the track
    EXPECT_EQ(bar.SliderState(), TZuSliderState::TrackPressed);
    EXPECT_EQ(bar.SliderTop(), 60); // the slider's middle jumps to the mouse
    EXPECT_EQ(bar.Position(), 3);
    QTest::mouseMove(&bar, QPoint(3, 95));
    EXPECT_EQ(bar.Position(), 4);
    EXPECT_EQ(bar.SliderTop(), 80);
    QTest::mouseMove(&bar, QPoint(3, 96)); // same step: no change reported
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(3, 96));
    EXPECT_EQ(changes, (std::vector<int>{3, 4}));

    // Dragging the slider keeps the point where it was caught.
    changes.clear();
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(3, 85)); // 5 pixels into the slider
    EXPECT_EQ(bar.SliderState(), TZuSliderState::Dragged);
    QTest::mouseMove(&bar, QPoint(3, 30)); // top 25 -> position 1
    EXPECT_EQ(bar.Position(), 1);
    EXPECT_EQ(bar.SliderTop(), 20);
    QTest::mouseMove(&bar, QPoint(3, -50));
    EXPECT_EQ(bar.Position(), 0);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(3, -50));
    EXPECT_EQ(changes, (std::vector<int>{4, 1, 0}));
}

TEST_F(ScrollBar, PositionAndMaxSetters) {
    bar.SetPosition(9);
    EXPECT_EQ(bar.Position(), 4);
    EXPECT_EQ(bar.SliderTop(), 80);
    bar.SetPosition(4); // unchanged
    bar.SetPosition(2, false);
    EXPECT_EQ(changes, (std::vector<int>{4}));

    // A new Max keeps the slider where it is and reads the position from it, silently.
    bar.SetMax(8);
    EXPECT_EQ(bar.Position(), 4);
    EXPECT_EQ(bar.SliderTop(), 40);
    bar.SetMax(-3);
    EXPECT_EQ(bar.Max(), 0);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.SliderTop(), 0);
    EXPECT_EQ(changes, (std::vector<int>{4}));

    bar.SetMax(200);
    bar.SetPercentage(25);
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_EQ(bar.Percentage(), 25);
}

} // namespace
