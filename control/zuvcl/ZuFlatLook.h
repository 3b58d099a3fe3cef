#pragma once
// The flat look the list box and the flat scroll bar share: the frame grey, the selection blue
// (a selected row's outline and a pressed scroll button's), and the one-pixel outline both
// draw their boxes with.

#include "ZuBitmap32.h"
#include "ZuColor32.h"
#include "ZuRect.h"

namespace tunola {

constexpr TColor32 kZuFlatFrame = 0xFF80808E;
constexpr TColor32 kZuFlatSelectionOutline = 0xFF316AC5;

// A one-pixel line along the inside of `r`; nothing for an empty rectangle.
inline void ZuOutline(TZuBitmap32& cav, const TZuRect& r, TColor32 color) {
    if (r.IsEmpty())
        return;
    cav.HorzLine(r.Left, r.Top, r.Right - 1, color);
    cav.HorzLine(r.Left, r.Bottom - 1, r.Right - 1, color);
    cav.VertLine(r.Left, r.Top, r.Bottom - 1, color);
    cav.VertLine(r.Right - 1, r.Top, r.Bottom - 1, color);
}

} // namespace tunola
