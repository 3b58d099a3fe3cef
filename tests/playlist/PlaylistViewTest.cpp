// The playlist view driven like a user would: clicks, drags, double clicks, the wheel and the
// keys, and what it paints.

#include "PlaylistViewSupport.h"
#include "ZuPlaylist.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMimeData>
#include <QTest>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <thread>

using namespace tunola;
using namespace tunola::test;

namespace {

constexpr TColor32 kBack = 0xFF102030;
constexpr TColor32 kText = 0xFFD0D0D0;
constexpr TColor32 kCurrent = 0xFF00FF00;
constexpr TColor32 kSelectedText = 0xFFFFFF00;
constexpr TColor32 kSelection = 0xFF3050A0;
constexpr int kRow = TZuPlaylist::kItemHeight;

class PlaylistView : public ::testing::Test {
protected:
    void SetUp() override {
        view.SetBackColor(kBack);
        view.SetTextColor(kText);
        view.SetTextCurrentColor(kCurrent);
        view.SetTextSelectedColor(kSelectedText);
        view.SetSelectionColor(kSelection);
        view.SetTimeFormat("nn:ss");
        view.SetScrollBarWidth(8);
        view.SetAutoHideScrollBar(true);
        // Plain pixels: every text pixel has exactly the pen's colour.
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        font.setStyleStrategy(QFont::NoAntialias);
        view.setFont(font);
        view.resize(240, 10 * kRow);
    }

    static QPoint RowPoint(int visibleRow, int x = 60) { return {x, visibleRow * kRow + 7}; }
    void Click(int visibleRow, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(&view, Qt::LeftButton, keys, RowPoint(visibleRow));
    }
    // Presses on one row, moves in steps to another point and lets go there.
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(&view, Qt::LeftButton, {}, from);
        const QPoint step = (to - from) / 4;
        for (int i = 1; i < 4; ++i)
            QTest::mouseMove(&view, from + step * i);
        QTest::mouseMove(&view, to);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
    }
    QRect RowArea(int visibleRow) const {
        return QRect(0, visibleRow * kRow, view.ScrollBarShown() ? view.ScrollBar().x() : 240,
                     kRow);
    }

    TZuPlaylist view;
    TZuPlaylistModel& model = view.Model();
};

TEST_F(PlaylistView, EmptyListPaintsOnlyTheBackgroundAndIgnoresEveryKey) {
    ShowAndWait(view);
    int enterKeys = 0;
    view.OnItemEnterKey = [&](QWidget&) { ++enterKeys; };
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End,
                        Qt::Key_Up, Qt::Key_Down}) {
        QTest::keyClick(&view, key);
        QTest::keyClick(&view, key, Qt::ShiftModifier);
    }
    EXPECT_EQ(view.SelectedIndex(), -1);
    EXPECT_EQ(view.TopIndex(), 0);
    EXPECT_EQ(view.CurrentItem(), -1);
    EXPECT_EQ(enterKeys, 0);
    EXPECT_FALSE(view.ScrollBarShown());
    const QImage image = Grab(view);
    EXPECT_EQ(CountColor(image, image.rect(), kBack), image.width() * image.height());
}

TEST_F(PlaylistView, ScrollBarHidesWhileTheRowsFit) {
    FillNumbered(model, 5);
    ShowAndWait(view);
    EXPECT_EQ(view.VisibleCount(), 10);
    EXPECT_EQ(view.ScrollBar().Max(), 0);
    EXPECT_FALSE(view.ScrollBarShown());
    // The rows take the whole width.
    Click(0);
    QImage image = Grab(view);
    EXPECT_EQ(image.pixel(239, 3) & 0xFFFFFF, kSelection & 0xFFFFFF);

    FillNumbered(model, 10);
    EXPECT_EQ(view.ScrollBar().Max(), 5);
    EXPECT_TRUE(view.ScrollBarShown());
    EXPECT_EQ(view.ScrollBar().geometry(), QRect(232, 0, 8, 10 * kRow));
    image = Grab(view);
    EXPECT_EQ(image.pixel(231, 3) & 0xFFFFFF, kSelection & 0xFFFFFF);
    EXPECT_NE(image.pixel(232, 3) & 0xFFFFFF, kSelection & 0xFFFFFF);
}

