#pragma once
// Turns a request to play an entry into sound and keeps the main window in step with it.
//
// Threads:
//  - UI thread: every command, the notification handler, the 33 ms tick (tmr_pub).
//  - The stream-opening worker (at most one at a time, guarded by `openRunning_`): frees the
//    previous stream, opens the entry as a file or else as a network address, starts it, and
//    reports back only through Post (queued to the UI thread). It writes the shared values
//    CurrentStream, TrackLength, StreamEndBytes and DirectIndex (atomics in TAppState) and the
//    entry's length through the model's locked call, naming the entry by its serial.
//  - The audio library's playback thread calls the end-of-stream handler, which only posts.
// The destructor waits for a running worker, so nothing posts to a dead controller.

#include "AppState.h"
#include "PlayerDisplay.h"

#include <ShuffleOrder.h>
#include <ZuPlaylistModel.h>
#include <audio/AudioLibrary.h>

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

class QTimer;

namespace tunola {

class TPlaybackController : public QObject {
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
    // thread; Notify runs a code at once (the UI thread's own "sent" notifications).
    void Post(int32_t code, int64_t lParam, const QString& text = {});
    void Notify(int32_t code, int64_t lParam, const QString& text = {});

    bool Seeking() const { return seeking_; }
    bool OpenRunning() const { return openRunning_.load(); }
    // Waits until no stream-opening worker runs (tests, shutdown).
    void WaitForOpen();

    // Plug-ins hear of each track that starts (called on the worker thread).
    std::function<void(const TZuPlaylistItem& entry)> OnTrackStarted;
    // Every notification as it is handled, in order (tests and tracing).
    std::function<void(int32_t code, int64_t lParam)> OnNotified;

    void tmr_pubTimer();

signals:
    // Every notification after it was handled (listeners such as the desktop bus).
    void Notified(int32_t code, int64_t lParam);

private:
    static void EndOfTrackSync(tunaudio::HSYNC sync, tunaudio::DWORD channel, tunaudio::DWORD data,
                               void* user);
    void EndOfTrack(uint32_t stream);
    void StartOpenWorker(std::string fileName, uint64_t serial);
    void OpenStreamWorker(std::string fileName, uint64_t serial);
    void OpenFailed();
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
    // Opens that failed since the last one that played; a full pass of failures stops.
    int failedOpens_ = 0;
    std::atomic<bool> openRunning_{false};
    std::thread openThread_;
};

} // namespace tunola
