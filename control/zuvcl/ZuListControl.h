#pragma once
// The self-drawn text list with its own vertical scroll bar:
//   TZuListControl   - rows, selection, scrolling, mouse, wheel and keys; draws rows through
//                      DrawItem (or the owner's OnItemDraw) into an off-screen bitmap;
//   TIGUIListControl - the three looks (GUIStyle) of the frame, the rows and the scroll bar;
//   TZuListBox       - the rows are the strings of Items, a TZuListControlString.
//
// Rows are ItemHeight pixels high and as wide as the item area (the client less the scroll bar
// and the style's frame). The bar is shown only while the rows need it (count >= page).
// The view moves smoothly when the selection, the wheel or a first press on the bar scrolls it:
// an animation on a timer of min(D, 20) + 1 frames over D pixels, about 200 ms in all, after
// which TopIndex is the target. A new scroll while one runs first completes the running one.
// Held keys, repeated bar steps, thumb drags and drag-outside ticks move the view at once.
//
// Selection: a left press selects the row (MultiSelect: Shift for the range from the anchor,
// Ctrl to toggle); a drag with the button held moves the selection, and outside the list
// scrolls it (slower near it, faster further away). The wheel scrolls 3 lines a notch, 6 for
// the second notch within 80 ms, 9 for the third and so on.
//
// UI thread only; the timers (animation, drag-outside, wheel burst) run only during their
// gesture.

#include "ZuBitmap32.h"
#include "ZuCustomControl.h"
#include "ZuListGeometry.h"
#include "ZuScrollBar.h"

#include <QFlags>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <stdexcept>
#include <vector>

namespace tunola {

// The one failure of the list: a row height below 1.
class EZuListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TListItemState : uint8_t {
    isActive = 0x01,   // the row is ActiveItem
    isSelected = 0x02, // its selection bit is set
    isDown = 0x04,     // pressed, and the row is the anchor and under the mouse
    isUp = 0x08,       // not pressed, and the row is under the mouse
    isDisabled = 0x10, // the control is disabled (then never isDown or isUp)
    isFocused = 0x20,  // the focus row, while the control has the keyboard focus
};
using TListItemStates = QFlags<TListItemState>;

using TZuItemEvent = std::function<void(QWidget& sender, int index)>;
using TZuItemDrawEvent =
    std::function<void(TZuBitmapEx32& cav, int index, const TZuRect& r, TListItemStates state)>;

class TZuListControl : public TZuCustomControl {
    Q_OBJECT
public:
    static constexpr int kWheelLines = 3;
    static constexpr int kWheelBurstMs = 80;
    static constexpr int kBarFirstDelay = 150;

    explicit TZuListControl(QWidget* parent = nullptr);
    ~TZuListControl() override;

