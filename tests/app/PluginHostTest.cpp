// The general plug-in host with a set of test plug-ins (good and bad ones, see
// plugins/TestPlugin.cpp), and the two plug-ins that come with the player.

#include "USGeneralPurpose.h"

#include <ZuPlaylistItem.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace tunola;
namespace fs = std::filesystem;

namespace {

const fs::path kTestPlugins = TUNOLA_TEST_PLUGIN_DIR;
const fs::path kPlayerPlugins = TUNOLA_PLUGIN_DIR;

std::vector<std::string> ReadLines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TZuPlaylistItem Track(const std::string& title, const std::string& artist, double seconds,
                      const std::string& file) {
    TZuPlaylistItem item;
    item.SetTitle(title);
    item.SetArtist(artist);
    item.SetFileName(file);
    item.SetLongTime(seconds / 86400.0);
    return item;
}

class PluginHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = fs::path(dir_.path().toStdString()) / "plugins";
        fs::create_directories(folder_);
        log_ = fs::path(dir_.path().toStdString()) / "events.log";
        setenv("TUNOLA_TEST_PLUGIN_LOG", log_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("TUNOLA_TEST_PLUGIN_LOG");
        unsetenv("TUNOLA_TEST_PLUGIN_RELEASE");
    }
    // Copies a test plug-in into the folder under `as`.
    void Put(const char* variant, const std::string& as) {
        fs::copy_file(kTestPlugins / (std::string(variant) + ".so"), folder_ / as);
    }
    std::vector<std::string> Events() const { return ReadLines(log_); }

    QTemporaryDir dir_;
    fs::path folder_;
    fs::path log_;
};

TEST_F(PluginHost, AcceptsOnlyGoodLibrariesAndContainsExceptions) {
    // Name order decides the table order; the thrower comes before the good one.
    Put("throws", "a_throws.so");
    Put("good", "b_good.so");
    Put("noexport", "c_noexport.so");
    Put("kind2", "d_kind2.so");
    Put("version255", "e_version255.so");
    Put("throwinfo", "f_throwinfo.so");
    std::ofstream(folder_ / "g_not_a_library.so") << "text";
    std::ofstream(folder_ / "h_other.txt") << "text";
    {
        TUSGeneralPurpose host(folder_.string());
        ASSERT_EQ(host.Count(), 2);
        EXPECT_NE(host.Entry(0).Module, nullptr);
        EXPECT_EQ(Events(), (std::vector<std::string>{"a_throws.so 100", "b_good.so 100"}));

        // The thrower's fault leaves the answer as it was; the good one still gets its event.
        EXPECT_EQ(host.PluginBroadcast(555, nullptr, 9), 0);
        host.TrackStarted(Track("月亮代表我的心", "邓丽君", 207, "/music/月亮.mp3"));
        host.WaitForTracks();
    }
    const std::string track = " 108 月亮代表我的心|21|邓丽君|9|0.002395833|/music/月亮.mp3";
    EXPECT_EQ(Events(), (std::vector<std::string>{"a_throws.so 100", "b_good.so 100",
                                                  "a_throws.so 555 value9", "b_good.so 555 value9",
                                                  "a_throws.so" + track, "b_good.so" + track,
                                                  "a_throws.so 101", "b_good.so 101"}));
}

TEST_F(PluginHost, BroadcastAnswersAndEmptyHost) {
    TUSGeneralPurpose none(folder_.string());
    EXPECT_EQ(none.Count(), 0);
    EXPECT_EQ(none.PluginBroadcast(108, nullptr, 0), 1);
    TUSGeneralPurpose unnamed("");
    EXPECT_EQ(unnamed.Count(), 0);

    Put("good", "a.so");
    Put("answer7", "b.so");
    TUSGeneralPurpose host(folder_.string());
    EXPECT_EQ(host.PluginBroadcast(200, nullptr, 0), 7); // the last one's answer
}

TEST_F(PluginHost, SameLibraryTwiceAndAtMost64) {
    for (int i = 0; i < 65; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "p%02d.so", i);
        Put("good", name);
    }
    TUSGeneralPurpose host(folder_.string());
    EXPECT_EQ(host.Count(), 64);
    int p64 = 0;
    for (const std::string& line : Events())
        p64 += line.starts_with("p64.so");
    EXPECT_EQ(p64, 0); // the 65th in name order was not loaded

    TUSGeneralPurpose second(""); // a fresh table for the duplicate rules
    const std::string good = (kTestPlugins / "good.so").string();
    EXPECT_TRUE(second.LoadPlugin(good));
    EXPECT_FALSE(second.LoadPlugin(good));
    fs::create_symlink(kTestPlugins / "good.so", folder_ / "link.so");
    EXPECT_FALSE(second.LoadPlugin((folder_ / "link.so").string()));
    EXPECT_FALSE(second.LoadPlugin((folder_ / "missing.so").string()));
    EXPECT_FALSE(second.LoadPlugin(""));
    EXPECT_EQ(second.Count(), 1);
}

