#pragma once
// TZuButton: a clickable picture. Its normal, pressed and highlighted pictures are rectangles of
// the control's size inside Image, given by their top-left corners. With Fade > 0 it fades
// between the normal and the highlighted picture in Fade steps of 20 ms.
//
// OnClick fires for a left click released inside the button when Tag is 0. A menu button
// (Tag >= 1 with a manual PopupMenu) opens its menu under itself instead; a right click on a
// button with Tag 0 and a manual PopupMenu opens the menu at the cursor.
//
// TZuCheckedButton adds the checked pictures, drawn while Checked and enabled. The owner sets
// Checked (on a click, say); the button does not toggle itself.

#include "ZuPictureControl.h"

#include <QTimer>

#include <cstdint>
#include <memory>

namespace tunola {

enum class TZuButtonState : uint8_t { bsNormal, bsPressed, bsHighlighted, bsFadingIn, bsFadingOut };

class TZuButton : public TZuPictureControl {
    Q_OBJECT
public:
    explicit TZuButton(QWidget* parent = nullptr);
    ~TZuButton() override;

    // Number of 20 ms fade steps, 0 = no fading; above 100 is stored as 100. Resets the step.
    uint8_t Fade() const { return fade_; }
    void SetFade(int fade);

    TZuControlEvent OnClick;

    TZuButtonState State() const { return state_; }
    int FadeStep() const { return step_; }
    // The left button went down on the button and is still down.
    bool IsPressed() const { return pressed_; }

    // One tick of the fade timer: fading in climbs a step (and settles on the highlighted
    // picture one tick after the last step); any other state falls a step (and settles on
    // the normal picture).
    void FadeTimerTimer();

protected:
    struct Pictures {
        int16_t NormalX, NormalY, PressedX, PressedY, HighlightedX, HighlightedY;
    };
    // The corners of the pictures the current state draws from.
    virtual Pictures CurrentPictures() const;

    void PaintImage(TZuBitmap32& canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetState(TZuButtonState state);
    void StartFade(TZuButtonState state);

    uint8_t fade_ = 0;
    int step_ = 0;
    bool pressed_ = false;
    TZuButtonState state_ = TZuButtonState::bsNormal;
    // Exists only while Fade > 0.
    std::unique_ptr<QTimer> fadeTimer_;
};

class TZuCheckedButton : public TZuButton {
    Q_OBJECT
public:
    explicit TZuCheckedButton(QWidget* parent = nullptr);

    int16_t CheckedX() const { return checkedX_; }
    int16_t CheckedY() const { return checkedY_; }
    int16_t CheckedPX() const { return checkedPX_; }
    int16_t CheckedPY() const { return checkedPY_; }
    int16_t CheckedHX() const { return checkedHX_; }
    int16_t CheckedHY() const { return checkedHY_; }
    void SetCheckedX(int16_t v) { Store(checkedX_, v); }
    void SetCheckedY(int16_t v) { Store(checkedY_, v); }
    void SetCheckedPX(int16_t v) { Store(checkedPX_, v); }
    void SetCheckedPY(int16_t v) { Store(checkedPY_, v); }
    void SetCheckedHX(int16_t v) { Store(checkedHX_, v); }
    void SetCheckedHY(int16_t v) { Store(checkedHY_, v); }

    bool Checked() const { return checked_; }
    void SetChecked(bool checked) { Store(checked_, checked); }

protected:
    Pictures CurrentPictures() const override;

private:
    int16_t checkedX_ = 0, checkedY_ = 0;
    int16_t checkedPX_ = 0, checkedPY_ = 0;
    int16_t checkedHX_ = 0, checkedHY_ = 0;
    bool checked_ = false;
};

} // namespace tunola
