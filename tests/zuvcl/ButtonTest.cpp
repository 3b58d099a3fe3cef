// TZuButton and TZuCheckedButton driven by pointer events: the picture of each state, the fade
// steps, clicks, and the menu buttons.

#include "ControlsTestSupport.h"
#include "ZuButton.h"
#include "ZuForm.h"

#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tunola {
namespace {

using namespace testing_support;

constexpr TColor32 kNormal = 0xFFC00000u;
constexpr TColor32 kHighlighted = 0xFF00C000u;
constexpr TColor32 kPressed = 0xFF0000C0u;
constexpr TColor32 kChecked = 0xFFC0C000u;
constexpr TColor32 kCheckedHighlighted = 0xFF00C0C0u;
constexpr TColor32 kCheckedPressed = 0xFFC000C0u;

// A 10 x 10 button on a form, its pictures side by side as the skins lay them out: normal,
// highlighted, pressed; the checked ones in a second row.
class ButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureWidgetApplication(); }

    void SetUp() override {
        form_.setGeometry(200, 150, 80, 60);
        button_ = new TZuCheckedButton(&form_);
        button_->setGeometry(20, 20, 10, 10);
        TZuBitmap32 image;
        image.SetSize(30, 20);
        const TColor32 colours[2][3] = {{kNormal, kHighlighted, kPressed},
                                        {kChecked, kCheckedHighlighted, kCheckedPressed}};
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 3; ++column)
                image.FillRect(ZuBounds(column * 10, row * 10, 10, 10), colours[row][column]);
        button_->SetImage(image);
        button_->SetHighlightedX(10);
        button_->SetPressedX(20);
        button_->SetCheckedY(10);
        button_->SetCheckedHX(10);
        button_->SetCheckedHY(10);
        button_->SetCheckedPX(20);
        button_->SetCheckedPY(10);
        button_->OnClick = [this](QWidget& sender) {
            EXPECT_EQ(&sender, button_);
            ++clicks_;
        };
        ShowAndWait(form_);
        QTest::mouseMove(&form_, QPoint(5, 5));
    }

    // Fading with real ticks kept out: the test ticks the timer itself.
    QTimer& UseManualFade(int steps) {
        button_->SetFade(steps);
        auto* timer = button_->findChild<QTimer*>();
        EXPECT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), 20);
        timer->setInterval(3600 * 1000);
        return *timer;
    }

    void Enter() { QTest::mouseMove(button_, QPoint(5, 5)); }
    void Leave() { QTest::mouseMove(&form_, QPoint(60, 45)); }
    TColor32 Shown() { return GrabPixel(*button_, 5, 5); }

    TZuFormEx form_;
    TZuCheckedButton* button_ = nullptr;
    int clicks_ = 0;
};

TColor32 Blended(TColor32 under, TColor32 over, uint8_t alpha) {
    TZuBitmap32 a, b;
    a.SetSize(1, 1);
    a.Clear(under);
    b.SetSize(1, 1);
    b.Clear(over);
    b.DrawBlended(a, 0, 0, alpha, b.BoundsRect());
    return *a.Bits();
}

TEST_F(ButtonTest, WithoutFadeItHighlightsAtOnce) {
    int entered = 0, left = 0;
    button_->OnMouseEnter = [&](QWidget&) { ++entered; };
    button_->OnMouseLeave = [&](QWidget&) { ++left; };
    EXPECT_EQ(Shown(), kNormal);
    Enter();
    EXPECT_EQ(button_->State(), TZuButtonState::bsHighlighted);
    EXPECT_EQ(Shown(), kHighlighted);
    Leave();
    EXPECT_EQ(button_->State(), TZuButtonState::bsNormal);
    EXPECT_EQ(Shown(), kNormal);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(button_->findChild<QTimer*>(), nullptr);
}

TEST_F(ButtonTest, FadeTakesTenTicksInAndOneMoreToSettleThenFadesBack) {
    QTimer& timer = UseManualFade(10);
    Enter();
    EXPECT_EQ(button_->State(), TZuButtonState::bsFadingIn);
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(Shown(), kNormal); // step 0
    for (int tick = 1; tick <= 10; ++tick) {
        button_->FadeTimerTimer();
        EXPECT_EQ(button_->FadeStep(), tick);
        EXPECT_EQ(button_->State(), TZuButtonState::bsFadingIn);
        if (tick == 5) {
            EXPECT_EQ(Shown(), Blended(kNormal, kHighlighted, 5 * 255 / 10));
        }
    }
    EXPECT_EQ(Shown(), kHighlighted); // the last step is the whole highlight, still fading
    button_->FadeTimerTimer();
    EXPECT_EQ(button_->State(), TZuButtonState::bsHighlighted);
    EXPECT_FALSE(timer.isActive());

    Leave();
    EXPECT_EQ(button_->State(), TZuButtonState::bsFadingOut);
    EXPECT_TRUE(timer.isActive());
    for (int tick = 1; tick <= 10; ++tick) {
        button_->FadeTimerTimer();
        EXPECT_EQ(button_->FadeStep(), 10 - tick);
    }
    EXPECT_EQ(button_->State(), TZuButtonState::bsFadingOut);
    button_->FadeTimerTimer();
    EXPECT_EQ(button_->State(), TZuButtonState::bsNormal);
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(Shown(), kNormal);
}

