#pragma once
// What the processor offers to the blend routines. The probe reads the processor's
// identification leaves once; decoding those leaves is a pure function so that every flag can be
// checked against made-up register values.

#include <cstdint>

namespace tunola {

struct TZuCPUCaps {
    bool MMX = false;
    bool ExMMX = false;
    bool SSE = false;
    bool SSE2 = false;
    bool SSE3 = false;
    bool AMD3DNow = false;
    bool AMD3DNowExt = false;
    bool X64 = false;
    // AVX2 counts only when the operating system also saves the wide registers (XCR0 bits 1, 2).
    bool AVX2 = false;
};

// Register values of the identification leaves the probe reads. A leaf the processor does not
// have is left at zero.
struct TZuCPUIDLeaves {
    uint32_t MaxLeaf = 0;
    uint32_t Leaf1Ecx = 0;
    uint32_t Leaf1Edx = 0;
    uint32_t Leaf7Ebx = 0;
    uint32_t MaxExtendedLeaf = 0;
    uint32_t Extended1Edx = 0;
    uint64_t Xcr0 = 0; // read only when leaf 1 reports OSXSAVE
};

TZuCPUCaps DecodeCPUCaps(const TZuCPUIDLeaves& leaves);

// Reads this processor's leaves (all zero on processors without the identification
// instruction, and on other architectures).
TZuCPUIDLeaves ReadCPUIDLeaves();

// The probe's result for this processor; probed on the first call, any thread may call it.
const TZuCPUCaps& CPUCaps();

} // namespace tunola
