// TZuListControl's selection, mouse and keys.

#include "ZuListControl.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace tunola {

namespace {

// Directions of held navigation keys: 0 none, 1 up, 2 down, 3 page up, 4 page down.
int KeyDirectionOf(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        return 1;
    case Qt::Key_Down:
    case Qt::Key_Right:
        return 2;
    case Qt::Key_PageUp:
        return 3;
    case Qt::Key_PageDown:
        return 4;
    default:
        return 0;
    }
}

} // namespace

void TZuListControl::FireClick() {
    if (OnClick)
        OnClick(*this);
}

void TZuListControl::SelectOnly(int row) {
    std::fill(selected_.begin(), selected_.end(), uint8_t(0));
    if (row >= 0 && row < count_)
        selected_[size_t(row)] = 1;
}

void TZuListControl::SelectRange(int from, int to, bool keepSaved) {
    if (keepSaved && savedSelected_.size() == selected_.size())
        selected_ = savedSelected_;
    else
        std::fill(selected_.begin(), selected_.end(), uint8_t(0));
    const int lo = std::max(0, std::min(from, to));
    const int hi = std::min(count_ - 1, std::max(from, to));
    // A Ctrl-drag gives the whole range the anchor's new state.
    const uint8_t bit =
        keepSaved && from >= 0 && from < count_ && savedSelected_.size() == selected_.size()
            ? uint8_t(savedSelected_[size_t(from)] ^ 1)
            : uint8_t(1);
    for (int i = lo; i <= hi; ++i)
        selected_[size_t(i)] = bit;
}

void TZuListControl::SetItemIndexInternal(int index, bool animate) {
    index = std::clamp(index, -1, count_ - 1);
    if (updating_) {
        itemIndex_ = index;
        return;
    }
    itemIndex_ = index;
    if (!multiSelect_)
        SelectOnly(index);
    focusRow_ = index;
    if (index >= 0)
        ShowRow(index, animate);
    update();
}

void TZuListControl::SetHotRow(int row) {
    if (row == hotRow_)
        return;
    const int old = hotRow_;
    hotRow_ = row;
    if (old >= 0)
        ItemMouseLeave(old);
    if (row >= 0)
        ItemMouseEnter(row);
    update();
}

void TZuListControl::DragTo(int row) {
    dragRow_ = row;
    if (multiSelect_ && anchorRow_ >= 0)
        SelectRange(anchorRow_, row, pressShift_.testFlag(Qt::ControlModifier));
    else
        SelectOnly(row);
    itemIndex_ = row;
    focusRow_ = row;
    update();
}

void TZuListControl::EndPress() {
    SetAutoScrollCode(0);
    pressed_ = false;
    dragRow_ = -1;
}

void TZuListControl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button == Qt::LeftButton) {
        // What is hit is what the finished scroll shows.
        FinishScrolling();
        updating_ = true;
        const int row = Geometry().ItemAt(x, y);
        SetHotRow(row);
        if (row >= 0) {
            pressed_ = true;
            pressShift_ = shift;
            SetItemIndexInternal(row, false);
            focusRow_ = row;
            const bool ctrl = shift.testFlag(Qt::ControlModifier);
            const bool range = shift.testFlag(Qt::ShiftModifier);
            if (multiSelect_ && range && anchorRow_ >= 0 && anchorRow_ < count_) {
                SelectRange(anchorRow_, row, false);
            } else if (multiSelect_ && ctrl) {
                savedSelected_ = selected_;
                selected_[size_t(row)] ^= 1;
                anchorRow_ = row;
            } else {
                SelectOnly(row);
                anchorRow_ = row;
            }
            dragRow_ = row;
            ItemMouseDown(row);
        }
        updating_ = false;
        update();
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
    }
    TZuCustomControl::MouseDown(button, shift, x, y);
}

void TZuListControl::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    const TZuListGeometry g = Geometry();
    SetHotRow(g.ItemAt(x, y, pressed_));
    if (pressed_ && count_ > 0) {
        int row;
        if (y < g.Area.Top)
            row = g.TopIndex;
        else if (y >= g.Area.Bottom)
            row = std::min(g.TopIndex + g.Page - 1, count_ - 1);
        else
            row = g.ItemAt(x, y, true);
        if (row < 0)
            row = count_ - 1; // below the last row inside a list that does not fill the area
        if (row != dragRow_)
            DragTo(row);
        SetAutoScrollCode(ZuAutoScrollCode(y, g.Area));
    }
    TZuCustomControl::MouseMove(shift, x, y);
}

