#include "TrackFiller.h"

#include "ItemExpansion.h"
#include "TrackReader.h"

#include <LingeringThreads.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace tunola {

namespace {

// Results reach the list at most this often, so a big add repaints a few times a second
// rather than once per file.
constexpr int kCollectMs = 50;
// A reader pays off from a few dozen files on; fewer are read by one.
constexpr size_t kFilesPerReader = 32;
constexpr size_t kMaxReaders = 8;
// Opening a file and its tags needs little stack; the default 8 MiB is reserved address space
// per thread that tells the allocator nothing about what is used.
constexpr size_t kReaderStack = 256 * 1024;
// Files added one at a time, a few seconds apart, are read by the same thread.
constexpr int kReaderLingerMs = 5000;
// With no reader thread to be had, the UI thread reads this many files per collection.
constexpr int kFilesPerTickWithoutReaders = 8;
// What an entry about to play waits for the reader inside its file.
constexpr int kReadNowBoundMs = 2000;
// What the destructor waits for a reader inside a file.
constexpr int kDestroyBoundMs = 2000;

} // namespace

struct TTrackFiller::TShared {
    explicit TShared(tunaudio::TAudioLibrary* audio, TTrackFiller* owner)
        : audio(audio), owner(owner) {}

    tunaudio::TAudioLibrary* const audio;
    std::mutex lock;
    std::condition_variable readerEnded;
    std::condition_variable fileRead;
    std::deque<TFillJob> queue;
    std::vector<TTrackDetails> read;
    size_t running = 0;
    // Set when the filler stops: readers take no more files and tell the UI thread nothing.
    TTrackFiller* owner;
};

TZuPlaylistItem PlaceholderEntry(const TListEntry& listed) {
    if (listed.IsUrl)
        return StreamEntry(listed.Location, listed.Title);
    const bool titled = !listed.Title.empty();
    std::string title = titled ? listed.Title : FileTitle(listed.Location);
    std::string artist = titled ? listed.Artist : std::string();
    TZuPlaylistItem entry;
    entry.SetFileName(listed.Location);
    entry.SetCaption(MakeCaption(title, artist));
    entry.SetTitle(std::move(title));
    entry.SetArtist(std::move(artist));
    entry.SetLongTime(listed.Seconds > 0 ? listed.Seconds / 86400.0 : 0);
    return entry;
}

TTrackDetails ReadTrackDetails(tunaudio::TAudioLibrary* audio, const TFillJob& job) {
    const TListEntry& listed = job.Listed;
    TZuPlaylistItem entry = ReadTrackEntry(audio, listed.Location);
    TTrackDetails details;
    details.Serial = job.Serial;
    const bool untitled = entry.Title() == FileTitle(listed.Location) && entry.Artist().empty();
    if (untitled && !listed.Title.empty()) {
        details.Title = listed.Title;
        details.Artist = listed.Artist;
        details.Caption = MakeCaption(listed.Title, listed.Artist);
    } else {
        details.Caption = entry.Caption();
        details.Title = entry.Title();
        details.Artist = entry.Artist();
    }
    details.Days = entry.LongTime();
    if (details.Days <= 0 && listed.Seconds > 0)
        details.Days = listed.Seconds / 86400.0;
    return details;
}

TTrackFiller::TTrackFiller(tunaudio::TAudioLibrary* audio, TZuPlaylistModel& model)
    : audio_(audio), model_(model), shared_(std::make_shared<TShared>(audio, this)),
      wake_([](int32_t, int64_t, const QString&) {}) {
    timer_.setInterval(kCollectMs);
    timer_.callOnTimeout([this] { Collect(); });
}

TTrackFiller::~TTrackFiller() {
    std::unique_lock lock(shared_->lock);
    shared_->queue.clear();
    shared_->owner = nullptr;
    shared_->readerEnded.wait_for(lock, std::chrono::milliseconds(kDestroyBoundMs),
                                  [this] { return shared_->running == 0; });
}

void TTrackFiller::Add(std::vector<TFillJob> jobs) {
    if (jobs.empty())
        return;
    {
        std::lock_guard lock(shared_->lock);
        for (TFillJob& job : jobs) {
            pending_.insert(job.Serial);
            shared_->queue.push_back(std::move(job));
        }
    }
    busy_ = true;
    StartReaders();
    if (!timer_.isActive())
        timer_.start();
}

