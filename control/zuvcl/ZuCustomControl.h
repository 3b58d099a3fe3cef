#pragma once
// TZuCustomControl: the base of the skinned controls that have a window of their own (lists,
// scroll bars). 192 x 192 until sized; paints its whole area itself, so nothing erases the
// background first. The enter hook fires OnMouseEnter after the widget's own handling, the
// leave hook fires OnMouseLeave before it.

#include "ZuControlBase.h"

namespace tunola {

class TZuCustomControl : public TZuControlBase {
    Q_OBJECT
public:
    explicit TZuCustomControl(QWidget* parent = nullptr);

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
