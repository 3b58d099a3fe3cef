// The list box with real mouse, wheel and key events: selection and clicks, double clicks,
// wheel bursts, held keys, drag-outside scrolling, multi-selection, the strings keeping the
// selection, the flat look's pixels and the scroll bar.

#include "ControlsTestSupport.h"
#include "ZuListControl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace tunola {
namespace {

using namespace testing_support;

// As the library window makes its result list: 22-pixel rows, flat, single selection.
class ListBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureWidgetApplication(); }
    void SetUp() override {
        list_.SetAutoItemHeight(false);
        list_.SetItemHeight(22);
        list_.setGeometry(100, 100, 200, 120); // 116 pixels of rows: 5 whole and a cut one
        list_.OnItemClick = [this](QWidget&, int i) { Log("click " + std::to_string(i)); };
        list_.OnItemDlbClick = [this](QWidget&, int i) { Log("dbl " + std::to_string(i)); };
        list_.OnDblClick = [this](QWidget&) { Log("dblclick"); };
        list_.OnClick = [this](QWidget&) { ++clicks_; };
    }
    void Fill(int count) {
        QStringList rows;
        for (int i = 0; i < count; ++i)
            rows << QStringLiteral("%1. Title %1 - Artist").arg(i, 3);
        list_.Items().AddStrings(rows);
    }
    void Log(const std::string& s) { events_ += s + ";"; }
    QPoint Row(int visibleRow, int dy = 11) const {
        return {40, list_.ItemArea().Top + visibleRow * 22 + dy};
    }
    void Wheel(int delta) {
        const QPointF at(40, 40);
        QWheelEvent event(at, list_.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&list_, &event);
    }
    void WaitScrolled() {
        QElapsedTimer t;
        t.start();
        while (list_.Scrolling() && t.elapsed() < 5000)
            QTest::qWait(5);
        ASSERT_FALSE(list_.Scrolling());
    }

    TZuListBox list_;
    std::string events_;
    int clicks_ = 0;
};

TEST_F(ListBoxTest, ItemHeightBelowOneFailsAndKeepsTheHeight) {
    for (int bad : {0, -5}) {
        try {
            list_.SetItemHeight(bad);
            FAIL() << bad;
        } catch (const EZuListError& e) {
            EXPECT_STREQ(e.what(), "Can not Set ItemHeight < 1.");
        }
        EXPECT_EQ(list_.ItemHeight(), 22);
    }
    list_.SetItemHeight(1);
    EXPECT_EQ(list_.ItemHeight(), 1);
}

TEST_F(ListBoxTest, ClickSelectsAndReportsTheRow) {
    Fill(30);
    ShowAndWait(list_);
    QTest::mouseClick(&list_, Qt::LeftButton, {}, Row(2));
    EXPECT_EQ(list_.ItemIndex(), 2);
    EXPECT_EQ(list_.SelCount(), 1);
    EXPECT_EQ(list_.AnchorRow(), 2);
    EXPECT_EQ(events_, "click 2;");
    EXPECT_EQ(clicks_, 1);
    // Clicking the cut last row selects it without scrolling.
    QTest::mouseClick(&list_, Qt::LeftButton, {}, Row(5, 2));
    EXPECT_EQ(list_.ItemIndex(), 5);
    EXPECT_EQ(list_.TopIndex(), 0);
    // Right and middle presses leave the selection and the anchor; the right one opens the
    // list's menu over the selection as it is.
    QMenu menu;
    menu.addAction(QStringLiteral("添加到列表"));
    list_.SetPopupMenu(&menu);
    QTest::mouseClick(&list_, Qt::RightButton, {}, Row(1));
    EXPECT_TRUE(menu.isVisible());
    menu.close();
    QTest::mouseClick(&list_, Qt::MiddleButton, {}, Row(1));
    EXPECT_EQ(list_.ItemIndex(), 5);
    EXPECT_EQ(list_.AnchorRow(), 5);
    EXPECT_EQ(events_, "click 2;click 5;");
}

