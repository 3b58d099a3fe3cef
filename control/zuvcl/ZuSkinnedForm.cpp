#include "ZuSkinnedForm.h"

#include "ZuWindow.h"

namespace tunola {

namespace {

bool NormalState(const QWidget& form) {
    return !form.isMinimized() && !form.isMaximized() && !form.isFullScreen();
}

} // namespace

TZuWindow* MakeSkinBackground(TZuFormEx& form) {
    auto* background = new TZuWindow(&form);
    background->setObjectName(QStringLiteral("ZuWindow1"));
    background->setEnabled(false); // mouse-transparent
    return background;
}

void SizeFromEdges(TZuForm& form, int borderWidth) {
    form.OnMouseDown = [&form, borderWidth](QWidget&, Qt::MouseButton button, Qt::KeyboardModifiers,
                                            int x, int y) {
        if (button == Qt::LeftButton && NormalState(form))
            HitTestBorder(form, x, y, true, borderWidth);
    };
    form.OnMouseMove = [&form, borderWidth](QWidget&, Qt::KeyboardModifiers, int x, int y) {
        if (NormalState(form))
            HitTestBorder(form, x, y, false, borderWidth);
    };
}

} // namespace tunola
