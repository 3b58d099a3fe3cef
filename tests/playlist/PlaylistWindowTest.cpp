// The playlist window's commands against real files: synthesised audio, playlist files on
// disk, a fake main window that records what it is asked to do.

#include "AudioFixtures.h"
#include "ItemExpansion.h"
#include "PlaylistSkin.h"
#include "PlaylistViewSupport.h"
#include "TrackReader.h"
#include "TunPlayList.h"

#include <AudioLibrary.h>
#include <MoConfig.h>
#include <PlaylistStore.h>

#include <QApplication>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>

using namespace tunola;
using namespace tunola::test;
namespace fs = std::filesystem;
using tunaudio::test::FixtureDir;
using tunaudio::test::Sine;
using tunaudio::test::WriteWav;

namespace {

struct FakeHost : IPlaylistHost {
    std::vector<std::string> calls;
    void PlayEntry(int index) override { calls.push_back("play " + std::to_string(index)); }
    void StopPlayback() override { calls.push_back("stop"); }
    void SetListButtonChecked(bool checked) override {
        calls.push_back(checked ? "checked" : "unchecked");
    }
};

// Counts the times a file is written (replaced by a rename, or closed after writing).
class WriteCounter {
public:
    explicit WriteCounter(const fs::path& file) : name_(file.filename().string()) {
        fd_ = inotify_init1(IN_NONBLOCK);
        inotify_add_watch(fd_, file.parent_path().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
    }
    ~WriteCounter() { close(fd_); }
    int Count() {
        alignas(inotify_event) char buffer[8192];
        for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;)
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len && name_ == event->name)
                    ++count_;
                p += sizeof(inotify_event) + event->len;
            }
        return count_;
    }

private:
    std::string name_;
    int fd_ = -1;
    int count_ = 0;
};

fs::path Wav(const std::string& name, double seconds) {
    return WriteWav(name, 8000, 1, int64_t(seconds * 8000), Sine(440, 8000));
}

std::vector<std::string> Titles(const TZuPlaylistModel& model) {
    std::vector<std::string> titles;
    for (int i = 0; i < model.Items().Count(); ++i)
        titles.push_back(model.Items().GetItem(i)->Title());
    return titles;
}

// The titles a playlist file holds.
std::vector<std::string> TitlesInFile(const fs::path& file) {
    TZuPlaylistModel model;
    EXPECT_EQ(LoadDefaultList(model.Items(), file.string()), TPlaylistLoad::Loaded) << file;
    return Titles(model);
}

void WriteList(const fs::path& file, std::initializer_list<const char*> titles) {
    TZuPlaylistModel model;
    for (const char* title : titles) {
        TZuPlaylistItem entry;
        entry.SetTitle(title);
        entry.SetCaption(MakeCaption(title, ""));
        entry.SetFileName(std::string("/music/") + title + ".mp3");
        model.Items().Add(std::move(entry));
    }
    ASSERT_TRUE(SaveList(model.Items(), file.string()));
}

class PlaylistWindow : public ::testing::Test {
protected:
    PlaylistWindow() {
        static int run = 0;
        dir = FixtureDir() / ("window-" + std::to_string(++run));
        fs::create_directories(dir / "prog");
        state.ProgramDir = (dir / "prog").string() + "/";
        state.PlaylistFile = (dir / "Default.pls").string();
    }
    // Makes the window on the current PlaylistFile, with dialogs that answer from `answers`.
    TTunPlayList& Open() {
        window = std::make_unique<TTunPlayList>(state, &audio, host);
        window->Dialogs.OpenFiles = [this](QWidget*, const QString&, const QString& filter) {
            filters.push_back(filter);
            return answers;
        };
        window->Dialogs.OpenFile = [this](QWidget*, const QString& title, const QString&) {
            titles.push_back(title);
            return answers.value(0);
        };
        window->Dialogs.SaveFile = [this](QWidget*, const QString& title, const QString& filter,
                                          const QString&) {
            titles.push_back(title);
            filters.push_back(filter);
            return answers.value(0);
        };
        window->Dialogs.OpenFolder = [this](QWidget*, const QString& title) {
            titles.push_back(title);
            return answers.value(0);
        };
        window->Dialogs.AskText = [this](QWidget*, const QString& title, const QString&) {
            titles.push_back(title);
            return answers.value(0);
        };
        window->Dialogs.Message = [this](QWidget*, const QString&, const QString& text) {
            messages.push_back(text);
        };
        return *window;
    }
    // Runs the event loop until the added files' tags and lengths are in (the bound only
    // guards against a hang).
    void WaitForTags() {
        for (int i = 0; i < 3000 && window->Filling(); ++i)
            QTest::qWait(10);
        ASSERT_FALSE(window->Filling());
    }
    TZuPlaylist& List() { return *window->lv_list; }
    TZuPlaylistModel& Model() { return window->Playlist(); }
    std::string ConfiguredList() {
        TMoConfig config(state.ProgramDir + "tunola.xml", "TUNOLA.CONFIG");
        return config.ReadString("Window/PList", "PATH", "");
    }

