#pragma once
// The motion arithmetic of the marquee and the fade text, apart from their widgets, and the
// one test both use before running a timer: is the control on the screen at all.

#include <cstdint>

class QWidget;

namespace tunola {

enum THoriScrollType : uint8_t { stNone, stRightToLeft, stLeftToRight };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };
enum TTextAlign : uint8_t { taLeftJustify, taRightJustify, taCenter };

// Marquee: one cycle is the text's width plus the control's; the offset grows by the step and
// starts again at 0 once it has reached the cycle.
constexpr int MarqueeCycle(int textWidth, int controlWidth) {
    return textWidth + controlWidth;
}
constexpr int MarqueeAdvance(int offset, int step, int cycle) {
    offset += step;
    return offset >= cycle ? 0 : offset;
}
// Where the text starts: it enters at the right edge (right to left) or the left edge.
constexpr int MarqueeX(THoriScrollType type, int controlWidth, int offset, int textWidth) {
    return type == stLeftToRight ? offset - textWidth : controlWidth - offset;
}
// Vertical place of a line of `textHeight` (the centre uses the height of "Pp").
constexpr int LayoutY(TTextLayout layout, int clientHeight, int textHeight, int centreHeight) {
    switch (layout) {
    case tlTop:
        return 0;
    case tlCenter:
        return (clientHeight - centreHeight) / 2;
    case tlBottom:
        return clientHeight - textHeight;
    }
    return 0;
}
constexpr int AlignX(TTextAlign align, int clientWidth, int textWidth) {
    switch (align) {
    case taLeftJustify:
        return 0;
    case taRightJustify:
        return clientWidth - textWidth;
    case taCenter:
        return (clientWidth - textWidth) / 2;
    }
    return 0;
}

// Fade: each 25 ms tick the accumulator grows by 25 x 255 div FadeDelay (an accumulator that
// has drifted more than 1 from the level restarts from it); past 255 it stops at 255, and the
// level is the accumulator rounded.
struct TFadeStep {
    double Accumulator = 0;
    int Level = 0;
    bool Done = false; // the fade timer stops
};
TFadeStep FadeTick(double accumulator, int level, int fadeDelayMs);

// Steps of a fixed length paced by a tick the caller has anyway (the marquee's and the fade's
// steps on the playback tick): Take says how many steps fell due by `now`, at most `most`;
// after a longer gap the rest are dropped and the next step falls due one step after `now`.
// A pacer not started (or Reset) starts its steps one step after the first Take.
class TTickPacer {
public:
    void Start(int64_t nowMs, int64_t stepMs) { due_ = nowMs + stepMs; }
    void Reset() { due_ = -1; }
    int Take(int64_t nowMs, int64_t stepMs, int most) {
        if (due_ < 0) {
            Start(nowMs, stepMs);
            return 0;
        }
        int steps = 0;
        for (; steps < most && nowMs >= due_; ++steps)
            due_ += stepMs;
        if (nowMs >= due_)
            due_ = nowMs + stepMs;
        return steps;
    }

private:
    int64_t due_ = -1; // when the next step falls due
};

// Shown, its window not minimised and exposed: only then is there anything to animate.
bool OnScreen(const QWidget& widget);

} // namespace tunola
