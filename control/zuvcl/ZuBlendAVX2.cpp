// AVX2 blend loops, eight pixels per step; the same arithmetic as the SSE2 loops (see there),
// which also take the pixels after the last full vector. This file is compiled for AVX2 and is
// reached only after the probe found it, so it includes nothing with inline code of its own.

#include "ZuBlendKernels.h"

#include <immintrin.h>

namespace tunola::blendkernels {

namespace {

// Each pixel's alpha in both 16-bit halves of its 32-bit lane.
__m256i SpreadAlpha(__m256i pixels) {
    const __m256i spread =
        _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3, -1, 3, -1,
                         7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    return _mm256_shuffle_epi8(pixels, spread);
}

// Blue and red travel in the low bytes of the 16-bit lanes, green and alpha in the high bytes;
// a16 holds each pixel's weight in both of its lanes.
__m256i Blend(__m256i s, __m256i d, __m256i a16) {
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    const __m256i highBytes = _mm256_set1_epi16(int16_t(0xFF00));
    const __m256i bias = _mm256_set1_epi16(128);
    const __m256i br = _mm256_add_epi16(
        _mm256_add_epi16(_mm256_slli_epi16(d, 8), bias),
        _mm256_mullo_epi16(
            _mm256_sub_epi16(_mm256_and_si256(s, lowBytes), _mm256_and_si256(d, lowBytes)), a16));
    const __m256i ga = _mm256_add_epi16(
        _mm256_add_epi16(_mm256_and_si256(d, highBytes), bias),
        _mm256_mullo_epi16(_mm256_sub_epi16(_mm256_srli_epi16(s, 8), _mm256_srli_epi16(d, 8)),
                           a16));
    return _mm256_or_si256(_mm256_srli_epi16(br, 8), _mm256_and_si256(ga, highBytes));
}

} // namespace

void BlendLineAVX2(const uint32_t* src, uint32_t* dst, int32_t count) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i sa = _mm256_and_si256(s, alphaMask);
        const __m256i opaque = _mm256_cmpeq_epi32(sa, alphaMask);
        if (_mm256_movemask_epi8(opaque) == -1) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
            continue;
        }
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(sa, zero)) == -1)
            continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        const __m256i r = _mm256_blendv_epi8(Blend(s, d, SpreadAlpha(s)), s, opaque);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), r);
    }
    if (i < count)
        BlendLineSSE2(src + i, dst + i, count - i);
}

void BlendLineMasterAVX2(const uint32_t* src, uint32_t* dst, int32_t count, uint8_t master) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i one = _mm256_set1_epi16(1);
    const __m256i m16 = _mm256_set1_epi16(master);
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(s, alphaMask), zero)) == -1)
            continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        const __m256i a16 =
            _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(SpreadAlpha(s), one), m16), 8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Blend(s, d, a16));
    }
    if (i < count)
        BlendLineMasterSSE2(src + i, dst + i, count - i, master);
}

void FillLongwordAVX2(uint32_t* dst, int32_t count, uint32_t value) {
    const __m256i v = _mm256_set1_epi32(int(value));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), v);
    if (i < count)
        FillLongwordSSE2(dst + i, count - i, value);
}

} // namespace tunola::blendkernels