TEST_F(PlaylistView, CurrentRowColourWinsOverTheSelection) {
    FillNumbered(model, 5);
    ShowAndWait(view);
    view.SetCurrentItem(1);
    Click(1);
    const QImage image = Grab(view);
    EXPECT_GT(CountColor(image, RowArea(1), kCurrent), 0);
    EXPECT_EQ(CountColor(image, RowArea(1), kSelectedText), 0);
    EXPECT_GT(CountColor(image, RowArea(1), kSelection), 0);
    EXPECT_EQ(CountColor(image, RowArea(0), kCurrent), 0);
    EXPECT_GT(CountColor(image, RowArea(0), kText), 0);

    // A row beyond the list: no current row, no highlight.
    view.SetCurrentItem(7);
    EXPECT_EQ(view.CurrentItem(), -1);
    EXPECT_TRUE(view.CurrentLost());
    EXPECT_EQ(CountColor(Grab(view), view.rect(), kCurrent), 0);
}

TEST_F(PlaylistView, AFailedEntryIsMarkedAndSaysWhyUntilTheMarkGoes) {
    constexpr TColor32 kFailed = 0xFFFF2020;
    view.SetTextFailedColor(kFailed);
    FillNumbered(model, 4);
    ShowAndWait(view);
    view.SetCurrentItem(2);
    const uint64_t serial = model.Items().GetItem(2)->Serial();
    model.SetFailure(serial, "无法打开：文件不存在");
    QImage image = Grab(view);
    // The mark wins even over the playing row's colour.
    EXPECT_GT(CountColor(image, RowArea(2), kFailed), 0);
    EXPECT_EQ(CountColor(image, RowArea(2), kCurrent), 0);
    EXPECT_EQ(CountColor(image, RowArea(1), kFailed), 0);

    auto tooltipAt = [&](int row) {
        QHelpEvent help(QEvent::ToolTip, RowPoint(row), view.mapToGlobal(RowPoint(row)));
        QApplication::sendEvent(&view, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    // A tooltip taken away fades out first.
    auto hidden = [] {
        for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
            QTest::qWait(10);
        return !QToolTip::isVisible();
    };
    EXPECT_EQ(tooltipAt(2), QStringLiteral("无法打开：文件不存在"));
    tooltipAt(1);
    EXPECT_TRUE(hidden());

    model.SetFailure(serial, {});
    image = Grab(view);
    EXPECT_EQ(CountColor(image, RowArea(2), kFailed), 0);
    EXPECT_GT(CountColor(image, RowArea(2), kCurrent), 0);
    tooltipAt(2);
    EXPECT_TRUE(hidden());
}

TEST_F(PlaylistView, DeletingTheSelectedPlayingEntryLeavesTheOneBeforeItUnhighlighted) {
    FillNumbered(model, 5);
    ShowAndWait(view);
    view.SetCurrentItem(2);
    Click(2);
    view.DeleteItems(true);
    EXPECT_EQ(Captions(model), "1,2,4,5");
    EXPECT_EQ(view.CurrentItem(), 1);
    EXPECT_TRUE(view.CurrentLost());
    EXPECT_EQ(view.SelectedIndex(), 2);
    EXPECT_EQ(CountColor(Grab(view), view.rect(), kCurrent), 0);
}

TEST_F(PlaylistView, MouseSelectsWithShiftRangesAndCtrlToggles) {
    FillNumbered(model, 8);
    ShowAndWait(view);
    Click(2);
    EXPECT_EQ(SelectedRows(model), "2");
    Click(5, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(model), "2,3,4,5");
    EXPECT_EQ(view.SelectedIndex(), 2); // the anchor stays
    Click(0, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(model), "0,1,2");
    Click(6, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(model), "0,1,2,6");
    EXPECT_EQ(view.SelectedIndex(), 6);
    Click(1, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(model), "0,2,6");
    // Below the last entry: nothing selected, no anchor.
    Click(9);
    EXPECT_EQ(SelectedRows(model), "");
    EXPECT_EQ(view.SelectedIndex(), -1);
    // Shift without an anchor selects nothing.
    Click(3, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(model), "");
    EXPECT_TRUE(view.hasFocus());
}

TEST_F(PlaylistView, AClickInsideASelectionLeavesThatRowAloneUnlessItDrags) {
    FillNumbered(model, 8);
    ShowAndWait(view);
    Click(1);
    Click(4, Qt::ShiftModifier);
    ASSERT_EQ(SelectedRows(model), "1,2,3,4");
    // Pressed: the group stays, ready to be dragged; released without moving: one row.
    QTest::mousePress(&view, Qt::LeftButton, {}, RowPoint(3));
    EXPECT_EQ(SelectedRows(model), "1,2,3,4");
    QTest::mouseRelease(&view, Qt::LeftButton, {}, RowPoint(3));
    EXPECT_EQ(SelectedRows(model), "3");
    EXPECT_EQ(view.SelectedIndex(), 3);

    // A drag of the group still moves all of it.
    Click(1, Qt::ShiftModifier);
    Drag(RowPoint(2), RowPoint(7));
    EXPECT_EQ(Captions(model), "1,5,6,7,2,3,4,8");
}

TEST_F(PlaylistView, CtrlASelectsEverythingAndDeleteAsksTheOwner) {
    FillNumbered(model, 5);
    ShowAndWait(view);
    int deletes = 0;
    view.OnDeleteKey = [&](QWidget&) { ++deletes; };
    Click(2);
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(model), "0,1,2,3,4");
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(model.Items().Count(), 5); // the owner deletes, through its own command
}

TEST_F(PlaylistView, DraggingTwoRowsOntoTheLastMovesThemBeforeIt) {
    FillNumbered(model, 6);
    ShowAndWait(view);
    view.SetCurrentItem(3); // "4" plays, and moves with the others
    int moves = 0;
    view.OnItemsMoved = [&](QWidget&) { ++moves; };
    Click(1);
    Click(3, Qt::ControlModifier);
    Drag(RowPoint(3), RowPoint(5));
    EXPECT_EQ(Captions(model), "1,3,5,2,4,6");
    EXPECT_EQ(view.CurrentItem(), 4);
    EXPECT_FALSE(view.CurrentLost());
    EXPECT_EQ(SelectedRows(model), "");
    EXPECT_FALSE(view.Dragging());
    EXPECT_EQ(view.DropY(), -1);
    EXPECT_EQ(moves, 1);

    // The playing entry stays current when others move past it.
    Click(0);
    Drag(RowPoint(0), RowPoint(5));
    EXPECT_EQ(Captions(model), "3,5,2,4,1,6");
    EXPECT_EQ(model.Items().GetItem(view.CurrentItem())->Caption(), "4");
}

TEST_F(PlaylistView, DroppingBelowTheLastRowAppends) {
    FillNumbered(model, 6);
    ShowAndWait(view);
    Click(1);
    Drag(RowPoint(1), RowPoint(8));
    EXPECT_EQ(Captions(model), "1,3,4,5,6,2");
}

TEST_F(PlaylistView, DropOnThePartlyShownRowLandsWhereTheLineWas) {
    FillNumbered(model, 10);
    view.resize(240, 5 * kRow + 7); // five whole rows and half of the sixth
    ShowAndWait(view);
    Click(0);
    QTest::mousePress(&view, Qt::LeftButton, {}, RowPoint(0));
    QTest::mouseMove(&view, QPoint(60, 40));
    const QPoint partRow(60, 5 * kRow + 3);
    QTest::mouseMove(&view, partRow);
    EXPECT_TRUE(view.Dragging());
    EXPECT_EQ(view.DropY(), 5 * kRow);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, partRow);
    EXPECT_EQ(Captions(model), "2,3,4,5,1,6,7,8,9,10");
}

