#include "LyricDownload.h"
#include "LyricFileName.h"

#include "FakeLyricDown.h"
#include "LyricText.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace tunola {
namespace {

using Calls = std::vector<std::string>;

TEST(LyricDownload, SearchModesAreTriedInTheOrder0Then2Then1) {
    TTempFolder dir;
    TFakeLyricDown service;
    service.ResultsByMode[1] = {{"Song", "Singer", 7}};
    service.Lyrics[7] = "[00:01]la\r\n";
    const TLyricDownloadResult result = DownloadLyrics(&service, "Song", "Singer", dir.Path());
    EXPECT_EQ(service.Calls, (Calls{"clear", "search 0 Song|Singer|", "search 2 Song|Singer|",
                                    "search 1 Song|Singer|", "download 7"}));
    EXPECT_EQ(result.Text, "[00:01]la\r\n");

    TFakeLyricDown early;
    early.ResultsByMode[0] = {{"Song", "Singer", 1}};
    early.Lyrics[1] = "x";
    DownloadLyrics(&early, "Song", "Singer", dir.Path());
    EXPECT_EQ(early.Calls, (Calls{"clear", "search 0 Song|Singer|", "download 1"}));
}

TEST(LyricDownload, NothingFoundOrNoServiceGivesNothing) {
    TTempFolder dir;
    TFakeLyricDown service;
    const TLyricDownloadResult result = DownloadLyrics(&service, "Song", "Singer", dir.Path());
    EXPECT_EQ(result.Text, "");
    EXPECT_EQ(service.Calls.size(), 4u) << "three searches, no download";
    EXPECT_EQ(DownloadLyrics(nullptr, "Song", "Singer", dir.Path()).Text, "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(LyricDownload, BestMatchesAreTriedFirstAndNoLyricPagesSkipped) {
    TTempFolder dir;
    TFakeLyricDown service;
    // Scores against "songsinger": 40, 0, 100, 100 (a tie), 0.
    service.ResultsByMode[0] = {{"so", "ng", 10},
                                {"xxx", "", 11},
                                {"Song", "Singer", 12},
                                {"SONG", "SINGER", 13},
                                {"zzzzz", "qqqqq", 14}};
    service.Lyrics = {{10, "[00:01]from 10"},
                      {11, "[00:01]from 11"},
                      {12, "<HTML>暂无歌词<SCRIPT>alert()</SCRIPT>"},
                      {13, "[00:01]from 13"}};
    const TLyricDownloadResult result = DownloadLyrics(&service, "Song", "Singer", dir.Path());
    // 12 raised the best to 100 and is tried first but is the no-lyrics page; 13 only tied it
    // and 11 and 14 score 0, so none of them is tried; 10 raised the best to 40 earlier.
    EXPECT_EQ(service.Calls,
              (Calls{"clear", "search 0 Song|Singer|", "download 12", "download 10"}));
    EXPECT_EQ(result.Text, "[00:01]from 10");
}

TEST(LyricDownload, EmptyFailedOrOversizedDownloadsAreSkippedAndNeverSaved) {
    TTempFolder dir;
    TFakeLyricDown service;
    // Scores 20, 40, 60, 80, 100 against "songs": tried from 5 down to 1.
    service.ResultsByMode[0] = {
        {"S", "", 1}, {"So", "", 2}, {"Son", "", 3}, {"Song", "", 4}, {"Songs", "", 5}};
    service.Lyrics = {{5, "[00:01]" + std::string(kMaxLyricFileBytes, 'x')},
                      {4, ""},
                      {3, " \r\n "},
                      {1, "暂无歌词<script>"}}; // 2 fails outright
    const TLyricDownloadResult result = DownloadLyrics(&service, "Songs", "", dir.Path());
    EXPECT_EQ(service.Calls, (Calls{"clear", "search 0 Songs||", "download 5", "download 4",
                                    "download 3", "download 2", "download 1"}));
    EXPECT_EQ(result.Text, "");
    EXPECT_TRUE(result.SavedPath.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(LyricDownload, SavesUnderTheTrackNameInTheLyricFolder) {
    TTempFolder dir;
    TFakeLyricDown service;
    service.ResultsByMode[0] = {{"A/B: C?", "D|E", 5}};
    // Longer than the old 4096-byte buffer, in GBK with Unix line ends.
    std::string gbk;
    for (int i = 0; i < 1000; ++i)
        gbk += "[00:01]\xC4\xE3\xBA\xC3\n";
    service.Lyrics[5] = gbk;
    const TLyricDownloadResult result = DownloadLyrics(&service, "A/B: C?", "D|E", dir.Path());
    EXPECT_EQ(result.Text, DecodeLyricFile(gbk));
    EXPECT_EQ(result.Text.size(), 1000u * 15);
    EXPECT_EQ(result.SavedPath, dir.Path() / "AB C DE.lrc");
    EXPECT_EQ(ReadLyricFile(result.SavedPath), result.Text);
    EXPECT_EQ(result.Warning, "");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 1) << "no temporary file is left behind";
}

TEST(LyricDownload, MissingLyricFolderIsReportedAndTheLyricStillReturned) {
    TTempFolder dir;
    TFakeLyricDown service;
    service.ResultsByMode[0] = {{"Song", "Singer", 1}};
    service.Lyrics[1] = "[00:01]la";
    const TLyricDownloadResult result =
        DownloadLyrics(&service, "Song", "Singer", dir.Path() / "gone");
    EXPECT_EQ(result.Text, "[00:01]la");
    EXPECT_EQ(result.Warning, "默认的歌词存放目录错误或不存在，请重新设定一个目录。");
    EXPECT_TRUE(result.SavedPath.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "gone"));
}

TEST(LyricDownload, HostileNamesStayInTheLyricFolder) {
    TTempFolder dir;
    const std::filesystem::path lyricDir = dir.Path() / "lrc";
    std::filesystem::create_directory(lyricDir);
    const std::pair<std::string, std::string> names[] = {
        {"../../escape", ""}, {"/etc/passwd", "x"}, {"C:\\Windows\\x", ".."},
        {"..", ".."},         {"a\nb\0c", "\x01"},  {" ", " "},
    };
    for (const auto& [title, artist] : names) {
        TFakeLyricDown service;
        service.ResultsByMode[0] = {{title, artist, 1}};
        service.Lyrics[1] = "[00:01]la";
        const TLyricDownloadResult result = DownloadLyrics(&service, title, artist, lyricDir);
        EXPECT_EQ(result.Text, "[00:01]la") << title;
        if (!result.SavedPath.empty()) {
            EXPECT_EQ(result.SavedPath.parent_path(), lyricDir) << title;
        }
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path())) {
        if (entry.path() != lyricDir) {
            EXPECT_EQ(entry.path().parent_path(), lyricDir) << entry.path();
        }
    }
}

TEST(LyricFileName, Cases) {
    const std::pair<std::pair<std::string, std::string>, std::string> cases[] = {
        {{"Song", "Singer"}, "Song Singer.lrc"},
        {{"Song", ""}, "Song .lrc"},
        {{"\"*/:<>?\\|Title", "Art|ist"}, "Title Artist.lrc"},
        {{"../../x", ""}, "....x .lrc"},
        {{"..", ".."}, ""},
        {{"", ""}, ""},
        {{" . ", ""}, ""},
        {{"a\tb\r\nc", "\x7F"}, "abc .lrc"},
        {{"晴天", "周杰伦"}, "晴天 周杰伦.lrc"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(LyricFileName(in.first, in.second), out) << in.first;

    // Overlong names are cut between characters, never inside one.
    std::string longTitle;
    for (int i = 0; i < 100; ++i)
        longTitle += "晴";
    const std::string name = LyricFileName(longTitle, "x");
    EXPECT_LE(name.size(), 255u);
    EXPECT_TRUE(name.ends_with("晴.lrc"));
}

} // namespace
} // namespace tunola
