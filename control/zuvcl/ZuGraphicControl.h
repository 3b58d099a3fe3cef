#pragma once
// TZuGraphicControl: the base of the skinned pictures (window background, buttons, sliders).
// It owns an Image to cut its pictures from, and composes each paint in an off-screen bitmap:
//   1. the backdrop: on a TZuFormEx, the part of the form's back buffer under the control;
//      elsewhere the control's Color;
//   2. PaintImage draws the control's pictures on top;
//   3. the result is copied to the screen in one go.
// The control covers its whole rectangle, so nothing under it is painted first.
// TZuGraphicControlEx adds the enter and leave hooks and events.

#include "ZuBitmap32.h"
#include "ZuColor32.h"
#include "ZuControlBase.h"

namespace tunola {

class TZuFormEx;

class TZuGraphicControl : public TZuControlBase {
    Q_OBJECT
public:
    explicit TZuGraphicControl(QWidget* parent = nullptr);

    // The picture the control cuts its pieces from. Changing it (loading a file, assigning)
    // repaints the control.
    TZuBitmap32& Image() { return image_; }
    const TZuBitmap32& Image() const { return image_; }
    // Copies `image` (pixels and Opacity).
    void SetImage(const TZuBitmap32& image);

    // Platform colour of the backdrop where no form back buffer lies under the control.
    TColor Color() const { return color_; }
    void SetColor(TColor color);

protected:
    // Stores a property's new value and repaints when it changed.
    template <class T> void Store(T& field, T value) {
        if (field != value) {
            field = value;
            update();
        }
    }

    // Draws the control's pictures onto `canvas`, which holds the backdrop and is the
    // control's size.
    virtual void PaintImage(TZuBitmap32& canvas);
    // The form whose back buffer is this control's backdrop, if its parent is one.
    TZuFormEx* ParentFormEx() const;
    // Image or Color changed; repaints.
    virtual void PictureChanged();

    void paintEvent(QPaintEvent* event) override;

private:
    void PaintBackdrop(TZuBitmap32& canvas) const;

    TZuBitmap32 image_;
    TColor color_ = 0; // black
};

class TZuGraphicControlEx : public TZuGraphicControl {
    Q_OBJECT
public:
    explicit TZuGraphicControlEx(QWidget* parent = nullptr);

    TZuControlEvent OnMouseEnter;
    TZuControlEvent OnMouseLeave;

protected:
    // Fire OnMouseEnter / OnMouseLeave; overrides do their own work, then call these.
    virtual void MouseEnter();
    virtual void MouseLeave();

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

} // namespace tunola
