// TZuBitmap32 and its base classes: sizes and their failures, notifications, drawing
// primitives, assignment, the Data form and the copy to a device.

#include "GuiApp.h"
#include "ZuBitmap32.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

#include <thread>
#include <utility>

namespace tunola {
namespace {

struct Counters {
    explicit Counters(TZuBitmap32& b) {
        b.OnChange = [this](TZuNotifiablePersistent&) { ++Changes; };
        b.OnResize = [this](TZuNotifiablePersistent&) { ++Resizes; };
    }
    int Changes = 0;
    int Resizes = 0;
};

TEST(NotifiablePersistent, UpdateCounterHoldsBackChangesAndCatchesUnpairedEnd) {
    TZuNotifiablePersistent object;
    int changes = 0;
    object.OnChange = [&](TZuNotifiablePersistent& sender) {
        EXPECT_EQ(&sender, &object);
        ++changes;
    };
    object.BeginUpdate();
    object.BeginUpdate();
    object.Changed();
    object.EndUpdate();
    object.Changed();
    EXPECT_EQ(changes, 0);
    object.EndUpdate();
    object.Changed();
    EXPECT_EQ(changes, 1);

    try {
        object.EndUpdate();
        FAIL() << "an unpaired EndUpdate went through";
    } catch (const EZuAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "Unpaired TZuNotifiablePersistent.EndUpdate");
    }
    EXPECT_EQ(object.UpdateCount(), 0);
}

TEST(Persistent, LockIsRecursiveCountedAndExcludesOtherThreads) {
    TZuBitmap32 bitmap;
    bitmap.Lock();
    bitmap.Lock();
    EXPECT_EQ(bitmap.LockCount(), 2);
    bool otherGotIn = false;
    std::thread other([&] {
        TZuLockGuard guard(bitmap);
        otherGotIn = true;
    });
    // The other thread can only finish once both locks are released.
    EXPECT_FALSE(otherGotIn);
    bitmap.Unlock();
    bitmap.Unlock();
    other.join();
    EXPECT_TRUE(otherGotIn);
    EXPECT_EQ(bitmap.LockCount(), 0);
}

TEST(Bitmap32, SetSizeMakesPixelsOnlyForPositiveSizes) {
    TZuBitmap32 bitmap;
    Counters counters(bitmap);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Surface(), nullptr);
    EXPECT_EQ(bitmap.Opacity(), 255);

    bitmap.SetSize(3, 2);
    ASSERT_FALSE(bitmap.Empty());
    ASSERT_NE(bitmap.Surface(), nullptr);
    EXPECT_EQ(bitmap.Surface()->constBits(), reinterpret_cast<const uchar*>(bitmap.Bits()));
    EXPECT_EQ(bitmap.Surface()->format(), QImage::Format_ARGB32);
    EXPECT_EQ(bitmap.Bits()[5], 0u); // fresh pixels are transparent black
    EXPECT_EQ(counters.Changes, 1);
    EXPECT_EQ(counters.Resizes, 1);

    bitmap.SetSize(3, 2); // unchanged: nothing happens
    EXPECT_EQ(counters.Resizes, 1);

    bitmap.SetSize(-4, 7);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 7);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_EQ(bitmap.Surface(), nullptr);
    EXPECT_EQ(counters.Resizes, 2);
}

TEST(Bitmap32, SizeThatCannotBeAllocatedLeavesTheBitmapEmpty) {
    TZuBitmap32 bitmap;
    bitmap.SetSize(4, 4);
    Counters counters(bitmap);
    for (auto [w, h] : {std::pair{65536, 65536}, std::pair{INT32_MAX, INT32_MAX}}) {
        bitmap.SetSize(4, 4);
        try {
            bitmap.SetSize(w, h);
            FAIL() << "no error for " << w << " x " << h;
        } catch (const EZuBitmapError& e) {
            EXPECT_STREQ(e.what(), "Can't allocate DIB handle");
        }
        EXPECT_TRUE(bitmap.Empty());
        EXPECT_EQ(bitmap.Width(), 0);
        EXPECT_EQ(bitmap.Bits(), nullptr);
    }
}

TEST(Bitmap32, OpacityChangeNotifies) {
    TZuBitmap32 bitmap;
    Counters counters(bitmap);
    bitmap.SetOpacity(255);
    EXPECT_EQ(counters.Changes, 0);
    bitmap.SetOpacity(100);
    EXPECT_EQ(bitmap.Opacity(), 100);
    EXPECT_EQ(counters.Changes, 1);
}