TEST_F(PlaylistView, DragShowsTheDropLineAndReleasingOutsideMovesNothing) {
    FillNumbered(model, 6);
    ShowAndWait(view);
    Click(2);
    QTest::mousePress(&view, Qt::LeftButton, {}, RowPoint(2));
    QTest::mouseMove(&view, RowPoint(2) + QPoint(0, 2)); // under the threshold
    EXPECT_FALSE(view.Dragging());
    QTest::mouseMove(&view, RowPoint(4));
    EXPECT_TRUE(view.Dragging());
    EXPECT_EQ(view.DropY(), 4 * kRow);
    const QImage image = Grab(view);
    EXPECT_EQ(CountColor(image, QRect(0, 4 * kRow, 240, 1), kText), 240);

    QTest::mouseMove(&view, QPoint(60, 300));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(60, 300));
    EXPECT_EQ(Captions(model), "1,2,3,4,5,6");
    EXPECT_EQ(SelectedRows(model), "2");
    EXPECT_FALSE(view.Dragging());
    EXPECT_EQ(CountColor(Grab(view), QRect(0, 4 * kRow, 240, 1), kText), 0);
}

TEST_F(PlaylistView, DropImageTakesThePlaceOfTheLine) {
    constexpr TColor32 kMark = 0xFFFF0000;
    TZuBitmap32 mark;
    mark.SetSize(4, 6);
    mark.Clear(kMark);
    view.SetDropImage(mark);
    FillNumbered(model, 6);
    ShowAndWait(view);
    Click(1);
    QTest::mousePress(&view, Qt::LeftButton, {}, RowPoint(1));
    QTest::mouseMove(&view, RowPoint(3));
    ASSERT_EQ(view.DropY(), 3 * kRow);
    const QImage image = Grab(view);
    // Stretched across the rows, centred on the drop line, at 192 of 255 over the background.
    auto blended = [](int s, int d) { return (192 * s + 63 * d) / 255; };
    const QRgb seen = image.pixel(120, 3 * kRow - 3);
    EXPECT_NEAR(qRed(seen), blended(0xFF, 0x10), 1);
    EXPECT_NEAR(qBlue(seen), blended(0x00, 0x30), 1);
    EXPECT_EQ(CountColor(image, QRect(0, 3 * kRow, 240, 1), kText), 0);
    EXPECT_NE(image.pixel(120, 3 * kRow + 3), seen);
    EXPECT_NE(image.pixel(120, 3 * kRow - 4), seen);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, RowPoint(3));
}

