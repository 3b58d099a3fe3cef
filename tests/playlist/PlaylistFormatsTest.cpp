// Lists written by other players, read as they write them, and our exports read back.

#include "PlaylistFormats.h"
#include "TextCodec.h"

#include <gtest/gtest.h>

using namespace tunola;

namespace {

std::vector<TListEntry> Parse(std::string_view bytes, std::string_view name = "list.m3u") {
    const TListFormat format = DetectListFormat(bytes, name);
    auto entries = ParseForeignList(bytes, format, "/music/lists");
    EXPECT_TRUE(entries.has_value()) << bytes;
    return entries.value_or(std::vector<TListEntry>{});
}

TEST(PlaylistFormats, DetectsTheFormatByContentNotByName) {
    const struct {
        std::string_view bytes, name;
        TListFormat format;
    } kCases[] = {
        {"#EXTM3U\n/a.mp3\n", "x.txt", TListFormat::M3u},
        {"\xEF\xBB\xBF#EXTM3U\r\n", "x", TListFormat::M3u},
        {"  \n[playlist]\nFile1=a.mp3\n", "x.m3u", TListFormat::Pls},
        {"[Playlist]\r\n", "x", TListFormat::Pls},
        {"<?xml version=\"1.0\"?><playlist xmlns=\"http://xspf.org/ns/0/\">", "x.pls",
         TListFormat::Xspf},
        {"<?xml version=\"1.0\"?>\n<DefaultList><PlayerList/></DefaultList>", "x.pls",
         TListFormat::Native},
        {"/music/a.mp3\n", "old.M3U", TListFormat::M3u}, // a bare list, known by its name
        {"/music/a.mp3\n", "old.txt", TListFormat::Unknown},
        {std::string_view("ID3\x03\0\0", 6), "song.m3u", TListFormat::Unknown},
        {"", "x.pls", TListFormat::Unknown},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(DetectListFormat(c.bytes, c.name), c.format) << c.bytes;
}

TEST(PlaylistFormats, M3uAsOtherPlayersWriteIt) {
    const std::string list = "\xEF\xBB\xBF#EXTM3U\r\n"
                             "#EXTINF:215,Singer - Song One\r\n"
                             "../songs/one.mp3\r\n"
                             "#EXTINF:-1,Radio\r\n"
                             "http://radio.example/stream\r\n"
                             "\r\n"
                             "# a comment\r\n"
                             "sub\\two.ogg\r\n"
                             "file:///music/a%20b%E6%9B%B2.flac\r\n"
                             "file://otherhost/x.mp3\r\n"
                             "C:\\Music\\lost.mp3\r\n"
                             "spotify:track:123\r\n"
                             "/abs/three.wav";
    const std::vector<TListEntry> e = Parse(list);
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].Location, "/music/songs/one.mp3");
    EXPECT_EQ(e[0].Title, "Song One");
    EXPECT_EQ(e[0].Artist, "Singer");
    EXPECT_DOUBLE_EQ(e[0].Seconds, 215);
    EXPECT_TRUE(e[1].IsUrl);
    EXPECT_EQ(e[1].Location, "http://radio.example/stream");
    EXPECT_EQ(e[1].Title, "Radio");
    EXPECT_EQ(e[1].Seconds, 0);
    EXPECT_EQ(e[2].Location, "/music/lists/sub/two.ogg");
    EXPECT_EQ(e[2].Title, ""); // the #EXTINF before belongs to the stream only
    EXPECT_EQ(e[3].Location, "/music/a b曲.flac");
    EXPECT_EQ(e[4].Location, "/abs/three.wav");
}

TEST(PlaylistFormats, GbkM3uIsDecoded) {
    const std::string name = Utf8ToGb18030("/音乐/歌曲.mp3");
    const std::string title = Utf8ToGb18030("歌手 - 歌名");
    const std::vector<TListEntry> e = Parse("#EXTM3U\n#EXTINF:10," + title + "\n" + name + "\n");
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].Location, "/音乐/歌曲.mp3");
    EXPECT_EQ(e[0].Artist, "歌手");
    EXPECT_EQ(e[0].Title, "歌名");
}