std::string Picture(const TZuBitmap32& b, TColor32 ink) {
    std::string rows;
    for (int32_t y = 0; y < b.Height(); ++y) {
        for (int32_t x = 0; x < b.Width(); ++x)
            rows += b.ScanLine(y)[x] == ink ? '#' : '.';
        rows += '\n';
    }
    return rows;
}

TEST(Bitmap32, FillsAndLinesStayInsideTheBitmap) {
    const TColor32 ink = 0xFF00FF00u;
    struct Case {
        const char* Name;
        std::function<void(TZuBitmap32&)> Draw;
        const char* Want;
    };
    const Case cases[] = {
        {"fill rect, right/bottom exclusive",
         [&](TZuBitmap32& b) {
             b.FillRect({1, 1, 3, 2}, ink);
         },
         ".....\n.##..\n.....\n.....\n"},
        {"fill rect partly outside",
         [&](TZuBitmap32& b) {
             b.FillRect({-2, 2, 9, 9}, ink);
         },
         ".....\n.....\n#####\n#####\n"},
        {"horizontal line, both ends", [&](TZuBitmap32& b) { b.HorzLine(-3, 0, 2, ink); },
         "###..\n.....\n.....\n.....\n"},
        {"vertical line past the bottom", [&](TZuBitmap32& b) { b.VertLine(4, 2, 10, ink); },
         ".....\n.....\n....#\n....#\n"},
        {"lines off the bitmap",
         [&](TZuBitmap32& b) {
             b.HorzLine(0, -1, 4, ink);
             b.VertLine(5, 0, 3, ink);
             b.Line(-5, -5, -1, -2, ink, true);
         },
         ".....\n.....\n.....\n.....\n"},
        {"axis-parallel line leaves out its end", [&](TZuBitmap32& b) { b.Line(4, 1, 1, 1, ink); },
         ".....\n..###\n.....\n.....\n"},
        {"end point drawn with the flag", [&](TZuBitmap32& b) { b.Line(1, 3, 1, 1, ink, true); },
         ".....\n.#...\n.#...\n.#...\n"},
        {"shallow line, error starts at half", [&](TZuBitmap32& b) { b.Line(0, 0, 4, 2, ink); },
         "##...\n..##.\n.....\n.....\n"},
        {"steep line with end point", [&](TZuBitmap32& b) { b.Line(0, 3, 1, 0, ink, true); },
         ".#...\n.#...\n#....\n#....\n"},
        {"zero length with the flag", [&](TZuBitmap32& b) { b.Line(2, 2, 2, 2, ink, true); },
         ".....\n.....\n..#..\n.....\n"},
        {"pen",
         [&](TZuBitmap32& b) {
             b.MoveTo(0, 3);
             b.LineTo(3, 3, ink);
             b.LineTo(3, 0, ink);
         },
         ".....\n...#.\n...#.\n####.\n"},
    };
    for (const Case& c : cases) {
        TZuBitmap32 bitmap;
        bitmap.SetSize(5, 4);
        c.Draw(bitmap);
        EXPECT_EQ(Picture(bitmap, ink), c.Want) << c.Name;
    }
}

TEST(Bitmap32, ClearAndSetAllAlpha) {
    TZuBitmap32 bitmap;
    bitmap.SetSize(3, 3);
    bitmap.Clear(0x80112233u);
    bitmap.SetAllAlpha(7);
    for (int32_t i = 0; i < 9; ++i)
        EXPECT_EQ(bitmap.Bits()[i], 0x07112233u);
}

TEST(Bitmap32, AssignCopiesPixelsAndOpacityOrEmpties) {
    TZuBitmap32 source;
    source.SetSize(2, 3);
    source.Clear(0x11223344u);
    source.SetOpacity(90);
    TZuBitmap32 copy;
    Counters counters(copy);
    copy.Assign(&source);
    EXPECT_TRUE(copy.SameImage(source));
    EXPECT_EQ(copy.Opacity(), 90);
    EXPECT_EQ(counters.Changes, 1);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Width(), 0);
}

