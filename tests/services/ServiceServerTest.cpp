// tunola-service as a player meets it: a real server process on a free 127.0.0.1 port with a
// temporary database and a generated music folder; every answer read the way the player reads
// it (share links through the shared parser, lyric downloads through the player's own ranking
// and its lyric-download library, music search through its search library).

#include "ILyricDown.h"
#include "IMusicSearch.h"
#include "LyricDownload.h"
#include "PluginLibrary.h"
#include "ServiceLibraries.h"
#include "ServiceRoutes.h"
#include "ServiceTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace tunola::service::test {
namespace {

// The player's update check: the number from character 10 up to the first "," at or after
// it, and the parameter after that comma.
std::optional<std::pair<unsigned, std::string>> ReadUpdateAnswer(const std::string& r) {
    if (r.find("tunola") == std::string::npos || r.size() < 10)
        return std::nullopt;
    const size_t comma = r.find(',', 9);
    if (comma == std::string::npos)
        return std::nullopt;
    const std::string number = r.substr(9, comma - 9);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::make_pair(static_cast<unsigned>(std::stoul(number)), r.substr(comma + 1));
}

// The player's own service libraries, loaded from the program folder as the player loads them.
template <class T>
TServiceObject<T> LoadServiceLibrary(const char* name, const char* factory, const char* id,
                                     const std::string& host) {
    return TServiceObject<T>::Load(std::string(TUNOLA_PROGRAM_DIR) + "/" + name + kPluginSuffix,
                                   factory, id, host);
}

std::string UploadBody(std::string_view title, std::string_view artist, std::string_view lyric) {
    return "ltitle=" + Enc(title) + "&lsinger=" + Enc(artist) + "&llrc=" + Enc(lyric);
}

const TTrack kTracks[] = {
    {"周杰伦/晴天.wav", "晴天", "周杰伦"},      {"周杰伦/青花瓷.wav", "青花瓷", "周杰伦"},
    {"周杰伦/稻香.mp3", "稻香", "周杰伦"},      {"odd/pure.wav", "100% Pure @@ Love", "A&B <x>"},
    {"odd/bar.wav", "a|b", "Quote \"q\" it's"}, {"latin/rain.mp3", "Rain Song", "The Band"},
};

class ServiceServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work_ = FreshFolder("server");
        music_ = work_ / "music";
        for (const TTrack& t : kTracks)
            ASSERT_TRUE(MakeTrack(music_, t)) << t.File;
        // Nothing outside the folder may be shared: a link to a file and to a folder outside.
        std::filesystem::create_directories(work_ / "outside");
        ASSERT_TRUE(MakeTrack(work_ / "outside", {"secret.wav", "Secret", "Nobody"}));
        std::filesystem::create_symlink(work_ / "outside" / "secret.wav", music_ / "link.wav");
        std::filesystem::create_directory_symlink(work_ / "outside", music_ / "outside-dir");
        service_ = new TServiceProcess;
        ASSERT_TRUE(service_->Start(work_, {"--music", music_.string(), "--db",
                                            TestDb(work_, "server"), "--latest-version", "2.4",
                                            "--download-url", "http://dl.example/t.tar.gz"}))
            << service_->Log();
    }
    static void TearDownTestSuite() {
        EXPECT_EQ(service_->Stop(), 0) << "SIGTERM ends the service cleanly";
        delete service_;
    }
    int Port() const { return service_->Port(); }
    static TServiceObject<ILyricDown> LyricLibrary() {
        return LoadServiceLibrary<ILyricDown>(kLyricDownLibrary, kLyricDownFactory,
                                              kLyricDownInterfaceId, service_->Host());
    }
    static TServiceObject<IMusicSearch> SearchLibrary() {
        return LoadServiceLibrary<IMusicSearch>(kMusicSearchLibrary, kMusicSearchFactory,
                                                kMusicSearchInterfaceId, service_->Host());
    }
    std::string ShareBase() const { return "http://" + service_->Host() + "/share/"; }

    // The songs of the sharing page, read through the player's share-link parser, by title.
    std::map<std::string, TShareLink> SharedSongs(const std::string& html, bool play) {
        std::map<std::string, TShareLink> songs;
        for (const std::string& href : Hrefs(html, "share")) {
            std::optional<TShareLink> link = ParseShareLink(href, ShareBase());
            EXPECT_TRUE(link) << href;
            if (link && link->Play == play)
                songs[link->Title] = *link;
        }
        return songs;
    }

    static inline std::filesystem::path work_, music_;
    static inline TServiceProcess* service_ = nullptr;
};

