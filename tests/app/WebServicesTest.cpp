// The player's side of its service, with the check timer's ticks driven by hand against servers
// on 127.0.0.1: checks until the service answers and none after, the updater started with its
// two arguments and no shell, and what the updater shows of the service's text.

#include "WebServices.h"
#include "NotifyChannel.h"
#include "UpdateText.h"

#include "../audio/HttpTestServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tunola;
using tunaudio::test::THttpRoute;
using tunaudio::test::THttpTestServer;

namespace {

// A player's worth of the web layer: the state, the channel its workers post through, and the
// check timer (never started: the test ticks it).
struct TWebFixture {
    TAppState state;
    std::unique_ptr<TWebServices> web;
    TNotifyChannel channel{[this](int32_t code, int64_t lParam, const QString& text) {
        web->HandleNotice(code, lParam, text);
    }};
    QTimer tmr_chk;
    int firstOnline = 0;

    TWebFixture(const THttpTestServer& server, uint64_t localVersion, QString updater = {}) {
        tmr_chk.setInterval(2000);
        web = std::make_unique<TWebServices>(
            TWebServices::TParts{&state, &channel, "127.0.0.1:" + std::to_string(server.Port()),
                                 std::move(updater), [] { return quint64(4242); },
                                 [] {
                                     return std::optional<TWebServices::TTrack>({"你好", "歌手"});
                                 },
                                 [this] { ++firstOnline; }, localVersion});
    }
    // What the workers under way post has been handled.
    void Settle() {
        web->Workers().Wait();
        QCoreApplication::processEvents();
    }
    void Tick() {
        web->tmr_chkTimer(tmr_chk);
        Settle();
    }
};

} // namespace

TEST(WebServices, ChecksEveryTickUntilTheServiceAnswersThenNever) {
    THttpTestServer server;
    THttpRoute answer;
    answer.body = "tunola v=0,"; // offers nothing
    answer.failFirst = 3;
    server.Route("/soft/updata.asp", answer);
    ASSERT_TRUE(server.Start());
    TWebFixture f(server, 20);

    f.web->StartServiceCheck(); // the end of start-up
    f.Settle();
    for (int tick = 1; tick <= 2; ++tick) {
        EXPECT_FALSE(f.state.ServiceOnline.load());
        f.Tick();
        EXPECT_EQ(server.Requests(), 1 + tick);
    }
    EXPECT_FALSE(f.state.ServiceOnline.load());
    f.Tick(); // the fourth check finds the service
    EXPECT_TRUE(f.state.ServiceOnline.load());
    EXPECT_EQ(server.Requests(), 4);
    EXPECT_EQ(f.tmr_chk.interval(), 2000);

    f.Tick(); // the first tick that sees it: slower ticks, the update check, the library window
    EXPECT_EQ(f.tmr_chk.interval(), 2500);
    EXPECT_EQ(f.firstOnline, 1);
    EXPECT_EQ(server.Requests(), 5);
    for (int tick = 0; tick < 5; ++tick)
        f.Tick();
    EXPECT_EQ(server.Requests(), 5);
    EXPECT_EQ(f.firstOnline, 1);
}

