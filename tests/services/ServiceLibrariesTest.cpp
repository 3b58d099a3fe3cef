// The player's service libraries (lrcdown, msearch) as the player loads them: what a missing
// library or a refusing factory leaves, how they cope with a bad or stuck server, and the music
// search used from two threads at once.

#include "ServiceLibraries.h"
#include "HttpTestServer.h"
#include "ILyricDown.h"
#include "IMusicSearch.h"
#include "PluginLibrary.h"
#include "ServiceProcess.h"
#include "WebClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tunola::service::test {
namespace {

using tunaudio::test::THttpRoute;
using tunaudio::test::THttpTestServer;
using namespace std::chrono_literals;

const std::string kProgramDir = std::string(TUNOLA_PROGRAM_DIR) + "/";

std::string LibraryFile(const char* name) {
    return kProgramDir + name + kPluginSuffix;
}

THttpRoute Text(int status, std::string body) {
    THttpRoute route;
    route.status = status;
    route.contentType = "text/plain";
    route.body = std::move(body);
    return route;
}

TServiceObject<ILyricDown> LyricDown(const std::string& host) {
    return TServiceObject<ILyricDown>::Load(LibraryFile(kLyricDownLibrary), kLyricDownFactory,
                                            kLyricDownInterfaceId, host);
}

TServiceObject<IMusicSearch> MusicSearch(const std::string& host) {
    return TServiceObject<IMusicSearch>::Load(LibraryFile(kMusicSearchLibrary), kMusicSearchFactory,
                                              kMusicSearchInterfaceId, host);
}

TEST(ServiceLibraries, MissingLibrariesAndRefusingFactoriesGiveNoObject) {
    const std::string host = "127.0.0.1:1";
    EXPECT_TRUE(LyricDown(host).Get());
    EXPECT_TRUE(MusicSearch(host).Get());
    struct Case {
        const char* what;
        std::string file;
        const char* factory;
        const char* id;
        std::string host;
    } cases[] = {
        {"no such file", kProgramDir + "nothing-here.so", kLyricDownFactory, kLyricDownInterfaceId,
         host},
        {"not a library", std::string(TUNOLA_SERVICE_BIN), kLyricDownFactory, kLyricDownInterfaceId,
         host},
        {"library without the factory", LibraryFile(kMusicSearchLibrary), kLyricDownFactory,
         kLyricDownInterfaceId, host},
        {"another interface", LibraryFile(kLyricDownLibrary), kLyricDownFactory,
         kMusicSearchInterfaceId, host},
        {"no interface id", LibraryFile(kLyricDownLibrary), kLyricDownFactory, nullptr, host},
        {"no host", LibraryFile(kLyricDownLibrary), kLyricDownFactory, kLyricDownInterfaceId, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TServiceObject<ILyricDown>::Load(c.file, c.factory, c.id, c.host).Get(), nullptr)
            << c.what;
    EXPECT_EQ(TServiceObject<IMusicSearch>::Load(LibraryFile(kMusicSearchLibrary),
                                                 kMusicSearchFactory, kLyricDownInterfaceId, host)
                  .Get(),
              nullptr);

    // A program folder without the libraries: no objects, and the search is not tried again.
    const std::filesystem::path empty = FreshFolder("no-libraries");
    TServiceLibraries missing(empty.string() + "/", host);
    EXPECT_EQ(missing.LoadLyricDown(), nullptr);
    EXPECT_EQ(missing.MusicSearch(), nullptr);
    std::filesystem::copy_file(LibraryFile(kMusicSearchLibrary),
                               empty / (std::string(kMusicSearchLibrary) + kPluginSuffix));
    EXPECT_EQ(missing.MusicSearch(), nullptr);

    // The real folder: the lyric object at once, the search object at its first use, and each
    // released on its own.
    TServiceLibraries libraries(kProgramDir, host);
    ILyricDown* down = libraries.LoadLyricDown();
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(libraries.LoadLyricDown(), down) << "made once";
    IMusicSearch* search = libraries.MusicSearch();
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(libraries.MusicSearch(), search);
    libraries.ReleaseLyricDown();
    EXPECT_EQ(libraries.LyricDown(), nullptr);
    search->ClearResults(); // still there
    libraries.ReleaseMusicSearch();
}

TEST(ServiceLibraries, BadAnswersAreSkippedAndDeadServersFindNothing) {
    THttpTestServer server;
    const std::string search =
        "/api/lyrics/search?title=" + UrlEncode("a b") + "&artist=" + UrlEncode("x") + "&mode=0";
    server.Route(search, Text(200, "7\t好\t歌手\n"
                                   "no tabs at all\n"
                                   "x1\tbad id\ty\n"
                                   "0\tzero id\ty\n"
                                   "99999999999\tout of range\ty\n"
                                   "-3\twanted\ty\r\n"
                                   "8\tonly two fields\n"
                                   "9\t\t\n"
                                   "10\tt\tname\twith a tab\n"));
    server.Route("/api/lyrics/get?id=7", Text(200, std::string("[00:01]a\0b", 10)));
    server.Route("/api/lyrics/get?id=8", Text(404, "no such lyric\n"));
    server.Route("/api/music/search?q=" + UrlEncode("q") + "&kind=1",
                 Text(200, "t\ta\tmm1.wav\t1\n"
                           "t\ta\tmm2.wav\n"
                           "t\ta\t\t3\n"
                           "t\ta\tmm4.wav\tfour\n"
                           "t2\ta2\thttp://elsewhere.example/x.mp3\t5\n"
                           "t\ta\tmm6.wav\t6\tfifth field\n"));
    ASSERT_TRUE(server.Start());
    const std::string host = "127.0.0.1:" + std::to_string(server.Port());

    const TServiceObject<ILyricDown> down = LyricDown(host);
    ASSERT_TRUE(down.Get());
    down.Get()->Search("a b", "x", "", 0);
    ASSERT_EQ(down.Get()->GetCount(), 4);
    EXPECT_EQ(down.Get()->GetItem(0).Title, "好");
    EXPECT_EQ(down.Get()->GetItem(0).LyricId, 7);
    EXPECT_EQ(down.Get()->GetItem(1).LyricId, -3);
    EXPECT_EQ(down.Get()->GetItem(1).Artist, "y") << "a CR before the line feed is dropped";
    EXPECT_EQ(down.Get()->GetItem(2).LyricId, 9);
    EXPECT_EQ(down.Get()->GetItem(3).Artist, "name\twith a tab") << "the artist is the rest";
    EXPECT_EQ(down.Get()->GetItem(4).LyricId, 0) << "past the end: an empty record";
    EXPECT_EQ(down.Get()->GetItem(-1).LyricId, 0);
    EXPECT_EQ(down.Get()->Download(7), std::string("[00:01]a\0b", 10)) << "the bytes as sent";
    EXPECT_FALSE(down.Get()->Download(8)) << "an error status is no lyric";
    down.Get()->Search("", "x", "", 0);
    EXPECT_EQ(down.Get()->GetCount(), 0);

    const TServiceObject<IMusicSearch> music = MusicSearch(host);
    ASSERT_TRUE(music.Get());
    music.Get()->Search("q", 1);
    ASSERT_EQ(music.Get()->GetCount(), 2);
    EXPECT_EQ(music.Get()->GetItem(0).LinkKey, "mm1.wav");
    EXPECT_EQ(music.Get()->GetItem(1).LinkParam, 5);

    // Nobody listens any more: nothing found, quickly.
    server.Stop();
    const auto start = std::chrono::steady_clock::now();
    down.Get()->Search("a b", "x", "", 0);
    EXPECT_EQ(down.Get()->GetCount(), 0);
    EXPECT_FALSE(down.Get()->Download(7));
    music.Get()->Search("q", 1);
    EXPECT_EQ(music.Get()->GetCount(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

TEST(ServiceLibraries, CancelEndsACallToAStuckServerAtOnce) {
    THttpTestServer silent;
    ASSERT_TRUE(silent.Start(/*silent=*/true)); // takes connections, never answers
    const TServiceObject<ILyricDown> down = LyricDown("127.0.0.1:" + std::to_string(silent.Port()));
    ASSERT_TRUE(down.Get());
    std::thread worker([&] { down.Get()->Search("a", "b", "", 0); });
    std::this_thread::sleep_for(200ms);
    const auto start = std::chrono::steady_clock::now();
    down.Get()->Cancel();
    worker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "the stall bound is 5 s";
    EXPECT_EQ(down.Get()->GetCount(), 0);
    EXPECT_FALSE(down.Get()->Download(1)) << "later calls fail at once";
}

TEST(ServiceLibraries, SongAddressesStayOnTheServiceOrOnTheWeb) {
    const TServiceObject<IMusicSearch> music = MusicSearch("music.local:7860");
    ASSERT_TRUE(music.Get());
    struct Case {
        std::string key, url;
    } cases[] = {
        {"mm12.mp3", "http://music.local:7860/share/mm12.mp3"},
        {"http://elsewhere.example/a.mp3", "http://elsewhere.example/a.mp3"},
        {"HTTPS://elsewhere.example/a.mp3", "HTTPS://elsewhere.example/a.mp3"},
        {"", ""},
        {"../service.db", ""},
        {"a/b.mp3", ""},
        {"a\\b.mp3", ""},
        {"file:///etc/passwd", ""},
        {"javascript:alert(1)", ""},
        {"mm1 .mp3", ""},
        {std::string("mm1\0.mp3", 8), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(music.Get()->GetSongUrl(c.key, 12), c.url) << c.key;
}

TEST(ServiceLibraries, SearchAndClearFromTwoThreads) {
    THttpTestServer server;
    std::string lines;
    for (int i = 1; i <= 50; ++i)
        lines += "t" + std::to_string(i) + "\ta\tmm" + std::to_string(i) + ".mp3\t" +
                 std::to_string(i) + "\n";
    server.Route("/api/music/search?q=" + UrlEncode("x") + "&kind=0", Text(200, lines));
    ASSERT_TRUE(server.Start());
    const TServiceObject<IMusicSearch> music =
        MusicSearch("127.0.0.1:" + std::to_string(server.Port()));
    ASSERT_TRUE(music.Get());
    IMusicSearch& m = *music.Get();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 30; ++i) {
            m.Search("x", 0);
            // What the worker holds is a copy: the UI may clear at any moment.
            for (int32_t k = 0; k < m.GetCount(); ++k) {
                const TMusicSearchResult r = m.GetItem(k);
                if (!r.LinkKey.empty()) {
                    EXPECT_EQ(r.LinkKey, "mm" + std::to_string(r.LinkParam) + ".mp3");
                }
            }
        }
        done = true;
    });
    while (!done) {
        m.ClearResults();
        const TMusicSearchResult r = m.GetItem(0);
        if (!r.LinkKey.empty()) {
            EXPECT_FALSE(m.GetSongUrl(r.LinkKey, r.LinkParam).empty());
        }
        std::this_thread::yield();
    }
    worker.join();
}

} // namespace
} // namespace tunola::service::test
