#include "ZuButton.h"

#include <QEvent>

#include <algorithm>

namespace tunola {

namespace {

constexpr int kFadeInterval = 20; // milliseconds per fade step
constexpr int kMaxFade = 100;

} // namespace

TZuButton::TZuButton(QWidget* parent) : TZuPictureControl(parent) {
    // Moves without a pressed button arrive too: they catch an enter or a leave that happened
    // while another control held the mouse.
    setMouseTracking(true);
}

TZuButton::~TZuButton() = default;

void TZuButton::SetFade(int fade) {
    fade_ = uint8_t(std::clamp(fade, 0, kMaxFade));
    step_ = 0;
    if (fade_ > 0 && !fadeTimer_) {
        fadeTimer_ = std::make_unique<QTimer>(this);
        fadeTimer_->setInterval(kFadeInterval);
        connect(fadeTimer_.get(), &QTimer::timeout, this, &TZuButton::FadeTimerTimer);
    } else if (fade_ == 0 && fadeTimer_) {
        fadeTimer_.reset();
        // Without a timer nothing would finish a fade under way.
        if (state_ == TZuButtonState::bsFadingIn)
            state_ = TZuButtonState::bsHighlighted;
        else if (state_ == TZuButtonState::bsFadingOut)
            state_ = TZuButtonState::bsNormal;
    }
    update();
}

void TZuButton::SetState(TZuButtonState state) {
    state_ = state;
    update();
}

void TZuButton::StartFade(TZuButtonState state) {
    state_ = state;
    fadeTimer_->start();
    update();
}

void TZuButton::MouseEnter() {
    if (!isEnabled())
        return;
    if (pressed_)
        SetState(TZuButtonState::bsPressed);
    else if (fadeTimer_)
        StartFade(TZuButtonState::bsFadingIn);
    else
        SetState(TZuButtonState::bsHighlighted);
    TZuGraphicControlEx::MouseEnter();
}

void TZuButton::MouseLeave() {
    if (!isEnabled())
        return;
    if (pressed_)
        SetState(fadeTimer_ ? TZuButtonState::bsHighlighted : TZuButtonState::bsNormal);
    else if (fadeTimer_)
        StartFade(TZuButtonState::bsFadingOut);
    else
        SetState(TZuButtonState::bsNormal);
    TZuGraphicControlEx::MouseLeave();
}

void TZuButton::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    if (!pressed_) {
        const bool inside = rect().contains(x, y);
        if (inside && state_ != TZuButtonState::bsHighlighted &&
            state_ != TZuButtonState::bsFadingIn)
            MouseEnter();
        else if (!inside && state_ != TZuButtonState::bsNormal)
            MouseLeave();
    }
    DoMouseMove(shift, x, y);
}

void TZuButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button != Qt::LeftButton)
        return;
    pressed_ = true;
    if (fadeTimer_)
        fadeTimer_->stop();
    step_ = fade_;
    SetState(TZuButtonState::bsPressed);
    DoMouseDown(button, shift, x, y);
}

void TZuButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    const bool rightWithMenu = button == Qt::RightButton && Tag() == 0 && PopupMenu();
    if (!pressed_ && !rightWithMenu)
        return;
    if (fadeTimer_)
        StartFade(TZuButtonState::bsFadingOut);
    else
        SetState(TZuButtonState::bsNormal);
    pressed_ = false;
    if (!rect().contains(x, y))
        return;
    if (button == Qt::RightButton) {
        if (Tag() == 0 && Popup().IsManual())
            Popup().PopupAt(mapToGlobal(QPoint(x, y)));
        return;
    }
    if (button != Qt::LeftButton)
        return;
    // The handlers run last: a click may close the window that holds the button.
    if (Tag() == 0 && OnClick)
        OnClick(*this);
    else if (Tag() < 1 || !Popup().IsManual())
        DoMouseUp(button, shift, x, y);
    else
        Popup().PopupAt(mapToGlobal(QPoint(0, height())));
}

void TZuButton::FadeTimerTimer() {
    if (state_ == TZuButtonState::bsFadingIn) {
        if (step_ >= fade_) {
            if (fadeTimer_)
                fadeTimer_->stop();
            state_ = TZuButtonState::bsHighlighted;
        } else {
            ++step_;
        }
    } else if (step_ > 0) {
        --step_;
    } else {
        if (fadeTimer_)
            fadeTimer_->stop();
        state_ = TZuButtonState::bsNormal;
    }
    update();
}

void TZuButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        if (fadeTimer_)
            fadeTimer_->stop();
        pressed_ = false;
        step_ = 0;
        SetState(TZuButtonState::bsNormal);
    }
    TZuGraphicControlEx::changeEvent(event);
}

void TZuButton::hideEvent(QHideEvent* event) {
    // Nothing to animate while hidden; the pointer has left it anyway.
    if (fadeTimer_)
        fadeTimer_->stop();
    pressed_ = false;
    step_ = 0;
    state_ = TZuButtonState::bsNormal;
    TZuGraphicControlEx::hideEvent(event);
}

TZuButton::Pictures TZuButton::CurrentPictures() const {
    return {normalX_, normalY_, pressedX_, pressedY_, highlightedX_, highlightedY_};
}

void TZuButton::PaintImage(TZuBitmap32& canvas) {
    const Pictures p = CurrentPictures();
    const TZuBitmap32& image = Image();
    const int32_t w = width();
    const int32_t h = height();
    switch (state_) {
    case TZuButtonState::bsNormal:
        image.Draw(canvas, 0, 0, ZuBounds(p.NormalX, p.NormalY, w, h));
        break;
    case TZuButtonState::bsPressed:
        image.Draw(canvas, 0, 0, ZuBounds(p.PressedX, p.PressedY, w, h));
        break;
    case TZuButtonState::bsHighlighted:
        image.Draw(canvas, 0, 0, ZuBounds(p.HighlightedX, p.HighlightedY, w, h));
        break;
    case TZuButtonState::bsFadingIn:
    case TZuButtonState::bsFadingOut:
        image.Draw(canvas, 0, 0, ZuBounds(p.NormalX, p.NormalY, w, h));
        if (fade_ > 0)
            image.DrawBlended(canvas, 0, 0, uint8_t(step_ * image.Opacity() / fade_),
                              ZuBounds(p.HighlightedX, p.HighlightedY, w, h));
        break;
    }
}

TZuCheckedButton::TZuCheckedButton(QWidget* parent) : TZuButton(parent) {}

TZuButton::Pictures TZuCheckedButton::CurrentPictures() const {
    if (!checked_ || !isEnabled())
        return TZuButton::CurrentPictures();
    return {checkedX_, checkedY_, checkedPX_, checkedPY_, checkedHX_, checkedHY_};
}

} // namespace tunola