TEST_F(PlaylistView, DragRestingOnTheBottomRowScrollsDown) {
    FillNumbered(model, 30);
    ShowAndWait(view);
    Click(1);
    QTest::mousePress(&view, Qt::LeftButton, {}, RowPoint(1));
    QTest::mouseMove(&view, RowPoint(5));
    QTest::mouseMove(&view, RowPoint(9));
    EXPECT_EQ(view.TopIndex(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.TopIndex() >= 2; }, 5000));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, RowPoint(9));
    const int top = view.TopIndex();
    // The row lands before the row under the mouse, wherever the list has scrolled to.
    EXPECT_EQ(model.Items().GetItem(top + 8)->Caption(), "2");
}

TEST_F(PlaylistView, DoubleClickMakesTheRowCurrent) {
    FillNumbered(model, 5);
    ShowAndWait(view);
    std::string events;
    view.OnItemDblClick = [&](QWidget&) { events += "item "; };
    view.OnDblClick = [&](QWidget&) { events += "dbl "; };
    QTest::mouseDClick(&view, Qt::LeftButton, {}, RowPoint(3));
    EXPECT_EQ(view.CurrentItem(), 3);
    EXPECT_EQ(view.SelectedIndex(), 3);
    EXPECT_EQ(events, "item dbl ");
    EXPECT_GT(CountColor(Grab(view), RowArea(3), kCurrent), 0);
    // No drag starts between the double click and the release.
    EXPECT_FALSE(view.Dragging());

    events.clear();
    QTest::mouseDClick(&view, Qt::LeftButton, {}, RowPoint(8));
    EXPECT_EQ(events, "dbl ");
    EXPECT_EQ(view.CurrentItem(), 3);
}

TEST_F(PlaylistView, WheelScrollsByTheSystemLineCount) {
    FillNumbered(model, 30);
    ShowAndWait(view);
    const int lines = QApplication::wheelScrollLines();
    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(60, 30), view.mapToGlobal(QPointF(60, 30)), {}, {0, delta},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    };
    wheel(-120);
    EXPECT_EQ(view.TopIndex(), lines);
    EXPECT_EQ(view.ScrollBar().Position(), lines);
    wheel(120);
    EXPECT_EQ(view.TopIndex(), 0);
    wheel(-60); // half a notch does nothing yet
    EXPECT_EQ(view.TopIndex(), 0);
    wheel(-60);
    EXPECT_EQ(view.TopIndex(), lines);
    for (int i = 0; i < 20; ++i)
        wheel(-120);
    EXPECT_EQ(view.TopIndex(), 20); // 30 entries, 10 rows
    // The rows shown follow: the first row is entry 21.
    Click(0);
    EXPECT_EQ(view.SelectedIndex(), 20);
}