    fs::path dir;
    TAppState state;
    tunaudio::TAudioLibrary audio{""};
    FakeHost host;
    QStringList answers;
    QStringList filters, titles, messages;
    std::unique_ptr<TTunPlayList> window;
};

TEST_F(PlaylistWindow, ThreeFilesAddedInOneGoAppendInOrderAndWriteTheListOnce) {
    WriteList(state.PlaylistFile, {"old"});
    const fs::path c = Wav("c.wav", 1), a = Wav("a.wav", 2), b = Wav("b.wav", 3);
    Open();
    WriteCounter writes(state.PlaylistFile);
    answers = {QString::fromStdString(c.string()), QString::fromStdString(a.string()),
               QString::fromStdString(b.string())};
    EXPECT_TRUE(window->AddFiles());

    // In the list at once, by their names, without lengths; written once all are read.
    EXPECT_EQ(Titles(Model()), (std::vector<std::string>{"old", "c", "a", "b"}));
    EXPECT_EQ(Model().Items().GetItem(1)->Caption(), "c - ");
    EXPECT_EQ(Model().Items().GetItem(3)->LongTime(), 0.0);
    EXPECT_EQ(window->ShuffleOrder().size(), 4u);
    EXPECT_EQ(writes.Count(), 0);
    // One about to play has its details at once (its start names it by its tags).
    window->CompleteEntry(Model().Items().GetItem(3)->Serial());
    EXPECT_NEAR(Model().Items().GetItem(3)->LongTime() * 86400, 3.0, 1e-6);
    WaitForTags();

    EXPECT_EQ(Titles(Model()), (std::vector<std::string>{"old", "c", "a", "b"}));
    const TZuPlaylistItem& first = *Model().Items().GetItem(1);
    EXPECT_EQ(first.Caption(), "c - "); // no tags: the file's name, no artist
    EXPECT_EQ(first.FileName(), c.string());
    EXPECT_FALSE(first.ISURL());
    EXPECT_NEAR(first.LongTime() * 86400, 1.0, 1e-6);
    EXPECT_NEAR(Model().Items().GetItem(3)->LongTime() * 86400, 3.0, 1e-6);
    EXPECT_EQ(window->ShuffleOrder().size(), 4u);
    EXPECT_EQ(writes.Count(), 1);
    EXPECT_EQ(TitlesInFile(state.PlaylistFile), (std::vector<std::string>{"old", "c", "a", "b"}));
    // Upper-case names are offered too: the dialog matches names by case.
    EXPECT_EQ(filters, QStringList{QStringLiteral(
                           "所有音乐 (*.mp3 *.MP3 *.mp2 *.MP2 *.mp1 *.MP1 *.ogg *.OGG *.wav* "
                           "*.WAV* *.aif *.AIF *.aiff *.AIFF)")});

    // Cancelled: nothing added, nothing written.
    answers.clear();
    EXPECT_FALSE(window->AddFiles());
    EXPECT_EQ(Model().Items().Count(), 4);
    EXPECT_EQ(writes.Count(), 1);
}

