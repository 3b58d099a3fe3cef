#include "ZuCustomControl.h"

namespace tunola {

TZuCustomControl::TZuCustomControl(QWidget* parent) : TZuControlBase(parent) {
    // The control paints every pixel itself: no erasing first, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(192, 192);
}

void TZuCustomControl::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(*this);
}

void TZuCustomControl::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(*this);
}

void TZuCustomControl::enterEvent(QEnterEvent* event) {
    TZuControlBase::enterEvent(event);
    MouseEnter();
}

void TZuCustomControl::leaveEvent(QEvent* event) {
    MouseLeave();
    TZuControlBase::leaveEvent(event);
}

} // namespace tunola
