// The window frame from nine pieces and the window shape from its corners: the pure painters
// against small pictures whose pixels name their piece, then TZuWindow on a form.

#include "ControlsTestSupport.h"
#include "ZuButton.h"
#include "ZuForm.h"
#include "ZuWindow.h"
#include "ZuWindowFrame.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tunola {
namespace {

using namespace testing_support;

constexpr TColor32 kInterior = 0xFF203040u;

// A skin image holding nine small pieces, each filled with its own letter:
// A top-left 4x3, B top middle 3x2, C top-right 4x3, D bottom-left 4x3, E bottom middle 3x2,
// F bottom-right 4x3, G left middle 2x2, H right middle 2x2, T title 6x3.
struct FrameSkin {
    TZuBitmap32 Image;
    TZuFramePieces Pieces;

    explicit FrameSkin(bool withTitle) {
        Image.SetSize(40, 10);
        Image.Clear(0);
        Pieces.TopLeft = {0, 0, 4, 3};
        Pieces.TopMiddle = {4, 0, 3, 2};
        Pieces.TopRight = {7, 0, 4, 3};
        Pieces.BottomLeft = {11, 0, 4, 3};
        Pieces.BottomMiddle = {15, 0, 3, 2};
        Pieces.BottomRight = {18, 0, 4, 3};
        Pieces.LeftMiddle = {22, 0, 2, 2};
        Pieces.RightMiddle = {24, 0, 2, 2};
        Pieces.TitleCenter = withTitle ? TZuPiece{26, 0, 6, 3} : TZuPiece{26, 0, 0, 0};
        const std::pair<const TZuPiece*, char> named[] = {
            {&Pieces.TopLeft, 'a'},    {&Pieces.TopMiddle, 'b'},    {&Pieces.TopRight, 'c'},
            {&Pieces.BottomLeft, 'd'}, {&Pieces.BottomMiddle, 'e'}, {&Pieces.BottomRight, 'f'},
            {&Pieces.LeftMiddle, 'g'}, {&Pieces.RightMiddle, 'h'},  {&Pieces.TitleCenter, 't'}};
        for (const auto& [piece, letter] : named)
            PaintPiece(Image, *piece, letter);
    }
};

std::vector<std::string> Rows(const TZuBitmap32& bitmap) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        rows.push_back(TaggedRow(bitmap, y));
    return rows;
}

TEST(WindowFrame, NineSlicesWithCentredTitle) {
    const FrameSkin skin(true);
    TZuBitmap32 surface;
    PaintWindowFrame(surface, 20, 10, kInterior, skin.Image, skin.Pieces);
    // The title (width 6) sits at 20/2 - 6/2 = 7; top tiles run up to it and on from its end;
    // tiles that run past an edge are covered by what is drawn later.
    const std::vector<std::string> expected = {
        "AaaaBbbTtttttBbbCccc", //
        "AaaaBbbTtttttBbbCccc", //
        "Aaaa...Tttttt...Cccc", // the middle pieces are only 2 high
        "Gg................Hh", //
        "Gg................Hh", //
        "Gg................Hh", //
        "Gg................Hh", //
        "Dddd............Ffff", // the last side tile (rows 7-8) lies under the bottom corners
        "DdddEeeEeeEeeEeeFfff", //
        "DdddEeeEeeEeeEeeFfff", //
    };
    EXPECT_EQ(Rows(surface), expected);
    EXPECT_EQ(surface.ScanLine(5)[10], kInterior);
}

TEST(WindowFrame, WithoutTitleTheTopIsAllTiles) {
    const FrameSkin skin(false);
    TZuBitmap32 surface;
    PaintWindowFrame(surface, 20, 10, kInterior, skin.Image, skin.Pieces);
    EXPECT_EQ(TaggedRow(surface, 0), "AaaaBbbBbbBbbBbbCccc");
}