    int ItemCount() const { return count_; }
    // The first row shown; see ZuClampTopIndex. A change moves the scroll bar and repaints.
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int top);
    // The selected row, -1 for none. Setting it clamps to -1 … count - 1, makes it the only
    // selected row without MultiSelect, moves the focus row, and scrolls it into view with
    // the animation.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    // A row the owner marks (drawn as active), -1 for none.
    int ActiveItem() const { return activeItem_; }
    void SetActiveItem(int index);
    int ItemHeight() const { return itemHeight_; }
    // Throws EZuListError("Can not Set ItemHeight < 1.") below 1, keeping the height.
    void SetItemHeight(int height);
    bool MultiSelect() const { return multiSelect_; }
    // Turning it off keeps only ItemIndex selected.
    void SetMultiSelect(bool multiSelect);
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool ownerDraw);

    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelCount() const;

    // The control's colour (platform colour; system colours allowed) and its text colour.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);

    int FocusRow() const { return focusRow_; }
    int AnchorRow() const { return anchorRow_; }
    int HotRow() const { return hotRow_; }
    bool Pressed() const { return pressed_; }
    int AutoScrollCode() const { return autoScrollCode_; }
    int KeyDirection() const { return keyDirection_; }
    // A smooth scroll is running.
    bool Scrolling() const { return animation_.isActive(); }
    // Ends a running smooth scroll at once, at its target.
    void FinishScrolling();

    TZuListGeometry Geometry() const;
    TZuRect ItemArea() const { return Geometry().Area; }
    int Page() const { return Geometry().Page; }
    TZuRect ItemRect(int index) const { return Geometry().ItemRect(index); }
    // The row at a client point, or -1.
    int ItemAtPos(QPoint p) const;
    // The state a row is drawn with now.
    TListItemStates ItemState(int index) const;

    TZuScrollBar& ScrollBar() { return *bar_; }
    const TZuScrollBar& ScrollBar() const { return *bar_; }
    const TZuDrawScrollBarEvent& OnDrawScrollBar() const { return bar_->OnDrawControl; }
    void SetOnDrawScrollBar(TZuDrawScrollBarEvent handler);

    TZuItemDrawEvent OnItemDraw;
    TZuItemEvent OnItemClick;
    TZuItemEvent OnItemDlbClick;
    // A left click on the control, and every change of ItemIndex by a key.
    TZuControlEvent OnClick;
    // Any left double click, before OnItemDlbClick.
    TZuControlEvent OnDblClick;

protected:
    // Rows as the items see them (TZuListControlString calls these).
    void RowsInserted(int index, int count);
    void RowDeleted(int index);
    void RowMoved(int from, int to);
    void RowChanged(int index);
    void RowsCleared();
    void RowsReplaced(int count);

    // The style's drawing; the base fills rows with the colour and draws no frame.
    virtual void DrawItem(TZuBitmapEx32& cav, int index, const TZuRect& r, TListItemStates state);
    virtual void DrawFrame(TZuBitmap32& cav);
    virtual void DrawScrollBarPart(TZuBitmap32& cav, TDrawScrollBar part, const TZuRect& r,
                                   TButtonState state);
    // The style's pixels on each side of the rows.
    virtual TListControlGUI LayoutStyle() const { return lcgFlat; }
    // Hooks for descendants, in the order of a gesture.
    virtual void ItemMouseEnter(int) {}
    virtual void ItemMouseLeave(int) {}
    virtual void ItemMouseDown(int) {}
    virtual void ItemMouseUp(int) {}
    // The layout may have changed (size, count, height, style): range the bar again.
    void Relayout();
    // Installs the list's drawing as the bar's drawer.
    void DrawScrollBarWithStyle();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseLeave() override;

private:
    friend class TZuListControlString;

    // ZuListControlScroll.cpp
    // Scrolls by `lines` (negative: up), animated or at once; the target keeps to the rows.
    void ScrollLines(int lines, bool animate);
    void StartAnimation(int target);
    void AnimationTick();
    void BarScrolled(bool startChange, TScrollCode code, TScrollMode mode, int change);
    void SetAutoScrollCode(int code);
    void AutoScrollTick();
    void WheelBurstEnded();
    void ShowRow(int row, bool animate);

    // ZuListControlInput.cpp
    void SetHotRow(int row);
    void SelectOnly(int row);
    void SelectRange(int from, int to, bool keepSaved);
    void DragTo(int row);
    // A key moved the selection to `row` (direction 0 for Home and End; `extend` with Shift;
    // `downwards` for the keys that go down).
    void KeySelect(int row, int direction, bool extend, bool downwards);
    // The last row reaches below the item area with `top` as the first row.
    bool LastRowCutAt(int top) const;
    void EndPress();
    void SetItemIndexInternal(int index, bool animate);
    void FireClick();

    // ZuListControl.cpp (painting)
    void PaintRows(TZuBitmapEx32& cav, const TZuListGeometry& g, int64_t viewTopPx);

    TZuScrollBar* bar_ = nullptr; // child
    int count_ = 0;
    int topIndex_ = 0;
    int itemIndex_ = -1;
    int activeItem_ = -1;
    int focusRow_ = -1;
    int anchorRow_ = -1;
    int hotRow_ = -1;
    int dragRow_ = -1;
    bool pressed_ = false;
    Qt::KeyboardModifiers pressShift_;
    std::vector<uint8_t> selected_;
    std::vector<uint8_t> savedSelected_;
    int itemHeight_ = 14;
    bool multiSelect_ = false;
    bool ownerDraw_ = false;
    bool updating_ = false;
    TColor color_ = clWindow;
    TColor fontColor_ = clWindowText;

    int autoScrollCode_ = 0;
    int keyDirection_ = 0;
    int wheelBurst_ = 0;
    int wheelRemainder_ = 0;
    QTimer autoScroll_;
    QTimer wheelTimer_;

    // The running smooth scroll: from one first row to another, frame by frame.
    QTimer animation_;
    int animFrom_ = 0;
    int animTarget_ = 0;
    int animFrame_ = 0;
    TZuSmoothScroll animScroll_;

    TZuBitmapEx32 canvas_; // the whole client, composed each paint
    TZuBitmapEx32 back_;   // the rows, in client coordinates
};

