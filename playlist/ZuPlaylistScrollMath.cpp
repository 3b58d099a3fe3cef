#include "ZuPlaylistScrollMath.h"

#include <ZuSliderMath.h>

#include <algorithm>
#include <cstdint>

namespace tunola::zuplaylist {

int PosFromPixel(const TZuScrollMetrics& m, int y) {
    const int range = m.SliderRange();
    if (m.Max <= 0 || range == 0)
        return 0;
    return int(RoundDivHalfEven(int64_t(y) * m.Max, range));
}

int PixelFromPos(const TZuScrollMetrics& m, int pos) {
    if (m.Max <= 0)
        return 0;
    return int(RoundDivHalfEven(int64_t(m.SliderRange()) * pos, m.Max));
}

int SnapPixel(const TZuScrollMetrics& m, int y) {
    return PixelFromPos(m, PosFromPixel(m, std::clamp(y, 0, m.SliderRange())));
}

} // namespace tunola::zuplaylist
