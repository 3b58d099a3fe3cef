// TZuListControl: its properties, the rows' bookkeeping and painting. The mouse and keys are in
// ZuListControlInput.cpp, the scrolling (animation, drag-outside, wheel) in
// ZuListControlScroll.cpp.

#include "ZuListControl.h"

#include "ZuPixelCopy.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace tunola {

TZuListControl::TZuListControl(QWidget* parent) : TZuCustomControl(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    bar_ = new TZuScrollBar(this);
    bar_->SetScrollBarKind(sbVertical);
    bar_->SetFirstDelay(kBarFirstDelay);
    bar_->SetColor(clBtnFace);
    bar_->OnScroll = [this](QWidget&, bool start, TScrollCode code, TScrollMode mode, int change) {
        BarScrolled(start, code, mode, change);
    };
    autoScroll_.callOnTimeout(this, [this] { AutoScrollTick(); });
    wheelTimer_.setSingleShot(true);
    wheelTimer_.callOnTimeout(this, [this] { WheelBurstEnded(); });
    // The frames' pauses are short; a coarse timer would stretch or bunch them.
    animation_.setTimerType(Qt::PreciseTimer);
    autoScroll_.setTimerType(Qt::PreciseTimer);
    animation_.callOnTimeout(this, [this] { AnimationTick(); });
    resize(180, 180);
    Relayout();
}

TZuListControl::~TZuListControl() = default;

TZuListGeometry TZuListControl::Geometry() const {
    return ZuListGeometryOf(width(), height(), count_, itemHeight_, LayoutStyle(), topIndex_);
}

void TZuListControl::Relayout() {
    const TZuListGeometry g = Geometry();
    bar_->setGeometry(g.Bar.Left, g.Bar.Top, int(g.Bar.Width()), int(g.Bar.Height()));
    bar_->SetRange(0, count_, g.Page);
    bar_->SetLargeChange(uint16_t(std::clamp(g.Page, 0, 0xFFFF)));
    bar_->setVisible(g.BarEnabled);
    const int top = ZuClampTopIndex(topIndex_, count_, g.Page, g.BarEnabled);
    if (top != topIndex_) {
        topIndex_ = top;
        bar_->SetPosition(top);
    }
    update();
}

void TZuListControl::SetTopIndex(int top) {
    animation_.stop();
    const TZuListGeometry g = Geometry();
    top = ZuClampTopIndex(top, count_, g.Page, g.BarEnabled);
    if (top == topIndex_)
        return;
    topIndex_ = top;
    bar_->SetPosition(top);
    update();
}

void TZuListControl::SetItemIndex(int index) {
    SetItemIndexInternal(index, true);
}

void TZuListControl::SetActiveItem(int index) {
    if (index == activeItem_)
        return;
    activeItem_ = index;
    update();
}

void TZuListControl::SetItemHeight(int height) {
    if (height < 1)
        throw EZuListError("Can not Set ItemHeight < 1.");
    if (height == itemHeight_)
        return;
    FinishScrolling();
    itemHeight_ = height;
    Relayout();
}

void TZuListControl::SetMultiSelect(bool multiSelect) {
    if (multiSelect == multiSelect_)
        return;
    multiSelect_ = multiSelect;
    if (!multiSelect_)
        SelectOnly(itemIndex_);
    update();
}

void TZuListControl::SetOwnerDraw(bool ownerDraw) {
    if (ownerDraw == ownerDraw_)
        return;
    ownerDraw_ = ownerDraw;
    bar_->SetOwnerDraw(ownerDraw);
    update();
}

bool TZuListControl::Selected(int index) const {
    return index >= 0 && index < count_ && selected_[size_t(index)] != 0;
}

void TZuListControl::SetSelected(int index, bool selected) {
    if (index < 0 || index >= count_ || Selected(index) == selected)
        return;
    if (!multiSelect_) {
        // One row at most: selecting a row makes it the selected row.
        SetItemIndexInternal(selected ? index : -1, true);
        return;
    }
    selected_[size_t(index)] = selected ? 1 : 0;
    update();
}

int TZuListControl::SelCount() const {
    return int(std::count(selected_.begin(), selected_.end(), uint8_t(1)));
}

void TZuListControl::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    update();
}

void TZuListControl::SetFontColor(TColor color) {
    if (color == fontColor_)
        return;
    fontColor_ = color;
    update();
}

int TZuListControl::ItemAtPos(QPoint p) const {
    return Geometry().ItemAt(p.x(), p.y(), pressed_);
}

TListItemStates TZuListControl::ItemState(int index) const {
    TListItemStates state;
    if (index == activeItem_)
        state |= isActive;
    if (Selected(index))
        state |= isSelected;
    if (!isEnabled()) {
        state |= isDisabled;
    } else if (pressed_) {
        if (index == anchorRow_ && index == hotRow_)
            state |= isDown;
    } else if (index == hotRow_) {
        state |= isUp;
    }
    if (index == focusRow_ && hasFocus())
        state |= isFocused;
    return state;
}

void TZuListControl::SetOnDrawScrollBar(TZuDrawScrollBarEvent handler) {
    bar_->OnDrawControl = std::move(handler);
    bar_->update();
}

void TZuListControl::DrawScrollBarWithStyle() {
    bar_->SetOwnerDraw(true);
    bar_->OnDrawControl = [this](TZuBitmap32& cav, TDrawScrollBar part, const TZuRect& r,
                                 TButtonState state) { DrawScrollBarPart(cav, part, r, state); };
}

void TZuListControl::DrawItem(TZuBitmapEx32& cav, int, const TZuRect& r, TListItemStates) {
    cav.FillRect(r, Color32(color_));
}

