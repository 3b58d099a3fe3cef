#pragma once
// Anchors: which edges of its window a control keeps its distance to when the window changes
// size. The skin names them with short codes ("RT", "LRTB", ...); the arithmetic that moves and
// stretches a control on a resize is a pure function so that it can be checked with a table.

#include <QRect>
#include <QSize>

#include <string_view>

namespace tunola {

struct TZuAnchors {
    bool Left = true;
    bool Top = true;
    bool Right = false;
    bool Bottom = false;

    friend constexpr bool operator==(const TZuAnchors&, const TZuAnchors&) = default;
};

inline constexpr TZuAnchors kAnchorsLeftTop{true, true, false, false};

// The anchor set of a skin code, compared without regard to case. The stretching codes ("LRT",
// "LRB", "LTB", "RTB", "LRTB") count only where `stretching` is allowed; an unknown, empty or
// disallowed code gives left and top.
TZuAnchors AnchorsFromCode(std::string_view code, bool stretching);

// Where a control goes when its window changes from `referenceParent` to `newParent`, given its
// `reference` bounds at the time its anchors and bounds were set. Per axis: anchored to both
// sides it stretches; to the far side only it keeps its distance to that side; to the near side
// only it stays; to neither its centre keeps its fraction of the window (rounded to nearest,
// halves away from zero). A stretched size never goes below 0; a reference window of size 0
// leaves a centred control where it is.
QRect AnchoredBounds(const TZuAnchors& anchors, const QRect& reference,
                     const QSize& referenceParent, const QSize& newParent);

} // namespace tunola
