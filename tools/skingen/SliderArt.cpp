#include "SliderArt.h"

#include "ArtKit.h"

#include <algorithm>

namespace {

QImage trackPiece(int width, int height, int trackHeight, const QColor& color,
                  const QColor& backdrop) {
    const int top = (height - trackHeight) / 2;
    QImage bar = newCanvas(width, trackHeight);
    {
        QPainter p;
        beginArt(p, bar);
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, width, trackHeight), trackHeight / 2.0, trackHeight / 2.0);
        p.fillPath(path, color);
    }
    QImage piece = newCanvas(width, height);
    QPainter p(&piece);
    p.drawImage(0, top, flattenOnto(bar, backdrop));
    return piece;
}

} // namespace

SliderSheet renderSliderSheet(int width, int height, QSize thumb, const SliderLook& look) {
    SliderSheet sheet;
    sheet.thumb = thumb;
    sheet.border = look.border;
    sheet.tileA = QRect(0, 0, width, height);
    sheet.tileB = QRect(0, height, width, height);
    sheet.normal = QPoint(0, 2 * height);
    sheet.hover = QPoint(thumb.width(), 2 * height);
    sheet.pressed = QPoint(2 * thumb.width(), 2 * height);

    sheet.image = newCanvas(std::max(width, 3 * thumb.width()), 2 * height + thumb.height());
    QPainter p;
    beginArt(p, sheet.image);
    p.drawImage(sheet.tileA.topLeft(),
                trackPiece(width, height, look.trackHeight, look.track, look.backdrop));
    p.drawImage(sheet.tileB.topLeft(),
                trackPiece(width, height, look.trackHeight, look.fill, look.backdrop));
    const ButtonState states[] = {ButtonState::Normal, ButtonState::Hover, ButtonState::Pressed};
    const QPoint corners[] = {sheet.normal, sheet.hover, sheet.pressed};
    for (int i = 0; i < 3; ++i) {
        const QRect cell(corners[i], thumb);
        p.save();
        p.setClipRect(cell);
        look.thumb(p, QRectF(cell), states[i]);
        p.restore();
    }
    return sheet;
}
