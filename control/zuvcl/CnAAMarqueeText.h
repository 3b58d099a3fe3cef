#pragma once
// TCnAAMarqueeText: one line of anti-aliased text that scrolls sideways in a loop. Every
// ScrollDelay ms the text moves ScrollStep pixels; it enters at one edge, leaves at the other
// and comes back. The timer runs only while Active, the caption is not empty and the control
// is on the screen (shown, not minimised); an empty caption is just the background.
// The steps can also be paced by a frame tick the window already has (SetPacedFromOutside,
// Pace): each tick takes the steps that fell due since the last one, so the step is painted in
// the same pass as the rest of the window and reaches the screen in the same flush. The own
// timer then only stands in for ticks that stop coming.
// UI thread only.

#include "CnAAFont.h"
#include "CnAAMotion.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tunola {

class TCnAAMarqueeText : public QWidget {
    Q_OBJECT
public:
    explicit TCnAAMarqueeText(QWidget* parent = nullptr);

    bool Active() const { return active_; }
    void SetActive(bool active);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // The font is the widget's; its colour is FontColor.
    void SetTextFont(const QFont& font);
    QRgb FontColor() const { return fontColor_; }
    void SetFontColor(QRgb color);
    QRgb BackColor() const { return backColor_; }
    void SetBackColor(QRgb color);
    THoriScrollType ScrollType() const { return scrollType_; }
    void SetScrollType(THoriScrollType type);
    uint16_t ScrollStep() const { return scrollStep_; }
    void SetScrollStep(uint16_t step); // 0 is stored as 1
    uint16_t ScrollDelay() const { return scrollDelay_; }
    void SetScrollDelay(uint16_t ms);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);
    // Changes to the effect show after InvalidateText (or any other change of the text).
    TCnAAEffect& Effect() { return renderer_.Effect; }
    void InvalidateText() {
        stripValid_ = false;
        update();
    }
    TAAQuality Quality() const { return renderer_.Quality(); }
    void SetQuality(TAAQuality quality);

    int Offset() const { return offset_; }
    int Cycle() const { return cycle_; }
    bool Scrolling() const { return timer_.isActive(); }
    // One timer step, as the timer does it.
    void Step();

    // Paced from outside: Pace is called on every frame tick (every few tens of ms, less than
    // ScrollDelay apart or not much more); the own timer runs only when no Pace has come for
    // kStandInDelays x ScrollDelay, and steps on its own until the next Pace.
    void SetPacedFromOutside(bool paced);
    bool PacedFromOutside() const { return paced_; }
    // The steps due by now (or by `nowMs` on the widget's own steady clock, for tests); at
    // most a few are made up after a gap, the rest is skipped.
    void Pace();
    void Pace(qint64 nowMs);
    static constexpr int kStandInDelays = 4;
    static constexpr int kMostStepsMadeUp = 2;

    std::function<void(QWidget&)> OnPainted;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Text, font or size changed: new cycle, back to the start, timer as it should be.
    void Restart();
    bool WantsTimer() const;
    void UpdateTimer();
    void RenderStrip();
    // Room right of the text's advance for a shadow and glyphs that overhang it.
    static constexpr int kStripMargin = 8;

    QString caption_;
    bool active_ = false;
    QRgb fontColor_ = 0xFF000000;
    QRgb backColor_ = 0xFFF0F0F0;
    THoriScrollType scrollType_ = stRightToLeft;
    uint16_t scrollStep_ = 1;
    uint16_t scrollDelay_ = 100;
    TTextLayout layout_ = tlTop;
    int offset_ = 0;
    int cycle_ = 0;
    int textWidth_ = 0;
    QTimer timer_;
    bool paced_ = false;
    QElapsedTimer clock_;
    TTickPacer pacer_; // paced: the steps on clock_; reset by a restart
    QImage strip_; // the caption over the background, drawn once per change
    bool stripValid_ = false;
    TCnAAFontEx renderer_;
};

} // namespace tunola
