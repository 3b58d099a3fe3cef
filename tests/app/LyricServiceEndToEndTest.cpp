// The lyric service end to end: a real tunola-service on a free 127.0.0.1 port and the real
// player in a fresh home with an empty lyric folder and no lyric beside its track. The player
// finds the service, downloads the best-named lyric through its lyric-download library, keeps
// it in the lyric folder and shows it in its lyrics window; the lyric may come from another
// player that uploaded the one beside its own track.

#include "PlayerMessages.h"
#include "PlayerProcessFixture.h"
#include "ServiceAddress.h"
#include "ServiceTestKit.h"
#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <map>

namespace tunola::test {
namespace {

using service::test::Enc;
using service::test::FreshFolder;
using service::test::MakeTrack;
using service::test::PostForm;
using service::test::TServiceProcess;

std::map<std::string, std::string> Status() {
    std::map<std::string, std::string> fields;
    const auto answer = SendPlayerFrame(fvStatus, {});
    if (!answer)
        return fields;
    for (const QByteArray& line : answer->Payload.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            fields[line.left(eq).toStdString()] = line.mid(eq + 1).toStdString();
    }
    return fields;
}

// Polls the player's status until `key` has `value` (up to `seconds`).
bool WaitForStatus(const std::string& key, const std::string& value, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (Status()[key] == value)
            return true;
        QThread::msleep(100);
    }
    return false;
}

std::string ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

class LyricServiceEndToEnd : public TPlayerHomeTest {
protected:
    void SetUp() override {
        TPlayerHomeTest::SetUp();
        work_ = FreshFolder("end-to-end");
        std::filesystem::create_directories(work_ / "music");
        ASSERT_TRUE(service_.Start(work_, {"--music", (work_ / "music").string(), "--db",
                                           (work_ / "service.db").string()}))
            << service_.Log();
    }
    void TearDown() override {
        TPlayerHomeTest::TearDown();
        service_.Stop();
    }

