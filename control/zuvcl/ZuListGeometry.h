#pragma once
// The list box's arithmetic: where the rows and the scroll bar lie, which row a point hits, how
// far the first row may go, the drag-outside scrolling codes and the frames of a smooth scroll.
// Pure functions; the list controls only call them.

#include "ZuRect.h"

#include <cstdint>

namespace tunola {

// The list's looks (the spelling of the third is the one skin files and callers use).
enum TListControlGUI : uint8_t { lcgLowered, lcgFlat, lcgIintaglio };

// Pixels the style's frame takes on each side of the rows.
int ZuListStyleInset(TListControlGUI style);

inline constexpr int kListScrollBarWidth = 16;

struct TZuListGeometry {
    TZuRect Area;            // where the rows are laid out
    TZuRect Bar;             // the scroll bar's place (at the area's right edge)
    int Page = 0;            // rows that fit, a partly visible last one counted
    bool BarEnabled = false; // the rows need scrolling: count >= page (and page > 0)
    int Count = 0;
    int ItemHeight = 1;
    int TopIndex = 0;

    // Row `index` laid out with `TopIndex` first (it may lie outside the area).
    TZuRect ItemRect(int index) const;
    // The row at a client point: strictly inside the area and an existing row, else -1.
    // `anyX` ignores the horizontal position (a held button).
    int ItemAt(int x, int y, bool anyX = false) const;
    // The row's top edge lies inside the area.
    bool Visible(int index) const { return index >= TopIndex && index < TopIndex + Page; }
    // The last row painted: min(TopIndex + Page, Count - 1).
    int LastPainted() const;
};

// The layout of a client of width x height for `count` rows of `itemHeight` in `style`.
TZuListGeometry ZuListGeometryOf(int width, int height, int count, int itemHeight,
                                 TListControlGUI style, int topIndex);

// A first row as the list accepts it: with the bar shown, not so far down that fewer than a
// page of rows remain (count - top + 1 >= page); with it hidden, 0; never below 0.
int ZuClampTopIndex(int top, int count, int page, bool barShown);

// Lines to scroll so that `row` comes into view: negative upwards, positive downwards, 0 when
// its top edge is already inside the area.
int ZuLinesToShow(int row, int topIndex, int page);

// Drag-outside scrolling: 0 inside the area's height; 1 … 3 below it (slow to fast), 4 … 6
// above it; and the timer interval of each code in milliseconds.
int ZuAutoScrollCode(int y, const TZuRect& area);
int ZuAutoScrollInterval(int code);

// A smooth scroll over `distance` pixels: min(distance, 20) + 1 frames, frame k shifted by
// round(k * max(1, distance / 20)) pixels, each frame followed by a pause of
// max(10, 200 div distance) ms.
struct TZuSmoothScroll {
    int Distance = 0;
    int Frames() const;
    int Offset(int frame) const;
    int PauseMs() const;
};

} // namespace tunola
