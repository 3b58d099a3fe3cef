#pragma once
// Small drawing helpers shared by every piece of skin art: canvases, colour mixing, text in the
// interface font, icons placed in a box, and writing PNG files with straight alpha.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

// The Chinese interface font that fontconfig resolves on every machine the player supports.
inline const char* const kUiFontFamily = "WenQuanYi Micro Hei";

// A transparent premultiplied canvas: what QPainter draws into fastest and most exactly.
QImage newCanvas(int width, int height);

// An anti-aliasing painter on the canvas.
void beginArt(QPainter& p, QImage& canvas);

QColor mixColor(const QColor& a, const QColor& b, qreal t); // t = 0 gives a, 1 gives b
QColor withAlpha(const QColor& c, int alpha);

QFont uiFont(qreal pixelSize, bool bold = false);

// Draws an icon path designed on a `grid` × `grid` square, scaled to fit `box` and centred, in
// one colour. The square's corner is rounded to a whole pixel, so an icon drawn at its design
// size keeps its pixel-aligned edges.
void fillIcon(QPainter& p, const QPainterPath& icon, const QRectF& box, const QColor& color,
              qreal grid = 24.0);

void drawCenteredText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                      const QColor& color);

// Composites the image over a solid colour: every pixel ends opaque. Used where the player
// copies a picture without blending, so a soft edge has to be mixed with the known backdrop
// beforehand.
QImage flattenOnto(const QImage& image, const QColor& backdrop);

// Every pixel with alpha at least `threshold` becomes opaque, every other one fully clear.
// Window corners are cut by alpha below 255, so the frame must carry no partial alpha.
void binarizeAlpha(QImage& image, int threshold = 128);

// Writes a PNG with straight (non-premultiplied) alpha; throws std::runtime_error on failure.
void savePng(const QImage& image, const QString& path);
