// The anti-aliased text arithmetic against hand-computed pixels: mask reductions, the blend's
// thresholds and rounding, the softening, the ramps, the cross-fade and the motion of the
// marquee and the fade text.

#include "CnAAFont.h"
#include "CnAAMask.h"
#include "CnAAMotion.h"
#include "GuiApp.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <array>

namespace tunola {
namespace {

TEST(AAMaskTest, BlockReductionsAtEachFactor) {
    // N = 3: weights 1 1 1/2 / 1 1 1 / 1/2 1 1, the halves losing their remainder, sum / 8.
    const std::array<uint8_t, 9> three = {10, 20, 255, 30, 40, 50, 101, 60, 70};
    // 10 + 20 + 127 + 30 + 40 + 50 + 50 + 60 + 70 = 457; 457 / 8 = 57
    EXPECT_EQ(ReduceBlock(three.data(), 3, 3), 57);
    const std::array<uint8_t, 9> full3 = {255, 255, 255, 255, 255, 255, 255, 255, 255};
    EXPECT_EQ(ReduceBlock(full3.data(), 3, 3), 254); // 7 x 255 + 2 x 127 = 2039 -> 254
    std::array<uint8_t, 16> four{};
    for (int i = 0; i < 16; ++i)
        four[size_t(i)] = uint8_t(i * 10 + 1); // sum 1216 -> 76
    EXPECT_EQ(ReduceBlock(four.data(), 4, 4), 76);
    const std::array<uint8_t, 4> two = {255, 0, 3, 0}; // 258 / 4 = 64
    EXPECT_EQ(ReduceBlock(two.data(), 2, 2), 64);
    const uint8_t one = 77;
    EXPECT_EQ(ReduceBlock(&one, 1, 1), 77);
    EXPECT_EQ(QualityFactor(aqHigh), 4);
    EXPECT_EQ(QualityFactor(aqNormal), 3);
    EXPECT_EQ(QualityFactor(aqLow), 2);
    EXPECT_EQ(QualityFactor(aqNone), 1);
}

TEST(AAMaskTest, MaskRowsArePaddedAndEachBlockReduced) {
    // A 5 x 1 text at factor 2: a 10 x 2 picture, blocks full, empty, half, ...
    const uint8_t grey[2][10] = {{255, 255, 0, 0, 255, 0, 255, 255, 8, 0},
                                 {255, 255, 0, 0, 255, 0, 0, 0, 0, 0}};
    TCnAAMask mask;
    ReduceMask(&grey[0][0], 10, 2, 5, 1, mask);
    EXPECT_EQ(mask.Stride, 8);
    EXPECT_EQ(mask.Data.size(), 8u);
    EXPECT_EQ(mask.At(0, 0), 255);
    EXPECT_EQ(mask.At(1, 0), 0);
    EXPECT_EQ(mask.At(2, 0), 127);
    EXPECT_EQ(mask.At(3, 0), 127);
    EXPECT_EQ(mask.At(4, 0), 2);
}

TEST(AABlendTest, ThresholdsAndRoundingTowardsMinusInfinity) {
    struct Case {
        int d, f, coverage, alpha, expected;
    } cases[] = {
        {10, 200, 255, 100, 200}, // w = 65280 > 65279: the foreground exactly
        {10, 200, 0, 100, 10},    // no coverage: untouched
        {10, 200, 1, 100, 10},    // w = 256: (190 x 1) / 256 = 0.74 -> 0
        {10, 200, 128, 100, 105}, // w = 32768, w div 256 = 128: 190 x 128 / 256 = 95
        {200, 10, 128, 100, 105}, // -190 x 128 / 256 = -95
        {200, 11, 1, 100, 199},   // -189 / 256 rounds down to -1
        {0, 255, 255, 50, 126},   // A = 50: 256 x 50 div 100 = 128; w div 256 = 127 -> 126.5
        {0, 255, 2, 1, 0},        // A = 1: 2 x 2 = 4 < 256
    };
    for (const Case& c : cases) {
        const int32_t w = BlendWeight(c.coverage, c.alpha);
        EXPECT_EQ(BlendChannel(c.d, c.f, w), c.expected)
            << c.d << " " << c.f << " " << c.coverage << " " << c.alpha;
    }
}

TEST(AABlendTest, MaskIntoImageWithBrushForegroundAndClipping) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    TCnAAMask mask;
    mask.Resize(2, 2);
    mask.At(0, 0) = 255;
    mask.At(1, 0) = 128;
    mask.At(0, 1) = 0;
    mask.At(1, 1) = 255;
    // Half off the right edge: only column 2 of the image is reached.
    ASSERT_TRUE(BlendMask(image, 2, 0, mask, qRgb(250, 250, 250), 100));
    EXPECT_EQ(image.pixel(2, 0), qRgb(250, 250, 250));
    EXPECT_EQ(image.pixel(2, 1), qRgb(10, 20, 30));
    EXPECT_EQ(image.pixel(1, 0), qRgb(10, 20, 30));
    // A brush is the background under the mask: coverage 0 shows the brush.
    ASSERT_TRUE(BlendMask(image, 0, 0, mask, qRgb(250, 250, 250), 100, nullptr, qRgb(0, 0, 0)));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(125, 125, 125)); // 250 x 128 / 256
    // A foreground image of another size is refused and nothing drawn.
    QImage wrong(3, 3, QImage::Format_RGB32);
    QImage before = image.copy();
    EXPECT_FALSE(BlendMask(image, 0, 0, mask, 0, 100, &wrong));
    EXPECT_EQ(image, before);
}

