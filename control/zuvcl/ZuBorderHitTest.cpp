#include "ZuBorderHitTest.h"

#include <algorithm>

namespace tunola {

TZuBorderZone BorderZoneAt(QSize client, QPoint p, int border) {
    const int b = uint8_t(border);
    const int half = b / 2;
    const int cw = client.width();
    const int ch = client.height();
    const int x = p.x();
    const int y = p.y();
    if (x <= b && y <= b)
        return TZuBorderZone::TopLeft;
    if (x <= b && y >= ch - b)
        return TZuBorderZone::BottomLeft;
    if (x >= cw - b && y >= ch - b)
        return TZuBorderZone::BottomRight;
    if (x >= cw - b && y < b)
        return TZuBorderZone::TopRight;
    if (x <= half)
        return TZuBorderZone::Left;
    if (x >= cw - half)
        return TZuBorderZone::Right;
    if (y >= ch - half)
        return TZuBorderZone::Bottom;
    if (y <= half)
        return TZuBorderZone::Top;
    return TZuBorderZone::None;
}

Qt::CursorShape BorderCursor(TZuBorderZone zone) {
    switch (zone) {
    case TZuBorderZone::TopLeft:
    case TZuBorderZone::BottomRight:
        return Qt::SizeFDiagCursor;
    case TZuBorderZone::TopRight:
    case TZuBorderZone::BottomLeft:
        return Qt::SizeBDiagCursor;
    case TZuBorderZone::Left:
    case TZuBorderZone::Right:
        return Qt::SizeHorCursor;
    case TZuBorderZone::Top:
    case TZuBorderZone::Bottom:
        return Qt::SizeVerCursor;
    case TZuBorderZone::None:
        break;
    }
    return Qt::ArrowCursor;
}

TZuDragEdges ZoneEdges(TZuBorderZone zone) {
    using Z = TZuBorderZone;
    return {zone == Z::Left || zone == Z::TopLeft || zone == Z::BottomLeft,
            zone == Z::Top || zone == Z::TopLeft || zone == Z::TopRight,
            zone == Z::Right || zone == Z::TopRight || zone == Z::BottomRight,
            zone == Z::Bottom || zone == Z::BottomLeft || zone == Z::BottomRight};
}

namespace {

// One axis of a resize: the dragged edge moves by `delta`, the length stays within its
// limits by stopping that edge.
void ResizeAxis(int& pos, int& len, bool lowDragged, bool highDragged, int delta, int minLen,
                int maxLen) {
    const int lo = std::max(minLen, 0);
    const int hi = std::max(maxLen, lo);
    if (lowDragged) {
        const int end = pos + len;
        len = std::clamp(len - delta, lo, hi);
        pos = end - len;
    } else if (highDragged) {
        len = std::clamp(len + delta, lo, hi);
    }
}

} // namespace

QRect ResizeProposal(const QRect& start, TZuBorderZone zone, QPoint delta, QSize minSize,
                     QSize maxSize) {
    const TZuDragEdges edges = ZoneEdges(zone);
    int x = start.x();
    int y = start.y();
    int w = start.width();
    int h = start.height();
    ResizeAxis(x, w, edges.Left, edges.Right, delta.x(), minSize.width(), maxSize.width());
    ResizeAxis(y, h, edges.Top, edges.Bottom, delta.y(), minSize.height(), maxSize.height());
    return {x, y, w, h};
}

} // namespace tunola
