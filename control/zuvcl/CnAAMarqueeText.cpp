#include "CnAAMarqueeText.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace tunola {

TCnAAMarqueeText::TCnAAMarqueeText(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(240, 34);
    renderer_.SetQuality(aqNormal);
    renderer_.SetFont(font());
    connect(&timer_, &QTimer::timeout, this, &TCnAAMarqueeText::Step);
    timer_.setInterval(scrollDelay_);
    clock_.start();
    Restart();
}

void TCnAAMarqueeText::SetActive(bool active) {
    if (active_ == active)
        return;
    active_ = active;
    if (!active)
        offset_ = 0;
    UpdateTimer();
    update();
}

void TCnAAMarqueeText::SetCaption(const QString& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    Restart();
}

void TCnAAMarqueeText::SetTextFont(const QFont& font) {
    setFont(font);
}

void TCnAAMarqueeText::SetFontColor(QRgb color) {
    fontColor_ = color;
    stripValid_ = false;
    update();
}

void TCnAAMarqueeText::SetBackColor(QRgb color) {
    backColor_ = color;
    stripValid_ = false;
    update();
}

void TCnAAMarqueeText::SetScrollType(THoriScrollType type) {
    scrollType_ = type;
    UpdateTimer();
    update();
}

void TCnAAMarqueeText::SetScrollStep(uint16_t step) {
    scrollStep_ = step == 0 ? 1 : step;
}

void TCnAAMarqueeText::SetScrollDelay(uint16_t ms) {
    scrollDelay_ = ms;
    pacer_.Reset();
    if (!paced_)
        timer_.setInterval(ms);
}

void TCnAAMarqueeText::SetPacedFromOutside(bool paced) {
    if (paced_ == paced)
        return;
    paced_ = paced;
    pacer_.Reset();
    timer_.stop();
    UpdateTimer();
}

void TCnAAMarqueeText::Pace() {
    Pace(clock_.elapsed());
}

void TCnAAMarqueeText::Pace(qint64 nowMs) {
    if (!paced_)
        return;
    if (!WantsTimer()) {
        timer_.stop();
        pacer_.Reset();
        return;
    }
    const qint64 delay = std::max<qint64>(scrollDelay_, 1);
    const int steps = pacer_.Take(nowMs, delay, kMostStepsMadeUp);
    for (int i = 0; i < steps; ++i)
        offset_ = MarqueeAdvance(offset_, scrollStep_, cycle_);
    if (steps > 0)
        update();
    // The stand-in: restarted on every tick, so it fires only once the ticks stop.
    timer_.start(static_cast<int>(delay * kStandInDelays));
}

void TCnAAMarqueeText::SetLayout(TTextLayout layout) {
    layout_ = layout;
    stripValid_ = false;
    update();
}

void TCnAAMarqueeText::SetQuality(TAAQuality quality) {
    renderer_.SetQuality(quality);
    stripValid_ = false;
    update();
}

void TCnAAMarqueeText::Restart() {
    renderer_.SetFont(font());
    textWidth_ = caption_.isEmpty() ? 0 : renderer_.TextWidth(caption_);
    cycle_ = MarqueeCycle(textWidth_, width());
    offset_ = 0;
    pacer_.Reset();
    stripValid_ = false;
    UpdateTimer();
    update();
}

bool TCnAAMarqueeText::WantsTimer() const {
    return active_ && scrollType_ != stNone && !caption_.isEmpty() && OnScreen(*this);
}

void TCnAAMarqueeText::UpdateTimer() {
    if (WantsTimer()) {
        if (!timer_.isActive())
            timer_.start(paced_ ? scrollDelay_ * kStandInDelays : scrollDelay_);
    } else {
        timer_.stop();
        pacer_.Reset();
    }
}

void TCnAAMarqueeText::Step() {
    if (!WantsTimer()) {
        timer_.stop();
        return;
    }
    offset_ = MarqueeAdvance(offset_, scrollStep_, cycle_);
    update();
    // Paced and the ticks stopped: step on at the own pace until they come back.
    if (paced_ && timer_.isActive() && timer_.interval() != scrollDelay_) {
        timer_.start(scrollDelay_);
        pacer_.Reset();
    }
}

void TCnAAMarqueeText::RenderStrip() {
    // The text over the background, once per change: every step then only places it. Over a
    // plain background the blend does not depend on where the text stands.
    const QSize size(std::max(textWidth_ + kStripMargin, 1), std::max(height(), 1));
    strip_ = QImage(size, QImage::Format_RGB32);
    strip_.fill(backColor_);
    if (!caption_.isEmpty()) {
        renderer_.SetCanvas(&strip_);
        renderer_.SetColor(fontColor_);
        const int y = LayoutY(layout_, height(), renderer_.TextHeight(caption_),
                              renderer_.TextHeight(QStringLiteral("Pp")));
        renderer_.TextOutEx(0, y, caption_);
        renderer_.SetCanvas(nullptr);
    }
    stripValid_ = true;
}

void TCnAAMarqueeText::paintEvent(QPaintEvent*) {
    if (!stripValid_ || strip_.height() != std::max(height(), 1))
        RenderStrip();
    QPainter p(this);
    const int x = MarqueeX(scrollType_, width(), offset_, textWidth_);
    const QRect text(x, 0, strip_.width(), strip_.height());
    const QColor back = QColor::fromRgb(backColor_);
    for (const QRect& r : QRegion(rect()) - QRegion(text))
        p.fillRect(r, back);
    p.drawImage(x, 0, strip_);
    // Back on the screen after a minimise: scroll on.
    if (!timer_.isActive())
        UpdateTimer();
    if (OnPainted)
        OnPainted(*this);
}

void TCnAAMarqueeText::resizeEvent(QResizeEvent*) {
    Restart();
}

void TCnAAMarqueeText::showEvent(QShowEvent*) {
    UpdateTimer();
}

void TCnAAMarqueeText::hideEvent(QHideEvent*) {
    timer_.stop();
}

void TCnAAMarqueeText::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        Restart();
    QWidget::changeEvent(event);
}

} // namespace tunola
