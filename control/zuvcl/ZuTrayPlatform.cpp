// The notification area through Qt's tray icon. Qt picks the protocol once per process: a
// StatusNotifierItem on the session bus when a StatusNotifierWatcher with a host runs there at
// the first use, an XEmbed icon otherwise. Qt puts an icon it has made back by itself when the
// tray comes back (it re-docks an XEmbed icon, and re-registers a StatusNotifierItem when the
// watcher's name re-appears on the bus). While no tray runs no icon is made (Qt's tray icon and
// what it loads cost a quarter of a MiB); a tray appearing later (a watcher registering on the
// bus, an XEmbed tray announcing itself on the display) is passed on to the component, which
// then adds the icon. UI thread only.

#include "ZuTray.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#ifdef TUNOLA_ZUVCL_XCB
#include <QAbstractNativeEventFilter>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

#ifdef TUNOLA_ZUVCL_DBUS
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#endif

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace tunola {

namespace {

#ifdef TUNOLA_ZUVCL_XCB
// An XEmbed tray that starts announces itself with a MANAGER client message to the root window
// (Qt selects the root's structure events for its own tray code, so they reach us too). Any
// client message to a root window is taken as a hint; whether a tray is there is asked afterwards.
class TXEmbedTrayWatch : public QObject, public QAbstractNativeEventFilter {
public:
    explicit TXEmbedTrayWatch(std::function<void()> seen) : seen_(std::move(seen)) {
        auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                            : nullptr;
        if (xcb_connection_t* c = x11 ? x11->connection() : nullptr)
            for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it))
                roots_.push_back(it.data->root);
        if (!roots_.empty())
            QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~TXEmbedTrayWatch() override {
        if (!roots_.empty() && QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            return false;
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (std::find(roots_.begin(), roots_.end(), client->window) != roots_.end() && !pending_) {
            // Asked once Qt has handled the message itself, so that it knows the tray too.
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                seen_();
            });
        }
        return false;
    }

private:
    std::function<void()> seen_;
    std::vector<xcb_window_t> roots_;
    bool pending_ = false;
};
#endif

class TQtTrayPlatform : public QObject, public IZuTrayPlatform {
public:
    TQtTrayPlatform() {
#ifdef TUNOLA_ZUVCL_DBUS
        watcher_ = std::make_unique<QDBusServiceWatcher>(
            QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
            QDBusServiceWatcher::WatchForRegistration);
        connect(watcher_.get(), &QDBusServiceWatcher::serviceRegistered, this, [this] {
            // An icon that exists re-registers itself; making it anew would only leave the
            // watcher a stale name. The component is told all the same, so it knows the icon
            // is there now.
            if (OnHostReturned)
                OnHostReturned();
        });
#endif
    }

    bool Add(const QIcon& icon, const QString& tip) override {
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            icon_.reset();
            WatchForXEmbedTray();
            return false;
        }
        if (!icon_) {
            icon_ = std::make_unique<QSystemTrayIcon>();
            connect(icon_.get(), &QSystemTrayIcon::activated, this, &TQtTrayPlatform::Activated);
            connect(icon_.get(), &QSystemTrayIcon::messageClicked, this,
                    [this] { Send(tmBalloonClick); });
        }
        icon_->setIcon(icon);
        icon_->setToolTip(tip);
        icon_->show();
        return icon_->isVisible();
    }
    void Modify(const QIcon& icon, const QString& tip) override {
        if (!icon_)
            return;
        icon_->setIcon(icon);
        icon_->setToolTip(tip);
    }
    void Delete() override {
        icon_.reset();
    }
    void PopupMenu(QMenu& menu, QPoint at) override {
        menu.exec(at);
    }
    QPoint CursorPos() const override {
        return QCursor::pos();
    }

private:
    void WatchForXEmbedTray() {
#ifdef TUNOLA_ZUVCL_XCB
        if (xembed_ || QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        xembed_ = std::make_unique<TXEmbedTrayWatch>([this] {
            if (QSystemTrayIcon::isSystemTrayAvailable() && OnHostReturned)
                OnHostReturned();
        });
#endif
    }
    void Send(TZuTrayMessage m) {
        if (OnMessage)
            OnMessage(m);
    }
    // Qt reports clicks, not presses and releases: a click is both, in order.
    void Activated(QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            Send(tmLButtonDown);
            Send(tmLButtonUp);
            break;
        case QSystemTrayIcon::DoubleClick:
            Send(tmLButtonDblClk);
            break;
        case QSystemTrayIcon::Context:
            Send(tmRButtonDown);
            Send(tmRButtonUp);
            break;
        default:
            break;
        }
    }

    std::unique_ptr<QSystemTrayIcon> icon_;
#ifdef TUNOLA_ZUVCL_XCB
    std::unique_ptr<TXEmbedTrayWatch> xembed_;
#endif
#ifdef TUNOLA_ZUVCL_DBUS
    std::unique_ptr<QDBusServiceWatcher> watcher_;
#endif
};

} // namespace

std::unique_ptr<IZuTrayPlatform> MakeZuTrayPlatform() {
    return std::make_unique<TQtTrayPlatform>();
}

} // namespace tunola
