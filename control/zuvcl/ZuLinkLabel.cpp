#include "ZuLinkLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>

namespace tunola {

TZuLinkLabel::TZuLinkLabel(QWidget* parent) : QLabel(parent) {
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    url_ = QString::fromLatin1(kPlaceholder);
    setText(url_);
    Opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    ShowState();
}

void TZuLinkLabel::SetActiveColor(TColor color) {
    activeColor_ = color;
    ShowState();
}
void TZuLinkLabel::SetNormalColor(TColor color) {
    normalColor_ = color;
    ShowState();
}
void TZuLinkLabel::SetActiveBackColor(TColor color) {
    activeBackColor_ = color;
    ShowState();
}
void TZuLinkLabel::SetNormalBackColor(TColor color) {
    normalBackColor_ = color;
    ShowState();
}
void TZuLinkLabel::SetURL(const QString& url) {
    url_ = url;
    update();
}

void TZuLinkLabel::ShowState() {
    QFont f = font();
    f.setUnderline(hovered_);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText,
                 QColor::fromRgba(Color32(hovered_ ? activeColor_ : normalColor_)));
    pal.setColor(QPalette::Window,
                 QColor::fromRgba(Color32(hovered_ ? activeBackColor_ : normalBackColor_)));
    setPalette(pal);
    repaint();
}

void TZuLinkLabel::enterEvent(QEnterEvent* event) {
    if (OnMouseEnter)
        OnMouseEnter(*this);
    hovered_ = true;
    ShowState();
    QLabel::enterEvent(event);
}

void TZuLinkLabel::leaveEvent(QEvent* event) {
    if (OnMouseLeave)
        OnMouseLeave(*this);
    hovered_ = false;
    ShowState();
    QLabel::leaveEvent(event);
}

void TZuLinkLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

// A click is a left press and release on the label.
void TZuLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (!click)
        return;
    if (OnClick)
        OnClick(*this);
    const QString target = url_.trimmed();
    if (!target.isEmpty() && Opener)
        Opener(QUrl(target));
}

} // namespace tunola
