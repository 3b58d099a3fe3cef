#pragma once
// The skinned sliders.
//   TZuSlider         - the arithmetic and the mouse: ssSimple jumps to the mouse, ssComplex
//                       and ssMix drag a thumb, ssRotator turns a knob (one unit per pixel of
//                       vertical movement). The thumb follows a drag at once.
//   TZuSliderBlend    - ssComplex and ssMix show a half-transparent preview thumb while
//                       dragging and take the new position only on release; with Shift held
//                       the thumb follows live.
//   TZuSliderBlendEx  - draws the track from two tiled pieces with end caps (the skins' form).
// OnChange fires after every change by the mouse or a setter; OnMouseDown and OnMouseUp
// frame a drag (the player seeks and sets the volume on release).

#include "ZuPictureControl.h"
#include "ZuSliderMath.h"
#include "ZuSliderPaint.h"

#include <cstdint>

namespace tunola {

class TZuSlider : public TZuPictureControl {
    Q_OBJECT
public:
    explicit TZuSlider(QWidget* parent = nullptr);

    // Size of each thumb picture (the pictures' corners come from TZuPictureControl).
    int16_t SliderW() const { return sliderW_; }
    int16_t SliderH() const { return sliderH_; }
    void SetSliderW(int16_t v) { Store(sliderW_, v); }
    void SetSliderH(int16_t v) { Store(sliderH_, v); }

    // The thumb catches at the middle of the track.
    bool CenterMiddle() const { return centerMiddle_; }
    void SetCenterMiddle(bool v) { centerMiddle_ = v; }

    TZuSliderKind Kind() const { return kind_; }
    void SetKind(TZuSliderKind kind) { Store(kind_, kind); }
    TZuSliderStyle Style() const { return style_; }
    void SetStyle(TZuSliderStyle style) { Store(style_, style); }
    // Anywhere in int: the player's progress slider runs 0 .. the track's length in seconds.
    int Max() const { return max_; }
    int Min() const { return min_; }
    void SetMax(int v) { Store(max_, v); }
    void SetMin(int v) { Store(min_, v); }

    // Ignored while an ssSimple slider is dragged; clamped to Min..Max.
    int Position() const;
    void SetPosition(int position);
    // Of Max, 0..100.
    int8_t Percentage() const;
    void SetPercentage(int percentage);

    TZuControlEvent OnChange;

    int ThumbOffset() const { return offset_; }
    TZuThumbState ThumbState() const { return thumbState_; }
    bool Dragging() const { return dragging_; }

protected:
    TZuSliderMetrics Metrics() const;
    // Whether a drag moves the thumb itself (rather than a preview of it).
    virtual bool DragsLive(Qt::KeyboardModifiers shift) const;
    virtual TZuSliderLook Look() const;
    // The offset whose value PositionEx reports.
    int PreviewOffset() const { return preview_; }
    // Kept within Min..Max.
    int ValueToPosition(int64_t value) const;
    void SetThumbOffset(int offset) {
        offset_ = offset;
        if (!dragging_)
            preview_ = offset;
    }
    int64_t StoredValue() const { return value_; }

    void PaintImage(TZuBitmap32& canvas) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseLeave() override;
    void hideEvent(QHideEvent* event) override;

private:
    bool DragsThumb() const { return style_ == ssComplex || style_ == ssMix; }
    bool OverThumb(int x, int y) const;
    int Axis(int x, int y) const { return kind_ == skHorizontal ? x : y; }
    int SnapToGrid(int pixel);
    void Changed();
    void SetThumbState(TZuThumbState state);

    int16_t sliderW_ = 0, sliderH_ = 0;
    bool centerMiddle_ = false;
    TZuSliderKind kind_ = skHorizontal;
    TZuSliderStyle style_ = ssComplex;
    int max_ = 10;
    int min_ = 0;

    int offset_ = 0;    // thumb along the track; a rotator's frame offset
    int preview_ = 0;   // where a drag would put the thumb
    int64_t value_ = 0; // 0-based, from the start of the track (0 .. Max - Min)
    int grab_ = 0;      // press point on the thumb; a rotator's last mouse y
    TZuThumbState thumbState_ = TZuThumbState::tsNormal;
    bool dragging_ = false;
};

class TZuSliderBlend : public TZuSlider {
    Q_OBJECT
public:
    explicit TZuSliderBlend(QWidget* parent = nullptr);

    // The position the preview thumb stands for.
    int PositionEx() const;

protected:
    bool DragsLive(Qt::KeyboardModifiers shift) const override;
    TZuSliderLook Look() const override;
};

class TZuSliderBlendEx : public TZuSliderBlend {
    Q_OBJECT
public:
    explicit TZuSliderBlendEx(QWidget* parent = nullptr);

    // Track pieces inside Image: A the plain track, B the fill ("tilea", "tileb").
    TZuPiece TileA() const { return tileA_; }
    TZuPiece TileB() const { return tileB_; }
    void SetTileA(int16_t x, int16_t y, int16_t w, int16_t h) {
        Store(tileA_, TZuPiece{x, y, w, h});
    }
    void SetTileB(int16_t x, int16_t y, int16_t w, int16_t h) {
        Store(tileB_, TZuPiece{x, y, w, h});
    }
    // Width of the end caps cut from each piece.
    uint8_t Border() const { return border_; }
    void SetBorder(uint8_t border) { Store(border_, border); }

protected:
    TZuSliderLook Look() const override;
    void PaintImage(TZuBitmap32& canvas) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TZuPiece tileA_{0, 0, 25, 25};
    TZuPiece tileB_{0, 0, 25, 25};
    uint8_t border_ = 0;
};

} // namespace tunola