TEST_F(ServiceServer, UpdateCheckOffersTheConfiguredVersion) {
    auto r = Get(Port(), "/soft/updata.asp");
    ASSERT_TRUE(r);
    const auto answer = ReadUpdateAnswer(r->body);
    ASSERT_TRUE(answer) << r->body;
    EXPECT_EQ(answer->first, 24u); // 2.4, built as the player builds its own number
    EXPECT_EQ(answer->second, "2.4 http://dl.example/t.tar.gz");
    EXPECT_GT(24u, 20u) << "a player 2.0 updates";
}

TEST_F(ServiceServer, SharingPageLinksEverySongTwiceAndPlaysTheFileTheyName) {
    auto r = Get(Port(), "/index.asp");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_NE(r->get_header_value("Content-Type").find("utf-8"), std::string::npos);
    const auto play = SharedSongs(r->body, true), add = SharedSongs(r->body, false);
    ASSERT_EQ(play.size(), std::size(kTracks)) << r->body;
    EXPECT_EQ(add.size(), std::size(kTracks));
    EXPECT_EQ(play.count("Secret"), 0u);
    for (const TTrack& t : kTracks) {
        const std::string title = t.Title == "a|b" ? "a｜b" : t.Title;
        ASSERT_EQ(play.count(title), 1u) << title;
        const TShareLink& link = play.at(title);
        EXPECT_EQ(link.Artist, t.Artist);
        EXPECT_TRUE(link.Identifier.ends_with("@@"));
        EXPECT_EQ(add.at(title).Identifier.substr(0, link.Identifier.size() - 2),
                  link.Identifier.substr(0, link.Identifier.size() - 2));
        ASSERT_TRUE(link.FileName.starts_with(ShareBase())) << link.FileName;
        // The address the player plays gives the file's bytes.
        auto file = Get(Port(), link.FileName.substr(link.FileName.find("/share/")));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->status, 200);
        EXPECT_EQ(file->body.size(), std::filesystem::file_size(music_ / t.File)) << t.File;
        EXPECT_EQ(file->get_header_value("Content-Type"),
                  t.File.ends_with(".mp3") ? "audio/mpeg" : "audio/wav");
    }
    // Titles and artists are escaped in the page's text, never raw.
    EXPECT_EQ(r->body.find("<x>"), std::string::npos);
    EXPECT_NE(r->body.find("A&amp;B &lt;x&gt;"), std::string::npos);
    EXPECT_NE(r->body.find("tunola-share-link:"), std::string::npos) << "the raw-href script";
}

TEST_F(ServiceServer, PlaysCountedByTheMarkedIdentifierOrderThePage) {
    auto before = Get(Port(), "/index.asp");
    ASSERT_TRUE(before);
    const TShareLink rain = SharedSongs(before->body, true).at("Rain Song");
    const TShareLink pure = SharedSongs(before->body, false).at("100% Pure @@ Love");
    // The player sends the identifier as parsed, marker included, not encoded.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Get(Port(), std::string(kHotPath) + rain.Identifier)->status, 200);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Get(Port(), std::string(kHotPath) + pure.Identifier)->status, 200);
    EXPECT_EQ(Get(Port(), "/hot.asp?id=999999@@")->status, 404);
    EXPECT_EQ(Get(Port(), "/hot.asp?id=1'%20OR%201=1@@")->status, 400);
    auto after = Get(Port(), "/index.asp");
    const size_t first = after->body.find("Rain Song"), second = after->body.find("100% Pure");
    const size_t third = after->body.find("晴天");
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
}

