#pragma once
// The player's icons as filled vector paths on a 24 × 24 grid, drawn at any size with
// fillIcon(). Strokes are turned into outlines here so that every icon is one fill and stays
// crisp when it is scaled down to a title-bar button.

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
