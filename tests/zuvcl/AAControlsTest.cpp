// The marquee and the fade text as widgets: their timers run only while there is something to
// animate on the screen, the fade's levels and the labels.

#include "CnAAFadeText.h"
#include "CnAAMarqueeText.h"
#include "ControlsTestSupport.h"

#include <QPaintEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace tunola {
namespace {

using testing_support::EnsureWidgetApplication;
using testing_support::Grab;

// A marquee of 200 x 25 in `top`, stepping every 50 ms.
TCnAAMarqueeText* MakeMarquee(QWidget& top) {
    top.resize(300, 40);
    auto* m = new TCnAAMarqueeText(&top);
    m->setGeometry(0, 0, 200, 25);
    m->SetScrollDelay(50);
    return m;
}

TEST(MarqueeTextTest, ScrollsThroughOneCycleAndStopsWhenHiddenOrEmpty) {
    EnsureWidgetApplication();
    QWidget top;
    TCnAAMarqueeText* m = MakeMarquee(top);
    m->SetScrollStep(0);
    EXPECT_EQ(m->ScrollStep(), 1);
    m->SetCaption(QStringLiteral("一首很长很长的歌的名字 - 歌手"));
    m->SetActive(true);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    EXPECT_TRUE(m->Scrolling());
    const int textWidth = QFontMetrics(m->font()).horizontalAdvance(m->Caption());
    EXPECT_EQ(m->Cycle(), textWidth + 200);
    for (int i = 0; i < m->Cycle() - 1; ++i)
        m->Step();
    EXPECT_EQ(m->Offset(), m->Cycle() - 1);
    m->Step();
    EXPECT_EQ(m->Offset(), 0);
    // A new caption starts again from the right edge.
    m->Step();
    m->SetCaption(QStringLiteral("另一首"));
    EXPECT_EQ(m->Offset(), 0);
    // Hidden: the timer stops; shown again: it runs.
    m->hide();
    EXPECT_FALSE(m->Scrolling());
    m->show();
    EXPECT_TRUE(m->Scrolling());
    // An empty caption is the background once, without a timer.
    m->SetBackColor(qRgb(1, 2, 3));
    m->SetCaption(QString());
    EXPECT_FALSE(m->Scrolling());
    EXPECT_EQ(m->Cycle(), 200);
    const QImage shot = Grab(*m);
    EXPECT_EQ(shot.pixel(100, 12) & 0xFFFFFF, 0x010203u);
    // Inactive: no timer and back to the start.
    m->SetCaption(QStringLiteral("abc"));
    m->Step();
    m->SetActive(false);
    EXPECT_FALSE(m->Scrolling());
    EXPECT_EQ(m->Offset(), 0);
}

TEST(MarqueeTextTest, PacedByAFrameTickKeepsItsOwnSpeed) {
    EnsureWidgetApplication();
    QWidget top;
    TCnAAMarqueeText* m = MakeMarquee(top);
    m->SetCaption(QStringLiteral("一首很长很长的歌的名字 - 歌手"));
    m->SetPacedFromOutside(true);
    m->SetActive(true);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    // Ticks every 33 ms for a second: one step per 50 ms, the first one 50 ms after the first
    // tick (the stand-in may have stepped while the window came up).
    const int start = m->Offset();
    for (qint64 t = 1000; t <= 2000; t += 33)
        m->Pace(t);
    EXPECT_EQ(m->Offset(), start + 19); // due at 1050, 1100, ... 1950; the last tick is at 1990
    // A gap of a second makes up at most two steps.
    m->Pace(3000);
    EXPECT_EQ(m->Offset(), start + 19 + TCnAAMarqueeText::kMostStepsMadeUp);
    // Without ticks the own timer takes over after four delays and steps at its own pace.
    const int before = m->Offset();
    QTest::qWait(50 * TCnAAMarqueeText::kStandInDelays + 300);
    EXPECT_GE(m->Offset(), before + 3);
    EXPECT_TRUE(m->Scrolling());
    // Paused: no timer at all.
    m->SetActive(false);
    m->Pace(4000);
    EXPECT_FALSE(m->Scrolling());
    EXPECT_EQ(m->Offset(), 0);
}

// A fade text `width` x 60 on `back`, not active yet, fading in 300 ms steps, with one label
// "Title1" of 30 px in `color`; `lineDelay` 0 keeps the default line time.
void SetUpFade(TCnAAFadeText& fade, int width, QRgb back, QRgb color, int lineDelay,
               bool shadow = false) {
    fade.resize(width, 60);
    TCnFadeTextParam text = fade.Text();
    text.FadeDelay = 300;
    if (lineDelay > 0)
        text.LineDelay = lineDelay;
    text.BackColor = back;
    fade.SetActive(false);
    fade.SetText(text);
    TCnFontLabel label;
    label.Name = QStringLiteral("Title1");
    label.Font.setPixelSize(30);
    label.Color = color;
    label.Effect.Shadow.Enabled = shadow;
    fade.Fonts().push_back(label);
}

TEST(FadeTextTest, FadesToFullAtTheThirteenthTickAndSkipsAnIdenticalLine) {
    EnsureWidgetApplication();
    TCnAAFadeText fade;
    SetUpFade(fade, 200, qRgb(0, 0, 0), qRgb(255, 255, 255), 800);
    fade.SetLines({QStringLiteral("<title1>一")});
    fade.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fade));
    fade.SetActive(true);
    EXPECT_EQ(fade.LineIndex(), 0);
    EXPECT_TRUE(fade.Fading());
    EXPECT_TRUE(fade.LineTimerRunning());
    EXPECT_EQ(fade.FadeLevel(), 0);
    for (int tick = 1; tick <= 12; ++tick)
        fade.FadeTickNow();
    EXPECT_EQ(fade.FadeLevel(), 252);
    fade.FadeTickNow();
    EXPECT_EQ(fade.FadeLevel(), 255);
    EXPECT_FALSE(fade.Fading());
    // The tag is not drawn: white text on black somewhere, the label's font.
    const QImage shot = Grab(fade);
    int lit = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            lit += qRed(shot.pixel(x, y)) > 200;
    EXPECT_GT(lit, 10);
    // One line: every line tick shows it again; identical, it is not faded again.
    const int repaints = fade.Repaints();
    fade.LineTick();
    EXPECT_EQ(fade.LineIndex(), 0);
    EXPECT_FALSE(fade.Fading());
    EXPECT_EQ(fade.Repaints(), repaints);
    // A different line fades.
    fade.SetLines({QStringLiteral("<Title1>二")});
    EXPECT_TRUE(fade.Fading());
    // Hidden: the line timer stops.
    fade.hide();
    EXPECT_FALSE(fade.LineTimerRunning());
}