TEST_F(ServiceServer, ShareFilesAnswerByteRanges) {
    const TShareLink song = SharedSongs(Get(Port(), "/index.asp")->body, true).at("晴天");
    const std::string path = song.FileName.substr(song.FileName.find("/share/"));
    auto whole = Get(Port(), path);
    ASSERT_TRUE(whole);
    ASSERT_EQ(whole->status, 200);
    const std::string& bytes = whole->body;
    EXPECT_EQ(whole->get_header_value("Accept-Ranges"), "bytes");
    struct Case {
        std::string range;
        size_t from, length;
    } cases[] = {
        {"bytes=0-0", 0, 1},
        {"bytes=100-4195", 100, 4096},
        {"bytes=-100", bytes.size() - 100, 100},
        {"bytes=20000-", 20000, bytes.size() - 20000},
        {"bytes=20000-999999999", 20000, bytes.size() - 20000}, // clamped to the end
        {"bytes=-999999999", 0, bytes.size()},
    };
    for (const Case& c : cases) {
        auto r = Get(Port(), path, {{"Range", c.range}});
        ASSERT_TRUE(r) << c.range;
        EXPECT_EQ(r->status, 206) << c.range;
        EXPECT_EQ(r->body, bytes.substr(c.from, c.length)) << c.range;
        EXPECT_EQ(r->get_header_value("Content-Range"), "bytes " + std::to_string(c.from) + "-" +
                                                            std::to_string(c.from + c.length - 1) +
                                                            "/" + std::to_string(bytes.size()))
            << c.range;
    }
    for (const char* range : {"bytes=99999999-", "bytes=5-2", "bytes=-0"}) {
        auto r = Get(Port(), path, {{"Range", range}});
        ASSERT_TRUE(r) << range;
        EXPECT_EQ(r->status, 416) << range;
        if (r->has_header("Content-Range"))
            EXPECT_EQ(r->get_header_value("Content-Range"),
                      "bytes */" + std::to_string(bytes.size()));
    }
}

TEST_F(ServiceServer, ShareNamesNeverLeaveTheMusicFolder) {
    for (const char* path :
         {"/share/../db.sqlite", "/share/..%2F..%2Fetc%2Fpasswd", "/share/%2Fetc%2Fpasswd",
          "/share/mm1.flac" /* wrong extension */, "/share/mm999999.wav", "/share/link.wav",
          "/share/mm-1.wav", "/share/mm1.wav%00", "/share/outside-dir/secret.wav",
          "/share/mm1.wav/../../db.sqlite"}) {
        auto r = Get(Port(), path);
        ASSERT_TRUE(r) << path;
        EXPECT_EQ(r->status, 404) << path;
        EXPECT_LT(r->body.size(), 100u) << path;
    }
}

TEST_F(ServiceServer, UploadedLyricsComeBackThroughThePlayersDownload) {
    const std::string lyric = "[ti:七里香]\r\n[00:01.00]窗外的麻雀 在电线杆上多嘴\r\n";
    auto up = PostForm(Port(), "/lrcpost.asp", UploadBody("七里香", "周杰伦", lyric));
    ASSERT_TRUE(up);
    EXPECT_EQ(up->status, 200);
    EXPECT_EQ(up->body, "OK\n");
    // A worse-named candidate of the same title must lose the ranking.
    ASSERT_EQ(PostForm(Port(), "/lrcpost.asp",
                       UploadBody("七里香 (Live)", "某乐队", "[00:01.00]另一个版本\r\n"))
                  ->status,
              200);

    const TServiceObject<ILyricDown> library = LyricLibrary();
    ASSERT_TRUE(library.Get());
    ILyricDown& down = *library.Get();
    const std::filesystem::path lyricDir = FreshFolder("lrc-download");
    TLyricDownloadResult got = DownloadLyrics(&down, "七里香", "周杰伦", lyricDir);
    EXPECT_NE(got.Text.find("窗外的麻雀"), std::string::npos) << got.Text;
    EXPECT_TRUE(std::filesystem::exists(lyricDir / "七里香 周杰伦.lrc"));

    // Mode 0 is exact, 2 drops brackets, blanks and punctuation, 1 looks at the title alone.
    down.Search("七里香", "周杰伦", "", 0);
    EXPECT_EQ(down.GetCount(), 1);
    down.Search("七里香（Live）", "周 杰 伦", "", 0);
    EXPECT_EQ(down.GetCount(), 0);
    down.Search("七里香（Live）", "周 杰 伦", "", 2);
    EXPECT_EQ(down.GetCount(), 1);
    down.Search("七里香", "别人", "", 1);
    EXPECT_EQ(down.GetCount(), 2);
}

