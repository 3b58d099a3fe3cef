#pragma once
// Inner loops of each blend path, for ZuBitmap32Blend.cpp only. This header must stay free of
// inline code: the AVX2 loops are compiled with wider instructions, and an inline function
// instantiated there could be picked by the linker for callers on any processor.

#include <cstdint>

namespace tunola::blendkernels {

void BlendLinePortable(const uint32_t* src, uint32_t* dst, int32_t count);
void BlendLineMasterPortable(const uint32_t* src, uint32_t* dst, int32_t count, uint8_t master);
void FillLongwordPortable(uint32_t* dst, int32_t count, uint32_t value);

#if defined(TUNOLA_ZUVCL_X86_SIMD)
void BlendLineSSE2(const uint32_t* src, uint32_t* dst, int32_t count);
void BlendLineMasterSSE2(const uint32_t* src, uint32_t* dst, int32_t count, uint8_t master);
void FillLongwordSSE2(uint32_t* dst, int32_t count, uint32_t value);

void BlendLineAVX2(const uint32_t* src, uint32_t* dst, int32_t count);
void BlendLineMasterAVX2(const uint32_t* src, uint32_t* dst, int32_t count, uint8_t master);
void FillLongwordAVX2(uint32_t* dst, int32_t count, uint32_t value);
#endif

} // namespace tunola::blendkernels
