#include "CnAAMask.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tunola {

int QualityFactor(TAAQuality quality) {
    switch (quality) {
    case aqHigh:
        return 4;
    case aqNormal:
        return 3;
    case aqLow:
        return 2;
    case aqNone:
        break;
    }
    return 1;
}

void TCnAAMask::Resize(int width, int height) {
    Width = std::max(width, 0);
    Height = std::max(height, 0);
    Stride = (Width + 3) / 4 * 4;
    Data.assign(size_t(Stride) * size_t(Height), 0);
}

uint8_t ReduceBlock(const uint8_t* s, int stride, int n) {
    switch (n) {
    case 4: {
        int sum = 0;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                sum += s[r * stride + c];
        return uint8_t(sum / 16);
    }
    case 3: {
        const uint8_t* a = s;
        const uint8_t* b = s + stride;
        const uint8_t* c = s + 2 * stride;
        const int sum = a[0] + a[1] + (a[2] >> 1) + b[0] + b[1] + b[2] + (c[0] >> 1) + c[1] + c[2];
        return uint8_t(sum / 8);
    }
    case 2:
        return uint8_t((s[0] + s[1] + s[stride] + s[stride + 1]) / 4);
    default:
        return s[0];
    }
}

void ReduceMask(const uint8_t* grey, int greyStride, int n, int width, int height,
                TCnAAMask& mask) {
    mask.Resize(width, height);
    for (int y = 0; y < mask.Height; ++y) {
        const uint8_t* row = grey + size_t(y) * size_t(n) * size_t(greyStride);
        uint8_t* out = mask.Data.data() + size_t(y) * size_t(mask.Stride);
        for (int x = 0; x < mask.Width; ++x)
            out[x] = ReduceBlock(row + x * n, greyStride, n);
    }
}

void BlurMask(TCnAAMask& mask, int blur) {
    blur = std::clamp(blur, 0, 100);
    if (blur == 0 || mask.Width == 0 || mask.Height == 0)
        return;
    const int factor = int(std::lround(blur * 255.0 / 100.0));
    const int w = mask.Width, h = mask.Height;
    // The 5 x 5 sum (edges repeating their row and column) in two passes: each row's sums of
    // five, then five of those down each column; the same sums as adding all 25.
    std::vector<uint16_t> across(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = mask.Data.data() + size_t(y) * size_t(mask.Stride);
        uint16_t* out = across.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            int sum = 0;
            for (int dx = -2; dx <= 2; ++dx)
                sum += row[std::clamp(x + dx, 0, w - 1)];
            out[x] = uint16_t(sum);
        }
    }
    for (int y = 0; y < h; ++y) {
        const uint16_t* rows[5];
        for (int dy = -2; dy <= 2; ++dy)
            rows[dy + 2] = across.data() + size_t(std::clamp(y + dy, 0, h - 1)) * size_t(w);
        uint8_t* out = mask.Data.data() + size_t(y) * size_t(mask.Stride);
        for (int x = 0; x < w; ++x) {
            const int sum = rows[0][x] + rows[1][x] + rows[2][x] + rows[3][x] + rows[4][x];
            const int mean = sum / 25;
            const int own = out[x];
            out[x] =
                blur == 100 ? uint8_t(mean) : uint8_t((mean * factor + own * (256 - factor)) / 256);
        }
    }
}

bool BlendMask(QImage& dst, int x, int y, const TCnAAMask& mask, QRgb color, int alpha,
               const QImage* foreground, std::optional<QRgb> brush) {
    if (foreground && (foreground->width() != mask.Width || foreground->height() != mask.Height))
        return false;
    alpha = std::clamp(alpha, 0, 100);
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + mask.Width, dst.width());
    const int y1 = std::min(y + mask.Height, dst.height());
    for (int py = y0; py < y1; ++py) {
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(py));
        const int my = py - y;
        const QRgb* fg =
            foreground ? reinterpret_cast<const QRgb*>(foreground->constScanLine(my)) : nullptr;
        for (int px = x0; px < x1; ++px) {
            const int mx = px - x;
            const QRgb back = brush ? *brush : d[px];
            const QRgb f = fg ? fg[mx] : color;
            const int32_t w = BlendWeight(mask.At(mx, my), alpha);
            d[px] =
                qRgb(BlendChannel(qRed(back), qRed(f), w), BlendChannel(qGreen(back), qGreen(f), w),
                     BlendChannel(qBlue(back), qBlue(f), w));
        }
    }
    return true;
}