TEST_F(ServiceServer, WantedSongWithoutLyricGivesTheNoLyricsPage) {
    ASSERT_EQ(PostForm(Port(), "/lrcpost.asp",
                       UploadBody("无人知晓", "某人", std::string(kNoLyricMarker)))
                  ->status,
              200);
    const TServiceObject<ILyricDown> library = LyricLibrary();
    ASSERT_TRUE(library.Get());
    ILyricDown& down = *library.Get();
    down.Search("无人知晓", "某人", "", 0);
    ASSERT_EQ(down.GetCount(), 1);
    const std::optional<std::string> page = down.Download(down.GetItem(0).LyricId);
    ASSERT_TRUE(page);
    EXPECT_NE(page->find(kNoLyricsPage), std::string::npos) << *page;
    // The player rejects it: nothing found, nothing saved.
    const std::filesystem::path lyricDir = FreshFolder("lrc-wanted");
    EXPECT_TRUE(DownloadLyrics(&down, "无人知晓", "某人", lyricDir).Text.empty());
    EXPECT_TRUE(std::filesystem::is_empty(lyricDir));
    // Once someone uploads it, the real lyric replaces the page.
    PostForm(Port(), "/lrcpost.asp", UploadBody("无人知晓", "某人", "[00:01.00]终于有了\r\n"));
    EXPECT_NE(DownloadLyrics(&down, "无人知晓", "某人", lyricDir).Text.find("终于有了"),
              std::string::npos);
}

TEST_F(ServiceServer, UploadsAreCheckedAndStoredVerbatim) {
    // Quotes and SQL in a title are only text.
    const std::string title = "it's'); DROP TABLE lyrics; --";
    EXPECT_EQ(
        PostForm(Port(), "/lrcpost.asp", UploadBody(title, "x", "[00:01.00]a b c d e f g\r\n"))
            ->status,
        200);
    const TServiceObject<ILyricDown> library = LyricLibrary();
    ASSERT_TRUE(library.Get());
    ILyricDown& down = *library.Get();
    down.Search(title, "x", "", 0);
    ASSERT_EQ(down.GetCount(), 1);
    EXPECT_EQ(down.GetItem(0).Title, title);

    const std::string big(kMaxLyricBytes + 1, 'a');
    const std::string exact(kMaxLyricBytes, 'b');
    struct Case {
        std::string body;
        int status;
    } cases[] = {
        {UploadBody("大", "x", big), 413},
        {UploadBody("刚好", "x", exact), 200},
        {"lsinger=x&llrc=abc", 400},
        {UploadBody("", "x", "abc"), 400},
        {UploadBody("空", "x", "   \r\n"), 400},
        {"ltitle=%ZZ&lsinger=%&llrc=%%%%", 200}, // broken escapes are kept as they are
    };
    for (const Case& c : cases) {
        auto r = PostForm(Port(), "/lrcpost.asp", c.body);
        ASSERT_TRUE(r) << c.body.substr(0, 60);
        EXPECT_EQ(r->status, c.status) << c.body.substr(0, 60);
    }
    down.Search("刚好", "x", "", 0);
    ASSERT_EQ(down.GetCount(), 1);
    EXPECT_EQ(down.Download(down.GetItem(0).LyricId)->size(), kMaxLyricBytes);
}

TEST_F(ServiceServer, MusicSearchFindsShortAndLongChineseQueries) {
    const TServiceObject<IMusicSearch> library = SearchLibrary();
    ASSERT_TRUE(library.Get());
    IMusicSearch& music = *library.Get();
    auto search = [&](std::string_view q, int kind) {
        std::multiset<std::string> titles;
        music.Search(q, kind);
        for (int32_t i = 0; i < music.GetCount(); ++i) {
            const TMusicSearchResult r = music.GetItem(i);
            // The address follows from the link key: the song's own share name.
            EXPECT_EQ(music.GetSongUrl(r.LinkKey, r.LinkParam),
                      ShareBase() + ShareFileName(r.LinkParam, kind == 0 ? "mp3" : "wav"));
            titles.insert(r.Title);
        }
        return titles;
    };
    using S = std::multiset<std::string>;
    EXPECT_EQ(search("晴天", 1), S{"晴天"}); // two characters: substring path
    EXPECT_EQ(search("稻香", 0), S{"稻香"});
    EXPECT_EQ(search("青花瓷", 1), S{"青花瓷"}); // three: the trigram index
    EXPECT_EQ(search("周杰伦", 1), (S{"晴天", "青花瓷"}));
    EXPECT_EQ(search("周杰伦", 0), S{"稻香"});
    EXPECT_EQ(search("rain", 0), S{"Rain Song"}); // case does not matter
    EXPECT_EQ(search("100%", 1), S{"100% Pure @@ Love"});
    EXPECT_EQ(search("\"", 1), S{"a|b"}); // in the artist; quotes are only text
    EXPECT_TRUE(search("不存在的歌", 1).empty());
    EXPECT_TRUE(search("周杰伦", 7).empty());
    EXPECT_EQ(Get(Port(), "/api/music/search?q=a&kind=7")->status, 400);

    // The address plays the song: the file's bytes.
    music.Search("稻香", 0);
    ASSERT_EQ(music.GetCount(), 1);
    const TMusicSearchResult song = music.GetItem(0);
    EXPECT_EQ(song.Artist, "周杰伦");
    const std::string url = music.GetSongUrl(song.LinkKey, song.LinkParam);
    auto file = Get(Port(), url.substr(url.find("/share/")));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->status, 200);
    EXPECT_EQ(file->body.size(), std::filesystem::file_size(music_ / "周杰伦/稻香.mp3"));
    music.ClearResults();
    EXPECT_EQ(music.GetCount(), 0);
    EXPECT_EQ(music.GetItem(0).LinkKey, "") << "past the end: an empty record";
}

