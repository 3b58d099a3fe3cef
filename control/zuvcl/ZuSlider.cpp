#include "ZuSlider.h"

#include <QResizeEvent>

#include <algorithm>

namespace tunola {

TZuSlider::TZuSlider(QWidget* parent) : TZuPictureControl(parent) {
    // Hovering highlights the thumb.
    setMouseTracking(true);
}

TZuSliderMetrics TZuSlider::Metrics() const {
    TZuSliderMetrics m;
    m.Kind = kind_;
    m.Style = style_;
    m.Width = width();
    m.Height = height();
    m.SliderW = sliderW_;
    m.SliderH = sliderH_;
    m.Min = min_;
    m.Max = max_;
    m.CenterMiddle = centerMiddle_;
    return m;
}

int TZuSlider::ValueToPosition(int64_t value) const {
    const int64_t position = kind_ == skHorizontal ? min_ + value : max_ - value;
    return int(std::clamp<int64_t>(position, std::min(min_, max_), std::max(min_, max_)));
}

int TZuSlider::Position() const {
    if (style_ == ssRotator)
        return int(value_);
    return ValueToPosition(PixelToValue(Metrics(), offset_));
}

void TZuSlider::SetPosition(int position) {
    if (style_ == ssSimple && dragging_)
        return;
    position = std::clamp(position, min_, std::max(min_, max_));
    const TZuSliderMetrics m = Metrics();
    int64_t value = position;
    int offset = 0;
    if (style_ == ssRotator) {
        offset = ValueToPixel(m, value);
    } else {
        value = kind_ == skHorizontal ? value - min_ : max_ - value;
        offset = ValueToPixel(m, value);
    }
    // The playback timer sets the position thirty times a second: only a change repaints.
    if (value == value_ && offset == offset_)
        return;
    value_ = value;
    offset_ = offset;
    if (!dragging_)
        preview_ = offset_;
    Changed();
}

int8_t TZuSlider::Percentage() const {
    return int8_t(PercentageOf(Metrics(), value_));
}

void TZuSlider::SetPercentage(int percentage) {
    const TZuSliderMetrics m = Metrics();
    const int64_t value = ValueForPercentage(m, percentage);
    const int offset = ValueToPixel(m, value);
    if (value == value_ && offset == offset_)
        return;
    value_ = value;
    offset_ = offset;
    if (!dragging_)
        preview_ = offset_;
    Changed();
}

void TZuSlider::Changed() {
    if (OnChange)
        OnChange(*this);
    update();
}

void TZuSlider::SetThumbState(TZuThumbState state) {
    if (thumbState_ == state)
        return;
    thumbState_ = state;
    update();
}

bool TZuSlider::DragsLive(Qt::KeyboardModifiers) const {
    return true;
}

bool TZuSlider::OverThumb(int x, int y) const {
    if (kind_ == skHorizontal)
        return x >= offset_ && x < offset_ + sliderW_ && y >= 0 && y < sliderH_;
    return x >= 0 && x < sliderW_ && y >= offset_ && y < offset_ + sliderH_;
}

int TZuSlider::SnapToGrid(int pixel) {
    const TZuSnapped snapped = SnapPixel(Metrics(), pixel);
    value_ = snapped.Value;
    return snapped.Pixel;
}

void TZuSlider::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button != Qt::LeftButton) {
        TZuGraphicControlEx::MouseDown(button, shift, x, y);
        return;
    }
    dragging_ = true;
    const int along = Axis(x, y);
    const int thumb = kind_ == skHorizontal ? sliderW_ : sliderH_;
    switch (style_) {
    case ssSimple:
        offset_ = SnapToGrid(along);
        preview_ = offset_;
        break;
    case ssComplex:
    case ssMix:
        preview_ = offset_;
        if (OverThumb(x, y)) {
            grab_ = along - offset_;
            thumbState_ = TZuThumbState::tsPressedThumb;
        } else {
            preview_ = SnapToGrid(along - thumb / 2);
            thumbState_ = TZuThumbState::tsPressedTrack;
        }
        if (DragsLive(shift))
            offset_ = preview_;
        break;
    case ssRotator:
        grab_ = y;
        break;
    }
    Changed();
    DoMouseDown(button, shift, x, y);
}

