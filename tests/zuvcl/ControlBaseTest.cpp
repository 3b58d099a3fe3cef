// The rules every skinned control shares: the enter and leave events, and what a release of
// each mouse button does with an attached pop-up menu.

#include "ControlsTestSupport.h"
#include "ZuCustomControl.h"
#include "ZuForm.h"

#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace tunola {
namespace {

using namespace testing_support;

TEST(ControlBase, EnterLeaveAndTheReleaseRule) {
    EnsureWidgetApplication();
    TZuForm form;
    form.setGeometry(100, 100, 300, 300);
    auto* control = new TZuCustomControl(&form);
    EXPECT_EQ(control->size(), QSize(192, 192));
    control->move(50, 50);
    std::string log;
    control->OnMouseEnter = [&](QWidget& sender) {
        EXPECT_EQ(&sender, control);
        log += "enter ";
    };
    control->OnMouseLeave = [&](QWidget&) { log += "leave "; };
    control->OnMouseUp = [&](QWidget&, Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                             int y) {
        log += "up" + std::to_string(int(button)) + "@" + std::to_string(x) + "," +
               std::to_string(y) + " ";
    };
    ShowAndWait(form);
    QTest::mouseMove(&form, QPoint(10, 10));
    QTest::mouseMove(control, QPoint(20, 20));
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(20, 30));
    QTest::mouseClick(control, Qt::RightButton, {}, QPoint(20, 30)); // no menu: nothing
    QTest::mouseClick(control, Qt::MiddleButton, {}, QPoint(20, 30));
    QTest::mouseMove(&form, QPoint(10, 10));
    EXPECT_EQ(log, "enter up1@20,30 leave ");

    // A manual menu opens where the right button was released.
    QMenu menu;
    menu.addAction(QStringLiteral("一"));
    control->SetPopupMenu(&menu);
    QTest::mouseClick(control, Qt::RightButton, {}, QPoint(40, 60));
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), control->mapToGlobal(QPoint(40, 60)));
    menu.hide();

    // An automatic one opens on the platform's request, which comes with the press.
    control->SetAutoPopup(true);
    QTest::mousePress(control, Qt::RightButton, {}, QPoint(30, 30));
    EXPECT_TRUE(menu.isVisible());
    QTest::mouseRelease(control, Qt::RightButton, {}, QPoint(30, 30));
    menu.hide();

    // A menu that is gone is simply not there.
    control->SetAutoPopup(false);
    {
        QMenu shortLived;
        control->SetPopupMenu(&shortLived);
    }
    EXPECT_EQ(control->PopupMenu(), nullptr);
    QTest::mouseClick(control, Qt::RightButton, {}, QPoint(40, 60));
}

} // namespace
} // namespace tunola
