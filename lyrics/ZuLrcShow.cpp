#include "ZuLrcShow.h"

#include "LyricHandle.h"

#include <QPainter>

#include <algorithm>

namespace tunola {

TZuLrcShow::TZuLrcShow(QWidget* parent) : QWidget(parent), aaFont_(&lineImage_) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(0, 0, 280, 240);
    aaFont_.SetQuality(aqNormal);
    lrcFont_ = font();
    aaFont_.SetFont(lrcFont_);
}

void TZuLrcShow::SetLrc(const std::string& text) {
    lrc_ = text;
    lines_.clear();
    times_.clear();
    currText_.clear();
    hasTrailer_ = false;
    TLyricHandle handle;
    handle.Parse(text);
    lrcOffset_ = handle.Info.Offset;
    const std::string list = handle.ToText(llTimeList);
    for (size_t start = 0; start < list.size();) {
        size_t end = list.find("\r\n", start);
        if (end == std::string::npos)
            end = list.size();
        lines_.emplace_back(list, start, end - start);
        times_.push_back(DisplayLineTime(lines_.back()));
        start = end + 2;
    }
    dirty_ = true;
    update();
}

void TZuLrcShow::SetLengthTime(int32_t ms) {
    lengthTime_ = ms;
    if (hasTrailer_) {
        lines_.pop_back();
        times_.pop_back();
    }
    const int64_t t = TrailerTime(ms, times_.empty() ? 0 : times_.back(), !times_.empty());
    lines_.push_back(DisplayLine(t, kLrcTrailerText));
    times_.push_back(t);
    hasTrailer_ = true;
    dirty_ = true;
    update();
}

void TZuLrcShow::SetPosTime(int32_t ms) {
    posTime_ = ms;
    Render();
}

void TZuLrcShow::SetBGColor(QRgb color) {
    bgColor_ = color;
    update();
}

void TZuLrcShow::SetLrcCurrColor(QRgb color) {
    currColor_ = color;
    update();
}

void TZuLrcShow::SetLrcColor(QRgb color) {
    color_ = color;
    update();
}

void TZuLrcShow::SetLrcFont(const QFont& font) {
    lrcFont_ = font;
    aaFont_.SetFont(font);
    textHeight_ = -1;
    dirty_ = true;
    update();
}

int TZuLrcShow::Pitch() const {
    // Measured when first needed, not when the font is set: the control is made in the
    // default font and the skin gives it its own, and measuring the default one would load
    // a font file the window never shows.
    if (textHeight_ < 0)
        textHeight_ = aaFont_.TextHeight(QStringLiteral("S"));
    return LrcPitch(textHeight_, lrcSpace_);
}

void TZuLrcShow::Render() {
    const int h = Pitch();
    const TLrcFrame frame = LrcFrameAt(times_, lrcOffset_, posTime_, h, height(), lrcSpace_);
    const bool lineChanged = frame.Current != lastCurrent_;
    if (lineChanged || dirty_) {
        lastCurrent_ = frame.Current;
        frame_ = frame;
        DrawLines();
        update();
        return;
    }
    if (frame.ImageTop != frame_.ImageTop)
        update();
    frame_ = frame;
}

void TZuLrcShow::DrawLines() {
    dirty_ = false;
    ++redraws_;
    const int h = Pitch();
    band_ = LrcBand(lastCurrent_, int(lines_.size()), h, height());
    const int count = band_.Last - band_.First + 1;
    currText_.clear();
    if (lastCurrent_ >= 0 && size_t(lastCurrent_) < lines_.size()) {
        const std::string_view raw = DisplayLineText(lines_[size_t(lastCurrent_)]);
        currText_ = QString::fromUtf8(raw.data(), qsizetype(raw.size()));
    }
    if (count <= 0) {
        // No line to show (no lyric yet): the background alone, without a picture of it.
        lineImage_ = QImage();
        return;
    }
    const QSize size(std::max(width(), 1), count * h + std::max(height(), 1));
    if (lineImage_.size() != size)
        lineImage_ = QImage(size, QImage::Format_RGB32);
    lineImage_.fill(bgColor_);
    aaFont_.SetBrush(bgColor_);
    for (int j = band_.First; j <= band_.Last; ++j) {
        const std::string_view raw = DisplayLineText(lines_[size_t(j)]);
        const QString text = QString::fromUtf8(raw.data(), qsizetype(raw.size()));
        const int w = aaFont_.TextWidth(text);
        const bool current = j == lastCurrent_;
        aaFont_.SetColor(current ? currColor_ : color_);
        aaFont_.TextOut((lineImage_.width() - w) / 2, (j - band_.First) * h + height() / 2, text, 0,
                        100);
    }
}

void TZuLrcShow::paintEvent(QPaintEvent*) {
    if (dirty_)
        Render();
    QPainter p(this);
    if (lineImage_.isNull()) {
        p.fillRect(rect(), QColor::fromRgb(bgColor_));
        return;
    }
    const int64_t top = frame_.ImageTop + int64_t(band_.First) * Pitch();
    const QRect image(0, int(std::clamp<int64_t>(top, -(1 << 30), 1 << 30)), lineImage_.width(),
                      lineImage_.height());
    // The background where the picture does not reach.
    const QRegion rest = QRegion(rect()) - QRegion(image);
    for (const QRect& r : rest)
        p.fillRect(r, QColor::fromRgb(bgColor_));
    p.drawImage(image.topLeft(), lineImage_);
}

void TZuLrcShow::resizeEvent(QResizeEvent*) {
    dirty_ = true;
}

} // namespace tunola
