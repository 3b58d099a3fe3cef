#pragma once
// Where on a borderless window a press resizes it, and the rectangle a resize drag proposes.
// Pure geometry: no widgets.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

#include <cstdint>

namespace tunola {

// Border zones; each value is the offset of the matching platform size command from 0xF000.
enum class TZuBorderZone : uint8_t {
    None = 0,
    Left = 1,
    Right = 2,
    Top = 3,
    TopLeft = 4,
    TopRight = 5,
    Bottom = 6,
    BottomLeft = 7,
    BottomRight = 8,
};

// The zone under client point `p` of a client area of size `client`, for a border `border`
// pixels wide (taken as 8 bits): corners use the whole width, edges half of it. First match:
//   x <= b and y <= b: top-left;       x <= b and y >= CH - b: bottom-left;
//   x >= CW - b and y >= CH - b: bottom-right;   x >= CW - b and y < b: top-right;
//   x <= b/2: left;  x >= CW - b/2: right;  y >= CH - b/2: bottom;  y <= b/2: top.
TZuBorderZone BorderZoneAt(QSize client, QPoint p, int border);

// The cursor a zone shows; the arrow (the default cursor) outside the border.
Qt::CursorShape BorderCursor(TZuBorderZone zone);

// Which edges of the window a drag moves: all four when it moves the window.
struct TZuDragEdges {
    bool Left = true;
    bool Top = true;
    bool Right = true;
    bool Bottom = true;

    bool Moves() const { return Left && Top && Right && Bottom; }
    friend bool operator==(const TZuDragEdges&, const TZuDragEdges&) = default;
};
TZuDragEdges ZoneEdges(TZuBorderZone zone);

// The bounds that resizing `start` by `zone` proposes after the mouse moved by `delta`: the
// dragged edges follow the mouse, the others stay; the size is kept within `minSize` and
// `maxSize` by stopping the dragged edge.
QRect ResizeProposal(const QRect& start, TZuBorderZone zone, QPoint delta, QSize minSize,
                     QSize maxSize);

} // namespace tunola
