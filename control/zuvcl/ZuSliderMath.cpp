#include "ZuSliderMath.h"

#include <algorithm>
#include <cstdlib>

namespace tunola {

namespace {

constexpr int kRotatorFrames = 23; // frames 0..22 of the knob strip

} // namespace

int64_t RoundDivHalfEven(int64_t num, int64_t den) {
    if (den == 0)
        return 0;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t q = num / den;
    int64_t r = num % den;
    if (r < 0) { // floor division
        q -= 1;
        r += den;
    }
    const int64_t twice = 2 * r;
    if (twice > den || (twice == den && (q & 1) != 0))
        ++q;
    return q;
}

int TrackLength(const TZuSliderMetrics& m) {
    return m.Style == ssSimple ? m.AxisSize() : m.AxisSize() - m.ThumbSize();
}

int PixelToValue(const TZuSliderMetrics& m, int pixel) {
    const int length = TrackLength(m);
    if (length <= 0)
        return 0;
    return int(RoundDivHalfEven(int64_t(m.Range()) * pixel, length));
}

int ValueToPixel(const TZuSliderMetrics& m, int value) {
    if (m.Style == ssRotator)
        return int(RoundDivHalfEven(int64_t(value) * (kRotatorFrames - 1), 100)) * m.Height;
    if (m.Range() == 0)
        return 0;
    return int(RoundDivHalfEven(int64_t(m.AxisSize() - m.ThumbSize()) * value, m.Range()));
}

TZuSnapped SnapPixel(const TZuSliderMetrics& m, int pixel) {
    const int length = TrackLength(m);
    if (m.CenterMiddle && std::abs(pixel - length / 2) <= 2)
        pixel = length / 2;
    pixel = std::clamp(pixel, 0, std::max(length, 0));
    const int value = PixelToValue(m, pixel);
    return {ValueToPixel(m, value), value};
}

TZuSnapped SnapRotator(const TZuSliderMetrics& m, int value) {
    value = std::clamp(value, 0, 100);
    return {ValueToPixel(m, value), value};
}

int PercentageOf(const TZuSliderMetrics& m, int value) {
    const int range = m.Range();
    if (range == 0)
        return 0;
    if (m.Kind == skHorizontal)
        return int(RoundDivHalfEven(int64_t(value) * 100, range));
    return int(std::abs(RoundDivHalfEven(int64_t(range - value) * 100, range)));
}

int ValueForPercentage(const TZuSliderMetrics& m, int percentage) {
    int p = std::clamp(percentage, 0, 100);
    if (m.Style == ssRotator)
        return p;
    // A vertical slider counts its value from the top, its percentage from the bottom.
    if (m.Kind == skVertical)
        p = 100 - p;
    return int(RoundDivHalfEven(int64_t(m.Range()) * p, 100));
}

} // namespace tunola
