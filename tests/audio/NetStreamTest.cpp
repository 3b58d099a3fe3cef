// Network streams against servers started here on 127.0.0.1.

#include "AudioFixtures.h"
#include "AudioLibrary.h"
#include "HttpTestServer.h"
#include "NetPlaylist.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tunaudio {
namespace {

using namespace std::chrono_literals;
using test::FixtureDir;
using test::THttpRoute;
using test::THttpTestServer;
using Clock = std::chrono::steady_clock;

std::string WavBytes(const std::string& name, int64_t frames) {
    return test::ReadFile(test::WriteWav(name, 44100, 2, frames, test::Sine(440, 44100)));
}

class NetStream : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(lib.Init(kDeviceSilent, 44100, 0, nullptr));
        lib.SetConfig(kConfigNetTimeout, 1000);
        lib.SetConfig(kConfigNetPrebuf, 1024);
    }

    TAudioLibrary lib{FixtureDir().string()};
    THttpTestServer server;
};

struct EndCount {
    std::atomic<int> calls{0};
    static void Proc(HSYNC, DWORD, DWORD, void* user) { ++static_cast<EndCount*>(user)->calls; }
};

TEST_F(NetStream, KnownLengthReportsDownloadProgressAndPlaysToTheEnd) {
    const int64_t frames = 44100 / 2;
    const std::string wav = WavBytes("net-known.wav", frames);
    THttpRoute route;
    route.contentType = "audio/wav";
    route.body = wav;
    route.chunk = 8 << 10;
    route.pause = 15ms; // about 0.2 s for the whole file
    server.Route("/song.wav", route);
    ASSERT_TRUE(server.Start());

    const HSTREAM h =
        lib.StreamCreateURL(server.Url("/song.wav"), 0, kStreamStatus, nullptr, nullptr);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(lib.StreamGetFilePosition(h, kFilePosEnd), wav.size());
    const QWORD first = lib.StreamGetFilePosition(h, kFilePosDownload);
    EXPECT_GE(first, 1024u) << "the pre-buffer was filled before the open returned";
    EXPECT_LT(first, wav.size()) << "the open did not wait for the whole file";
    EXPECT_EQ(lib.ChannelGetLength(h, kPosByte), static_cast<QWORD>(frames) * 4);

    EndCount end;
    lib.ChannelSetSync(h, kSyncEnd, 0, &EndCount::Proc, &end);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    const auto deadline = Clock::now() + 5s;
    while (end.calls == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(end.calls.load(), 1);
    EXPECT_EQ(lib.StreamGetFilePosition(h, kFilePosDownload), wav.size());
    EXPECT_EQ(lib.ChannelGetPosition(h, kPosByte), static_cast<QWORD>(frames) * 4);
    EXPECT_TRUE(lib.StreamFree(h));
}

TEST_F(NetStream, UnknownLengthAndTheDownloadCallback) {
    const int64_t frames = 44100 / 4;
    const std::string mp3 = test::ReadFile(test::EncodeMp3(
        test::WriteWav("net-live.wav", 44100, 2, frames, test::Sine(440, 44100)), "live.mp3"));
    THttpRoute route;
    route.contentType = "audio/mpeg";
    route.body = mp3;
    route.sendLength = false;
    server.Route("/live", route);
    ASSERT_TRUE(server.Start());

    struct Seen {
        std::atomic<size_t> bytes{0};
        std::atomic<int> ends{0};
    } seen;
    const DownloadProc proc = [](const void* data, DWORD length, void* user) {
        auto* s = static_cast<Seen*>(user);
        if (data)
            s->bytes += length;
        else
            ++s->ends;
    };
    const HSTREAM h = lib.StreamCreateURL(server.Url("/live"), 0, kStreamDecode, proc, &seen);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(lib.StreamGetFilePosition(h, kFilePosEnd), kUnknown);
    std::vector<int16_t> pcm(8192);
    size_t decoded = 0;
    for (int n; (n = lib.ChannelGetData(h, pcm.data(), 16384)) > 0;)
        decoded += static_cast<size_t>(n) / 4;
    EXPECT_EQ(decoded, static_cast<size_t>(frames));
    EXPECT_EQ(seen.bytes.load(), mp3.size());
    EXPECT_EQ(seen.ends.load(), 1);
    lib.StreamFree(h);
}

TEST_F(NetStream, PlaylistAddressesLeadToTheirFirstEntry) {
    const std::string wav = WavBytes("net-pls.wav", 4410);
    THttpRoute audio;
    audio.contentType = "audio/wav";
    audio.body = wav;
    server.Route("/radio/stream.wav", audio);
    THttpRoute pls;
    pls.contentType = "audio/x-scpls";
    pls.body = "[playlist]\nNumberOfEntries=2\nFile2=http://127.0.0.1:1/never\n"
               "File1=stream.wav\nTitle1=Radio\n";
    server.Route("/radio/listen.pls", pls);
    THttpRoute m3u;
    m3u.contentType = "text/plain"; // recognised by its content
    m3u.body = "#EXTM3U\n#EXTINF:-1,Radio\n/radio/stream.wav\n";
    server.Route("/tune", m3u);
    ASSERT_TRUE(server.Start());

    EXPECT_EQ(
        lib.StreamCreateURL(server.Url("/radio/listen.pls"), 0, kStreamStatus, nullptr, nullptr),
        0u)
        << "a playlist is not audio unless the option says to follow it";
    lib.SetConfig(kConfigNetPlaylist, 1);
    for (const char* path : {"/radio/listen.pls", "/tune"}) {
        const HSTREAM h = lib.StreamCreateURL(server.Url(path), 0, kStreamStatus, nullptr, nullptr);
        ASSERT_NE(h, 0u) << path;
        EXPECT_EQ(lib.ChannelGetLength(h, kPosByte), 4410u * 4u) << path;
        EXPECT_EQ(lib.StreamGetFilePosition(h, kFilePosEnd), wav.size()) << path;
        lib.StreamFree(h);
    }
}

TEST_F(NetStream, DeadServersAndNonAddressesFailWithinSeconds) {
    THttpTestServer silent; // takes connections, never answers
    ASSERT_TRUE(silent.Start(true));
    THttpRoute stall;
    stall.body = std::string(100000, 'x');
    stall.stallAfter = 0; // headers, then nothing
    server.Route("/stall", stall);
    THttpRoute redirect;
    redirect.status = 302;
    redirect.location = "file:///etc/passwd";
    server.Route("/redirect", redirect);
    THttpRoute text;
    text.contentType = "text/html";
    text.body = "<html><body>not audio</body></html>";
    server.Route("/page", text);
    ASSERT_TRUE(server.Start());

    const std::vector<std::string> urls = {
        silent.Url("/song.mp3"),
        server.Url("/stall"),
        server.Url("/missing.mp3"), // 404
        server.Url("/redirect"),
        server.Url("/page"),
        "http://127.0.0.1:1/refused.mp3",
        "ftp://127.0.0.1/song.mp3",
        "file:///etc/passwd",
        "not an address",
        "",
    };
    for (const auto& url : urls) {
        const auto start = Clock::now();
        EXPECT_EQ(lib.StreamCreateURL(url, 0, kStreamStatus, nullptr, nullptr), 0u) << url;
        EXPECT_LT(Clock::now() - start, 4s) << url;
    }
}

TEST_F(NetStream, FreeingAStalledStreamDoesNotWait) {
    const std::string wav = WavBytes("net-stall.wav", 44100);
    THttpRoute route;
    route.contentType = "audio/wav";
    route.body = wav;
    route.stallAfter = 64 << 10;
    server.Route("/stall.wav", route);
    ASSERT_TRUE(server.Start());
    lib.SetConfig(kConfigNetTimeout, 20000);
    const HSTREAM h =
        lib.StreamCreateURL(server.Url("/stall.wav"), 0, kStreamStatus, nullptr, nullptr);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    std::this_thread::sleep_for(100ms);
    const auto start = Clock::now();
    EXPECT_TRUE(lib.StreamFree(h));
    EXPECT_LT(Clock::now() - start, 2s);
}

TEST_F(NetStream, CancelOpensEndsAnOpenWaitingOnASilentServer) {
    THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    lib.SetConfig(kConfigNetTimeout, 20000); // an open would wait up to a minute
    std::atomic<bool> entered{false};
    HSTREAM opened = 1;
    std::thread opener([&] {
        entered = true;
        opened = lib.StreamCreateURL(silent.Url("/song.mp3"), 0, kStreamStatus, nullptr, nullptr);
    });
    while (!entered)
        std::this_thread::yield();
    const auto start = Clock::now();
    lib.CancelOpens(); // whether the open has begun waiting or not, it fails
    opener.join();
    EXPECT_EQ(opened, 0u);
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(lib.StreamCreateURL(silent.Url("/b.mp3"), 0, kStreamStatus, nullptr, nullptr), 0u)
        << "refused until the next Init";
    lib.Free();
    ASSERT_TRUE(lib.Init(kDeviceSilent, 44100, 0, nullptr));
    THttpRoute route;
    route.contentType = "audio/wav";
    route.body = WavBytes("net-after-cancel.wav", 4410);
    server.Route("/a.wav", route);
    ASSERT_TRUE(server.Start());
    const HSTREAM h = lib.StreamCreateURL(server.Url("/a.wav"), 0, kStreamStatus, nullptr, nullptr);
    EXPECT_NE(h, 0u);
    lib.StreamFree(h);
}

TEST(NetPlaylist, Entries) {
    struct Case {
        const char* text;
        const char* first;
    };
    const Case cases[] = {
        {"[playlist]\nFile1=http://a/1\nFile2=http://a/2\n", "http://a/1"},
        {"[Playlist]\r\nfile3=c\r\nFILE2 = b \r\n", "b"},
        {"\xEF\xBB\xBF[playlist]\nTitle1=x\n", ""},
        {"#EXTM3U\n\n#EXTINF:-1,x\n  http://b/live  \nhttp://b/2\n", "http://b/live"},
        {"relative.mp3\n", "relative.mp3"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstPlaylistEntry(c.text), c.first) << c.text;
}

TEST(NetPlaylist, Resolution) {
    const char* base = "http://host:8000/dir/list.pls?x=1";
    EXPECT_EQ(ResolveUrl(base, "https://other/s"), "https://other/s");
    EXPECT_EQ(ResolveUrl(base, "/root.mp3"), "http://host:8000/root.mp3");
    EXPECT_EQ(ResolveUrl(base, "song.mp3"), "http://host:8000/dir/song.mp3");
    EXPECT_EQ(ResolveUrl("http://host", "a.mp3"), "http://host/a.mp3");
    EXPECT_EQ(ResolveUrl(base, "//cdn/x"), "http://cdn/x");
    EXPECT_TRUE(IsHttpUrl("HTTPS://x"));
    EXPECT_FALSE(IsHttpUrl("httpx://x"));
    EXPECT_TRUE(LooksLikePlaylist("audio/x-mpegurl; charset=utf-8", "http://x/a", ""));
    EXPECT_TRUE(LooksLikePlaylist("", "http://x/a.PLS?y", ""));
    EXPECT_TRUE(LooksLikePlaylist("text/plain", "http://x/a", "  [playlist]"));
    EXPECT_FALSE(LooksLikePlaylist("audio/mpeg", "http://x/a.mp3", "ID3"));
}

} // namespace
} // namespace tunaudio
