// Docking roles, group forming, snapping of proposed positions and the border zones, on plain
// rectangles.

#include "ZuBorderHitTest.h"
#include "ZuFormSnap.h"

#include <gtest/gtest.h>

#include <vector>

namespace tunola {
namespace {

const QRect kWorkArea(0, 0, 1280, 800);

QRect Snap(QRect proposal, std::vector<TZuFormPlace> others = {}, int tag = kZuTagFree,
           TZuDragEdges edges = {}) {
    TZuSnapInput in;
    in.Proposal = proposal;
    in.Tag = tag;
    in.WorkArea = kWorkArea;
    in.Edges = edges;
    in.MinSize = QSize(50, 40);
    return SnapProposal(in, others);
}

TEST(FormSnap, WorkAreaEdgesCatchWithinTenPixels) {
    struct Case {
        QRect Proposal;
        QPoint Expected;
    };
    const Case cases[] = {
        {{10, 300, 200, 100}, {0, 300}},      // left edge, 10 away: snaps
        {{11, 300, 200, 100}, {11, 300}},     // 11 away: stays
        {{-10, 300, 200, 100}, {0, 300}},     // 10 beyond the edge: snaps back
        {{-11, 300, 200, 100}, {-11, 300}},   //
        {{1070, 300, 200, 100}, {1080, 300}}, // right edge: 1270 + 10 = 1280
        {{1069, 300, 200, 100}, {1069, 300}}, //
        {{500, 8, 200, 100}, {500, 0}},       // top
        {{500, 705, 200, 100}, {500, 700}},   // bottom: 805 is 5 past 800
        {{500, 689, 200, 100}, {500, 689}},   //
        {{5, 705, 200, 100}, {0, 700}},       // a corner: both axes
    };
    for (const Case& c : cases)
        EXPECT_EQ(Snap(c.Proposal).topLeft(), c.Expected)
            << c.Proposal.x() << "," << c.Proposal.y();
}

TEST(FormSnap, DocksBesideAndBelowOtherFormsAndLinesUpEdges) {
    const TZuFormPlace mainWindow{{300, 200, 464, 238}, kZuTagLeader};
    struct Case {
        const char* What;
        QRect Proposal;
        QPoint Expected;
    };
    const Case cases[] = {
        // Below the main window, 6 pixels low and 7 to the right: docks under it and lines
        // up with its left edge.
        {"below", {307, 444, 464, 166}, {300, 438}},
        // Right of it, 9 pixels away and 4 lower: docks and lines up the tops.
        {"right", {773, 204, 772, 532}, {764, 200}},
        // Left of it, the right edge 3 pixels into it.
        {"left", {103, 250, 200, 100}, {100, 250}},
        // Above it; the right edges 8 apart line up.
        {"above", {552, 95, 220, 100}, {544, 100}},
        // Far away: nothing.
        {"apart", {900, 600, 100, 50}, {900, 600}},
        // Beside but not level with it (vertical extents apart): no docking.
        {"not level", {770, 450, 100, 100}, {770, 450}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Snap(c.Proposal, {mainWindow}).topLeft(), c.Expected) << c.What;
}

TEST(FormSnap, LeaderIgnoresItsMembersButNotOthers) {
    const std::vector<TZuFormPlace> others = {
        {{300, 438, 464, 166}, kZuTagMember}, // the docked playlist: carried, not a target
        {{900, 100, 100, 100}, kZuTagLoner},  // a Tag 3 window: a target
    };
    // Moving the leader so that its bottom lies 5 above the member's old top: no snap to it.
    EXPECT_EQ(Snap({300, 195, 464, 238}, others, kZuTagLeader).topLeft(), QPoint(300, 195));
    // Its right edge 6 short of the Tag 3 window's left: docks there.
    EXPECT_EQ(Snap({430, 60, 464, 238}, others, kZuTagLeader).topLeft(), QPoint(436, 60));
    // A free form snaps to a member like to anything else.
    EXPECT_EQ(Snap({300, 610, 464, 100}, others).topLeft(), QPoint(300, 604));
}

TEST(FormSnap, ResizingSnapsOnlyTheDraggedEdges) {
    const std::vector<TZuFormPlace> others = {{{600, 100, 200, 300}, kZuTagFree}};
    TZuDragEdges right{false, false, true, false};
    TZuDragEdges left{true, false, false, false};
    // Dragging the right edge to 7 short of the neighbour: the edge docks, the left stays.
    EXPECT_EQ(Snap({200, 150, 393, 100}, others, kZuTagFree, right), QRect(200, 150, 400, 100));
    // Dragging the right edge near the work area's right: only that edge moves.
    EXPECT_EQ(Snap({900, 500, 374, 100}, {}, kZuTagFree, right), QRect(900, 500, 380, 100));
    // The left edge is not dragged: being near the screen's left edge moves nothing.
    EXPECT_EQ(Snap({4, 500, 300, 100}, {}, kZuTagFree, right), QRect(4, 500, 300, 100));
    // Dragging the left edge to 5 from the screen's edge: it goes there, the right stays.
    EXPECT_EQ(Snap({5, 500, 300, 100}, {}, kZuTagFree, left), QRect(0, 500, 305, 100));
    // A snap that would make the window smaller than its minimum (50) is left out.
    const std::vector<TZuFormPlace> narrow = {{{0, 450, 100, 200}, kZuTagFree}};
    EXPECT_EQ(Snap({95, 500, 52, 100}, narrow, kZuTagFree, left), QRect(95, 500, 52, 100));
    EXPECT_EQ(Snap({95, 500, 62, 100}, narrow, kZuTagFree, left), QRect(100, 500, 57, 100));
}

TEST(FormSnap, AdjacentNeedsAnExactTouchAndMeetingExtents) {
    const QRect a(100, 100, 200, 100);
    struct Case {
        QRect B;
        int Tag;
        bool Expected;
    };
    const Case cases[] = {
        {{100, 200, 200, 50}, 0, true},  // exactly below
        {{100, 201, 200, 50}, 0, false}, // one pixel gap
        {{100, 199, 200, 50}, 0, false}, // overlapping
        {{300, 100, 50, 50}, 0, true},   // exactly right
        {{50, 150, 50, 50}, 0, true},    // exactly left
        {{100, 50, 50, 50}, 0, true},    // exactly above
        {{300, 200, 50, 50}, 0, true},   // corner to corner: the closed extents meet
        {{300, 201, 50, 50}, 0, false},  // right, but below its extent
        {{100, 200, 200, 50}, 3, false}, // Tag 3 is never adjacent
        {{100, 200, 200, 50}, 2, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Adjacent(a, c.B, c.Tag), c.Expected) << c.B.x() << "," << c.B.y();
}

TEST(FormSnap, GroupCollectsDockedChainsInOnePassButNotLoners) {
    const QRect mainWindow(300, 200, 464, 238);
    const TZuFormPlace playlist{{300, 438, 464, 166}, kZuTagFree}; // under the main window
    const TZuFormPlace lyrics{{300, 604, 464, 128}, kZuTagFree};   // under the playlist
    const TZuFormPlace below{{300, 732, 464, 84}, kZuTagFree};     // under the lyrics
    const TZuFormPlace loner{{300, 816, 464, 50}, kZuTagLoner};    // under that, Tag 3
    const TZuFormPlace library{{764, 200, 772, 532}, kZuTagFree};  // right of the main window
    const TZuFormPlace apart{{0, 0, 100, 100}, kZuTagFree};

    // In window order the whole chain joins: each member is examined after it joined.
    const std::vector<TZuFormPlace> inOrder = {playlist, lyrics, below, loner, library, apart};
    EXPECT_EQ(FormGroup(mainWindow, inOrder), (std::vector<int>{2, 2, 2, 3, 2, 0}));

    // The one pass does not go back: the lyrics window joins through the playlist, but it was
    // passed over before that, so the window under it stays free.
    const std::vector<TZuFormPlace> reversed = {below, lyrics, playlist, apart};
    EXPECT_EQ(FormGroup(mainWindow, reversed), (std::vector<int>{0, 2, 2, 0}));

    // Another leader keeps its role.
    const std::vector<TZuFormPlace> twoLeaders = {{playlist.Bounds, kZuTagLeader}};
    EXPECT_EQ(FormGroup(mainWindow, twoLeaders), (std::vector<int>{1}));
}

TEST(BorderZones, ZonesOfA300By200Window) {
    const QSize client(300, 200);
    using Z = TZuBorderZone;
    struct Case {
        QPoint P;
        Z Zone;
        Qt::CursorShape Cursor;
    };
    const Case cases[] = {
        {{2, 50}, Z::Left, Qt::SizeHorCursor},     // edges use half the border: 3
        {{3, 50}, Z::Left, Qt::SizeHorCursor},     //
        {{4, 50}, Z::None, Qt::ArrowCursor},       //
        {{5, 5}, Z::TopLeft, Qt::SizeFDiagCursor}, // corners use all of it: 6
        {{6, 6}, Z::TopLeft, Qt::SizeFDiagCursor},
        {{7, 6}, Z::None, Qt::ArrowCursor},
        {{0, 194}, Z::BottomLeft, Qt::SizeBDiagCursor},
        {{299, 199}, Z::BottomRight, Qt::SizeFDiagCursor},
        {{294, 5}, Z::TopRight, Qt::SizeBDiagCursor},
        {{294, 6}, Z::None, Qt::ArrowCursor}, // top-right needs y < 6
        {{297, 6}, Z::Right, Qt::SizeHorCursor},
        {{296, 100}, Z::None, Qt::ArrowCursor},
        {{150, 197}, Z::Bottom, Qt::SizeVerCursor},
        {{150, 196}, Z::None, Qt::ArrowCursor},
        {{150, 3}, Z::Top, Qt::SizeVerCursor},
        {{150, 4}, Z::None, Qt::ArrowCursor},
        {{150, 100}, Z::None, Qt::ArrowCursor},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BorderZoneAt(client, c.P, 6), c.Zone) << c.P.x() << "," << c.P.y();
        EXPECT_EQ(BorderCursor(c.Zone), c.Cursor) << c.P.x() << "," << c.P.y();
    }
}

TEST(BorderZones, ResizeMovesTheDraggedEdgesWithinTheLimits) {
    const QRect start(100, 100, 300, 200);
    const QSize minSize(200, 150);
    const QSize maxSize(400, 260);
    using Z = TZuBorderZone;
    struct Case {
        Z Zone;
        QPoint Delta;
        QRect Expected;
    };
    const Case cases[] = {
        {Z::Left, {-20, 7}, {80, 100, 320, 200}},
        {Z::Right, {30, 7}, {100, 100, 330, 200}},
        {Z::Top, {9, -40}, {100, 60, 300, 240}},
        {Z::Bottom, {9, 40}, {100, 100, 300, 240}},
        {Z::TopLeft, {10, 10}, {110, 110, 290, 190}},
        {Z::BottomRight, {500, 500}, {100, 100, 400, 260}}, // stopped at the maximum
        {Z::Left, {150, 0}, {200, 100, 200, 200}},          // stopped at the minimum
        {Z::TopRight, {-200, 100}, {100, 150, 200, 150}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResizeProposal(start, c.Zone, c.Delta, minSize, maxSize), c.Expected)
            << int(c.Zone);
}

} // namespace
} // namespace tunola
