#include "CnAAFont.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace tunola {

namespace {

QFont Enlarged(const QFont& font, int n) {
    QFont big = font;
    if (font.pixelSize() > 0)
        big.setPixelSize(font.pixelSize() * n);
    else
        big.setPointSizeF(font.pointSizeF() * n);
    // The oversampling is the smoothing: the rasteriser draws plain pixels.
    big.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferQuality));
    return big;
}

} // namespace

void TCnAAFont::SetFont(const QFont& font) {
    font_ = font;
}

int TCnAAFont::TextWidth(const QString& text) const {
    return QFontMetrics(font_).horizontalAdvance(text);
}

int TCnAAFont::TextHeight(const QString&) const {
    return QFontMetrics(font_).height();
}

void TCnAAFont::BuildMask(const QString& text, TCnAAMask& mask) const {
    const int w = TextWidth(text);
    const int h = TextHeight(text);
    const int n = QualityFactor(quality_);
    if (w <= 0 || h <= 0) {
        mask.Resize(0, 0);
        return;
    }
    const QSize size(w * n, h * n);
    // Qt draws white on black into a 32-bit image, where each channel holds the coverage
    // exactly as an 8-bit image would (glyph for glyph the same values). On an 8-bit image Qt
    // blends large glyphs in pieces handed to its thread pool, a dozen thread hand-offs per
    // glyph of the desktop lyrics' size; on a 32-bit one it copies each glyph in one go.
    if (glyphs_.size() != size)
        glyphs_ = QImage(size, QImage::Format_RGB32);
    glyphs_.fill(0);
    {
        QPainter p(&glyphs_);
        const QFont big = Enlarged(font_, n);
        p.setFont(big);
        p.setPen(Qt::white);
        p.drawText(0, QFontMetrics(big).ascent(), text);
    }
    // One channel, packed in place at the start of the image (row by row, each byte written
    // lies in a pixel already read), is the 8-bit picture the reduction reads.
    uint8_t* packed = glyphs_.bits();
    const int gw = size.width();
    for (int y = 0; y < size.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(glyphs_.constScanLine(y));
        uint8_t* out = packed + size_t(y) * size_t(gw);
        for (int x = 0; x < gw; ++x)
            out[x] = uint8_t(qBlue(row[x]));
    }
    ReduceMask(packed, gw, n, w, h, mask);
}

void TCnAAFont::TextOut(int x, int y, const QString& text, int blur, int alpha) {
    if (!canvas_ || text.isEmpty())
        return;
    BuildMask(text, mask_);
    if (blur > 0)
        BlurMask(mask_, blur);
    BlendMask(*canvas_, x, y, mask_, color_, alpha, nullptr, brush_);
}

bool TCnAAFontEx::TextOutEx(int x, int y, const QString& text) {
    if (!canvas_ || text.isEmpty())
        return true;
    int tx = x, ty = y;
    const TCnAAShadow& shadow = Effect.Shadow;
    if (shadow.Enabled) {
        tx += shadow.OffsetX < 0 ? -shadow.OffsetX : 0;
        ty += shadow.OffsetY < 0 ? -shadow.OffsetY : 0;
    }
    BuildMask(text, mask_);
    std::optional<QRgb> brush = brush_;
    if (shadow.Enabled) {
        TCnAAMask copy = mask_;
        BlurMask(copy, shadow.Blur);
        BlendMask(*canvas_, x + std::max(shadow.OffsetX, 0), y + std::max(shadow.OffsetY, 0), copy,
                  shadow.Color, Effect.Alpha * shadow.Alpha / 100, nullptr, brush);
        brush.reset(); // the text lies over the shadow
    }
    if (Effect.Gradual.Enabled) {
        const QImage fill = GradientImage(mask_.Width, mask_.Height, Effect.Gradual.Style,
                                          Effect.Gradual.StartColor, Effect.Gradual.EndColor);
        return BlendMask(*canvas_, tx, ty, mask_, color_, Effect.Alpha, &fill, brush);
    }
    return BlendMask(*canvas_, tx, ty, mask_, color_, Effect.Alpha, nullptr, brush);
}

} // namespace tunola