void TZuSlider::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    if (dragging_) {
        const int along = Axis(x, y);
        const int thumb = kind_ == skHorizontal ? sliderW_ : sliderH_;
        const int64_t before[3] = {offset_, preview_, value_};
        switch (style_) {
        case ssSimple:
            offset_ = SnapToGrid(along);
            preview_ = offset_;
            break;
        case ssComplex:
        case ssMix:
            preview_ = SnapToGrid(thumbState_ == TZuThumbState::tsPressedThumb ? along - grab_
                                                                               : along - thumb / 2);
            if (DragsLive(shift))
                offset_ = preview_;
            break;
        case ssRotator: {
            // Moving up turns the knob up, one unit per pixel.
            const TZuSnapped snapped = SnapRotator(Metrics(), value_ + (grab_ - y));
            grab_ = y;
            value_ = snapped.Value;
            offset_ = snapped.Pixel;
            preview_ = offset_;
            break;
        }
        }
        if (before[0] != offset_ || before[1] != preview_ || before[2] != value_)
            Changed();
    } else if (DragsThumb()) {
        SetThumbState(OverThumb(x, y) ? TZuThumbState::tsHighlighted : TZuThumbState::tsNormal);
    }
    DoMouseMove(shift, x, y);
}

void TZuSlider::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (dragging_ && button == Qt::LeftButton) {
        bool moved = false;
        if (DragsThumb()) {
            // The position is taken only now, unless the thumb has followed live.
            if (!DragsLive(shift) && offset_ != preview_) {
                offset_ = preview_;
                moved = true;
            }
            value_ = PixelToValue(Metrics(), offset_);
            preview_ = offset_;
            // Released, the thumb shows whether the pointer is still over it.
            thumbState_ = rect().contains(x, y) && OverThumb(x, y) ? TZuThumbState::tsHighlighted
                                                                   : TZuThumbState::tsNormal;
        }
        dragging_ = false;
        if (moved && OnChange)
            OnChange(*this);
        update();
        DoMouseUp(button, shift, x, y);
        return;
    }
    if (!dragging_ && button == Qt::RightButton && Popup().IsManual()) {
        if (DragsThumb())
            SetThumbState(TZuThumbState::tsNormal);
        Popup().PopupAt(mapToGlobal(QPoint(x, y)));
        return;
    }
    if (!dragging_)
        TZuGraphicControlEx::MouseUp(button, shift, x, y);
}

void TZuSlider::MouseLeave() {
    if (!dragging_ && DragsThumb())
        SetThumbState(TZuThumbState::tsNormal);
    TZuGraphicControlEx::MouseLeave();
}

void TZuSlider::hideEvent(QHideEvent* event) {
    // A drag whose release will never come ends here; the thumb keeps its place.
    if (dragging_) {
        dragging_ = false;
        if (style_ != ssRotator)
            value_ = PixelToValue(Metrics(), offset_);
        preview_ = offset_;
    }
    thumbState_ = TZuThumbState::tsNormal;
    TZuGraphicControlEx::hideEvent(event);
}

TZuSliderLook TZuSlider::Look() const {
    TZuSliderLook look;
    look.Kind = kind_;
    look.Style = style_;
    look.Width = width();
    look.Height = height();
    look.Offset = offset_;
    look.PreviewOffset = preview_;
    look.State = thumbState_;
    look.Normal = {normalX_, normalY_, sliderW_, sliderH_};
    look.Pressed = {pressedX_, pressedY_, sliderW_, sliderH_};
    look.Highlighted = {highlightedX_, highlightedY_, sliderW_, sliderH_};
    return look;
}

void TZuSlider::PaintImage(TZuBitmap32& canvas) {
    PaintSliderRows(canvas, Image(), Look());
}

TZuSliderBlend::TZuSliderBlend(QWidget* parent) : TZuSlider(parent) {}

int TZuSliderBlend::PositionEx() const {
    if (Style() == ssRotator)
        return Position();
    return ValueToPosition(PixelToValue(Metrics(), PreviewOffset()));
}

bool TZuSliderBlend::DragsLive(Qt::KeyboardModifiers shift) const {
    return shift.testFlag(Qt::ShiftModifier);
}

TZuSliderLook TZuSliderBlend::Look() const {
    TZuSliderLook look = TZuSlider::Look();
    look.ShowPreview = true;
    return look;
}

TZuSliderBlendEx::TZuSliderBlendEx(QWidget* parent) : TZuSliderBlend(parent) {}

TZuSliderLook TZuSliderBlendEx::Look() const {
    TZuSliderLook look = TZuSliderBlend::Look();
    look.TileA = tileA_;
    look.TileB = tileB_;
    look.Border = border_;
    return look;
}

void TZuSliderBlendEx::PaintImage(TZuBitmap32& canvas) {
    PaintSliderBlendEx(canvas, Image(), Look());
}

void TZuSliderBlendEx::resizeEvent(QResizeEvent* event) {
    TZuSliderBlend::resizeEvent(event);
    // A stretched slider keeps its value: the thumb moves to where the value now lies.
    if (Max() > 0)
        SetThumbOffset(ValueToPixel(Metrics(), StoredValue()));
}

} // namespace tunola
