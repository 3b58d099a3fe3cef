#pragma once
// The player's icons as filled vector paths on a 24 × 24 grid, drawn with fillIcon(). Strokes
// are turned into outlines here so that every icon is one fill. Drawn at 24 pixels their
// straight edges fall on whole pixels.

#include <QPainterPath>

enum class Icon {
    Play,
    Pause,
    Previous,
    Next,
    Volume,
    Mute,
    List,
    Library,
    Menu,
    Minimize,
    Maximize,
    Close,
    Back,
    Forward,
    Refresh,
    DesktopLyrics,
    Note,
};

// `weight` scales the stroke widths (1 = regular); filled shapes are not affected.
QPainterPath iconPath(Icon icon, qreal weight = 1.0);

// The same icons drawn for 16 × 16 pixels, to be used unscaled on whole-pixel positions: every
// straight horizontal or vertical edge lies on a pixel boundary, so title-bar glyphs stay sharp
// at 1×. Only diagonals and curves are anti-aliased.
QPainterPath smallIconPath(Icon icon);
