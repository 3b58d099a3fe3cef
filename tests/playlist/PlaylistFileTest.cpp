#include "AtomicFile.h"
#include "MoPlist.h"
#include "PlaylistStore.h"
#include "TextCodec.h"
#include "XmlSafeText.h"
#include "ZuPlaylistModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace tunola;

namespace {

struct Entry {
    std::string path, title, artist;
    bool isUrl;
    double days;
};

class PlaylistFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("plist-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = PathToUtf8(dir_ / "Default.pls");
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Read(const std::string& name) {
        std::string bytes;
        ReadWholeFile(PathFromUtf8(name), bytes);
        return bytes;
    }
    static void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(PathFromUtf8(name), std::ios::binary) << bytes;
    }
    static void Fill(TZuPlaylistItems& items, const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            TZuPlaylistItem& item = items.Add();
            item.SetFileName(e.path);
            item.SetTitle(e.title);
            item.SetArtist(e.artist);
            item.SetCaption(MakeCaption(e.title, e.artist));
            item.SetISURL(e.isUrl);
            item.SetLongTime(e.days);
        }
    }
    static void ExpectEntry(const TZuPlaylistItem* item, const Entry& e) {
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->FileName(), e.path);
        EXPECT_EQ(item->Title(), e.title);
        EXPECT_EQ(item->Artist(), e.artist);
        EXPECT_EQ(item->Caption(), e.title + " - " + e.artist);
        EXPECT_EQ(item->ISURL(), e.isUrl);
        // The file keeps 15 significant digits.
        EXPECT_NEAR(item->LongTime(), e.days, e.days * 1e-14);
        EXPECT_FALSE(item->Selected());
    }

    fs::path dir_;
    std::string file_;
};

TEST_F(PlaylistFile, SavedFileHasTheExactLayout) {
    TZuPlaylistModel model;
    Fill(model.Items(), {{"/music/a.mp3", "Song", "Singer", false, 245.0 / 86400},
                         {"http://radio.example/live?a=1&b=2", "Radio", "", true, 0.0}});
    ASSERT_TRUE(SaveList(model.Items(), file_));
    EXPECT_EQ(Read(file_),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<DefaultList>\n"
              "  <PlayerList>\n"
              "    <LIST Path=\"/music/a.mp3\" Title=\"Song\" Artist=\"Singer\" Url=\"0\" "
              "Ltime=\"0.00283564814814815\"/>\n"
              "    <LIST Path=\"http://radio.example/live?a=1&amp;b=2\" Title=\"Radio\" "
              "Artist=\"\" Url=\"1\" Ltime=\"0\"/>\n"
              "  </PlayerList>\n"
              "</DefaultList>\n");
}

