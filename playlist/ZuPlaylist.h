#pragma once
// TZuPlaylist: the owner-drawn playlist view. One row of ItemHeight pixels per entry: the row
// number, the caption (cut with an ellipsis) and the length right-aligned; the playing row in
// its own colour, winning over the selection. Rows are selected with the mouse (Shift for a
// range from the anchor, Ctrl to toggle) and the keys, moved by dragging them (a line marks
// where they land and the list scrolls while the mouse rests on its top or bottom row), and
// scrolled with the wheel and the view's own skinned scroll bar.
//
// The view holds its entries in a TZuPlaylistModel (its Items). Every paint composes the rows
// that need it in an off-screen TZuBitmapEx32 and copies them to the screen in one block, so
// a paint costs the same for ten entries or a hundred thousand.
//
// Threads. The view belongs to the UI thread. The model's OnChange may come from the
// stream-opening worker (it stores a track's length); the view then queues its repaint to the
// UI thread instead of painting from the worker. Whoever starts such workers stops them before
// the view goes.

#include "ZuPlaylistGeometry.h"
#include "ZuPlaylistScrollBar.h"

#include <ZuBitmap32.h>
#include <ZuCustomControl.h>
#include <ZuPlaylistModel.h>

#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace tunola {

class TZuPlaylist : public TZuCustomControl {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 14;
    // How far the mouse must move with the button held before rows are dragged.
    static constexpr int kDragThreshold = 4;
    // How often the list scrolls while a drag rests on its top or bottom row.
    static constexpr int kScrollInterval = 450;

    explicit TZuPlaylist(QWidget* parent = nullptr);
    ~TZuPlaylist() override;

    // The entries, the playing row, the selection and the first row shown.
    TZuPlaylistModel& Model() { return model_; }
    const TZuPlaylistModel& Model() const { return model_; }
    TZuPlaylistItems& Items() { return model_.Items(); }
    const TZuPlaylistItems& Items() const { return model_.Items(); }
    // Copies every entry of `items`.
    void SetItems(const TZuPlaylistItems& items) { model_.SetItems(items); }

    // The anchor of the selection: the row last clicked or keyed, −1 for none.
    int SelectedIndex() const { return model_.SelectedIndex(); }
    // The playing entry. Setting it scrolls the row into view; a value outside the list gives
    // −1 and no highlight.
    int CurrentItem() const { return model_.CurrentItem(); }
    void SetCurrentItem(int index) { model_.SetCurrentItem(index); }
    bool CurrentLost() const { return model_.CurrentLost(); }
    int TopIndex() const { return model_.TopIndex(); }
    int VisibleCount() const { return height() / kItemHeight; }
    int ItemHeight() const { return kItemHeight; }
    int DropY() const { return model_.DropY(); }
    // Rows are being dragged over the view (or files from outside).
    bool Dragging() const { return dragging_; }
    bool DblClicking() const { return dblClicking_; }

    // Colours are pixels (0xAARRGGBB).
    TColor32 BackColor() const { return backColor_; }
    void SetBackColor(TColor32 color);
    TColor32 TextColor() const { return textColor_; } // also the drop line
    void SetTextColor(TColor32 color) { Store(textColor_, color); }
    TColor32 TextCurrentColor() const { return textCurrentColor_; }
    void SetTextCurrentColor(TColor32 color) { Store(textCurrentColor_, color); }
    TColor32 TextSelectedColor() const { return textSelectedColor_; }
    void SetTextSelectedColor(TColor32 color) { Store(textSelectedColor_, color); }
    // The text of an entry that failed to open (its row's tooltip says why).
    TColor32 TextFailedColor() const { return textFailedColor_; }
    void SetTextFailedColor(TColor32 color) { Store(textFailedColor_, color); }
    TColor32 SelectionColor() const { return selectionColor_; }
    void SetSelectionColor(TColor32 color) { Store(selectionColor_, color); }

    // Drawn, a little transparent, where dropped rows would land; the drop line when empty.
    const TZuBitmap32& DropImage() const { return dropImage_; }
    void SetDropImage(const TZuBitmap32& image);

    uint8_t ScrollBarWidth() const { return scrollBarWidth_; }
    void SetScrollBarWidth(uint8_t width);
    uint8_t ScrollBarTopMargin() const { return scrollBarTopMargin_; }
    void SetScrollBarTopMargin(uint8_t margin);
    uint8_t ScrollBarBottomMargin() const { return scrollBarBottomMargin_; }
    void SetScrollBarBottomMargin(uint8_t margin);
    // Show the scroll bar only while the rows do not fit.
    bool AutoHideScrollBar() const { return autoHideScrollBar_; }
    void SetAutoHideScrollBar(bool autoHide);
    zuplaylist::TZuScrollBar& ScrollBar() { return *scrollBar_; }
    const zuplaylist::TZuScrollBar& ScrollBar() const { return *scrollBar_; }
    // Whether the scroll bar takes its place at the right (with auto-hide: the rows do not fit).
    bool ScrollBarShown() const { return barShown_; }

