// AVX2 blend loops, eight pixels per step; the same arithmetic as the SSE2 loops (see there),
// which also take the pixels after the last full vector. This file is compiled for AVX2 and is
// reached only after the probe found it, so it includes nothing with inline code of its own.

#include "ZuBlendKernels.h"

#include <immintrin.h>

namespace tunola::blendkernels {

namespace {

__m256i BroadcastAlpha(__m256i pixels16) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(pixels16, 0xFF), 0xFF);
}

__m256i Blend16(__m256i s16, __m256i d16, __m256i a16) {
    const __m256i bias = _mm256_set1_epi16(128);
    __m256i r = _mm256_add_epi16(_mm256_slli_epi16(d16, 8), bias);
    r = _mm256_add_epi16(r, _mm256_mullo_epi16(_mm256_sub_epi16(s16, d16), a16));
    return _mm256_srli_epi16(r, 8);
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
        const __m256i sLo = _mm256_unpacklo_epi8(s, zero);
        const __m256i sHi = _mm256_unpackhi_epi8(s, zero);
        const __m256i lo = Blend16(sLo, _mm256_unpacklo_epi8(d, zero), BroadcastAlpha(sLo));
        const __m256i hi = Blend16(sHi, _mm256_unpackhi_epi8(d, zero), BroadcastAlpha(sHi));
        const __m256i r = _mm256_blendv_epi8(_mm256_packus_epi16(lo, hi), s, opaque);
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
        const __m256i sLo = _mm256_unpacklo_epi8(s, zero);
        const __m256i sHi = _mm256_unpackhi_epi8(s, zero);
        const __m256i aLo = _mm256_srli_epi16(
            _mm256_mullo_epi16(_mm256_add_epi16(BroadcastAlpha(sLo), one), m16), 8);
        const __m256i aHi = _mm256_srli_epi16(
            _mm256_mullo_epi16(_mm256_add_epi16(BroadcastAlpha(sHi), one), m16), 8);
        const __m256i lo = Blend16(sLo, _mm256_unpacklo_epi8(d, zero), aLo);
        const __m256i hi = Blend16(sHi, _mm256_unpackhi_epi8(d, zero), aHi);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(lo, hi));
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
