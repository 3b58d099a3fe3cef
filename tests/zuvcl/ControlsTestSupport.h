#pragma once
// Helpers for the widget tests: one QApplication for the run, pictures whose pixels tell what
// they are, and reading back what a control painted.

#include "ZuBitmap32.h"
#include "ZuPiece.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <string>

class QWidget;

namespace tunola::testing_support {

void EnsureWidgetApplication();

// A pixel that names a piece: the letter in red, the column inside the piece in green, the row
// in blue; opaque unless `alpha` says otherwise.
constexpr TColor32 Tagged(char letter, int localX, int localY, uint8_t alpha = 255) {
    return ZuColor32(uint8_t(letter), uint8_t(localX), uint8_t(localY), alpha);
}

// Fills `piece` of `image` with tagged pixels of `letter`.
void PaintPiece(TZuBitmap32& image, const TZuPiece& piece, char letter, uint8_t alpha = 255);

// Paints a one-pixel-high strip at (x, y) from `pattern`: each character is a pixel of that
// letter; an upper-case letter marks a first column (it reads back upper case).
void PaintStrip(TZuBitmap32& image, int32_t x, int32_t y, const std::string& pattern);

// One character per pixel of a tagged picture: the piece's letter, upper case in the piece's
// first column (so every tile start shows), `blank` for any other colour.
std::string TaggedRow(const TZuBitmap32& bitmap, int32_t y, char blank = '.');
std::string TaggedColumn(const TZuBitmap32& bitmap, int32_t x, char blank = '.');

// What the widget paints, as 0xAARRGGBB pixels.
QImage Grab(QWidget& widget);
TColor32 GrabPixel(QWidget& widget, int x, int y);

// Shows a top-level widget and waits until it can take input.
void ShowAndWait(QWidget& widget);

} // namespace tunola::testing_support