TEST_F(ListBoxTest, EmptyListHitsNothing) {
    ShowAndWait(list_);
    QTest::mouseClick(&list_, Qt::LeftButton, {}, Row(1));
    QTest::mouseDClick(&list_, Qt::LeftButton, {}, Row(1));
    EXPECT_EQ(list_.ItemIndex(), -1);
    EXPECT_EQ(events_, "dblclick;"); // the control's event, no row's
    EXPECT_FALSE(list_.ScrollBar().isVisible());
    const QImage shot = Grab(list_);
    EXPECT_EQ(shot.pixel(0, 0), 0xFF80808Eu);
    EXPECT_EQ(shot.pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(shot.pixel(100, 60), 0xFFFFFFFFu);
}

TEST_F(ListBoxTest, DoubleClickOnlyOnTheSameRow) {
    Fill(30);
    ShowAndWait(list_);
    QTest::mouseDClick(&list_, Qt::LeftButton, {}, Row(3));
    EXPECT_EQ(events_, "click 3;dblclick;dbl 3;");
    QTest::qWait(QApplication::doubleClickInterval() + 50);

    // Two quick clicks a few pixels apart, across a row boundary: the system takes them for a
    // double click, but they hit two rows.
    events_.clear();
    QTest::mouseClick(&list_, Qt::LeftButton, {}, Row(1, 20));
    QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval; // a quick second click
    QTest::mouseClick(&list_, Qt::LeftButton, {}, Row(2, 1));
    EXPECT_NE(events_.find("dblclick;"), std::string::npos) << events_;
    EXPECT_EQ(events_.find("dbl 1"), std::string::npos) << events_;
    EXPECT_EQ(events_.find("dbl 2"), std::string::npos) << events_;
    EXPECT_EQ(list_.ItemIndex(), 1) << events_; // the second press selected nothing
}

TEST_F(ListBoxTest, WheelBurstsScroll3Then6Then9Lines) {
    Fill(60);
    ShowAndWait(list_);
    // Three notches within 80 ms: 3 + 6 + 9.
    Wheel(-120);
    EXPECT_TRUE(list_.Scrolling());
    Wheel(-120);
    Wheel(-120);
    WaitScrolled();
    EXPECT_EQ(list_.TopIndex(), 18);
    EXPECT_EQ(list_.ScrollBar().Position(), 18);

    // Notches further apart: 3 each.
    QTest::qWait(TZuListControl::kWheelBurstMs + 40);
    Wheel(120);
    WaitScrolled();
    QTest::qWait(TZuListControl::kWheelBurstMs + 40);
    Wheel(120);
    WaitScrolled();
    EXPECT_EQ(list_.TopIndex(), 12);
    // Half notches add up.
    QTest::qWait(TZuListControl::kWheelBurstMs + 40);
    Wheel(60);
    EXPECT_FALSE(list_.Scrolling());
    Wheel(60);
    WaitScrolled();
    EXPECT_EQ(list_.TopIndex(), 9);
}

TEST_F(ListBoxTest, SmoothScrollRunsOnATimerWithItsFrames) {
    Fill(60);
    ShowAndWait(list_);
    QElapsedTimer t;
    t.start();
    Wheel(-120);                    // 3 rows: 66 pixels, 21 frames of 10 ms
    EXPECT_EQ(list_.TopIndex(), 0); // the event returned at once; the view is still moving
    WaitScrolled();
    const qint64 took = t.elapsed();
    EXPECT_EQ(list_.TopIndex(), 3);
    EXPECT_GE(took, 21 * 10 - 15);
    // Selecting a row far down also animates; a new scroll completes the running one first.
    list_.SetItemIndex(40);
    EXPECT_TRUE(list_.Scrolling());
    list_.SetItemIndex(2);
    WaitScrolled();
    EXPECT_EQ(list_.TopIndex(), 2);
}

TEST_F(ListBoxTest, SmoothScrollShowsTheFramesBetween) {
    Fill(60);
    list_.SetItemIndex(4);
    ShowAndWait(list_);
    // Follow the selected row's top outline while the view moves up by three rows.
    auto outlineY = [this] {
        const QImage shot = Grab(list_);
        for (int y = 0; y < shot.height(); ++y)
            if (shot.pixel(10, y) == 0xFF316AC5u)
                return y;
        return -1;
    };
    const int before = outlineY();
    ASSERT_EQ(before, 2 + 4 * 22);
    Wheel(-120);
    std::vector<int> seen;
    while (list_.Scrolling()) {
        const int y = outlineY();
        if (y >= 0 && (seen.empty() || seen.back() != y))
            seen.push_back(y);
        QTest::qWait(3);
    }
    EXPECT_EQ(outlineY(), 2 + 1 * 22);
    ASSERT_GE(seen.size(), 3u) << "no frames between the two views";
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_LT(seen[i], seen[i - 1]); // only ever upwards, pixel by pixel
}

TEST_F(ListBoxTest, ExtremeSizesAndHeightsStaySafe) {
    Fill(50);
    ShowAndWait(list_);
    const struct {
        int w, h, itemH;
    } cases[] = {{0, 0, 22},          {1, 1, 1},           {3, 200, 1},
                 {200, 120, 1 << 30}, {200, 120, INT_MAX}, {20, 4000, 1}};
    for (const auto& c : cases) {
        list_.resize(c.w, c.h);
        list_.SetItemHeight(c.itemH);
        list_.SetTopIndex(INT_MAX);
        list_.SetItemIndex(49);
        WaitScrolled();
        list_.repaint();
        Wheel(-120);
        Wheel(120);
        WaitScrolled();
        QTest::keyClick(&list_, Qt::Key_End);
        QTest::keyClick(&list_, Qt::Key_PageUp);
        WaitScrolled();
        if (c.w > 0 && c.h > 0)
            QTest::mouseClick(&list_, Qt::LeftButton, {}, QPoint(c.w / 2, c.h / 2));
        EXPECT_GE(list_.TopIndex(), 0) << c.w << "x" << c.h << " " << c.itemH;
        EXPECT_LT(list_.TopIndex(), 50) << c.w << "x" << c.h << " " << c.itemH;
        EXPECT_LE(list_.ItemIndex(), 49);
    }
}

TEST_F(ListBoxTest, OwnerDrawnRowsAndScrollBar) {
    Fill(30);
    list_.SetItemIndex(1);
    std::vector<int> rows;
    std::vector<int> parts;
    list_.OnItemDraw = [&](TZuBitmapEx32& cav, int index, const TZuRect& r, TListItemStates state) {
        rows.push_back(index);
        cav.FillRect(r, state.testFlag(isSelected) ? 0xFF00FF00u : 0xFF000000u);
    };
    list_.SetOnDrawScrollBar(
        [&](TZuBitmap32& cav, TDrawScrollBar part, const TZuRect& r, TButtonState) {
            parts.push_back(part);
            cav.FillRect(r, 0xFFFF0000u);
        });
    list_.SetOwnerDraw(true);
    ShowAndWait(list_);
    list_.SetTopIndex(1); // a space above the thumb too
    const QImage shot = Grab(list_);
    EXPECT_EQ(shot.pixel(10, 2 + 5), 0xFF00FF00u);
    EXPECT_EQ(shot.pixel(10, 2 + 22 + 5), 0xFF000000u);
    EXPECT_EQ(shot.pixel(190, 60), 0xFFFF0000u);
    EXPECT_EQ(shot.pixel(0, 0), 0xFF80808Eu);                      // the frame is the style's
    EXPECT_NE(std::find(rows.begin(), rows.end(), 6), rows.end()); // the cut row is drawn
    EXPECT_EQ(std::find(rows.begin(), rows.end(), 7), rows.end());
    for (int p : {dsLeftBtn, dsRightBtn, dsTrack, dsSpaceLeft, dsSpaceRight})
        EXPECT_NE(std::find(parts.begin(), parts.end(), p), parts.end()) << p;
}

TEST_F(ListBoxTest, HeldDownKeyScrollsWithoutAnimationAfterTheFirstPress) {
    Fill(30);
    ShowAndWait(list_);
    list_.setFocus();
    list_.SetItemIndex(0);
    for (int i = 1; i <= 5; ++i) { // rows 1 … 5 are in view (5 is the cut one)
        QTest::keyPress(&list_, Qt::Key_Down);
        EXPECT_EQ(list_.ItemIndex(), i);
        EXPECT_FALSE(list_.Scrolling());
        EXPECT_EQ(list_.KeyDirection(), 0);
    }
    QTest::keyPress(&list_, Qt::Key_Down); // row 6: the first press of the gesture animates
    EXPECT_EQ(list_.ItemIndex(), 6);
    EXPECT_TRUE(list_.Scrolling());
    EXPECT_EQ(list_.KeyDirection(), 2);
    // Held: every repeat scrolls one row at once.
    for (int i = 7; i <= 10; ++i) {
        QTest::keyPress(&list_, Qt::Key_Down);
        EXPECT_FALSE(list_.Scrolling()) << i;
        EXPECT_EQ(list_.ItemIndex(), i);
        EXPECT_EQ(list_.TopIndex(), i - 5);
    }
    QTest::keyRelease(&list_, Qt::Key_Down);
    EXPECT_EQ(list_.KeyDirection(), 0);
    QTest::keyPress(&list_, Qt::Key_Down);
    EXPECT_TRUE(list_.Scrolling());
    WaitScrolled();
    EXPECT_EQ(list_.TopIndex(), 6);
    EXPECT_GE(clicks_, 11); // every key move fires OnClick
}

TEST_F(ListBoxTest, KeyTable) {
    Fill(30);
    ShowAndWait(list_);
    list_.setFocus();
    const struct {
        int start;
        Qt::Key key;
        int index, top;
    } cases[] = {
        {10, Qt::Key_Up, 9, 5},
        {0, Qt::Key_Up, 0, 0},
        {10, Qt::Key_Left, 9, 5},
        {10, Qt::Key_Right, 11, 6},
        {10, Qt::Key_PageDown, 16, 11},
        {10, Qt::Key_PageUp, 5, 5},
        {3, Qt::Key_PageUp, 0, 0},
        {10, Qt::Key_Home, 0, 0},
        // The last row: the view goes one line further, so that it is whole.
        {10, Qt::Key_End, 29, 25},
        {28, Qt::Key_Down, 29, 25},
    };
    for (const auto& c : cases) {
        list_.SetItemIndex(c.start);
        list_.SetTopIndex(c.start - 5 >= 0 ? c.start - 5 : 0);
        WaitScrolled();
        list_.SetTopIndex(c.start - 5 >= 0 ? c.start - 5 : 0);
        QTest::keyClick(&list_, c.key);
        WaitScrolled();
        EXPECT_EQ(list_.ItemIndex(), c.index) << c.start << " key " << c.key;
        EXPECT_EQ(list_.TopIndex(), c.top) << c.start << " key " << c.key;
    }
}

TEST_F(ListBoxTest, DraggingFarBelowScrollsFastAndSelectsTheLastVisibleRow) {
    Fill(200);
    ShowAndWait(list_);
    QTest::mousePress(&list_, Qt::LeftButton, {}, Row(1));
    QTest::mouseMove(&list_, Row(3));
    EXPECT_EQ(list_.ItemIndex(), 3);
    EXPECT_EQ(list_.AutoScrollCode(), 0);
    QTest::mouseMove(&list_, QPoint(40, list_.height() + 40)); // more than 30 below
    EXPECT_EQ(list_.AutoScrollCode(), 3);
    QTest::qWait(300);
    const int top = list_.TopIndex();
    EXPECT_GT(top, 4); // one line every 10 ms (a slow machine manages fewer)
    EXPECT_EQ(list_.ItemIndex(), std::min(list_.TopIndex() + list_.Page() - 1, 199));
    // Back inside: the scrolling stops.
    QTest::mouseMove(&list_, Row(2));
    EXPECT_EQ(list_.AutoScrollCode(), 0);
    const int stopped = list_.TopIndex();
    QTest::qWait(60);
    EXPECT_EQ(list_.TopIndex(), stopped);
    QTest::mouseRelease(&list_, Qt::LeftButton, {}, Row(2));
    EXPECT_FALSE(list_.Pressed());
    // Above the list: upwards, slowly near it.
    QTest::mousePress(&list_, Qt::LeftButton, {}, Row(2));
    QTest::mouseMove(&list_, QPoint(40, -5));
    EXPECT_EQ(list_.AutoScrollCode(), 4);
    QTest::mouseRelease(&list_, Qt::LeftButton, {}, QPoint(40, -5));
    EXPECT_EQ(list_.AutoScrollCode(), 0);
}

TEST_F(ListBoxTest, MultiSelectWithShiftAndCtrl) {
    Fill(30);
    list_.SetMultiSelect(true);
    ShowAndWait(list_);
    QTest::mouseClick(&list_, Qt::LeftButton, {}, Row(1));
    QTest::mouseClick(&list_, Qt::LeftButton, Qt::ShiftModifier, Row(4));
    EXPECT_EQ(list_.SelCount(), 4);
    EXPECT_EQ(list_.AnchorRow(), 1);
    QTest::mouseClick(&list_, Qt::LeftButton, Qt::ControlModifier, Row(2));
    EXPECT_FALSE(list_.Selected(2));
    EXPECT_EQ(list_.SelCount(), 3);
    QTest::mouseClick(&list_, Qt::LeftButton, Qt::ControlModifier, Row(0));
    EXPECT_TRUE(list_.Selected(0));
    EXPECT_EQ(list_.SelCount(), 4);
    // A plain click starts again.
    QTest::mouseClick(&list_, Qt::LeftButton, {}, Row(3));
    EXPECT_EQ(list_.SelCount(), 1);
    // A drag selects the range it covers; Shift with a key extends from the anchor.
    QTest::mousePress(&list_, Qt::LeftButton, {}, Row(1));
    QTest::mouseMove(&list_, Row(3));
    QTest::mouseRelease(&list_, Qt::LeftButton, {}, Row(3));
    EXPECT_EQ(list_.SelCount(), 3);
    QTest::keyClick(&list_, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(list_.SelCount(), 4); // rows 1 … 4
    // A Ctrl-drag from a selected row takes its range out of what was selected before.
    QTest::mousePress(&list_, Qt::LeftButton, Qt::ControlModifier, Row(2));
    EXPECT_FALSE(list_.Selected(2));
    QTest::mouseEvent(QTest::MouseMove, &list_, Qt::NoButton, Qt::ControlModifier, Row(0));
    QTest::mouseRelease(&list_, Qt::LeftButton, Qt::ControlModifier, Row(0));
    EXPECT_EQ(list_.SelCount(), 2);
    EXPECT_TRUE(list_.Selected(3));
    EXPECT_TRUE(list_.Selected(4));
    // Off again: only ItemIndex stays.
    list_.SetMultiSelect(false);
    EXPECT_EQ(list_.SelCount(), 1);
    EXPECT_TRUE(list_.Selected(list_.ItemIndex()));
}

TEST_F(ListBoxTest, StringsCarryTheSelection) {
    Fill(10);
    list_.SetItemIndex(4);
    list_.Items().Insert(0, QStringLiteral("new"));
    EXPECT_EQ(list_.ItemIndex(), 5);
    EXPECT_TRUE(list_.Selected(5));
    list_.Items().Delete(0);
    EXPECT_EQ(list_.ItemIndex(), 4);
    list_.Items().Move(4, 8);
    EXPECT_EQ(list_.ItemIndex(), 8);
    EXPECT_TRUE(list_.Selected(8));
    EXPECT_EQ(list_.Items()[8].trimmed(), QStringLiteral("4. Title   4 - Artist"));
    list_.Items().Delete(8);
    EXPECT_EQ(list_.ItemIndex(), -1);
    EXPECT_EQ(list_.SelCount(), 0);
    list_.SetTopIndex(3);
    list_.Items().Add(QStringLiteral("more"));
    EXPECT_EQ(list_.ItemCount(), 10);
    list_.Items().Clear();
    EXPECT_EQ(list_.ItemCount(), 0);
    EXPECT_EQ(list_.ItemIndex(), -1);
    EXPECT_EQ(list_.TopIndex(), 0);
    // Out-of-range edits change nothing.
    list_.Items().Delete(3);
    list_.Items().Put(-1, QStringLiteral("x"));
    list_.Items().Insert(7, QStringLiteral("x"));
    EXPECT_EQ(list_.ItemCount(), 0);
    list_.Items().SetText(QStringLiteral("a\r\nb\nc\n"));
    EXPECT_EQ(list_.ItemCount(), 3);
    EXPECT_EQ(list_.Items().Text(), QStringLiteral("a\nb\nc\n"));
    list_.SetItemIndex(99);
    EXPECT_EQ(list_.ItemIndex(), 2);
    list_.SetItemIndex(-7);
    EXPECT_EQ(list_.ItemIndex(), -1);
}

TEST_F(ListBoxTest, FlatLookPixels) {
    Fill(30);
    list_.SetItemIndex(1);
    list_.SetActiveItem(3);
    ShowAndWait(list_);
    const QImage shot = Grab(list_);
    const TZuRect r1 = list_.ItemRect(1);
    const TZuRect r3 = list_.ItemRect(3);
    // The frame: #80808E outside, the control colour inside it.
    EXPECT_EQ(shot.pixel(0, 0), 0xFF80808Eu);
    EXPECT_EQ(shot.pixel(0, 119), 0xFF80808Eu);
    EXPECT_EQ(shot.pixel(199, 60), 0xFF80808Eu);
    EXPECT_EQ(shot.pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(shot.pixel(198, 118), 0xFFFFFFFFu);
    // Selected row: outline and fill.
    EXPECT_EQ(shot.pixel(r1.Left, r1.Top), 0xFF316AC5u);
    EXPECT_EQ(shot.pixel(r1.Right - 1, r1.Bottom - 1), 0xFF316AC5u);
    EXPECT_EQ(shot.pixel(r1.Right - 3, r1.Top + 2), 0xFFC1D2EEu);
    // Active row.
    EXPECT_EQ(shot.pixel(r3.Left, r3.Top + 5), 0xFFA09683u);
    EXPECT_EQ(shot.pixel(r3.Right - 3, r3.Top + 2), 0xFFF7DE9Cu);
    // A plain row has no outline; the hot row is not highlighted.
    QTest::mouseMove(&list_, Row(2));
    const QImage hot = Grab(list_);
    EXPECT_EQ(hot.pixel(list_.ItemRect(2).Left, list_.ItemRect(2).Top), 0xFFFFFFFFu);
    // Selected and active: the selection wins.
    list_.SetActiveItem(1);
    EXPECT_EQ(Grab(list_).pixel(r1.Right - 3, r1.Top + 2), 0xFFC1D2EEu);
    // The scroll bar stands inside the frame at the right.
    EXPECT_TRUE(list_.ScrollBar().isVisible());
    EXPECT_EQ(list_.ScrollBar().geometry(), QRect(182, 2, 16, 116));
    EXPECT_EQ(shot.pixel(182, 2), 0xFF80808Eu); // the top arrow's outline
}

TEST_F(ListBoxTest, ExactlyAPageOfRowsAllowsOneStep) {
    Fill(6);
    ShowAndWait(list_);
    EXPECT_TRUE(list_.ScrollBar().isVisible());
    list_.SetTopIndex(5);
    EXPECT_EQ(list_.TopIndex(), 1);
    // The bar's down arrow: one step, animated (a first press), then no further.
    const QPoint down(182 + 8, 2 + 116 - 8);
    QTest::mouseClick(&list_, Qt::LeftButton, {}, down);
    list_.SetTopIndex(0);
    QTest::mouseClick(&list_.ScrollBar(), Qt::LeftButton, {}, QPoint(8, 116 - 8));
    EXPECT_TRUE(list_.Scrolling());
    WaitScrolled();
    EXPECT_EQ(list_.TopIndex(), 1);
    QTest::mouseClick(&list_.ScrollBar(), Qt::LeftButton, {}, QPoint(8, 116 - 8));
    EXPECT_FALSE(list_.Scrolling());
    EXPECT_EQ(list_.TopIndex(), 1);
    // Fewer rows: the bar goes and the rows start at the top.
    list_.Items().Delete(0);
    EXPECT_FALSE(list_.ScrollBar().isVisible());
    EXPECT_EQ(list_.TopIndex(), 0);
}

TEST_F(ListBoxTest, ScrollBarRepeatsAndDrags) {
    Fill(100);
    ShowAndWait(list_);
    TZuScrollBar& bar = list_.ScrollBar();
    // Held on the down arrow: one step at once, repeats after 150 ms, then every 50 ms.
    QElapsedTimer pressed;
    pressed.start();
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(8, 110));
    EXPECT_EQ(bar.Position(), 1);
    EXPECT_EQ(bar.PartState(dsRightBtn), bsDown);
    EXPECT_EQ(bar.PartState(dsTrack), bsExclusive);
    QTest::qWait(100);
    if (pressed.elapsed() < 140) { // a busy machine may have slept through the delay
        EXPECT_EQ(bar.Position(), 1);
    }
    QTest::qWait(250);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(8, 110));
    WaitScrolled();
    const int held = bar.Position();
    EXPECT_GE(held, 3);
    EXPECT_EQ(list_.TopIndex(), held);
    QTest::qWait(120);
    EXPECT_EQ(bar.Position(), held); // stopped with the release

    // Dragging the thumb moves the view at once, never animated.
    const TZuScrollBarLayout l = bar.Layout();
    const int grab = l.ThumbStart + l.ThumbLength / 2;
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(8, grab));
    QTest::mouseMove(&bar, QPoint(8, 200));
    EXPECT_FALSE(list_.Scrolling());
    EXPECT_EQ(list_.TopIndex(), 95); // 100 rows, page 6
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(8, 200));
    // The space above the thumb pages up by a page.
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(8, 20));
    WaitScrolled();
    EXPECT_EQ(list_.TopIndex(), 89);
    // Hover states.
    QTest::mouseMove(&bar, QPoint(8, 5));
    EXPECT_EQ(bar.PartState(dsLeftBtn), bsUp);
    EXPECT_EQ(bar.PartState(dsRightBtn), bsExclusive);
}

