#include "ZuForm.h"

#include "ZuFormSnap.h"
#include "ZuWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace tunola {

namespace {

// Every top-level form of the application but `self`, in the order their windows were made
// (forms without a window yet last), so that snapping does not depend on hashing.
std::vector<TZuForm*> FormsBesides(const TZuForm* self) {
    std::vector<TZuForm*> forms;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<TZuForm*>(widget); form && form != self)
            forms.push_back(form);
    const QWindowList windows = QGuiApplication::topLevelWindows();
    auto rank = [&windows](const TZuForm* form) {
        const qsizetype i = form->windowHandle() ? windows.indexOf(form->windowHandle()) : -1;
        return i < 0 ? windows.size() : i;
    };
    std::stable_sort(forms.begin(), forms.end(),
                     [&rank](const TZuForm* a, const TZuForm* b) { return rank(a) < rank(b); });
    return forms;
}

bool Shown(const QWidget* widget) {
    return widget->isVisible() && !widget->isMinimized();
}

// Other top-level windows that ask to be snapped to (a "zuSnapTag" property with their role),
// though they are no forms of ours: the desktop lyrics, say.
void AddSnapWindows(std::vector<TZuFormPlace>& places) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<TZuForm*>(widget) || !Shown(widget))
            continue;
        const QVariant tag = widget->property("zuSnapTag");
        if (tag.isValid())
            places.push_back({widget->geometry(), tag.toInt()});
    }
}

} // namespace