TEST(AABlurTest, MeanOfFiveByFiveMixedByBlur) {
    TCnAAMask mask;
    mask.Resize(5, 5);
    mask.At(2, 2) = 250;
    TCnAAMask full = mask;
    BlurMask(full, 100);
    EXPECT_EQ(full.At(2, 2), 10); // 250 / 25
    EXPECT_EQ(full.At(0, 0), 10); // the centre is inside every 5 x 5 window here
    TCnAAMask half = mask;
    BlurMask(half, 50); // factor round(127.5) = 128: (10 x 128 + 250 x 128) / 256 = 130
    EXPECT_EQ(half.At(2, 2), 130);
    EXPECT_EQ(half.At(0, 0), 5); // (10 x 128 + 0) / 256
    TCnAAMask none = mask;
    BlurMask(none, 0);
    EXPECT_EQ(none.Data, mask.Data);
    // The edge repeats its row: a 1 x 1 mask is its own mean.
    TCnAAMask dot;
    dot.Resize(1, 1);
    dot.At(0, 0) = 200;
    BlurMask(dot, 100);
    EXPECT_EQ(dot.At(0, 0), 200);
}

TEST(AAGradientTest, RampsPerStyle) {
    EXPECT_EQ(RampColor(qRgb(255, 0, 0), qRgb(0, 0, 255), 1, 4), qRgb(192, 0, 63)); // 255-63.75
    const QImage down = GradientImage(2, 4, gsTopToBottom, qRgb(0, 0, 0), qRgb(200, 100, 40));
    EXPECT_EQ(down.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(down.pixel(1, 3), qRgb(150, 75, 30)); // entry 3 of 4
    const QImage up = GradientImage(2, 4, gsBottomToTop, qRgb(0, 0, 0), qRgb(200, 100, 40));
    EXPECT_EQ(up.pixel(0, 0), qRgb(200, 100, 40));
    const QImage right = GradientImage(4, 1, gsLeftToRight, qRgb(0, 0, 0), qRgb(100, 0, 0));
    EXPECT_EQ(right.pixel(2, 0), qRgb(50, 0, 0));
    const QImage centre = GradientImage(6, 1, gsCenterToLR, qRgb(0, 0, 0), qRgb(90, 0, 0));
    EXPECT_EQ(centre.pixel(0, 0), centre.pixel(5, 0));
    EXPECT_EQ(centre.pixel(2, 0), qRgb(60, 0, 0));
}

TEST(AAFadeTest, CrossFadeAndLevels) {
    EXPECT_EQ(FadeChannel(0, 255, 128), 127);
    EXPECT_EQ(FadeChannel(255, 0, 128), 127); // -127.5 rounds down to -128
    EXPECT_EQ(FadeChannel(10, 10, 200), 10);
    // FadeDelay 300: 21 a tick, 255 at the 13th.
    double acc = 0;
    int level = 0;
    for (int tick = 1; tick <= 13; ++tick) {
        const TFadeStep step = FadeTick(acc, level, 300);
        acc = step.Accumulator;
        level = step.Level;
        EXPECT_EQ(step.Done, tick == 13) << tick;
        EXPECT_EQ(level, tick == 13 ? 255 : 21 * tick) << tick;
    }
    // A drifted accumulator restarts from the level.
    EXPECT_EQ(FadeTick(100, 40, 300).Level, 61);
}

TEST(AAMarqueeMathTest, CycleAndPositions) {
    EXPECT_EQ(MarqueeCycle(300, 420), 720);
    EXPECT_EQ(MarqueeCycle(0, 420), 420);
    int offset = 0;
    for (int i = 0; i < 719; ++i)
        offset = MarqueeAdvance(offset, 1, 720);
    EXPECT_EQ(offset, 719);
    EXPECT_EQ(MarqueeAdvance(offset, 1, 720), 0);
    EXPECT_EQ(MarqueeX(stRightToLeft, 420, 0, 300), 420);    // enters at the right edge
    EXPECT_EQ(MarqueeX(stRightToLeft, 420, 720, 300), -300); // has left at the left edge
    EXPECT_EQ(MarqueeX(stLeftToRight, 420, 0, 300), -300);
    EXPECT_EQ(LayoutY(tlCenter, 25, 17, 15), 5);
    EXPECT_EQ(LayoutY(tlBottom, 25, 17, 15), 8);
    EXPECT_EQ(AlignX(taCenter, 100, 31), 34);
    EXPECT_EQ(AlignX(taRightJustify, 100, 31), 69);
}

TEST(AAFontTest, TextIsDrawnInTheFontColourAndEmptyTextDrawsNothing) {
    testing_support::EnsureGuiApplication();
    QImage canvas(120, 40, QImage::Format_RGB32);
    canvas.fill(qRgb(255, 255, 255));
    TCnAAFontEx font(&canvas);
    QFont f;
    f.setPixelSize(24);
    font.SetFont(f);
    font.SetColor(qRgb(0, 0, 0));
    const QImage blank = canvas.copy();
    font.TextOutEx(2, 2, QString());
    EXPECT_EQ(canvas, blank);
    font.TextOutEx(2, 2, QStringLiteral("WM"));
    int dark = 0, grey = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const int r = qRed(canvas.pixel(x, y));
            dark += r < 60;
            grey += r > 60 && r < 200;
        }
    EXPECT_GT(dark, 20);
    EXPECT_GT(grey, 5); // smoothed edges
    // Nothing right of the text's width.
    const int w = font.TextWidth(QStringLiteral("WM"));
    for (int y = 0; y < 40; ++y)
        EXPECT_EQ(canvas.pixel(std::min(2 + w + 2, 119), y), qRgb(255, 255, 255));
}

} // namespace
} // namespace tunola

