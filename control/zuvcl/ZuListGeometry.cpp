#include "ZuListGeometry.h"

#include "ZuSliderMath.h"

#include <algorithm>

namespace tunola {

int ZuListStyleInset(TListControlGUI style) {
    return style == lcgFlat ? 2 : 1;
}

TZuRect TZuListGeometry::ItemRect(int index) const {
    const int64_t top = Area.Top + (int64_t(index) - TopIndex) * ItemHeight;
    const auto edge = [](int64_t v) {
        return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {Area.Left, edge(top), Area.Right, edge(top + ItemHeight)};
}

int TZuListGeometry::ItemAt(int x, int y, bool anyX) const {
    // The top pixel row belongs to the first row; the bottom edge is outside.
    if (y < Area.Top || y >= Area.Bottom)
        return -1;
    if (!anyX && (x < Area.Left || x >= Area.Right))
        return -1;
    const int64_t row = int64_t(y - Area.Top) / ItemHeight + TopIndex;
    return row < Count ? int(row) : -1;
}

int TZuListGeometry::LastPainted() const {
    return int(std::min<int64_t>(int64_t(TopIndex) + Page, int64_t(Count) - 1));
}

TZuListGeometry ZuListGeometryOf(int width, int height, int count, int itemHeight,
                                 TListControlGUI style, int topIndex) {
    TZuListGeometry g;
    g.Count = std::max(0, count);
    g.ItemHeight = std::max(1, itemHeight);
    g.TopIndex = topIndex;
    const int inset = ZuListStyleInset(style);
    const int top = inset;
    const int bottom = std::max(top, height - inset);
    const int rowsHeight = bottom - top;
    g.Page = rowsHeight > 0 ? int((int64_t(rowsHeight) + g.ItemHeight - 1) / g.ItemHeight) : 0;
    // A list without room for a row has nothing to scroll.
    g.BarEnabled = g.Page > 0 && g.Count >= g.Page;
    const int right = g.BarEnabled ? width - kListScrollBarWidth : width;
    g.Area = {inset, top, std::max(inset, right - inset), bottom};
    g.Bar = {g.Area.Right, g.Area.Top, g.Area.Right + kListScrollBarWidth, g.Area.Bottom};
    return g;
}

int ZuClampTopIndex(int top, int count, int page, bool barShown) {
    if (!barShown)
        return 0;
    if (int64_t(count) - top + 1 < page)
        top = int(int64_t(count) - page + 1);
    return std::max(0, top);
}

int ZuLinesToShow(int row, int topIndex, int page) {
    if (row < topIndex)
        return row - topIndex;
    if (row >= topIndex + int64_t(page))
        return int(int64_t(row) - page - topIndex + 1);
    return 0;
}

int ZuAutoScrollCode(int y, const TZuRect& area) {
    if (y < area.Top) {
        const int above = area.Top - y;
        return above > 30 ? 6 : above > 15 ? 5 : 4;
    }
    if (y >= area.Bottom) {
        const int below = y - area.Bottom;
        return below > 30 ? 3 : below < 16 ? 1 : 2;
    }
    return 0;
}

int ZuAutoScrollInterval(int code) {
    switch (code) {
    case 1:
    case 4:
        return 100;
    case 2:
    case 5:
        return 50;
    case 3:
    case 6:
        return 10;
    default:
        return 0;
    }
}

int TZuSmoothScroll::Frames() const {
    return Distance > 0 ? std::min(Distance, 20) + 1 : 0;
}

int TZuSmoothScroll::Offset(int frame) const {
    // max(1, D / 20) as a fraction with denominator 20.
    return int(RoundDivHalfEven(int64_t(frame) * std::max(Distance, 20), 20));
}

int TZuSmoothScroll::PauseMs() const {
    return Distance > 0 ? std::max(10, 200 / Distance) : 0;
}

} // namespace tunola
