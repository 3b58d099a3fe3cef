#include "ScrollBarArt.h"

#include "ArtKit.h"

#include <algorithm>

ScrollBarSheet renderScrollBarSheet(int width, int thumbHeight, int trackHeight,
                                    const ScrollBarLook& look) {
    ScrollBarSheet sheet;
    sheet.track = QRect(0, 0, width, trackHeight);
    sheet.thumb = QSize(width, thumbHeight);
    sheet.normal = QPoint(width, 0);
    sheet.hover = QPoint(2 * width, 0);
    sheet.pressed = QPoint(3 * width, 0);
    sheet.image = newCanvas(4 * width, std::max(thumbHeight, trackHeight));

    QPainter p;
    beginArt(p, sheet.image);
    p.fillRect(sheet.track, look.trackColor);
    if (look.grooveWidth > 0) {
        const int x = (width - look.grooveWidth) / 2;
        p.fillRect(QRect(x, 0, look.grooveWidth, trackHeight), look.grooveColor);
    }
    const ButtonState states[] = {ButtonState::Normal, ButtonState::Hover, ButtonState::Pressed};
    const QPoint corners[] = {sheet.normal, sheet.hover, sheet.pressed};
    for (int i = 0; i < 3; ++i) {
        const QRect cell(corners[i], sheet.thumb);
        p.save();
        p.setClipRect(cell);
        look.thumb(p, QRectF(cell), states[i]);
        p.restore();
    }
    return sheet;
}
