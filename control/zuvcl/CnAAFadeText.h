#pragma once
// TCnAAFadeText: lines of anti-aliased text shown one after another, each new line
// cross-fading over the picture of the one before. A line may name font labels ("<Title1>"):
// each label whose tag occurs in it lends the line its font and effect, and the tag is not
// drawn. The line timer (LineDelay) runs while Active and on the screen; the fade timer (25 ms)
// only while a fade is under way. A line shown again identical to the one on the screen needs
// no fade and gets none. A fade repaints only the part of the control where the old and the new
// picture differ.
// UI thread only.

#include "CnAAFont.h"
#include "CnAAMotion.h"

#include <QImage>
#include <QStringList>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace tunola {

struct TCnFontLabel {
    QString Name;
    QFont Font;
    QRgb Color = 0xFF000000;
    TCnAAEffect Effect;
};

enum TLabelEffect : uint8_t { leOnlyALine, leUntilNextLabel };

// The text parameters (Text of the control).
struct TCnFadeTextParam {
    TTextLayout Layout = tlCenter;
    TTextAlign Alignment = taCenter;
    TAAQuality Quality = aqNormal;
    TCnAAEffect FontEffect;
    QRgb BackColor = 0xFFFFFFFF;
    int FadeDelay = 600;  // ms
    int LineDelay = 3000; // ms
    TLabelEffect LabelEffect = leUntilNextLabel;
};

class TCnAAFadeText : public QWidget {
    Q_OBJECT
public:
    explicit TCnAAFadeText(QWidget* parent = nullptr);

    bool Active() const { return active_; }
    void SetActive(bool active);
    const QStringList& Lines() const { return lines_; }
    // New lines; while active the first is shown at once.
    void SetLines(const QStringList& lines);
    const TCnFadeTextParam& Text() const { return text_; }
    // New parameters; while active the next line is shown at once.
    void SetText(const TCnFadeTextParam& text);
    std::vector<TCnFontLabel>& Fonts() { return fonts_; }
    // The control's own font colour (its font is the widget's).
    void SetFontColor(QRgb color) { fontColor_ = color; }
    int RepeatCount() const { return repeatCount_; }
    void SetRepeatCount(int count) { repeatCount_ = count; }

    int LineIndex() const { return index_; }
    int FadeLevel() const { return level_; }
    bool Fading() const { return fadeTimer_.isActive(); }
    bool LineTimerRunning() const { return lineTimer_.isActive(); }
    const QString& CurrentText() const { return current_; }
    // The timers' work, as they do it.
    void LineTick();
    void FadeTickNow();

    // Fade steps paced by a frame tick the caller already has, as the marquee's can be: Pace
    // makes the 25 ms steps that fell due since the fade began (at most kMostStepsAtOnce) and
    // repaints once, so the step reaches the screen with the rest of the tick's frame and the
    // fade costs no wake-ups of its own. The fade timer stands in only when the ticks stop.
    void SetPacedFromOutside(bool paced);
    void Pace();
    void Pace(qint64 nowMs); // on the control's steady clock (tests)
    static constexpr int kFadeStepMs = 25;
    static constexpr int kStandInSteps = 4;
    static constexpr int kMostStepsAtOnce = 4;
    // Repaints of the picture since creation (a fade step or a new line that changes pixels).
    int Repaints() const { return repaints_; }
    // The part of the control the current fade changes (empty: the picture stays as it is).
    const QRect& FadeArea() const { return changed_; }

    std::function<void(QWidget&)> OnComplete;
    std::function<void(QWidget&)> OnPainted;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowLine(const QString& line);
    void Repaint();
    void DrawLine(const QString& line, QImage& image);
    void Restart();
    void UpdateLineTimer();

    QStringList lines_;
    TCnFadeTextParam text_;
    std::vector<TCnFontLabel> fonts_;
    QRgb fontColor_ = 0xFFFFFFFF;
    int repeatCount_ = 0;
    bool active_ = true;
    int index_ = -1;
    int passes_ = 0;
    int level_ = 0;
    int composedLevel_ = -1; // the level screen_ was composed at
    QRect changed_;          // where previous_ and next_ differ: all a fade changes
    double accumulator_ = 0;
    QString previousText_, current_;
    QImage screen_, previous_, next_;
    QTimer fadeTimer_, lineTimer_;
    bool paced_ = false;
    QElapsedTimer clock_;
    TTickPacer pacer_; // paced: the fade's steps on clock_
    TCnAAFontEx renderer_;
    // The font and effect a line without labels carries over (leUntilNextLabel).
    QFont carriedFont_;
    QRgb carriedColor_ = 0;
    TCnAAEffect carriedEffect_;
    bool carried_ = false;
    int repaints_ = 0;
};

} // namespace tunola
