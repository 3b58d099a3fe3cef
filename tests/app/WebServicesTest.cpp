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
