#include "ZuBitmap32Blend.h"

#include "ZuBlendKernels.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tunola {

namespace {

using namespace blendkernels;

constexpr TZuBlendRoutines kPortable{TZuBlendPath::Portable, BlendLinePortable,
                                     BlendLineMasterPortable, FillLongwordPortable};
#if defined(TUNOLA_ZUVCL_X86_SIMD)
constexpr TZuBlendRoutines kSSE2{TZuBlendPath::SSE2, BlendLineSSE2, BlendLineMasterSSE2,
                                 FillLongwordSSE2};
constexpr TZuBlendRoutines kAVX2{TZuBlendPath::AVX2, BlendLineAVX2, BlendLineMasterAVX2,
                                 FillLongwordAVX2};
#endif

TColor32* Row(const TZuPixelMap& map, int64_t y) {
    return map.Bits + y * map.Width;
}

// A copy of `rect` (inside `map`) as a map of its own, for drawing a bitmap onto itself: the
// transfer then never reads pixels it has already written.
TZuPixelMap CopyOf(const TZuPixelMap& map, const TZuRect& rect, std::vector<TColor32>& store) {
    const int32_t w = int32_t(rect.Width());
    const int32_t h = int32_t(rect.Height());
    store.resize(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y)
        std::memcpy(store.data() + size_t(y) * size_t(w), Row(map, rect.Top + y) + rect.Left,
                    size_t(w) * sizeof(TColor32));
    return {store.data(), w, h};
}

} // namespace

const TZuBlendRoutines* BlendRoutinesFor(TZuBlendPath path) {
    switch (path) {
    case TZuBlendPath::Portable:
        return &kPortable;
#if defined(TUNOLA_ZUVCL_X86_SIMD)
    case TZuBlendPath::SSE2:
        return CPUCaps().SSE2 ? &kSSE2 : nullptr;
    case TZuBlendPath::AVX2:
        return CPUCaps().AVX2 ? &kAVX2 : nullptr;
#else
    case TZuBlendPath::SSE2:
    case TZuBlendPath::AVX2:
        return nullptr;
#endif
    }
    return nullptr;
}

TZuBlendPath SelectBlendPath(const TZuCPUCaps& caps) {
#if defined(TUNOLA_ZUVCL_X86_SIMD)
    if (caps.AVX2)
        return TZuBlendPath::AVX2;
    if (caps.SSE2)
        return TZuBlendPath::SSE2;
#else
    (void)caps;
#endif
    return TZuBlendPath::Portable;
}

const TZuBlendRoutines& BlendRoutines() {
    static const TZuBlendRoutines& routines = *BlendRoutinesFor(SelectBlendPath(CPUCaps()));
    return routines;
}

void BlockTransfer(const TZuPixelMap& dst, int32_t dstX, int32_t dstY, const TZuPixelMap& src,
                   const TZuRect& srcRect, uint8_t masterAlpha, const TZuBlendRoutines& routines) {
    if (dst.IsEmpty() || src.IsEmpty() || masterAlpha == 0)
        return;
    const TZuRect visible = ZuIntersect(srcRect, {0, 0, src.Width, src.Height});
    if (visible.IsEmpty())
        return;
    // Source pixel (x, y) lands on (x + dx, y + dy) whatever part of the rectangle is clipped.
    const int64_t dx = int64_t(dstX) - srcRect.Left;
    const int64_t dy = int64_t(dstY) - srcRect.Top;
    const int64_t left = std::max<int64_t>(visible.Left + dx, 0);
    const int64_t top = std::max<int64_t>(visible.Top + dy, 0);
    const int64_t right = std::min<int64_t>(visible.Right + dx, dst.Width);
    const int64_t bottom = std::min<int64_t>(visible.Bottom + dy, dst.Height);
    if (left >= right || top >= bottom)
        return;
    const int32_t width = int32_t(right - left);
    const int32_t height = int32_t(bottom - top);
    TZuRect from{int32_t(left - dx), int32_t(top - dy), int32_t(right - dx), int32_t(bottom - dy)};

    TZuPixelMap source = src;
    std::vector<TColor32> copy;
    if (src.Bits == dst.Bits) {
        source = CopyOf(src, from, copy);
        from = {0, 0, width, height};
    }
    for (int32_t y = 0; y < height; ++y) {
        const TColor32* s = Row(source, from.Top + y) + from.Left;
        TColor32* d = Row(dst, top + y) + left;
        if (masterAlpha == 255)
            routines.BlendLine(s, d, width);
        else
            routines.BlendLineMaster(s, d, width, masterAlpha);
    }
}