// The updater records what it was started with; a parameter that a shell would act on is
// handed over as it is.
TEST(WebServices, UpdaterGetsTheWindowAndTheParameterAsExactlyTwoArguments) {
    const QString dir = QDir::tempPath() + QStringLiteral("/fake-updater");
    QDir(dir).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString updater = dir + QStringLiteral("/tunola-update");
    {
        QFile script(updater);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "out=\"$(dirname \"$0\")/argv\"\n"
                     "{ echo \"$#\"; for a in \"$@\"; do echo \"[$a]\"; done; } > \"$out.part\"\n"
                     "mv \"$out.part\" \"$out\"\n");
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const std::string parameter = "2.5 http://h/t.tar.gz $(touch " + dir.toStdString() +
                                  "/pwned); `touch " + dir.toStdString() + "/pwned`";
    THttpTestServer server;
    THttpRoute answer;
    answer.body = "tunola v=25," + parameter;
    server.Route("/soft/updata.asp", answer);
    ASSERT_TRUE(server.Start());

    const struct {
        uint64_t local;
        bool started;
    } cases[] = {{25, false}, {24, true}};
    for (const auto& c : cases) {
        TWebFixture f(server, c.local, updater);
        f.state.ServiceOnline = true;
        f.Tick(); // the update check runs, and its offer, if any, is handled
        QElapsedTimer waited;
        waited.start();
        while (c.started && !QFile::exists(dir + "/argv") && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QFile argv(dir + "/argv");
        EXPECT_EQ(argv.exists(), c.started) << c.local;
        if (c.started && argv.open(QIODevice::ReadOnly))
            EXPECT_EQ(argv.readAll().toStdString(), "2\n[4242]\n[" + parameter + "]\n");
    }
    EXPECT_FALSE(QFile::exists(dir + "/pwned"));
}

TEST(WebServices, UploadTakesTheCurrentEntryAndOnlyWhileTheServiceIsThere) {
    THttpTestServer server;
    THttpRoute ok;
    ok.body = "OK\n";
    server.Route("/lrcpost.asp", ok);
    ASSERT_TRUE(server.Start());
    TWebFixture f(server, 20);

    f.web->LyricFound("[00:01.00]a lyric long enough");
    f.Settle();
    EXPECT_EQ(server.Requests(), 0); // no service seen yet

    f.state.ServiceOnline = true;
    f.web->LyricFound(""); // the lookup found nothing
    f.Settle();
    EXPECT_EQ(server.LastRequest().body,
              "ltitle=%C4%E3%BA%C3&lsinger=%B8%E8%CA%D6&llrc=tun%5F12345");
}

// What the updater is given of a service's parameter: bounded, and nothing that ends or bends
// the argument on its way.
TEST(WebServices, UpdaterArgumentIsBoundedText) {
    const QString longest(TWebServices::kMaxUpdaterParameter, QLatin1Char('x'));
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two units
    const struct {
        QString parameter, argument;
    } cases[] = {
        {"2.5 http://h.example/t.tar.gz", "2.5 http://h.example/t.tar.gz"},
        {QString::fromUtf8("新版本\t2.5\r\nhttp://h/x"),
         QString::fromUtf8("新版本\t2.5\r\nhttp://h/x")},
        {QStringLiteral("a") + QChar(0) +
             QStringLiteral("b\x01"
                            "c\x1b[31md\x7f") +
             QChar(0x85),
         "a b c [31md  "},
        {"-testability", "-testability"}, // the updater reads it as text, not as Qt's option
        {longest + QStringLiteral("yyyy"), longest},
        {longest.left(longest.size() - 1) + smile, longest.left(longest.size() - 1)},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TWebServices::UpdaterArgument(c.parameter), c.argument)
            << c.parameter.left(40).toStdString();
}

// The real updater, given parameters that Qt would take for its own options: none of them
// acts (a library loaded, a style sheet read, a style plug-in chosen).
TEST(WebServices, UpdaterTakesNoQtOptionsFromTheParameter) {
    const struct {
        const char* parameter;
        const char* sign; // what Qt writes when it acts on the option
    } cases[] = {
        {"-testability", "qttestability"},
        {"-stylesheet=/nonexistent/tunola.qss", "tunola.qss"},
        {"-style=nosuchstyle", "nosuchstyle"},
    };
    for (const auto& c : cases) {
        QProcess updater;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        updater.setProcessEnvironment(env);
        updater.start(QStringLiteral(TUNOLA_UPDATER),
                      {QStringLiteral("0"), QString::fromLatin1(c.parameter)});
        ASSERT_TRUE(updater.waitForStarted());
        // Qt has read its options once the dialog shows (the offscreen platform says so).
        QByteArray err;
        QElapsedTimer waited;
        waited.start();
        while (!err.contains("does not support") && waited.elapsed() < 15000 &&
               updater.state() == QProcess::Running) {
            updater.waitForReadyRead(100);
            err += updater.readAllStandardError();
        }
        updater.kill();
        updater.waitForFinished(5000);
        err += updater.readAllStandardError();
        EXPECT_FALSE(err.contains(c.sign)) << c.parameter << ": " << err.constData();
    }
}

TEST(UpdateText, WebAddressesBecomeLinksEverythingElseStaysText) {
    const struct {
        QString parameter, html;
    } cases[] = {
        {"2.5 http://h.example/t.tar.gz",
         "2.5 <a href=\"http://h.example/t.tar.gz\">http://h.example/t.tar.gz</a>"},
        {"HTTPS://h.example/a?b=1&c=2",
         "<a href=\"https://h.example/a?b=1&amp;c=2\">HTTPS://h.example/a?b=1&amp;c=2</a>"},
        {"<b>2.5</b> & \"x\"", "&lt;b&gt;2.5&lt;/b&gt; &amp; &quot;x&quot;"},
        {"javascript:alert(1) file:///etc/passwd ftp://h/x",
         "javascript:alert(1) file:///etc/passwd ftp://h/x"},
        {"http:// https:///path", "http:// https:///path"}, // no host
        {"http://h\"onclick=\"x", "http://h&quot;onclick=&quot;x"},
        {"新版本\n2.5", "新版本<br>2.5"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateTextHtml(c.parameter), c.html) << c.parameter.toStdString();
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
