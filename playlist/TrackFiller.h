#pragma once
// TTrackFiller: fills in the titles, artists and lengths of playlist entries that went into the
// list with their file names alone, so that adding thousands of files shows them at once.
//
// Threads. A few readers (at most min(cores, 8), started when files are queued, each done as
// soon as the queue is empty) take files from a shared queue and read each one
// (ReadTrackDetails). They run on a TLingeringThreads pool of small-stacked threads, which wait
// a few seconds for the next files before they end. The readers share with the UI thread only TShared in
// TrackFiller.cpp (the queue, the results read so far, a stop flag and the count of running
// readers, under one mutex) and the audio library; the last one to end posts a wake-up through
// a TNotifyChannel. They never touch the playlist. The UI thread collects the results in one
// batch every 50 ms and stores them into the entries by serial (TZuPlaylistModel::StoreDetails),
// so an entry deleted, moved or cleared meanwhile is found where it stands now or skipped. Everything public here is for the UI thread.

#include "NotifyChannel.h"
#include "PlaylistFormats.h"
#include "ZuPlaylistModel.h"

#include <QTimer>

#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

namespace tunaudio {
class TAudioLibrary;
}

namespace tunola {

// One file to read for the entry with this serial; `Listed` is what a playlist said about the
// file (title, artist, length), which stands in where the file tells nothing.
struct TFillJob {
    uint64_t Serial = 0;
    TListEntry Listed;
};

// The entry a listed location shows until its file is read: a stream's address or title; for
// a file, the list's title and length, or the file's title and no length.
TZuPlaylistItem PlaceholderEntry(const TListEntry& listed);

// What reading the file of `job` gives: the tags win, the list's details fill what the file
// does not tell (a missing file, a format without tags). Any thread.
TTrackDetails ReadTrackDetails(tunaudio::TAudioLibrary* audio, const TFillJob& job);

class TTrackFiller {
public:
    // `model` is the list the entries are in; it outlives the filler.
    TTrackFiller(tunaudio::TAudioLibrary* audio, TZuPlaylistModel& model);
    // Stops the readers (Stop with a short bound) without storing what they read.
    ~TTrackFiller();
    TTrackFiller(const TTrackFiller&) = delete;
    TTrackFiller& operator=(const TTrackFiller&) = delete;

    // Queues files to read, after those queued before; starts readers as needed.
    void Add(std::vector<TFillJob> jobs);
    // Files queued or being read, or results not yet stored.
    bool Busy() const { return busy_; }
    // When the entry with this serial still waits for its details, they are stored now: read
    // here when no reader has begun its file, else taken from the reader when it is done.
    void ReadNow(uint64_t serial);
    // Drops the files not yet begun (their entries have left the list, e.g. it was cleared);
    // what is being read is still stored if its entry is there.
    void DropQueued();
    // Ends the fill now: drops the queue, waits at most `boundMs` for the readers inside a
    // file, then stores whatever was read. False when a reader is still inside a file after
    // the bound (it ends on its own later, touching only the shared state and the audio
    // library, which must then outlive it). OnFilled does not run.
    bool Stop(int boundMs);

    // Every queued file was read and stored (once per fill). The place to save the list.
    std::function<void()> OnFilled;
    // The playing entry got its details (its caption may differ from what the player shows).
    std::function<void()> OnCurrentFilled;

private:
    struct TShared;
    void StartReaders();
    void Collect();
    void Store(std::vector<TTrackDetails> read);

    tunaudio::TAudioLibrary* audio_;
    TZuPlaylistModel& model_;
    std::shared_ptr<TShared> shared_;
    QTimer timer_;
    // The last reader to end asks the UI thread through this to collect at once.
    TNotifyChannel wake_;
    bool busy_ = false;
    // Serials of the entries whose details have not been stored yet.
    std::unordered_set<uint64_t> pending_;
};

} // namespace tunola
