#pragma once
// The playlist view's own vertical scroll bar: a skinned track with a slider, all cut from one
// picture (Image). It is a class of its own, kept apart from the list box's scroll bar of the
// same name by its namespace.
//
// The track piece (TrackRect) is tiled down the bar, with caps of Border pixels at both ends;
// the slider (SliderW × SliderH) is drawn from the normal, highlighted or pressed picture,
// the pressed one a little transparent. Positions run 0 … Max; a press on the track jumps the
// slider's middle to the mouse, a press on the slider drags it, and every change by the mouse
// or by SetPosition fires OnChange.
//
// Positions and Max are plain ints rather than 16-bit values: a list of 100,000 entries
// scrolls through more positions than 16 bits hold.

#include "ZuPlaylistScrollMath.h"

#include <ZuPictureControl.h>
#include <ZuPiece.h>

#include <cstdint>

namespace tunola::zuplaylist {

enum class TZuSliderState : uint8_t { Normal = 0, Dragged = 1, TrackPressed = 2, Hot = 3 };

class TZuScrollBar : public TZuPictureControl {
    Q_OBJECT
public:
    explicit TZuScrollBar(QWidget* parent = nullptr);

    int16_t SliderW() const { return sliderW_; }
    int16_t SliderH() const { return sliderH_; }
    void SetSliderW(int16_t v) { Store(sliderW_, v); }
    void SetSliderH(int16_t v);

    // Width of the track's end caps.
    uint8_t Border() const { return border_; }
    void SetBorder(uint8_t v) { Store(border_, v); }
    // The track piece inside Image.
    const TZuPiece& TrackRect() const { return trackRect_; }
    void SetTrackRect(int16_t x, int16_t y, int16_t w, int16_t h);

    // Clamped to 0 … Max; a change moves the slider, fires OnChange (when `notify`) and
    // repaints.
    int Position() const { return position_; }
    void SetPosition(int position, bool notify = true);
    // Negative becomes 0. The position is read again from the slider's place.
    int Max() const { return max_; }
    void SetMax(int max);
    // The position as a share of Max, 0 … 100.
    int Percentage() const;
    void SetPercentage(int percentage);

    TZuControlEvent OnChange;

    int SliderTop() const { return sliderTop_; }
    TZuSliderState SliderState() const { return state_; }
    bool Tracking() const { return tracking_; }

protected:
    void PaintImage(TZuBitmap32& canvas) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TZuScrollMetrics Metrics() const { return {height(), sliderH_, max_}; }
    bool OnSlider(int x, int y) const;
    // The slider moved under the mouse: the position follows it.
    void SliderMoved(int top);
    void FireChange();
    void SetState(TZuSliderState state);

    int16_t sliderW_ = 0, sliderH_ = 0;
    uint8_t border_ = 0;
    TZuPiece trackRect_{0, 0, 10, 25};
    int position_ = 0;
    int max_ = 10;
    int sliderTop_ = 0;
    int dragOffset_ = 0;
    bool tracking_ = false;
    TZuSliderState state_ = TZuSliderState::Normal;
};

} // namespace tunola::zuplaylist
