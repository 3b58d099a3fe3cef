#pragma once
// Turns a request to play an entry into sound and keeps the main window in step with it.
//
// Threads:
//  - UI thread: every command, the notification handler, the 33 ms tick (tmr_pub).
//  - The stream-opening worker: one thread for the controller's life, started on the first
//    open, that runs one open at a time as the UI thread hands it over (openJob_, under
//    workerMutex_). Each open frees the previous stream, opens the entry as a file or else as a
//    network address, and reports back only through Post (queued to the UI thread). It writes the shared values CurrentStream, TrackLength, StreamEndBytes
//    and DirectIndex (atomics in TAppState) and the entry's length through the model's locked
//    call, naming the entry by its serial. Its last act is to post its result; the UI thread
//    then clears the guard `openRunning_` (UI thread only) before it acts on that result, and
//    starts the sound itself when the player is still meant to play, so a pause pressed while
//    the track opened holds.
//  - The audio library's playback thread calls the end-of-stream handler, which only posts.
// The destructor ends a network open at once, waits for the open, ends the worker and frees the
// stream (after which the library calls none of its handlers), so nothing reaches a dead
// controller.

#include "AppState.h"
#include "NotifyChannel.h"
#include "PlayerDisplay.h"

#include <ShuffleOrder.h>
#include <ZuPlaylistModel.h>
#include <audio/AudioLibrary.h>

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

class QTimer;

namespace tunola {

class TPlaybackController : public QObject, public INotifyPoster {
    Q_OBJECT
public:
    TPlaybackController(TAppState& state, tunaudio::TAudioLibrary& audio, TZuPlaylistModel& list,
                        const TShuffleOrder& shuffle, IPlayerDisplay& display, QTimer& tmr_pub);
    ~TPlaybackController() override;

    // Commands (UI thread).
    void vb_playClick();
    void vb_nextClick();
    void vb_previousClick();
    void vb_soundClick();
    // The playlist's double-click on row `index`.
    void PlayDirect(int index);
    void pgb_musicMouseDown();
    void pgb_musicMouseUp();
    void pgb_volumeMouseUp();
    // Stops playback (the playlist window deletes the playing entry or clears the list).
    void StopPlayback();

    // Remote control from other programs; lParam ≠ 0 answers −1 and does nothing.
    int64_t HandleControl(int32_t wParam, int64_t lParam);

    // The notification channel: Post may be called from any thread and is handled on the UI
    // thread; Notify runs a code at once (the UI thread's own "sent" notifications). Other
    // parts' workers post through Poster(); codes the controller does not know go on to
    // OnOtherNotice.
    void Post(int32_t code, int64_t lParam, const QString& text = {}) override;
    void Notify(int32_t code, int64_t lParam, const QString& text = {});
    INotifyPoster& Poster() { return channel_; }

    bool Seeking() const { return seeking_; }
    bool OpenRunning() const { return openRunning_; }
    // Waits until the stream-opening worker has finished the open handed to it (tests); its
    // result is then still waiting in the event queue.
    void WaitForOpen();
    // Shutdown: ends a network open at once and waits at most `boundMs` for the worker. False
    // when it still runs (stuck in the system); the caller must then not free what it uses.
    bool StopOpen(int boundMs);

    // The entry with this serial is about to be opened (UI thread): the place to complete its
    // details, so that everything its start announces (title, lyrics, plug-ins) names it right.
    std::function<void(uint64_t serial)> OnBeforeOpen;
    // Plug-ins hear of each track that starts, after the player shows it (UI thread).
    std::function<void(const TZuPlaylistItem& entry)> OnTrackStarted;
    // Every notification as it is handled, in order (tests and tracing).
    std::function<void(int32_t code, int64_t lParam)> OnNotified;
    // Test seam: runs in the tick between reading the stream's position and converting it, where
    // the worker may free the stream.
    std::function<void()> OnTickBetweenPositionAndSeconds;
    // Test seam: runs on the worker after it has posted its result, before the open counts as
    // finished.
    std::function<void()> OnWorkerResultPosted;
    // Notifications of other parts (the web layer's), on the UI thread.
    std::function<void(int32_t code, int64_t lParam, const QString& text)> OnOtherNotice;

    void tmr_pubTimer();

signals:
    // Every notification after it was handled (listeners such as the desktop bus).
    void Notified(int32_t code, int64_t lParam);

private:
    static void EndOfTrackSync(tunaudio::HSYNC sync, tunaudio::DWORD channel, tunaudio::DWORD data,
                               void* user);
    void EndOfTrack(uint32_t stream);
    void StartOpenWorker(std::string fileName, uint64_t serial);
    void OpenWorkerLoop();
    void OpenStreamWorker(const std::string& fileName, uint64_t serial);
    void OpenFinished(uint32_t stream, uint64_t serial);
    // Any thread: `work` runs on the UI thread, in the order posted.
    void PostToUi(std::function<void()> work);
    void OpenFailed(uint64_t serial);
    void PlayedSomething();
    void Tick();
    void TickFailed();
    QString ModeText() const;

    TAppState& state_;
    tunaudio::TAudioLibrary& audio_;
    TZuPlaylistModel& list_;
    const TShuffleOrder& shuffle_;
    IPlayerDisplay& display_;
    QTimer& tmr_pub_;
    bool seeking_ = false;
    // Entries (by serial) that failed since something last played: each is tried once, and
    // once every entry of the list has failed, playback stops.
    std::set<uint64_t> failedEntries_;
    // The entry whose stream plays now (its serial).
    uint64_t playingSerial_ = 0;
    bool openRunning_ = false; // UI thread only
    // A thread started per open left a record behind in the sanitizers' thread registries for
    // every track played; one worker for the whole session does not.
    std::thread openThread_; // UI thread only
    struct TOpenJob {
        std::string fileName;
        uint64_t serial;
    };
    std::mutex workerMutex_;
    std::condition_variable workerWake_;
    std::condition_variable workerDone_;
    std::optional<TOpenJob> openJob_; // guarded by workerMutex_: handed over, not yet taken
    bool workerRunning_ = false;      // guarded by workerMutex_: an open handed over or running
    bool workerQuit_ = false;         // guarded by workerMutex_
    // The last member: it goes first, so nothing queued reaches a controller half-destroyed.
    TNotifyChannel channel_{
        [this](int32_t code, int64_t lParam, const QString& text) { Notify(code, lParam, text); }};
};

} // namespace tunola
