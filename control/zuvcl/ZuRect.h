#pragma once
// Rectangles as the drawing code uses them: left and top inclusive, right and bottom exclusive,
// so that Width() = Right - Left and an empty rectangle has no pixels.

#include <algorithm>
#include <cstdint>

namespace tunola {

struct TZuRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    // Sizes as 64-bit values: a rectangle spanning most of the 32-bit range must not overflow.
    constexpr int64_t Width() const { return int64_t(Right) - Left; }
    constexpr int64_t Height() const { return int64_t(Bottom) - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }

    friend constexpr bool operator==(const TZuRect&, const TZuRect&) = default;
};

// The rectangle of size w x h whose top-left corner is (x, y); an edge that would lie beyond the
// 32-bit range stops at its end.
constexpr TZuRect ZuBounds(int32_t x, int32_t y, int32_t w, int32_t h) {
    auto edge = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return {x, y, edge(int64_t(x) + w), edge(int64_t(y) + h)};
}

constexpr TZuRect ZuIntersect(const TZuRect& a, const TZuRect& b) {
    TZuRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
              std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty())
        return {};
    return r;
}

} // namespace tunola
