#pragma once
// The playlist's scroll bar: one opaque track piece that the player tiles down the bar (the
// bar paints into a bitmap of its own, with nothing under it, so the track must cover every
// pixel) and three thumb pictures of the bar's width.

#include "ButtonArt.h"

#include <QColor>
#include <QImage>
#include <QRect>

struct ScrollBarLook {
    QColor trackColor;
    QColor grooveColor; // a thin centre line that shows where the thumb runs
    int grooveWidth = 2;
    std::function<void(QPainter& p, const QRectF& box, ButtonState state)> thumb;
};

struct ScrollBarSheet {
    QImage image;
    QRect track;
    QSize thumb;
    QPoint normal, hover, pressed;
};

ScrollBarSheet renderScrollBarSheet(int width, int thumbHeight, int trackHeight,
                                    const ScrollBarLook& look);