TEST_F(PluginHost, ABlockingPluginHoldsNeitherTheCallerNorTheOrder) {
    const fs::path release = fs::path(dir_.path().toStdString()) / "release";
    setenv("TUNOLA_TEST_PLUGIN_RELEASE", release.c_str(), 1);
    Put("blocks", "a_blocks.so");
    Put("good", "b_good.so");
    TUSGeneralPurpose host(folder_.string());
    ASSERT_EQ(host.Count(), 2);
    // Both calls come back while the first track is held inside the plug-in.
    host.TrackStarted(Track("一", "甲", 60, "/1.mp3"));
    host.TrackStarted(Track("二", "乙", 60, "/2.mp3"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Events().size(), 2u); // only the two start events so far
    std::ofstream(release).put('x');
    host.WaitForTracks();
    const std::vector<std::string> e = Events();
    ASSERT_EQ(e.size(), 6u);
    EXPECT_TRUE(e[2].starts_with("a_blocks.so 108 一|"));
    EXPECT_TRUE(e[3].starts_with("b_good.so 108 一|"));
    EXPECT_TRUE(e[4].starts_with("a_blocks.so 108 二|"));
    EXPECT_TRUE(e[5].starts_with("b_good.so 108 二|"));
}

TEST_F(PluginHost, APluginThatNeverReturnsIsLeftBehindAtQuit) {
    unsetenv("TUNOLA_TEST_PLUGIN_RELEASE");
    Put("blocks", "a_blocks.so");
    const auto start = std::chrono::steady_clock::now();
    {
        TUSGeneralPurpose host(folder_.string());
        host.TrackStarted(Track("卡住", "某人", 60, "/stuck.mp3"));
    }
    // The quit waited its bound and no longer; the stuck plug-in got no quit event (and stays
    // loaded, since its code still runs).
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(Events(), std::vector<std::string>{"a_blocks.so 100"});
}

// The plug-ins that come with the player.
class BundledPlugins : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        home_ = dir_.path().toStdString();
        oldHome_ = std::getenv("HOME") ? std::getenv("HOME") : "";
        setenv("HOME", home_.c_str(), 1);
        unsetenv("XDG_CACHE_HOME");
    }
    void TearDown() override { setenv("HOME", oldHome_.c_str(), 1); }

    QTemporaryDir dir_;
    std::string home_, oldHome_;
};

TEST_F(BundledPlugins, BothLoadFromThePlayersFolder) {
    TUSGeneralPurpose host(kPlayerPlugins.string());
    EXPECT_EQ(host.Count(), 2);
}

TEST_F(BundledPlugins, ScrobbleLogRatesListenedAndSkippedTracks) {
    {
        TUSGeneralPurpose host("");
        ASSERT_TRUE(host.LoadPlugin((kPlayerPlugins / "scrobble_log.so").string()));
        const auto before = std::time(nullptr);
        // One second long: half of it played counts as listened.
        host.TrackStarted(Track("月亮代表我的心", "邓丽君", 1.2, "/music/a.mp3"));
        host.WaitForTracks();
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        // Tabs inside a tag must not break the record; no title falls back to the file name.
        host.TrackStarted(Track("", "Tab\tBand", 300, "/music/无题.ogg"));
        host.WaitForTracks();
        host.TrackStarted(Track("甜蜜蜜", "邓丽君", 0, "http://radio.example/stream"));
        host.WaitForTracks();
        const std::vector<std::string> lines = ReadLines(fs::path(home_) / ".scrobbler.log");
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[0], "#AUDIOSCROBBLER/1.1");
        EXPECT_EQ(lines[1], "#TZ/UTC");
        EXPECT_EQ(lines[2], "#CLIENT/Tunola 2");
        const std::string stamp = lines[3].substr(lines[3].rfind("\tL\t") + 3);
        const long long t = std::stoll(stamp);
        EXPECT_GE(t, before);
        EXPECT_LE(t, std::time(nullptr));
        EXPECT_EQ(lines[3], "邓丽君\t\t月亮代表我的心\t\t1\tL\t" + std::to_string(t) + "\t");
        EXPECT_TRUE(lines[4].starts_with("Tab Band\t\t无题\t\t300\tS\t")) << lines[4];
    }
    // The quit writes the last one: a stream of no known length, skipped at once.
    const std::vector<std::string> lines = ReadLines(fs::path(home_) / ".scrobbler.log");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_TRUE(lines[5].starts_with("邓丽君\t\t甜蜜蜜\t\t0\tS\t")) << lines[5];
    // A second run appends without a second header.
    {
        TUSGeneralPurpose host("");
        ASSERT_TRUE(host.LoadPlugin((kPlayerPlugins / "scrobble_log.so").string()));
        host.TrackStarted(Track("再来", "谁", 10, "/x.mp3"));
    }
    const std::vector<std::string> again = ReadLines(fs::path(home_) / ".scrobbler.log");
    ASSERT_EQ(again.size(), 7u);
    EXPECT_TRUE(again[6].starts_with("谁\t\t再来\t\t10\tS\t"));
}

TEST_F(BundledPlugins, NowPlayingKeepsTheCurrentTrackInAFile) {
    const fs::path file = fs::path(home_) / ".cache/tunola/nowplaying.txt";
    {
        TUSGeneralPurpose host("");
        ASSERT_TRUE(host.LoadPlugin((kPlayerPlugins / "now_playing.so").string()));
        host.TrackStarted(Track("月亮代表我的心", "邓丽君", 207, "/music/a.mp3"));
        host.WaitForTracks();
        EXPECT_EQ(ReadAll(file), "月亮代表我的心 - 邓丽君\n");
        host.TrackStarted(Track("", "", 0, "/music/Only a file.mp3"));
        host.WaitForTracks();
        EXPECT_EQ(ReadAll(file), "Only a file\n");
    }
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(ReadAll(file), ""); // the player quit
}

} // namespace