class TIGUIListControl : public TZuListControl {
    Q_OBJECT
public:
    explicit TIGUIListControl(QWidget* parent = nullptr);

    TListControlGUI GUIStyle() const { return style_; }
    void SetGUIStyle(TListControlGUI style);

protected:
    void DrawItem(TZuBitmapEx32& cav, int index, const TZuRect& r, TListItemStates state) override;
    void DrawFrame(TZuBitmap32& cav) override;
    void DrawScrollBarPart(TZuBitmap32& cav, TDrawScrollBar part, const TZuRect& r,
                           TButtonState state) override;
    TListControlGUI LayoutStyle() const override { return style_; }
    // The text of a row; none here.
    virtual QString ItemText(int) const { return {}; }

private:
    TListControlGUI style_ = lcgFlat;
};

class TZuListBox;

// The strings behind TZuListBox::Items. Every change tells the list box: rows are added,
// inserted, deleted and moved with their selection; a replaced string repaints its row;
// clearing resets the selection and the special rows; assigning the whole list scrolls to the
// top.
class TZuListControlString {
public:
    int Count() const { return int(strings_.size()); }
    const QString& operator[](int index) const { return strings_[index]; }
    const QString& Strings(int index) const { return strings_[index]; }
    const QStringList& List() const { return strings_; }
    int IndexOf(const QString& s) const { return int(strings_.indexOf(s)); }

    // Index of the new string.
    int Add(const QString& s);
    // Many strings at once, repainting once.
    void AddStrings(const QStringList& strings);
    // Out-of-range indices are ignored (Insert accepts Count, which appends).
    void Insert(int index, const QString& s);
    void Delete(int index);
    void Move(int from, int to);
    void Put(int index, const QString& s);
    void Clear();
    void Assign(const QStringList& strings);
    // The strings one per line ("\n" or "\r\n").
    QString Text() const;
    void SetText(const QString& text);

private:
    friend class TZuListBox;
    explicit TZuListControlString(TZuListBox& owner) : owner_(owner) {}

    TZuListBox& owner_;
    QStringList strings_;
};

class TZuListBox : public TIGUIListControl {
    Q_OBJECT
public:
    explicit TZuListBox(QWidget* parent = nullptr);

    TZuListControlString& Items() { return items_; }
    const TZuListControlString& Items() const { return items_; }
    // Copies the strings and shows the first row.
    void SetItems(const QStringList& strings) { items_.Assign(strings); }

    bool AutoItemHeight() const { return autoItemHeight_; }
    void SetAutoItemHeight(bool autoItemHeight);

protected:
    QString ItemText(int index) const override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TZuListControlString;
    void ApplyAutoItemHeight();

    TZuListControlString items_{*this};
    bool autoItemHeight_ = true;
};

} // namespace tunola

Q_DECLARE_OPERATORS_FOR_FLAGS(tunola::TListItemStates)
