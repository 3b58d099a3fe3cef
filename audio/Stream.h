#pragma once
// One open stream: its byte source, its decoder, and what playback needs around them - the
// read-ahead converted to stereo at the output rate, the map from output frames back to stream
// frames (so positions and the spectrum follow what is heard, not what was decoded), the end
// notifications, and the tags.
//
// Threads: the mixer thread calls Mix and CheckEnd; any other thread may call the rest. Every
// member below `mutex_` is guarded by it. The mixer holds it while it decodes one block, so a
// control call waits for at most one block. Freed() is an atomic flag that the library sets
// before it lets go of a stream, so a stream already taken by the mixer stays silent.

#include "AudioLibrary.h"
#include "ByteSource.h"
#include "Decoder.h"
#include "TagReader.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>
#include <vector>

namespace tunaudio {

class TFft512;
class TNetSource;

// Where the tags are read from when they are asked for.
struct TTagOrigin {
    std::string path;          // a local file
    const std::string* memory; // or bytes held by the stream's memory source (may be null)
};

struct TPendingSync {
    HSYNC sync;
    DWORD channel;
    SyncProc proc;
    void* user;
};

class TStream {
public:
    enum class TState { Stopped, Playing, Paused };

    TStream(DWORD handle, std::unique_ptr<TByteSource> source, std::unique_ptr<TDecoder> decoder,
            TNetSource* net, bool decodeOnly, TTagOrigin tags, size_t prebufferBytes);
    ~TStream();
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    DWORD Handle() const { return handle_; }
    bool DecodeOnly() const { return decodeOnly_; }
    int Rate() const { return rate_; }
    int Channels() const { return channels_; }
    // Bytes of 16-bit PCM per frame of this stream; positions and lengths count in these.
    uint64_t FrameBytes() const { return static_cast<uint64_t>(channels_) * 2u; }

    // Length in frames, -1 when unknown. Once the decoder reached the end it is exact.
    int64_t LengthFrames();
    // The frame that is heard at output frame `audible` (decode-only: the next decoded frame).
    uint64_t PositionFrames(uint64_t audible);
    bool Seek(uint64_t frame);

    // State changes; the library keeps its playing list in step under its own lock.
    TState State();
    // Starts or resumes. `restart` (or an ended stream) starts again from the beginning.
    bool Play(bool restart);
    // Pause and Stop take the output frame heard now: what was mixed after it is taken back,
    // so the stream resumes from what was heard (the mixer drops it from the output).
    bool Pause(uint64_t audible);
    void Stop(uint64_t audible);
    // The output dropped everything after output frame `audible` (a rewrite): a playing stream
    // goes back to the frame heard there and mixes the rest again.
    void Rewind(uint64_t audible);

    HSYNC AddEndSync(HSYNC id, SyncProc proc, void* user, bool once);

    // Mixer thread: adds up to `frames` stereo frames at `outRate` into `mix`, which will be
    // heard from output frame `outStart` on, and returns how many. `audible` is the output
    // frame heard now.
    size_t Mix(float* mix, size_t frames, int outRate, uint64_t outStart, uint64_t audible);
    // Mixer thread: true while the stream still has to be mixed (playing, or its last frames
    // are not heard yet). When the end has just been heard, the stream stops and `fired`
    // receives its end notifications, to be called with no lock held.
    bool CheckEnd(uint64_t audible, std::vector<TPendingSync>& fired);

    // 256 FFT magnitudes of the 512 frames ending at the heard position (decode-only streams:
    // of the next 512 decoded frames). False for a decode-only stream at its end.
    bool Spectrum(uint64_t audible, float* out, std::vector<TPendingSync>& fired);
    // Decode-only streams: decodes into 16-bit or float samples; returns bytes written.
    long ReadPcm(void* buffer, size_t bytes, bool asFloat, std::vector<TPendingSync>& fired);

    TTags Tags();
    // File positions: 0 read position, 1 bytes available (downloaded), 2 total size.
    uint64_t FilePosition(DWORD mode);

    void MarkFreed();
    bool Freed() const { return freed_.load(); }

private:
    struct TRecord { // output frames [outStart, outStart + count) came from stream frames
        uint64_t outStart;
        uint64_t count;
        double streamStart;
        double ratio;
    };

    // The (fractional) stream frame heard at output frame `audible`.
    double HeardAtLocked(uint64_t audible) const;
    uint64_t PositionFramesLocked(uint64_t audible) const;
    void RewindLocked(uint64_t audible);
    bool SeekLocked(uint64_t frame);
    long DecodeLocked(float* native, long frames, uint64_t firstFrame);
    bool FillLocked(size_t needFrames);
    void ResetPlaybackLocked(uint64_t frame);
    void PushHistoryLocked(const float* native, long frames);
    bool NetStalledLocked();
    void CollectEndLocked(std::vector<TPendingSync>& fired);
    double ConsumedLocked() const { return static_cast<double>(srcBase_) + srcPos_; }

    const DWORD handle_;
    const bool decodeOnly_;
    const int rate_;
    const int channels_;
    const size_t prebufferBytes_;
    std::atomic<bool> freed_{false};

    std::mutex mutex_;
    std::unique_ptr<TByteSource> source_; // declared before the decoder, which reads it
    TNetSource* net_;                     // the source, when it is a download
    std::unique_ptr<TDecoder> decoder_;
    TTagOrigin tagOrigin_;
    std::optional<TTags> tags_;

    TState state_ = TState::Stopped;
    uint64_t nextFrame_ = 0; // the frame the decoder gives next
    bool decoderEnded_ = false;
    std::optional<uint64_t> knownLength_; // set when the decoder reached its end
    bool ended_ = false;                  // the end was heard (and notified)
    bool stalled_ = false;                // a download ran dry; waits for the pre-buffer again
    std::optional<uint64_t> endOut_;      // output frame after the stream's last frame

    // Decoded frames, stereo, at the stream's rate: src_ holds frames [srcBase_, nextFrame_);
    // srcPos_ is the (fractional, when resampling) read position relative to srcBase_. Frames
    // mixed but not heard yet stay, so that a rewind can mix them again.
    std::vector<float> src_;
    uint64_t srcBase_ = 0;
    double srcPos_ = 0.0;
    std::vector<float> native_; // one decoded block at the decoder's channel count
    std::deque<TRecord> records_;

    // Mono history for the spectrum, indexed by stream frame modulo its size.
    std::vector<float> history_;
    uint64_t historyStart_ = 0; // oldest frame held

    std::unique_ptr<TFft512> fft_;

    std::vector<std::tuple<HSYNC, SyncProc, void*, bool>> syncs_; // id, proc, user, once
};

} // namespace tunaudio
