#pragma once
// TZuWindow: the skinned background of a form. It fills its parent (Align) and draws the
// window frame from nine pieces of its Image around an interior of plain Color; on a
// TZuFormEx the controls above take the part under them as their backdrop. Only the parts
// asked for are composed, each time: no picture of the whole frame is kept (the window is
// painted in bands of a few rows). RebuildRegions(true) cuts the form's shape from the
// transparent pixels of the corner pieces; the shape follows every resize.
//
// The skin makes the background mouse-transparent (setEnabled(false)) so that presses on it
// reach the form and drag it.

#include "ZuGraphicControl.h"
#include "ZuWindowFrame.h"

#include <QPointer>

#include <optional>

namespace tunola {

enum class TZuAlign : uint8_t { alNone, alClient };

class TZuWindow : public TZuGraphicControlEx {
    Q_OBJECT
public:
    explicit TZuWindow(QWidget* parent = nullptr);
    ~TZuWindow() override;

    TZuAlign Align() const { return align_; }
    void SetAlign(TZuAlign align);

    // Colour of the interior (Color, inherited) is set with SetColor.

    const TZuFramePieces& Pieces() const { return pieces_; }
    void SetTopLeft(int16_t x, int16_t y, int16_t w, int16_t h);
    // A width <= 0 is stored as 5: the tiling step must not be zero.
    void SetTopMiddle(int16_t x, int16_t y, int16_t w, int16_t h);
    void SetTopRight(int16_t x, int16_t y, int16_t w, int16_t h);
    void SetBottomLeft(int16_t x, int16_t y, int16_t w, int16_t h);
    // A width <= 0 is stored as 5.
    void SetBottomMiddle(int16_t x, int16_t y, int16_t w, int16_t h);
    void SetBottomRight(int16_t x, int16_t y, int16_t w, int16_t h);
    // A height <= 0 is stored as 5.
    void SetLeftMiddle(int16_t x, int16_t y, int16_t w, int16_t h);
    void SetRightMiddle(int16_t x, int16_t y, int16_t w, int16_t h);
    void SetTitleCenter(int16_t x, int16_t y, int16_t w, int16_t h);

    // true: cut the corner regions from the current Image and shape the form with them;
    // false: drop them and give the form its plain rectangle.
    void RebuildRegions(bool apply);
    bool HasRegions() const { return cutOuts_.has_value(); }

    // Composes the part of the frame under `surface` placed with its top-left corner at
    // (left, top) of this control (see PaintWindowFrameArea).
    void PaintFrameArea(TZuBitmap32& surface, int32_t left, int32_t top) const;
    // Paints the frame inside `region` (this control's coordinates) with `painter`.
    void PaintFrame(QPainter& painter, const QRegion& region) const;

protected:
    void PictureChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetPiece(TZuPiece& piece, TZuPiece value);
    void FrameChanged();
    void FollowParent();
    void AttachToParent();
    void ApplyShape();

    TZuAlign align_ = TZuAlign::alClient;
    TZuFramePieces pieces_;
    std::optional<TZuCornerCutOuts> cutOuts_;
    QPointer<QWidget> watchedParent_;
};

} // namespace tunola