    // Pattern of the length column ("nn:ss"); see ZuTimeFormat.h. Setting another one also
    // refreshes every entry's StrLength.
    const std::string& TimeFormat() const { return timeFormat_; }
    void SetTimeFormat(const std::string& format);
    bool ShowNumbers() const { return showNumbers_; }
    void SetShowNumbers(bool show) { Store(showNumbers_, show); }
    bool ShowLength() const { return showLength_; }
    void SetShowLength(bool show) { Store(showLength_, show); }

    // The mouse cursor while rows are dragged.
    Qt::CursorShape DragCursor() const { return dragCursor_; }
    void SetDragCursor(Qt::CursorShape shape) { dragCursor_ = shape; }

    void SelectAll() { model_.SelectAll(); }
    // Deletes every entry whose Selected equals `flag`; the playing row follows its entry.
    void DeleteItems(bool flag) { model_.DeleteItems(flag); }

    // Row geometry for the view as it is now.
    zuplaylist::TZuListGeometry Geometry() const;
    TZuRect ItemRect(int index) const { return zuplaylist::ItemRect(Geometry(), index); }
    int ItemAtPoint(QPoint p) const { return zuplaylist::ItemAtPoint(Geometry(), p); }
    int DropIndexAt(QPoint p) const { return zuplaylist::DropIndexAt(Geometry(), p); }

    // A row was double-clicked (it is now the current row) / Enter was pressed on the anchor.
    TZuControlEvent OnItemDblClick;
    TZuControlEvent OnItemEnterKey;
    // The Delete key: the owner removes the selection (the view does not delete by itself).
    TZuControlEvent OnDeleteKey;
    // Any double click with the left button, after OnItemDblClick.
    TZuControlEvent OnDblClick;
    // Rows were moved by dragging them.
    TZuControlEvent OnItemsMoved;
    // Files or folders from outside were dropped to stand before entry `index` (Count: at the
    // end). Without a handler the view takes no drops from outside.
    std::function<void(QWidget& sender, const QStringList& paths, int index)> OnFilesDropped;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What a visible row looks like, to repaint only the rows a gesture changed.
    struct TRowLook {
        uint64_t Serial = 0;
        bool Selected = false;
        bool Current = false;
        friend bool operator==(const TRowLook&, const TRowLook&) = default;
    };

    template <class T> void Store(T& field, T value) {
        if (field != value) {
            field = value;
            update();
        }
    }

    // The model changed (on any thread).
    void ModelChanged();
    // Places and ranges the scroll bar for the current size and entries; true when the rows'
    // width changed (the bar appeared or went).
    bool SyncLayout();
    void ScrollBarChanged();
    void SetTopIndex(int top);

    void RememberRows();
    void RepaintChangedRows();
    TRowLook LookOf(int index) const;

    // ZuPlaylistPaint.cpp
    // Composes `dirty` (view coordinates, at most the band's size) into the band.
    void PaintRows(TZuBitmapEx32& band, const QRect& dirty);
    QRect DropMarkRect(int dropY) const;

    // ZuPlaylistMouse.cpp
    void BeginDragPending(QPoint origin);
    void StartDrag();
    void DragOver(QPoint p);
    void SetDropY(int dropY);
    void ScrollTimerTimer();
    void EndDrag(QPoint p, bool onView);
    void FinishDragSession();
    void ClearSelectionButAnchor();

    // ZuPlaylistKeys.cpp
    bool HandleKey(int key, bool shift);

    TZuPlaylistModel model_;
    zuplaylist::TZuScrollBar* scrollBar_ = nullptr; // child
    bool barShown_ = true;
    TZuBitmap32 dropImage_;

    TColor32 backColor_ = 0xFFFFFFFF;
    TColor32 textColor_ = 0xFF000000;
    TColor32 textCurrentColor_ = 0xFF00FF00;
    TColor32 textSelectedColor_ = 0xFF000000;
    TColor32 textFailedColor_ = 0xFFE05A4F;
    TColor32 selectionColor_ = 0xFF000000;
    uint8_t scrollBarWidth_ = 0;
    uint8_t scrollBarTopMargin_ = 0;
    uint8_t scrollBarBottomMargin_ = 0;
    bool autoHideScrollBar_ = false;
    std::string timeFormat_;
    bool showNumbers_ = true;
    bool showLength_ = true;
    Qt::CursorShape dragCursor_ = Qt::BusyCursor;

    bool leftDown_ = false;
    bool dblClicking_ = false;
    // A plain press on a row inside a selection of several: on release without a drag the
    // selection becomes that row alone. −1 when no such press is pending.
    int collapseRow_ = -1;
    bool dragPending_ = false; // a press waits for the mouse to move far enough
    bool dragStarted_ = false; // rows of this view are being dragged
    bool dragging_ = false;    // the drag has come over the view
    QPoint dragOrigin_;
    std::unique_ptr<QTimer> scrollTimer_; // only during a drag
    int wheelRemainder_ = 0;

    std::vector<TRowLook> rowLooks_;
    int lookTop_ = 0;
    int lookCount_ = 0;

    // A repaint is queued for a change reported from another thread.
    std::atomic<bool> repaintQueued_{false};
};

} // namespace tunola