TEST(FadeTextTest, PacedByAFrameTickGoesThroughTheSameLevels) {
    EnsureWidgetApplication();
    TCnAAFadeText fade, own;
    for (TCnAAFadeText* f : {&fade, &own}) {
        SetUpFade(*f, 200, qRgb(0, 0, 0), qRgb(255, 255, 255), 800);
        f->SetLines({QStringLiteral("<title1>一")});
        f->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    }
    fade.SetPacedFromOutside(true);
    fade.SetActive(true);
    own.SetActive(true);
    // Long after the start (a late first tick): four steps at once, the rest dropped.
    constexpr qint64 base = qint64(1) << 40;
    fade.Pace(base);
    for (int i = 0; i < TCnAAFadeText::kMostStepsAtOnce; ++i)
        own.FadeTickNow();
    EXPECT_EQ(fade.FadeLevel(), own.FadeLevel());
    // Then a tick every 33 ms: one step per 25 ms that passed, the levels the timer's.
    int steps = TCnAAFadeText::kMostStepsAtOnce;
    for (qint64 t = base + 33; fade.Fading(); t += 33) {
        fade.Pace(t);
        const int due = static_cast<int>((t - base) / TCnAAFadeText::kFadeStepMs);
        for (; steps < TCnAAFadeText::kMostStepsAtOnce + due && own.Fading(); ++steps)
            own.FadeTickNow();
        ASSERT_EQ(fade.FadeLevel(), own.FadeLevel()) << "at " << t - base << " ms";
        ASSERT_LT(t - base, 1000);
    }
    EXPECT_EQ(fade.FadeLevel(), 255);
    EXPECT_EQ(steps, 13);
    // A new line while no ticks come: the fade timer stands in and ends the fade.
    fade.SetLines({QStringLiteral("<Title1>二")});
    EXPECT_TRUE(fade.Fading());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fade.Fading(); }, 2000));
    EXPECT_EQ(fade.FadeLevel(), 255);
}

