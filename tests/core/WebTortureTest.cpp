// Every web call (WebGet and WebPostForm) against servers that misbehave in every way we know,
// made from worker threads as the player makes them, while this thread turns its event loop as
// the UI thread does: each call ends within its bound with nothing, and the loop never stalls.
// The worst stall of each case is printed for docs/PERFORMANCE.md.
//
// Threads: per case one worker for the GET and one for the POST; they share only the atomic
// count of calls still running with this thread, which watches the loop.

#include "EventLoopStallProbe.h"
#include "WebClient.h"

#include "../audio/HttpTestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

using namespace tunola;
using tunaudio::test::DeadPort;
using tunaudio::test::THttpRoute;
using tunaudio::test::THttpTestServer;
using namespace std::chrono_literals;

namespace {

// The player's bounds, five times shorter, so that every case's shape stays and CI stays quick.
TWebBounds Bounds() {
    TWebBounds b;
    b.connectMs = 1000;
    b.stallMs = 2000;
    b.totalMs = 6000;
    b.maxBytes = 4u << 20;
    return b;
}

struct TCallResult {
    std::string body = "unset";
    qint64 ms = -1;
};

TEST(WebTorture, EveryCallEndsInTimeWithNothingAndTheLoopKeepsTurning) {
    THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    THttpTestServer server;
    THttpRoute slow; // one byte a second, never a pause long enough to be a stall
    slow.body = std::string(100, 's');
    slow.chunk = 1;
    slow.pause = 1000ms;
    server.Route("/slow", slow);
    THttpRoute endless; // never ends
    endless.body = std::string(64 << 10, 'x');
    endless.sendLength = false;
    endless.endless = true;
    server.Route("/endless", endless);
    THttpRoute header; // a 100 MB header line
    header.body = "fine";
    header.headerBytes = 100u << 20;
    server.Route("/header", header);
    THttpRoute reset; // the connection reset half-way through the body
    reset.body = std::string(256 << 10, 'r');
    reset.chunk = 4 << 10;
    reset.pause = 5ms;
    reset.resetAfter = reset.body.size() / 2;
    server.Route("/reset", reset);
    THttpRoute file; // a redirect out of the network
    file.status = 302;
    file.location = "file:///etc/passwd";
    server.Route("/file", file);
    THttpRoute again; // a redirect to itself, for ever
    again.status = 302;
    again.location = "/loop";
    server.Route("/loop", again);
    ASSERT_TRUE(server.Start());

    const TWebBounds bounds = Bounds();
    const std::string dead = "http://127.0.0.1:" + std::to_string(DeadPort());
    const struct {
        const char* name;
        std::string url;
        int boundMs; // the bound that ends it, with room for a loaded machine
    } cases[] = {
        {"dead port", dead + "/x", bounds.connectMs + 1000},
        {"accept and silence", silent.Url("/x"), bounds.stallMs + 1000},
        {"one byte a second", server.Url("/slow"), bounds.totalMs + 1000},
        {"endless body", server.Url("/endless"), bounds.totalMs + 1000},
        {"100 MB header", server.Url("/header"), bounds.totalMs + 1000},
        {"reset mid-stream", server.Url("/reset"), bounds.totalMs + 1000},
        {"redirect loop", server.Url("/loop"), bounds.connectMs + 1000},
        {"redirect to file://", server.Url("/file"), bounds.connectMs + 1000},
    };

    TEventLoopStallProbe probe;
    probe.Start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TCallResult get, post;
        std::atomic<int> running{2};
        auto timed = [&running](TCallResult& into, auto call) {
            QElapsedTimer clock;
            clock.start();
            into.body = call();
            into.ms = clock.elapsed();
            running.fetch_sub(1);
        };
        probe.Reset();
        std::thread getter(timed, std::ref(get), [&] { return WebGet(c.url, bounds); });
        std::thread poster(timed, std::ref(post),
                           [&] { return WebPostForm(c.url, "a=1&b=%C4%E3", bounds); });
        QElapsedTimer clock;
        clock.start();
        while (running.load() > 0 && clock.elapsed() < c.boundMs + 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(1);
        }
        getter.join();
        poster.join();
        EXPECT_EQ(get.body, "");
        EXPECT_EQ(post.body, "");
        EXPECT_LE(get.ms, c.boundMs);
        EXPECT_LE(post.ms, c.boundMs);
        // A blocked loop would show here; the figure itself goes to docs/PERFORMANCE.md.
        EXPECT_LT(probe.WorstStallMs(), 1000);
        std::printf("web torture %-20s GET %5lld ms, POST %5lld ms, worst UI stall %3lld ms\n",
                    c.name, static_cast<long long>(get.ms), static_cast<long long>(post.ms),
                    static_cast<long long>(probe.WorstStallMs()));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
