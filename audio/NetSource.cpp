#include "NetSource.h"

#include <CurlLibrary.h>
#include <LingeringThreads.h>
#include <WebClient.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <memory>

namespace tunaudio {

using tunola::Curl;
using tunola::TCurlApi;

namespace {

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr int64_t kKeepBehind = 64 << 10; // a decoder may step back a little (resync)

struct CallbackContext {
    TNetSource* source;
    CURL* curl;
};

// A list of dead addresses tried one after another, or a stream after a stream, reuses a
// download thread.
constexpr int kDownloadLingerMs = 5000;

} // namespace

TNetSource::TNetSource(std::string url, TNetOptions options)
    : url_(std::move(url)), options_(options) {
    lastProgressMs_ = NowMs();
    static tunola::TLingeringThreads downloads("tunola-net", 0, kDownloadLingerMs);
    // The download says it has ended through its own promise, not through this object, which
    // may be gone the moment it has.
    auto ended = std::make_shared<std::promise<void>>();
    downloadEnded_ = ended->get_future();
    if (!downloads.Run([this, ended] {
            Run();
            // The thread stays for the next download; what the TLS library keeps for it goes.
            if (const TCurlApi* api = Curl(); api && api->threadStop)
                api->threadStop();
            ended->set_value();
        })) {
        std::lock_guard lock(mutex_);
        finished_ = headers_ = failed_ = true;
    }
}

TNetSource::~TNetSource() {
    Abort();
    downloadEnded_.wait();
}

void TNetSource::Run() {
    const TCurlApi* api = Curl();
    const auto cleanup = [api](CURL* c) { api->easyCleanup(c); };
    std::unique_ptr<CURL, decltype(cleanup)> curl(api ? api->easyInit() : nullptr, cleanup);
    CURLcode result = CURLE_FAILED_INIT;
    if (curl) {
        CallbackContext context{this, curl.get()};
        CURL* c = curl.get();
        using WriteFn = size_t (*)(char*, size_t, size_t, void*);
        using ProgressFn = int (*)(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
        WriteFn write = [](char* data, size_t size, size_t count, void* user) -> size_t {
            auto* ctx = static_cast<CallbackContext*>(user);
            return ctx->source->Append(data, size * count) == size * count ? size * count : 0;
        };
        ProgressFn progress = [](void* user, curl_off_t, curl_off_t, curl_off_t,
                                 curl_off_t) -> int {
            return static_cast<CallbackContext*>(user)->source->Progress() ? 0 : 1;
        };
        {
            // Append needs the handle to read the headers once the body starts.
            std::lock_guard lock(mutex_);
            curlForHeaders_ = c;
        }
        // The program's shared set-up: no signals, http(s) only, redirects, the connect
        // time-out (name resolution included, so a resolver that never answers cannot hold the
        // open), our agent name.
        tunola::ApplyWebDefaults(*api, c, url_, options_.timeoutMs);
        api->easySetopt(c, CURLOPT_FAILONERROR, 1L);
        if (options_.offset > 0)
            api->easySetopt(c, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(options_.offset));
        api->easySetopt(c, CURLOPT_WRITEFUNCTION, write);
        api->easySetopt(c, CURLOPT_WRITEDATA, &context);
        api->easySetopt(c, CURLOPT_NOPROGRESS, 0L);
        api->easySetopt(c, CURLOPT_XFERINFOFUNCTION, progress);
        api->easySetopt(c, CURLOPT_XFERINFODATA, &context);
        result = api->easyPerform(c);
        std::lock_guard lock(mutex_);
        curlForHeaders_ = nullptr;
    }
    if (options_.onData)
        options_.onData(nullptr, 0);
    std::lock_guard lock(mutex_);
    finished_ = true;
    headers_ = true;
    failed_ = result != CURLE_OK;
    changed_.notify_all();
}

void TNetSource::OnHeadersLocked(void* handle) {
    CURL* c = static_cast<CURL*>(handle);
    const TCurlApi* api = Curl(); // loaded: the download that calls this runs through it
    curl_off_t length = -1;
    if (api->easyGetinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length >= 0)
        size_ = static_cast<int64_t>(length);
    const char* type = nullptr;
    if (api->easyGetinfo(c, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        contentType_ = type;
    const char* effective = nullptr;
    if (api->easyGetinfo(c, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        effectiveUrl_ = effective;
    headers_ = true;
}

bool TNetSource::KeepWholeLocked() const {
    return size_ >= 0 && size_ <= kWholeFileLimit;
}

size_t TNetSource::RetainLimitLocked() const {
    if (KeepWholeLocked())
        return std::numeric_limits<size_t>::max();
    return probing_ ? kProbeLimit : kWindowBytes;
}

void TNetSource::DropBehindLocked() {
    if (KeepWholeLocked() || probing_)
        return;
    while (chunks_.size() > 1 && base_ + static_cast<int64_t>(kChunk) + kKeepBehind <= position_) {
        chunks_.pop_front();
        base_ += static_cast<int64_t>(kChunk);
    }
}

size_t TNetSource::Append(const char* data, size_t size) {
    if (options_.onData)
        options_.onData(data, size);
    std::unique_lock lock(mutex_);
    if (!headers_ && curlForHeaders_)
        OnHeadersLocked(curlForHeaders_);
    size_t offset = 0;
    while (offset < size) {
        if (aborted_)
            return 0;
        DropBehindLocked();
        const auto retained = static_cast<size_t>(end_ - base_);
        const size_t limit = RetainLimitLocked();
        if (retained >= limit) {
            // The reader is behind (a paused live stream): wait for room. The stall clock
            // does not run meanwhile; the server is not the one that is slow.
            changed_.wait(lock);
            lastProgressMs_ = NowMs();
            continue;
        }
        if (chunks_.empty() || chunks_.back().size() == kChunk) {
            chunks_.emplace_back();
            chunks_.back().reserve(kChunk);
        }
        std::vector<char>& back = chunks_.back();
        const size_t n = std::min({size - offset, kChunk - back.size(), limit - retained});
        back.insert(back.end(), data + offset, data + offset + n);
        end_ += static_cast<int64_t>(n);
        offset += n;
        changed_.notify_all();
    }
    lastProgressMs_ = NowMs();
    return size;
}

bool TNetSource::Progress() {
    std::lock_guard lock(mutex_);
    if (aborted_)
        return false;
    // A server that stops sending (or never starts) fails the download after the time-out.
    return NowMs() - lastProgressMs_ <= options_.timeoutMs;
}

bool TNetSource::WaitForBytes(size_t bytes) {
    std::unique_lock lock(mutex_);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(3 * options_.timeoutMs);
    changed_.wait_until(lock, deadline, [&] {
        return aborted_ || finished_ || end_ >= static_cast<int64_t>(bytes);
    });
    return !aborted_ && end_ > 0;
}

bool TNetSource::WaitForAll(size_t limit) {
    std::unique_lock lock(mutex_);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(3 * options_.timeoutMs);
    changed_.wait_until(lock, deadline, [&] {
        return aborted_ || finished_ || end_ > static_cast<int64_t>(limit);
    });
    return finished_ && !failed_ && !aborted_ && end_ <= static_cast<int64_t>(limit);
}

void TNetSource::ReleaseProbe() {
    std::lock_guard lock(mutex_);
    probing_ = false;
    changed_.notify_all();
}

void TNetSource::Abort() {
    std::lock_guard lock(mutex_);
    aborted_ = true;
    changed_.notify_all();
}

std::string TNetSource::ContentType() const {
    std::lock_guard lock(mutex_);
    return contentType_;
}

std::string TNetSource::EffectiveUrl() const {
    std::lock_guard lock(mutex_);
    return effectiveUrl_.empty() ? url_ : effectiveUrl_;
}

int64_t TNetSource::Downloaded() const {
    std::lock_guard lock(mutex_);
    return end_;
}

bool TNetSource::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_ || aborted_;
}

size_t TNetSource::Available() const {
    std::lock_guard lock(mutex_);
    return end_ > position_ ? static_cast<size_t>(end_ - position_) : 0;
}

size_t TNetSource::Read(void* buffer, size_t size) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
        const bool probeFull = probing_ && static_cast<size_t>(end_ - base_) >= RetainLimitLocked();
        return aborted_ || finished_ || position_ < end_ || probeFull;
    });
    if (aborted_ || position_ >= end_ || position_ < base_)
        return 0;
    auto* out = static_cast<char*>(buffer);
    size_t copied = 0;
    while (copied < size && position_ < end_) {
        const auto rel = static_cast<size_t>(position_ - base_);
        const std::vector<char>& chunk = chunks_[rel / kChunk];
        const size_t inChunk = rel % kChunk;
        const size_t n = std::min(size - copied, chunk.size() - inChunk);
        std::memcpy(out + copied, chunk.data() + inChunk, n);
        copied += n;
        position_ += static_cast<int64_t>(n);
    }
    changed_.notify_all(); // the writer may be waiting for room
    return copied;
}

bool TNetSource::Seek(int64_t offset) {
    std::lock_guard lock(mutex_);
    if (offset < base_)
        return false;
    if (offset <= end_ || (KeepWholeLocked() && offset <= size_)) {
        position_ = offset;
        return true;
    }
    return false;
}

int64_t TNetSource::Tell() const {
    std::lock_guard lock(mutex_);
    return position_;
}

int64_t TNetSource::Size() const {
    std::lock_guard lock(mutex_);
    return size_;
}

bool TNetSource::Seekable() const {
    std::lock_guard lock(mutex_);
    return KeepWholeLocked();
}

} // namespace tunaudio
