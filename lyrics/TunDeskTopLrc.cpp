#include "TunDeskTopLrc.h"

#include <CnAAMotion.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>

namespace tunola {

namespace {

TCnAAEffect TitleEffect() {
    TCnAAEffect e;
    e.Shadow.Enabled = true;
    e.Gradual.Enabled = true;
    e.Gradual.Style = gsTopToBottom;
    e.Gradual.StartColor = qRgb(255, 0, 0);
    e.Gradual.EndColor = qRgb(0, 0, 255);
    return e;
}

} // namespace

TTunDeskTopLrc::TTunDeskTopLrc(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TunDeskTopLrc"));
    setWindowTitle(QStringLiteral("TunDeskTopLrc"));
    setWindowRole(QStringLiteral("TUNOLA DesktopLrc"));
    // The skinned forms snap to it; it never joins the main window's group.
    setProperty("zuSnapTag", kTag);
    setWindowOpacity(kOpacity);
    resize(574, 100);
    QFont form(QStringLiteral("黑体"));
    form.setPixelSize(64);
    setFont(form);

    CnAAFadeText1 = new TCnAAFadeText(this);
    CnAAFadeText1->setObjectName(QStringLiteral("CnAAFadeText1"));
    CnAAFadeText1->setGeometry(rect());
    CnAAFadeText1->SetActive(false);
    // The playback tick shows the text (ShowDesktopText) and paces the fade with it, so that
    // the fade's steps reach the screen with the other windows' frames.
    CnAAFadeText1->SetPacedFromOutside(true);
    TCnFontLabel title;
    title.Name = QStringLiteral("Title1");
    title.Font = QFont(QStringLiteral("Tahoma"));
    title.Font.setPixelSize(64);
    title.Color = qRgb(0, 0, 0);
    title.Effect = TitleEffect();
    CnAAFadeText1->Fonts().push_back(title);
    TCnFadeTextParam text = CnAAFadeText1->Text();
    text.FadeDelay = 300;
    text.LineDelay = 800;
    text.FontEffect = TitleEffect();
    CnAAFadeText1->SetText(text);
    CnAAFadeText1->SetRepeatCount(0);
    CnAAFadeText1->SetLines({QStringLiteral("<Title1>云雀 2")});
    CnAAFadeText1->installEventFilter(this);

    menu_ = new QMenu(this);
    lockEntry_ = menu_->addAction(QString::fromUtf8(kLockCaption));
    lockEntry_->setObjectName(QStringLiteral("pmd_lock"));
    lockEntry_->setCheckable(true);
    connect(lockEntry_, &QAction::toggled, this, &TTunDeskTopLrc::SetLocked);
    menu_->addAction(QStringLiteral("关闭"), this, &QWidget::close);
}

QRect TTunDeskTopLrc::PlaceOnScreen(const QRect& screen, int height) {
    return {screen.left() + 5, screen.top() + screen.height() - height - 50, screen.width() - 10,
            height};
}

void TTunDeskTopLrc::showEvent(QShowEvent* event) {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s)
        setGeometry(PlaceOnScreen(s->geometry(), height()));
    CnAAFadeText1->setGeometry(rect());
    CnAAFadeText1->SetActive(true);
    QWidget::showEvent(event);
}

void TTunDeskTopLrc::closeEvent(QCloseEvent* event) {
    CnAAFadeText1->SetActive(false);
    QWidget::closeEvent(event);
}

void TTunDeskTopLrc::hideEvent(QHideEvent* event) {
    CnAAFadeText1->SetActive(false);
    dragging_ = false;
    QWidget::hideEvent(event);
}

void TTunDeskTopLrc::resizeEvent(QResizeEvent*) {
    CnAAFadeText1->setGeometry(rect());
}

void TTunDeskTopLrc::ShowDesktopText(const QString& text) {
    CnAAFadeText1->Pace();
    if (text == lastDesktopText_)
        return;
    lastDesktopText_ = text;
    if (isVisible())
        CnAAFadeText1->SetLines({QStringLiteral("<Title1>") + text});
}

void TTunDeskTopLrc::SetLocked(bool locked) {
    if (locked_ == locked)
        return;
    locked_ = locked;
    dragging_ = false;
    lockEntry_->setChecked(locked);
    ApplyLock();
    if (OnLockChanged)
        OnLockChanged(locked);
}

void TTunDeskTopLrc::ApplyLock() {
    // Input passes through the whole window to whatever lies below it.
    const bool shown = isVisible();
    setWindowFlags(locked_ ? windowFlags() | Qt::WindowTransparentForInput
                           : windowFlags() & ~Qt::WindowTransparentForInput);
    if (shown)
        show(); // changing the flags hides a window
}

bool TTunDeskTopLrc::Showing() const {
    return OnScreen(*this);
}

bool TTunDeskTopLrc::eventFilter(QObject* watched, QEvent* event) {
    if (watched != CnAAFadeText1 || locked_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton) {
            dragging_ = true;
            // In screen terms: the window moving under the pointer changes the local point.
            pressY_ = int(e->globalPosition().y()) - y();
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (dragging_) {
            // Up and down only: left, width and height stay.
            move(x(), int(e->globalPosition().y()) - pressY_);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            dragging_ = false;
            return true;
        }
        break;
    case QEvent::ContextMenu:
        menu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tunola
