#include "ZuCPUCaps.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define TUNOLA_CPUID_GCC 1
#elif defined(_M_X64) || defined(_M_IX86)
#include <immintrin.h>
#include <intrin.h>
#define TUNOLA_CPUID_MSVC 1
#endif

namespace tunola {

namespace {

constexpr bool Bit(uint32_t value, int bit) {
    return (value >> bit) & 1u;
}

#if defined(TUNOLA_CPUID_GCC) || defined(TUNOLA_CPUID_MSVC)
struct Registers {
    uint32_t Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
};

Registers CpuId(uint32_t leaf, uint32_t subleaf = 0) {
    Registers r;
#if defined(TUNOLA_CPUID_GCC)
    __cpuid_count(leaf, subleaf, r.Eax, r.Ebx, r.Ecx, r.Edx);
#else
    int regs[4];
    __cpuidex(regs, int(leaf), int(subleaf));
    r = {uint32_t(regs[0]), uint32_t(regs[1]), uint32_t(regs[2]), uint32_t(regs[3])};
#endif
    return r;
}

uint64_t ReadXcr0() {
#if defined(TUNOLA_CPUID_GCC)
    uint32_t lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (uint64_t(hi) << 32) | lo;
#else
    return _xgetbv(0);
#endif
}
#endif

} // namespace

TZuCPUCaps DecodeCPUCaps(const TZuCPUIDLeaves& leaves) {
    TZuCPUCaps caps;
    if (leaves.MaxLeaf >= 1) {
        caps.MMX = Bit(leaves.Leaf1Edx, 23);
        caps.ExMMX = Bit(leaves.Leaf1Edx, 22);
        caps.SSE = Bit(leaves.Leaf1Edx, 25);
        caps.SSE2 = Bit(leaves.Leaf1Edx, 26);
        caps.SSE3 = Bit(leaves.Leaf1Ecx, 0);
    }
    if (leaves.MaxExtendedLeaf > 0x80000000u) {
        caps.ExMMX = caps.ExMMX || Bit(leaves.Extended1Edx, 22);
        caps.AMD3DNow = Bit(leaves.Extended1Edx, 31);
        caps.AMD3DNowExt = Bit(leaves.Extended1Edx, 30);
        caps.X64 = Bit(leaves.Extended1Edx, 29);
    }
    const bool osSavesYmm = Bit(leaves.Leaf1Ecx, 27) && (leaves.Xcr0 & 0x6) == 0x6;
    const bool avx = Bit(leaves.Leaf1Ecx, 28);
    caps.AVX2 = leaves.MaxLeaf >= 7 && osSavesYmm && avx && Bit(leaves.Leaf7Ebx, 5);
    return caps;
}

TZuCPUIDLeaves ReadCPUIDLeaves() {
    TZuCPUIDLeaves leaves;
#if defined(TUNOLA_CPUID_GCC) || defined(TUNOLA_CPUID_MSVC)
#if defined(TUNOLA_CPUID_GCC) && defined(__i386__)
    // Very old 32-bit processors lack the instruction; the compiler's helper tests for it.
    if (__get_cpuid_max(0, nullptr) == 0)
        return leaves;
#endif
    leaves.MaxLeaf = CpuId(0).Eax;
    if (leaves.MaxLeaf >= 1) {
        const Registers leaf1 = CpuId(1);
        leaves.Leaf1Ecx = leaf1.Ecx;
        leaves.Leaf1Edx = leaf1.Edx;
        if (Bit(leaf1.Ecx, 27))
            leaves.Xcr0 = ReadXcr0();
    }
    if (leaves.MaxLeaf >= 7)
        leaves.Leaf7Ebx = CpuId(7, 0).Ebx;
    leaves.MaxExtendedLeaf = CpuId(0x80000000u).Eax;
    if (leaves.MaxExtendedLeaf > 0x80000000u)
        leaves.Extended1Edx = CpuId(0x80000001u).Edx;
#endif
    return leaves;
}

const TZuCPUCaps& CPUCaps() {
    static const TZuCPUCaps caps = DecodeCPUCaps(ReadCPUIDLeaves());
    return caps;
}

} // namespace tunola
