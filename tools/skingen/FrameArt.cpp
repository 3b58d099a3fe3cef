#include "FrameArt.h"

#include "ArtKit.h"

#include <algorithm>

FrameArt renderFrame(const FrameSpec& s) {
    const int topWidth =
        s.topLeftWidth + s.tile + (s.titleWidth > 0 ? s.titleWidth + s.tile : 0) + s.topRightWidth;
    const int bottomWidth = s.bottomLeftWidth + s.tile + s.bottomRightWidth;
    const int sideWidth = s.leftSide + s.tile + s.rightSide;
    const int w = std::max({topWidth, bottomWidth, sideWidth});
    const int h = s.topBand + s.tile + s.bottomBand;

    FrameArt art;
    art.tl = QRect(0, 0, s.topLeftWidth, s.topBand);
    art.tm = QRect(s.topLeftWidth, 0, s.tile, s.topBand);
    art.tc = s.titleWidth > 0 ? QRect(s.topLeftWidth + s.tile, 0, s.titleWidth, s.topBand)
                              : QRect(0, 0, 0, 0);
    art.tr = QRect(w - s.topRightWidth, 0, s.topRightWidth, s.topBand);
    art.lm = QRect(0, s.topBand, s.leftSide, s.tile);
    art.rm = QRect(w - s.rightSide, s.topBand, s.rightSide, s.tile);
    art.bl = QRect(0, h - s.bottomBand, s.bottomLeftWidth, s.bottomBand);
    art.bm = QRect(s.bottomLeftWidth, h - s.bottomBand, s.tile, s.bottomBand);
    art.br = QRect(w - s.bottomRightWidth, h - s.bottomBand, s.bottomRightWidth, s.bottomBand);

    QImage face(w, h, QImage::Format_ARGB32_Premultiplied);
    face.fill(Qt::black);
    {
        QPainter p;
        beginArt(p, face);
        s.paintFace(p, face.rect(), art.tc);
    }

    // Silhouette: a pixel belongs to the window when the rounded rectangle covers at least half
    // of it. It is filled with the outline colour; the face goes on top one pixel inside.
    QImage shape = newCanvas(w, h);
    {
        QPainter p;
        beginArt(p, shape);
        QPainterPath outer;
        outer.addRoundedRect(QRectF(0, 0, w, h), s.radius, s.radius);
        p.fillPath(outer, s.outline);
    }
    binarizeAlpha(shape);
    shape = shape.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p;
        beginArt(p, shape);
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        QPainterPath inner;
        const qreal r = std::max(0, s.radius - 1);
        inner.addRoundedRect(QRectF(1, 1, w - 2, h - 2), r, r);
        p.setPen(Qt::NoPen);
        p.setBrush(QBrush(face));
        p.drawPath(inner);
    }
    art.image = shape.convertToFormat(QImage::Format_ARGB32);
    return art;
}
