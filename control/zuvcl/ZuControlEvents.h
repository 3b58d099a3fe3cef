#pragma once
// Events of the skinned controls and forms. Every handler gets the control that fired it first,
// then what the event carries; positions are in the sender's own coordinates.

#include <Qt>

#include <functional>

class QWidget;

namespace tunola {

using TZuControlEvent = std::function<void(QWidget& sender)>;
using TZuMouseEvent = std::function<void(QWidget& sender, Qt::MouseButton button,
                                         Qt::KeyboardModifiers shift, int x, int y)>;
using TZuMouseMoveEvent =
    std::function<void(QWidget& sender, Qt::KeyboardModifiers shift, int x, int y)>;

} // namespace tunola
