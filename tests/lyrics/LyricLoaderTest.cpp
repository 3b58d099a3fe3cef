// Where each track's lyric comes from, in order, and a download that never holds up the event
// loop: a slow service, a track change while it works, a result that arrives too late.

#include "LyricLoader.h"
#include "FakeLyricDown.h"
#include "TempFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <future>

namespace tunola {
namespace {

void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TLyricLoader::TPost QueuedPost() {
    return [](std::function<void()> f) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(f), Qt::QueuedConnection);
    };
}

// A service whose downloads wait until the test lets them go.
class TSlowLyricDown : public TFakeLyricDown {
public:
    std::promise<void> Release;
    std::shared_future<void> Released = Release.get_future().share();
    std::atomic<int> Downloads{0};
    std::optional<std::string> Download(int32_t id) override {
        ++Downloads;
        Released.wait();
        return TFakeLyricDown::Download(id);
    }
};

void OfferLyric(TFakeLyricDown& service, const std::string& title, const std::string& artist,
                int32_t id, const std::string& text) {
    service.ResultsByMode[0].push_back({title, artist, id});
    service.Lyrics[id] = text;
}

TEST(LyricLoaderTest, SourcesInOrderBesideFolderDownload) {
    TTempFolder tmp;
    const auto music = tmp.Path() / "music";
    const auto lrcDir = tmp.Path() / "lrc";
    std::filesystem::create_directories(music);
    std::filesystem::create_directories(lrcDir);
    Write(music / "a.mp3", "x");
    Write(music / "a.lrc", "[00:01.00]beside\r\n");
    Write(lrcDir / "Song Singer.lrc", "[00:01.00]folder\r\n");
    TFakeLyricDown service;
    OfferLyric(service, "Song", "Singer", 7, "[00:01.00]downloaded\r\n");
    OfferLyric(service, "Other", "Band", 9, "[00:02.00]fetched\r\n");
    bool online = true;
    TLyricLoader loader(
        &service, [&] { return online; }, QueuedPost());

    TLyricLookup got;
    auto keep = [&](const TLyricLookup& l) { got = l; };
    EXPECT_TRUE(loader.Load({music / "a.mp3", "Song", "Singer"}, lrcDir, keep));
    EXPECT_EQ(got.Source, TLyricSource::BesideAudio);
    EXPECT_NE(got.Text.find("beside"), std::string::npos);

    EXPECT_TRUE(loader.Load({music / "b.mp3", "Song", "Singer"}, lrcDir, keep));
    EXPECT_EQ(got.Source, TLyricSource::LyricFolder);

    // Nothing local: the download runs on the worker and comes back through the event loop.
    got = {};
    EXPECT_FALSE(loader.Load({music / "c.mp3", "Other", "Band"}, lrcDir, keep));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !loader.Pending(); }, 5000));
    EXPECT_EQ(got.Source, TLyricSource::Download);
    EXPECT_NE(got.Text.find("fetched"), std::string::npos);

    // Offline: no download, the empty lyric at once.
    online = false;
    got.Text = "stale";
    EXPECT_TRUE(loader.Load({music / "d.mp3", "Third", "Act"}, lrcDir, keep));
    EXPECT_TRUE(got.Text.empty());
    EXPECT_EQ(got.Source, TLyricSource::None);
}

TEST(LyricLoaderTest, DownloadedLyricIsHandedOverAndKept) {
    TTempFolder tmp;
    TFakeLyricDown service;
    OfferLyric(service, "Song", "Singer", 3, "[00:01.00]fetched\r\n");
    TLyricLoader loader(
        &service, [] { return true; }, QueuedPost());
    int calls = 0;
    TLyricLookup got;
    EXPECT_FALSE(loader.Load({tmp.Path() / "x.mp3", "Song", "Singer"}, tmp.Path(),
                             [&](const TLyricLookup& l) {
                                 ++calls;
                                 got = l;
                             }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 5000));
    EXPECT_EQ(got.Source, TLyricSource::Download);
    EXPECT_NE(got.Text.find("fetched"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(tmp.Path() / "Song Singer.lrc"));
}

TEST(LyricLoaderTest, SlowServiceNeverHoldsTheEventLoopAndALaterTrackWins) {
    TTempFolder tmp;
    Write(tmp.Path() / "b.lrc", "[00:01.00]b beside\r\n");
    Write(tmp.Path() / "b.mp3", "x");
    TSlowLyricDown service;
    OfferLyric(service, "A", "X", 1, "[00:01.00]lyric of a\r\n");
    TLyricLoader loader(
        &service, [] { return true; }, QueuedPost());
    std::vector<std::string> shown;
    auto keep = [&](const TLyricLookup& l) { shown.push_back(l.Text); };

    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(loader.Load({tmp.Path() / "a.mp3", "A", "X"}, tmp.Path(), keep));
    // Back in the event loop while the service still works.
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.Downloads.load() == 1; }, 5000));
    EXPECT_TRUE(loader.Pending());
    EXPECT_LT(clock.elapsed(), 1000);

    // The next track starts and finds its own lyric; the old download is now stale.
    EXPECT_TRUE(loader.Load({tmp.Path() / "b.mp3", "B", "Y"}, tmp.Path(), keep));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("b beside"), std::string::npos);
    service.Release.set_value();
    QTest::qWait(200);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.size(), 1u); // a's lyric never shows over b's
}

TEST(LyricLoaderTest, OnlyTheNewestOfTwoDownloadsIsShown) {
    TTempFolder tmp;
    TSlowLyricDown service;
    OfferLyric(service, "A", "X", 1, "[00:01.00]lyric of a\r\n");
    service.ResultsByMode[0].push_back({"B", "Y", 2});
    service.Lyrics[2] = "[00:01.00]lyric of b\r\n";
    TLyricLoader loader(
        &service, [] { return true; }, QueuedPost());
    std::vector<std::string> shown;
    auto keep = [&](const TLyricLookup& l) { shown.push_back(l.Text); };
    EXPECT_FALSE(loader.Load({tmp.Path() / "a.mp3", "A", "X"}, tmp.Path(), keep));
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.Downloads.load() == 1; }, 5000));
    EXPECT_FALSE(loader.Load({tmp.Path() / "b.mp3", "B", "Y"}, tmp.Path(), keep));
    service.Release.set_value();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !loader.Pending(); }, 5000));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("lyric of b"), std::string::npos);
}

TEST(LyricLoaderTest, ClosingWhileADownloadRunsWaitsForItAndDropsIt) {
    TTempFolder tmp;
    TSlowLyricDown service;
    OfferLyric(service, "A", "X", 1, "[00:01.00]a\r\n");
    int shown = 0;
    {
        TLyricLoader loader(
            &service, [] { return true; }, QueuedPost());
        loader.Load({tmp.Path() / "a.mp3", "A", "X"}, tmp.Path(),
                    [&](const TLyricLookup&) { ++shown; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return service.Downloads.load() == 1; }, 5000));
        service.Release.set_value();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, 0);
}

} // namespace
} // namespace tunola
