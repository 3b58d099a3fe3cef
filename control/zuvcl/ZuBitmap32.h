#pragma once
// TZuBitmap32: the 32-bit picture every skinned control draws with. The pixels are ours
// (0xAARRGGBB, rows top-down, no padding); a QImage in Format_ARGB32 lies over the same memory so
// that QPainter can draw text into it. Colours are not premultiplied, which is what the blend
// formulas expect and what Format_ARGB32 means, so text drawn over transparent pixels leaves
// valid alpha behind.
// Bitmaps may share their pixels (Share): a shared bitmap copies them the first time it is
// written to, through any of the writing accessors below, so sharing never shows.
// TZuBitmapEx32 adds a font for measuring and drawing text.
// Bitmaps belong to the UI thread; Lock/Unlock are there for callers that share one.

#include "ZuBitmap32Blend.h"
#include "ZuBitmapError.h"
#include "ZuColor32.h"
#include "ZuPersistent.h"
#include "ZuRasterImage.h"
#include "ZuRect.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFont>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>

class QImage;
class QPainter;

namespace tunola {

class TZuBitmap32 : public TZuCustomMap {
public:
    TZuBitmap32();
    ~TZuBitmap32() override;

    // Also true while there are no pixels.
    bool Empty() const override;

    // Master alpha used when this bitmap is drawn onto another; 255 by default.
    uint8_t Opacity() const { return opacity_; }
    void SetOpacity(uint8_t opacity);

    // Pixel addresses; nothing is checked. Null while the bitmap is empty. The writing ones
    // first give the bitmap pixels of its own when it shares them.
    TColor32* Bits() {
        Detach();
        return pixels_.get();
    }
    const TColor32* Bits() const { return pixels_.get(); }
    TColor32* ScanLine(int32_t y) { return Bits() + ptrdiff_t(y) * Width(); }
    const TColor32* ScanLine(int32_t y) const { return pixels_.get() + ptrdiff_t(y) * Width(); }
    TColor32* PixelPtr(int32_t x, int32_t y) { return ScanLine(y) + x; }
    // For reading only (a source of a transfer); WritablePixelMap for a destination.
    TZuPixelMap PixelMap() const { return {pixels_.get(), Width(), Height()}; }
    TZuPixelMap WritablePixelMap() { return {Bits(), Width(), Height()}; }
    // True while another bitmap holds the same pixels.
    bool SharesPixels() const { return pixels_ && pixels_.use_count() > 1; }
    TZuRect BoundsRect() const { return {0, 0, Width(), Height()}; }

    // The QImage over the pixels, for drawing with QPainter; null while the bitmap is empty.
    // Never copy it and then paint on the copy's original: a shared image detaches on writing,
    // and the painter would draw into a private copy.
    QImage* Surface() {
        Detach();
        return surface_.get();
    }
    const QImage* Surface() const { return surface_.get(); }

    // Fills without blending. Rectangles and lines are cut to the bitmap.
    void Clear(TColor32 color);
    void FillRect(const TZuRect& rect, TColor32 color);
    void HorzLine(int32_t x1, int32_t y, int32_t x2, TColor32 color); // both ends inclusive
    void VertLine(int32_t x, int32_t y1, int32_t y2, TColor32 color); // both ends inclusive
    // Bresenham; the end point is drawn only with includeLast.
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 color,
              bool includeLast = false);
    void MoveTo(int32_t x, int32_t y);
    // Draws from the pen position without the end point, then moves the pen there.
    void LineTo(int32_t x, int32_t y, TColor32 color);
    void SetAllAlpha(uint8_t alpha);

    // Null empties the bitmap; another bitmap is copied with its Opacity.
    void Assign(const TZuBitmap32* source);
    // The same picture as `source` without a copy: both hold one set of pixels until one of
    // them is written to. Opacity stays.
    void Share(const TZuBitmap32& source);
    // A decoded picture: without alpha of its own every alpha becomes 255; a picture marked
    // transparent gets alpha 0 wherever its colour is the transparent colour.
    void Assign(const TZuRasterImage& image);
    void Assign(const QImage& image);
    // ".png" (any case) is read as PNG, anything else as a Windows bitmap. Throws
    // EZuBitmapError when the file cannot be read or decoded (the bitmap is then unchanged) or
    // when the bitmap cannot take the picture's size.
    void LoadFromFile(const QString& fileName);