TEST_F(PlaylistWindow, AHundredFilesReadTogetherKeepTheirOrderAndLengths) {
    const fs::path folder = FixtureDir() / "hundred";
    fs::create_directories(folder);
    QStringList files;
    for (int i = 0; i < 100; ++i) {
        const std::string name = "hundred/" + std::to_string(1000 - i) + ".wav";
        files.push_back(QString::fromStdString(Wav(name, 0.1 + i * 0.01).string()));
    }
    Open();
    answers = files;
    EXPECT_TRUE(window->AddFiles());
    WaitForTags();
    ASSERT_EQ(Model().Items().Count(), 100);
    for (int i = 0; i < 100; ++i) {
        const TZuPlaylistItem& entry = *Model().Items().GetItem(i);
        EXPECT_EQ(entry.Title(), std::to_string(1000 - i));
        EXPECT_NEAR(entry.LongTime() * 86400, 0.1 + i * 0.01, 1e-3) << i;
    }
}

// Tags and lengths are read after the entries are in. Whatever is done to the list meanwhile,
// each entry gets its own file's details, entries gone get nothing, and the playing entry and
// the selection stay where they are.
TEST_F(PlaylistWindow, TagsReadLaterLandOnTheirOwnEntryWhateverHappenedMeanwhile) {
    fs::create_directories(FixtureDir() / "meanwhile");
    QStringList files;
    for (int i = 1; i <= 6; ++i)
        files.push_back(QString::fromStdString(
            Wav("meanwhile/f" + std::to_string(i) + ".wav", i * 0.1).string()));
    files.push_back(QString::fromStdString(
        tunaudio::test::EncodeMp3(Wav("meanwhile-t.wav", 1), "meanwhile/t.mp3",
                                  {"--tt", "Tagged", "--ta", "Band"})
            .string()));
    auto select = [](TZuPlaylistModel& model, std::initializer_list<int> rows) {
        model.ClearSelection();
        for (const int row : rows)
            model.Items().GetItem(row)->SetSelected(true);
        model.SetSelectedIndex(*rows.begin());
    };
    using TChange = std::function<void(TTunPlayList&)>;
    const struct {
        const char* name;
        TChange change;
        std::vector<std::string> titles;
    } kCases[] = {
        {"nothing", [](TTunPlayList&) {},
         {"old", "f1", "f2", "f3", "f4", "f5", "f6", "Tagged"}},
        {"two deleted",
         [&](TTunPlayList& w) {
             select(w.Playlist(), {2, 5});
             w.pml_delClick();
         },
         {"old", "f1", "f3", "f4", "f6", "Tagged"}},
        {"last moved to the top",
         [&](TTunPlayList& w) {
             select(w.Playlist(), {7});
             w.Playlist().MoveSelectedTo(0);
         },
         {"Tagged", "old", "f1", "f2", "f3", "f4", "f5", "f6"}},
        {"cleared", [](TTunPlayList& w) { w.pml_clsClick(); }, {}},
        {"one added again before the others",
         [&](TTunPlayList& w) { w.AddPaths({files[0]}, 1); },
         {"old", "f1", "f1", "f2", "f3", "f4", "f5", "f6", "Tagged"}},
    };
    for (const auto& c : kCases) {
        WriteList(state.PlaylistFile, {"old"});
        Open();
        List().SetCurrentItem(0);
        answers = files;
        ASSERT_TRUE(window->AddFiles());
        c.change(*window);
        const std::string selected = SelectedRows(Model());
        const TZuPlaylistItem* playing = Model().CurrentEntry();
        WaitForTags();

        EXPECT_EQ(Titles(Model()), c.titles) << c.name;
        for (int i = 0; i < Model().Items().Count(); ++i) {
            const TZuPlaylistItem& entry = *Model().Items().GetItem(i);
            const std::string stem = fs::path(entry.FileName()).stem().string();
            if (stem == "t") {
                EXPECT_EQ(entry.Caption(), "Tagged - Band") << c.name;
                EXPECT_GT(entry.LongTime() * 86400, 0.9) << c.name;
            } else if (stem != "old") {
                EXPECT_NEAR(entry.LongTime() * 86400, (stem[1] - '0') * 0.1, 1e-3)
                    << c.name << " " << stem;
            }
        }
        EXPECT_EQ(Model().CurrentEntry(), playing) << c.name;
        EXPECT_EQ(SelectedRows(Model()), selected) << c.name;
        EXPECT_EQ(TitlesInFile(state.PlaylistFile), c.titles) << c.name;
    }
}