// Shared pixels are one buffer until one side writes; whatever writes, through any accessor,
// changes only itself.
TEST(Bitmap32, SharedPixelsCopyOnWrite) {
    TZuBitmap32 original;
    original.SetSize(4, 3);
    original.Clear(0xFF112233);
    const struct {
        const char* how;
        void (*write)(TZuBitmap32&);
    } writers[] = {
        {"Clear", [](TZuBitmap32& b) { b.Clear(0xFF000000); }},
        {"Bits", [](TZuBitmap32& b) { b.Bits()[0] = 0xFF000000; }},
        {"PixelPtr", [](TZuBitmap32& b) { *b.PixelPtr(0, 0) = 0xFF000000; }},
        {"Surface",
         [](TZuBitmap32& b) {
             QPainter painter(b.Surface());
             painter.fillRect(0, 0, 4, 3, Qt::black);
         }},
        {"drawn onto",
         [](TZuBitmap32& b) {
             TZuBitmap32 black;
             black.SetSize(4, 3);
             black.Clear(0xFF000000);
             black.Draw(b, 0, 0);
         }},
    };
    for (const auto& w : writers) {
        SCOPED_TRACE(w.how);
        TZuBitmap32 copy;
        copy.Share(original);
        EXPECT_TRUE(copy.SharesPixels());
        EXPECT_EQ(std::as_const(copy).Bits(), std::as_const(original).Bits());
        EXPECT_TRUE(copy.SameImage(original));
        w.write(copy);
        EXPECT_FALSE(copy.SharesPixels());
        EXPECT_FALSE(original.SharesPixels());
        EXPECT_EQ(std::as_const(copy).Bits()[0], 0xFF000000u);
        EXPECT_EQ(std::as_const(original).Bits()[0], 0xFF112233u);
    }
    // The original writing goes the other way round.
    TZuBitmap32 copy;
    copy.Share(original);
    original.Clear(0xFF445566);
    EXPECT_EQ(std::as_const(copy).Bits()[0], 0xFF112233u);
    // Sharing an empty bitmap empties.
    TZuBitmap32 empty;
    copy.Share(empty);
    EXPECT_TRUE(copy.Empty());
}

TEST(Bitmap32, AssignRasterImageAppliesAlphaAndTransparentColour) {
    TZuRasterImage image;
    image.Width = 3;
    image.Height = 1;
    image.Pixels = {0x00FF0000u, 0x1000FF00u, 0x800000FFu};
    TZuBitmap32 bitmap;
    bitmap.Assign(image); // no alpha of its own: everything opaque
    EXPECT_EQ(bitmap.Bits()[0], 0xFFFF0000u);
    EXPECT_EQ(bitmap.Bits()[2], 0xFF0000FFu);

    image.HasAlpha = true;
    image.Transparent = true;
    image.TransparentColor = 0x0000FF; // platform colour: red
    bitmap.Assign(image);
    EXPECT_EQ(bitmap.Bits()[0], 0x00FF0000u);
    EXPECT_EQ(bitmap.Bits()[1], 0x1000FF00u);
    EXPECT_EQ(bitmap.Bits()[2], 0x800000FFu);

    image.Pixels.pop_back(); // fewer pixels than the size says
    EXPECT_THROW(bitmap.Assign(image), EZuBitmapError);
}

TEST(Bitmap32, AssignQImageKeepsStraightAlpha) {
    QImage image(2, 1, QImage::Format_ARGB32_Premultiplied);
    image.setPixelColor(0, 0, QColor(200, 100, 50, 255));
    image.setPixelColor(1, 0, QColor(255, 0, 0, 128));
    TZuBitmap32 bitmap;
    bitmap.Assign(image);
    EXPECT_EQ(bitmap.Bits()[0], 0xFFC86432u);
    EXPECT_EQ(bitmap.Bits()[1], 0x80FF0000u);
    bitmap.Assign(QImage());
    EXPECT_TRUE(bitmap.Empty());
}

TEST(Bitmap32, DrawUsesOpacityAndNotifiesTheDestination) {
    TZuBitmap32 source, target;
    source.SetSize(2, 2);
    source.Clear(0xFFFFFFFFu);
    target.SetSize(4, 4);
    target.Clear(0xFF000000u);
    Counters counters(target);
    source.SetOpacity(0);
    source.Draw(target, 1, 1);
    EXPECT_EQ(target.Bits()[5], 0xFF000000u);
    source.SetOpacity(255);
    source.Draw(target, 3, 3, {0, 0, 2, 2});
    EXPECT_EQ(target.Bits()[15], 0xFFFFFFFFu);
    EXPECT_EQ(target.Bits()[10], 0xFF000000u);
    source.StretchDraw(target, {0, 0, 1, 4}, source.BoundsRect());
    EXPECT_EQ(target.Bits()[4], 0xFFFFFFFFu);
    EXPECT_EQ(counters.Changes, 3);
}

