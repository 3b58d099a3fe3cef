// The borderless forms under pointer events: dragging from the background, snapping to the
// work area and to other forms, the leader carrying its group, Shift, and the border zones.

#include "ControlsTestSupport.h"
#include "ZuForm.h"
#include "ZuFormSnap.h"
#include "ZuSkinnedForm.h"

#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tunola {
namespace {

using namespace testing_support;

class FormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureWidgetApplication(); }

    // A skinned form as the player makes them: a background that lets presses through.
    std::unique_ptr<TZuFormEx> MakeForm(QRect bounds, int tag) {
        auto form = std::make_unique<TZuFormEx>();
        form->setGeometry(bounds);
        form->SetTag(tag);
        MakeSkinBackground(*form);
        ShowAndWait(*form);
        return form;
    }

    static void Press(TZuForm& form, QPoint local) {
        QTest::mousePress(&form, Qt::LeftButton, {}, local);
    }
    // Moves the held pointer to a point on the screen.
    static void DragTo(TZuForm& form, QPoint global, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseEvent(QTest::MouseMove, &form, Qt::NoButton, keys, form.mapFromGlobal(global));
    }
    static void ReleaseAt(TZuForm& form, QPoint global) {
        QTest::mouseRelease(&form, Qt::LeftButton, {}, form.mapFromGlobal(global));
    }
};

TEST_F(FormTest, DraggedWindowSnapsToTheWorkAreaWithinTenPixels) {
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    auto form = MakeForm({work.x() + 100, work.y() + 100, 200, 100}, kZuTagFree);
    Press(*form, {50, 50});
    const QPoint grip = work.topLeft() + QPoint(150, 150);
    EXPECT_TRUE(form->InMoveSizeLoop());
    DragTo(*form, grip + QPoint(-89, 0)); // left edge 11 pixels from the work area's
    EXPECT_EQ(form->pos(), work.topLeft() + QPoint(11, 100));
    DragTo(*form, grip + QPoint(-90, 0)); // 10 pixels: it jumps to the edge
    EXPECT_EQ(form->pos(), work.topLeft() + QPoint(0, 100));
    DragTo(*form, grip + QPoint(-90, -91), Qt::ShiftModifier); // Shift: no snapping
    EXPECT_EQ(form->pos(), work.topLeft() + QPoint(10, 9));
    ReleaseAt(*form, grip + QPoint(-90, -91));
    EXPECT_FALSE(form->InMoveSizeLoop());
}

TEST_F(FormTest, LeaderCarriesTheDockedWindowUntilShiftAndATagThreeWindowStays) {
    auto mainWindow = MakeForm({100, 50, 200, 100}, kZuTagLeader);
    auto playlist = MakeForm({100, 150, 200, 80}, kZuTagFree); // right under it
    auto loner = MakeForm({300, 50, 100, 100}, kZuTagLoner);   // right beside it

    Press(*mainWindow, {100, 50}); // at (200, 100) on the screen
    EXPECT_TRUE(mainWindow->Moving());
    EXPECT_EQ(playlist->Tag(), kZuTagMember);
    EXPECT_EQ(loner->Tag(), kZuTagLoner);
    DragTo(*mainWindow, {230, 140});
    EXPECT_EQ(mainWindow->pos(), QPoint(130, 90));
    EXPECT_EQ(playlist->pos(), QPoint(130, 190));
    EXPECT_EQ(loner->pos(), QPoint(300, 50));

    // Shift: from here on the main window moves alone.
    DragTo(*mainWindow, {250, 140}, Qt::ShiftModifier);
    EXPECT_EQ(mainWindow->pos(), QPoint(150, 90));
    EXPECT_EQ(playlist->pos(), QPoint(130, 190));
    EXPECT_FALSE(mainWindow->Moving());
    EXPECT_EQ(playlist->Tag(), kZuTagFree);
    DragTo(*mainWindow, {260, 140});
    EXPECT_EQ(playlist->pos(), QPoint(130, 190));
    ReleaseAt(*mainWindow, {260, 140});
    EXPECT_EQ(mainWindow->pos(), QPoint(160, 90));

    // A new drag collects the playlist again. Brought within 5 pixels of the Tag 3 window,
    // the main window docks beside it and the playlist keeps its place under it.
    Press(*mainWindow, {100, 50}); // at (260, 140)
    EXPECT_EQ(playlist->Tag(), kZuTagMember);
    DragTo(*mainWindow, {195, 100}); // proposes (95, 50)
    EXPECT_EQ(mainWindow->pos(), QPoint(100, 50));
    EXPECT_EQ(playlist->pos(), QPoint(70, 150));
    ReleaseAt(*mainWindow, {195, 100});
    EXPECT_EQ(playlist->Tag(), kZuTagFree);
    EXPECT_EQ(loner->Tag(), kZuTagLoner);
    EXPECT_EQ(loner->pos(), QPoint(300, 50));
}

TEST_F(FormTest, BorderZonesShowTheirCursorsAndResize) {
    auto form = MakeForm({200, 200, 300, 200}, kZuTagFree);
    form->setMinimumSize(100, 80);
    SizeFromEdges(*form);
    const std::pair<QPoint, Qt::CursorShape> hovers[] = {{{2, 50}, Qt::SizeHorCursor},
                                                         {{4, 50}, Qt::ArrowCursor},
                                                         {{5, 5}, Qt::SizeFDiagCursor},
                                                         {{150, 198}, Qt::SizeVerCursor}};
    for (const auto& [point, cursor] : hovers) {
        QTest::mouseMove(form.get(), point);
        EXPECT_EQ(form->cursor().shape(), cursor) << point.x() << "," << point.y();
    }

    // A press on the left border resizes from the left.
    QTest::mouseMove(form.get(), {2, 50});
    Press(*form, {2, 50});
    DragTo(*form, {182, 257});
    EXPECT_EQ(form->geometry(), QRect(180, 200, 320, 200));
    DragTo(*form, {500, 257}); // not below the minimum width
    EXPECT_EQ(form->geometry(), QRect(400, 200, 100, 200));
    ReleaseAt(*form, {500, 257});

    // Inside, the default cursor: a press moves the window.
    QTest::mouseMove(form.get(), {50, 100});
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    Press(*form, {50, 100});
    DragTo(*form, {470, 330});
    EXPECT_EQ(form->geometry(), QRect(420, 230, 100, 200));
    ReleaseAt(*form, {470, 330});

    // Maximised, the edges size nothing.
    form->showMaximized();
    QTest::mouseMove(form.get(), {2, 50});
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    Press(*form, {2, 50});
    EXPECT_FALSE(form->InMoveSizeLoop());
    QTest::mouseRelease(form.get(), Qt::LeftButton, {}, {2, 50});
}

} // namespace
} // namespace tunola
