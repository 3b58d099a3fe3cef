// The sliders: their pictures (tiles, caps, fill, thumb and preview) from small tagged images,
// and the mouse handling driven by pointer events.

#include "ControlsTestSupport.h"
#include "ZuForm.h"
#include "ZuSlider.h"
#include "ZuSliderPaint.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tunola {
namespace {

using namespace testing_support;

// Track piece A with 2-pixel caps, fill piece B, and the three thumbs (4 wide) in rows.
void MakeTrackImage(TZuBitmap32& image) {
    image.SetSize(12, 3);
    image.Clear(0);
    PaintStrip(image, 0, 0, "<<Aaaaaa>>");
    PaintStrip(image, 0, 1, "[[Bbbbbb]]");
    PaintStrip(image, 0, 2, "NnnnPpppHhhh");
}

TZuSliderLook TrackLook(TZuSliderStyle style, int offset) {
    TZuSliderLook look;
    look.Style = style;
    look.Width = 24;
    look.Height = 1;
    look.Offset = offset;
    look.PreviewOffset = offset;
    look.TileA = {0, 0, 10, 1};
    look.TileB = {0, 1, 10, 1};
    look.Normal = {0, 2, 4, 1};
    look.Pressed = {4, 2, 4, 1};
    look.Highlighted = {8, 2, 4, 1};
    look.Border = 2;
    return look;
}

std::string PaintedRow(const TZuSliderLook& look, const TZuBitmap32& image) {
    TZuBitmap32 canvas;
    canvas.SetSize(look.Width, look.Height);
    canvas.Clear(0xFF000000u);
    PaintSliderBlendEx(canvas, image, look);
    return TaggedRow(canvas, 0);
}

TEST(SliderPaint, TiledTrackWithCapsFillAndThumb) {
    TZuBitmap32 image;
    MakeTrackImage(image);
    struct Case {
        TZuSliderStyle Style;
        int Offset;
        const char* Expected;
    };
    const Case cases[] = {
        // The plain track: caps at both ends, tiles every 6 pixels from 2, the thumb on top.
        {ssComplex, 9, "<<AaaaaaANnnnaAaaaaaAa>>"},
        // The fill up to the thumb; the first plain tile moves back to start at the thumb.
        {ssMix, 9, "[[BbbbbbBNnnnaaAaaaaaA>>"},
        {ssSimple, 9, "[[BbbbbbBNnnnaaAaaaaaA>>"},
        // The thumb at the start: no fill to show.
        {ssMix, 0, "NnnnaaaaAaaaaaAaaaaaAa>>"},
        // The thumb at the end.
        {ssMix, 20, "[[BbbbbbBbbbbbBbbbbbNnnn"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PaintedRow(TrackLook(c.Style, c.Offset), image), c.Expected)
            << int(c.Style) << " at " << c.Offset;
}

TEST(SliderPaint, VerticalSwapsTheTrackPieces) {
    // The same pieces standing up; along a vertical slider B is the track and A the fill.
    TZuBitmap32 flat;
    MakeTrackImage(flat);
    TZuBitmap32 image;
    image.SetSize(flat.Height(), flat.Width());
    for (int32_t y = 0; y < flat.Height(); ++y)
        for (int32_t x = 0; x < flat.Width(); ++x)
            *image.PixelPtr(y, x) = flat.ScanLine(y)[x];
    for (TZuSliderStyle style : {ssComplex, ssMix}) {
        TZuSliderLook look = TrackLook(style, 9);
        look.Kind = skVertical;
        look.Width = 1;
        look.Height = 24;
        look.TileB = {0, 0, 1, 10};
        look.TileA = {1, 0, 1, 10};
        look.Normal = {2, 0, 1, 4};
        look.Pressed = {2, 4, 1, 4};
        look.Highlighted = {2, 8, 1, 4};
        TZuBitmap32 canvas;
        canvas.SetSize(1, 24);
        canvas.Clear(0xFF000000u);
        PaintSliderBlendEx(canvas, image, look);
        EXPECT_EQ(TaggedColumn(canvas, 0), PaintedRow(TrackLook(style, 9), flat)) << int(style);
    }
}

TEST(SliderPaint, PressedThumbWithHalfTransparentPreview) {
    TZuBitmap32 image;
    MakeTrackImage(image);
    TZuSliderLook look = TrackLook(ssComplex, 9);
    look.State = TZuThumbState::tsPressedTrack;
    look.PreviewOffset = 15;
    EXPECT_EQ(PaintedRow(look, image), "<<AaaaaaAPpppaAaaaaaAa>>");

    TZuBitmap32 plain, previewed;
    for (TZuBitmap32* canvas : {&plain, &previewed}) {
        canvas->SetSize(24, 1);
        canvas->Clear(0xFF000000u);
    }
    PaintSliderBlendEx(plain, image, look);
    look.ShowPreview = true;
    PaintSliderBlendEx(previewed, image, look);
    // The preview: the pressed thumb at master alpha 127 over the track, nothing else.
    for (int32_t x = 0; x < 24; ++x) {
        TZuBitmap32 expected;
        expected.SetSize(1, 1);
        expected.Clear(plain.ScanLine(0)[x]);
        if (x >= 15 && x < 19)
            image.DrawBlended(expected, 0, 0, 127, ZuBounds(4 + x - 15, 2, 1, 1));
        EXPECT_EQ(previewed.ScanLine(0)[x], *expected.Bits()) << x;
    }
    EXPECT_NE(previewed.ScanLine(0)[15], plain.ScanLine(0)[15]);
}

TEST(SliderPaint, SimpleImageLayoutRowsAndThumb) {
    TZuBitmap32 image;
    image.SetSize(8, 3);
    PaintStrip(image, 0, 0, "Tttttttt");
    PaintStrip(image, 0, 1, "Ffffffff");
    PaintStrip(image, 0, 2, "NnPpHh");
    TZuSliderLook look;
    look.Width = 8;
    look.Height = 1;
    look.Offset = 3;
    look.Normal = {0, 2, 2, 1};
    look.Pressed = {2, 2, 2, 1};
    look.Highlighted = {4, 2, 2, 1};
    const std::pair<TZuSliderStyle, const char*> cases[] = {
        {ssSimple, "Fffttttt"}, {ssComplex, "TttNnttt"}, {ssMix, "FffNnttt"}};
    for (const auto& [style, expected] : cases) {
        look.Style = style;
        TZuBitmap32 canvas;
        canvas.SetSize(8, 1);
        canvas.Clear(0xFF000000u);
        PaintSliderRows(canvas, image, look);
        EXPECT_EQ(TaggedRow(canvas, 0), expected) << int(style);
    }
}

// A slider as the player's position slider: Max 100, 100 wide, thumb 10 x 10, so the thumb
// travels 90 pixels.
class SliderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureWidgetApplication(); }

