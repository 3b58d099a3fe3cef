#include "ZuControlBase.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

namespace tunola {

TZuControlBase::TZuControlBase(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

void TZuControlBase::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    DoMouseDown(button, shift, x, y);
}

void TZuControlBase::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    DoMouseMove(shift, x, y);
}

void TZuControlBase::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button == Qt::LeftButton)
        DoMouseUp(button, shift, x, y);
    else if (button == Qt::RightButton && popup_.IsManual())
        popup_.PopupAt(mapToGlobal(QPoint(x, y)));
}

void TZuControlBase::DoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                 int y) {
    if (OnMouseDown)
        OnMouseDown(*this, button, shift, x, y);
}

void TZuControlBase::DoMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(*this, shift, x, y);
}

void TZuControlBase::DoMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(*this, button, shift, x, y);
}

void TZuControlBase::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TZuControlBase::mouseDoubleClickEvent(QMouseEvent* event) {
    // A quick second click is still a click on a skinned control.
    mousePressEvent(event);
}

void TZuControlBase::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseMove(event->modifiers(), p.x(), p.y());
}

void TZuControlBase::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TZuControlBase::contextMenuEvent(QContextMenuEvent* event) {
    popup_.HandleContextMenu(*event);
}

} // namespace tunola
