#pragma once
// TZuForm: a borderless top-level window that moves and sizes itself. A left press on its
// background (where the form shows the default cursor) starts a move; HitTestBorder, called
// by the window's OnMouseDown, starts a resize from a border zone. Both loops run here, press
// to release, and every position they propose goes through the snapping rules (ZuFormSnap.h):
// the form sticks to the work area's edges and to the other visible borderless forms, and a
// leader (Tag 1) carries the forms docked to it. Holding Shift turns snapping off and leaves
// the group behind for the rest of the move.
//
// The other forms are found among the application's top-level widgets, ordered by when their
// windows were made; a top-level widget that is no form is a snap target too when it carries a
// "zuSnapTag" property (its Tag, normally 3).
//
// TZuFormEx adds the backdrop: the graphic controls on the form start each paint from the
// part of the window background (TZuWindow) under them, which the background paints for just
// that part. No picture of the whole frame is kept: the skin's picture and the pieces make any
// part of it again, and three windows' frames would cost a megabyte.

#include "ZuBitmap32.h"
#include "ZuBorderHitTest.h"
#include "ZuControlBase.h"

#include <QPointer>

#include <vector>

namespace tunola {

class TZuWindow;

class TZuForm : public TZuControlBase {
    Q_OBJECT
public:
    // A top-level window without a frame (or a frameless child of `parent`'s window).
    explicit TZuForm(QWidget* parent = nullptr);
    ~TZuForm() override;

    // How close (in pixels) an edge must come to snap.
    static constexpr int SnapBuffer() { return 10; }

    bool Borderless() const;
    // Set while the user moves or sizes a leader and its group follows.
    bool Moving() const { return moving_; }
    // A move or size loop of this form is running.
    bool InMoveSizeLoop() const { return loop_ != Loop::None; }

    // Start a loop for a press that is still held at screen point `globalPos`; the loop ends
    // with the release. Do nothing while a loop runs.
    void StartMoveLoop(QPoint globalPos);
    void StartSizeLoop(TZuBorderZone zone, QPoint globalPos);
    // A whole drag by `delta` in `steps` moves, as the mouse would make it from a press on the
    // background to its release (snapping, the group a leader carries); for scripts and tests
    // that drive the player. Does nothing while a loop runs.
    void DragBy(QPoint delta, int steps = 8);

    // Applies the position rules to proposed bounds (in screen coordinates) and moves the form
    // (and, for a leader, its group) there. `shift` are the keys held.
    void ProposeGeometry(const QRect& proposal, Qt::KeyboardModifiers shift,
                         TZuDragEdges edges = {});

protected:
    // Dragging from the background; every other press goes to OnMouseDown.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;

    // Start and end of a move or size loop: group forming and release.
    virtual void EnterMoveSizeLoop();
    virtual void ExitMoveSizeLoop();

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum class Loop { None, Move, Size };

    bool CanDrag(Qt::MouseButton button) const;
    void BeginLoop(Loop loop, TZuBorderZone zone, QPoint globalPos);
    void FollowMouse(QPoint globalPos, Qt::KeyboardModifiers shift);
    void EndLoop();
    void ReleaseGroup();
    // The other visible forms, in the order their windows were made.
    std::vector<TZuForm*> OtherForms() const;

    bool moving_ = false;
    Loop loop_ = Loop::None;
    TZuBorderZone zone_ = TZuBorderZone::None;
    QPoint pressGlobal_;
    QRect startBounds_;
};

class TZuFormEx : public TZuForm {
    Q_OBJECT
public:
    explicit TZuFormEx(QWidget* parent = nullptr);
    ~TZuFormEx() override;

    // Where the background lies on the form (form coordinates); empty without one.
    TZuRect BackdropBounds() const;
    // Paints what the background shows under `canvas` placed with its top-left corner at
    // (left, top) of the form; canvas pixels off the background are left as they are.
    void PaintBackdrop(TZuBitmap32& canvas, int32_t left, int32_t top) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class TZuWindow;
    // The background that paints the backdrop.
    void AttachBackground(TZuWindow* window);
    void DetachBackground(TZuWindow* window);
    TZuWindow* Background() const;

    QPointer<QWidget> background_; // a TZuWindow
};

// The edge hit-test of a borderless form at client point (x, y) with border width
// `borderWidth`: on a border zone the form's cursor becomes the zone's and, when `act`, a
// resize from that zone starts; the result is then false. Elsewhere the form gets the default
// cursor and the result is `act`.
bool HitTestBorder(TZuForm& form, int x, int y, bool act, int borderWidth);

} // namespace tunola