// Closing while tags are being read: the readers stop at once, nothing arrives afterwards, and
// every entry is saved as it stands (read or not), which loads back as it was.
TEST_F(PlaylistWindow, ClosingMidFillStopsTheReadersAndSavesEveryEntryAsItStands) {
    fs::create_directories(FixtureDir() / "closing");
    QStringList files;
    for (int i = 0; i < 300; ++i)
        files.push_back(QString::fromStdString(
            Wav("closing/" + std::to_string(1000 + i) + ".wav", 0.05).string()));
    Open();
    answers = files;
    ASSERT_TRUE(window->AddFiles());
    ASSERT_TRUE(window->Filling());
    EXPECT_TRUE(window->StopFilling(2000));
    EXPECT_FALSE(window->Filling());
    ASSERT_TRUE(window->SaveList());
    auto lengths = [this] {
        std::vector<double> out;
        for (int i = 0; i < Model().Items().Count(); ++i)
            out.push_back(Model().Items().GetItem(i)->LongTime());
        return out;
    };
    const std::vector<double> stored = lengths();
    QTest::qWait(100);
    EXPECT_EQ(lengths(), stored);
    window.reset();

    TZuPlaylistModel loaded;
    ASSERT_EQ(LoadDefaultList(loaded.Items(), state.PlaylistFile), TPlaylistLoad::Loaded);
    ASSERT_EQ(loaded.Items().Count(), 300);
    for (int i = 0; i < 300; ++i) {
        const TZuPlaylistItem& entry = *loaded.Items().GetItem(i);
        EXPECT_EQ(entry.FileName(), files[i].toStdString());
        EXPECT_EQ(entry.Caption(), std::to_string(1000 + i) + " - ");
        EXPECT_NEAR(entry.LongTime(), stored[size_t(i)], 1e-9) << i;
        EXPECT_TRUE(entry.LongTime() == 0 || std::abs(entry.LongTime() * 86400 - 0.05) < 1e-3);
    }
}

TEST_F(PlaylistWindow, TagsGiveTitleAndArtistAndUnreadableFilesStillGoIn) {
    const fs::path tagged = tunaudio::test::EncodeMp3(Wav("tagged.wav", 1), "tagged.mp3",
                                                      {"--tt", "Moonlight", "--ta", "The Band"});
    const fs::path broken = FixtureDir() / "broken.mp3";
    tunaudio::test::WriteFile(broken, "not audio at all");

    const TZuPlaylistItem entry = ReadTrackEntry(&audio, tagged.string());
    EXPECT_EQ(entry.Title(), "Moonlight");
    EXPECT_EQ(entry.Artist(), "The Band");
    EXPECT_EQ(entry.Caption(), "Moonlight - The Band");
    // The encoder pads the track; it is about a second long.
    EXPECT_GT(entry.LongTime() * 86400, 0.9);
    EXPECT_LT(entry.LongTime() * 86400, 2.0);

    const TZuPlaylistItem unreadable = ReadTrackEntry(&audio, broken.string());
    EXPECT_EQ(unreadable.Caption(), "broken - ");
    EXPECT_EQ(unreadable.LongTime(), 0.0);

    EXPECT_EQ(ReadTrackEntry(nullptr, "/music/no library.ogg").Caption(), "no library - ");
    EXPECT_EQ(FileTitle("/music/a.b.mp3"), "a.b");
    EXPECT_EQ(FileTitle("/music/noext"), "noext");
    EXPECT_EQ(FileTitle("/music.d/noext"), "noext");
}

TEST_F(PlaylistWindow, NewListOnAnExistingFileEmptiesItAfterSavingTheOldOne) {
    const fs::path other = dir / "other.pls";
    WriteList(other, {"x", "y"});
    WriteList(state.PlaylistFile, {"1", "2", "3"});
    Open();
    Model().Items().GetItem(0)->SetTitle("1 renamed"); // a change only the view has yet
    answers = {QString::fromStdString(other.string())};
    window->pml_newlistClick();

    EXPECT_EQ(titles, QStringList{QStringLiteral("新建播放列表")});
    EXPECT_EQ(TitlesInFile(dir / "Default.pls"), (std::vector<std::string>{"1 renamed", "2", "3"}));
    EXPECT_EQ(TitlesInFile(other), std::vector<std::string>{});
    EXPECT_EQ(Model().Items().Count(), 0);
    EXPECT_EQ(state.PlaylistFile, other.string());
    EXPECT_EQ(ConfiguredList(), other.string());
    EXPECT_EQ(host.calls, std::vector<std::string>{"stop"});
    EXPECT_EQ(state.PlayIndex, 0);
}

