#pragma once
// The blend formulas written out per byte, straight from their definition, for checking the
// optimised loops against.

#include "ZuColor32.h"

#include <cstdint>

namespace tunola::reference {

enum class Family { Vector, Portable };

inline uint32_t Byte(TColor32 c, int i) {
    return (c >> (8 * i)) & 0xFF;
}

// D = (a*S + (256 - a)*D + 128) >> 8, or ((a*S + 128) >> 8) + (((255 - a)*D + 128) >> 8).
inline TColor32 Mix(Family family, TColor32 s, TColor32 d, uint32_t a) {
    TColor32 out = 0;
    for (int i = 0; i < 4; ++i) {
        const uint32_t sc = Byte(s, i);
        const uint32_t dc = Byte(d, i);
        const uint32_t c = family == Family::Vector
                               ? (a * sc + (256 - a) * dc + 128) >> 8
                               : ((a * sc + 128) >> 8) + (((255 - a) * dc + 128) >> 8);
        out |= c << (8 * i);
    }
    return out;
}

inline TColor32 Blend(Family family, TColor32 s, TColor32 d) {
    const uint32_t a = s >> 24;
    if (a == 0)
        return d;
    if (a == 255)
        return s;
    return Mix(family, s, d, a);
}

inline TColor32 BlendMaster(Family family, TColor32 s, TColor32 d, uint32_t m) {
    const uint32_t a = s >> 24;
    if (family == Family::Vector) {
        const uint32_t t = m * (a + 1);
        return t <= 255 ? d : Mix(family, s, d, t >> 8);
    }
    const uint32_t t = (m + 1) * a;
    return t < 256 ? d : Mix(family, s, d, t >> 8);
}

} // namespace tunola::reference
