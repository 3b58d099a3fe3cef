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

int64_t PixelToValue(const TZuSliderMetrics& m, int pixel) {
    const int length = TrackLength(m);
    if (length <= 0)
        return 0;
    // |R| < 2^32 and |pixel| <= 2^31: the product fits.
    return RoundDivHalfEven(m.Range() * pixel, length);
}

int ValueToPixel(const TZuSliderMetrics& m, int64_t value) {
    if (m.Style == ssRotator) {
        value = std::clamp<int64_t>(value, 0, 100);
        return int(RoundDivHalfEven(value * (kRotatorFrames - 1), 100)) * m.Height;
    }
    const int64_t range = m.Range();
    if (range == 0)
        return 0;
    return int(RoundDivHalfEven((int64_t(m.AxisSize()) - m.ThumbSize()) * value, range));
}

TZuSnapped SnapPixel(const TZuSliderMetrics& m, int pixel) {
    const int length = TrackLength(m);
    if (m.CenterMiddle && std::abs(pixel - length / 2) <= 2)
        pixel = length / 2;
    pixel = std::clamp(pixel, 0, std::max(length, 0));
    const int64_t value = PixelToValue(m, pixel);
    return {ValueToPixel(m, value), value};
}

TZuSnapped SnapRotator(const TZuSliderMetrics& m, int64_t value) {
    value = std::clamp<int64_t>(value, 0, 100);
    return {ValueToPixel(m, value), value};
}

int PercentageOf(const TZuSliderMetrics& m, int64_t value) {
    const int64_t range = m.Range();
    if (range == 0)
        return 0;
    if (m.Kind == skHorizontal)
        return int(RoundDivHalfEven(value * 100, range));
    return int(std::abs(RoundDivHalfEven((range - value) * 100, range)));
}

int64_t ValueForPercentage(const TZuSliderMetrics& m, int percentage) {
    int p = std::clamp(percentage, 0, 100);
    if (m.Style == ssRotator)
        return p;
    // A vertical slider counts its value from the top, its percentage from the bottom.
    if (m.Kind == skVertical)
        p = 100 - p;
    return RoundDivHalfEven(m.Range() * p, 100);
}

} // namespace tunola
