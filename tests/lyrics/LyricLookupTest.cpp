#include "LyricLookup.h"

#include "FakeLyricDown.h"
#include "LyricDownload.h"
#include "Similarity.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tunola {
namespace {

TEST(LyricLookup, ChooserTakesTheFirstPerfectOrElseTheLastGoodName) {
    // Against "abcdefghijklmnopqrstuvwxy z" (27 bytes) a name missing one letter scores 96.
    const std::string title = "abcdefghijklmnopqrstuvwxy";
    const std::string perfect = title + " z";
    const std::string good1 = "bcdefghijklmnopqrstuvwxy z";
    const std::string good2 = "acdefghijklmnopqrstuvwxy z";
    ASSERT_EQ(Similarity(MatchBytes(good1), MatchBytes(perfect), true), 96);
    ASSERT_EQ(Similarity(MatchBytes(good2), MatchBytes(perfect), true), 96);
    ASSERT_EQ(Similarity(MatchBytes("abcdefghijklmnopqrstuvw z"), MatchBytes(perfect), true), 92);

    struct TCase {
        std::vector<std::string> Names;
        std::optional<size_t> Chosen;
        size_t Offered; // names looked at before the search ended
    };
    const TCase cases[] = {
        {{"unrelated", "abcdefghijklmnopqrstuvw z"}, std::nullopt, 2},
        {{good1, "x", good2, "y"}, 2, 4},
        {{good1, perfect, good2}, 1, 2},
        {{perfect, "ABCDEFGHIJKLMNOPQRSTUVWXY Z"}, 0, 1},
        {{good1, "ABCDEFGHIJKLMNOPQRSTUVWXY Z"}, 1, 2},
    };
    for (const TCase& c : cases) {
        TLyricFileChooser chooser(title, "z");
        size_t offered = 0;
        while (offered < c.Names.size() && chooser.Offer(c.Names[offered], offered))
            ++offered;
        if (offered < c.Names.size())
            ++offered;
        EXPECT_EQ(chooser.Chosen(), c.Chosen) << c.Names[0];
        EXPECT_EQ(offered, c.Offered) << c.Names[0];
    }
}

TEST(LyricLookup, FindLyricFileByName) {
    TTempFolder dir;
    dir.Write("song singer (live).lrc", "live");
    dir.Write("Other Song.lrc", "other");
    EXPECT_EQ(FindLyricFile(dir.Path(), "Song", "Singer"), "") << "61 is not enough";

    const auto exact = dir.Write("Song Singer.lrc", "studio");
    EXPECT_EQ(FindLyricFile(dir.Path(), "Song", "Singer"), exact);
    EXPECT_EQ(FindLyricFile(dir.Path(), "SONG", "singer"), exact);
    EXPECT_EQ(FindLyricFile(dir.Path(), "Sonk", "Zinger"), "") << "S only sounds like S";
    EXPECT_EQ(FindLyricFile(dir.Path() / "missing", "Song", "Singer"), "");
}

// Of several near matches the last in name order wins, whatever order the folder lists them
// in (tmpfs lists the newest first, ext4 by hash).
TEST(LyricLookup, FindLyricFileGoesByNameOrder) {
    const std::string title = "abcdefghijklmnopqrstuvwxy";
    std::vector<std::string> names; // each one letter short: all score 96
    for (size_t k = 0; k < 6; ++k)
        names.push_back(title.substr(0, k) + title.substr(k + 1) + " z.lrc");
    std::sort(names.begin(), names.end());
    for (const bool reverse : {false, true}) {
        TTempFolder dir;
        std::vector<std::string> order = names;
        if (reverse)
            std::reverse(order.begin(), order.end());
        for (const std::string& name : order)
            dir.Write(name, "near");
        EXPECT_EQ(FindLyricFile(dir.Path(), title, "z"), dir.Path() / names.back()) << reverse;
    }
}

TEST(LyricLookup, FindLyricFileLooksAtLyricFilesOnly) {
    TTempFolder dir;
    dir.Write("Song Singer.mp3", "audio");
    dir.Write("Song Singer.lrc.bak", "old");
    std::filesystem::create_directory(dir.Path() / "Song Singer.lrc");
    dir.Write(".lrc", "no name");
    EXPECT_EQ(FindLyricFile(dir.Path(), "Song", "Singer"), "");
    const auto upper = dir.Write("Song Singer.LRC", "shouting");
    EXPECT_EQ(FindLyricFile(dir.Path(), "Song", "Singer"), upper);
}

TEST(LyricLookup, FindLyricFileReadsGbkAndUtf8Names) {
    TTempFolder dir;
    const auto gbk =
        dir.Write("\xC7\xE7\xCC\xEC \xD6\xDC\xBD\xDC\xC2\xD7.lrc", "gbk"); // 晴天 周杰伦
    EXPECT_EQ(FindLyricFile(dir.Path(), "晴天", "周杰伦"), gbk);
    std::filesystem::remove(gbk);
    const auto utf8 = dir.Write("晴天 周杰伦.lrc", "utf-8");
    EXPECT_EQ(FindLyricFile(dir.Path(), "晴天", "周杰伦"), utf8);
    EXPECT_EQ(FindLyricFile(dir.Path(), "晴天", "蔡依林"), "");
}

TEST(LyricLookup, LyricFileBesideReplacesTheExtension) {
    const std::pair<std::string, std::string> cases[] = {
        {"/m/song.mp3", "/m/song.lrc"},  {"/m/song.flac", "/m/song.lrc"},
        {"/m/song.aiff", "/m/song.lrc"}, {"/m/a.b.ogg", "/m/a.b.lrc"},
        {"/m/song", "/m/song.lrc"},
    };
    for (const auto& [audio, lyric] : cases)
        EXPECT_EQ(LyricFileBeside(audio), std::filesystem::path(lyric)) << audio;
}

class LyricSources : public ::testing::Test {
protected:
    LyricSources() {
        std::filesystem::create_directories(music_);
        std::filesystem::create_directories(lyricDir_);
        service_.ResultsByMode[0] = {{"Song", "Singer", 1}};
        service_.Lyrics[1] = "[00:01]downloaded\n";
    }
    TLyricLookup Load(bool online = true) {
        return LoadLyricText({music_ / "Song.mp3", "Song", "Singer"}, lyricDir_, &service_, online);
    }

