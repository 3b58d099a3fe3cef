#include "ZuWindow.h"

#include "ZuBandPaint.h"
#include "ZuForm.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace tunola {

TZuWindow::TZuWindow(QWidget* parent) : TZuGraphicControlEx(parent) {
    unsetCursor(); // the form's cursor shows through (the edge hit-test sets it)
    // Hover moves must reach it so that, disabled by the skin, it hands them on to the form
    // (whose edge hit-test sets the cursor); the platform drops them at a control that does
    // not track the mouse.
    setMouseTracking(true);
    AttachToParent();
}

TZuWindow::~TZuWindow() {
    if (watchedParent_)
        watchedParent_->removeEventFilter(this);
    if (auto* form = qobject_cast<TZuFormEx*>(watchedParent_.data()))
        form->DetachBackground(this);
}

void TZuWindow::SetAlign(TZuAlign align) {
    if (align_ == align)
        return;
    align_ = align;
    FollowParent();
}

void TZuWindow::SetPiece(TZuPiece& piece, TZuPiece value) {
    if (piece == value)
        return;
    piece = value;
    FrameChanged();
}

void TZuWindow::SetTopLeft(int16_t x, int16_t y, int16_t w, int16_t h) {
    SetPiece(pieces_.TopLeft, {x, y, w, h});
}

void TZuWindow::SetTopMiddle(int16_t x, int16_t y, int16_t w, int16_t h) {
    SetPiece(pieces_.TopMiddle, {x, y, w <= 0 ? int16_t(5) : w, h});
}

void TZuWindow::SetTopRight(int16_t x, int16_t y, int16_t w, int16_t h) {
    SetPiece(pieces_.TopRight, {x, y, w, h});
}

void TZuWindow::SetBottomLeft(int16_t x, int16_t y, int16_t w, int16_t h) {
    SetPiece(pieces_.BottomLeft, {x, y, w, h});
}

void TZuWindow::SetBottomMiddle(int16_t x, int16_t y, int16_t w, int16_t h) {
    SetPiece(pieces_.BottomMiddle, {x, y, w <= 0 ? int16_t(5) : w, h});
}

void TZuWindow::SetBottomRight(int16_t x, int16_t y, int16_t w, int16_t h) {
    SetPiece(pieces_.BottomRight, {x, y, w, h});
}

void TZuWindow::SetLeftMiddle(int16_t x, int16_t y, int16_t w, int16_t h) {
    SetPiece(pieces_.LeftMiddle, {x, y, w, h <= 0 ? int16_t(5) : h});
}

void TZuWindow::SetRightMiddle(int16_t x, int16_t y, int16_t w, int16_t h) {
    SetPiece(pieces_.RightMiddle, {x, y, w, h});
}

void TZuWindow::SetTitleCenter(int16_t x, int16_t y, int16_t w, int16_t h) {
    SetPiece(pieces_.TitleCenter, {x, y, w, h});
}

void TZuWindow::RebuildRegions(bool apply) {
    cutOuts_.reset();
    QWidget* target = parentWidget() ? parentWidget() : this;
    if (!apply) {
        target->clearMask();
        return;
    }
    cutOuts_ = CornerCutOuts(Image(), pieces_);
    ApplyShape();
}

void TZuWindow::ApplyShape() {
    if (!cutOuts_)
        return;
    QWidget* target = parentWidget() ? parentWidget() : this;
    target->setMask(WindowShape(target->size(), *cutOuts_, pieces_));
}

void TZuWindow::PaintFrameArea(TZuBitmap32& surface, int32_t left, int32_t top) const {
    PaintWindowFrameArea(surface, left, top, width(), height(), Color32(Color()), Image(),
                         pieces_);
}

void TZuWindow::PaintFrame(QPainter& painter, const QRegion& region) const {
    // The thread's band serves every window (a paint allocates nothing once it is wide
    // enough); each rectangle of the region is composed into it a few rows at a time and drawn
    // clipped to those rows.
    TZuBitmap32& band = ThreadPaintBand();
    const QRect inside = rect();
    for (const QRect& r : region)
        PaintThroughBand(band, kThreadBandPixels, painter, r & inside, [&](const QRect& strip) {
            PaintFrameArea(band, strip.left(), strip.top());
        });
}

void TZuWindow::FrameChanged() {
    update();
}

void TZuWindow::PictureChanged() {
    FrameChanged();
}

void TZuWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintFrame(painter, event->region());
}

void TZuWindow::resizeEvent(QResizeEvent* event) {
    TZuGraphicControlEx::resizeEvent(event);
    FrameChanged();
    ApplyShape();
}

bool TZuWindow::event(QEvent* event) {
    if (event->type() == QEvent::ParentAboutToChange) {
        if (watchedParent_)
            watchedParent_->removeEventFilter(this);
        if (auto* form = qobject_cast<TZuFormEx*>(watchedParent_.data()))
            form->DetachBackground(this);
        watchedParent_ = nullptr;
    } else if (event->type() == QEvent::ParentChange) {
        AttachToParent();
    }
    return TZuGraphicControlEx::event(event);
}

bool TZuWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedParent_ && event->type() == QEvent::Resize)
        FollowParent();
    return TZuGraphicControlEx::eventFilter(watched, event);
}

void TZuWindow::AttachToParent() {
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    watchedParent_ = parent;
    parent->installEventFilter(this);
    if (auto* form = qobject_cast<TZuFormEx*>(parent))
        form->AttachBackground(this);
    // The background lies under every other control and is painted before them.
    lower();
    FrameChanged();
    FollowParent();
}

void TZuWindow::FollowParent() {
    if (align_ == TZuAlign::alClient && parentWidget())
        setGeometry(parentWidget()->rect());
}

} // namespace tunola