void TZuListControl::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button == Qt::LeftButton) {
        const bool wasPressed = pressed_;
        EndPress();
        if (hotRow_ >= 0)
            ItemMouseUp(hotRow_);
        update();
        if (wasPressed && anchorRow_ >= 0 && anchorRow_ == hotRow_ && OnItemClick)
            OnItemClick(*this, anchorRow_);
        if (rect().contains(x, y))
            FireClick();
    }
    TZuCustomControl::MouseUp(button, shift, x, y);
}

void TZuListControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        TZuCustomControl::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    // The second press of a double click comes only as this event: it selects nothing and
    // reports the row the first click chose, if the mouse is still on it.
    SetHotRow(Geometry().ItemAt(p.x(), p.y()));
    DoMouseDown(event->button(), event->modifiers(), p.x(), p.y());
    if (OnDblClick)
        OnDblClick(*this);
    // Only when both clicks landed on the same row.
    if (anchorRow_ >= 0 && anchorRow_ == hotRow_ && OnItemDlbClick)
        OnItemDlbClick(*this, anchorRow_);
}

void TZuListControl::MouseLeave() {
    if (!pressed_)
        SetHotRow(-1);
    TZuCustomControl::MouseLeave();
}

bool TZuListControl::LastRowCutAt(int top) const {
    TZuListGeometry g = Geometry();
    g.TopIndex = top;
    return count_ > 0 && g.ItemRect(count_ - 1).Bottom > g.Area.Bottom;
}

void TZuListControl::KeySelect(int row, int direction, bool extend, bool downwards) {
    const int old = itemIndex_;
    const TZuListGeometry g = Geometry();
    int lines = ZuLinesToShow(row, topIndex_, g.Page);
    const bool visible = lines == 0;
    const bool held = direction != 0 && direction == keyDirection_;
    if (!visible && !held)
        keyDirection_ = direction;
    // Reaching the last row downwards also brings it out from under the area's bottom.
    if (downwards && row == count_ - 1) {
        const int top = ZuClampTopIndex(topIndex_ + lines, count_, g.Page, g.BarEnabled);
        if (LastRowCutAt(top))
            ++lines;
    }
    updating_ = true;
    SetItemIndexInternal(row, false);
    updating_ = false;
    if (multiSelect_ && extend && anchorRow_ >= 0 && anchorRow_ < count_) {
        SelectRange(anchorRow_, row, false);
    } else {
        SelectOnly(row);
        anchorRow_ = row;
    }
    focusRow_ = row;
    if (lines != 0)
        ScrollLines(lines, !held);
    update();
    if (itemIndex_ != old)
        FireClick();
}

void TZuListControl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const int direction = KeyDirectionOf(key);
    if (count_ == 0 || !(direction != 0 || key == Qt::Key_Home || key == Qt::Key_End)) {
        TZuCustomControl::keyPressEvent(event);
        return;
    }
    event->accept();
    FinishScrolling();
    const TZuListGeometry g = Geometry();
    const int last = count_ - 1;
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        if (itemIndex_ >= 1)
            KeySelect(itemIndex_ - 1, direction, extend, false);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (itemIndex_ < last) {
            KeySelect(itemIndex_ + 1, direction, extend, true);
        } else if (LastRowCutAt(topIndex_)) {
            // Nothing below the last row: show the rest of it instead.
            const bool held = direction == keyDirection_;
            keyDirection_ = direction;
            ScrollLines(1, !held);
        }
        break;
    case Qt::Key_PageUp:
        if (g.BarEnabled)
            KeySelect(std::max(0, itemIndex_ - (g.Page - 1)), direction, extend, false);
        break;
    case Qt::Key_PageDown:
        if (g.BarEnabled)
            KeySelect(int(std::min<int64_t>(last, int64_t(itemIndex_) + g.Page)), direction, extend,
                      true);
        break;
    case Qt::Key_Home:
        KeySelect(0, 0, extend, false);
        break;
    case Qt::Key_End:
        KeySelect(last, 0, extend, true);
        break;
    default:
        break;
    }
}

void TZuListControl::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && KeyDirectionOf(event->key()) != 0)
        keyDirection_ = 0;
    TZuCustomControl::keyReleaseEvent(event);
}

void TZuListControl::focusInEvent(QFocusEvent* event) {
    TZuCustomControl::focusInEvent(event);
    update();
}

void TZuListControl::focusOutEvent(QFocusEvent* event) {
    TZuCustomControl::focusOutEvent(event);
    EndPress();
    update();
}

void TZuListControl::changeEvent(QEvent* event) {
    TZuCustomControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        EndPress();
        anchorRow_ = -1;
        hotRow_ = -1;
        update();
    } else if (event->type() == QEvent::EnabledChange) {
        update();
    }
}

} // namespace tunola