QRgb RampColor(QRgb start, QRgb end, int i, int n) {
    if (n <= 0)
        return start;
    auto ch = [&](int s, int e) { return s + i * (e - s) / n; };
    return qRgb(ch(qRed(start), qRed(end)), ch(qGreen(start), qGreen(end)),
                ch(qBlue(start), qBlue(end)));
}

QImage GradientImage(int width, int height, TGradualStyle style, QRgb start, QRgb end) {
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const bool vertical = style == gsTopToBottom || style == gsBottomToTop || style == gsCenterToTB;
    if (style == gsRightToLeft || style == gsBottomToTop)
        std::swap(start, end);
    const int length = vertical ? height : width;
    const bool centre = style == gsCenterToLR || style == gsCenterToTB;
    std::vector<QRgb> ramp(static_cast<size_t>(length));
    if (centre) {
        // Half the length, mirrored about the middle.
        const int half = std::max((length + 1) / 2, 1);
        for (int i = 0; i < length; ++i) {
            const int k = i < half ? i : length - 1 - i;
            ramp[size_t(i)] = RampColor(start, end, std::clamp(k, 0, half - 1), half);
        }
    } else {
        for (int i = 0; i < length; ++i)
            ramp[size_t(i)] = RampColor(start, end, i, length);
    }
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (vertical)
            std::fill(row, row + width, ramp[size_t(y)]);
        else
            std::copy(ramp.begin(), ramp.end(), row);
    }
    return image;
}

namespace {

// Byte by byte (the padding byte is 0xFF in both and stays so): p + (n - p) x level / 256,
// the quotient rounded down, which an arithmetic shift of the product is.
void FadeBytes(const uint8_t* p, const uint8_t* n, uint8_t* o, size_t bytes, int level) {
    size_t k = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time in 16-bit lanes. The product (n - p) x level needs 17 bits: its
    // high and low halves give the shifted quotient, which fits 16 bits, exactly.
    const __m128i zero = _mm_setzero_si128();
    const __m128i l = _mm_set1_epi16(int16_t(level));
    const __m128i low = _mm_set1_epi16(0xFF);
    auto half = [&](__m128i pw, __m128i nw) {
        const __m128i d = _mm_sub_epi16(nw, pw);
        const __m128i q = _mm_or_si128(_mm_slli_epi16(_mm_mulhi_epi16(d, l), 8),
                                       _mm_srli_epi16(_mm_mullo_epi16(d, l), 8));
        return _mm_and_si128(_mm_add_epi16(pw, q), low);
    };
    for (; k + 16 <= bytes; k += 16) {
        const __m128i pv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i nv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(n + k));
        const __m128i lo = half(_mm_unpacklo_epi8(pv, zero), _mm_unpacklo_epi8(nv, zero));
        const __m128i hi = half(_mm_unpackhi_epi8(pv, zero), _mm_unpackhi_epi8(nv, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + k), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; k < bytes; ++k)
        o[k] = uint8_t(p[k] + (((int(n[k]) - int(p[k])) * level) >> 8));
}

} // namespace

void CrossFade(const QImage& previous, const QImage& next, int level, QImage& out) {
    if (out.size() != next.size() || out.format() != QImage::Format_RGB32)
        out = QImage(next.size(), QImage::Format_RGB32);
    CrossFade(previous, next, level, out, out.rect());
}

void CrossFade(const QImage& previous, const QImage& next, int level, QImage& out,
               const QRect& area) {
    const QRect r = area & out.rect() & previous.rect() & next.rect();
    if (r.isEmpty())
        return;
    const size_t bytes = size_t(r.width()) * 4;
    const size_t left = size_t(r.left()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const uint8_t* p = previous.constScanLine(y) + left;
        const uint8_t* n = next.constScanLine(y) + left;
        uint8_t* o = out.scanLine(y) + left;
        if (level <= 0) {
            std::memcpy(o, p, bytes);
        } else if (level >= 255) {
            std::memcpy(o, n, bytes);
        } else {
            FadeBytes(p, n, o, bytes, level);
        }
    }
}

QRect DifferingRect(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format())
        return b.rect();
    const int w = a.width();
    int top = -1, bottom = -1, left = w, right = -1;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const uint32_t*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const uint32_t*>(b.constScanLine(y));
        if (std::memcmp(pa, pb, size_t(w) * 4) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x = 0;
        while (x < left && pa[x] == pb[x])
            ++x;
        left = std::min(left, x);
        x = w - 1;
        while (x > right && pa[x] == pb[x])
            --x;
        right = std::max(right, x);
    }
    if (top < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace tunola
