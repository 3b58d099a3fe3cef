// A StatusNotifierWatcher of our own for the tray test: it owns the watcher's name on the
// session bus it is started on, says that a host is there, and prints "READY" and then
// "REGISTERED <item>" for every item that registers, one line each.

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

#include <cstdio>

class TWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    QStringList Items;
};

class TWatcherAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ Items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ HostRegistered)
    Q_PROPERTY(int ProtocolVersion READ Protocol)
public:
    explicit TWatcherAdaptor(TWatcher* w) : QDBusAbstractAdaptor(w), watcher_(w) {}
    QStringList Items() const { return watcher_->Items; }
    bool HostRegistered() const { return true; }
    int Protocol() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
        // An item may give its object path instead of its service: then the sender is it.
        const QString item = service.startsWith(QLatin1Char('/')) ? message.service() : service;
        watcher_->Items.push_back(item);
        std::printf("REGISTERED %s\n", qPrintable(item));
        std::fflush(stdout);
        emit StatusNotifierItemRegistered(item);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    TWatcher* watcher_;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TWatcher watcher;
    new TWatcherAdaptor(&watcher);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "sni-watcher: cannot take the watcher's name\n");
        return 1;
    }
    std::printf("READY\n");
    std::fflush(stdout);
    return app.exec();
}

#include "SniWatcher.moc"