    void SetUp() override {
        form_.setGeometry(100, 100, 140, 40);
        slider_ = new TZuSliderBlendEx(&form_);
        slider_->setGeometry(10, 10, 100, 10);
        slider_->SetSliderW(10);
        slider_->SetSliderH(10);
        slider_->SetMax(100);
        slider_->OnChange = [this](QWidget&) { changes_.push_back(slider_->ThumbOffset()); };
        slider_->OnMouseUp = [this](QWidget&, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            positionOnRelease_ = slider_->Position();
        };
        ShowAndWait(form_);
    }

    void Press(int x) { QTest::mousePress(slider_, Qt::LeftButton, {}, QPoint(x, 5)); }
    void Move(int x, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseEvent(QTest::MouseMove, slider_, Qt::NoButton, keys, QPoint(x, 5));
    }
    void Release(int x, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseRelease(slider_, Qt::LeftButton, keys, QPoint(x, 5));
    }

    TZuFormEx form_;
    TZuSliderBlendEx* slider_ = nullptr;
    std::vector<int> changes_;
    int positionOnRelease_ = -1;
};

TEST_F(SliderTest, TrackPressPreviewsAndCommitsOnRelease) {
    Press(45); // on the track: the thumb (0..9) is elsewhere
    EXPECT_EQ(slider_->ThumbState(), TZuThumbState::tsPressedTrack);
    EXPECT_EQ(slider_->PositionEx(), 44); // round(100 * 40 / 90)
    EXPECT_EQ(slider_->Position(), 0);    // not yet
    EXPECT_EQ(slider_->ThumbOffset(), 0);
    Move(60);
    EXPECT_EQ(slider_->PositionEx(), 61); // pixel 55
    EXPECT_EQ(slider_->Position(), 0);
    Release(60);
    EXPECT_EQ(slider_->Position(), 61);
    EXPECT_EQ(positionOnRelease_, 61); // what the player seeks to
    EXPECT_EQ(slider_->ThumbOffset(), 55);
    EXPECT_EQ(changes_.back(), 55);
    EXPECT_FALSE(slider_->Dragging());
}