    TTempFolder dir_;
    std::filesystem::path music_ = dir_.Path() / "music";
    std::filesystem::path lyricDir_ = dir_.Path() / "lrc";
    TFakeLyricDown service_;
};

TEST_F(LyricSources, TheFileBesideTheAudioWins) {
    WriteFileAtomically(lyricDir_ / "Song Singer.lrc", "[00:01]folder\n");
    WriteFileAtomically(music_ / "Song.lrc", "[00:01]beside\n");
    const TLyricLookup lookup = Load();
    EXPECT_EQ(lookup.Source, TLyricSource::BesideAudio);
    EXPECT_EQ(lookup.Text, "[00:01]beside\r\n");
    EXPECT_EQ(lookup.Path, music_ / "Song.lrc");
    EXPECT_TRUE(service_.Calls.empty());
}

TEST_F(LyricSources, ThenTheLyricFolderThenTheService) {
    WriteFileAtomically(lyricDir_ / "Song Singer.lrc", "[00:01]folder\n");
    TLyricLookup lookup = Load();
    EXPECT_EQ(lookup.Source, TLyricSource::LyricFolder);
    EXPECT_EQ(lookup.Text, "[00:01]folder\r\n");
    EXPECT_TRUE(service_.Calls.empty());

    std::filesystem::remove(lyricDir_ / "Song Singer.lrc");
    lookup = Load(false);
    EXPECT_EQ(lookup.Source, TLyricSource::None) << "offline: no download";
    EXPECT_EQ(lookup.Text, "");
    EXPECT_TRUE(service_.Calls.empty());

    lookup = Load();
    EXPECT_EQ(lookup.Source, TLyricSource::Download);
    EXPECT_EQ(lookup.Text, "[00:01]downloaded\r\n");
    EXPECT_EQ(lookup.Path, lyricDir_ / "Song Singer.lrc");
    // The saved copy is found by name next time.
    service_.Calls.clear();
    EXPECT_EQ(Load().Source, TLyricSource::LyricFolder);
    EXPECT_TRUE(service_.Calls.empty());
}

TEST_F(LyricSources, UnreadableFilesArePassedOver) {
    std::filesystem::create_directory(music_ / "Song.lrc"); // a folder, not a lyric
    const auto huge = lyricDir_ / "Song Singer.lrc";
    WriteFileAtomically(huge, "");
    std::filesystem::resize_file(huge, 64u * 1024 * 1024);
    const TLyricLookup lookup = Load();
    EXPECT_EQ(lookup.Source, TLyricSource::Download);
}

TEST_F(LyricSources, CapitalExtensionBesideAndNoServiceAndMissingFolder) {
    WriteFileAtomically(music_ / "Song.LRC", "[00:01]caps\n");
    EXPECT_EQ(Load().Text, "[00:01]caps\r\n");
    std::filesystem::remove(music_ / "Song.LRC");

    EXPECT_EQ(
        LoadLyricText({music_ / "Song.mp3", "Song", "Singer"}, lyricDir_, nullptr, true).Source,
        TLyricSource::None);

    const TLyricLookup lookup = LoadLyricText({"http://radio/stream", "Song", "Singer"},
                                              dir_.Path() / "gone", &service_, true);
    EXPECT_EQ(lookup.Source, TLyricSource::Download);
    EXPECT_EQ(lookup.Warning, kLyricDirWarningText);
    EXPECT_TRUE(lookup.Path.empty());
}

} // namespace
} // namespace tunola