TEST_F(ServiceServer, SearchSidebarLinksCarryGbkKeywordsToAnotherDocument) {
    Get(Port(), "/api/music/search?q=" + Enc("青花瓷") + "&kind=1");
    auto r = Get(Port(), "/schweb/");
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200);
    std::set<std::string> keywords;
    for (const std::string& href : Hrefs(r->body)) {
        // The player lower-cases the address, finds "#tun#" and decodes what follows.
        std::string lower = href;
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        const size_t at = lower.find(kSearchKeywordMarker);
        ASSERT_NE(at, std::string::npos) << href;
        EXPECT_FALSE(href.starts_with("#") || href.starts_with("/schweb/#")) << href;
        keywords.insert(Gb18030ToUtf8(SharePercentDecode(lower.substr(at + 5))));
        auto target = Get(Port(), href.substr(0, href.find('#')));
        EXPECT_EQ(target->status, 200) << href;
    }
    EXPECT_TRUE(keywords.count("青花瓷"));
    EXPECT_TRUE(keywords.count("周杰伦"));
}

TEST_F(ServiceServer, OversizedAndMalformedRequestsAreRefused) {
    using namespace std::chrono_literals;
    const std::string longLine = "GET /" + std::string(9000, 'a') + " HTTP/1.1\r\n\r\n";
    EXPECT_TRUE(RawExchange(Port(), {longLine}, 0ms, 3s).starts_with("HTTP/1.1 414"));
    std::string manyHeaders = "GET /index.asp HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 2000; ++i)
        manyHeaders += "X-Pad-" + std::to_string(i) + ": " + std::string(20, 'p') + "\r\n";
    manyHeaders += "\r\n";
    const std::string answer = RawExchange(Port(), {manyHeaders}, 0ms, 3s);
    EXPECT_FALSE(answer.starts_with("HTTP/1.1 200")) << answer.substr(0, 40);
    EXPECT_TRUE(
        RawExchange(Port(), {"BREW /pot HTTP/1.1\r\n\r\n"}, 0ms, 3s).starts_with("HTTP/1.1 400"));
    const std::string hugeBody =
        "POST /lrcpost.asp HTTP/1.1\r\nContent-Type: "
        "application/x-www-form-urlencoded\r\nContent-Length: 99999999\r\n\r\n";
    EXPECT_TRUE(RawExchange(Port(), {hugeBody}, 0ms, 3s).starts_with("HTTP/1.1 413"));
    // The service still answers.
    EXPECT_EQ(Get(Port(), "/soft/updata.asp")->status, 200);
}

TEST_F(ServiceServer, SilentClientsAreDisconnected) {
    using namespace std::chrono_literals;
    std::chrono::milliseconds after{};
    const std::string answer =
        RawExchange(Port(), {"GET /index.asp HTTP/1.1\r\nHo"}, 0ms, 20s, &after);
    EXPECT_FALSE(answer.starts_with("HTTP/1.1 200")) << answer.substr(0, 40);
    EXPECT_LT(after, 10s) << "the read time-out is 5 s";
}

TEST_F(ServiceServer, EveryRequestIsLoggedOnOneLine) {
    Get(Port(), "/index.asp?x=%0Aforged");
    Get(Port(), "/soft/updata.asp");
    // The line is written once the answer has gone out.
    std::string log = service_->Log();
    for (int i = 0; i < 200 && (log.find("GET /index.asp?x=%0Aforged 200") == std::string::npos ||
                                log.find(" GET /soft/updata.asp 200 ") == std::string::npos);
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        log = service_->Log();
    }
    EXPECT_NE(log.find("GET /index.asp?x=%0Aforged 200"), std::string::npos);
    EXPECT_NE(log.find(" GET /soft/updata.asp 200 "), std::string::npos);
}