TEST_F(PlaylistWindow, OpeningAListWhileATrackPlaysKeepsItPlayingWithNoCurrentRow) {
    const fs::path other = dir / "other.pls";
    WriteList(other, {"x", "y"});
    WriteList(state.PlaylistFile, {"1", "2", "3"});
    Open();
    List().SetCurrentItem(1);
    state.PlayState = psPlaying;
    WriteCounter writes(other);
    answers = {QString::fromStdString(other.string())};
    window->pml_openlistClick();

    EXPECT_EQ(titles, QStringList{QStringLiteral("打开播放列表")});
    EXPECT_EQ(Titles(Model()), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(List().CurrentItem(), -1);
    EXPECT_EQ(List().SelectedIndex(), -1);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(state.PlayState, psPlaying);
    EXPECT_EQ(state.PlaylistFile, other.string());
    EXPECT_EQ(window->ShuffleOrder().size(), 2u);
    EXPECT_EQ(ConfiguredList(), other.string());
    EXPECT_EQ(writes.Count(), 0); // opening does not write the list

    // A file that is no playlist: the view and the current file stay.
    const fs::path junk = dir / "junk.pls";
    tunaudio::test::WriteFile(junk, "<not a list");
    answers = {QString::fromStdString(junk.string())};
    window->pml_openlistClick();
    EXPECT_EQ(Titles(Model()), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(state.PlaylistFile, other.string());
    EXPECT_EQ(tunaudio::test::ReadFile(junk), "<not a list");
}

TEST_F(PlaylistWindow, OtherPlayersListsAreImportedIntoANewListOfOurOwn) {
    state.UserDir = (dir / "user").string() + "/";
    fs::create_directories(dir / "user");
    fs::create_directories(dir / "songs");
    const fs::path song = Wav("window-import-song.wav", 0.5);
    fs::copy_file(song, dir / "songs" / "one.wav");
    // An INI list named .pls, as other players write them, beside a list of ours of that name.
    const fs::path foreign = dir / "user" / "radio.pls";
    const std::string ini = "[playlist]\r\nFile1=../songs/one.wav\r\nTitle1=First\r\n"
                            "File2=http://radio.example/live\r\nTitle2=Live\r\n"
                            "NumberOfEntries=2\r\nVersion=2\r\n";
    tunaudio::test::WriteFile(foreign, ini);
    WriteList(state.PlaylistFile, {"1", "2"});
    Open();
    answers = {QString::fromStdString(foreign.string())};
    window->pml_openlistClick();
    WaitForTags();

    EXPECT_TRUE(messages.isEmpty()) << messages.join(' ').toStdString();
    ASSERT_EQ(Model().Items().Count(), 2);
    EXPECT_EQ(Model().Items().GetItem(0)->FileName(), (dir / "songs" / "one.wav").string());
    EXPECT_NEAR(Model().Items().GetItem(0)->LongTime() * 86400, 0.5, 0.01);
    EXPECT_TRUE(Model().Items().GetItem(1)->ISURL());
    EXPECT_EQ(Model().Items().GetItem(1)->Title(), "Live");
    EXPECT_EQ(List().CurrentItem(), -1);
    // The foreign file is never written; ours is new and does not replace it.
    EXPECT_EQ(tunaudio::test::ReadFile(foreign), ini);
    EXPECT_EQ(state.PlaylistFile, (dir / "user" / "radio (2).pls").string());
    EXPECT_EQ(ConfiguredList(), state.PlaylistFile);
    EXPECT_EQ(TitlesInFile(state.PlaylistFile).size(), 2u);
    EXPECT_EQ(window->ShuffleOrder().size(), 2u);

    // A file in no format we know: a message, and nothing changes.
    const fs::path junk = dir / "notes.txt";
    tunaudio::test::WriteFile(junk, "just some notes\n");
    const std::string listBefore = state.PlaylistFile;
    answers = {QString::fromStdString(junk.string())};
    window->pml_openlistClick();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(Model().Items().Count(), 2);
    EXPECT_EQ(state.PlaylistFile, listBefore);
    EXPECT_EQ(tunaudio::test::ReadFile(junk), "just some notes\n");
}

TEST_F(PlaylistWindow, SaveAsExportsWhatOpeningReadsBack) {
    state.UserDir = (dir / "user").string() + "/";
    fs::create_directories(dir / "user");
    WriteList(state.PlaylistFile, {"a b", "曲"});
    Open();
    for (const char* name : {"out.m3u8", "out.pls", "out.xspf"}) {
        const fs::path exported = dir / name;
        answers = {QString::fromStdString(exported.string())};
        window->pml_saveasClick();
        ASSERT_TRUE(fs::exists(exported)) << name;
        EXPECT_TRUE(filters.last().contains(QStringLiteral("*.XSPF")));
        const TListFile read = ReadListFile(QString::fromStdString(exported.string()));
        EXPECT_NE(read.Format, TListFormat::Native) << name;
        ASSERT_TRUE(read.Entries) << name;
        ASSERT_EQ(read.Entries->size(), 2u) << name;
        EXPECT_EQ((*read.Entries)[0].Location, "/music/a b.mp3") << name;
        EXPECT_EQ((*read.Entries)[1].Title, "曲") << name;
    }
    EXPECT_EQ(state.PlaylistFile, (dir / "Default.pls").string()); // exporting moves nothing
}

TEST_F(PlaylistWindow, FoldersGoInWithTheirSubfoldersAndAddressesAsStreams) {
    const fs::path top = dir / "tree";
    fs::create_directories(top / "b-sub");
    fs::copy_file(Wav("window-tree.wav", 0.2), top / "c.wav");
    fs::copy_file(top / "c.wav", top / "A.AIFF.wav");
    fs::copy_file(top / "c.wav", top / "b-sub" / "d.WAV");
    tunaudio::test::WriteFile(top / "cover.jpg", "not music");
    Open();
    answers = {QString::fromStdString(top.string())};
    window->pml_addfolderClick();
    std::vector<std::string> names;
    for (int i = 0; i < Model().Items().Count(); ++i)
        names.push_back(fs::path(Model().Items().GetItem(i)->FileName()).filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"A.AIFF.wav", "d.WAV", "c.wav"}));

    answers = {QStringLiteral("https://radio.example/stream.mp3")};
    window->pml_addurlClick();
    WaitForTags();
    ASSERT_EQ(Model().Items().Count(), 4);
    EXPECT_TRUE(Model().Items().GetItem(3)->ISURL());
    EXPECT_EQ(TitlesInFile(state.PlaylistFile).size(), 4u);
    answers = {QStringLiteral("not an address")};
    window->pml_addurlClick();
    EXPECT_EQ(Model().Items().Count(), 4);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(PlaylistWindow, DeleteStopsOnlyWhenTheAnchorPlaysAndClearAlwaysStops) {
    WriteList(state.PlaylistFile, {"1", "2", "3", "4", "5"});
    Open();
    ShowAndWait(*window);
    auto click = [&](int row, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(&List(), Qt::LeftButton, keys, QPoint(40, row * 14 + 7));
    };

    // The playing entry is selected, but the anchor is another row: it plays on, gone.
    List().SetCurrentItem(1);
    state.PlayIndex = 1;
    click(1);
    click(3, Qt::ControlModifier);
    window->pml_delClick();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(Titles(Model()), (std::vector<std::string>{"1", "3", "5"}));
    EXPECT_EQ(List().CurrentItem(), 0);
    EXPECT_TRUE(List().CurrentLost());
    EXPECT_EQ(state.PlayIndex, 0);
    EXPECT_EQ(TitlesInFile(state.PlaylistFile), (std::vector<std::string>{"1", "3", "5"}));

    // Nothing selected and nothing current: nothing stops.
    List().SetCurrentItem(-1);
    click(8);
    window->pml_delClick();
    EXPECT_TRUE(host.calls.empty());

    // The anchor is the playing entry: playback stops.
    List().SetCurrentItem(2);
    click(2);
    window->pml_delClick();
    EXPECT_EQ(host.calls, std::vector<std::string>{"stop"});
    EXPECT_EQ(Titles(Model()), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(List().CurrentItem(), 1);
    EXPECT_EQ(state.PlayIndex, 1);

    // Deleting everything leaves the play index on the first entry, not before it.
    List().SetCurrentItem(-1);
    state.PlayIndex = 1;
    Model().SelectAll();
    Model().SetSelectedIndex(0);
    window->pml_delClick();
    EXPECT_EQ(Model().Items().Count(), 0);
    EXPECT_EQ(state.PlayIndex, 0);

    // Clear always stops.
    host.calls.clear();
    WriteList(state.PlaylistFile, {"a", "b"});
    LoadDefaultList(Model().Items(), state.PlaylistFile);
    state.PlayIndex = 1;
    window->pml_clsClick();
    EXPECT_EQ(host.calls, std::vector<std::string>{"stop"});
    EXPECT_EQ(Model().Items().Count(), 0);
    EXPECT_EQ(state.PlayIndex, 0);
    EXPECT_EQ(TitlesInFile(state.PlaylistFile), std::vector<std::string>{});
    EXPECT_TRUE(window->ShuffleOrder().empty());
}

TEST_F(PlaylistWindow, DoubleClickOrEnterOnARowPlaysIt) {
    WriteList(state.PlaylistFile, {"1", "2", "3"});
    Open();
    ShowAndWait(*window);
    QTest::mouseDClick(&List(), Qt::LeftButton, {}, QPoint(40, 2 * 14 + 7));
    EXPECT_EQ(host.calls, std::vector<std::string>{"play 2"});
    // Below the last row nothing plays (and the current row stays).
    QTest::mouseDClick(&List(), Qt::LeftButton, {}, QPoint(40, 5 * 14 + 7));
    EXPECT_EQ(host.calls, std::vector<std::string>{"play 2"});
    EXPECT_EQ(List().CurrentItem(), 2);

    QTest::mouseClick(&List(), Qt::LeftButton, {}, QPoint(40, 7));
    QTest::keyClick(&List(), Qt::Key_Return);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"play 2", "play 0"}));
}

