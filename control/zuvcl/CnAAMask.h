#pragma once
// The arithmetic of anti-aliased text, apart from any font: reducing an N-times oversampled
// grey picture of the glyphs to a coverage mask, softening a mask, blending a mask into an
// RGB image, and the colour ramps of the gradient fill. Pure functions over pixel memory.

#include <QImage>
#include <QRgb>

#include <cstdint>
#include <optional>
#include <vector>

namespace tunola {

// Oversampling of the glyphs: factor 4, 3, 2 or 1.
enum TAAQuality : uint8_t { aqHigh, aqNormal, aqLow, aqNone };
int QualityFactor(TAAQuality quality);

// One byte of coverage per pixel (0 empty, 255 full); rows padded to a multiple of 4 bytes.
struct TCnAAMask {
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    std::vector<uint8_t> Data;

    void Resize(int width, int height);
    uint8_t At(int x, int y) const { return Data[size_t(y) * size_t(Stride) + size_t(x)]; }
    uint8_t& At(int x, int y) { return Data[size_t(y) * size_t(Stride) + size_t(x)]; }
};

// One N x N block of samples (row by row, `stride` bytes apart) to one coverage byte:
// N = 4 and 2 average; N = 3 weighs the top-right and bottom-left corners by a half (each
// halved sample losing its remainder) and divides by 8; N = 1 is the sample itself.
uint8_t ReduceBlock(const uint8_t* samples, int stride, int n);

// The mask of a `width` x `height` text from its grey picture at n times the size.
void ReduceMask(const uint8_t* grey, int greyStride, int n, int width, int height, TCnAAMask& mask);

// Softens a mask: each value becomes the mean of its 5 x 5 neighbourhood (the edges repeat
// their nearest row or column), mixed with the value itself by round(blur x 255 / 100) / 256;
// blur 100 takes the mean as it is, blur 0 leaves the mask alone.
void BlurMask(TCnAAMask& mask, int blur);

// The weight of coverage `c` at opacity `alpha` (0 ... 100) and what it makes of one channel.
constexpr int32_t BlendWeight(int coverage, int alpha) {
    return coverage * (alpha * 256 / 100);
}
// w > 65279 takes the foreground, w >= 256 moves d by (f - d) x (w div 256) / 256 rounded
// down, a smaller w leaves d.
constexpr uint8_t BlendChannel(int d, int f, int32_t w) {
    if (w > 65279)
        return uint8_t(f);
    if (w < 256)
        return uint8_t(d);
    const int32_t num = (f - d) * (w / 256);
    // Rounded towards minus infinity, also for a negative difference.
    const int32_t q = num >= 0 ? num / 256 : -((-num + 255) / 256);
    return uint8_t(d + q);
}

// Blends `mask` into `dst` (an RGB32 image) with its top-left corner at (x, y), clipped to
// the image. The foreground is `foreground` (an image of the mask's size) when given, else
// `color`; the background is the image itself, or `brush` when set (the area under the mask
// is that colour first). Returns false, drawing nothing, when `foreground` does not have the
// mask's size.
bool BlendMask(QImage& dst, int x, int y, const TCnAAMask& mask, QRgb color, int alpha,
               const QImage* foreground = nullptr, std::optional<QRgb> brush = std::nullopt);

inline constexpr const char* kInvalidForegroundError = "Invalid foreground bitmap!";

// Entry i of a ramp of n colours from `start` to `end`: start + i x (end - start) / n per
// channel, the division truncating.
QRgb RampColor(QRgb start, QRgb end, int i, int n);

enum TGradualStyle : uint8_t {
    gsLeftToRight,
    gsRightToLeft,
    gsTopToBottom,
    gsBottomToTop,
    gsCenterToLR,
    gsCenterToTB
};

// A foreground image of `width` x `height` filled with the gradient of `style`.
QImage GradientImage(int width, int height, TGradualStyle style, QRgb start, QRgb end);

// The cross-fade of one channel at `level` (0 ... 255): previous + (next - previous) x level
// / 256 rounded down, modulo 256.
constexpr uint8_t FadeChannel(int previous, int next, int level) {
    const int num = (next - previous) * level;
    const int q = num >= 0 ? num / 256 : -((-num + 255) / 256);
    return uint8_t((previous + q) & 0xFF);
}

// The cross-faded picture of two RGB32 images of one size into `out` (same size): `previous`
// at level 0, `next` itself at 255.
void CrossFade(const QImage& previous, const QImage& next, int level, QImage& out);
// The same inside `area` only: `out` (already of the images' size and RGB32) keeps its pixels
// elsewhere. Where the two images agree the cross-fade is the pixel itself, so a fade needs to
// compose no more than the area where they differ.
void CrossFade(const QImage& previous, const QImage& next, int level, QImage& out,
               const QRect& area);
// The smallest rectangle holding every pixel in which two RGB32 images differ (empty when they
// are equal); the whole of `b` when their sizes differ.
QRect DifferingRect(const QImage& a, const QImage& b);

} // namespace tunola
