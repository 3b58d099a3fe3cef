// The playback controller against the real audio library on its silent output, with tracks
// written by the test.

#include "PlaybackController.h"
#include "PlayerMessages.h"
#include "TrackTime.h"

#include "../audio/AudioFixtures.h"
#include "../audio/HttpTestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <random>

using namespace tunola;
using namespace tunaudio;
using tunaudio::test::Sine;
using tunaudio::test::WriteWav;

namespace {

class FakeDisplay : public IPlayerDisplay {
public:
    bool playChecked = false;
    bool soundChecked = false;
    int musicPosition = 0;
    int musicMax = 10;
    int volumePosition = 50;
    bool volumeEnabled = true;
    QString title, time, stack;
    QStringList stackHistory;
    int started = 0;

    void vb_playSetChecked(bool checked) override { playChecked = checked; }
    bool vb_soundChecked() const override { return soundChecked; }
    void vb_soundSetChecked(bool checked) override { soundChecked = checked; }
    int pgb_musicPosition() const override { return musicPosition; }
    void pgb_musicSetPosition(int seconds) override { musicPosition = seconds; }
    void pgb_musicSetMax(int seconds) override { musicMax = seconds; }
    int pgb_volumePosition() const override { return volumePosition; }
    void pgb_volumeSetEnabled(bool enabled) override { volumeEnabled = enabled; }
    void vl_titleSetText(const QString& text) override { title = text; }
    void vl_timeSetText(const QString& text) override { time = text; }
    QString vl_stackText() const override { return stack; }
    void vl_stackSetText(const QString& text) override {
        stack = text;
        if (stackHistory.isEmpty() || stackHistory.back() != text)
            stackHistory << text;
    }
    void SetTrayHint(const QString&) override {}
    void ShowMainWindow() override {}
    void TrackStarted() override { ++started; }
};

// Processes events until `done` holds or the time is up.
template <typename F> bool WaitFor(F done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

const std::string& ShortTrack() {
    static const std::string path = WriteWav("short.wav", 8000, 1, 1600, Sine(440, 8000)).string();
    return path; // 0.2 s
}

class Controller : public ::testing::Test {
protected:
    Controller() : audio_("") {}

    void SetUp() override {
        ASSERT_TRUE(audio_.Init(0, 44100, 0, nullptr)) << "the silent output must always open";
        controller_ = std::make_unique<TPlaybackController>(state_, audio_, list_, shuffle_,
                                                            display_, tmr_pub_);
        tmr_pub_.setInterval(33);
        controller_->OnNotified = [this](int32_t code, int64_t lParam) {
            notified_.push_back(code == ncOpening || code == ncPlayState
                                    ? std::to_string(code) + "/" + std::to_string(lParam)
                                    : std::to_string(code));
        };
    }
    void TearDown() override {
        controller_->WaitForOpen();
        QCoreApplication::processEvents();
        controller_.reset();
        if (const uint32_t s = state_.CurrentStream.exchange(0))
            audio_.StreamFree(s);
        audio_.Free();
    }

    void AddEntries(const std::vector<std::string>& files, bool isUrl = false) {
        for (const std::string& f : files) {
            TZuPlaylistItem entry;
            entry.SetFileName(f);
            entry.SetCaption(f + " - ");
            entry.SetISURL(isUrl);
            list_.Items().Add(std::move(entry));
        }
        std::mt19937 random(7);
        RebuildShuffle(shuffle_, list_.Items().Count(), random);
    }

    // Waits until the open worker has finished and its notifications are handled.
    void Settle() {
        controller_->WaitForOpen();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    TAppState state_;
    TAudioLibrary audio_;
    TZuPlaylistModel list_;
    TShuffleOrder shuffle_;
    FakeDisplay display_;
    QTimer tmr_pub_;
    std::unique_ptr<TPlaybackController> controller_;
    std::vector<std::string> notified_;
};

TEST_F(Controller, NextAndPreviousByPlayMode) {
    const struct {
        TPlayMode mode;
        int start;
        bool next;
        int expectedIndex;
    } cases[] = {
        {pmSingle, 1, true, 2},    {pmRepeat, 1, true, 2},     {pmRandom, 1, true, 2},
        {pmOneRepeat, 1, true, 1}, {pmSingle, 2, true, 0},     {pmOneRepeat, 2, true, 2},
        {pmSingle, 1, false, 0},   {pmOneRepeat, 1, false, 0}, {pmRepeat, 0, false, 2},
        {pmRandom, 0, false, 2},
    };
    AddEntries({ShortTrack(), ShortTrack(), ShortTrack()});
    for (const auto& c : cases) {
        state_.PlayMode = c.mode;
        state_.PlayIndex = c.start;
        state_.PlayState = psPlaying;
        if (c.next)
            controller_->vb_nextClick();
        else
            controller_->vb_previousClick();
        Settle();
        EXPECT_EQ(state_.PlayIndex, c.expectedIndex) << int(c.mode) << " " << c.start << c.next;
        const int row = c.mode == pmRandom ? std::stoi(shuffle_[c.expectedIndex]) : c.expectedIndex;
        EXPECT_EQ(list_.CurrentItem(), row);
        EXPECT_EQ(state_.PlayState, psPlaying);
        EXPECT_TRUE(display_.playChecked);
    }
}

TEST_F(Controller, EndOfTrackByPlayMode) {
    const struct {
        TPlayMode mode;
        TPlayState after;
        int index;
    } cases[] = {
        {pmSingle, psStopped, 0},
        {pmRepeat, psPlaying, 1},
        {pmOneRepeat, psPlaying, 0},
        {pmRandom, psPlaying, 1},
    };
    for (const auto& c : cases) {
        list_.Items().ClearAll();
        AddEntries({ShortTrack(), ShortTrack()});
        state_.PlayMode = c.mode;
        state_.PlayIndex = 0;
        state_.PlayState = psStopped;
        notified_.clear();
        display_.started = 0;
        controller_->vb_playClick();
        ASSERT_TRUE(WaitFor([&] { return display_.started > 0; }));
        display_.started = 0;
        // The track ends after 0.2 s; then the mode decides.
        const bool stopsOrMoves = WaitFor([&] {
            return c.mode == pmSingle ? state_.PlayState == psStopped : display_.started > 0;
        });
        EXPECT_TRUE(stopsOrMoves) << int(c.mode);
        EXPECT_EQ(state_.PlayState, c.after) << int(c.mode);
        std::string trail;
        for (const auto& n : notified_)
            trail += n + " ";
        EXPECT_EQ(state_.PlayIndex, c.index) << int(c.mode) << ": " << trail;
        EXPECT_EQ(display_.playChecked, c.after == psPlaying) << int(c.mode);
        if (c.mode == pmSingle) {
            EXPECT_FALSE(tmr_pub_.isActive());
            EXPECT_EQ(notified_.back(), "97/2");
        }
        Settle();
        controller_->StopPlayback();
        Settle();
    }
}

TEST_F(Controller, WorkerReportsInOrder) {
    AddEntries({ShortTrack(), "/no/such/file.mp3"});
    state_.PlayMode = pmSingle;
    controller_->vb_playClick();
    Settle();
    EXPECT_EQ(notified_, (std::vector<std::string>{"97/0", "95/1", "94", "95/2"}));
    EXPECT_TRUE(tmr_pub_.isActive());
    EXPECT_EQ(display_.title.toStdString(), ShortTrack() + " - ");
    EXPECT_NEAR(list_.Items().GetItem(0)->LongTime() * 86400.0, 0.2, 1e-9);
    EXPECT_FALSE(state_.DirectIndex.load());

    notified_.clear();
    state_.PlayIndex = 1;
    state_.PlayState = psStopped;
    controller_->vb_playClick();
    controller_->WaitForOpen();
    QCoreApplication::processEvents(); // the failure's own notifications, not what follows
    ASSERT_GE(notified_.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(notified_.begin(), notified_.begin() + 4),
              (std::vector<std::string>{"97/0", "95/1", "0", "98"}));
    EXPECT_TRUE(display_.stackHistory.contains(QStringLiteral("缓冲 ...")));
}

TEST_F(Controller, RemoteControlCodes) {
    // The last entry is an address on a server that never answers, so its open takes a while.
    tunaudio::test::THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    audio_.SetConfig(kConfigNetTimeout, 300);
    AddEntries({ShortTrack(), ShortTrack(), ShortTrack(), silent.Url("/slow.mp3")});
    state_.PlayMode = pmRandom;
    EXPECT_EQ(controller_->HandleControl(ccCount, 0), 4);
    EXPECT_EQ(controller_->HandleControl(ccPlayPause, 1), -1);
    EXPECT_EQ(state_.PlayState, psStopped) << "lParam != 0 does nothing";
    EXPECT_EQ(controller_->HandleControl(77, 0), -1);

    state_.PlayIndex = 2;
    EXPECT_EQ(controller_->HandleControl(ccIndex, 0), std::stoi(shuffle_[2]));
    // A double-click answers the clicked row until its open has finished.
    controller_->PlayDirect(3);
    EXPECT_EQ(list_.CurrentItem(), 3);
    EXPECT_EQ(controller_->HandleControl(ccIndex, 0), 3);
    controller_->WaitForOpen();
    EXPECT_FALSE(state_.DirectIndex.load());
    EXPECT_EQ(controller_->HandleControl(ccIndex, 0), std::stoi(shuffle_[3]));
    Settle(); // the failed open moves on to the next entry

    EXPECT_EQ(controller_->HandleControl(ccPlayPause, 0), 1);
    EXPECT_EQ(state_.PlayState, psPaused);
    EXPECT_EQ(controller_->HandleControl(ccMute, 0), 1);
    EXPECT_TRUE(display_.soundChecked);
}

TEST_F(Controller, PauseResumeSeekMuteAndVolume) {
    // 3 min 5 s at 8 kHz mono.
    const std::string long_ = WriteWav("long.wav", 8000, 1, 185 * 8000, Sine(300, 8000)).string();
    AddEntries({long_});
    state_.PlayMode = pmRepeat;
    controller_->vb_playClick();
    Settle();
    EXPECT_EQ(display_.musicMax, 185);
    const uint32_t stream = state_.CurrentStream.load();

    controller_->vb_playClick();
    EXPECT_EQ(state_.PlayState, psPaused);
    EXPECT_FALSE(display_.playChecked);
    EXPECT_FALSE(tmr_pub_.isActive()) << "a paused player ticks no more";
    // The output drops what it had queued, so the position stands still at once.
    const QWORD paused = audio_.ChannelGetPosition(stream, kPosByte);
    QThread::msleep(100);
    EXPECT_EQ(audio_.ChannelGetPosition(stream, kPosByte), paused);

    // Seeking: the tick leaves the slider alone while it is held; the stream moves on release.
    controller_->pgb_musicMouseDown();
    display_.musicPosition = 62;
    controller_->tmr_pubTimer();
    EXPECT_EQ(display_.musicPosition, 62);
    controller_->pgb_musicMouseUp();
    EXPECT_FALSE(controller_->Seeking());
    controller_->tmr_pubTimer();
    EXPECT_EQ(display_.time, QStringLiteral("01:02 / 03:05"));
    EXPECT_EQ(display_.musicPosition, 62);
    EXPECT_EQ(display_.stack, QStringLiteral("循环播放"));

    controller_->vb_playClick();
    EXPECT_EQ(state_.PlayState, psPlaying);
    EXPECT_TRUE(display_.playChecked);
    EXPECT_TRUE(tmr_pub_.isActive());
    EXPECT_TRUE(WaitFor([&] { return audio_.ChannelGetPosition(stream, kPosByte) > paused; }));

    display_.volumePosition = 40;
    controller_->pgb_volumeMouseUp();
    EXPECT_FLOAT_EQ(audio_.GetVolume(), 0.4f);
    controller_->vb_soundClick();
    EXPECT_TRUE(display_.soundChecked);
    EXPECT_FALSE(display_.volumeEnabled);
    EXPECT_FLOAT_EQ(audio_.GetVolume(), 0.0f);
    controller_->vb_soundClick();
    EXPECT_TRUE(display_.volumeEnabled);
    EXPECT_FLOAT_EQ(audio_.GetVolume(), 0.4f);
}

TEST_F(Controller, TickWhileTheStreamIsReplacedKeepsPlaying) {
    AddEntries({ShortTrack()});
    state_.PlayState = psPlaying;
    state_.CurrentStream = 0; // the worker has freed the old stream, the new one is not there
    display_.time = QStringLiteral("01:00 / 02:00");
    controller_->tmr_pubTimer();
    EXPECT_EQ(state_.PlayState, psPlaying);
    EXPECT_EQ(display_.time, QStringLiteral("01:00 / 02:00"));
}

TEST_F(Controller, UnplayableEntriesStopAfterOnePass) {
    for (int count : {1, 3}) {
        list_.Items().ClearAll();
        AddEntries(std::vector<std::string>(count, "/no/such/track.ogg"));
        state_.PlayMode = pmRepeat;
        state_.PlayIndex = 0;
        state_.PlayState = psStopped;
        notified_.clear();
        controller_->vb_playClick();
        EXPECT_TRUE(WaitFor([&] {
            Settle();
            return state_.PlayState == psStopped;
        })) << count;
        EXPECT_FALSE(display_.playChecked);
        EXPECT_EQ(std::count(notified_.begin(), notified_.end(), "98"), count);
        QThread::msleep(50);
        Settle();
        EXPECT_EQ(std::count(notified_.begin(), notified_.end(), "98"), count) << "no more tries";
    }
}

TEST_F(Controller, NetworkEntryShowsBuffering) {
    // A WAV served slowly: about 1.2 s to download completely.
    const std::string wav =
        tunaudio::test::ReadFile(WriteWav("net.wav", 8000, 1, 8000 * 3, Sine(500, 8000)));
    tunaudio::test::THttpTestServer server;
    tunaudio::test::THttpRoute route;
    route.contentType = "audio/wav";
    route.body = wav;
    route.chunk = 4000;
    route.pause = std::chrono::milliseconds(100);
    server.Route("/live.wav", route);
    ASSERT_TRUE(server.Start());

    AddEntries({server.Url("/live.wav")}, true);
    state_.PlayMode = pmRandom;
    controller_->vb_playClick();
    Settle();
    ASSERT_NE(state_.CurrentStream.load(), 0u);
    EXPECT_EQ(state_.StreamEndBytes.load(), wav.size());
    EXPECT_TRUE(WaitFor(
        [&] {
            controller_->tmr_pubTimer();
            return display_.stack == QStringLiteral("随机播放");
        },
        10000));
    EXPECT_EQ(display_.stackHistory.front(), QStringLiteral("缓冲 ..."));
    bool sawPercentage = false;
    for (const QString& text : display_.stackHistory)
        sawPercentage |=
            text.startsWith(QStringLiteral("缓冲 ")) && text.endsWith(QStringLiteral(" %"));
    EXPECT_TRUE(sawPercentage) << display_.stackHistory.join(QStringLiteral(" | ")).toStdString();
}

// A failed open hands over to the next entry even when the worker is slow to end after it has
// reported (as when the system does not schedule it for a while).
TEST_F(Controller, FailedOpenMovesOnWhileTheWorkerIsStillEnding) {
    AddEntries({"/no/such/track.ogg", ShortTrack()});
    state_.PlayMode = pmRepeat;
    std::atomic<bool> failureHandled{false};
    controller_->OnNotified = [&](int32_t code, int64_t) {
        if (code == ncOpenFailed)
            failureHandled = true;
    };
    // Holds the first worker until the UI thread has dealt with its failure.
    std::atomic<int> workers{0};
    controller_->OnWorkerResultPosted = [&] {
        if (workers++ != 0)
            return;
        QElapsedTimer clock;
        clock.start();
        while (!failureHandled && clock.elapsed() < 3000)
            QThread::msleep(1);
    };
    controller_->vb_playClick();
    EXPECT_TRUE(WaitFor([&] { return display_.started == 1; }));
    EXPECT_TRUE(failureHandled);
    EXPECT_EQ(state_.PlayIndex, 1);
    EXPECT_EQ(list_.CurrentItem(), 1);
    EXPECT_NE(state_.CurrentStream.load(), 0u);
    EXPECT_EQ(state_.PlayState, psPlaying);
    EXPECT_TRUE(display_.playChecked);
}

// Pause (and resume) pressed while the track is still opening applies to the track that opens.
TEST_F(Controller, PauseWhileOpeningHoldsForTheNewTrack) {
    AddEntries({ShortTrack(), ShortTrack()});
    state_.PlayMode = pmRepeat;
    controller_->vb_playClick();
    ASSERT_TRUE(controller_->OpenRunning());
    controller_->vb_playClick(); // pause: the open's result has not been handled yet
    EXPECT_EQ(state_.PlayState, psPaused);
    Settle();
    const uint32_t stream = state_.CurrentStream.load();
    ASSERT_NE(stream, 0u);
    EXPECT_FALSE(display_.playChecked);
    QThread::msleep(100);
    EXPECT_EQ(audio_.ChannelGetPosition(stream, kPosByte), 0u) << "nothing plays while paused";
    EXPECT_EQ(display_.title.toStdString(), ShortTrack() + " - ") << "its title shows";

    // Play resumes it; at its end the list moves on instead of stopping.
    controller_->vb_playClick();
    EXPECT_EQ(state_.PlayState, psPlaying);
    EXPECT_TRUE(WaitFor([&] { return state_.PlayIndex == 1 && display_.started >= 2; }));
    EXPECT_EQ(state_.PlayState, psPlaying);

    // Pause, then play again, both while opening: it plays.
    Settle();
    controller_->vb_nextClick();
    controller_->vb_playClick();
    controller_->vb_playClick();
    Settle();
    EXPECT_EQ(state_.PlayState, psPlaying);
    EXPECT_TRUE(WaitFor(
        [&] { return audio_.ChannelGetPosition(state_.CurrentStream.load(), kPosByte) > 0; }));
}

// Entries that cannot be played are each tried once, in every mode, and a track that ends
// without a sample counts as one that cannot be played.
TEST_F(Controller, DeadEntriesAreTriedOncePerEntry) {
    const std::string empty = WriteWav("empty.wav", 8000, 1, 0, Sine(440, 8000)).string();
    const struct {
        TPlayMode mode;
        std::vector<std::string> files;
        bool plays;   // ends up playing the good entry
        int failures; // opens (or instant ends) that failed before that, or before stopping
    } cases[] = {
        {pmOneRepeat, {"/no/such/a.ogg", ShortTrack(), ShortTrack()}, true, 1},
        {pmOneRepeat, {"/no/such/a.ogg", "/no/such/b.ogg"}, false, 2},
        {pmOneRepeat, {empty}, false, 1},
        {pmOneRepeat, {empty, ShortTrack()}, true, 1},
        {pmRepeat, {empty, empty, empty}, false, 3},
        {pmSingle, {empty, ShortTrack()}, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.files.size());
        list_.Items().ClearAll();
        AddEntries(c.files);
        state_.PlayMode = c.mode;
        state_.PlayIndex = 0;
        state_.PlayState = psStopped;
        display_.started = 0;
        int opens = 0;
        controller_->OnNotified = [&](int32_t code, int64_t lParam) {
            opens += code == ncOpening && lParam == 1;
        };
        controller_->vb_playClick();
        if (c.plays) {
            EXPECT_TRUE(WaitFor([&] {
                return list_.CurrentItem() == 1 && state_.CurrentStream.load() &&
                       audio_.ChannelGetPosition(state_.CurrentStream.load(), kPosByte) > 0;
            }));
            EXPECT_EQ(state_.PlayState, psPlaying);
        } else {
            EXPECT_TRUE(WaitFor([&] {
                Settle();
                return state_.PlayState == psStopped;
            }));
            QThread::msleep(100);
            Settle();
            EXPECT_EQ(state_.PlayState, psStopped);
        }
        EXPECT_LE(opens, c.failures + 1 + (c.plays ? 1 : 0)) << "no entry is tried again and again";
        if (!c.plays) {
            EXPECT_EQ(opens, c.failures);
        }
        Settle();
        controller_->StopPlayback();
        Settle();
    }
}

// The worker frees the old stream while a tick is between reading its position and converting
// it: the tick has nothing to show, and nothing has failed.
TEST_F(Controller, TickRacingTheWorkersFreeKeepsPlaying) {
    const std::string long_ =
        WriteWav("tick-race.wav", 8000, 1, 8000 * 5, Sine(300, 8000)).string();
    AddEntries({long_});
    state_.PlayMode = pmRepeat;
    controller_->vb_playClick();
    Settle();
    ASSERT_TRUE(WaitFor(
        [&] { return audio_.ChannelGetPosition(state_.CurrentStream.load(), kPosByte) > 0; }));
    controller_->OnTickBetweenPositionAndSeconds = [&] {
        if (const uint32_t old = state_.CurrentStream.exchange(0)) // what the worker does
            audio_.StreamFree(old);
    };
    controller_->tmr_pubTimer();
    EXPECT_EQ(state_.PlayState, psPlaying);
    EXPECT_TRUE(tmr_pub_.isActive());
}

// The controller goes while its track plays: the track's end can no longer reach it.
TEST_F(Controller, GoingAwayFreesTheStreamItsEndHandlerPointsAt) {
    AddEntries({ShortTrack()});
    state_.PlayMode = pmRepeat;
    controller_->vb_playClick();
    Settle();
    const uint32_t stream = state_.CurrentStream.load();
    ASSERT_NE(stream, 0u);
    controller_.reset();
    EXPECT_EQ(state_.CurrentStream.load(), 0u);
    EXPECT_EQ(audio_.ChannelGetPosition(stream, kPosByte), kUnknown) << "freed";
    QThread::msleep(300); // past the track's end
    QCoreApplication::processEvents();
    controller_ =
        std::make_unique<TPlaybackController>(state_, audio_, list_, shuffle_, display_, tmr_pub_);
}

TEST(TrackTime, FormatsMinutesWithinTheHour) {
    EXPECT_EQ(FormatNnSs(62 / 86400.0), "01:02");
    EXPECT_EQ(FormatNnSs(185 / 86400.0), "03:05");
    EXPECT_EQ(FormatNnSs(75 * 60 / 86400.0), "15:00");
    EXPECT_EQ(FormatNnSs(59.9996 / 86400.0), "01:00");
    EXPECT_EQ(FormatNnSs(0), "00:00");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