TEST_F(SliderTest, ShiftDragMovesTheThumbLive) {
    slider_->SetPosition(50);
    ASSERT_EQ(slider_->ThumbOffset(), 45);
    changes_.clear();
    Press(47); // on the thumb, 2 pixels into it
    EXPECT_EQ(slider_->ThumbState(), TZuThumbState::tsPressedThumb);
    Move(60, Qt::ShiftModifier);
    EXPECT_EQ(slider_->ThumbOffset(), 58);
    EXPECT_EQ(slider_->Position(), 64); // round(100 * 58 / 90) = 64.4
    Move(70, Qt::ShiftModifier);
    EXPECT_EQ(slider_->ThumbOffset(), 68);
    EXPECT_EQ(changes_, (std::vector<int>{45, 58, 68}));
    // Without Shift only the preview follows.
    Move(30);
    EXPECT_EQ(slider_->ThumbOffset(), 68);
    EXPECT_EQ(slider_->PositionEx(), 31); // pixel 28
    Release(30, Qt::ShiftModifier);       // released with Shift: the live thumb stays
    EXPECT_EQ(slider_->ThumbOffset(), 68);
    EXPECT_EQ(slider_->Position(), 76);
    EXPECT_EQ(slider_->PositionEx(), 76);
}

TEST_F(SliderTest, CenterMiddleCatchesTheDraggedThumb) {
    slider_->SetCenterMiddle(true);
    for (int x = 43; x <= 47; ++x) {
        Press(5); // grab the thumb at 0 by its middle
        Move(5 + x);
        EXPECT_EQ(slider_->PositionEx(), 50) << x;
        Release(5 + x);
        EXPECT_EQ(slider_->ThumbOffset(), 45) << x;
        slider_->SetPosition(0);
    }
}

TEST_F(SliderTest, SettersClampAndOnlyAChangeRepaints) {
    slider_->SetMax(10);
    changes_.clear();
    slider_->SetPercentage(50);
    EXPECT_EQ(slider_->Position(), 5);
    EXPECT_EQ(slider_->ThumbOffset(), 45);
    EXPECT_EQ(slider_->Percentage(), 50);
    slider_->SetPosition(5); // the playback tick: nothing changed
    slider_->SetPosition(99);
    EXPECT_EQ(slider_->Position(), 10);
    EXPECT_EQ(changes_, (std::vector<int>{45, 90}));
}

TEST_F(SliderTest, StretchedSliderKeepsItsValue) {
    slider_->SetPosition(50);
    slider_->resize(210, 10);
    EXPECT_EQ(slider_->ThumbOffset(), 100); // round(200 / 100 * 50)
    EXPECT_EQ(slider_->Position(), 50);
}

