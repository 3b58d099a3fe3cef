#include "ZuScrollBar.h"

#include "ZuFlatLook.h"

#include <QEvent>

#include <algorithm>

namespace tunola {

namespace {

constexpr TColor32 kSpaceEdge = 0xFFC2C2C9;
constexpr TColor32 kHotFill = 0xFF4E92D6;
constexpr TColor32 kHotOutline = 0xFFC0DCC0;

// A triangle of rows growing by one pixel on each side, its tip towards the bar's end.
void Arrow(TZuBitmap32& cav, TScrollBarKind kind, bool towardsStart, const TZuRect& r,
           TColor32 color) {
    const int across = int(kind == sbVertical ? r.Width() : r.Height());
    const int along = int(kind == sbVertical ? r.Height() : r.Width());
    // Height 4 for a 16-pixel button; smaller buttons get smaller arrows.
    const int size = std::clamp(std::min(across, along) / 4, 1, 4);
    const int cAcross = (kind == sbVertical ? r.Left : r.Top) + across / 2;
    const int cAlong = (kind == sbVertical ? r.Top : r.Left) + (along - size) / 2;
    for (int i = 0; i < size; ++i) {
        const int row = towardsStart ? cAlong + i : cAlong + size - 1 - i;
        if (kind == sbVertical)
            cav.HorzLine(cAcross - i, row, cAcross + i, color);
        else
            cav.VertLine(row, cAcross - i, cAcross + i, color);
    }
}

} // namespace

void ZuDrawFlatScrollBarPart(TZuBitmap32& cav, TScrollBarKind kind, TDrawScrollBar part,
                             const TZuRect& r, TButtonState state, TColor32 barColor,
                             bool pressed) {
    if (r.IsEmpty())
        return;
    if (part == dsSpaceLeft || part == dsSpaceRight) {
        cav.FillRect(r, pressed ? Color32(clBackground) : barColor);
        if (kind == sbVertical) {
            cav.VertLine(r.Left, r.Top, r.Bottom - 1, kSpaceEdge);
            cav.VertLine(r.Right - 1, r.Top, r.Bottom - 1, kSpaceEdge);
        }
        return;
    }
    TColor32 fill = barColor;
    TColor32 outline = kZuFlatFrame;
    if (state == bsUp) {
        fill = kHotFill;
        outline = kHotOutline;
    } else if (state == bsDown) {
        fill = kHotFill;
        outline = kZuFlatSelectionOutline;
    }
    cav.FillRect(r, fill);
    ZuOutline(cav, r, outline);
    const TColor32 mark = state == bsExclusive ? kZuFlatFrame : Color32(clInfoBk);
    if (part == dsTrack) {
        // Three grip dots across the middle.
        const int cx = int(r.Left + r.Width() / 2);
        const int cy = int(r.Top + r.Height() / 2);
        for (int dx : {-3, 0, 3})
            if (cx + dx > r.Left && cx + dx < r.Right - 1)
                *cav.PixelPtr(cx + dx, cy) = mark;
        return;
    }
    Arrow(cav, kind, part == dsLeftBtn, r, mark);
}

TZuScrollBar::TZuScrollBar(QWidget* parent) : TZuGraphicControlEx(parent) {
    setMouseTracking(true);
    SetColor(clBtnFace);
    resize(121, 16);
    repeat_.callOnTimeout(this, [this] { RepeatTimer(); });
    UpdateEnabled();
}

TZuScrollBar::~TZuScrollBar() = default;

TZuScrollRange TZuScrollBar::Range() const {
    TZuScrollRange r = range_;
    r.Enabled = RangeEnabled();
    return r;
}

bool TZuScrollBar::RangeEnabled() const {
    return int64_t(range_.Max) - range_.Min >= range_.PageSize;
}

void TZuScrollBar::UpdateEnabled() {
    const bool enabled = RangeEnabled();
    if (isEnabled() != enabled)
        setEnabled(enabled); // changeEvent reports it
}

void TZuScrollBar::SetPosition(int position) {
    position = std::clamp(position, range_.Min, range_.Max);
    if (position == range_.Position)
        return;
    range_.Position = position;
    update();
    if (OnChange)
        OnChange(*this);
}

void TZuScrollBar::SetRange(int min, int max, int pageSize) {
    max = std::max(min, max);
    pageSize = std::max(0, pageSize);
    const int position = std::clamp(range_.Position, min, max);
    const bool changed = position != range_.Position;
    if (min == range_.Min && max == range_.Max && pageSize == range_.PageSize && !changed)
        return;
    range_.Min = min;
    range_.Max = max;
    range_.PageSize = pageSize;
    range_.Position = position;
    UpdateEnabled();
    update();
    if (changed && OnChange)
        OnChange(*this);
}

void TZuScrollBar::SetMin(int min) {
    SetRange(min, std::max(min, range_.Max), range_.PageSize);
}

void TZuScrollBar::SetMax(int max) {
    SetRange(std::min(range_.Min, max), max, range_.PageSize);
}

void TZuScrollBar::SetPageSize(int pageSize) {
    SetRange(range_.Min, range_.Max, pageSize);
}

void TZuScrollBar::SetScrollBarKind(TScrollBarKind kind) {
    if (kind == kind_)
        return;
    kind_ = kind;
    resize(height(), width());
    update();
}

TZuScrollBarLayout TZuScrollBar::Layout() const {
    TZuScrollBarLayout l = ZuScrollBarLayoutOf(kind_, width(), height(), Range());
    if (dragThumbStart_ >= 0 && l.HasThumb) {
        // The dragged thumb stands where the mouse put it, not on the position's grid.
        l.ThumbStart = dragThumbStart_;
        const int end = l.ThumbStart + l.ThumbLength;
        const int trackEnd = l.TrackStart + l.TrackLength;
        const bool vertical = kind_ == sbVertical;
        auto span = [&](int from, int to) {
            return vertical ? TZuRect{0, from, width(), to} : TZuRect{from, 0, to, height()};
        };
        l.Parts[dsTrack] = span(l.ThumbStart, end);
        l.Parts[dsSpaceLeft] = span(l.TrackStart, l.ThumbStart);
        l.Parts[dsSpaceRight] = span(end, trackEnd);
    }
    return l;
}

TButtonState TZuScrollBar::PartState(TDrawScrollBar part) const {
    if (!isEnabled())
        return bsDisabled;
    if (pressedPart_ >= 0) {
        if (part != pressedPart_)
            return bsExclusive;
        const bool arrow = part == dsLeftBtn || part == dsRightBtn;
        return !arrow || mouseOverPressed_ ? bsDown : bsExclusive;
    }
    return part == hoverPart_ ? bsUp : bsExclusive;
}

void TZuScrollBar::PaintImage(TZuBitmap32& canvas) {
    const TZuScrollBarLayout l = Layout();
    const TColor32 barColor = Color32(Color());
    for (int i = 0; i < kScrollBarPartCount; ++i) {
        const auto part = TDrawScrollBar(i);
        const TZuRect& r = l.Parts[part];
        if (r.IsEmpty())
            continue;
        if (ownerDraw_ && OnDrawControl)
            OnDrawControl(canvas, part, r, PartState(part));
        else
            ZuDrawFlatScrollBarPart(canvas, kind_, part, r, PartState(part), barColor,
                                    pressedPart_ >= 0);
    }
}

void TZuScrollBar::Report(bool first, TScrollCode code, TScrollMode mode, int change) {
    if (OnScroll)
        OnScroll(*this, first, code, mode, change);
}

bool TZuScrollBar::StepHeld(bool first) {
    int delta = 0;
    TScrollCode code = scLine;
    switch (pressedPart_) {
    case dsLeftBtn:
        delta = -smallChange_;
        break;
    case dsRightBtn:
        delta = smallChange_;
        break;
    case dsSpaceLeft:
        delta = -largeChange_;
        code = scPage;
        break;
    case dsSpaceRight:
        delta = largeChange_;
        code = scPage;
        break;
    default:
        return false;
    }
    const int old = range_.Position;
    const int next = ZuStepPosition(Range(), delta);
    if (next == old)
        return false;
    SetPosition(next);
    Report(first, code, next < old ? smBackward : smForward, std::abs(next - old));
    return true;
}

void TZuScrollBar::RepeatTimer() {
    repeat_.setInterval(kRepeatInterval);
    const bool space = pressedPart_ == dsSpaceLeft || pressedPart_ == dsSpaceRight;
    if (pressedPart_ < 0 || (space && !mouseOverPressed_))
        return;
    StepHeld(false);
}

void TZuScrollBar::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button == Qt::LeftButton && isEnabled()) {
        const TZuScrollBarLayout l = Layout();
        const int part = ZuScrollBarPartAt(l, x, y);
        if (part >= 0) {
            pressedPart_ = part;
            mouseOverPressed_ = true;
            if (part == dsTrack) {
                const int along = kind_ == sbVertical ? y : x;
                dragGrab_ = along - l.ThumbStart;
                dragThumbStart_ = l.ThumbStart;
            } else {
                StepHeld(true);
                repeat_.start(firstDelay_);
            }
            update();
        }
    }
    TZuGraphicControlEx::MouseDown(button, shift, x, y);
}

