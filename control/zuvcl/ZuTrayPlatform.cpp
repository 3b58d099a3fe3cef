// The notification area through Qt's tray icon. Qt picks the protocol once per process: a
// StatusNotifierItem on the session bus when a StatusNotifierWatcher with a host runs there at
// the first use, an XEmbed icon otherwise. Qt puts an icon it has made back by itself when the
// tray comes back (it re-docks an XEmbed icon, and re-registers a StatusNotifierItem when the
// watcher's name re-appears on the bus); on xcb the icon is made even while no tray runs, so
// that Qt docks it once one appears. A watcher appearing is passed on to the component, which
// then counts the icon as there. UI thread only.

#include "ZuTray.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#ifdef TUNOLA_ZUVCL_DBUS
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#endif

#include <memory>

namespace tunola {

namespace {

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
        const bool available = QSystemTrayIcon::isSystemTrayAvailable();
        // Without a tray, an XEmbed icon is still made: Qt docks it by itself once a tray
        // appears. The answer stays "not there" until then, so nothing relies on it.
        if (!available && QGuiApplication::platformName() != QLatin1String("xcb")) {
            icon_.reset();
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
        return available && icon_->isVisible();
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
#ifdef TUNOLA_ZUVCL_DBUS
    std::unique_ptr<QDBusServiceWatcher> watcher_;
#endif
};

} // namespace

std::unique_ptr<IZuTrayPlatform> MakeZuTrayPlatform() {
    return std::make_unique<TQtTrayPlatform>();
}

} // namespace tunola