TEST_F(ListBoxTest, ScrollBarFlatPixels) {
    Fill(30); // page 6: thumb 16 long at the top of the track
    ShowAndWait(list_);
    TZuScrollBar& bar = list_.ScrollBar();
    const TColor32 face = Color32(clBtnFace);
    QImage shot = Grab(bar);
    EXPECT_EQ(shot.pixel(0, 0), 0xFF80808Eu);   // top arrow's outline
    EXPECT_EQ(shot.pixel(3, 3), face);          // and fill
    EXPECT_EQ(shot.pixel(8, 6), 0xFF80808Eu);   // its tip, pointing up
    EXPECT_EQ(shot.pixel(5, 9), 0xFF80808Eu);   // its base
    EXPECT_EQ(shot.pixel(8, 106), 0xFF80808Eu); // the bottom arrow's base
    EXPECT_EQ(shot.pixel(8, 109), 0xFF80808Eu); // its tip, pointing down
    EXPECT_EQ(shot.pixel(5, 109), face);
    EXPECT_EQ(shot.pixel(0, 50), 0xFFC2C2C9u); // the space's long edges
    EXPECT_EQ(shot.pixel(15, 50), 0xFFC2C2C9u);
    EXPECT_EQ(shot.pixel(5, 50), face);
    for (int x : {5, 8, 11}) // the thumb's grip
        EXPECT_EQ(shot.pixel(x, 24), 0xFF80808Eu) << x;
    EXPECT_EQ(shot.pixel(6, 24), face);

    // Under the mouse: blue with a light outline, the mark in the tooltip colour.
    QTest::mouseMove(&bar, QPoint(8, 108));
    shot = Grab(bar);
    EXPECT_EQ(shot.pixel(0, 100), 0xFFC0DCC0u);
    EXPECT_EQ(shot.pixel(3, 103), 0xFF4E92D6u);
    EXPECT_EQ(shot.pixel(8, 109), Color32(clInfoBk));
    EXPECT_EQ(shot.pixel(0, 0), 0xFF80808Eu);
    // Held: a darker outline; the spaces take the desktop colour.
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(8, 108));
    shot = Grab(bar);
    EXPECT_EQ(shot.pixel(0, 100), 0xFF316AC5u);
    EXPECT_EQ(shot.pixel(5, 60), Color32(clBackground));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(8, 108));
    WaitScrolled();
}