namespace tunola {
namespace {

TEST(AAFadeTest, CrossFadedImageFollowsTheChannelFormula) {
    QImage a(64, 3, QImage::Format_RGB32), b(64, 3, QImage::Format_RGB32), out;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 64; ++x) {
            a.setPixel(x, y, qRgb(x * 4, 255 - x * 3, (x * 37 + y) & 0xFF));
            b.setPixel(x, y, qRgb(255 - x * 2, x * 4, (x * 91 + 7 * y) & 0xFF));
        }
    for (int level = 0; level <= 255; ++level) {
        CrossFade(a, b, level, out);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb p = a.pixel(x, y), n = b.pixel(x, y), o = out.pixel(x, y);
                const QRgb want = level >= 255 ? n
                                  : level <= 0 ? p
                                               : qRgb(FadeChannel(qRed(p), qRed(n), level),
                                                      FadeChannel(qGreen(p), qGreen(n), level),
                                                      FadeChannel(qBlue(p), qBlue(n), level));
                ASSERT_EQ(o, want) << level << " " << x << "," << y;
            }
    }
}

} // namespace
} // namespace tunola

namespace tunola {
namespace {

TEST(AAFadeTest, DifferingRectBoundsEveryChangedPixelAndCrossFadeKeepsTheRest) {
    QImage a(20, 10, QImage::Format_RGB32);
    a.fill(qRgb(1, 2, 3));
    struct Case {
        std::vector<QPoint> changed;
        QRect want;
    };
    const Case cases[] = {
        {{}, QRect()},
        {{{0, 0}}, QRect(0, 0, 1, 1)},
        {{{19, 9}}, QRect(19, 9, 1, 1)},
        {{{3, 7}, {15, 2}}, QRect(QPoint(3, 2), QPoint(15, 7))},
        {{{10, 4}, {2, 5}, {11, 5}}, QRect(QPoint(2, 4), QPoint(11, 5))},
    };
    for (const Case& c : cases) {
        QImage b = a.copy();
        for (const QPoint& p : c.changed)
            b.setPixel(p, qRgb(1, 2, 4));
        EXPECT_EQ(DifferingRect(a, b), c.want) << c.changed.size();
    }
    EXPECT_EQ(DifferingRect(a, QImage(21, 10, QImage::Format_RGB32)), QRect(0, 0, 21, 10));

    // Inside the area the channel formula, outside it what `out` held.
    QImage b(20, 10, QImage::Format_RGB32);
    b.fill(qRgb(201, 102, 3));
    const QRect area(4, 2, 9, 5);
    for (int level : {0, 100, 255}) {
        QImage out(20, 10, QImage::Format_RGB32);
        out.fill(qRgb(9, 9, 9));
        CrossFade(a, b, level, out, area);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x) {
                const QRgb want = !area.contains(x, y) ? qRgb(9, 9, 9)
                                  : level == 0         ? a.pixel(x, y)
                                  : level == 255       ? b.pixel(x, y)
                                                       : qRgb(FadeChannel(1, 201, level),
                                                              FadeChannel(2, 102, level), 3);
                ASSERT_EQ(out.pixel(x, y), want) << level << " " << x << "," << y;
            }
    }
}

} // namespace
} // namespace tunola