// A part of the frame, as a control's backdrop or an exposed band is painted, must be the same
// pixels as that part of the whole frame, whatever the part straddles; pixels off the window
// stay as they were.
TEST(WindowFrame, AnyPartIsThatPartOfTheWholeFrame) {
    FrameSkin titled(true);
    FrameSkin tallRight(false);
    // A right side piece taller than the left one's step: its tiles overlap each other.
    tallRight.Pieces.RightMiddle = {24, 0, 2, 3};
    const struct {
        const char* name;
        const FrameSkin& skin;
        int32_t width, height;
    } frames[] = {{"titled", titled, 23, 17}, {"tall right side", tallRight, 20, 19}};
    const struct {
        int32_t left, top, width, height;
    } parts[] = {
        {0, 0, 1, 1},     {5, 0, 6, 2},    {7, 1, 9, 4},   // in the top edge and the title
        {16, 4, 4, 9},    {0, 6, 3, 8},    {3, 5, 12, 5},  // the sides, the interior
        {2, 13, 17, 4},   {-3, -2, 8, 6},  {18, 14, 9, 9}, // the bottom, past the corners
        {-5, -5, 40, 40}, {30, 3, 4, 4},                   // over all of it, off it
    };
    constexpr TColor32 kUntouched = 0x12345678u;
    for (const auto& f : frames) {
        TZuBitmap32 whole;
        PaintWindowFrame(whole, f.width, f.height, kInterior, f.skin.Image, f.skin.Pieces);
        for (const auto& part : parts) {
            TZuBitmap32 surface;
            surface.SetSize(part.width, part.height);
            surface.Clear(kUntouched);
            PaintWindowFrameArea(surface, part.left, part.top, f.width, f.height, kInterior,
                                 f.skin.Image, f.skin.Pieces);
            int wrong = 0;
            for (int32_t y = 0; y < part.height; ++y)
                for (int32_t x = 0; x < part.width; ++x) {
                    const int32_t wx = part.left + x;
                    const int32_t wy = part.top + y;
                    const bool onWindow = wx >= 0 && wy >= 0 && wx < f.width && wy < f.height;
                    const TColor32 want = onWindow ? whole.ScanLine(wy)[wx] : kUntouched;
                    wrong += surface.ScanLine(y)[x] != want;
                }
            EXPECT_EQ(wrong, 0) << f.name << ", part at " << part.left << "," << part.top << " "
                                << part.width << "x" << part.height;
        }
    }
}

TEST(WindowFrame, PiecesAreCopiedWithTheirAlpha) {
    FrameSkin skin(false);
    PaintPiece(skin.Image, skin.Pieces.TopLeft, 'a', 0x40);
    TZuBitmap32 surface;
    PaintWindowFrame(surface, 20, 10, kInterior, skin.Image, skin.Pieces);
    // Not blended over the interior colour: the pixel as it is in the image.
    EXPECT_EQ(surface.ScanLine(1)[2], Tagged('a', 2, 1, 0x40));
}

// A corner piece of 5x5 whose see-through pixels round it off: 3, 2, 1, 1, 0 per row.
void PaintRoundCorner(TZuBitmap32& image, const TZuPiece& piece, bool mirrorX, bool mirrorY) {
    const int clear[5] = {3, 2, 1, 1, 0};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const int cx = mirrorX ? 4 - x : x;
            const int cy = mirrorY ? 4 - y : y;
            const uint8_t alpha = cx < clear[cy] ? (cx == clear[cy] - 1 ? 0x80 : 0) : 0xFF;
            *image.PixelPtr(piece.X + x, piece.Y + y) = SetAlpha(0x00445566u, alpha);
        }
}

TEST(WindowFrame, CutOutTakesEveryPixelBelowFullAlpha) {
    TZuBitmap32 image;
    image.SetSize(8, 8);
    image.Clear(0xFF000000u);
    const TZuPiece corner{1, 1, 5, 5};
    PaintRoundCorner(image, corner, false, false);
    const QRegion cut = CornerCutOut(image, corner);
    // Half-transparent edge pixels are cut too.
    EXPECT_EQ(cut, QRegion(0, 0, 3, 1) + QRegion(0, 1, 2, 1) + QRegion(0, 2, 1, 2));
    // A piece without size cuts nothing; a piece reaching past the image cuts only real pixels.
    EXPECT_TRUE(CornerCutOut(image, {0, 0, 0, 0}).isEmpty());
    EXPECT_EQ(CornerCutOut(image, {6, 6, 5, 5}), QRegion());
}