TEST_F(ListBoxTest, AutoItemHeightFollowsTheFont) {
    TZuListBox box;
    EXPECT_TRUE(box.AutoItemHeight());
    EXPECT_EQ(box.ItemHeight(), 14);
    QFont f = box.font();
    f.setPixelSize(20);
    box.setFont(f);
    ShowAndWait(box);
    TZuBitmapEx32 m;
    m.SetFont(box.font());
    const int h = m.TextExtent(QStringLiteral("H")).height();
    EXPECT_EQ(box.ItemHeight(), h + 4);
    box.SetGUIStyle(lcgIintaglio);
    f.setPixelSize(12);
    box.setFont(f);
    m.SetFont(box.font());
    EXPECT_EQ(box.ItemHeight(), m.TextExtent(QStringLiteral("H")).height());
    // Off: the height stays what it is set to.
    box.SetAutoItemHeight(false);
    box.SetItemHeight(30);
    f.setPixelSize(8);
    box.setFont(f);
    EXPECT_EQ(box.ItemHeight(), 30);
}

TEST_F(ListBoxTest, DisablingEndsThePressAndForgetsTheAnchor) {
    Fill(30);
    ShowAndWait(list_);
    QTest::mousePress(&list_, Qt::LeftButton, {}, Row(2));
    EXPECT_TRUE(list_.Pressed());
    list_.setEnabled(false);
    EXPECT_FALSE(list_.Pressed());
    EXPECT_EQ(list_.AnchorRow(), -1);
    EXPECT_EQ(list_.HotRow(), -1);
    EXPECT_TRUE(list_.ItemState(2).testFlag(isDisabled));
    EXPECT_FALSE(list_.ItemState(2).testFlag(isUp));
    list_.setEnabled(true);
    QTest::mouseRelease(&list_, Qt::LeftButton, {}, Row(2));
    EXPECT_EQ(events_, ""); // no row click for a press that was cancelled
}

} // namespace
} // namespace tunola
