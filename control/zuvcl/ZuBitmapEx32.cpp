#include "ZuBitmap32.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace tunola {

namespace {

// Text is measured on a paint device even before a bitmap has pixels, so that measuring and
// drawing agree on the resolution. One small bitmap serves every empty one; it only caches a
// device and is locked while in use.
TZuBitmap32& ScratchBitmap() {
    struct Scratch {
        Scratch() { Bitmap.SetSize(8, 8); }
        TZuBitmap32 Bitmap;
    };
    static Scratch scratch;
    return scratch.Bitmap;
}

} // namespace

QSize TZuBitmapEx32::TextExtent(const QString& text) const {
    if (const QImage* surface = Surface()) {
        const QFontMetrics metrics(font_, surface);
        return {metrics.horizontalAdvance(text), metrics.height()};
    }
    TZuBitmap32& scratch = ScratchBitmap();
    TZuLockGuard guard(scratch);
    const QFontMetrics metrics(font_, scratch.Surface());
    const int32_t lineBreaks = int32_t(text.count(QLatin1String("\r\n")));
    return {metrics.horizontalAdvance(text) + 2 * lineBreaks, metrics.height() * (lineBreaks + 1)};
}

void TZuBitmapEx32::TextOut(int32_t x, int32_t y, const QString& text) {
    if (QImage* surface = Surface()) {
        QPainter painter(surface);
        painter.setFont(font_);
        painter.setPen(QColor::fromRgb(Color32(fontColor_)));
        painter.drawText(x, y + painter.fontMetrics().ascent(), text);
    }
    Changed();
}

} // namespace tunola
