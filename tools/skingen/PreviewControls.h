#pragma once
// Paints what each skinned control shows, from its skin element alone, following the drawing
// rules of the player's controls: the window frame from its nine pieces with the corners cut by
// alpha, button pictures by corner, the slider's track pieces and thumb, the playlist rows and
// scroll bar, the lyric column, the spectrum bars, the scrolling title, the tab strip. Sample
// content (song titles, lyrics, a spectrum) stands in for a playing track.

#include "SkinCheck.h"

#include <QColor>
#include <QImage>
#include <QPainter>

QColor skinColor(const SkinNode& node, const QString& attribute);

// The window's background at the given size, transparent where the corners cut the shape.
QImage paintWindowFrame(const ParsedSkin& skin, const SkinNode& window, QSize size);

// The picture of a button in one of its states: "n", "h", "p", "c", "ch", "cp".
void paintButton(QPainter& p, const ParsedSkin& skin, const SkinNode& button, const QString& state);
// A horizontal slider with its thumb at `fraction` of the travel.
// `thumb` is the thumb picture's attribute prefix: "normal", "highlighted" or "pressed".
void paintSlider(QPainter& p, const ParsedSkin& skin, const SkinNode& slider, qreal fraction,
                 const QString& thumb = QStringLiteral("normal"));
void paintLabel(QPainter& p, const SkinNode& label, const QString& text);
void paintMarquee(QPainter& p, const SkinNode& marquee, const QString& text);
void paintSpectrum(QPainter& p, const SkinNode& visual);
void paintPlaylist(QPainter& p, const ParsedSkin& skin, const SkinNode& list);
void paintLyrics(QPainter& p, const SkinNode& visual);
void paintTabStrip(QPainter& p, const ParsedSkin& skin, const SkinNode& tab, int activeTab);
void paintPagePanel(QPainter& p, const SkinNode& panel);

// The desktop lyrics window as it floats over `desktop` (its size), at its window opacity.
void paintDesktopLyrics(QImage& desktop, const SkinNode& visual, const QString& line);