TEST_F(SliderTest, LongRangesKeepTheirValues) {
    // A 10-hour recording on the player's 428-pixel progress slider, whose 10-pixel thumb
    // travels 418 pixels, and ranges spanning all of int32: the middle pixel stands for value
    // (2^32 - 1) / 2, a half rounded to the even 2^31, which is position 0 counted from Min and
    // -1 counted down from Max.
    struct Case {
        TZuSliderKind Kind;
        int Min, Max;
        int Middle; // the position of the thumb in the middle of the track
    };
    const Case cases[] = {
        {skHorizontal, 0, 36000, 18000},
        {skHorizontal, INT32_MIN, INT32_MAX, 0},
        {skVertical, INT32_MIN, INT32_MAX, -1},
    };
    form_.resize(460, 460);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.Kind) << ": " << c.Min << ".." << c.Max);
        const bool horizontal = c.Kind == skHorizontal;
        slider_->SetKind(c.Kind);
        slider_->resize(horizontal ? 428 : 10, horizontal ? 10 : 428);
        slider_->SetMin(c.Min);
        slider_->SetMax(c.Max);
        EXPECT_EQ(slider_->Min(), c.Min);
        EXPECT_EQ(slider_->Max(), c.Max);
        for (int end : {c.Min, c.Max}) {
            slider_->SetPosition(end);
            EXPECT_EQ(slider_->Position(), end);
        }
        slider_->SetPosition(c.Middle);
        EXPECT_EQ(slider_->ThumbOffset(), 209);
        EXPECT_EQ(slider_->Position(), c.Middle);
        EXPECT_EQ(slider_->Percentage(), 50);

        // The thumb at the start of the track; a press at 214 previews it centred there.
        slider_->SetPosition(horizontal ? c.Min : c.Max);
        const QPoint middle = horizontal ? QPoint(214, 5) : QPoint(5, 214);
        QTest::mousePress(slider_, Qt::LeftButton, {}, middle);
        EXPECT_EQ(slider_->PositionEx(), c.Middle);
        QTest::mouseRelease(slider_, Qt::LeftButton, {}, middle);
        EXPECT_EQ(slider_->Position(), c.Middle);
        EXPECT_EQ(positionOnRelease_, c.Middle);
        EXPECT_EQ(slider_->ThumbOffset(), 209);
    }
}

TEST_F(SliderTest, HoverHighlightsTheThumbOnly) {
    QTest::mouseMove(slider_, QPoint(50, 5));
    EXPECT_EQ(slider_->ThumbState(), TZuThumbState::tsNormal);
    QTest::mouseMove(slider_, QPoint(4, 5));
    EXPECT_EQ(slider_->ThumbState(), TZuThumbState::tsHighlighted);
    QTest::mouseMove(&form_, QPoint(130, 30));
    EXPECT_EQ(slider_->ThumbState(), TZuThumbState::tsNormal);
}

TEST_F(SliderTest, SimpleStyleJumpsAndIgnoresThePositionWhileDragged) {
    slider_->SetStyle(ssSimple);
    slider_->SetSliderW(0);
    Press(30);
    EXPECT_EQ(slider_->Position(), 30);
    slider_->SetPosition(80); // the playback tick while the user holds it
    EXPECT_EQ(slider_->Position(), 30);
    Move(64);
    EXPECT_EQ(slider_->Position(), 64);
    Release(64);
    slider_->SetPosition(80);
    EXPECT_EQ(slider_->Position(), 80);
}

TEST_F(SliderTest, RotatorTurnsOneUnitPerPixelUp) {
    slider_->SetStyle(ssRotator);
    slider_->SetPercentage(40);
    QTest::mousePress(slider_, Qt::LeftButton, {}, QPoint(50, 8));
    QTest::mouseMove(slider_, QPoint(50, 2));
    EXPECT_EQ(slider_->Position(), 46);
    EXPECT_EQ(slider_->ThumbOffset(), 10 * 10); // frame round(46 * 22 / 100) = 10
    QTest::mouseRelease(slider_, Qt::LeftButton, {}, QPoint(50, 2));
    EXPECT_EQ(slider_->Position(), 46);
}

} // namespace
} // namespace tunola