TEST_F(ButtonTest, FadeIsClampedAndZeroRemovesTheTimer) {
    button_->SetFade(250);
    EXPECT_EQ(button_->Fade(), 100);
    EXPECT_NE(button_->findChild<QTimer*>(), nullptr);
    Enter(); // fading in
    button_->SetFade(0);
    EXPECT_EQ(button_->findChild<QTimer*>(), nullptr);
    EXPECT_EQ(button_->State(), TZuButtonState::bsHighlighted); // not left half-way
}

TEST_F(ButtonTest, PressingAFadingButtonJumpsToPressedAndClickFadesOut) {
    QTimer& timer = UseManualFade(10);
    int downs = 0;
    button_->OnMouseDown = [&](QWidget&, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        EXPECT_EQ(b, Qt::LeftButton);
        EXPECT_EQ(QPoint(x, y), QPoint(5, 5));
        ++downs;
    };
    Enter();
    button_->FadeTimerTimer();
    button_->FadeTimerTimer();
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button_->State(), TZuButtonState::bsPressed);
    EXPECT_EQ(button_->FadeStep(), 10);
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(Shown(), kPressed);
    EXPECT_EQ(downs, 1);

    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(button_->State(), TZuButtonState::bsFadingOut);
    EXPECT_TRUE(timer.isActive());
    EXPECT_FALSE(button_->IsPressed());
    // The pointer is still there: the next move fades in again.
    QTest::mouseMove(button_, QPoint(6, 5));
    EXPECT_EQ(button_->State(), TZuButtonState::bsFadingIn);
}

TEST_F(ButtonTest, ReleaseOutsideIsNoClick) {
    int ups = 0;
    button_->OnMouseUp = [&](QWidget&, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++ups; };
    Enter();
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(button_, QPoint(30, 5)); // dragged off, button still down
    EXPECT_EQ(button_->State(), TZuButtonState::bsPressed);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(30, 5));
    EXPECT_EQ(clicks_, 0);
    EXPECT_EQ(ups, 0);
    EXPECT_EQ(button_->State(), TZuButtonState::bsNormal);
    EXPECT_EQ(Shown(), kNormal);
    // Other buttons do not press it.
    QTest::mouseClick(button_, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button_->IsPressed());
    EXPECT_EQ(clicks_, 0);
}

TEST_F(ButtonTest, MenuButtonOpensItsMenuBelowItself) {
    QMenu menu;
    menu.addAction(QStringLiteral("一"));
    button_->OnClick = nullptr;
    button_->SetTag(1);
    button_->SetPopupMenu(&menu);
    QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), button_->mapToGlobal(QPoint(0, 10)));
    menu.hide();

    // With the menu opening by itself, the button is an ordinary one again.
    button_->SetAutoPopup(true);
    QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(ButtonTest, RightClickOpensTheMenuWhereReleasedAndLeftClickStillClicks) {
    QMenu menu;
    menu.addAction(QStringLiteral("一"));
    button_->SetPopupMenu(&menu); // Tag 0, manual
    QTest::mouseClick(button_, Qt::RightButton, {}, QPoint(7, 3));
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), button_->mapToGlobal(QPoint(7, 3)));
    EXPECT_EQ(clicks_, 0);
    menu.hide();
    QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks_, 1);
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(ButtonTest, CheckedPicturesWhileCheckedAndEnabled) {
    button_->SetChecked(true);
    EXPECT_EQ(Shown(), kChecked);
    Enter();
    EXPECT_EQ(Shown(), kCheckedHighlighted);
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Shown(), kCheckedPressed);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button_->Checked()); // the owner toggles it, not the button
    button_->setEnabled(false);
    EXPECT_EQ(button_->State(), TZuButtonState::bsNormal);
    EXPECT_EQ(Shown(), kNormal);
}

} // namespace
} // namespace tunola
