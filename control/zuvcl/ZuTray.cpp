#include "ZuTray.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QSessionManager>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace tunola {

TZuTrayIcon::TZuTrayIcon(QWidget* owner, std::unique_ptr<IZuTrayPlatform> platform)
    : QObject(owner), owner_(owner),
      platform_(platform ? std::move(platform) : MakeZuTrayPlatform()) {
    platform_->OnMessage = [this](TZuTrayMessage m) { HandleMessage(m); };
    platform_->OnHostReturned = [this] { HostReturned(); };
    if (owner_)
        owner_->installEventFilter(this);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& m) {
            if (!QueryEndSession() && m.allowsInteraction())
                m.cancel();
        });
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            if (sessionEnding_)
                EndSession();
        });
    }
    current_ = QApplication::windowIcon();
    SetEnabled(true);
}

TZuTrayIcon::~TZuTrayIcon() {
    if (shown_)
        platform_->Delete();
}

void TZuTrayIcon::SetEnabled(bool enabled) {
    enabled_ = enabled;
    wanted_ = enabled;
    if (enabled) {
        shown_ = platform_->Add(current_, ShownHint());
        // A refused add leaves the component disabled.
        enabled_ = shown_;
    } else if (shown_) {
        platform_->Delete();
        shown_ = false;
    }
}

void TZuTrayIcon::SetHint(const QString& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    if (shown_)
        platform_->Modify(current_, ShownHint());
}

void TZuTrayIcon::SetIcons(std::vector<QIcon> icons) {
    icons_ = std::move(icons);
    ApplyIconIndex();
}

void TZuTrayIcon::SetIconIndex(int index) {
    iconIndex_ = index;
    ApplyIconIndex();
}

void TZuTrayIcon::ApplyIconIndex() {
    if (!icons_.empty() && iconIndex_ >= 0 && iconIndex_ < int(icons_.size()))
        current_ = icons_[size_t(iconIndex_)];
    else
        current_ = QApplication::windowIcon();
    if (shown_)
        platform_->Modify(current_, ShownHint());
}

void TZuTrayIcon::SetInterval(int milliseconds) {
    interval_ = milliseconds;
    if (timer_)
        timer_->setInterval(interval_);
}

void TZuTrayIcon::SetAnimate(bool animate) {
    animate_ = animate;
    if (!animate) {
        timer_.reset();
        return;
    }
    if (!timer_) {
        timer_ = std::make_unique<QTimer>();
        connect(timer_.get(), &QTimer::timeout, this, &TZuTrayIcon::AnimationTick);
    }
    timer_->start(interval_);
}

void TZuTrayIcon::AnimationTick() {
    if (icons_.empty())
        return;
    iconIndex_ = iconIndex_ + 1 >= int(icons_.size()) ? 0 : iconIndex_ + 1;
    ApplyIconIndex();
}

void TZuTrayIcon::HandleMessage(TZuTrayMessage message) {
    struct Row {
        TZuTrayMessage message;
        TZuTrayIconClicks action;
        TZuTrayEvent TZuTrayIcon::*event;
    };
    static constexpr Row kRows[] = {
        {tmLButtonDown, ticLeftClick, &TZuTrayIcon::OnLButtonDown},
        {tmLButtonUp, ticLeftClickUp, &TZuTrayIcon::OnLButtonUp},
        {tmLButtonDblClk, ticLeftDblClick, &TZuTrayIcon::OnLButtonDblClick},
        {tmRButtonDown, ticRightClick, &TZuTrayIcon::OnRButtonDown},
        {tmRButtonUp, ticRightClickUp, &TZuTrayIcon::OnRButtonUp},
        {tmRButtonDblClk, ticRightDblClick, &TZuTrayIcon::OnRButtonDblClick},
        {tmBalloonHide, ticNone, &TZuTrayIcon::OnBalloonHintHide},
        {tmBalloonTimeout, ticNone, &TZuTrayIcon::OnBalloonHintClose},
        {tmBalloonClick, ticNone, &TZuTrayIcon::OnBalloonHintClick},
    };
    for (const Row& row : kRows) {
        if (row.message != message)
            continue;
        if (row.action != ticNone) {
            if (restoreOn_ == row.action)
                Restore();
            if (popupMenuOn_ == row.action)
                ShowMenu();
        }
        if (const TZuTrayEvent& e = this->*row.event)
            e(*this);
        return;
    }
}

void TZuTrayIcon::Restore() {
    if (menuShowing_ || restoring_ || !owner_)
        return;
    restoring_ = true;
    owner_->show();
    owner_->setWindowState((owner_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    owner_->raise();
    owner_->activateWindow();
    if (OnRestoreApp)
        OnRestoreApp(*this);
    restoring_ = false;
}

void TZuTrayIcon::ShowMenu() {
    if (!menu_)
        return;
    const QPoint at = platform_->CursorPos();
    if (owner_ && owner_->isVisible() && !owner_->isMinimized()) {
        owner_->raise();
        owner_->activateWindow();
    }
    menuShowing_ = true;
    QPointer<TZuTrayIcon> self(this);
    platform_->PopupMenu(*menu_, at);
    if (self)
        menuShowing_ = false;
}

void TZuTrayIcon::Minimized() {
    // Only with an icon to come back from does the taskbar entry go.
    if (owner_ && enabled_ && shown_ && hideOnMinimize_)
        QTimer::singleShot(0, owner_, [o = owner_] {
            if (o && o->isMinimized())
                o->hide();
        });
    if (OnMinimizeApp)
        OnMinimizeApp(*this);
}

bool TZuTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == owner_ && event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool was = change->oldState() & Qt::WindowMinimized;
        const bool now = owner_->windowState() & Qt::WindowMinimized;
        if (now && !was)
            Minimized();
        else if (was && !now && !restoring_ && OnRestoreApp)
            OnRestoreApp(*this);
    }
    return QObject::eventFilter(watched, event);
}

bool TZuTrayIcon::QueryEndSession() {
    bool allow = true;
    if (OnQueryEndSession)
        OnQueryEndSession(*this, allow);
    sessionEnding_ = allow;
    return allow;
}

void TZuTrayIcon::EndSession() {
    if (OnEndSession)
        OnEndSession(*this);
    if (shown_) {
        platform_->Delete();
        shown_ = false;
    }
}

void TZuTrayIcon::HostReturned() {
    // The icon goes back with its image and tooltip; a failure stays quiet.
    if (!wanted_)
        return;
    try {
        shown_ = platform_->Add(current_, ShownHint());
    } catch (...) {
        shown_ = false;
    }
    enabled_ = shown_;
}

} // namespace tunola
