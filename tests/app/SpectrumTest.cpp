// The spectrum painter's frame arithmetic and its pixels in the back buffer, and the skin's
// spectrum element in the main window.

#include "Spectrum.h"
#include "SpectrumBox.h"
#include "TunMain.h"

#include <ZuSkin.h>

#include <QApplication>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

using namespace tunola;

namespace {

// Magnitude that gives bar height h (v = |m| * 500, truncated).
float Level(int h) {
    return (h + 0.5f) / 500.0f;
}

std::array<float, 256> Flat(float m) {
    std::array<float, 256> a;
    a.fill(m);
    return a;
}

TColor32 Pixel(const TSpectrum& s, int x, int y) {
    return *const_cast<TZuBitmap32&>(s.BackBuffer()).PixelPtr(x, y);
}

TEST(Spectrum, LoudThenSilenceBarsSinkPeaksHoldThenSink) {
    TSpectrum s(140, 110);
    const auto loud = Flat(Level(90));
    const auto silence = Flat(0.0f);
    s.Paint(nullptr, loud, 1, 0, false);
    EXPECT_EQ(s.Bar(0), 90);
    EXPECT_EQ(s.Peak(0), 90);
    // Frame n of silence: bar 90 - 3n; the peak stays 7 frames, then sinks 3 a frame, and a
    // peak is never below its bar.
    int expectedPeak = 90;
    for (int n = 1; n <= 30; ++n) {
        s.Paint(nullptr, silence, 1, 0, false);
        const int bar = std::max(90 - 3 * n, 0);
        if (n >= 8)
            expectedPeak -= 3;
        expectedPeak = std::max({expectedPeak, bar, 0});
        ASSERT_EQ(s.Bar(0), bar) << n;
        ASSERT_EQ(s.Peak(0), expectedPeak) << n;
        ASSERT_EQ(s.Hold(0), n) << n;
        ASSERT_GE(s.Peak(0), s.Bar(0));
    }
    EXPECT_EQ(s.Bar(0), 0);
    EXPECT_EQ(s.Peak(0), 90 - 3 * 23); // sank from frame 8 on
    // A rise pushes the peak back up and restarts its hold.
    s.Paint(nullptr, Flat(Level(50)), 1, 0, false);
    EXPECT_EQ(s.Peak(0), 50);
    EXPECT_EQ(s.Hold(0), 0);
}

TEST(Spectrum, MagnitudesScaleBy500AndAreCapped) {
    const struct {
        float m;
        int32_t maxHeight;
        int32_t bar;
    } cases[] = {
        {0.5f, 100, 100},   // 250 capped
        {-0.05f, 100, 25},  // absolute value
        {0.0999f, 100, 49}, // truncated, not rounded
        {0.5f, 300, 250},   // a higher ceiling from the skin
        {NAN, 100, 0},      // garbage from the library draws nothing
        {INFINITY, 60, 60}, // and an overflow the ceiling
    };
    for (const auto& c : cases) {
        TSpectrum s(140, 100);
        s.MaxHeight = c.maxHeight;
        s.Paint(nullptr, Flat(c.m), 1, 0, false);
        EXPECT_EQ(s.Bar(3), c.bar) << c.m;
    }
}

TEST(Spectrum, SettledFramesReportNoChange) {
    TSpectrum s(140, 100);
    const auto silence = Flat(0.0f);
    EXPECT_TRUE(s.Paint(nullptr, silence, 1, 0, false)); // the first frame always shows
    EXPECT_FALSE(s.Paint(nullptr, silence, 1, 0, false));
    EXPECT_TRUE(s.Paint(nullptr, Flat(Level(30)), 1, 0, false));
    int frames = 0;
    while (s.Paint(nullptr, silence, 1, 0, false))
        ++frames;
    // Bars reach 0 after 10 frames; the peak waits 7 and needs 10 more to sink from 30.
    EXPECT_EQ(frames, 17);
    EXPECT_EQ(s.Peak(0), 0);
    EXPECT_TRUE(s.Paint(nullptr, silence, 2, 0, false)); // moved: drawn again
}

TEST(Spectrum, ResetDropsEverything) {
    TSpectrum s(140, 100);
    s.Paint(nullptr, Flat(Level(50)), 1, 0, false);
    s.Paint(nullptr, Flat(Level(50)), 1, 0, true);
    EXPECT_EQ(s.Bar(5), 0);
    EXPECT_EQ(s.Peak(5), 0);
}

TEST(Spectrum, LinesStyleDrawsOneColumnPerBarWithPeakPixel) {
    TSpectrum s(140, 40);
    s.BackColor = 0x000000;
    s.BarColor = 0x0000FF; // red in 0x00BBGGRR
    s.PeakColor = 0x00FF00;
    std::array<float, 256> m{};
    m[2] = Level(10);
    s.Paint(nullptr, m, 1, 0, false);
    s.Paint(nullptr, Flat(0), 1, 0, false); // bar 7, peak held at 10
    const TColor32 red = 0xFFFF0000, green = 0xFF00FF00, black = 0xFF000000;
    // Bar 2 sits in column 3; the line runs from the base (row 40, outside) up to row 33,
    // its end row 33 left out: rows 34..39.
    std::string column;
    for (int y = 28; y < 40; ++y) {
        const TColor32 p = Pixel(s, 3, y);
        column += p == red ? 'b' : p == green ? 'p' : p == black ? '.' : '?';
    }
    EXPECT_EQ(column, "..p...bbbbbb");
    for (int x : {0, 1, 2, 4})
        EXPECT_EQ(Pixel(s, x, 39), black) << x;
}

TEST(Spectrum, BlocksStylePlacesBarIAtColumns1Plus6i) {
    TSpectrum s(140, 30);
    s.BarStyle = 1;
    s.BarWidth = 5;
    s.BackColor = 0;
    s.BarColor = 0xFFFFFF;
    s.PeakColor = 0x00FFFF;
    std::array<float, 256> m{};
    for (int i = 0; i < 23; ++i)
        m[size_t(i)] = Level(10);
    s.Paint(nullptr, m, 1, 0, false);
    const TColor32 white = 0xFFFFFFFF, yellow = 0xFFFFFF00, black = 0xFF000000;
    // Row 25: the bottom ten rows are bars; row 19 is the one-pixel cap above them.
    std::string bars, caps;
    for (int x = 0; x < 25; ++x) {
        bars += Pixel(s, x, 25) == white ? '#' : Pixel(s, x, 25) == black ? '.' : '?';
        caps += Pixel(s, x, 19) == yellow ? '^' : Pixel(s, x, 19) == black ? '.' : '?';
    }
    EXPECT_EQ(bars, ".#####.#####.#####.#####.");
    EXPECT_EQ(caps, ".^^^^^.^^^^^.^^^^^.^^^^^.");
    EXPECT_EQ(Pixel(s, 1, 20), white);
    EXPECT_EQ(Pixel(s, 1, 18), black);
}

TEST(Spectrum, OtherStylesOnlyClearAndLastBarIsLimited) {
    TSpectrum s(300, 20);
    s.BarStyle = 2;
    s.BackColor = 0x102030;
    s.Paint(nullptr, Flat(Level(15)), 1, 0, false);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(Pixel(s, x, y), 0xFF302010u) << x << "," << y;
    // The values still move, so a switch of style would go on from them.
    EXPECT_EQ(s.Bar(0), 15);

    TSpectrum wide(300, 20);
    wide.LastBar = 1000;
    wide.BackColor = 0;
    wide.Paint(nullptr, Flat(Level(15)), 1, 0, false);
    EXPECT_EQ(wide.Bar(128), 15);
    EXPECT_EQ(Pixel(wide, 129, 19), 0xFFFFFFFFu); // bar 128 in column 129
    EXPECT_EQ(Pixel(wide, 130, 19), 0xFF000000u);
}

TEST(Spectrum, WithoutClearBackFramesPileUp) {
    TSpectrum s(20, 20);
    s.ClearBack = false;
    s.ShowPeaks = false;
    s.Paint(nullptr, Flat(Level(15)), 1, 0, true); // reset: nothing drawn over the start
    s.Paint(nullptr, Flat(Level(15)), 1, 0, false);
    s.Paint(nullptr, Flat(0), 1, 0, false);
    EXPECT_EQ(Pixel(s, 1, 8), 0xFFFFFFFFu); // the first frame's bar is still there
}

TEST(SpectrumSkin, BothSkinsMakeAPainterForTheBox) {
    const struct {
        const char* skin;
        QSize size;
        int style, maxHeight, barWidth, lastBar;
        TColor back;
    } cases[] = {
        {"Default", {206, 62}, 1, 60, 3, 50, 0x171310},
        {"Porcelain", {131, 96}, 0, 92, 1, 128, 0xFAF1EB},
    };
    for (const auto& c : cases) {
        TAppState state;
        state.ProgramDir = std::string(TUNOLA_TEST_SOURCE_DIR) + "/data/";
        TTunMain window(state);
        window.CreateSkinLoader();
        state.SkinDir = state.ProgramDir + "skin/" + c.skin + "/";
        window.LoadSkin();
        TSpectrum* p = window.pbx_ost->Painter();
        ASSERT_NE(p, nullptr) << c.skin;
        EXPECT_EQ(window.pbx_ost->size(), c.size);
        EXPECT_EQ(QSize(p->BackBuffer().Width(), p->BackBuffer().Height()), c.size);
        EXPECT_EQ(p->BarStyle, c.style);
        EXPECT_EQ(p->MaxHeight, c.maxHeight);
        EXPECT_EQ(p->BarWidth, c.barWidth);
        EXPECT_EQ(p->LastBar, c.lastBar);
        EXPECT_EQ(p->BackColor, c.back);
        EXPECT_EQ(p->FallStep, 3); // not in the skin: the default
        EXPECT_TRUE(p->ShowPeaks);
        EXPECT_EQ(Pixel(*p, 0, 0), Color32(c.back));

        // Shown: wanted; minimised: not, though Qt still calls the window visible.
        window.show();
        EXPECT_TRUE(window.SpectrumWanted());
        window.showMinimized();
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.SpectrumWanted());
        window.hide();
        EXPECT_FALSE(window.SpectrumWanted());
    }
}