TEST(PlaylistFormats, WhatCannotBeTextNeverReachesTheList) {
    // A UTF-8 mark before bytes that are not UTF-8: they become U+FFFD, so a list written from
    // these entries is valid UTF-8 again.
    const std::vector<TListEntry> e = Parse("\xEF\xBB\xBF#EXTM3U\n#EXTINF:1,T\xFF\n/a\xFE.mp3\n");
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].Location, "/a\uFFFD.mp3");
    EXPECT_EQ(e[0].Title, "T\uFFFD");
    EXPECT_TRUE(IsValidUtf8(WriteM3u8(e)));
    // "\\" separates only in a location without "/" (a list from Windows); in a path of ours
    // it is part of a name.
    const std::vector<TListEntry> f = Parse("#EXTM3U\nsub\\x.mp3\n/m/a\\b.mp3\n");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].Location, "/music/lists/sub/x.mp3");
    EXPECT_EQ(f[1].Location, "/m/a\\b.mp3");
}

TEST(PlaylistFormats, PlsInNumberOrderWithOptionalFields) {
    const std::vector<TListEntry> e = Parse("[playlist]\r\n"
                                            "NumberOfEntries=3\r\n"
                                            "File2=http://s.example/live\r\n"
                                            "Title2=Live\r\n"
                                            "Length2=-1\r\n"
                                            "file1=rel/first.mp3\r\n"
                                            "Title1=First\r\n"
                                            "Length1=61\r\n"
                                            "File10=/tenth.mp3\r\n"
                                            "Version=2\r\n",
                                            "radio.pls");
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].Location, "/music/lists/rel/first.mp3");
    EXPECT_EQ(e[0].Title, "First");
    EXPECT_DOUBLE_EQ(e[0].Seconds, 61);
    EXPECT_TRUE(e[1].IsUrl);
    EXPECT_EQ(e[1].Seconds, 0);
    EXPECT_EQ(e[2].Location, "/tenth.mp3");
}

TEST(PlaylistFormats, XspfWithRelativeAndFileUris) {
    const std::vector<TListEntry> e =
        Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>"
              "<track><location>file:///m/a%26b.mp3</location><title>A &amp; B</title>"
              "<creator>C</creator><duration>90500</duration></track>"
              "<track><title>no location</title></track>"
              "<track><location>..%2Fx/y%20z.ogg</location></track>"
              "<track><location>https://h.example/s</location></track>"
              "</trackList></playlist>",
              "l.xspf");
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].Location, "/m/a&b.mp3");
    EXPECT_EQ(e[0].Title, "A & B");
    EXPECT_EQ(e[0].Artist, "C");
    EXPECT_DOUBLE_EQ(e[0].Seconds, 90.5);
    EXPECT_EQ(e[1].Location, "/music/x/y z.ogg");
    EXPECT_TRUE(e[2].IsUrl);
    // Not an XSPF document at all.
    EXPECT_FALSE(ParseForeignList("<playlist><trackList>", TListFormat::Xspf, "/"));
    EXPECT_FALSE(ParseForeignList("<other/>", TListFormat::Xspf, "/"));
}

TEST(PlaylistFormats, ExportsReadBackTheSame) {
    const std::vector<TListEntry> list = {
        {"/m/a b&c 曲.mp3", false, "Title <1>", "Artist", 125},
        {"http://radio.example/live?x=1&y=2", true, "Radio", "", 0},
        {"/m/50%.ogg", false, "", "", 3.4},
    };
    struct {
        const char* name;
        std::string (*write)(const std::vector<TListEntry>&);
    } kWriters[] = {{"out.m3u8", WriteM3u8}, {"out.pls", WritePls}, {"out.xspf", WriteXspf}};
    for (const auto& w : kWriters) {
        const std::string bytes = w.write(list);
        const std::vector<TListEntry> back = Parse(bytes, w.name);
        ASSERT_EQ(back.size(), list.size()) << w.name;
        for (size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(back[i].Location, list[i].Location) << w.name;
            EXPECT_EQ(back[i].IsUrl, list[i].IsUrl) << w.name;
            EXPECT_EQ(back[i].Title, list[i].Title) << w.name;
            EXPECT_EQ(back[i].Artist, list[i].Artist) << w.name;
            EXPECT_NEAR(back[i].Seconds, list[i].Seconds, 0.5) << w.name;
        }
    }
}

TEST(PlaylistFormats, FileUris) {
    EXPECT_EQ(FileUriFromPath("/a b/曲#1.mp3"), "file:///a%20b/%E6%9B%B2%231.mp3");
    EXPECT_EQ(LocalPathFromUri("file://localhost/a/../b%2Fc"), "/b/c");
    EXPECT_EQ(LocalPathFromUri("file:/x"), "/x");
    EXPECT_FALSE(LocalPathFromUri("file://host/x"));
    EXPECT_FALSE(LocalPathFromUri("file:///a%00b"));
    EXPECT_FALSE(LocalPathFromUri("http://x/y"));
}

} // namespace
