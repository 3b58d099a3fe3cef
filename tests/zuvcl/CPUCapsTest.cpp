#include "ZuCPUCaps.h"

#include <gtest/gtest.h>

namespace tunola {
namespace {

TEST(CPUCaps, DecodesTheIdentificationLeaves) {
    TZuCPUIDLeaves leaves;
    leaves.MaxLeaf = 1;
    leaves.Leaf1Edx = 1u << 23 | 1u << 25 | 1u << 26;
    leaves.Leaf1Ecx = 1u << 0;
    TZuCPUCaps caps = DecodeCPUCaps(leaves);
    EXPECT_TRUE(caps.MMX && caps.SSE && caps.SSE2 && caps.SSE3);
    EXPECT_FALSE(caps.ExMMX || caps.AMD3DNow || caps.X64 || caps.AVX2);

    // Extended leaves count only when the highest one lies beyond 0x80000000.
    leaves.Extended1Edx = 1u << 22 | 1u << 29 | 1u << 30 | 1u << 31;
    leaves.MaxExtendedLeaf = 0x80000000u;
    EXPECT_FALSE(DecodeCPUCaps(leaves).X64);
    leaves.MaxExtendedLeaf = 0x80000008u;
    caps = DecodeCPUCaps(leaves);
    EXPECT_TRUE(caps.ExMMX && caps.X64 && caps.AMD3DNow && caps.AMD3DNowExt);

    // AVX2 needs the feature bit, AVX, and an operating system that saves the wide registers.
    leaves.MaxLeaf = 7;
    leaves.Leaf7Ebx = 1u << 5;
    leaves.Leaf1Ecx |= 1u << 27 | 1u << 28;
    EXPECT_FALSE(DecodeCPUCaps(leaves).AVX2);
    leaves.Xcr0 = 0x6;
    EXPECT_TRUE(DecodeCPUCaps(leaves).AVX2);
    leaves.MaxLeaf = 6;
    EXPECT_FALSE(DecodeCPUCaps(leaves).AVX2);

    EXPECT_FALSE(DecodeCPUCaps(TZuCPUIDLeaves{}).MMX);
}

TEST(CPUCaps, ProbeOfThisProcessorIsStable) {
    const TZuCPUCaps& caps = CPUCaps();
    EXPECT_EQ(&caps, &CPUCaps());
#if defined(__x86_64__) || defined(_M_X64)
    EXPECT_TRUE(caps.MMX && caps.SSE2 && caps.X64); // every 64-bit x86 processor has them
#endif
}

} // namespace
} // namespace tunola
