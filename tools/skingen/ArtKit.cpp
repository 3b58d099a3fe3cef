#include "ArtKit.h"

#include <QFile>
#include <stdexcept>

QImage newCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void beginArt(QPainter& p, QImage& canvas) {
    p.begin(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QColor mixColor(const QColor& a, const QColor& b, qreal t) {
    auto lerp = [t](int x, int y) { return qRound(x + (y - x) * t); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QColor withAlpha(const QColor& c, int alpha) {
    QColor out = c;
    out.setAlpha(alpha);
    return out;
}

QFont uiFont(qreal pixelSize, bool bold) {
    QFont font(QString::fromLatin1(kUiFontFamily));
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    // Full hinting keeps the strokes of small Chinese glyphs on whole pixels, which reads
    // better at 1× than the blurrier unhinted outlines.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void fillIcon(QPainter& p, const QPainterPath& icon, const QRectF& box, const QColor& color,
              qreal grid) {
    const qreal side = qMin(box.width(), box.height());
    const QPointF corner = box.center() - QPointF(side / 2, side / 2);
    p.save();
    p.translate(qRound(corner.x()), qRound(corner.y()));
    p.scale(side / grid, side / grid);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(icon);
    p.restore();
}

void drawCenteredText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                      const QColor& color) {
    p.save();
    p.setFont(font);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

QImage flattenOnto(const QImage& image, const QColor& backdrop) {
    QImage out(image.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(backdrop.rgb());
    QPainter p(&out);
    p.drawImage(0, 0, image);
    p.end();
    return out;
}

void binarizeAlpha(QImage& image, int threshold) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = row[x];
            row[x] = qAlpha(px) >= threshold ? (px | 0xFF000000u) : 0u;
        }
    }
}

void savePng(const QImage& image, const QString& path) {
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    if (!straight.save(path, "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}