TEST(WindowFrame, WindowShapeOnAFormFollowsResize) {
    EnsureWidgetApplication();
    TZuFormEx form;
    form.resize(40, 30);
    TZuWindow window(&form);
    TZuBitmap32 image;
    image.SetSize(20, 20);
    image.Clear(0xFF101010u);
    PaintRoundCorner(image, {0, 0, 5, 5}, false, false);
    PaintRoundCorner(image, {5, 0, 5, 5}, true, false);
    PaintRoundCorner(image, {0, 5, 5, 5}, false, true);
    PaintRoundCorner(image, {5, 5, 5, 5}, true, true);
    window.SetImage(image);
    window.SetTopLeft(0, 0, 5, 5);
    window.SetTopRight(5, 0, 5, 5);
    window.SetBottomLeft(0, 5, 5, 5);
    window.SetBottomRight(5, 5, 5, 5);
    window.RebuildRegions(true);
    ShowAndWait(form);

    auto shaped = [&form](int x, int y) { return form.mask().contains(QPoint(x, y)); };
    EXPECT_FALSE(shaped(0, 0));
    EXPECT_FALSE(shaped(2, 0));
    EXPECT_TRUE(shaped(3, 0));
    EXPECT_FALSE(shaped(39, 0));
    EXPECT_TRUE(shaped(36, 0));
    EXPECT_FALSE(shaped(0, 29));
    EXPECT_FALSE(shaped(39, 29));
    EXPECT_FALSE(shaped(37, 29));
    EXPECT_TRUE(shaped(36, 29));
    EXPECT_TRUE(shaped(20, 15));

    // The background fills the form, and the bottom-right cut-out moves to the new corner.
    form.resize(60, 45);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.geometry(), QRect(0, 0, 60, 45));
    EXPECT_FALSE(shaped(59, 44));
    EXPECT_TRUE(shaped(39, 29));
    EXPECT_TRUE(shaped(56, 44));

    window.RebuildRegions(false);
    EXPECT_TRUE(form.mask().isEmpty()); // a plain rectangle again
}

TEST(WindowFrame, ControlsOnTheFormTakeTheFrameAsBackdrop) {
    EnsureWidgetApplication();
    TZuFormEx form;
    form.resize(20, 10);
    TZuWindow window(&form);
    const FrameSkin skin(true);
    window.SetImage(skin.Image);
    const TZuFramePieces& p = skin.Pieces;
    window.SetTopLeft(p.TopLeft.X, p.TopLeft.Y, p.TopLeft.W, p.TopLeft.H);
    window.SetTopMiddle(p.TopMiddle.X, p.TopMiddle.Y, p.TopMiddle.W, p.TopMiddle.H);
    window.SetTopRight(p.TopRight.X, p.TopRight.Y, p.TopRight.W, p.TopRight.H);
    window.SetTitleCenter(p.TitleCenter.X, p.TitleCenter.Y, p.TitleCenter.W, p.TitleCenter.H);
    window.SetColor(WinColor(kInterior));

    // A button whose picture is see-through except for its middle column.
    TZuButton button(&form);
    button.setGeometry(6, 0, 3, 2);
    TZuBitmap32 picture;
    picture.SetSize(3, 2);
    picture.Clear(0);
    picture.FillRect({1, 0, 2, 2}, 0xFF00FF00u);
    button.SetImage(picture);

    const QImage shown = Grab(button);
    // Columns 6 and 8 of the form: the end of a top tile and the title's first column.
    EXPECT_EQ(TColor32(shown.pixel(0, 0)), Tagged('b', 2, 0));
    EXPECT_EQ(TColor32(shown.pixel(1, 0)), 0xFF00FF00u);
    EXPECT_EQ(TColor32(shown.pixel(2, 1)), Tagged('t', 1, 1));
    // The background shows the composed frame.
    TZuBitmap32 background;
    background.Assign(Grab(window));
    EXPECT_EQ(TaggedRow(background, 0), "AaaaBbbTtttttBbbCccc");
}

} // namespace
} // namespace tunola
