// The real player's tray icon as a StatusNotifierItem: on a private session bus with a
// StatusNotifierWatcher of our own and a virtual X display, the icon registers with the hint
// 云雀, and registers again when the watcher goes away and comes back (Qt re-registers an icon
// it made; the component adds one that no host could take at first). And as an XEmbed icon:
// with no tray at start the player makes none, and docks one into an XEmbed tray that starts
// later (a small tray manager of our own, on the same display).

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace {

class TrayProcess : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"dbus-daemon", "dbus-send", "Xvfb"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/setup.sh installs it)";
        ASSERT_TRUE(home_.isValid());
        const QString runtime = home_.path() + QStringLiteral("/run");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        bus_.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1"),
                    QStringLiteral("--address=unix:path=") + runtime + QStringLiteral("/bus")});
        ASSERT_TRUE(bus_.waitForStarted());
        address_ = ReadLine(bus_);
        ASSERT_FALSE(address_.isEmpty());

        // A display of our own; -displayfd tells which number it took.
        xvfb_.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"), QStringLiteral("1024x768x24"),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        ASSERT_TRUE(xvfb_.waitForStarted());
        const QString display = ReadLine(xvfb_);
        ASSERT_FALSE(display.isEmpty());
        display_ = QStringLiteral(":") + display;

        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("HOME"), home_.path());
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
        env_.insert(QStringLiteral("DISPLAY"), display_);
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
        // In a sanitizer build: libxkbcommon-x11 (under Qt's xcb start-up) hands strndup a
        // bound past the end of an X reply, which strict string checks count as a read
        // overflow although strndup stops at the terminator. Not our code; checked otherwise.
        if (const QString asan = env_.value(QStringLiteral("ASAN_OPTIONS")); !asan.isEmpty())
            env_.insert(QStringLiteral("ASAN_OPTIONS"),
                        asan + QStringLiteral(":strict_string_checks=0"));
    }
    void TearDown() override {
        for (QProcess* p : {&player_, &watcher_, &xvfb_, &bus_})
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(5000)) {
                    p->kill();
                    p->waitForFinished(2000);
                }
            }
    }

    static QString ReadLine(QProcess& p, int ms = 10000) {
        QElapsedTimer t;
        t.start();
        while (!p.canReadLine() && t.elapsed() < ms)
            p.waitForReadyRead(200);
        return QString::fromUtf8(p.readLine()).trimmed();
    }
    // The watcher's next "REGISTERED <item>", as the item's bus name.
    QString NextRegistration() {
        QString line = ReadLine(watcher_, 15000);
        return line.startsWith(QStringLiteral("REGISTERED "))
                   ? line.mid(QStringLiteral("REGISTERED ").size())
                   : QString();
    }
    void StartWatcher() {
        watcher_.setProcessEnvironment(env_);
        watcher_.start(QStringLiteral(TUNOLA_SNI_WATCHER), {});
        ASSERT_TRUE(watcher_.waitForStarted());
        ASSERT_EQ(ReadLine(watcher_), QStringLiteral("READY"));
    }
    QString ToolTipOf(const QString& item) {
        QProcess send;
        send.setProcessEnvironment(env_);
        send.start(QStringLiteral("dbus-send"),
                   {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                    QStringLiteral("--dest=") + item, QStringLiteral("/StatusNotifierItem"),
                    QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                    QStringLiteral("string:org.kde.StatusNotifierItem"),
                    QStringLiteral("string:ToolTip")});
        send.waitForFinished(5000);
        return QString::fromUtf8(send.readAllStandardOutput());
    }

    QTemporaryDir home_;
    QProcess bus_, xvfb_, watcher_, player_;
    QString address_, display_;
    QProcessEnvironment env_;
};

// An XEmbed tray manager: owns _NET_SYSTEM_TRAY_S0, announces itself with MANAGER on the root
// window, and reports the windows that ask to be docked (SYSTEM_TRAY_REQUEST_DOCK).
class FakeXEmbedTray {
public:
    explicit FakeXEmbedTray(const QString& display)
        : c_(xcb_connect(display.toLocal8Bit().constData(), nullptr)) {}
    ~FakeXEmbedTray() { xcb_disconnect(c_); }
    bool Start() {
        if (xcb_connection_has_error(c_))
            return false;
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        selection_ = Atom("_NET_SYSTEM_TRAY_S0");
        opcode_ = Atom("_NET_SYSTEM_TRAY_OPCODE");
        const xcb_atom_t manager = Atom("MANAGER");
        window_ = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(c_, window_, selection_, XCB_CURRENT_TIME);
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = screen->root;
        event.type = manager;
        event.data.data32[0] = XCB_CURRENT_TIME;
        event.data.data32[1] = selection_;
        event.data.data32[2] = window_;
        xcb_send_event(c_, false, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c_);
        return true;
    }
    // The window that asked to be docked within `ms`, or 0.
    xcb_window_t NextDockRequest(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> e(
                xcb_poll_for_event(c_), &std::free);
            if (!e) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            if ((e->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
                continue;
            const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(e.get());
            if (m->type == opcode_ && m->data.data32[1] == 0) // SYSTEM_TRAY_REQUEST_DOCK
                return m->data.data32[2];
        }
        return 0;
    }

private:
    xcb_atom_t Atom(const char* name) {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> r(
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, false, uint16_t(std::strlen(name)), name),
                                  nullptr),
            &std::free);
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    xcb_connection_t* c_;
    xcb_window_t window_ = 0;
    xcb_atom_t selection_ = 0, opcode_ = 0;
};

TEST_F(TrayProcess, RegistersWithItsHintAndAgainAfterTheWatcherReturns) {
    StartWatcher();
    player_.setProcessEnvironment(env_);
    player_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player_.start(QStringLiteral(TUNOLA_BINARY), {});
    ASSERT_TRUE(player_.waitForStarted());

    const QString item = NextRegistration();
    ASSERT_FALSE(item.isEmpty()) << "the player's icon never registered";
    EXPECT_TRUE(ToolTipOf(item).contains(QStringLiteral("云雀"))) << ToolTipOf(item).toStdString();

    // The tray host restarts: its watcher leaves the bus and a new one takes the name.
    watcher_.terminate();
    ASSERT_TRUE(watcher_.waitForFinished(5000));
    StartWatcher();
    const QString again = NextRegistration();
    ASSERT_FALSE(again.isEmpty()) << "the icon did not come back";
    EXPECT_TRUE(ToolTipOf(again).contains(QStringLiteral("云雀")));
    EXPECT_EQ(player_.state(), QProcess::Running);
}

TEST_F(TrayProcess, DocksIntoAnXEmbedTrayThatStartsLater) {
    env_.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tunola.startup.info=true"));
    player_.setProcessEnvironment(env_);
    player_.setProcessChannelMode(QProcess::MergedChannels);
    player_.start(QStringLiteral(TUNOLA_BINARY), {});
    ASSERT_TRUE(player_.waitForStarted());
    QString line;
    for (int i = 0; i < 200 && !line.contains(QStringLiteral("first paint at")); ++i)
        line = ReadLine(player_, 15000);
    ASSERT_TRUE(line.contains(QStringLiteral("first paint at"))) << "the player did not show";

    FakeXEmbedTray tray(display_);
    ASSERT_TRUE(tray.Start());
    EXPECT_NE(tray.NextDockRequest(10000), 0u) << "no icon asked to be docked";
    EXPECT_EQ(player_.state(), QProcess::Running);
}

} // namespace
