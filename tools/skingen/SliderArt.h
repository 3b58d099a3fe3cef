#pragma once
// Slider pictures: the plain track (piece A), the filled track (piece B) and three thumb
// pictures. The player tiles the middle of a piece and draws its end caps separately, blending
// each over what is already there; so the track rows carry no partial alpha and the rounded
// ends are mixed with the backdrop colour under the slider beforehand.

#include "ButtonArt.h"

#include <QColor>
#include <QImage>
#include <QRect>

struct SliderLook {
    int trackHeight = 4;
    QColor track;
    QColor fill;
    QColor backdrop; // the window colour under the slider
    int border = 3;  // end-cap width the player cuts from each piece
    std::function<void(QPainter& p, const QRectF& box, ButtonState state)> thumb;
};

struct SliderSheet {
    QImage image;
    QRect tileA, tileB;
    QSize thumb;
    QPoint normal, hover, pressed;
    int border = 0;
};

// `width` × `height` is the slider's size in the window; the pieces are as wide as the slider,
// so the fill that the player draws from the left of piece B never reads past it.
SliderSheet renderSliderSheet(int width, int height, QSize thumb, const SliderLook& look);
