#pragma once
// Docking roles, group forming and the snapping of proposed window positions for the skinned
// borderless forms. Pure geometry over rectangles: the forms gather their neighbours' bounds
// and roles and apply what comes back.
//
// Tag (the docking role of a form):
//   0 free: a snap target, may be collected into the leader's group
//   1 leader (the main window): collects its group when the user starts moving it
//   2 member of the leader's group during one move: moved by the leader, snaps to nothing
//   3 never collected into a group (still a snap target)

#include "ZuBorderHitTest.h"

#include <QRect>
#include <QSize>

#include <span>
#include <vector>

namespace tunola {

inline constexpr int kZuTagFree = 0;
inline constexpr int kZuTagLeader = 1;
inline constexpr int kZuTagMember = 2;
inline constexpr int kZuTagLoner = 3;

// A neighbouring form as the rules see it.
struct TZuFormPlace {
    QRect Bounds;
    int Tag = kZuTagFree;
};

// Whether `b` touches `a` exactly on a side with overlapping (or touching) extents; never
// for a form with Tag 3.
bool Adjacent(const QRect& a, const QRect& b, int bTag);

// The roles after the leader at `leader` starts a move: forms adjacent to the leader join
// (Tag 2), then, in one pass in list order, free forms adjacent to a member join too. Forms
// with Tag 1 or 3 keep their role. Returns the new Tag of each entry of `others`.
std::vector<int> FormGroup(const QRect& leader, std::span<const TZuFormPlace> others);

// What the position rules need besides the neighbours.
struct TZuSnapInput {
    QRect Proposal; // the position and size proposed for the form
    int Tag = 0;    // the form's role
    QRect WorkArea; // of the screen the form is on
    int SnapBuffer = 10;
    TZuDragEdges Edges; // all four for a move; the dragged edges for a resize
    QSize MinSize{0, 0};
    QSize MaxSize{(1 << 24) - 1, (1 << 24) - 1}; // as large as a widget may be
};

// The proposal after the snapping rules: to the work area's edges, then against each
// neighbour in order (docking beside or above/below it when within SnapBuffer, then lining up
// the edges across a dock). A moving form keeps its size; a resizing form snaps only the edges
// being dragged, so the edges it does not drag never move. When the form is the leader,
// members of its group are not targets (the leader moves them by its own displacement).
QRect SnapProposal(const TZuSnapInput& input, std::span<const TZuFormPlace> others);

} // namespace tunola
