#include "ZuPixelCopy.h"

#include <algorithm>
#include <cstring>

namespace tunola {

void CopyPixels(TZuBitmap32& dst, int32_t x, int32_t y, const TZuBitmap32& src,
                const TZuRect& srcRect) {
    if (dst.Empty() || src.Empty())
        return;
    // Cut the rectangle to the source, then to the destination, in source coordinates.
    TZuRect from = ZuIntersect(srcRect, src.BoundsRect());
    if (from.IsEmpty())
        return;
    const int64_t dx = int64_t(x) - srcRect.Left;
    const int64_t dy = int64_t(y) - srcRect.Top;
    const TZuRect dstInSrc{int32_t(std::clamp<int64_t>(-dx, INT32_MIN, INT32_MAX)),
                           int32_t(std::clamp<int64_t>(-dy, INT32_MIN, INT32_MAX)),
                           int32_t(std::clamp<int64_t>(dst.Width() - dx, INT32_MIN, INT32_MAX)),
                           int32_t(std::clamp<int64_t>(dst.Height() - dy, INT32_MIN, INT32_MAX))};
    from = ZuIntersect(from, dstInSrc);
    if (from.IsEmpty())
        return;
    const size_t rowBytes = size_t(from.Width()) * sizeof(TColor32);
    for (int32_t row = from.Top; row < from.Bottom; ++row)
        std::memcpy(dst.PixelPtr(int32_t(from.Left + dx), int32_t(row + dy)),
                    src.ScanLine(row) + from.Left, rowBytes);
    dst.Changed();
}

} // namespace tunola