void TZuScrollBar::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    const TZuScrollBarLayout l = Layout();
    const int under = ZuScrollBarPartAt(l, x, y);
    if (pressedPart_ == dsTrack) {
        const int along = kind_ == sbVertical ? y : x;
        const int travel = std::max(0, l.TrackLength - l.ThumbLength);
        const int start = std::clamp(along - dragGrab_, l.TrackStart, l.TrackStart + travel);
        if (start != dragThumbStart_) {
            dragThumbStart_ = start;
            const int old = range_.Position;
            const int next = ZuPositionFromThumb(l, Range(), start);
            update();
            if (next != old) {
                SetPosition(next);
                Report(false, scTrack, next < old ? smBackward : smForward, std::abs(next - old));
            }
        }
    } else if (pressedPart_ >= 0) {
        const bool over = under == pressedPart_;
        if (over != mouseOverPressed_) {
            mouseOverPressed_ = over;
            update();
        }
    } else {
        SetHoverPart(under);
    }
    TZuGraphicControlEx::MouseMove(shift, x, y);
}

void TZuScrollBar::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button == Qt::LeftButton && pressedPart_ >= 0) {
        EndPress();
        SetHoverPart(ZuScrollBarPartAt(Layout(), x, y));
    }
    TZuGraphicControlEx::MouseUp(button, shift, x, y);
}

void TZuScrollBar::EndPress() {
    repeat_.stop();
    pressedPart_ = -1;
    dragThumbStart_ = -1;
    mouseOverPressed_ = false;
    update();
}

void TZuScrollBar::SetHoverPart(int part) {
    if (part != hoverPart_) {
        hoverPart_ = part;
        update();
    }
}

void TZuScrollBar::MouseLeave() {
    SetHoverPart(-1);
    TZuGraphicControlEx::MouseLeave();
}

void TZuScrollBar::changeEvent(QEvent* event) {
    TZuGraphicControlEx::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled() && pressedPart_ >= 0)
            EndPress();
        update();
        if (OnEnabledChange)
            OnEnabledChange(*this);
    }
}

} // namespace tunola
