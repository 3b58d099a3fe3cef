#include "CnAAMotion.h"

#include <QWidget>
#include <QWindow>

#include <cmath>

namespace tunola {

TFadeStep FadeTick(double accumulator, int level, int fadeDelayMs) {
    TFadeStep step;
    if (std::abs(accumulator - level) > 1)
        accumulator = level;
    accumulator += fadeDelayMs > 0 ? 25 * 255 / fadeDelayMs : 255;
    if (accumulator > 255) {
        accumulator = 255;
        step.Done = true;
    }
    step.Accumulator = accumulator;
    step.Level = int(std::lround(accumulator));
    return step;
}

bool OnScreen(const QWidget& widget) {
    if (!widget.isVisible())
        return false;
    const QWidget* top = widget.window();
    if (top->isMinimized())
        return false;
    const QWindow* handle = top->windowHandle();
    return handle && handle->isExposed();
}

} // namespace tunola
