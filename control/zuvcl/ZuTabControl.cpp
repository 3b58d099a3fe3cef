#include "ZuTabControl.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace tunola {

std::vector<QRect> ZuTabLayout(const std::vector<int>& textWidths, int spacing, int tabHeight) {
    std::vector<QRect> rects;
    rects.reserve(textWidths.size());
    int x = 0;
    for (const int w : textWidths) {
        // Left x, top 0, right x + w + 20, bottom TabHeight (right and bottom excluded).
        rects.emplace_back(QPoint(x, 0), QPoint(x + w + 20 - 1, tabHeight - 1));
        x += w + 20 + spacing;
    }
    return rects;
}

QString ZuStripFirstAmpersand(const QString& caption) {
    QString s = caption;
    if (const qsizetype at = s.indexOf(QLatin1Char('&')); at >= 0)
        s.remove(at, 1);
    return s;
}

TZuTabControl::TZuTabControl(QWidget* parent) : TZuGraphicControlEx(parent) {
    SetColor(0xE1EAEB);
    setAcceptDrops(true);
}

void TZuTabControl::SetTabs(const QStringList& tabs) {
    tabs_.clear();
    for (const QString& t : tabs)
        tabs_.push_back(t.trimmed());
    const int last = int(tabs_.size()) - 1;
    activeTab_ = int16_t(std::clamp(int(activeTab_), 0, std::max(last, 0)));
    Layout();
}

void TZuTabControl::SetActiveTab(int tab) {
    const int count = int(tabs_.size());
    if (tab > count - 1)
        tab = count - 1; // -1 with no captions
    if (tab < 0)
        tab = 0;
    activeTab_ = int16_t(std::min(tab, int(INT16_MAX)));
    if (OnTabChanged)
        OnTabChanged(*this);
    update();
}

void TZuTabControl::SetTabHeight(int height) {
    tabHeight_ = int16_t(std::clamp(height, 0, int(INT16_MAX)));
    Layout();
}

void TZuTabControl::SetTabSpacing(uint8_t spacing) {
    tabSpacing_ = spacing == 0 ? 1 : spacing;
    Layout();
}

void TZuTabControl::SetAColor(TColor color) {
    aColor_ = color;
    Layout();
}

void TZuTabControl::SetDColor(TColor color) {
    dColor_ = color;
    Layout();
}

void TZuTabControl::Layout() {
    const QFontMetrics metrics(font());
    std::vector<int> widths;
    widths.reserve(size_t(tabs_.size()));
    for (const QString& t : tabs_)
        widths.push_back(metrics.horizontalAdvance(ZuStripFirstAmpersand(t)));
    rects_ = ZuTabLayout(widths, tabSpacing_, tabHeight_);
    update();
}

int TZuTabControl::TabAt(QPoint p) const {
    for (size_t i = 0; i < rects_.size(); ++i)
        if (rects_[i].contains(p))
            return int(i);
    return -1;
}

void TZuTabControl::PaintImage(TZuBitmap32& canvas) {
    // The raw colour value goes into the pixels as it stands, as the strip always drew it.
    canvas.Clear(TColor32(uint32_t(Color())));
    const TZuBitmap32& image = Image();
    const TZuRect whole = canvas.BoundsRect();
    if (!image.Empty())
        image.StretchDraw(canvas, whole, image.BoundsRect(), image.Opacity());
    const int32_t band = image.Height() / 3;
    QPainter painter;
    if (canvas.Surface())
        painter.begin(canvas.Surface());
    if (painter.isActive())
        painter.setFont(font());
    for (size_t i = 0; i < rects_.size(); ++i) {
        const bool active = int(i) == activeTab_;
        const QRect r = active ? rects_[i] : rects_[i].translated(0, 2);
        const TZuRect dst{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        const int32_t top = active ? band : 0;
        if (!image.Empty() && band > 0)
            image.StretchDraw(canvas, dst, {0, top, image.Width(), top + band}, image.Opacity());
        if (painter.isActive()) {
            painter.setPen(QColor::fromRgba(Color32(active ? aColor_ : dColor_)));
            painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                             tabs_[qsizetype(i)]);
        }
    }
}

void TZuTabControl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    for (size_t i = 0; i < rects_.size(); ++i)
        if (rects_[i].contains(x, y) && int(i) != activeTab_)
            SetActiveTab(int(i));
    TZuGraphicControlEx::MouseDown(button, shift, x, y);
}

void TZuTabControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        Layout();
    TZuGraphicControlEx::changeEvent(event);
}

bool TZuTabControl::DragOver(QObject* source) {
    const bool accepted = source && AcceptDragFrom && AcceptDragFrom(source);
    dragOver_ = accepted;
    return accepted;
}

void TZuTabControl::DragDrop(QObject* source, int x, int y) {
    dragOver_ = false;
    if (OnDragDrop)
        OnDragDrop(*this, source, x, y);
}

void TZuTabControl::dragEnterEvent(QDragEnterEvent* event) {
    if (DragOver(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TZuTabControl::dragLeaveEvent(QDragLeaveEvent*) {
    DragLeave();
}

void TZuTabControl::dropEvent(QDropEvent* event) {
    const QPoint p = event->position().toPoint();
    DragDrop(event->source(), p.x(), p.y());
    event->acceptProposedAction();
}

} // namespace tunola