// Counts paint events per widget.
struct PaintCounter : QObject {
    std::map<QObject*, int> paints;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++paints[o];
        return false;
    }
};

TEST(SpectrumSkin, AFrameRepaintsOnlyTheBox) {
    TAppState state;
    state.ProgramDir = std::string(TUNOLA_TEST_SOURCE_DIR) + "/data/";
    TTunMain window(state);
    window.CreateSkinLoader();
    state.SkinDir = state.ProgramDir + "skin/Default/";
    window.LoadSkin();
    window.show();
    QApplication::processEvents();
    PaintCounter counter;
    for (QWidget* w : window.findChildren<QWidget*>())
        w->installEventFilter(&counter);
    window.installEventFilter(&counter);
    const auto loud = Flat(Level(40));
    window.DrawSpectrum(loud.data(), 256);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints[window.pbx_ost], 1);
    for (const auto& [w, n] : counter.paints)
        if (w != window.pbx_ost)
            ADD_FAILURE() << qPrintable(w->objectName()) << " painted " << n << " times";
}

TEST(SpectrumSkin, ASkinWithoutTheElementLeavesNoPainter) {
    TAppState state;
    TTunMain window(state);
    window.show();
    EXPECT_EQ(window.pbx_ost->Painter(), nullptr);
    EXPECT_FALSE(window.SpectrumWanted());
    const float m[256] = {0.3f};
    window.DrawSpectrum(m, 256); // nothing to draw with, nothing breaks
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