TEST_F(PlaylistWindow, PlayModeItemsAndModeAlwaysAgree) {
    state.PlayMode = pmRepeat;
    Open();
    auto checked = [&] {
        return std::string(window->pml_repeat->isChecked() ? "R" : "-") +
               (window->pml_rnd->isChecked() ? "X" : "-") +
               (window->pml_onerepeat->isChecked() ? "1" : "-");
    };
    EXPECT_EQ(checked(), "R--");
    struct Step {
        QAction* item;
        TPlayMode mode;
        const char* checks;
    };
    const Step steps[] = {
        {window->pml_rnd, pmRandom, "-X-"},       {window->pml_onerepeat, pmOneRepeat, "--1"},
        {window->pml_onerepeat, pmSingle, "---"}, // the mode in force, clicked: off
        {window->pml_repeat, pmRepeat, "R--"},    {window->pml_repeat, pmSingle, "---"},
    };
    for (const Step& step : steps) {
        step.item->trigger();
        EXPECT_EQ(state.PlayMode, step.mode) << step.item->text().toStdString();
        EXPECT_EQ(checked(), step.checks) << step.item->text().toStdString();
    }
}

TEST_F(PlaylistWindow, DroppedFoldersAndFilesGoInWhereTheyWereDropped) {
    WriteList(state.PlaylistFile, {"1", "2", "3"});
    const fs::path album = FixtureDir() / "album";
    fs::create_directories(album);
    Wav("album/02 second.wav", 1);
    Wav("album/01 first.WAV", 1);
    tunaudio::test::WriteFile(album / "cover.txt", "not music");
    const fs::path single = Wav("single.wav", 2);
    Open();
    ShowAndWait(*window);
    List().SetCurrentItem(2);
    state.PlayIndex = 2;
    WriteCounter writes(state.PlaylistFile);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(album.string())),
                  QUrl::fromLocalFile(QString::fromStdString(single.string()))});
    const QPoint onRow1(40, 14 + 7);
    QDragEnterEvent enter(onRow1, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&List(), &enter);
    QDropEvent drop(onRow1, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&List(), &drop);

    EXPECT_EQ(Titles(Model()),
              (std::vector<std::string>{"1", "01 first", "02 second", "single", "2", "3"}));
    EXPECT_EQ(SelectedRows(Model()), "1,2,3");
    // The playing entry "3" is still current, and "next" goes on after it.
    EXPECT_EQ(Model().Items().GetItem(List().CurrentItem())->Title(), "3");
    EXPECT_EQ(state.PlayIndex, 5);
    WaitForTags();
    EXPECT_EQ(writes.Count(), 1);
    EXPECT_EQ(window->ShuffleOrder().size(), 6u);

    // On the window outside the list: at the end.
    window->AddPaths({QString::fromStdString(single.string())}, -1);
    EXPECT_EQ(Titles(Model()).back(), "single");
    EXPECT_EQ(Model().Items().Count(), 7);
}

