#pragma once
// What every skinned control and form shares: the Tag, the pop-up menu, and the mouse events
// with their common release rule:
//   left button released  -> MouseUp's normal handling (OnMouseUp);
//   right button released -> with a manual pop-up menu, the menu opens where it was released;
//   any other button      -> nothing.
// Presses, moves and releases reach the virtual MouseDown/MouseMove/MouseUp, which derived
// controls override; a double click counts as a press.

#include "ZuControlEvents.h"
#include "ZuPopupMenuLink.h"

#include <QWidget>

namespace tunola {

class TZuControlBase : public QWidget {
    Q_OBJECT
public:
    explicit TZuControlBase(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    QMenu* PopupMenu() const { return popup_.Menu(); }
    void SetPopupMenu(QMenu* menu) { popup_.SetMenu(menu); }
    bool AutoPopup() const { return popup_.AutoPopup(); }
    void SetAutoPopup(bool autoPopup) { popup_.SetAutoPopup(autoPopup); }

    TZuMouseEvent OnMouseDown;
    TZuMouseMoveEvent OnMouseMove;
    TZuMouseEvent OnMouseUp;

protected:
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    // The common release rule above.
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // The normal handling of each event: fire the handler, if any.
    void DoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void DoMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void DoMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    const TZuPopupMenuLink& Popup() const { return popup_; }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int tag_ = 0;
    TZuPopupMenuLink popup_;
};

} // namespace tunola
