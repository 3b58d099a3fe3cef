#include "LyricLoader.h"

namespace tunola {

TLyricLoader::TLyricLoader(ILyricDown* service, std::function<bool()> serviceOnline, TPost post)
    : service_(service), serviceOnline_(std::move(serviceOnline)), post_(std::move(post)) {}

TLyricLoader::~TLyricLoader() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        request_.reset();
    }
    wake_.notify_all();
    if (worker_.joinable()) {
        if (service_)
            service_->Cancel();
        worker_.join();
    }
}

bool TLyricLoader::Load(const TLyricTrack& track, const std::filesystem::path& lyricDir,
                        TDone done) {
    const uint64_t serial = shared_->Newest.fetch_add(1) + 1;
    shared_->Waiting = false;
    shared_->Done = nullptr;
    TLyricLookup local = LoadLocalLyricText(track, lyricDir);
    if (local.Source != TLyricSource::None || !service_ || !serviceOnline_ || !serviceOnline_()) {
        done(local);
        return true;
    }
    shared_->Done = std::move(done);
    shared_->Waiting = true;
    {
        std::lock_guard lock(mutex_);
        // An older request not yet taken is replaced: only the newest track matters.
        request_ = TRequest{serial, track, lyricDir};
        if (!worker_.joinable())
            worker_ = std::thread([this] { Run(); });
    }
    wake_.notify_one();
    return false;
}

bool TLyricLoader::Pending() const {
    return shared_->Waiting;
}

void TLyricLoader::Run() {
    for (;;) {
        TRequest request;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || request_.has_value(); });
            if (stop_)
                return;
            request = std::move(*request_);
            request_.reset();
        }
        // Already stale: a newer track has started since.
        if (request.Serial != shared_->Newest.load())
            continue;
        TLyricLookup result = DownloadLyricText(request.Track, request.LyricDir, service_);
        std::weak_ptr<TShared> weak = shared_;
        post_([weak, serial = request.Serial, result = std::move(result)] {
            const std::shared_ptr<TShared> shared = weak.lock();
            if (!shared || serial != shared->Newest.load() || !shared->Waiting)
                return;
            shared->Waiting = false;
            TDone done = std::move(shared->Done);
            shared->Done = nullptr;
            if (done)
                done(result);
        });
    }
}

} // namespace tunola