TEST(Bitmap32, DataRoundTripAndRejectsMalformedBytes) {
    TZuBitmap32 bitmap;
    bitmap.SetSize(2, 1);
    bitmap.Bits()[0] = 0x04030201u;
    bitmap.Bits()[1] = 0x08070605u;
    const QByteArray data = bitmap.SaveData();
    EXPECT_EQ(data, QByteArray::fromHex("0200000001000000"
                                        "0102030405060708"));
    TZuBitmap32 loaded;
    loaded.LoadData(data);
    EXPECT_TRUE(loaded.SameImage(bitmap));

    const QByteArray bad[] = {
        QByteArray::fromHex("020000"),           // shorter than the sizes
        QByteArray::fromHex("FFFFFFFF01000000"), // negative width
        QByteArray::fromHex("0200000001000000"
                            "01020304"), // too few pixels
        QByteArray::fromHex("0100000001000000"
                            "0102030405060708"), // too many
        QByteArray::fromHex("FFFFFF7FFFFFFF7F"), // vast size, no pixels
    };
    for (const QByteArray& bytes : bad)
        EXPECT_THROW(loaded.LoadData(bytes), EZuBitmapError) << bytes.toHex().constData();
    EXPECT_TRUE(loaded.SameImage(bitmap));
}

TEST(Bitmap32, DataIsStoredOnlyWhenItDiffersFromTheAncestor) {
    TZuBitmap32 empty, other, bitmap;
    other.SetSize(1, 1);
    bitmap.SetSize(1, 1);
    EXPECT_FALSE(empty.DataDiffersFrom(nullptr));
    EXPECT_TRUE(bitmap.DataDiffersFrom(nullptr));
    EXPECT_FALSE(bitmap.DataDiffersFrom(&other));
    other.Clear(0xFF000001u);
    EXPECT_TRUE(bitmap.DataDiffersFrom(&other));
    TZuBitmap32 wide;
    wide.SetSize(5, 0);
    EXPECT_FALSE(wide.DataDiffersFrom(&empty)); // two empty pictures are the same
}

TEST(Bitmap32, CopyToDCIsOpaqueOverSeveralBands) {
    testing_support::EnsureGuiApplication();
    TZuBitmap32 bitmap;
    bitmap.SetSize(300, 250); // more pixels than one band holds
    for (int32_t y = 0; y < 250; ++y)
        for (int32_t x = 0; x < 300; ++x)
            bitmap.ScanLine(y)[x] = uint32_t(x + y) << 24 | uint32_t(y) << 8 | uint32_t(x & 0xFF);
    QImage device(310, 260, QImage::Format_ARGB32_Premultiplied);
    device.fill(Qt::white);
    QPainter painter(&device);
    bitmap.CopyToDC(painter, 5, 7);
    painter.end();
    for (int32_t y = 0; y < 260; ++y)
        for (int32_t x = 0; x < 310; ++x) {
            const bool inside = x >= 5 && x < 305 && y >= 7 && y < 257;
            const QRgb want = inside
                                  ? (0xFF000000u | uint32_t(y - 7) << 8 | uint32_t((x - 5) & 0xFF))
                                  : 0xFFFFFFFFu;
            ASSERT_EQ(device.pixel(x, y), want) << x << "," << y;
        }
    EXPECT_EQ(bitmap.ScanLine(0)[0] >> 24, 0u); // the bitmap's own alpha is untouched
}

TEST(Colour, ConversionsBetweenPlatformAndPixelColours) {
    EXPECT_EQ(Color32(0x000000FF), 0xFFFF0000u);
    EXPECT_EQ(Color32(0x00123456), 0xFF563412u);
    EXPECT_EQ(Color32(0x7F123456), 0xFF563412u); // only the low three bytes are the colour
    EXPECT_EQ(WinColor(0x80563412u), 0x00123456);
    EXPECT_EQ(WinColor(Color32(0x00ABCDEF)), 0x00ABCDEF);
    EXPECT_EQ(AlphaComponent(0x7F000000u), 0x7F);
    EXPECT_EQ(SetAlpha(0x12345678u, 300), 0xFF345678u);
    EXPECT_EQ(SetAlpha(0x12345678u, -3), 0x00345678u);

    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(250, 251, 252));
    EXPECT_EQ(Color32(clHighlight, palette), 0xFF010203u);
    EXPECT_EQ(Color32(clWindow, palette), 0xFFFAFBFCu);
    EXPECT_EQ(Color32(int32_t(0xFF000019), palette), 0xFF000000u); // no such system colour
    EXPECT_EQ(Color32(int32_t(0xFF0000FF), palette), 0xFF000000u);
    testing_support::EnsureGuiApplication();
    EXPECT_EQ(Color32(clHighlight),
              0xFF000000u | QGuiApplication::palette().color(QPalette::Highlight).rgb());
}

} // namespace
} // namespace tunola
