#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tunola {

namespace {

QPixmap Draw(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(0x2B, 0xD4, 0xAE)); // the Default skin's accent
    g.drawEllipse(QRectF(2 * s, 2 * s, 60 * s, 60 * s));
    g.setBrush(QColor(0x10, 0x13, 0x17));
    // Two note heads joined by a beam.
    g.drawEllipse(QRectF(14 * s, 38 * s, 14 * s, 10 * s));
    g.drawEllipse(QRectF(36 * s, 34 * s, 14 * s, 10 * s));
    g.drawRect(QRectF(24 * s, 16 * s, 4 * s, 27 * s));
    g.drawRect(QRectF(46 * s, 12 * s, 4 * s, 27 * s));
    QPainterPath beam;
    beam.moveTo(24 * s, 16 * s);
    beam.lineTo(50 * s, 12 * s);
    beam.lineTo(50 * s, 19 * s);
    beam.lineTo(24 * s, 23 * s);
    beam.closeSubpath();
    g.drawPath(beam);
    return p;
}

} // namespace

QIcon MakeAppIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(Draw(size));
    return icon;
}

} // namespace tunola
