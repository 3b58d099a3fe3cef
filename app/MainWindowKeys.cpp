#include "MainWindowKeys.h"

#include "PlayerActions.h"

#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

namespace tunola {

TMainWindowKeys::TMainWindowKeys(QWidget& window, QWidget& volume, TPlayerActions& actions,
                                 std::function<void()> addFiles)
    : QObject(&window), volume_(volume), actions_(actions), addFiles_(std::move(addFiles)) {
    window.installEventFilter(this);
    volume.installEventFilter(this);
    window.setFocusPolicy(Qt::StrongFocus);
}

bool TMainWindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched != &volume_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (Key(key->key(), key->modifiers())) {
            key->accept();
            return true;
        }
    } else if (event->type() == QEvent::Wheel && watched == &volume_) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        wheelRest_ += wheel->angleDelta().y();
        const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
        wheelRest_ %= QWheelEvent::DefaultDeltasPerStep;
        if (notches != 0 && volume_.isEnabled())
            actions_.SetVolume(actions_.Volume() + notches * kVolumeStep);
        wheel->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool TMainWindowKeys::Key(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    if (key == Qt::Key_O && mods == Qt::ControlModifier) {
        if (addFiles_)
            addFiles_();
        return true;
    }
    if (mods != Qt::NoModifier)
        return false;
    switch (key) {
    case Qt::Key_Space:
        actions_.PlayPause();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int step = key == Qt::Key_Left ? -kSeekStepSeconds : kSeekStepSeconds;
        actions_.Seek(actions_.Position() + step);
        return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
        actions_.SetVolume(actions_.Volume() + (key == Qt::Key_Up ? kVolumeStep : -kVolumeStep));
        return true;
    default:
        return false;
    }
}

} // namespace tunola
