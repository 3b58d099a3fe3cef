#pragma once
// An http(s) download as a byte source.
//
// Threads: the constructor hands the download to a thread of a small pool (TLingeringThreads,
// whose idle threads wait a few seconds for the next download); it runs libcurl and appends what
// arrives to a chunked buffer; the decoder reads it from another thread (the caller that
// opens the stream, then the mixer). The buffer, the counters and the state flags are shared
// under `mutex_`; `changed_` wakes a reader waiting for bytes and a writer waiting for room.
//
// A download with a known size up to kWholeFileLimit is kept whole, so the stream can seek
// anywhere in it; anything else (a live stream, a very large file) keeps a bounded window
// around the read position.

#include "ByteSource.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <vector>

namespace tunaudio {

struct TNetOptions {
    int timeoutMs = 5000;      // connect (with name resolution) and stall time-out
    size_t prebufferBytes = 0; // bytes to hold before playback starts or resumes after a stall
    uint64_t offset = 0;       // start the download this far into the file
    // Sees every block as it arrives, then (nullptr, 0) at the end; download thread.
    std::function<void(const void*, size_t)> onData;
};

class TNetSource final : public TByteSource {
public:
    static constexpr int64_t kWholeFileLimit = 64ll << 20;
    static constexpr size_t kWindowBytes = 2u << 20; // live streams: kept around the reader
    static constexpr size_t kProbeLimit = 8u << 20;  // before the decoder is known

    // Starts the download at once. `url` must be http or https (checked by the caller).
    TNetSource(std::string url, TNetOptions options);
    ~TNetSource() override;
    TNetSource(const TNetSource&) = delete;
    TNetSource& operator=(const TNetSource&) = delete;

    // Waits until `bytes` have arrived, the download ended or failed, or the open deadline
    // passed. False when the download failed before anything usable arrived.
    bool WaitForBytes(size_t bytes);
    // Waits for the whole download, at most `limit` bytes. False on failure or when larger.
    bool WaitForAll(size_t limit);
    // After the decoder is chosen, bytes far behind the reader may be dropped.
    void ReleaseProbe();
    // Stops the download and wakes every waiting reader; later reads return 0.
    void Abort();

    std::string ContentType() const;
    std::string EffectiveUrl() const;
    int64_t Downloaded() const;
    bool Finished() const;
    // Bytes already there ahead of the read position.
    size_t Available() const;

    size_t Read(void* buffer, size_t size) override;
    bool Seek(int64_t offset) override;
    int64_t Tell() const override;
    int64_t Size() const override;
    bool Seekable() const override;
    bool RandomAccess() const override { return false; }

private:
    static constexpr size_t kChunk = 64u << 10;

    void Run();
    // Called by libcurl on the download thread.
    size_t Append(const char* data, size_t size);
    bool KeepWholeLocked() const;
    size_t RetainLimitLocked() const;
    void DropBehindLocked();
    void OnHeadersLocked(void* curl);
    bool Progress();

    const std::string url_;
    const TNetOptions options_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<char>> chunks_; // the first chunk starts at `base_`
    int64_t base_ = 0;
    int64_t end_ = 0;      // bytes downloaded
    int64_t position_ = 0; // read position
    int64_t size_ = -1;    // from Content-Length
    bool headers_ = false;
    bool finished_ = false;
    bool failed_ = false;
    bool aborted_ = false;
    bool probing_ = true;
    std::string contentType_;
    std::string effectiveUrl_;
    int64_t lastProgressMs_ = 0;     // steady clock, for the stall check
    void* curlForHeaders_ = nullptr; // the download thread's handle while it runs

    std::future<void> downloadEnded_; // ready once the download's thread is done with this
};

} // namespace tunaudio
