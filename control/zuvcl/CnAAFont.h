#pragma once
// The anti-aliased text renderers. TCnAAFont draws a string into an RGB32 image: Qt rasterises
// the glyphs (without its own smoothing) at N times the size into a grey picture, which is
// reduced to a coverage mask and blended in the font colour (CnAAMask.h). TCnAAFontEx adds the
// effects: a softened drop shadow, a colour gradient fill and an opacity.
// Not thread-safe; used on the thread that owns the image (the UI thread).

#include "CnAAMask.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <optional>

namespace tunola {

struct TCnAAShadow {
    bool Enabled = false;
    int Blur = 80;  // 0 ... 100
    int Alpha = 70; // 0 ... 100, of the text's opacity
    QRgb Color = 0xFF444444;
    int OffsetX = 2; // -20 ... 20
    int OffsetY = 2;
};

struct TCnAAGradual {
    bool Enabled = false;
    TGradualStyle Style = gsLeftToRight;
    QRgb StartColor = 0xFFFFFFFF;
    QRgb EndColor = 0xFF000000;
};

struct TCnAAEffect {
    int Alpha = 100; // 0 ... 100
    TCnAAShadow Shadow;
    TCnAAGradual Gradual;
};

class TCnAAFont {
public:
    // Draws into `canvas` (RGB32), which must outlive the renderer or be replaced by SetCanvas.
    explicit TCnAAFont(QImage* canvas = nullptr) : canvas_(canvas) {}
    virtual ~TCnAAFont() = default;

    void SetCanvas(QImage* canvas) { canvas_ = canvas; }
    QImage* Canvas() const { return canvas_; }

    TAAQuality Quality() const { return quality_; }
    void SetQuality(TAAQuality quality) { quality_ = quality; }

    // The canvas font and colour; the brush is the colour under the text (none: the picture).
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    QRgb Color() const { return color_; }
    void SetColor(QRgb color) { color_ = color; }
    std::optional<QRgb> Brush() const { return brush_; }
    void SetBrush(std::optional<QRgb> brush) { brush_ = brush; }

    // Measured in the canvas font at its normal size.
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

    // The coverage mask of `text` at the quality's factor.
    void BuildMask(const QString& text, TCnAAMask& mask) const;

    // Draws `text` at (x, y) in the font colour, softened by `blur` (0 ... 100) and at opacity
    // `alpha` (0 ... 100).
    void TextOut(int x, int y, const QString& text, int blur = 0, int alpha = 100);

protected:
    QImage* canvas_;
    TAAQuality quality_ = aqNormal;
    QFont font_;
    QRgb color_ = 0xFF000000;
    std::optional<QRgb> brush_;
    mutable TCnAAMask mask_; // kept between calls: no allocation per line of the same size
    // Where Qt draws the enlarged glyphs, then the 8-bit coverage packed at its start.
    mutable QImage glyphs_;
};

class TCnAAFontEx : public TCnAAFont {
public:
    using TCnAAFont::TCnAAFont;

    TCnAAEffect Effect;

    // Draws `text` with the effect's shadow, fill and opacity, the text's top-left corner at
    // (x, y) (moved away from a shadow with a negative offset). False when the blend refused
    // its foreground (kInvalidForegroundError).
    bool TextOutEx(int x, int y, const QString& text);
};

} // namespace tunola