// Collects the area of the paint events a widget receives from the event loop.
class TPaintedArea : public QObject {
public:
    QRegion Painted;
    void Run() {
        on_ = true;
        QCoreApplication::processEvents();
        on_ = false;
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (on_ && event->type() == QEvent::Paint)
            Painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    bool on_ = false;
};

TEST(FadeTextTest, AFadeRepaintsOnlyWhereTheLinesDifferAndShowsTheWholeCrossFade) {
    EnsureWidgetApplication();
    TCnAAFadeText fade;
    SetUpFade(fade, 600, qRgb(0, 0, 40), qRgb(255, 255, 0), 0, true);
    fade.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fade));
    auto finish = [&] {
        while (fade.Fading())
            fade.FadeTickNow();
    };
    fade.SetLines({QStringLiteral("<Title1>故事的小黄花")});
    fade.SetActive(true);
    auto shot = [&] { return Grab(fade).convertToFormat(QImage::Format_RGB32); };
    finish();
    const QImage before = shot();

    TPaintedArea painted;
    fade.installEventFilter(&painted);
    QCoreApplication::processEvents();
    fade.SetLines({QStringLiteral("<Title1>晴")});
    const QRect area = fade.FadeArea();
    // The old line's box (the wider one) and no more than the text's height.
    EXPECT_FALSE(area.isEmpty());
    EXPECT_LT(area.width(), fade.width());
    EXPECT_LT(area.height(), fade.height());
    std::vector<std::pair<int, QImage>> steps;
    while (fade.Fading()) {
        painted.Run();
        steps.emplace_back(fade.FadeLevel(), shot());
        fade.FadeTickNow();
    }
    painted.Run();
    EXPECT_FALSE(painted.Painted.isEmpty());
    EXPECT_TRUE(area.contains(painted.Painted.boundingRect()))
        << "painted outside the fade's area";
    fade.removeEventFilter(&painted);
    const QImage after = shot();
    EXPECT_EQ(DifferingRect(before, after), area);
    // Every step shows the whole picture's cross-fade, inside the area and out.
    ASSERT_EQ(steps.size(), 13u);
    for (const auto& [level, picture] : steps) {
        QImage want;
        CrossFade(before, after, level, want);
        EXPECT_EQ(picture, want) << "level " << level;
    }
    // A line whose picture is the one on the screen repaints nothing while it fades.
    fade.SetLines({QStringLiteral("<Title1>故事的小黄花")});
    finish();
    QCoreApplication::processEvents(); // the last level reaches the screen
    const int repaints = fade.Repaints();
    fade.SetLines({QStringLiteral("<TITLE1>故事的小黄花")}); // the same picture
    EXPECT_TRUE(fade.FadeArea().isEmpty());
    finish();
    EXPECT_EQ(fade.Repaints(), repaints);
}

TEST(FadeTextTest, RepeatCountEndsWithAnEmptyLine) {
    EnsureWidgetApplication();
    TCnAAFadeText fade;
    fade.resize(100, 30);
    fade.SetActive(false);
    fade.SetRepeatCount(1);
    int completed = 0;
    fade.OnComplete = [&](QWidget&) { ++completed; };
    fade.SetLines({QStringLiteral("a"), QStringLiteral("b")});
    fade.SetActive(true);
    EXPECT_EQ(fade.CurrentText(), QStringLiteral("a"));
    fade.LineTick();
    EXPECT_EQ(fade.CurrentText(), QStringLiteral("b"));
    fade.LineTick();
    EXPECT_EQ(completed, 1);
    EXPECT_FALSE(fade.Active());
    EXPECT_EQ(fade.LineIndex(), -1);
    EXPECT_TRUE(fade.CurrentText().isEmpty());
}

} // namespace
} // namespace tunola
