#pragma once
// TZuScrollBar: the list box's scroll bar, a windowless-looking child control with two arrows,
// a thumb and the track spaces on either side (see ZuScrollBarMath.h for the layout). Not the
// playlist view's skinned bar, which lives in its own namespace.
//
// Mouse: a press on an arrow or a space makes one step at once (arrows SmallChange, spaces
// LargeChange, towards the pressed side); after FirstDelay the steps repeat every 50 ms while
// the button is held, a space only while the mouse is over it. The thumb follows a drag. Every
// step that moves the position goes to OnScroll, saying whether it was the first step of a
// press, a repeat or a drag; OnChange follows any change of Position.
//
// Drawing: each of the five parts is drawn either by OnDrawControl (OwnerDraw) or by the flat
// drawing below, which is also what the list box's flat style uses. UI thread only.

#include "ZuBitmap32.h"
#include "ZuGraphicControl.h"
#include "ZuScrollBarMath.h"

#include <QTimer>

#include <functional>

namespace tunola {

// What moved the position: an arrow, a space, or a thumb drag.
enum TScrollCode : uint8_t { scLine, scPage, scTrack };
// Which way: towards Min (up, left) or towards Max.
enum TScrollMode : uint8_t { smBackward, smForward };

using TZuScrollEvent = std::function<void(QWidget& sender, bool startChange, TScrollCode code,
                                          TScrollMode mode, int changeValue)>;
using TZuDrawScrollBarEvent = std::function<void(TZuBitmap32& cav, TDrawScrollBar part,
                                                 const TZuRect& r, TButtonState state)>;

// The flat look of one part: `pressed` when the bar has a part held (the spaces then take the
// desktop colour), `barColor` the bar's colour as a pixel.
void ZuDrawFlatScrollBarPart(TZuBitmap32& cav, TScrollBarKind kind, TDrawScrollBar part,
                             const TZuRect& r, TButtonState state, TColor32 barColor, bool pressed);

class TZuScrollBar : public TZuGraphicControlEx {
    Q_OBJECT
public:
    static constexpr int kRepeatInterval = 50;

    explicit TZuScrollBar(QWidget* parent = nullptr);
    ~TZuScrollBar() override;

    // Clamped to Min … Max; a change fires OnChange and repaints.
    int Position() const { return range_.Position; }
    void SetPosition(int position);
    int Min() const { return range_.Min; }
    int Max() const { return range_.Max; }
    void SetMin(int min); // a Max below the new Min rises to it
    void SetMax(int max); // a Min above the new Max falls to it
    int PageSize() const { return range_.PageSize; }
    void SetPageSize(int pageSize); // negative stores 0
    uint16_t SmallChange() const { return smallChange_; }
    void SetSmallChange(uint16_t v) { smallChange_ = v; }
    uint16_t LargeChange() const { return largeChange_; }
    void SetLargeChange(uint16_t v) { largeChange_ = v; }
    // Min, Max and PageSize at once, firing OnChange at most once.
    void SetRange(int min, int max, int pageSize);

    TScrollBarKind ScrollBarKind() const { return kind_; }
    // Changing the kind swaps width and height.
    void SetScrollBarKind(TScrollBarKind kind);
    // The bar can scroll: Max - Min >= PageSize. The widget is disabled otherwise.
    bool RangeEnabled() const;

    int FirstDelay() const { return firstDelay_; }
    void SetFirstDelay(int ms) { firstDelay_ = ms; }

    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool ownerDraw) { Store(ownerDraw_, ownerDraw); }
    TZuDrawScrollBarEvent OnDrawControl;
    TZuScrollEvent OnScroll;
    TZuControlEvent OnChange;
    TZuControlEvent OnEnabledChange;

    TZuScrollBarLayout Layout() const;
    // How each part is to be drawn now.
    TButtonState PartState(TDrawScrollBar part) const;
    // The part held by the mouse, or -1.
    int PressedPart() const { return pressedPart_; }

protected:
    void PaintImage(TZuBitmap32& canvas) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseLeave() override;
    void changeEvent(QEvent* event) override;

private:
    TZuScrollRange Range() const;
    void UpdateEnabled();
    // One step of the held part; false when the position did not move.
    bool StepHeld(bool first);
    void RepeatTimer();
    void EndPress();
    void SetHoverPart(int part);
    void Report(bool first, TScrollCode code, TScrollMode mode, int change);

    TZuScrollRange range_;
    uint16_t smallChange_ = 1;
    uint16_t largeChange_ = 8;
    TScrollBarKind kind_ = sbHorizontal;
    int firstDelay_ = 500;
    bool ownerDraw_ = false;

    int pressedPart_ = -1;
    int hoverPart_ = -1;
    bool mouseOverPressed_ = false;
    int dragGrab_ = 0;        // mouse offset inside the thumb when the drag began
    int dragThumbStart_ = -1; // where the dragged thumb is drawn; -1 while not dragging
    QTimer repeat_;
};

} // namespace tunola
