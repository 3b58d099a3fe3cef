// The portable blend loops: plain integer code for processors without a SIMD path.
// Red and blue (and alpha and green) travel together in one 32-bit word as two 16-bit lanes;
// every intermediate stays below 65536, so no lane carries into the other.

#include "ZuBlendKernels.h"

#include <algorithm>

namespace tunola::blendkernels {

namespace {

constexpr uint32_t kLaneMask = 0x00FF00FFu;
constexpr uint32_t kLaneBias = 0x00800080u;

// ((a*S + 128) >> 8) + (((255 - a)*D + 128) >> 8) on each byte; a in 1..255.
inline uint32_t BlendPixel(uint32_t s, uint32_t d, uint32_t a) {
    const uint32_t na = 255 - a;
    const uint32_t sRB = (((s & kLaneMask) * a + kLaneBias) >> 8) & kLaneMask;
    const uint32_t sAG = ((((s >> 8) & kLaneMask) * a + kLaneBias) >> 8) & kLaneMask;
    const uint32_t dRB = (((d & kLaneMask) * na + kLaneBias) >> 8) & kLaneMask;
    const uint32_t dAG = ((((d >> 8) & kLaneMask) * na + kLaneBias) >> 8) & kLaneMask;
    // Each sum of the two halves is at most 255, so adding whole words cannot carry.
    return (sRB + dRB) | ((sAG + dAG) << 8);
}

} // namespace

void BlendLinePortable(const uint32_t* src, uint32_t* dst, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t s = src[i];
        const uint32_t a = s >> 24;
        if (a == 0)
            continue;
        dst[i] = a == 255 ? s : BlendPixel(s, dst[i], a);
    }
}

void BlendLineMasterPortable(const uint32_t* src, uint32_t* dst, int32_t count, uint8_t master) {
    const uint32_t m1 = uint32_t(master) + 1;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t s = src[i];
        const uint32_t t = m1 * (s >> 24);
        if (t < 256)
            continue;
        dst[i] = BlendPixel(s, dst[i], t >> 8);
    }
}

void FillLongwordPortable(uint32_t* dst, int32_t count, uint32_t value) {
    if (count > 0)
        std::fill_n(dst, count, value);
}

} // namespace tunola::blendkernels
