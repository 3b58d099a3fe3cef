#include "ZuPlaylistGeometry.h"

#include <algorithm>
#include <cstdint>

namespace tunola::zuplaylist {

namespace {

// The row a point's height falls in; 64-bit so that a long list cannot wrap around.
int64_t RowAt(const TZuListGeometry& g, int y) {
    return int64_t(g.TopIndex) + (g.ItemHeight > 0 ? y / g.ItemHeight : 0);
}

} // namespace

TZuRect ItemRect(const TZuListGeometry& g, int index) {
    if (index < g.TopIndex - 1)
        return {};
    const int64_t top = (int64_t(index) - g.TopIndex) * g.ItemHeight;
    if (top >= g.Height)
        return {};
    return {0, int32_t(top), g.RowRight, int32_t(top + g.ItemHeight)};
}

int ItemAtPoint(const TZuListGeometry& g, QPoint p) {
    if (p.y() < 0)
        return -1;
    const int64_t i = RowAt(g, p.y());
    if (i > int64_t(g.Count) - 1 || i > int64_t(g.TopIndex) + g.VisibleCount() - 1)
        return -1;
    return int(i);
}

int DropIndexAt(const TZuListGeometry& g, QPoint p) {
    if (p.y() < 0)
        return -1;
    const int64_t i = RowAt(g, p.y());
    return i > int64_t(g.Count) - 1 ? g.Count : int(i);
}

int ScrollMaxFor(int count, int visibleCount) {
    return std::max(0, count - visibleCount);
}

bool ScrollBarShown(bool autoHide, int viewHeight, int count, int itemHeight) {
    return !autoHide || int64_t(viewHeight) < int64_t(count) * itemHeight;
}

TZuBarPlace ScrollBarPlace(int viewWidth, int viewHeight, int barWidth, int topMargin,
                           int bottomMargin) {
    TZuBarPlace place;
    place.Width = barWidth;
    place.Height = std::max(0, viewHeight - bottomMargin - topMargin);
    place.Top = topMargin;
    place.Left = viewWidth - barWidth;
    return place;
}

int DropImageTop(int dropY, int imageHeight) {
    return std::max(0, dropY - imageHeight / 2);
}

} // namespace tunola::zuplaylist