void TZuListControl::DrawFrame(TZuBitmap32&) {}

void TZuListControl::DrawScrollBarPart(TZuBitmap32& cav, TDrawScrollBar part, const TZuRect& r,
                                       TButtonState state) {
    ZuDrawFlatScrollBarPart(cav, sbVertical, part, r, state, Color32(bar_->Color()),
                            bar_->PressedPart() >= 0);
}

// --- rows as the items change -------------------------------------------------------------

void TZuListControl::RowsInserted(int index, int count) {
    if (count <= 0)
        return;
    index = std::clamp(index, 0, count_);
    const bool append = index == count_;
    selected_.insert(selected_.begin() + index, size_t(count), uint8_t(0));
    count_ += count;
    if (!append) {
        // The special rows stay with their rows.
        for (int* row : {&itemIndex_, &focusRow_, &anchorRow_, &activeItem_})
            if (*row >= index)
                *row += count;
        hotRow_ = -1;
    }
    Relayout();
}

void TZuListControl::RowDeleted(int index) {
    if (index < 0 || index >= count_)
        return;
    FinishScrolling();
    selected_.erase(selected_.begin() + index);
    savedSelected_.clear();
    --count_;
    for (int* row : {&itemIndex_, &focusRow_, &anchorRow_, &activeItem_}) {
        if (*row == index)
            *row = -1;
        else if (*row > index)
            --*row;
    }
    hotRow_ = -1;
    dragRow_ = -1;
    Relayout();
}

void TZuListControl::RowMoved(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= count_ || to >= count_)
        return;
    const uint8_t bit = selected_[size_t(from)];
    selected_.erase(selected_.begin() + from);
    selected_.insert(selected_.begin() + to, bit);
    for (int* row : {&itemIndex_, &focusRow_, &anchorRow_, &activeItem_}) {
        if (*row == from)
            *row = to;
        else if (from<to&& * row> from && *row <= to)
            --*row;
        else if (from > to && *row >= to && *row < from)
            ++*row;
    }
    hotRow_ = -1;
    update();
}

void TZuListControl::RowChanged(int index) {
    const TZuListGeometry g = Geometry();
    if (index >= g.TopIndex && index <= g.LastPainted()) {
        const TZuRect r = g.ItemRect(index);
        update(r.Left, r.Top, int(r.Width()), int(r.Height()));
    }
}

void TZuListControl::RowsCleared() {
    animation_.stop();
    EndPress();
    selected_.clear();
    savedSelected_.clear();
    count_ = 0;
    itemIndex_ = anchorRow_ = hotRow_ = focusRow_ = dragRow_ = -1;
    topIndex_ = 0;
    bar_->SetPosition(0);
    Relayout();
}

void TZuListControl::RowsReplaced(int count) {
    RowsCleared();
    RowsInserted(0, count);
    SetTopIndex(0);
}

// --- painting -------------------------------------------------------------------------------

void TZuListControl::PaintRows(TZuBitmapEx32& cav, const TZuListGeometry& g, int64_t viewTopPx) {
    // Rows are drawn whole in client coordinates into the back buffer, which ends at the item
    // area's bottom; only the item area goes on, so the frame around it stays untouched.
    const TColor32 back = Color32(color_);
    if (count_ == 0 || g.Area.IsEmpty()) {
        cav.FillRect(g.Area, back);
        return;
    }
    back_.SetSize(g.Area.Right + 1, g.Area.Bottom);
    if (back_.Empty())
        return;
    back_.SetFont(cav.Font());
    back_.SetFontColor(cav.FontColor());
    back_.FillRect(g.Area, back);
    const int h = g.ItemHeight;
    const int64_t first = std::max<int64_t>(0, viewTopPx / h);
    const int64_t last =
        std::min<int64_t>(int64_t(count_) - 1, (viewTopPx + g.Area.Height() - 1) / h);
    const bool custom = ownerDraw_ && OnItemDraw;
    for (int64_t i = first; i <= last; ++i) {
        const int index = int(i);
        const int64_t top = g.Area.Top + i * h - viewTopPx;
        const TZuRect r = ZuBounds(g.Area.Left, int(top), int(g.Area.Width()), h);
        if (custom)
            OnItemDraw(back_, index, r, ItemState(index));
        else
            DrawItem(back_, index, r, ItemState(index));
    }
    CopyPixels(cav, g.Area.Left, g.Area.Top, back_, g.Area);
}

void TZuListControl::paintEvent(QPaintEvent*) {
    if (updating_)
        return;
    canvas_.SetSize(width(), height());
    if (canvas_.Empty())
        return;
    canvas_.SetFont(font());
    canvas_.SetFontColor(isEnabled() ? fontColor_ : clGradientInactiveCaption);
    DrawFrame(canvas_);
    const TZuListGeometry g = Geometry();
    int64_t viewTopPx = int64_t(topIndex_) * g.ItemHeight;
    if (animation_.isActive()) {
        const int offset = animScroll_.Offset(animFrame_);
        viewTopPx =
            int64_t(animFrom_) * g.ItemHeight + (animTarget_ >= animFrom_ ? offset : -offset);
    }
    PaintRows(canvas_, g, viewTopPx);
    QPainter screen(this);
    canvas_.CopyToDC(screen, 0, 0);
}

void TZuListControl::hideEvent(QHideEvent* event) {
    // No timer runs for a list nobody sees.
    FinishScrolling();
    EndPress();
    TZuCustomControl::hideEvent(event);
}

void TZuListControl::resizeEvent(QResizeEvent* event) {
    TZuCustomControl::resizeEvent(event);
    FinishScrolling();
    Relayout();
}

} // namespace tunola
