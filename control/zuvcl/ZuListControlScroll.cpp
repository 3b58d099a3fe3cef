// TZuListControl's scrolling: the smooth scroll on its timer, the scroll bar's steps, the
// drag-outside scrolling and the wheel bursts.

#include "ZuListControl.h"

#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace tunola {

void TZuListControl::FinishScrolling() {
    if (!animation_.isActive())
        return;
    animation_.stop();
    topIndex_ = animTarget_;
    bar_->SetPosition(topIndex_);
    update();
}

void TZuListControl::ScrollLines(int lines, bool animate) {
    FinishScrolling();
    const TZuListGeometry g = Geometry();
    // The target keeps to the first rows TopIndex accepts, so the animation never runs past
    // where the view ends up.
    const int64_t wanted = std::clamp<int64_t>(int64_t(topIndex_) + lines, 0, INT_MAX);
    const int target = ZuClampTopIndex(int(wanted), count_, g.Page, g.BarEnabled);
    if (target == topIndex_)
        return;
    if (animate && isVisible())
        StartAnimation(target);
    else
        SetTopIndex(target);
}

void TZuListControl::StartAnimation(int target) {
    animFrom_ = topIndex_;
    animTarget_ = target;
    const int64_t distance = std::abs(int64_t(target) - animFrom_) * itemHeight_;
    animScroll_.Distance = int(std::min<int64_t>(distance, INT_MAX));
    animFrame_ = 0;
    bar_->SetPosition(target);
    // Frame 0 is the view as it stands; each tick shows the next frame, and the tick after the
    // last frame's pause lands on the target.
    animation_.start(animScroll_.PauseMs());
    update();
}

void TZuListControl::AnimationTick() {
    ++animFrame_;
    if (animFrame_ >= animScroll_.Frames()) {
        FinishScrolling();
        return;
    }
    update(ItemArea().Left, ItemArea().Top, int(ItemArea().Width()), int(ItemArea().Height()));
}

void TZuListControl::BarScrolled(bool startChange, TScrollCode code, TScrollMode, int) {
    // The bar has moved already; a running animation ends where it was going, without moving
    // the bar back.
    if (animation_.isActive()) {
        animation_.stop();
        topIndex_ = animTarget_;
    }
    const TZuListGeometry g = Geometry();
    const int target = ZuClampTopIndex(bar_->Position(), count_, g.Page, g.BarEnabled);
    if (startChange && code != scTrack && target != topIndex_ && isVisible()) {
        StartAnimation(target);
        return;
    }
    if (target != topIndex_) {
        topIndex_ = target;
        update();
    }
    bar_->SetPosition(target);
}

void TZuListControl::ShowRow(int row, bool animate) {
    FinishScrolling();
    const int lines = ZuLinesToShow(row, topIndex_, Page());
    if (lines != 0)
        ScrollLines(lines, animate);
}

void TZuListControl::SetAutoScrollCode(int code) {
    if (code == autoScrollCode_)
        return;
    const int old = autoScrollCode_;
    autoScrollCode_ = code;
    if (code == 0) {
        autoScroll_.stop();
        return;
    }
    if (old == 0)
        ScrollLines(code <= 3 ? 1 : -1, true);
    autoScroll_.start(ZuAutoScrollInterval(code));
}

void TZuListControl::AutoScrollTick() {
    if (!pressed_ || autoScrollCode_ == 0) {
        autoScroll_.stop();
        return;
    }
    const bool down = autoScrollCode_ <= 3;
    ScrollLines(down ? 1 : -1, false);
    const TZuListGeometry g = Geometry();
    const int row = down ? std::min(g.TopIndex + g.Page - 1, count_ - 1) : g.TopIndex;
    if (row >= 0 && row != dragRow_)
        DragTo(row);
}

void TZuListControl::WheelBurstEnded() {
    wheelBurst_ = 0;
}

void TZuListControl::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (autoScrollCode_ != 0)
        return;
    constexpr int kNotch = 120;
    wheelRemainder_ += event->angleDelta().y();
    while (std::abs(wheelRemainder_) >= kNotch) {
        const bool up = wheelRemainder_ > 0;
        wheelRemainder_ -= up ? kNotch : -kNotch;
        if (wheelBurst_ == 0)
            wheelTimer_.start(kWheelBurstMs);
        ++wheelBurst_;
        const int64_t lines = std::min<int64_t>(int64_t(kWheelLines) * wheelBurst_, INT_MAX / 2);
        ScrollLines(up ? -int(lines) : int(lines), true);
    }
}

} // namespace tunola