    // A player home that uses this test's service; its lyric folder is the default, empty one.
    void WriteSettings(const QString& settingsFolder) {
        QDir().mkpath(settingsFolder + QStringLiteral("/lrc"));
        QFile config(settingsFolder + QStringLiteral("/tunola.xml"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(
            ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TUNOLA.CONFIG><Service HOST=\"" +
             service_.Host() + "\"/></TUNOLA.CONFIG>\n")
                .c_str());
    }

    bool Upload(std::string_view title, std::string_view artist, std::string_view lyric) {
        auto r =
            PostForm(service_.Port(), "/lrcpost.asp",
                     "ltitle=" + Enc(title) + "&lsinger=" + Enc(artist) + "&llrc=" + Enc(lyric));
        return r && r->status == 200;
    }

    // Starts a player on this test's environment, waits until it has found the service and
    // hands it `track` to play.
    void PlayOnline(const std::filesystem::path& track) {
        env_.remove(QString::fromLatin1(kServiceHostVariable)); // the settings name the service
        StartPlayer();
        ASSERT_TRUE(WaitUntilAnswering());
        ASSERT_TRUE(WaitForStatus("service", "online", 15)) << service_.Log();
        ASSERT_TRUE(SendPlayerFrame(fvOpen, QByteArray::fromStdString(track.string())));
    }

    static bool WaitForFile(const QString& path, int seconds) {
        for (int i = 0; i < seconds * 10 && !QFile::exists(path); ++i)
            QThread::msleep(100);
        return QFile::exists(path);
    }

    std::filesystem::path work_;
    TServiceProcess service_;
};

TEST_F(LyricServiceEndToEnd, AFreshPlayerDownloadsTheBestNamedLyricAndShowsIt) {
    // The track's artist matches neither upload exactly, so only the title search finds them
    // and the ranking picks the closer name, though the other came first.
    ASSERT_TRUE(Upload("七里香", "某乐队", "[00:00.00]另一个版本的歌词\r\n"));
    ASSERT_TRUE(Upload("七里香", "周杰伦",
                       "[ti:七里香]\r\n[00:00.00]窗外的麻雀 在电线杆上多嘴\r\n"
                       "[00:30.00]你说这一句 很有夏天的感觉\r\n"));
    const std::filesystem::path music = work_ / "player-music";
    ASSERT_TRUE(MakeTrack(music, {"qlx.wav", "七里香", "Jay Chou 周杰伦"}));
    WriteSettings(SettingsFolder());

    PlayOnline(music / "qlx.wav");

    const QString saved = SettingsFolder() + QStringLiteral("/lrc/七里香 Jay Chou 周杰伦.lrc");
    ASSERT_TRUE(WaitForFile(saved, 15)) << service_.Log();
    const std::string lyric = ReadFile(saved);
    EXPECT_NE(lyric.find("窗外的麻雀"), std::string::npos) << lyric;
    EXPECT_EQ(lyric.find("另一个版本"), std::string::npos) << lyric;
    EXPECT_EQ(QDir(SettingsFolder() + QStringLiteral("/lrc")).entryList(QDir::Files).size(), 1);
    // The lyrics window shows the downloaded lyric's line.
    EXPECT_TRUE(WaitForStatus("lyric", "窗外的麻雀 在电线杆上多嘴", 10)) << Status()["lyric"];
    EXPECT_NE(service_.Log().find("GET /api/lyrics/get?id="), std::string::npos);
}

TEST_F(LyricServiceEndToEnd, OnePlayerUploadsTheLyricBesideItsTrackAndAnotherDownloadsIt) {
    ASSERT_TRUE(Upload("稻香", "某乐队", "[00:00.00]另一个版本的歌词\r\n"));
    // The first player has the lyric beside its track: playing it uploads it.
    const std::filesystem::path first = work_ / "first-music";
    ASSERT_TRUE(MakeTrack(first, {"dx.wav", "稻香", "周杰伦"}));
    const std::string lyric =
        "[00:00.00]对这个世界如果你有太多的抱怨\r\n[00:30.00]跌倒了就不敢继续往前走\r\n";
    {
        QFile beside(QString::fromStdString((first / "dx.lrc").string()));
        ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
        beside.write(QByteArray::fromStdString(Utf8ToGb18030(lyric)));
    }
    WriteSettings(SettingsFolder());
    PlayOnline(first / "dx.wav");
    const std::string search =
        "/api/lyrics/search?title=" + Enc("稻香") + "&artist=" + Enc("周杰伦") + "&mode=0";
    bool uploaded = false;
    for (int i = 0; i < 150 && !uploaded; ++i) {
        auto r = service::test::Get(service_.Port(), search);
        uploaded = r && r->status == 200 && !r->body.empty();
        if (!uploaded)
            QThread::msleep(100);
    }
    ASSERT_TRUE(uploaded) << service_.Log();
    TPlayerHomeTest::TearDown(); // the first player goes

    // The second player: a fresh home, an empty lyric folder, a track without a lyric beside
    // it whose artist only the ranking matches.
    QTemporaryDir second;
    ASSERT_TRUE(second.isValid());
    runtime_ = MakePrivateRuntimeDir(second.path());
    env_ = PlayerEnvironment(second.path(), runtime_);
    qputenv("XDG_RUNTIME_DIR", runtime_.toLocal8Bit());
    const QString settings = second.path() + QStringLiteral("/Documents/Tunola");
    WriteSettings(settings);
    const std::filesystem::path music = work_ / "second-music";
    ASSERT_TRUE(MakeTrack(music, {"song.wav", "稻香", "Jay Chou 周杰伦"}));
    PlayOnline(music / "song.wav");

    const QString saved = settings + QStringLiteral("/lrc/稻香 Jay Chou 周杰伦.lrc");
    ASSERT_TRUE(WaitForFile(saved, 15)) << service_.Log();
    const std::string got = ReadFile(saved);
    EXPECT_NE(got.find("对这个世界如果你有太多的抱怨"), std::string::npos) << got;
    EXPECT_EQ(got.find("另一个版本"), std::string::npos) << got;
    EXPECT_TRUE(WaitForStatus("lyric", "对这个世界如果你有太多的抱怨", 10)) << Status()["lyric"];
}

} // namespace
} // namespace tunola::test