TZuForm::TZuForm(QWidget* parent) : TZuControlBase(parent, Qt::Window | Qt::FramelessWindowHint) {
    // Hover moves reach the window's handlers (the edge hit-test shows its cursors).
    setMouseTracking(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

TZuForm::~TZuForm() = default;

bool TZuForm::Borderless() const {
    return windowFlags().testFlag(Qt::FramelessWindowHint);
}

bool TZuForm::CanDrag(Qt::MouseButton button) const {
    return Borderless() && button == Qt::LeftButton && !isMinimized() && !isMaximized() &&
           !isFullScreen() && cursor().shape() == Qt::ArrowCursor;
}

void TZuForm::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (CanDrag(button)) {
        StartMoveLoop(mapToGlobal(QPoint(x, y)));
        return;
    }
    DoMouseDown(button, shift, x, y);
}

void TZuForm::mouseDoubleClickEvent(QMouseEvent* event) {
    // The window's own press handling (the edge hit-test) ignores double clicks; a drag that
    // starts with one still moves the window.
    if (CanDrag(event->button()))
        StartMoveLoop(event->globalPosition().toPoint());
}

void TZuForm::StartMoveLoop(QPoint globalPos) {
    BeginLoop(Loop::Move, TZuBorderZone::None, globalPos);
}

void TZuForm::DragBy(QPoint delta, int steps) {
    if (loop_ != Loop::None)
        return;
    const QPoint press = geometry().center();
    BeginLoop(Loop::Move, TZuBorderZone::None, press);
    steps = std::max(steps, 1);
    for (int i = 1; i <= steps; ++i)
        FollowMouse(press + delta * i / steps, Qt::NoModifier);
    EndLoop();
}

void TZuForm::StartSizeLoop(TZuBorderZone zone, QPoint globalPos) {
    if (zone != TZuBorderZone::None)
        BeginLoop(Loop::Size, zone, globalPos);
}

void TZuForm::BeginLoop(Loop loop, TZuBorderZone zone, QPoint globalPos) {
    if (loop_ != Loop::None)
        return;
    loop_ = loop;
    zone_ = zone;
    pressGlobal_ = globalPos;
    startBounds_ = geometry();
    // The press may have landed on a child; the rest of the drag comes here.
    grabMouse();
    EnterMoveSizeLoop();
}

void TZuForm::mouseMoveEvent(QMouseEvent* event) {
    if (loop_ == Loop::None) {
        TZuControlBase::mouseMoveEvent(event);
        return;
    }
    FollowMouse(event->globalPosition().toPoint(), event->modifiers());
}

void TZuForm::mouseReleaseEvent(QMouseEvent* event) {
    if (loop_ == Loop::None) {
        TZuControlBase::mouseReleaseEvent(event);
        return;
    }
    if (!event->buttons().testFlag(Qt::LeftButton))
        EndLoop();
}

void TZuForm::hideEvent(QHideEvent* event) {
    if (loop_ != Loop::None)
        EndLoop();
    TZuControlBase::hideEvent(event);
}

void TZuForm::FollowMouse(QPoint globalPos, Qt::KeyboardModifiers shift) {
    const QPoint delta = globalPos - pressGlobal_;
    if (loop_ == Loop::Move) {
        ProposeGeometry(startBounds_.translated(delta), shift);
        return;
    }
    ProposeGeometry(ResizeProposal(startBounds_, zone_, delta, minimumSize(), maximumSize()), shift,
                    ZoneEdges(zone_));
}

void TZuForm::EndLoop() {
    loop_ = Loop::None;
    zone_ = TZuBorderZone::None;
    releaseMouse();
    ExitMoveSizeLoop();
}

void TZuForm::EnterMoveSizeLoop() {
    if (Tag() != kZuTagLeader)
        return;
    moving_ = true;
    std::vector<TZuForm*> forms = OtherForms();
    std::vector<TZuFormPlace> places;
    places.reserve(forms.size());
    for (const TZuForm* form : forms)
        places.push_back({form->geometry(), form->Tag()});
    const std::vector<int> tags = FormGroup(geometry(), places);
    for (size_t i = 0; i < forms.size(); ++i)
        forms[i]->SetTag(tags[i]);
}

void TZuForm::ExitMoveSizeLoop() {
    moving_ = false;
    if (Tag() == kZuTagLeader)
        ReleaseGroup();
}

void TZuForm::ReleaseGroup() {
    moving_ = false;
    // Hidden members too: a form hidden during the move must not stay a member for ever.
    for (TZuForm* form : FormsBesides(this))
        if (form->Tag() == kZuTagMember)
            form->SetTag(kZuTagFree);
}

std::vector<TZuForm*> TZuForm::OtherForms() const {
    std::vector<TZuForm*> forms = FormsBesides(this);
    std::erase_if(forms, [](const TZuForm* form) { return !Shown(form); });
    return forms;
}

void TZuForm::ProposeGeometry(const QRect& proposal, Qt::KeyboardModifiers shift,
                              TZuDragEdges edges) {
    if (isMinimized() || isMaximized() || Tag() == kZuTagMember) {
        setGeometry(proposal);
        return;
    }
    if (shift.testFlag(Qt::ShiftModifier)) {
        // The rest of this move is done alone.
        if (moving_)
            ReleaseGroup();
        setGeometry(proposal);
        return;
    }
    std::vector<TZuForm*> forms = OtherForms();
    std::erase_if(forms, [](const TZuForm* form) { return !form->Borderless(); });
    std::vector<TZuFormPlace> places;
    places.reserve(forms.size());
    for (const TZuForm* form : forms)
        places.push_back({form->geometry(), form->Tag()});
    AddSnapWindows(places);

    TZuSnapInput input;
    input.Proposal = proposal;
    input.Tag = Tag();
    if (const QScreen* s = screen())
        input.WorkArea = s->availableGeometry();
    input.SnapBuffer = SnapBuffer();
    input.Edges = edges;
    input.MinSize = minimumSize();
    input.MaxSize = maximumSize();
    const QRect snapped = SnapProposal(input, places);

    // The group moves by what the leader finally moves, so it stays together even while the
    // leader is held by a snap.
    if (Tag() == kZuTagLeader) {
        const QPoint delta = snapped.topLeft() - geometry().topLeft();
        if (!delta.isNull())
            for (TZuForm* form : OtherForms())
                if (form->Tag() == kZuTagMember)
                    form->move(form->pos() + delta);
    }
    setGeometry(snapped);
}

TZuFormEx::TZuFormEx(QWidget* parent) : TZuForm(parent) {
    // Every paint covers what it is given: nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

TZuFormEx::~TZuFormEx() = default;

TZuWindow* TZuFormEx::Background() const {
    return static_cast<TZuWindow*>(background_.data());
}

TZuRect TZuFormEx::BackdropBounds() const {
    const TZuWindow* window = Background();
    return window ? ZuBounds(0, 0, window->width(), window->height()) : TZuRect{};
}

void TZuFormEx::PaintBackdrop(TZuBitmap32& canvas, int32_t left, int32_t top) const {
    if (const TZuWindow* window = Background())
        window->PaintFrameArea(canvas, left, top);
}

void TZuFormEx::AttachBackground(TZuWindow* window) {
    background_ = window;
}

void TZuFormEx::DetachBackground(TZuWindow* window) {
    if (background_ == window)
        background_ = nullptr;
}

void TZuFormEx::paintEvent(QPaintEvent* event) {
    // The background normally covers the form and paints itself; this is for what it leaves.
    QPainter painter(this);
    const TZuRect b = BackdropBounds();
    const QRegion onBackground = event->region() & QRect(b.Left, b.Top, int(b.Width()),
                                                         int(b.Height()));
    if (const TZuWindow* window = Background(); window && !onBackground.isEmpty())
        window->PaintFrame(painter, onBackground);
    // Whatever the background does not cover stays black.
    for (const QRect& r : event->region() - onBackground)
        painter.fillRect(r, Qt::black);
}

bool HitTestBorder(TZuForm& form, int x, int y, bool act, int borderWidth) {
    const TZuBorderZone zone = BorderZoneAt(form.size(), QPoint(x, y), borderWidth);
    if (zone == TZuBorderZone::None) {
        if (form.testAttribute(Qt::WA_SetCursor))
            form.unsetCursor();
        return act;
    }
    const Qt::CursorShape shape = BorderCursor(zone);
    if (!form.testAttribute(Qt::WA_SetCursor) || form.cursor().shape() != shape)
        form.setCursor(shape);
    if (act)
        form.StartSizeLoop(zone, form.mapToGlobal(QPoint(x, y)));
    return false;
}

} // namespace tunola
