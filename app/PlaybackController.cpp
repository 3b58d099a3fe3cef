#include "PlaybackController.h"

#include "PlayerMessages.h"
#include "TrackTime.h"

#include <QTimer>

#include <cmath>

namespace tunola {

using namespace tunaudio;

TPlaybackController::TPlaybackController(TAppState& state, TAudioLibrary& audio,
                                         TZuPlaylistModel& list, const TShuffleOrder& shuffle,
                                         IPlayerDisplay& display, QTimer& tmr_pub)
    : state_(state), audio_(audio), list_(list), shuffle_(shuffle), display_(display),
      tmr_pub_(tmr_pub) {
    connect(&tmr_pub_, &QTimer::timeout, this, &TPlaybackController::tmr_pubTimer);
}

TPlaybackController::~TPlaybackController() {
    StopOpen(-1);
    {
        std::lock_guard lock(workerMutex_);
        workerQuit_ = true;
    }
    workerWake_.notify_one();
    if (openThread_.joinable())
        openThread_.join();
    // Once freed, the stream's end handler, which points here, is never called.
    if (const uint32_t stream = state_.CurrentStream.exchange(0))
        audio_.StreamFree(stream);
}

void TPlaybackController::WaitForOpen() {
    std::unique_lock lock(workerMutex_);
    workerDone_.wait(lock, [this] { return !workerRunning_; });
}

bool TPlaybackController::StopOpen(int boundMs) {
    audio_.CancelOpens();
    std::unique_lock lock(workerMutex_);
    if (boundMs < 0)
        workerDone_.wait(lock, [this] { return !workerRunning_; });
    else
        workerDone_.wait_for(lock, std::chrono::milliseconds(boundMs),
                             [this] { return !workerRunning_; });
    return !workerRunning_;
}

// ---------------------------------------------------------------------------------------------
// Notifications

void TPlaybackController::Post(int32_t code, int64_t lParam, const QString& text) {
    channel_.Post(code, lParam, text);
}

void TPlaybackController::PostToUi(std::function<void()> work) {
    channel_.PostToUi(std::move(work));
}

void TPlaybackController::Notify(int32_t code, int64_t lParam, const QString& text) {
    if (OnNotified)
        OnNotified(code, lParam);
    switch (code) {
    case ncStatusText:
        display_.vl_stackSetText(text);
        break;
    case ncTrackLength:
        display_.pgb_musicSetMax(static_cast<int>(std::min<int64_t>(lParam, INT32_MAX)));
        break;
    case ncOpening:
        if (lParam == 1) {
            tmr_pub_.stop();
            display_.pgb_musicSetPosition(0);
            display_.vl_titleSetText(QString());
            display_.vl_timeSetText(QStringLiteral("00:00 / 00:00"));
            display_.SetTrayHint(QStringLiteral("云雀"));
        } else if (lParam == 2) {
            // Opened paused: one tick shows where it stands, the next ones wait for play.
            if (state_.PlayState == psPlaying)
                tmr_pub_.start();
            else
                tmr_pubTimer();
            if (const TZuPlaylistItem* entry = list_.CurrentEntry())
                display_.vl_titleSetText(QString::fromStdString(entry->Caption()));
            display_.TrackStarted();
        }
        break;
    case ncPlayState:
        if (lParam == 0) {
            state_.PlayState = psPlaying;
            display_.vb_playSetChecked(true);
        } else if (lParam == 1) {
            state_.PlayState = psPaused;
            display_.vb_playSetChecked(false);
        } else if (lParam == 2) {
            state_.PlayState = psStopped;
            display_.vb_playSetChecked(false);
        }
        break;
    case ncOpenFailed:
        OpenFailed(static_cast<uint64_t>(lParam));
        break;
    case ncShowMain:
        display_.ShowMainWindow();
        break;
    default:
        if (OnOtherNotice)
            OnOtherNotice(code, lParam, text);
        break;
    }
    emit Notified(code, lParam);
}

void TPlaybackController::OpenFailed(uint64_t serial) {
    // Move on to the next entry, but stop once every entry of the list has failed since
    // something last played: a list of dead files or addresses must not cycle for ever. The
    // failed entry itself is not tried again, not even when the mode repeats the track.
    const TZuPlaylistItems& items = list_.Items();
    const int count = items.Count();
    failedEntries_.insert(serial);
    int failed = 0;
    for (int i = 0; i < count; ++i)
        failed += failedEntries_.count(items.GetItem(i)->Serial()) ? 1 : 0;
    if (failed >= count) {
        failedEntries_.clear();
        state_.PlayState = psStopped;
        display_.vb_playSetChecked(false);
        return;
    }
    if (state_.PlayMode == pmOneRepeat)
        ++state_.PlayIndex; // vb_nextClick stays on the track in this mode
    vb_nextClick();
}

void TPlaybackController::PlayedSomething() {
    if (!failedEntries_.empty())
        failedEntries_.clear();
}

// ---------------------------------------------------------------------------------------------
// Commands

void TPlaybackController::vb_playClick() {
    const int count = list_.Items().Count();
    if (count == 0)
        return;
    // While a track opens, the stream there is the one being freed: the state alone changes,
    // and the opened stream starts or waits by it (OpenFinished).
    const uint32_t stream = openRunning_ ? 0 : state_.CurrentStream.load();
    switch (state_.PlayState) {
    case psPaused:
        Notify(ncPlayState, 0);
        if (stream) {
            audio_.ChannelPlay(stream, false);
            tmr_pub_.start();
        }
        return;
    case psPlaying:
        // A paused player does no work: the tick (position, spectrum) waits for the resume.
        Notify(ncPlayState, 1);
        if (stream)
            audio_.ChannelPause(stream);
        tmr_pub_.stop();
        return;
    case psStopped:
        break;
    }
    Notify(ncPlayState, 0);
    int k = state_.PlayIndex;
    if (state_.PlayMode == pmRandom && !state_.DirectIndex.load()) {
        k = -1;
        if (state_.PlayIndex >= 0 && state_.PlayIndex < static_cast<int>(shuffle_.size()))
            k = std::atoi(shuffle_[static_cast<size_t>(state_.PlayIndex)].c_str());
    }
    list_.SetCurrentItem(k);
    const TZuPlaylistItem* entry = list_.CurrentEntry();
    if (!entry || openRunning_)
        return;
    if (OnBeforeOpen)
        OnBeforeOpen(entry->Serial());
    StartOpenWorker(entry->FileName(), entry->Serial());
}

void TPlaybackController::vb_nextClick() {
    const int count = list_.Items().Count();
    if (count == 0)
        return;
    if (state_.PlayMode != pmOneRepeat)
        ++state_.PlayIndex;
    if (state_.PlayIndex >= count)
        state_.PlayIndex = 0;
    state_.PlayState = psStopped;
    vb_playClick();
}

void TPlaybackController::vb_previousClick() {
    const int count = list_.Items().Count();
    if (count == 0)
        return;
    --state_.PlayIndex;
    if (state_.PlayIndex < 0)
        state_.PlayIndex = count - 1;
    state_.PlayState = psStopped;
    vb_playClick();
}

void TPlaybackController::PlayDirect(int index) {
    state_.DirectIndex = true;
    state_.PlayIndex = index;
    state_.PlayState = psStopped;
    vb_playClick();
}

void TPlaybackController::vb_soundClick() {
    const bool muted = !display_.vb_soundChecked();
    display_.vb_soundSetChecked(muted);
    if (muted) {
        audio_.SetVolume(0.0f);
        display_.pgb_volumeSetEnabled(false);
    } else {
        audio_.SetVolume(static_cast<float>(display_.pgb_volumePosition()) / 100.0f);
        display_.pgb_volumeSetEnabled(true);
    }
}

void TPlaybackController::pgb_volumeMouseUp() {
    audio_.SetVolume(static_cast<float>(display_.pgb_volumePosition()) / 100.0f);
}

void TPlaybackController::pgb_musicMouseDown() {
    seeking_ = true;
}

void TPlaybackController::pgb_musicMouseUp() {
    const uint32_t stream = state_.CurrentStream.load();
    if (stream) {
        const QWORD bytes = audio_.ChannelSeconds2Bytes(stream, display_.pgb_musicPosition());
        if (bytes != kUnknown)
            audio_.ChannelSetPosition(stream, bytes, kPosByte);
    }
    seeking_ = false;
}

void TPlaybackController::StopPlayback() {
    tmr_pub_.stop();
    state_.PlayState = psStopped;
    audio_.ChannelStop(state_.CurrentStream.load());
}

int64_t TPlaybackController::HandleControl(int32_t wParam, int64_t lParam) {
    if (lParam != 0)
        return -1;
    switch (wParam) {
    case ccMute:
        vb_soundClick();
        return 1;
    case ccPlayPause:
        vb_playClick();
        return 1;
    case ccPrevious:
        vb_previousClick();
        return 1;
    case ccNext:
        vb_nextClick();
        return 1;
    case ccCount:
        return list_.Items().Count();
    case ccIndex:
        if (state_.PlayMode == pmRandom && !state_.DirectIndex.load()) {
            if (state_.PlayIndex < 0 || state_.PlayIndex >= static_cast<int>(shuffle_.size()))
                return -1;
            return std::atoi(shuffle_[static_cast<size_t>(state_.PlayIndex)].c_str());
        }
        return state_.PlayIndex;
    default:
        return -1;
    }
}

// ---------------------------------------------------------------------------------------------
// The stream-opening worker

void TPlaybackController::StartOpenWorker(std::string fileName, uint64_t serial) {
    // The UI thread never waits here: the previous open has posted its result (openRunning_ was
    // cleared by it), and the worker takes this one as soon as it has finished that one.
    openRunning_ = true;
    {
        std::lock_guard lock(workerMutex_);
        openJob_ = TOpenJob{std::move(fileName), serial};
        workerRunning_ = true;
    }
    if (!openThread_.joinable())
        openThread_ = std::thread(&TPlaybackController::OpenWorkerLoop, this);
    workerWake_.notify_one();
}

void TPlaybackController::OpenWorkerLoop() {
    std::unique_lock lock(workerMutex_);
    for (;;) {
        workerWake_.wait(lock, [this] { return openJob_ || workerQuit_; });
        if (!openJob_)
            return;
        const TOpenJob job = std::move(*openJob_);
        openJob_.reset();
        lock.unlock();
        OpenStreamWorker(job.fileName, job.serial);
        lock.lock();
        if (!openJob_) {
            workerRunning_ = false;
            workerDone_.notify_all();
        }
    }
}

void TPlaybackController::OpenStreamWorker(const std::string& fileName, uint64_t serial) {
    Post(ncOpening, 1);
    if (const uint32_t previous = state_.CurrentStream.exchange(0))
        audio_.StreamFree(previous);
    state_.StreamEndBytes = 0;

    HSTREAM stream = audio_.StreamCreateFile(false, fileName, 0, 0, 0);
    if (!stream) {
        Post(ncStatusText, 0, QStringLiteral("缓冲 ..."));
        stream = audio_.StreamCreateURL(fileName, 0, kStreamStatus, nullptr, nullptr);
    }
    state_.CurrentStream = stream;
    if (stream) {
        const QWORD bytes = audio_.ChannelGetLength(stream, kPosByte);
        const double seconds = bytes == kUnknown ? 0.0 : audio_.ChannelBytes2Seconds(stream, bytes);
        Post(ncTrackLength, static_cast<int64_t>(seconds));
        state_.TrackLength = seconds / 86400.0;
        const std::optional<bool> isUrl = list_.StoreLength(serial, seconds / 86400.0);
        if (isUrl.value_or(false))
            state_.StreamEndBytes =
                static_cast<uint32_t>(audio_.StreamGetFilePosition(stream, kFilePosEnd));
        // The end handler goes on before the sound starts, so even a very short track that
        // ends at once is reported.
        audio_.ChannelSetSync(stream, kSyncEnd, 0, &TPlaybackController::EndOfTrackSync, this);
    }
    state_.DirectIndex = false;
    PostToUi([this, stream, serial] { OpenFinished(stream, serial); });
    if (OnWorkerResultPosted)
        OnWorkerResultPosted();
}

void TPlaybackController::OpenFinished(uint32_t stream, uint64_t serial) {
    // The guard goes first, so whatever the result leads to (the next entry) can open; the
    // worker may still be finishing this open (it takes the next one after).
    openRunning_ = false;
    if (!stream) {
        Notify(ncOpenFailed, static_cast<int64_t>(serial));
        return;
    }
    playingSerial_ = serial;
    if (state_.PlayState == psStopped)
        return; // stopped while it opened (the entry deleted, the list cleared)
    if (state_.PlayState == psPlaying)
        audio_.ChannelPlay(stream, false);
    // Paused while it opened: it waits there until play is pressed.
    Notify(ncOpening, 2);
    // After the started notice: the plug-ins hear of the track once the player shows it.
    if (OnTrackStarted)
        if (const std::optional<TZuPlaylistItem> entry = list_.SnapshotOf(serial))
            OnTrackStarted(*entry);
}

// ---------------------------------------------------------------------------------------------
// End of a track

void TPlaybackController::EndOfTrackSync(HSYNC, DWORD channel, DWORD, void* user) {
    auto* self = static_cast<TPlaybackController*>(user);
    self->PostToUi([self, channel] { self->EndOfTrack(channel); });
}

void TPlaybackController::EndOfTrack(uint32_t stream) {
    // The end of a stream that has since been replaced, or that was stopped meanwhile (the
    // playing entry deleted, the list cleared), is old news.
    if (stream != state_.CurrentStream.load() || state_.PlayState == psStopped)
        return;
    // An entry that ends without a sample heard (a WAV with no samples, a stream that ends at
    // once) has failed like one that did not open; repeating it would spin.
    const QWORD heard = audio_.ChannelGetPosition(stream, kPosByte);
    if (heard == 0 || heard == kUnknown) {
        display_.pgb_musicSetPosition(0);
        OpenFailed(playingSerial_);
        return;
    }
    PlayedSomething();
    if (state_.PlayMode == pmSingle) {
        state_.PlayState = psStopped;
        tmr_pub_.stop();
        Notify(ncPlayState, 2);
    } else {
        vb_nextClick();
    }
    display_.pgb_musicSetPosition(0);
}

// ---------------------------------------------------------------------------------------------
// The 33 ms tick

QString TPlaybackController::ModeText() const {
    switch (state_.PlayMode) {
    case pmRandom:
        return QStringLiteral("随机播放");
    case pmRepeat:
        return QStringLiteral("循环播放");
    case pmOneRepeat:
        return QStringLiteral("单曲循环");
    case pmSingle:
        break;
    }
    return display_.vl_stackText();
}

void TPlaybackController::TickFailed() {
    tmr_pub_.stop();
    audio_.ChannelStop(state_.CurrentStream.load());
    state_.PlayState = psStopped;
}

void TPlaybackController::tmr_pubTimer() {
    try {
        Tick();
    } catch (...) {
        TickFailed();
    }
}

void TPlaybackController::Tick() {
    if (seeking_)
        return;
    // While the worker replaces the stream (the old one freed, the new one not yet there) a
    // tick may still come before the worker's "opening" notice stops the timer: nothing to
    // show then, and nothing has failed.
    const uint32_t stream = state_.CurrentStream.load();
    if (!stream)
        return;
    const QWORD position = audio_.ChannelGetPosition(stream, kPosByte);
    if (position == kUnknown)
        return;
    if (OnTickBetweenPositionAndSeconds)
        OnTickBetweenPositionAndSeconds();
    const double s = audio_.ChannelBytes2Seconds(stream, position);
    if (!(s >= 0.0)) {
        // The worker frees the old stream only after taking it out of CurrentStream: a stream
        // that is gone and no longer current was replaced, which is no failure.
        if (state_.CurrentStream.load() != stream)
            return;
        TickFailed();
        return;
    }
    if (position > 0)
        PlayedSomething();
    display_.pgb_musicSetPosition(static_cast<int>(s));
    state_.TrackPosition = s / 86400.0;
    display_.vl_timeSetText(QString::fromStdString(FormatNnSs(state_.TrackPosition) + " / " +
                                                   FormatNnSs(state_.TrackLength.load())));

    const TZuPlaylistItem* entry = list_.CurrentEntry();
    if (!entry)
        return;

    int64_t p = 0;
    const uint32_t endBytes = state_.StreamEndBytes.load();
    if (entry->ISURL() && endBytes != 0xFFFFFFFFu && endBytes != 0) {
        const QWORD downloaded = audio_.StreamGetFilePosition(stream, kFilePosDownload);
        if (downloaded != kUnknown)
            p = static_cast<int64_t>(downloaded) * 100 / static_cast<int64_t>(endBytes);
        display_.vl_stackSetText(QStringLiteral("缓冲 %1 %").arg(p));
    }
    if (p == 0 || p >= 100)
        display_.vl_stackSetText(ModeText());

    if (display_.LyricsVisible()) {
        QString line = display_.LyricsAt(static_cast<int>(std::lround(s * 1000.0))).trimmed();
        if (line.isEmpty())
            line = QStringLiteral("● ● ●");
        display_.ShowDesktopLyric(line);
    }

    if (stream && display_.SpectrumWanted()) {
        float fft[256];
        if (audio_.ChannelGetData(stream, fft, kDataFft512) > 0)
            display_.DrawSpectrum(fft, 256);
    }
}

} // namespace tunola