TEST_F(PlaylistView, AHundredThousandEntriesScrollToTheLast) {
    FillNumbered(model, 100000);
    ShowAndWait(view);
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.TopIndex(), 99990);
    EXPECT_EQ(view.ScrollBar().Max(), 99990);
    EXPECT_EQ(view.ScrollBar().Position(), 99990);
    EXPECT_EQ(view.ScrollBar().SliderTop(), view.ScrollBar().height());
    Click(9);
    EXPECT_EQ(view.SelectedIndex(), 99999);
}

TEST_F(PlaylistView, SettingTheCurrentRowScrollsItIntoView) {
    FillNumbered(model, 30);
    ShowAndWait(view);
    view.SetCurrentItem(25);
    EXPECT_EQ(view.TopIndex(), 16);
    EXPECT_EQ(view.ScrollBar().Position(), 16);
    view.SetCurrentItem(3);
    EXPECT_EQ(view.TopIndex(), 3);
    EXPECT_GT(CountColor(Grab(view), RowArea(0), kCurrent), 0);
}

// The keys on 30 entries in 10 rows. Each case starts from its own anchor, selection and first
// row.
TEST_F(PlaylistView, KeysMoveTheSelectionAndKeepItInView) {
    struct Case {
        const char* name;
        int top, anchor;
        std::vector<int> selected;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int wantTop, wantAnchor;
        std::string wantSelected;
    };
    const Qt::KeyboardModifiers none{}, shift = Qt::ShiftModifier;
    const Case cases[] = {
        {"down without anchor", 0, -1, {}, Qt::Key_Down, none, 0, 0, "0"},
        {"down", 0, 4, {4}, Qt::Key_Down, none, 0, 5, "5"},
        {"down past the last row", 0, 9, {9}, Qt::Key_Down, none, 1, 10, "10"},
        {"down at the end", 20, 29, {29}, Qt::Key_Down, none, 20, 29, "29"},
        {"shift down", 0, 3, {3}, Qt::Key_Down, shift, 0, 4, "3,4"},
        {"down, anchor scrolled away", 10, 2, {2}, Qt::Key_Down, none, 10, 10, "10"},
        {"down, anchor just below", 0, 10, {10}, Qt::Key_Down, none, 2, 11, "11"},
        {"up", 0, 4, {4}, Qt::Key_Up, none, 0, 3, "3"},
        {"up past the first row", 5, 5, {5}, Qt::Key_Up, none, 4, 4, "4"},
        {"up at the top", 0, 0, {0}, Qt::Key_Up, none, 0, 0, "0"},
        {"shift up", 0, 4, {4, 5}, Qt::Key_Up, shift, 0, 3, "3,4,5"},
        {"up, anchor scrolled away", 0, 25, {25}, Qt::Key_Up, none, 0, 0, "0"},
        {"page down", 0, 2, {2}, Qt::Key_PageDown, none, 10, 10, "10"},
        {"page down near the end", 15, 15, {15}, Qt::Key_PageDown, none, 20, 25, "25"},
        {"page down at the end", 20, 29, {29}, Qt::Key_PageDown, none, 20, 29, "29"},
        {"page up", 15, 20, {20}, Qt::Key_PageUp, none, 5, 5, "5"},
        {"page up near the top", 4, 8, {8}, Qt::Key_PageUp, none, 0, 0, "0"},
        {"home", 12, 15, {15, 16}, Qt::Key_Home, none, 0, 0, "0"},
        {"shift home", 12, 3, {}, Qt::Key_Home, shift, 0, 0, "0,1,2,3"},
        {"end", 0, 4, {4}, Qt::Key_End, none, 20, 29, "29"},
        {"shift end", 0, 26, {}, Qt::Key_End, shift, 20, 29, "26,27,28,29"},
        {"shift end without anchor",
         0,
         -1,
         {},
         Qt::Key_End,
         shift,
         20,
         29,
         "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29"},
    };
    FillNumbered(model, 30);
    ShowAndWait(view);
    for (const Case& c : cases) {
        model.ClearSelection();
        for (int row : c.selected)
            model.Items().GetItem(row)->SetSelected(true);
        model.SetSelectedIndex(c.anchor);
        model.SetTopIndex(c.top);
        QTest::keyClick(&view, c.key, c.mods);
        EXPECT_EQ(view.TopIndex(), c.wantTop) << c.name;
        EXPECT_EQ(view.SelectedIndex(), c.wantAnchor) << c.name;
        EXPECT_EQ(SelectedRows(model), c.wantSelected) << c.name;
    }
}

