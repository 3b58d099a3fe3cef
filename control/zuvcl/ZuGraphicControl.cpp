#include "ZuGraphicControl.h"

#include "ZuForm.h"

#include <QPainter>

namespace tunola {

TZuGraphicControl::TZuGraphicControl(QWidget* parent) : TZuControlBase(parent) {
    // Every paint covers the whole control, so nothing under it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::ArrowCursor);
    image_.OnChange = [this](TZuNotifiablePersistent&) { PictureChanged(); };
}

void TZuGraphicControl::SetImage(const TZuBitmap32& image) {
    image_.Assign(&image);
}

void TZuGraphicControl::SetColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    PictureChanged();
}

void TZuGraphicControl::PaintImage(TZuBitmap32&) {}

TZuFormEx* TZuGraphicControl::ParentFormEx() const {
    return qobject_cast<TZuFormEx*>(parentWidget());
}

void TZuGraphicControl::PictureChanged() {
    update();
}

void TZuGraphicControl::PaintBackdrop(TZuBitmap32& canvas) const {
    if (TZuFormEx* form = ParentFormEx()) {
        const TZuRect under = ZuBounds(x(), y(), width(), height());
        if (ZuIntersect(under, form->BackdropBounds()) != under)
            canvas.Clear(Color32(color_));
        form->PaintBackdrop(canvas, x(), y());
        return;
    }
    canvas.Clear(Color32(color_));
}

void TZuGraphicControl::paintEvent(QPaintEvent*) {
    // The canvas lives for the paint only: dozens of controls keeping theirs between paints
    // held a few dozen KiB for pixels that are composed afresh every time anyway.
    TZuBitmap32 canvas;
    canvas.SetSize(width(), height());
    if (canvas.Empty())
        return;
    PaintBackdrop(canvas);
    PaintImage(canvas);
    QPainter painter(this);
    canvas.SpendToDC(painter, 0, 0);
}

TZuGraphicControlEx::TZuGraphicControlEx(QWidget* parent) : TZuGraphicControl(parent) {}

void TZuGraphicControlEx::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(*this);
}

void TZuGraphicControlEx::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(*this);
}

void TZuGraphicControlEx::enterEvent(QEnterEvent* event) {
    TZuGraphicControl::enterEvent(event);
    MouseEnter();
}

void TZuGraphicControlEx::leaveEvent(QEvent* event) {
    MouseLeave();
    TZuGraphicControl::leaveEvent(event);
}

} // namespace tunola
