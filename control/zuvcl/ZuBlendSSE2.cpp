// SSE2 blend loops, four pixels per step. The bytes of each pixel are split into two 16-bit
// lanes each (blue and red, green and alpha) and blended as (D*256 + 128 + a*(S - D)) >> 8, which
// is (a*S + (256 - a)*D + 128) >> 8 rearranged. The 16-bit arithmetic wraps, but the true value
// lies in 0..65408, so the wrapped result is exact. With a = 0 the formula gives D back, so
// transparent pixels need no test of their own.

#include "ZuBlendKernels.h"

#include <emmintrin.h>

namespace tunola::blendkernels {

namespace {

const uint32_t kAlphaMask = 0xFF000000u;

// The same formula on one pixel, for the pixels after the last full vector.
uint32_t BlendPixel(uint32_t s, uint32_t d, uint32_t a) {
    const uint32_t na = 256 - a;
    const uint32_t rb = ((s & 0x00FF00FFu) * a + (d & 0x00FF00FFu) * na + 0x00800080u) >> 8;
    const uint32_t ag =
        (((s >> 8) & 0x00FF00FFu) * a + ((d >> 8) & 0x00FF00FFu) * na + 0x00800080u) >> 8;
    return (rb & 0x00FF00FFu) | ((ag & 0x00FF00FFu) << 8);
}

// Each pixel's alpha in both 16-bit halves of its 32-bit lane.
__m128i SpreadAlpha(__m128i pixels) {
    const __m128i a = _mm_srli_epi32(pixels, 24);
    return _mm_or_si128(a, _mm_slli_epi32(a, 16));
}

// Blue and red travel in the low bytes of the 16-bit lanes, green and alpha in the high bytes;
// a16 holds each pixel's weight in both of its lanes.
__m128i Blend(__m128i s, __m128i d, __m128i a16) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i highBytes = _mm_set1_epi16(int16_t(0xFF00));
    const __m128i bias = _mm_set1_epi16(128);
    const __m128i br = _mm_add_epi16(
        _mm_add_epi16(_mm_slli_epi16(d, 8), bias),
        _mm_mullo_epi16(_mm_sub_epi16(_mm_and_si128(s, lowBytes), _mm_and_si128(d, lowBytes)),
                        a16));
    const __m128i ga = _mm_add_epi16(
        _mm_add_epi16(_mm_and_si128(d, highBytes), bias),
        _mm_mullo_epi16(_mm_sub_epi16(_mm_srli_epi16(s, 8), _mm_srli_epi16(d, 8)), a16));
    return _mm_or_si128(_mm_srli_epi16(br, 8), _mm_and_si128(ga, highBytes));
}

} // namespace

void BlendLineSSE2(const uint32_t* src, uint32_t* dst, int32_t count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(int(kAlphaMask));
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i sa = _mm_and_si128(s, alphaMask);
        const __m128i opaque = _mm_cmpeq_epi32(sa, alphaMask);
        const int opaqueBits = _mm_movemask_epi8(opaque);
        if (opaqueBits == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF)
            continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i r = Blend(s, d, SpreadAlpha(s));
        // Opaque pixels are copied, not blended: the formula would not give S back for them.
        r = _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, r));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), r);
    }
    for (; i < count; ++i) {
        const uint32_t s = src[i];
        const uint32_t a = s >> 24;
        if (a == 255)
            dst[i] = s;
        else if (a != 0)
            dst[i] = BlendPixel(s, dst[i], a);
    }
}

void BlendLineMasterSSE2(const uint32_t* src, uint32_t* dst, int32_t count, uint8_t master) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(int(kAlphaMask));
    const __m128i one = _mm_set1_epi16(1);
    const __m128i m16 = _mm_set1_epi16(master);
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // m*(0 + 1) >> 8 is 0 for every master alpha: fully transparent blocks are skipped.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alphaMask), zero)) == 0xFFFF)
            continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        // a' = m*(a + 1) >> 8; m*(a + 1) <= 255*256 fits the lane. a' = 0 leaves D as it is,
        // which is the skip rule for m*(a + 1) <= 255.
        const __m128i a16 =
            _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(SpreadAlpha(s), one), m16), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Blend(s, d, a16));
    }
    for (; i < count; ++i) {
        const uint32_t t = uint32_t(master) * ((src[i] >> 24) + 1);
        if (t > 255)
            dst[i] = BlendPixel(src[i], dst[i], t >> 8);
    }
}

void FillLongwordSSE2(uint32_t* dst, int32_t count, uint32_t value) {
    const __m128i v = _mm_set1_epi32(int(value));
    int32_t i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), v);
    for (; i < count; ++i)
        dst[i] = value;
}

} // namespace tunola::blendkernels
