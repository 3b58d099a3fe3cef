#include "CnAAFadeText.h"

#include <QPaintEvent>
#include <QPainter>

namespace tunola {

TCnAAFadeText::TCnAAFadeText(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    fadeTimer_.setInterval(25);
    lineTimer_.setInterval(text_.LineDelay);
    connect(&fadeTimer_, &QTimer::timeout, this, &TCnAAFadeText::FadeTickNow);
    connect(&lineTimer_, &QTimer::timeout, this, &TCnAAFadeText::LineTick);
    clock_.start();
}

void TCnAAFadeText::SetPacedFromOutside(bool paced) {
    paced_ = paced;
    if (fadeTimer_.isActive())
        fadeTimer_.start(paced_ ? kFadeStepMs * kStandInSteps : kFadeStepMs);
}

void TCnAAFadeText::Pace() {
    Pace(clock_.elapsed());
}

void TCnAAFadeText::Pace(qint64 nowMs) {
    if (!paced_ || !fadeTimer_.isActive())
        return;
    const int before = level_;
    // Steps left over after a long gap are dropped, not made up in a burst.
    const int steps = pacer_.Take(nowMs, kFadeStepMs, kMostStepsAtOnce);
    for (int i = 0; i < steps && fadeTimer_.isActive(); ++i) {
        const TFadeStep step = FadeTick(accumulator_, level_, text_.FadeDelay);
        accumulator_ = step.Accumulator;
        level_ = step.Level;
        if (step.Done)
            fadeTimer_.stop();
    }
    if (level_ != before)
        Repaint();
    if (fadeTimer_.isActive())
        fadeTimer_.start(kFadeStepMs * kStandInSteps); // fires only once the ticks stop
}

void TCnAAFadeText::SetActive(bool active) {
    if (active_ == active)
        return;
    active_ = active;
    if (active) {
        Restart();
    } else {
        lineTimer_.stop();
    }
}

void TCnAAFadeText::SetLines(const QStringList& lines) {
    lines_ = lines;
    index_ = -1;
    if (active_)
        Restart();
}

void TCnAAFadeText::SetText(const TCnFadeTextParam& text) {
    text_ = text;
    lineTimer_.setInterval(std::max(text_.LineDelay, 1));
    carried_ = false;
    if (active_)
        Restart();
}

void TCnAAFadeText::Restart() {
    passes_ = 0;
    LineTick();
    UpdateLineTimer();
}

void TCnAAFadeText::UpdateLineTimer() {
    if (active_ && OnScreen(*this)) {
        if (!lineTimer_.isActive())
            lineTimer_.start();
    } else {
        lineTimer_.stop();
    }
}

void TCnAAFadeText::LineTick() {
    if (lineTimer_.isActive() && !OnScreen(*this)) {
        lineTimer_.stop();
        return;
    }
    ++index_;
    if (index_ >= lines_.size()) {
        ++passes_;
        if (repeatCount_ != 0 && passes_ >= repeatCount_) {
            active_ = false;
            lineTimer_.stop();
            index_ = -1;
            ShowLine(QString());
            if (OnComplete)
                OnComplete(*this);
            return;
        }
        index_ = 0;
    }
    ShowLine(index_ < lines_.size() ? lines_[index_] : QString());
}

void TCnAAFadeText::ShowLine(const QString& line) {
    if (lineTimer_.isActive())
        lineTimer_.start(); // restarts
    // The same line again over a finished fade: the picture would not change.
    if (line == current_ && level_ == 255 && !fadeTimer_.isActive() && next_.size() == size())
        return;
    if (screen_.size() != size()) {
        screen_ = QImage(size(), QImage::Format_RGB32);
        screen_.fill(text_.BackColor);
    }
    previous_ = screen_.copy();
    DrawLine(line, next_);
    changed_ = DifferingRect(previous_, next_);
    composedLevel_ = -1;
    previousText_ = current_;
    current_ = line;
    level_ = 0;
    accumulator_ = 0;
    pacer_.Start(clock_.elapsed(), kFadeStepMs);
    fadeTimer_.start(paced_ ? kFadeStepMs * kStandInSteps : kFadeStepMs);
    Repaint();
}

void TCnAAFadeText::Repaint() {
    // Only where the two pictures differ does the fade change a pixel (the old line's box and
    // the new one's); the rest of the screen stays as it is, here and in a compositor.
    if (changed_.isEmpty())
        return;
    ++repaints_;
    update(changed_);
}

void TCnAAFadeText::FadeTickNow() {
    const TFadeStep step = FadeTick(accumulator_, level_, text_.FadeDelay);
    accumulator_ = step.Accumulator;
    if (step.Done)
        fadeTimer_.stop();
    else if (paced_ && fadeTimer_.interval() != kFadeStepMs)
        fadeTimer_.start(kFadeStepMs); // the ticks stopped: on at the own pace
    pacer_.Start(clock_.elapsed(), kFadeStepMs);
    if (step.Level != level_) {
        level_ = step.Level;
        Repaint();
    }
}

void TCnAAFadeText::DrawLine(const QString& source, QImage& image) {
    image = QImage(size(), QImage::Format_RGB32);
    image.fill(text_.BackColor);
    if (text_.LabelEffect == leOnlyALine || !carried_) {
        carriedFont_ = font();
        carriedColor_ = fontColor_;
        carriedEffect_ = text_.FontEffect;
        carried_ = true;
    }
    QString line = source;
    for (const TCnFontLabel& label : fonts_) {
        const QString tag = QLatin1Char('<') + label.Name + QLatin1Char('>');
        const qsizetype at = line.indexOf(tag, 0, Qt::CaseInsensitive);
        if (at < 0)
            continue;
        carriedFont_ = label.Font;
        carriedColor_ = label.Color;
        carriedEffect_ = label.Effect;
        line.remove(at, tag.size());
    }
    if (line.isEmpty())
        return;
    renderer_.SetCanvas(&image);
    renderer_.SetQuality(text_.Quality);
    renderer_.SetFont(carriedFont_);
    renderer_.SetColor(carriedColor_);
    renderer_.Effect = carriedEffect_;
    const int x = AlignX(text_.Alignment, width(), renderer_.TextWidth(line));
    const int th = renderer_.TextHeight(line);
    const int y = LayoutY(text_.Layout, height(), th, th);
    renderer_.TextOutEx(x, y, line);
}

void TCnAAFadeText::paintEvent(QPaintEvent* event) {
    bool whole = false;
    if (next_.size() != size()) {
        DrawLine(current_, next_);
        whole = true;
    }
    if (previous_.size() != size()) {
        previous_ = QImage(size(), QImage::Format_RGB32);
        previous_.fill(text_.BackColor);
        whole = true;
    }
    if (screen_.size() != size()) {
        screen_ = QImage(size(), QImage::Format_RGB32);
        whole = true;
    }
    if (whole)
        changed_ = DifferingRect(previous_, next_);
    // The picture is composed once per level, and only where the pictures differ (elsewhere
    // it is either of them); a repaint for any other reason only copies.
    if (whole || composedLevel_ != level_) {
        CrossFade(previous_, next_, level_, screen_, whole ? screen_.rect() : changed_);
        composedLevel_ = level_;
    }
    QPainter painter(this);
    for (const QRect& r : event->region())
        painter.drawImage(r.topLeft(), screen_, r);
    if (!lineTimer_.isActive())
        UpdateLineTimer();
    if (OnPainted)
        OnPainted(*this);
}

void TCnAAFadeText::showEvent(QShowEvent*) {
    UpdateLineTimer();
}

void TCnAAFadeText::hideEvent(QHideEvent*) {
    lineTimer_.stop();
}

void TCnAAFadeText::resizeEvent(QResizeEvent*) {
    // The pictures are redrawn at the new size on the next paint.
    screen_ = QImage();
    next_ = QImage();
    previous_ = QImage();
}

} // namespace tunola