namespace tunola {
namespace {

// The mask is the reduction of the text as Qt draws it, enlarged, into an 8-bit picture.
TEST(AAFontTest, MaskIsTheReductionOfTheEightBitDrawing) {
    testing_support::EnsureGuiApplication();
    const QString texts[] = {QStringLiteral("故事的小黄花"), QStringLiteral("云雀 2 Wg!")};
    for (int px : {12, 64})
        for (TAAQuality quality : {aqHigh, aqNormal, aqLow, aqNone})
            for (const QString& text : texts) {
                QFont font(QStringLiteral("WenQuanYi Micro Hei"));
                font.setPixelSize(px);
                TCnAAFont aa(nullptr);
                aa.SetFont(font);
                aa.SetQuality(quality);
                TCnAAMask mask;
                aa.BuildMask(text, mask);

                const int n = QualityFactor(quality);
                QFont big = font;
                big.setPixelSize(px * n);
                big.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferQuality));
                const int w = aa.TextWidth(text), h = aa.TextHeight(text);
                QImage grey(w * n, h * n, QImage::Format_Grayscale8);
                grey.fill(0);
                QPainter p(&grey);
                p.setFont(big);
                p.setPen(Qt::white);
                p.drawText(0, QFontMetrics(big).ascent(), text);
                p.end();
                TCnAAMask want;
                ReduceMask(grey.constBits(), int(grey.bytesPerLine()), n, w, h, want);
                ASSERT_EQ(mask.Width, want.Width);
                ASSERT_EQ(mask.Height, want.Height);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        ASSERT_EQ(mask.At(x, y), want.At(x, y))
                            << px << " x" << n << " " << x << "," << y;
            }
}

} // namespace
} // namespace tunola

namespace tunola {
namespace {

// The softening against its definition: each pixel the mean of the 25 around it (edges
// repeated), mixed with its own value by the blur's factor.
TEST(AABlurTest, EveryPixelIsTheMixedMeanOfItsFiveByFive) {
    struct Case {
        int w, h, blur;
    };
    const Case cases[] = {{1, 1, 100}, {2, 9, 100}, {7, 3, 37}, {40, 13, 100}, {33, 17, 64}};
    uint32_t seed = 12345;
    for (const Case& c : cases) {
        TCnAAMask mask;
        mask.Resize(c.w, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                seed = seed * 1103515245u + 12345u;
                mask.At(x, y) = uint8_t(seed >> 16);
            }
        TCnAAMask blurred = mask;
        BlurMask(blurred, c.blur);
        const int factor = int(std::lround(c.blur * 255.0 / 100.0));
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                int sum = 0;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx)
                        sum += mask.At(std::clamp(x + dx, 0, c.w - 1), std::clamp(y + dy, 0, c.h - 1));
                const int mean = sum / 25, own = mask.At(x, y);
                const int want = c.blur == 100 ? mean : (mean * factor + own * (256 - factor)) / 256;
                ASSERT_EQ(blurred.At(x, y), want) << c.w << "x" << c.h << " at " << x << "," << y;
            }
    }
}

} // namespace
} // namespace tunola
