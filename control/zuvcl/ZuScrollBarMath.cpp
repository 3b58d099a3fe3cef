#include "ZuScrollBarMath.h"

#include "ZuSliderMath.h"

#include <algorithm>

namespace tunola {

namespace {

constexpr int kArrowLength = 16;
constexpr int kNoPageThumb = 16;
constexpr int kMinThumb = 9;

} // namespace

int64_t TZuScrollRange::ThumbRange() const {
    return std::min<int64_t>(Max, int64_t(Max) - Min - PageSize + 1);
}

int TZuScrollRange::StepLimit() const {
    const int64_t limit = std::min<int64_t>(Max, int64_t(Max) - PageSize + 1);
    return int(std::max<int64_t>(limit, Min));
}

int ZuThumbLength(int trackLength, const TZuScrollRange& r) {
    if (r.PageSize == 0)
        return kNoPageThumb;
    const int64_t span = int64_t(r.Max) - r.Min + 1;
    if (!r.Enabled || r.PageSize >= span || trackLength <= 0)
        return 0;
    const int64_t length = RoundDivHalfEven(int64_t(trackLength) * r.PageSize, span);
    return int(std::max<int64_t>(length, kMinThumb));
}

TZuScrollBarLayout ZuScrollBarLayoutOf(TScrollBarKind kind, int width, int height,
                                       const TZuScrollRange& r) {
    TZuScrollBarLayout l;
    const bool vertical = kind == sbVertical;
    const int length = std::max(0, vertical ? height : width);
    const int across = std::max(0, vertical ? width : height);
    l.ArrowLength = length <= 2 * kArrowLength ? length / 2 : kArrowLength;
    l.TrackStart = l.ArrowLength;
    l.TrackLength = std::max(0, length - 2 * l.ArrowLength);
    l.ThumbLength = ZuThumbLength(l.TrackLength, r);
    l.HasThumb = l.ThumbLength + 2 * kArrowLength < length;
    const int64_t range = r.ThumbRange();
    if (l.HasThumb) {
        l.ThumbLength = std::min(l.ThumbLength, l.TrackLength);
        int offset = 0;
        if (range > 0) {
            const int64_t at = std::clamp<int64_t>(int64_t(r.Position) - r.Min, 0, range);
            offset = int(RoundDivHalfEven(int64_t(l.TrackLength - l.ThumbLength) * at, range));
        }
        l.ThumbStart = l.TrackStart + offset;
    }

    auto span = [&](int from, int to) {
        return vertical ? TZuRect{0, from, across, to} : TZuRect{from, 0, to, across};
    };
    l.Parts[dsLeftBtn] = span(0, l.ArrowLength);
    l.Parts[dsRightBtn] = span(length - l.ArrowLength, length);
    if (l.HasThumb) {
        const int trackEnd = l.TrackStart + l.TrackLength;
        const int thumbEnd = l.ThumbStart + l.ThumbLength;
        l.Parts[dsTrack] = span(l.ThumbStart, thumbEnd);
        l.Parts[dsSpaceLeft] = span(l.TrackStart, l.ThumbStart);
        l.Parts[dsSpaceRight] = span(thumbEnd, trackEnd);
    }
    return l;
}

int ZuPositionFromThumb(const TZuScrollBarLayout& l, const TZuScrollRange& r, int thumbStart) {
    const int64_t range = r.ThumbRange();
    const int travel = l.TrackLength - l.ThumbLength;
    if (range <= 0 || travel <= 0)
        return r.Min;
    const int at = std::clamp(thumbStart - l.TrackStart, 0, travel);
    const int64_t pos = int64_t(r.Min) + RoundDivHalfEven(range * at, travel);
    return int(std::clamp<int64_t>(pos, r.Min, r.Max));
}

int ZuStepPosition(const TZuScrollRange& r, int delta) {
    const int64_t pos = int64_t(r.Position) + delta;
    return int(std::clamp<int64_t>(pos, r.Min, r.StepLimit()));
}

int ZuScrollBarPartAt(const TZuScrollBarLayout& l, int x, int y) {
    for (int part : {dsLeftBtn, dsRightBtn, dsTrack, dsSpaceLeft, dsSpaceRight}) {
        const TZuRect& p = l.Parts[part];
        if (!p.IsEmpty() && x >= p.Left && x < p.Right && y >= p.Top && y < p.Bottom)
            return part;
    }
    return -1;
}

} // namespace tunola