TEST(ServiceProcessTest, HelpRescanAndBadOptions) {
    std::string out;
    EXPECT_EQ(RunProgram({TUNOLA_SERVICE_BIN, "--help"}, &out), 0);
    EXPECT_NE(out.find("--music DIR"), std::string::npos);
    EXPECT_EQ(RunProgram({TUNOLA_SERVICE_BIN, "--bogus"}), 2);
    EXPECT_EQ(RunProgram({TUNOLA_SERVICE_BIN, "--latest-version", "1.10"}), 2);
    const std::filesystem::path work = FreshFolder("rescan");
    ASSERT_TRUE(MakeTrack(work / "music", {"a.wav", "Alpha", "A"}));
    EXPECT_EQ(RunProgram({TUNOLA_SERVICE_BIN, "--music", (work / "music").string(), "--db",
                          TestDb(work, "rescan"), "--rescan"},
                         &out),
              0)
        << out;
    EXPECT_NE(out.find("1 songs"), std::string::npos) << out;
}

TEST(ServiceProcessTest, HangUpRescansTheFolder) {
    const std::filesystem::path work = FreshFolder("hangup");
    ASSERT_TRUE(MakeTrack(work / "music", {"a.wav", "Alpha", "A"}));
    TServiceProcess service;
    ASSERT_TRUE(service.Start(
        work, {"--music", (work / "music").string(), "--db", TestDb(work, "hangup")}));
    EXPECT_EQ(Get(service.Port(), "/index.asp")->body.find("Beta"), std::string::npos);
    ASSERT_TRUE(MakeTrack(work / "music", {"b.wav", "Beta", "B"}));
    std::filesystem::remove(work / "music" / "a.wav");
    kill(service.Pid(), SIGHUP);
    std::string page;
    for (int i = 0; i < 200 && page.find("Beta") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        page = Get(service.Port(), "/index.asp")->body;
    }
    EXPECT_NE(page.find("Beta"), std::string::npos);
    EXPECT_EQ(page.find("Alpha"), std::string::npos) << "a removed file is no longer shared";
    EXPECT_EQ(service.Stop(), 0);
}

TEST(ServiceProcessTest, ConnectionsBeyondTheBoundGetBusyAtOnce) {
    using namespace std::chrono_literals;
    const std::filesystem::path work = FreshFolder("bounded");
    TServiceProcess service;
    ASSERT_TRUE(
        service.Start(work, {"--db", TestDb(work, "bounded"), "--threads", "1", "--queue", "1"}));
    // Two idle connections take the one worker and the one waiting place.
    std::vector<std::thread> holders;
    for (int i = 0; i < 2; ++i) {
        holders.emplace_back([&] { RawExchange(service.Port(), {"GET / HTTP/1.1\r\n"}, 0ms, 3s); });
        std::this_thread::sleep_for(200ms);
    }
    const auto start = std::chrono::steady_clock::now();
    auto r = Get(service.Port(), "/soft/updata.asp");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 503);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    for (std::thread& t : holders)
        t.join();
    // Once they are gone, requests are served again.
    EXPECT_EQ(Get(service.Port(), "/soft/updata.asp")->status, 200);
    EXPECT_EQ(service.Stop(), 0);
}

TEST(ServiceProcessTest, ProcessesStartingTogetherMigrateOnce) {
    const std::filesystem::path work = FreshFolder("together");
    const std::string db = TestDb(work, "together");
    std::filesystem::create_directories(work / "a");
    std::filesystem::create_directories(work / "b");
    TServiceProcess a, b;
    std::thread other([&] { EXPECT_TRUE(b.Start(work / "b", {"--db", db})) << b.Log(); });
    ASSERT_TRUE(a.Start(work / "a", {"--db", db})) << a.Log();
    other.join();
    // Both share one database: an upload through one is found through the other.
    ASSERT_EQ(
        PostForm(a.Port(), "/lrcpost.asp", "ltitle=x&lsinger=y&llrc=%5B00%3A01.00%5Dz")->status,
        200);
    auto r = Get(b.Port(), "/api/lyrics/search?title=x&artist=y&mode=0");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->body.substr(r->body.find('\t')), "\tx\ty\n");
    EXPECT_EQ(a.Stop(), 0);
    EXPECT_EQ(b.Stop(), 0);
}

} // namespace
} // namespace tunola::service::test