void TTrackFiller::ReadNow(uint64_t serial) {
    if (!pending_.contains(serial))
        return;
    std::vector<TTrackDetails> read;
    std::optional<TFillJob> job;
    {
        std::unique_lock lock(shared_->lock);
        auto& queue = shared_->queue;
        const auto found = std::find_if(queue.begin(), queue.end(),
                                        [serial](const TFillJob& j) { return j.Serial == serial; });
        if (found != queue.end()) {
            job = std::move(*found);
            queue.erase(found);
        } else {
            // A reader has it: one file's wait, bounded should that file never answer.
            shared_->fileRead.wait_for(lock, std::chrono::milliseconds(kReadNowBoundMs), [&] {
                return shared_->running == 0 ||
                       std::any_of(shared_->read.begin(), shared_->read.end(),
                                   [serial](const TTrackDetails& d) { return d.Serial == serial; });
            });
        }
        read.swap(shared_->read);
    }
    if (job) {
        try {
            read.push_back(ReadTrackDetails(audio_, *job));
        } catch (...) {
        }
    }
    Store(std::move(read));
}

void TTrackFiller::DropQueued() {
    std::lock_guard lock(shared_->lock);
    for (const TFillJob& job : shared_->queue)
        pending_.erase(job.Serial);
    shared_->queue.clear();
}

void TTrackFiller::StartReaders() {
    // The reader: files from the queue until it is empty or the filler stops. The last one to
    // end asks the UI thread to collect at once rather than at its next tick.
    auto read = [](const std::shared_ptr<TShared>& start) {
        TShared& shared = *start;
        std::unique_lock lock(shared.lock);
        while (shared.owner && !shared.queue.empty()) {
            TFillJob job = std::move(shared.queue.front());
            shared.queue.pop_front();
            lock.unlock();
            TTrackDetails details;
            bool done = true;
            // Out of memory in the middle of a file: its entry keeps what it shows.
            try {
                details = ReadTrackDetails(shared.audio, job);
            } catch (...) {
                done = false;
            }
            lock.lock();
            if (done) {
                shared.read.push_back(std::move(details));
                shared.fileRead.notify_all();
            }
        }
        // Posted under the lock: the owner cannot be gone while its channel takes the work,
        // and the channel's own lock hands the call to the UI thread.
        if (--shared.running == 0 && shared.owner) {
            TTrackFiller* owner = shared.owner;
            owner->wake_.PostToUi([owner] { owner->Collect(); });
        }
        shared.readerEnded.notify_all();
    };

    static TLingeringThreads readers("tunola-tags", kReaderStack, kReaderLingerMs);
    std::lock_guard lock(shared_->lock);
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t wanted = std::clamp(shared_->queue.size() / kFilesPerReader, size_t(1),
                                     std::min(cores, kMaxReaders));
    while (shared_->running < wanted) {
        if (!readers.Run([read, shared = shared_] { read(shared); }))
            break; // no more threads to be had: those running read the rest
        ++shared_->running;
    }
}

void TTrackFiller::Collect() {
    std::vector<TTrackDetails> read;
    std::vector<TFillJob> own;
    bool finished = false;
    {
        std::lock_guard lock(shared_->lock);
        read.swap(shared_->read);
        if (shared_->running == 0) {
            // No reader could be started: read a few here, then come back.
            for (int i = 0; i < kFilesPerTickWithoutReaders && !shared_->queue.empty(); ++i) {
                own.push_back(std::move(shared_->queue.front()));
                shared_->queue.pop_front();
            }
            finished = shared_->queue.empty();
        }
    }
    for (const TFillJob& job : own) {
        try {
            read.push_back(ReadTrackDetails(audio_, job));
        } catch (...) {
        }
    }
    Store(std::move(read));
    if (!finished || !busy_)
        return;
    timer_.stop();
    busy_ = false;
    pending_ = {}; // entries whose reading failed; gives its buckets back
    if (OnFilled)
        OnFilled();
}

bool TTrackFiller::Stop(int boundMs) {
    std::vector<TTrackDetails> read;
    bool ended;
    {
        std::unique_lock lock(shared_->lock);
        shared_->queue.clear();
        shared_->owner = nullptr;
        ended = shared_->readerEnded.wait_for(lock, std::chrono::milliseconds(boundMs),
                                              [this] { return shared_->running == 0; });
        read.swap(shared_->read);
    }
    // A reader still inside a file keeps the old shared state; a later fill starts afresh.
    shared_ = std::make_shared<TShared>(audio_, this);
    timer_.stop();
    busy_ = false;
    Store(std::move(read));
    pending_ = {};
    return ended;
}

void TTrackFiller::Store(std::vector<TTrackDetails> read) {
    for (const TTrackDetails& details : read)
        pending_.erase(details.Serial);
    bool current = false;
    model_.StoreDetails(std::move(read), &current);
    if (current && OnCurrentFilled)
        OnCurrentFilled();
}

} // namespace tunola