    // Blends `srcRect` of this bitmap onto `dst` with its top-left corner at (x, y), using
    // Opacity (or `masterAlpha`) as master alpha; clipped on both sides.
    void Draw(TZuBitmap32& dst, int32_t x, int32_t y, const TZuRect& srcRect) const;
    void Draw(TZuBitmap32& dst, int32_t x, int32_t y) const;
    void DrawBlended(TZuBitmap32& dst, int32_t x, int32_t y, uint8_t masterAlpha,
                     const TZuRect& srcRect) const;
    // Scales `srcRect` into `dstRect` (nearest neighbour; see StretchTransfer).
    void StretchDraw(TZuBitmap32& dst, const TZuRect& dstRect, const TZuRect& srcRect) const;
    void StretchDraw(TZuBitmap32& dst, const TZuRect& dstRect, const TZuRect& srcRect,
                     uint8_t masterAlpha) const;
    // Copies all pixels 1:1 to the painter's device at (x, y), opaque (alpha ignored).
    void CopyToDC(QPainter& painter, int32_t x, int32_t y) const;
    // CopyToDC for a bitmap whose alpha is not needed afterwards (a canvas composed for this
    // paint, a band): the alpha bytes are set in place and the bitmap's own pixels go to the
    // painter, with no band and no copy.
    void SpendToDC(QPainter& painter, int32_t x, int32_t y);

    // The "Data" form: width and height (4 bytes each, little-endian), then the pixel bytes
    // in memory order. LoadData throws EZuBitmapError for bytes not of that form.
    QByteArray SaveData() const;
    void LoadData(QByteArrayView data);
    // Same size and same pixels; two empty bitmaps are the same.
    bool SameImage(const TZuBitmap32& other) const;
    // Whether Data has to be stored for this bitmap, given the one it inherits from (if any).
    bool DataDiffersFrom(const TZuBitmap32* ancestor) const;

protected:
    // Releases the pixels and makes new ones of the new size (when both sides are positive).
    // Throws EZuBitmapError("Can't allocate DIB handle") when the memory cannot be had, and
    // EZuBitmapError("Can't create compatible DC") when no QImage can be laid over it; the
    // bitmap is empty afterwards.
    void ChangeSize(int32_t width, int32_t height) override;

private:
    struct PixelDeleter {
        void operator()(TColor32* pixels) const;
    };
    void ReleasePixels();
    // Gives a bitmap that shares its pixels a copy of its own.
    void Detach();
    // A surface over `memory`, or an exception as ChangeSize documents.
    static std::unique_ptr<QImage> MakeSurface(TColor32* memory, int32_t width, int32_t height);
    static std::shared_ptr<TColor32> NewPixels(uint64_t count);

    std::shared_ptr<TColor32> pixels_;
    std::unique_ptr<QImage> surface_;
    uint8_t opacity_ = 255;
    int32_t penX_ = 0;
    int32_t penY_ = 0;
};

class TZuBitmapEx32 : public TZuBitmap32 {
public:
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font) { font_ = font; }
    // The text colour, a platform colour (system colours allowed).
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color) { fontColor_ = color; }

    // Width and height of a single line of `text` in Font, as TextOut draws it. A bitmap that
    // has no pixels yet measures on a shared 8 x 8 bitmap and then counts every CR LF pair as
    // one more line height and 2 more pixels of width.
    QSize TextExtent(const QString& text) const;
    int32_t TextWidth(const QString& text) const { return TextExtent(text).width(); }
    // Draws `text` with its top-left corner at (x, y), in FontColor, over what is there.
    void TextOut(int32_t x, int32_t y, const QString& text);

private:
    QFont font_;
    TColor fontColor_ = clWindowText;
};

} // namespace tunola