int32_t StretchSourceIndex(int64_t offset, int64_t dstLength, int32_t srcLo, int32_t srcHi) {
    int64_t index;
    if (dstLength < 2) {
        index = (int64_t(srcLo) + srcHi - 1) / 2;
    } else {
        // offset * width / dstLength with quotient and remainder, exact for every 32-bit
        // rectangle: width = wq * dstLength + wr, and offset * wr < dstLength^2 <= 2^64.
        const uint64_t e = uint64_t(std::clamp<int64_t>(offset, 0, dstLength - 1));
        const uint64_t length = uint64_t(dstLength);
        const uint64_t width = uint64_t(int64_t(srcHi) - srcLo);
        const uint64_t partial = e * (width % length);
        const uint64_t q = e * (width / length) + partial / length;
        const uint64_t twiceRest = 2 * (partial % length);
        index = srcLo + int64_t(q);
        if (twiceRest > length || (twiceRest == length && (index & 1) != 0))
            ++index;
    }
    // Magnifying by more than two can round the last index onto the right edge.
    return int32_t(std::clamp<int64_t>(index, srcLo, int64_t(srcHi) - 1));
}

void StretchTransfer(const TZuPixelMap& dst, const TZuRect& dstRect, const TZuPixelMap& src,
                     const TZuRect& srcRect, uint8_t masterAlpha,
                     const TZuBlendRoutines& routines) {
    if (dst.IsEmpty() || src.IsEmpty() || masterAlpha == 0 || dstRect.IsEmpty() ||
        srcRect.IsEmpty())
        return;
    if (dstRect.Width() == srcRect.Width() && dstRect.Height() == srcRect.Height()) {
        BlockTransfer(dst, dstRect.Left, dstRect.Top, src, srcRect, masterAlpha, routines);
        return;
    }
    const TZuRect clip = ZuIntersect(dstRect, {0, 0, dst.Width, dst.Height});
    if (clip.IsEmpty())
        return;

    // The column table. Both maps only grow with the offset, so the destination pixels that map
    // inside the source bitmap form one run in each direction.
    std::vector<int32_t> columns;
    columns.reserve(size_t(clip.Width()));
    int32_t firstX = clip.Right;
    for (int32_t x = clip.Left; x < clip.Right; ++x) {
        const int32_t sx = StretchSourceIndex(int64_t(x) - dstRect.Left, dstRect.Width(),
                                              srcRect.Left, srcRect.Right);
        if (sx < 0)
            continue;
        if (sx >= src.Width)
            break;
        if (columns.empty())
            firstX = x;
        columns.push_back(sx);
    }
    if (columns.empty())
        return;
    const int32_t count = int32_t(columns.size());

    TZuPixelMap source = src;
    std::vector<TColor32> copy;
    if (src.Bits == dst.Bits)
        source = CopyOf(src, {0, 0, src.Width, src.Height}, copy);

    std::vector<TColor32> mapped(masterAlpha == 255 ? 0 : size_t(count));
    int32_t previousSy = -1;
    const TColor32* previousRow = nullptr;
    for (int32_t y = clip.Top; y < clip.Bottom; ++y) {
        const int32_t sy = StretchSourceIndex(int64_t(y) - dstRect.Top, dstRect.Height(),
                                              srcRect.Top, srcRect.Bottom);
        if (sy < 0)
            continue;
        if (sy >= src.Height)
            break;
        TColor32* d = Row(dst, y) + firstX;
        if (masterAlpha == 255) {
            if (sy == previousSy) {
                std::memcpy(d, previousRow, size_t(count) * sizeof(TColor32));
            } else {
                const TColor32* s = Row(source, sy);
                for (int32_t i = 0; i < count; ++i)
                    d[i] = s[columns[size_t(i)]];
            }
            previousRow = d;
        } else {
            if (sy != previousSy) {
                const TColor32* s = Row(source, sy);
                for (int32_t i = 0; i < count; ++i)
                    mapped[size_t(i)] = s[columns[size_t(i)]];
            }
            routines.BlendLineMaster(mapped.data(), d, count, masterAlpha);
        }
        previousSy = sy;
    }
}

} // namespace tunola
