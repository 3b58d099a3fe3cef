#pragma once
// A piece of a skin image: the top-left corner of a picture inside the image and its size, as
// skin files give them (16-bit values).

#include "ZuRect.h"

#include <cstdint>

namespace tunola {

struct TZuPiece {
    int16_t X = 0;
    int16_t Y = 0;
    int16_t W = 0;
    int16_t H = 0;

    constexpr TZuRect Rect() const { return ZuBounds(X, Y, W, H); }
    friend constexpr bool operator==(const TZuPiece&, const TZuPiece&) = default;
};

} // namespace tunola
