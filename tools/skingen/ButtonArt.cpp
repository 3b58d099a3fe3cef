#include "ButtonArt.h"

#include "ArtKit.h"

ButtonSheet renderButtonSheet(QSize size, bool checkable, const ButtonPainter& paint) {
    ButtonSheet sheet;
    sheet.size = size;
    sheet.checkable = checkable;
    const int w = size.width();
    const int h = size.height();
    sheet.normal = {0, 0};
    sheet.hover = {w, 0};
    sheet.pressed = {2 * w, 0};
    if (checkable) {
        sheet.checked = {0, h};
        sheet.checkedHover = {w, h};
        sheet.checkedPressed = {2 * w, h};
    }
    sheet.image = newCanvas(3 * w, checkable ? 2 * h : h);
    QPainter p;
    beginArt(p, sheet.image);
    const ButtonState states[] = {ButtonState::Normal, ButtonState::Hover, ButtonState::Pressed};
    for (int row = 0; row < (checkable ? 2 : 1); ++row) {
        for (int column = 0; column < 3; ++column) {
            // Each picture is painted clipped to its own cell so a glow cannot leak into the
            // neighbouring state.
            const QRect cell(column * w, row * h, w, h);
            p.save();
            p.setClipRect(cell);
            paint(p, QRectF(cell), states[column], row == 1);
            p.restore();
        }
    }
    return sheet;
}
