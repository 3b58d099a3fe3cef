// The service's answers read as the player reads them, the lyric upload's bytes on the wire,
// and the three workers against servers on 127.0.0.1: what each posts, one of each kind at a
// time, and a stop that never waits for a silent service.

#include "ServiceWorkers.h"
#include "LyricUpload.h"
#include "UpdateCheck.h"

#include "../audio/HttpTestServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <vector>

using namespace tunola;
using tunaudio::test::THttpRoute;
using tunaudio::test::THttpTestServer;

namespace {

// Records what the workers post, from whichever thread.
class TRecordingPoster : public INotifyPoster {
public:
    void Post(int32_t code, int64_t lParam, const QString& text) override {
        std::lock_guard lock(mutex_);
        posts_.emplace_back(code, lParam, text.toStdString());
    }
    std::vector<std::tuple<int32_t, int64_t, std::string>> Posts() {
        std::lock_guard lock(mutex_);
        return posts_;
    }

private:
    std::mutex mutex_;
    std::vector<std::tuple<int32_t, int64_t, std::string>> posts_;
};

std::string HostOf(const THttpTestServer& server) {
    return "127.0.0.1:" + std::to_string(server.Port());
}

} // namespace

TEST(UpdateAnswer, VersionFromTheTenthCharacterToTheCommaThenTheParameter) {
    constexpr uint64_t kLocal = 24; // version 2.4
    const struct {
        std::string answer;
        std::optional<std::string> parameter;
    } cases[] = {
        {"tunola xy25,abc", "abc"},         // nine characters, then 25,abc
        {"tunola xy24,abc", std::nullopt},  // not newer
        {"tunola xy23,abc", std::nullopt},  // older
        {"tunola xy25", std::nullopt},      // no comma
        {"tunola xyab,abc", std::nullopt},  // not a number
        {"tunola xy,abc", std::nullopt},    // no number at all
        {"tunola xy 25,abc", std::nullopt}, // a blank is no digit
        {"tunola xy-25,abc", std::nullopt}, // nor a sign
        {"tunola xy+25,abc", std::nullopt},
        {"tunola xy25x,abc", std::nullopt},
        {"tunola xy99999999999999999999,x", std::nullopt}, // beyond 64 bits
        {"abcdefghi25,abc", std::nullopt},                 // no marker
        {"TUNOLA xy25,abc", std::nullopt},                 // the marker's case matters
        {"tunola", std::nullopt},                          // too short
        {"", std::nullopt},
        {"a,tunola 25,2.5 http://h/t.tar.gz", "2.5 http://h/t.tar.gz"}, // earlier comma ignored
        {"tunola xy00025,", ""},                                        // empty parameter
        {"tunola xy25,a,b", "a,b"},
        {"tunola v=0,", std::nullopt}, // what a service offering nothing says
        {"xxxxxxxxx25,tunola", "tunola"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateParameter(c.answer, kLocal), c.parameter) << c.answer;

    EXPECT_EQ(ParseUpdateAnswer("tunola xy25,abc")->Version, 25u);
    EXPECT_EQ(LocalUpdateNumber({2, 4, 0, 0}), 24u);
    EXPECT_EQ(LocalUpdateNumber({2, 0, 9, 9}), 20u);
    EXPECT_EQ(LocalUpdateNumber({2, 10, 0, 0}), 210u);
    EXPECT_EQ(LocalUpdateNumber({65535, 65535, 0, 0}), 6553565535u);
    // The program's own number (2.0) against what the service answers.
    EXPECT_EQ(UpdateParameter("tunola v=21,2.1", LocalUpdateNumber(GetFileVersion())), "2.1");
}

TEST(LyricUpload, BodyIsGbkPercentEncodedAndShortLyricsAreMarked) {
    const std::string twenty = "[00:01.00]0123456789"; // 20 bytes
    const struct {
        std::string title, artist, lyric, body;
    } cases[] = {
        {"你好", "A B", twenty, "ltitle=%C4%E3%BA%C3&lsinger=A%20B&llrc=tun%5F12345"},
        {"你好", "A B", twenty + "!",
         "ltitle=%C4%E3%BA%C3&lsinger=A%20B&llrc=%5B00%3A01%2E00%5D0123456789%21"},
        {"t", "", "", "ltitle=t&lsinger=&llrc=tun%5F12345"},
        // Ten Chinese characters are 30 bytes of UTF-8 but 20 of GBK: still no lyric.
        {"t", "", "一二三四五六七八九十", "ltitle=t&lsinger=&llrc=tun%5F12345"},
        {"t", "", "一二三四五六七八九十\r\n",
         "ltitle=t&lsinger=&llrc=%D2%BB%B6%FE%C8%FD%CB%C4%CE%E5%C1%F9%C6%DF%B0%CB%BE%C5%CA%AE%0D%"
         "0A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LyricUploadBody(c.title, c.artist, c.lyric), c.body) << c.lyric;
}

TEST(ServiceWorkers, UploadPostsTheFormBytes) {
    THttpTestServer server;
    THttpRoute ok;
    ok.body = "OK\n";
    server.Route("/lrcpost.asp", ok);
    ASSERT_TRUE(server.Start());
    TRecordingPoster poster;
    TServiceWorkers workers({HostOf(server), &poster});

    const struct {
        std::string lyric, llrc;
    } cases[] = {
        {"[00:01.00]0123456789", "tun%5F12345"}, // 20 bytes
        {"[00:01.00]一二三四五六", "%5B00%3A01%2E00%5D%D2%BB%B6%FE%C8%FD%CB%C4%CE%E5%C1%F9"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(workers.StartLyricUpload("你好", "歌手", c.lyric));
        workers.Wait();
        const auto request = server.LastRequest();
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.path, "/lrcpost.asp");
        EXPECT_EQ(request.body, "ltitle=%C4%E3%BA%C3&lsinger=%B8%E8%CA%D6&llrc=" + c.llrc);
    }
    EXPECT_TRUE(poster.Posts().empty()); // the service's answer is of no use to the player
}

TEST(ServiceWorkers, ChecksPostWhatTheServiceSaid) {
    THttpTestServer online;
    THttpRoute answer;
    answer.body = "tunola v=25,2.5 http://h/t.tar.gz";
    online.Route("/soft/updata.asp", answer);
    ASSERT_TRUE(online.Start());
    THttpTestServer other; // answers, but is not our service
    THttpRoute foreign;
    foreign.body = "hello";
    other.Route("/soft/updata.asp", foreign);
    ASSERT_TRUE(other.Start());

    const struct {
        std::string host;
        uint64_t local;
        std::vector<std::tuple<int32_t, int64_t, std::string>> posts;
    } cases[] = {
        {HostOf(online),
         24,
         {{ncServiceChecked, 1, ""}, {ncUpdateOffered, 25, "2.5 http://h/t.tar.gz"}}},
        {HostOf(online), 25, {{ncServiceChecked, 1, ""}}},
        {HostOf(other), 0, {{ncServiceChecked, 0, ""}}},
        {"127.0.0.1:1", 0, {{ncServiceChecked, 0, ""}}}, // nothing listens there
    };
    for (const auto& c : cases) {
        TRecordingPoster poster;
        TServiceWorkers workers({c.host, &poster, c.local});
        ASSERT_TRUE(workers.StartServiceCheck());
        workers.Wait();
        ASSERT_TRUE(workers.StartUpdateCheck());
        workers.Wait();
        EXPECT_FALSE(workers.CheckRunning() || workers.UpdateRunning());
        EXPECT_EQ(poster.Posts(), c.posts) << c.host << " " << c.local;
    }
}

// Stuck on a service that takes the connection and never answers, each kind runs once, and
// stopping ends all three at once, far inside their time-outs and within 2 s.
TEST(ServiceWorkers, OneOfEachKindAndAStopThatNeverWaitsForTheService) {
    THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    TRecordingPoster poster;
    auto workers =
        std::make_unique<TServiceWorkers>(TServiceWorkers::TParts{HostOf(silent), &poster, 0});
    ASSERT_TRUE(workers->StartServiceCheck());
    ASSERT_TRUE(workers->StartUpdateCheck());
    ASSERT_TRUE(workers->StartLyricUpload("t", "a", "lyric"));
    EXPECT_FALSE(workers->StartServiceCheck());
    EXPECT_FALSE(workers->StartUpdateCheck());
    EXPECT_FALSE(workers->StartLyricUpload("t", "a", "lyric"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // all three are waiting now
    EXPECT_TRUE(workers->CheckRunning() && workers->UpdateRunning() && workers->UploadRunning());

    const auto start = std::chrono::steady_clock::now();
    workers.reset();
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(took, 2.0);
    EXPECT_GT(ServiceBounds().stallMs, 2000); // the time-outs alone would not have done it
    EXPECT_TRUE(poster.Posts().empty());      // a cancelled check reports nothing
}

// A worker runs its jobs one after another on one thread, which it keeps until Stop: the
// service check runs every 2 s while the service is away, and is not a thread's start each time.
// Each job has finished (its guard cleared, what it captured gone) when Wait returns; after Stop
// nothing starts.
TEST(ServiceWorkers, AWorkerRunsEveryJobOnOneThread) {
    TWebWorker worker;
    std::vector<std::thread::id> ran;
    auto held = std::make_shared<int>(0);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(worker.Start([&ran, held](TWebCancel&) {
            ran.push_back(std::this_thread::get_id());
            throw std::runtime_error("dropped"); // a job that fails leaves the worker usable
        }));
        worker.Wait();
        EXPECT_FALSE(worker.Running());
        EXPECT_EQ(held.use_count(), 1);
    }
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_NE(ran[0], std::this_thread::get_id());
    EXPECT_EQ(ran[1], ran[0]);
    EXPECT_EQ(ran[2], ran[0]);
    worker.Stop();
    EXPECT_FALSE(worker.Start([](TWebCancel&) {}));
}
