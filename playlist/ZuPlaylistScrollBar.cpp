#include "ZuPlaylistScrollBar.h"

#include <ZuSliderMath.h>

#include <algorithm>

namespace tunola::zuplaylist {

namespace {

// The pressed slider lets the track show through a little.
constexpr uint8_t kPressedOpacity = 190;

} // namespace

TZuScrollBar::TZuScrollBar(QWidget* parent) : TZuPictureControl(parent) {
    // The slider lights up under the mouse without a button held.
    setMouseTracking(true);
}

void TZuScrollBar::SetSliderH(int16_t v) {
    if (sliderH_ == v)
        return;
    sliderH_ = v;
    // The travel changed: the slider goes where its position now lies.
    sliderTop_ = PixelFromPos(Metrics(), position_);
    update();
}

void TZuScrollBar::SetTrackRect(int16_t x, int16_t y, int16_t w, int16_t h) {
    Store(trackRect_, TZuPiece{x, y, w, h});
}

void TZuScrollBar::SetPosition(int position, bool notify) {
    // Compared after clamping, so that the wheel at the end of the list changes nothing.
    position = std::clamp(position, 0, max_);
    if (position == position_)
        return;
    position_ = position;
    sliderTop_ = PixelFromPos(Metrics(), position_);
    if (notify)
        FireChange();
    update();
}

void TZuScrollBar::SetMax(int max) {
    max = std::max(0, max);
    if (max == max_)
        return;
    max_ = max;
    position_ = PosFromPixel(Metrics(), sliderTop_);
    // The slider sits on the position it stands for, so what is drawn and what is reported
    // agree (with no positions at all it goes to the top).
    sliderTop_ = PixelFromPos(Metrics(), position_);
    update();
}

int TZuScrollBar::Percentage() const {
    return max_ > 0 ? int(RoundDivHalfEven(int64_t(position_) * 100, max_)) : 0;
}

void TZuScrollBar::SetPercentage(int percentage) {
    SetPosition(int(RoundDivHalfEven(int64_t(std::clamp(percentage, 0, 100)) * max_, 100)));
}

void TZuScrollBar::resizeEvent(QResizeEvent* event) {
    TZuGraphicControlEx::resizeEvent(event);
    sliderTop_ = PixelFromPos(Metrics(), position_);
}

void TZuScrollBar::FireChange() {
    if (OnChange)
        OnChange(*this);
}

void TZuScrollBar::SetState(TZuSliderState state) {
    if (state_ != state) {
        state_ = state;
        update();
    }
}

bool TZuScrollBar::OnSlider(int x, int y) const {
    return x >= 0 && x < sliderW_ && y >= sliderTop_ && y < sliderTop_ + sliderH_;
}

void TZuScrollBar::SliderMoved(int top) {
    sliderTop_ = top;
    position_ = PosFromPixel(Metrics(), sliderTop_);
    FireChange();
    update();
}

void TZuScrollBar::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button == Qt::LeftButton) {
        tracking_ = true;
        if (OnSlider(x, y)) {
            dragOffset_ = y - sliderTop_;
            state_ = TZuSliderState::Dragged;
            SliderMoved(sliderTop_);
        } else {
            state_ = TZuSliderState::TrackPressed;
            SliderMoved(SnapPixel(Metrics(), y - sliderH_ / 2));
        }
    }
    TZuGraphicControlEx::MouseDown(button, shift, x, y);
}

void TZuScrollBar::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    if (tracking_) {
        const int grab = state_ == TZuSliderState::Dragged ? dragOffset_ : sliderH_ / 2;
        const int top = SnapPixel(Metrics(), y - grab);
        // Only a real move reports a change: the mouse wanders along the grid between steps.
        if (top != sliderTop_)
            SliderMoved(top);
    } else {
        SetState(OnSlider(x, y) ? TZuSliderState::Hot : TZuSliderState::Normal);
    }
    TZuGraphicControlEx::MouseMove(shift, x, y);
}

void TZuScrollBar::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (tracking_ && button == Qt::LeftButton) {
        if (!rect().contains(x, y))
            state_ = TZuSliderState::Normal;
        position_ = PosFromPixel(Metrics(), sliderTop_);
        tracking_ = false;
        update();
    }
    TZuGraphicControlEx::MouseUp(button, shift, x, y);
}

void TZuScrollBar::MouseEnter() {
    if (isEnabled())
        TZuGraphicControlEx::MouseEnter();
}

void TZuScrollBar::MouseLeave() {
    if (!isEnabled())
        return;
    if (!tracking_)
        SetState(TZuSliderState::Normal);
    TZuGraphicControlEx::MouseLeave();
}

void TZuScrollBar::PaintImage(TZuBitmap32& canvas) {
    const TZuBitmap32& image = Image();
    const TZuPiece& t = trackRect_;
    const int b = border_;
    if (b > 0)
        image.Draw(canvas, 0, 0, ZuBounds(t.X, t.Y, t.W, b));
    // The body leaves out four cap widths, not two: that is how the skins are drawn.
    const int step = t.H - 4 * b;
    if (step > 0) {
        const TZuRect body = ZuBounds(t.X, t.Y + b, t.W, step);
        for (int y = b; y < height(); y += step)
            image.Draw(canvas, 0, y, body);
    }
    if (b > 0)
        image.Draw(canvas, 0, height() - b, ZuBounds(t.X, t.Y + t.H - b, t.W, b));

    switch (isEnabled() ? state_ : TZuSliderState::Normal) {
    case TZuSliderState::Normal:
        image.Draw(canvas, 0, sliderTop_, ZuBounds(normalX_, normalY_, sliderW_, sliderH_));
        break;
    case TZuSliderState::Dragged:
    case TZuSliderState::TrackPressed:
        image.DrawBlended(canvas, 0, sliderTop_, kPressedOpacity,
                          ZuBounds(pressedX_, pressedY_, sliderW_, sliderH_));
        break;
    case TZuSliderState::Hot:
        image.Draw(canvas, 0, sliderTop_,
                   ZuBounds(highlightedX_, highlightedY_, sliderW_, sliderH_));
        break;
    }
}

} // namespace tunola::zuplaylist
