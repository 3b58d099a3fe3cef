#pragma once
// A window frame as the player paints it: nine pieces cut from one picture. The picture is a
// small window of the same design ("reference window"), so every band that the player tiles is
// uniform along its tiling direction and the corner pieces hold the rounded corners.
//
// The player cuts the window's shape from every corner pixel whose alpha is below 255, so the
// silhouette is hard-edged by nature; the smoothness comes from the one-pixel outline, whose
// inner edge is anti-aliased against the window's face.

#include <QColor>
#include <QImage>
#include <QRect>
#include <functional>

struct FrameSpec {
    int topBand = 30;    // height of top-left, top-middle, title and top-right pieces
    int bottomBand = 10; // height of the three bottom pieces
    int leftSide = 10;   // width of the left-middle piece
    int rightSide = 10;  // width of the right-middle piece
    int topLeftWidth = 24;
    int topRightWidth = 24;
    int bottomLeftWidth = 24;
    int bottomRightWidth = 24;
    int tile = 8;       // width of the top/bottom middle tiles, height of the side tiles
    int titleWidth = 0; // 0: no title piece
    int radius = 8;
    QColor outline;
    // Paints the window's face (opaque) into a picture of `window` size; `title` is where the
    // title piece lies, so that anything drawn there is centred on the real window too.
    std::function<void(QPainter& p, const QRect& window, const QRect& title)> paintFace;
};

struct FrameArt {
    QImage image;
    QRect tl, tm, tr, bl, bm, br, lm, rm, tc;
};

FrameArt renderFrame(const FrameSpec& spec);