TEST_F(PlaylistView, EnterMakesTheAnchorCurrent) {
    FillNumbered(model, 30);
    ShowAndWait(view);
    int enterKeys = 0;
    view.OnItemEnterKey = [&](QWidget&) { ++enterKeys; };
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(enterKeys, 0); // no anchor
    model.SetSelectedIndex(22);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(view.CurrentItem(), 22);
    EXPECT_EQ(view.TopIndex(), 13);
    EXPECT_EQ(enterKeys, 1);
}

TEST_F(PlaylistView, LongCaptionEndsInAnEllipsisBeforeTheLengthColumn) {
    TZuPlaylistItem entry;
    entry.SetCaption(std::string(80, 'W'));
    entry.SetLongTime(245 / 86400.0);
    model.Items().Add(std::move(entry));
    ShowAndWait(view);
    const QImage image = Grab(view);

    // Columns with text in the top half of the row (the W strokes) and in the bottom rows
    // only (the ellipsis dots).
    auto inked = [&](int x, int fromY, int toY) {
        for (int y = fromY; y < toY; ++y)
            if ((image.pixel(x, y) & 0xFFFFFF) == (kText & 0xFFFFFF))
                return true;
        return false;
    };
    const QFontMetrics fm(view.font());
    const int lengthLeft = 240 - 3 - fm.horizontalAdvance(QStringLiteral("Mnn:ss"));
    int lastStroke = -1, lastInk = -1;
    for (int x = 0; x < lengthLeft; ++x) {
        if (inked(x, 0, 8))
            lastStroke = x;
        if (inked(x, 0, kRow))
            lastInk = x;
    }
    EXPECT_GT(lastStroke, 0);
    // Dots follow the last letter and the caption stops short of the length column.
    EXPECT_GT(lastInk, lastStroke + 4);
    EXPECT_LT(lastInk, lengthLeft);
    // The length "04:05" ends 3 pixels from the right edge.
    int lengthRight = -1;
    for (int x = lengthLeft; x < 240; ++x)
        if (inked(x, 0, kRow))
            lengthRight = x;
    EXPECT_GE(lengthRight, 240 - 3 - 3);
    EXPECT_LT(lengthRight, 240 - 3);
}

TEST_F(PlaylistView, LengthsStoredByAnotherThreadRepaintOnTheUiThread) {
    FillNumbered(model, 3, 0);
    ShowAndWait(view);
    const uint64_t serial = model.Items().GetItem(1)->Serial();
    QImage before = Grab(view);
    std::thread worker([&] { model.StoreLength(serial, 61 / 86400.0); });
    worker.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Grab(view) != before; }, 2000));
    EXPECT_EQ(model.Items().GetItem(1)->LongTime(), 61 / 86400.0);
}

TEST_F(PlaylistView, FilesFromOutsideDropBeforeTheRowUnderTheMouse) {
    FillNumbered(model, 6);
    ShowAndWait(view);
    QStringList dropped;
    int droppedAt = -2;
    view.OnFilesDropped = [&](QWidget&, const QStringList& paths, int index) {
        dropped = paths;
        droppedAt = index;
    };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/music/a.mp3")),
                  QUrl(QStringLiteral("http://example.invalid/b.mp3"))});
    const QPoint at = RowPoint(2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_TRUE(view.Dragging());
    EXPECT_EQ(view.DropY(), 2 * kRow);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&view, &drop);
    EXPECT_EQ(dropped, QStringList{QStringLiteral("/music/a.mp3")});
    EXPECT_EQ(droppedAt, 2);
    EXPECT_FALSE(view.Dragging());

    // Nothing local: refused.
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("http://example.invalid/b.mp3"))});
    QDragEnterEvent refused(at, Qt::CopyAction, &web, Qt::LeftButton, {});
    QApplication::sendEvent(&view, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

} // namespace
