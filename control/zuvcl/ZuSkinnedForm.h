#pragma once
// The set-up the player's skinned windows share: controls made under the names the skin finds
// their pictures by, the skin's background, and sizing from the window's edges.
// UI thread only.

#include "ZuForm.h"

#include <QRect>
#include <QString>

namespace tunola {

class TZuWindow;

// A control of type T on `parent`, named `name`, at `where`.
template <class T> T* MakeControl(QWidget* parent, const char* name, QRect where) {
    auto* c = new T(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(where);
    return c;
}

// The skin's background "ZuWindow1" of `form`, made first so that it lies under every control.
// It lets presses through to the form, which moves and sizes itself.
TZuWindow* MakeSkinBackground(TZuFormEx& form);

// Sizing from the edges of `form`: a left press within `borderWidth` pixels of an edge starts
// a resize, and moving over that zone shows its cursor; only in the normal window state (not
// minimised, maximised or full screen). Takes over the form's OnMouseDown and OnMouseMove.
void SizeFromEdges(TZuForm& form, int borderWidth = 6);

} // namespace tunola