TEST_F(PlaylistFile, RoundTripKeepsOrderAndSecondSaveIsByteIdentical) {
    const std::vector<Entry> entries = {
        {"/音乐/周杰伦/晴天.mp3", "晴天", "周杰伦", false, 269.0 / 86400},
        {"/music/no-artist.ogg", "无题", "", false, 1.0 / 86400}, // caption ends in " - "
        {"http://example.com/s?id=7", "Stream", "DJ", true, 0.0},
        {"/music/odd.wav", "Tom & \"Jerry\" <live>", "A'B\tC", false, 0.5},
    };
    const std::string chineseFile = PathToUtf8(dir_ / "我的列表.pls");
    TZuPlaylistModel model;
    Fill(model.Items(), entries);
    ASSERT_TRUE(SaveList(model.Items(), chineseFile));
    const std::string first = Read(chineseFile);

    TZuPlaylistModel loaded;
    ASSERT_EQ(LoadDefaultList(loaded.Items(), chineseFile), TPlaylistLoad::Loaded);
    ASSERT_EQ(loaded.Items().Count(), 4);
    for (int i = 0; i < 4; ++i)
        ExpectEntry(loaded.Items().GetItem(i), entries[static_cast<size_t>(i)]);
    EXPECT_EQ(loaded.Items().GetItem(1)->Caption(), "无题 - ");

    ASSERT_TRUE(SaveList(loaded.Items(), chineseFile));
    EXPECT_EQ(Read(chineseFile), first);
    ASSERT_TRUE(SaveList(loaded.Items(), chineseFile));
    EXPECT_EQ(Read(chineseFile), first);
    // Atomic replacement leaves nothing beside the file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

// Lists written on Windows in the national code page say so in their declaration.
TEST_F(PlaylistFile, DeclaredChineseCodePageIsRead) {
    Write(file_, "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n<DefaultList><PlayerList>" +
                     Utf8ToGb18030("<LIST Path=\"D:\\音乐\\晴天.mp3\" Title=\"晴天\" "
                                   "Artist=\"周杰伦\" Url=\"0\" Ltime=\"0,003\"/>") +
                     "</PlayerList></DefaultList>");
    TZuPlaylistModel model;
    ASSERT_EQ(LoadDefaultList(model.Items(), file_), TPlaylistLoad::Loaded);
    ASSERT_EQ(model.Items().Count(), 1);
    ExpectEntry(model.Items().GetItem(0), {"D:\\音乐\\晴天.mp3", "晴天", "周杰伦", false, 0.003});
    // Saved back as UTF-8.
    ASSERT_TRUE(SaveList(model.Items(), file_));
    EXPECT_NE(Read(file_).find("encoding=\"UTF-8\""), std::string::npos);
    EXPECT_NE(Read(file_).find("Title=\"晴天\""), std::string::npos);
}

TEST_F(PlaylistFile, ForeignRootAndOtherContentSurviveASave) {
    Write(file_, "<?xml version=\"1.0\"?>\n"
                 "<MyMusic version=\"3\"><Owner name=\"我\"/><!-- keep me -->"
                 "<PlayerList><LIST Path=\"/old.mp3\" Title=\"Old\" Artist=\"\" Url=\"0\" "
                 "Ltime=\"0\"/></PlayerList><Later/></MyMusic>\n");
    TZuPlaylistModel model;
    ASSERT_EQ(LoadDefaultList(model.Items(), file_), TPlaylistLoad::Loaded);
    ASSERT_EQ(model.Items().Count(), 1);
    model.Items().GetItem(0)->SetTitle("New");
    ASSERT_TRUE(SaveList(model.Items(), file_));
    const std::string xml = Read(file_);
    EXPECT_NE(xml.find("<MyMusic version=\"3\">"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("DefaultList"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<Owner name=\"我\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<!-- keep me -->"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<Later/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("Title=\"New\""), std::string::npos) << xml;
    EXPECT_EQ(xml.find("Old"), std::string::npos) << xml;
}

TEST_F(PlaylistFile, EveryChildOfTheListIsAnEntryAndBadValuesLoadAsDefaults) {
    // Each entry carries one fault; none of them may cost the others (or the list).
    Write(file_,
          "<DefaultList><Other><LIST Path=\"/not-an-entry.mp3\"/></Other><PlayerList>\n"
          "  <LIST Path=\"/a.mp3\" Title=\"A\" Artist=\"x\" Url=\"0\" Ltime=\"oops\"/>\n"
          "  <Track Path=\"/b.mp3\" Title=\"B\" Url=\"maybe\" Ltime=\"0,5\"/>\n"
          "  <!-- a comment is not an entry -->\n"
          "  <Song Title=\"C\" Url=\"TRUE\"/>\n"
          "  <x Path=\"/d.mp3\" Url=\"\" Ltime=\"\"/>\n"
          "  <LIST Path=\"/e.mp3\" Title=\"E\" Artist=\"y\" Url=\"-1\" "
          "Ltime=\"1.15740740740741E-5\"/>\n"
          "</PlayerList><PlayerList><LIST Path=\"/second-list.mp3\"/></PlayerList></DefaultList>");
    TZuPlaylistModel model;
    ASSERT_EQ(LoadDefaultList(model.Items(), file_), TPlaylistLoad::Loaded);
    ASSERT_EQ(model.Items().Count(), 5);
    const std::vector<Entry> expected = {
        {"/a.mp3", "A", "x", false, 0.0},
        {"/b.mp3", "B", "", false, 0.5},
        {"", "C", "", true, 0.0},
        {"/d.mp3", "", "", false, 0.0},
        {"/e.mp3", "E", "y", true, 1.0 / 86400},
    };
    for (int i = 0; i < 5; ++i)
        ExpectEntry(model.Items().GetItem(i), expected[static_cast<size_t>(i)]);
}

TEST_F(PlaylistFile, LoadAppendsButOpenReplacesAndMovesToTheNewFile) {
    const std::string other = PathToUtf8(dir_ / "other.pls");
    {
        TZuPlaylistModel source;
        Fill(source.Items(), {{"/x.mp3", "X", "", false, 0.1}, {"/y.mp3", "Y", "", false, 0.2}});
        ASSERT_TRUE(SaveList(source.Items(), other));
    }
    TZuPlaylistModel model;
    Fill(model.Items(), {{"/keep.mp3", "Keep", "", false, 0.0}});
    ASSERT_EQ(LoadDefaultList(model.Items(), other), TPlaylistLoad::Loaded);
    EXPECT_EQ(model.Items().Count(), 3);

    model.SetVisibleCount(10);
    model.SetCurrentItem(2);
    model.SetSelectedIndex(1);
    std::string playlistFile = file_;
    ASSERT_EQ(OpenList(model.Items(), playlistFile, other), TPlaylistLoad::Loaded);
    EXPECT_EQ(playlistFile, other);
    ASSERT_EQ(model.Items().Count(), 2);
    EXPECT_EQ(model.Items().GetItem(0)->Title(), "X");
    EXPECT_EQ(model.CurrentItem(), -1);
    EXPECT_EQ(model.SelectedIndex(), -1);
}

TEST_F(PlaylistFile, UnreadableListIsNeverOverwritten) {
    const std::string broken = "<DefaultList><PlayerList><LIST Path=\"/a.mp3\"";
    Write(file_, broken);

    // Start-up: the list stays empty and the file untouched until the first save...
    TZuPlaylistModel model;
    EXPECT_EQ(LoadDefaultList(model.Items(), file_), TPlaylistLoad::Unreadable);
    EXPECT_EQ(model.Items().Count(), 0);
    EXPECT_EQ(Read(file_), broken);

    // ...which moves it aside before writing.
    Fill(model.Items(), {{"/new.mp3", "New", "", false, 0.0}});
    ASSERT_TRUE(SaveList(model.Items(), file_));
    EXPECT_EQ(Read(file_ + ".unreadable"), broken);
    TZuPlaylistModel reloaded;
    ASSERT_EQ(LoadDefaultList(reloaded.Items(), file_), TPlaylistLoad::Loaded);
    EXPECT_EQ(reloaded.Items().Count(), 1);

    // Opening an unreadable list keeps the current list and the current file.
    const std::string other = PathToUtf8(dir_ / "other.pls");
    Write(other, "not xml at all");
    std::string playlistFile = file_;
    EXPECT_EQ(OpenList(model.Items(), playlistFile, other), TPlaylistLoad::Unreadable);
    EXPECT_EQ(playlistFile, file_);
    EXPECT_EQ(model.Items().Count(), 1);
    EXPECT_EQ(Read(other), "not xml at all");
    EXPECT_EQ(OpenList(model.Items(), playlistFile, PathToUtf8(dir_ / "gone.pls")),
              TPlaylistLoad::NoFile);
    EXPECT_EQ(playlistFile, file_);
    EXPECT_EQ(model.Items().Count(), 1);
}

TEST_F(PlaylistFile, EmptyListToNewFileWritesOnlyTheRoot) {
    TZuPlaylistModel model;
    ASSERT_TRUE(SaveList(model.Items(), file_));
    EXPECT_EQ(Read(file_), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DefaultList/>\n");
    TZuPlaylistModel loaded;
    EXPECT_EQ(LoadDefaultList(loaded.Items(), file_), TPlaylistLoad::Loaded);
    EXPECT_EQ(loaded.Items().Count(), 0);
    EXPECT_EQ(LoadDefaultList(loaded.Items(), PathToUtf8(dir_ / "none.pls")),
              TPlaylistLoad::NoFile);
}

TEST_F(PlaylistFile, SaveFailureIsReportedAndLeavesTheOldFile) {
    TZuPlaylistModel model;
    Fill(model.Items(), {{"/a.mp3", "A", "", false, 0.0}});
    std::string error;
    EXPECT_FALSE(SaveList(model.Items(), PathToUtf8(dir_ / "no-such-dir" / "x.pls"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(SaveList(model.Items(), "", &error));

    // A folder where the list should be is neither read nor moved nor replaced.
    const std::string folder = PathToUtf8(dir_ / "list.pls");
    fs::create_directory(PathFromUtf8(folder));
    EXPECT_EQ(LoadDefaultList(model.Items(), folder), TPlaylistLoad::NoFile);
    EXPECT_FALSE(SaveList(model.Items(), folder, &error));
    EXPECT_TRUE(fs::is_directory(PathFromUtf8(folder)));
    EXPECT_FALSE(fs::exists(PathFromUtf8(folder + ".unreadable")));
}

// Text that XML 1.0 cannot carry (control characters, bytes that are not UTF-8) must not turn
// the next load into a lost list.
TEST_F(PlaylistFile, UnrepresentableTextIsReplacedNotFatal) {
    TZuPlaylistModel model;
    Fill(model.Items(), {{"/m\xE9lodie.mp3", "Bell\x07",
                          "A\x01"
                          "B",
                          false, 0.0},
                         {"/fine.mp3", "Fine", "", false, 0.0}});
    ASSERT_TRUE(SaveList(model.Items(), file_));
    TZuPlaylistModel loaded;
    ASSERT_EQ(LoadDefaultList(loaded.Items(), file_), TPlaylistLoad::Loaded);
    ASSERT_EQ(loaded.Items().Count(), 2);
    EXPECT_EQ(loaded.Items().GetItem(0)->FileName(), "/m\uFFFDlodie.mp3");
    EXPECT_EQ(loaded.Items().GetItem(0)->Title(), "Bell\uFFFD");
    EXPECT_EQ(loaded.Items().GetItem(0)->Artist(), "A\uFFFDB");
    EXPECT_EQ(loaded.Items().GetItem(1)->Title(), "Fine");
}

TEST(XmlSafeTextTable, ReplacesOnlyWhatXmlCannotHold) {
    struct Case {
        std::string in, out;
    };
    const std::string r = "\uFFFD";
    const Case cases[] = {
        {"plain", "plain"},
        {"中文 ♪ 𝄞", "中文 ♪ 𝄞"},
        {"tab\tlf\ncr\r", "tab\tlf\ncr\r"},
        {std::string("nul\0x", 5), "nul" + r + "x"},
        {"\x1F", r},
        {"\xEF\xBF\xBE", r},                 // U+FFFE
        {"\xC0\xAF", r + r},                 // overlong "/"
        {"\xED\xA0\x80", r + r + r},         // a surrogate
        {"\xE4\xB8", r + r},                 // cut short at the end
        {"\xF4\x90\x80\x80", r + r + r + r}, // above U+10FFFF
        {"ab\xFF"
         "cd",
         "ab" + r + "cd"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XmlSafeText(c.in), c.out);
}

TEST(MoPlist, RecordsAndIndexBounds) {
    const auto list = TMoPlist::FromBytes(
        "<R><PlayerList><LIST Title=\"t\" Artist=\"a\" Url=\"1\" Path=\"p\" Ltime=\"2,5\"/>"
        "</PlayerList></R>",
        "DefaultList");
    ASSERT_FALSE(list->LoadFailed());
    list->LoadList("PlayerList");
    list->LoadList("PlayerList"); // does not clear first
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Items(-1), nullptr);
    EXPECT_EQ(list->Items(2), nullptr);
    const TPList* r = list->Items(1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Title, "t");
    EXPECT_EQ(r->Artist, "a");
    EXPECT_EQ(r->Url, "1");
    EXPECT_EQ(r->Path, "p");
    EXPECT_EQ(r->Ltime, 2.5);
    list->ClearRecords();
    EXPECT_EQ(list->Count(), 0);

    // LocateNode reuses the path's elements but always adds the last one.
    list->AddEntry("PlayerList/LIST", "", "", "0", "q", 0);
    list->AddEntry("New/Deep/LIST", "", "", "0", "r", 0);
    EXPECT_EQ(list->LocateNode("Bad Name/LIST"), nullptr);
    list->LoadList("PlayerList");
    EXPECT_EQ(list->Count(), 2);
    const std::string xml = list->ToBytes();
    EXPECT_NE(xml.find("<New>\n    <Deep>\n      <LIST Path=\"r\""), std::string::npos) << xml;
}

TEST(MoPlist, EntitiesAreNeitherExpandedNorFetched) {
    const auto list = TMoPlist::FromBytes(
        "<?xml version=\"1.0\"?>\n<!DOCTYPE R [\n<!ENTITY e \"expanded\">\n"
        "<!ENTITY secret SYSTEM \"file:///etc/hostname\">\n]>\n"
        "<R><PlayerList><LIST Title=\"x&e;y\" Path=\"&amp;&#x4E2D;\"/><LIST>&secret;</LIST>"
        "</PlayerList></R>",
        "DefaultList");
    ASSERT_FALSE(list->LoadFailed());
    list->LoadList("PlayerList");
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Items(0)->Title, "xy");
    EXPECT_EQ(list->Items(0)->Path, "&\u4E2D"); // character references are plain text
    EXPECT_EQ(list->ToBytes().find("expanded</LIST>"), std::string::npos);

    // Exponential entities are refused by the parser: an unreadable file, not a huge one.
    std::string laughs = "<!DOCTYPE R [<!ENTITY a0 \"aaaaaaaaaa\">";
    for (int i = 1; i < 12; ++i)
        laughs += "<!ENTITY a" + std::to_string(i) + " \"" + [&] {
            std::string refs;
            for (int k = 0; k < 10; ++k)
                refs += "&a" + std::to_string(i - 1) + ";";
            return refs;
        }() + "\">";
    laughs += "]><R><PlayerList><LIST Title=\"&a11;\"/></PlayerList></R>";
    const auto bomb = TMoPlist::FromBytes(laughs, "DefaultList");
    bomb->LoadList("PlayerList");
    for (int i = 0; i < bomb->Count(); ++i)
        EXPECT_LT(bomb->Items(i)->Title.size(), 1000u);
}

TEST(MoPlist, NotXmlGivesAnEmptyDocumentWithTheRootName) {
    for (const std::string& bytes :
         {std::string(), std::string("<a>"), std::string("\xFF\xFE<"), std::string("<a/><b/>")}) {
        const auto list = TMoPlist::FromBytes(bytes, "DefaultList");
        EXPECT_TRUE(list->LoadFailed());
        list->LoadList("PlayerList");
        EXPECT_EQ(list->Count(), 0);
        list->ClearList("PlayerList");
        EXPECT_EQ(list->ToBytes(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DefaultList/>\n");
    }
}

} // namespace

namespace {

// The lazy document (streamed loads, list dropped while parsing, entries spliced in as text)
// must give byte for byte what the plain tree gives, whatever the file and the calls.
TEST(MoPlist, LazyAndEagerDocumentsWriteTheSameBytes) {
    const std::string tricky[] = {"plain",   "&<>\"'", "tab\tlf\ncr\r", "中文 ♪", "bell\x07",
                                  "bad\xFF", ""};
    const std::string files[] = {
        "<DefaultList><PlayerList><LIST Path=\"/a\" Title=\"A\"/><Other x=\"1\"><Deep/></Other>"
        "</PlayerList><Tail/></DefaultList>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE R [<!ENTITY e \"ee\">]>\n"
        "<!-- top --><R a=\"&e;\"><?pi data?><PlayerList>\n  <LIST Title=\"x&e;\"/>\n"
        "</PlayerList><![CDATA[<raw>]]></R>",
        "<R>text<PlayerList>mixed<LIST Path=\"p\"/>more</PlayerList></R>", // written inline
        "<R><A><B/></A></R>",                                              // no list yet
        "<R xmlns=\"urn:x\" xmlns:p=\"urn:p\"><p:PlayerList/><PlayerList p:a=\"1\"/></R>",
        // Unbound prefixes: "q:PlayerList" and "q:Title" are other names than the ones we read.
        "<R><q:PlayerList><LIST Path=\"no\"/></q:PlayerList><PlayerList><LIST q:Title=\"no\" "
        "Title=\"yes\"/></PlayerList></R>",
        "not xml",
    };
    using Calls = void (*)(TMoPlist&, const std::string&);
    const Calls sequences[] = {
        // The save: clear, then add.
        [](TMoPlist& l, const std::string& t) {
            l.ClearList("PlayerList");
            for (int i = 0; i < 3; ++i)
                l.AddEntry("PlayerList/LIST", t, t + "b", "1", "/p/" + t, i / 7.0);
        },
        // Adding to what is there, then elsewhere, then to the list again.
        [](TMoPlist& l, const std::string& t) {
            l.AddEntry("PlayerList/LIST", t, "", "0", t, 0.5);
            l.AddEntry("A/B/LIST", t, "", "0", t, 0.25);
            l.AddEntry("PlayerList/LIST", t, "", "0", t, 0);
            l.AddEntry("PlayerList/Track", t, "", "0", t, 1e-6);
        },
        // A path through an entry that is still pending, and a load after adding.
        [](TMoPlist& l, const std::string& t) {
            l.ClearList("PlayerList");
            l.AddEntry("PlayerList/LIST", t, "", "0", "first", 0);
            l.LocateNode("PlayerList/LIST/Sub");
            l.AddEntry("PlayerList/LIST", t, "", "0", "second", 0);
            l.LoadList("PlayerList");
            l.AddEntry("PlayerList/LIST", t, "", "0", "third", 0);
        },
    };
    for (const std::string& file : files) {
        // Streamed and tree loads read the same entries.
        const auto streamed = TMoPlist::FromBytes(file, "DefaultList");
        const auto parsed = TMoPlist::FromBytes(file, "DefaultList", true);
        streamed->LoadList("PlayerList");
        parsed->LoadList("PlayerList");
        EXPECT_EQ(streamed->LoadFailed(), parsed->LoadFailed()) << file;
        ASSERT_EQ(streamed->Count(), parsed->Count()) << file;
        for (int i = 0; i < streamed->Count(); ++i) {
            EXPECT_EQ(streamed->Items(i)->Title, parsed->Items(i)->Title) << file;
            EXPECT_EQ(streamed->Items(i)->Path, parsed->Items(i)->Path) << file;
        }
        for (size_t s = 0; s < std::size(sequences); ++s) {
            for (const std::string& text : tricky) {
                const auto lazy = TMoPlist::FromBytes(file, "DefaultList");
                const auto eager = TMoPlist::FromBytes(file, "DefaultList", true);
                sequences[s](*lazy, text);
                sequences[s](*eager, text);
                const std::string bytes = eager->ToBytes();
                ASSERT_EQ(lazy->ToBytes(), bytes) << "file " << file << "\nsequence " << s;
                ASSERT_EQ(lazy->Count(), eager->Count());
                // What was written reads back the same both ways.
                const auto again = TMoPlist::FromBytes(bytes, "DefaultList");
                again->LoadList("PlayerList");
                EXPECT_FALSE(again->LoadFailed()) << bytes;
                const auto tree = TMoPlist::FromBytes(bytes, "DefaultList", true);
                tree->LoadList("PlayerList");
                ASSERT_EQ(again->Count(), tree->Count()) << bytes;
                for (int i = 0; i < again->Count(); ++i) {
                    EXPECT_EQ(again->Items(i)->Title, tree->Items(i)->Title);
                    EXPECT_EQ(again->Items(i)->Path, tree->Items(i)->Path);
                    EXPECT_EQ(again->Items(i)->Ltime, tree->Items(i)->Ltime);
                }
            }
        }
    }
}

} // namespace