TEST_F(PlaylistWindow, MovingRowsSavesTheListAndPlayIndexFollows) {
    WriteList(state.PlaylistFile, {"1", "2", "3", "4"});
    Open();
    ShowAndWait(*window);
    List().SetCurrentItem(0);
    state.PlayIndex = 0;
    QTest::mouseClick(&List(), Qt::LeftButton, {}, QPoint(40, 7));
    QTest::mousePress(&List(), Qt::LeftButton, {}, QPoint(40, 7));
    QTest::mouseMove(&List(), QPoint(40, 30));
    QTest::mouseMove(&List(), QPoint(40, 3 * 14 + 7));
    QTest::mouseRelease(&List(), Qt::LeftButton, {}, QPoint(40, 3 * 14 + 7));
    EXPECT_EQ(Titles(Model()), (std::vector<std::string>{"2", "3", "1", "4"}));
    EXPECT_EQ(state.PlayIndex, 2);
    EXPECT_EQ(TitlesInFile(state.PlaylistFile), (std::vector<std::string>{"2", "3", "1", "4"}));
}

TEST_F(PlaylistWindow, CloseButtonHidesTheWindowAndUnchecksTheListButton) {
    Open();
    ShowAndWait(*window);
    QTest::mouseClick(window->btn_close, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(host.calls, std::vector<std::string>{"unchecked"});
}

TEST_F(PlaylistWindow, DefaultSkinDressesTheWindowAndTheList) {
    Open();
    TZuSkin skin;
    RegisterPlaylistSkin(skin, *window);
    TZuSkinLoadResult result;
    ASSERT_TRUE(skin.LoadSkin(TUNOLA_TEST_SOURCE_DIR "/data/skin/Default/skin.xml", &result));
    EXPECT_TRUE(result.ImageFailures.empty());
    EXPECT_TRUE(result.Failures.empty());
    EXPECT_EQ(window->size(), QSize(464, 166));
    TZuPlaylist& list = List();
    EXPECT_EQ(list.geometry(), QRect(10, 38, 444, 118));
    EXPECT_EQ(list.ScrollBarWidth(), 8);
    EXPECT_EQ(list.BackColor(), Color32(0x171310));
    EXPECT_EQ(list.TextCurrentColor(), Color32(0xAED42B));
    EXPECT_EQ(list.TextFailedColor(), Color32(0x4F5AE0)); // "textfcolor"
    EXPECT_EQ(list.font().pixelSize(), 12);
    EXPECT_EQ(list.ScrollBar().SliderW(), 8);
    EXPECT_EQ(list.ScrollBar().SliderH(), 28);
    EXPECT_EQ(list.ScrollBar().NormalX(), 8);
    EXPECT_EQ(list.ScrollBar().TrackRect(), (TZuPiece{0, 0, 8, 32}));
    EXPECT_EQ(list.ScrollBar().Image().Width(), 32);
    EXPECT_EQ(list.PopupMenu(), window->pm_list);
    EXPECT_EQ(window->btn_close->geometry(), QRect(434, 4, 26, 22));

    // The list stretches with the window.
    ShowAndWait(*window);
    window->resize(564, 266);
    QApplication::processEvents();
    EXPECT_EQ(list.geometry(), QRect(10, 38, 544, 218));
}

} // namespace
