#include "Stream.h"

#include "Fft512.h"
#include "NetSource.h"

#include <algorithm>
#include <cmath>

namespace tunaudio {

namespace {

constexpr long kDecodeBlock = 2048;         // frames decoded at a time
constexpr size_t kHistoryFrames = 1u << 16; // spectrum history: covers the output buffer
constexpr size_t kLowWater = 16u << 10;     // a download with less ahead stalls ...
constexpr size_t kResumeBytes = 64u << 10;  // ... until this much (or the pre-buffer) is there

// Full scale is 32768, as the decoders scale 16-bit input, so 16-bit files come back unchanged.
int16_t ToPcm16(float v) {
    return static_cast<int16_t>(std::clamp(std::lrint(v * 32768.0f), -32768L, 32767L));
}

float CatmullRom(float a, float b, float c, float d, float t) {
    return b +
           0.5f * t *
               (c - a + t * (2.0f * a - 5.0f * b + 4.0f * c - d + t * (3.0f * (b - c) + d - a)));
}

} // namespace

TStream::TStream(DWORD handle, std::unique_ptr<TByteSource> source,
                 std::unique_ptr<TDecoder> decoder, TNetSource* net, bool decodeOnly,
                 TTagOrigin tags, size_t prebufferBytes)
    : handle_(handle), decodeOnly_(decodeOnly), rate_(decoder->Rate()),
      channels_(decoder->Channels()), prebufferBytes_(prebufferBytes), source_(std::move(source)),
      net_(net), decoder_(std::move(decoder)), tagOrigin_(std::move(tags)) {}

TStream::~TStream() {
    // A decoder blocked on a download must come back before it is destroyed.
    if (net_)
        net_->Abort();
}

void TStream::MarkFreed() {
    freed_.store(true);
    if (net_)
        net_->Abort();
}

int64_t TStream::LengthFrames() {
    std::lock_guard lock(mutex_);
    if (knownLength_)
        return static_cast<int64_t>(*knownLength_);
    return decoder_->LengthFrames();
}

double TStream::HeardAtLocked(uint64_t audible) const {
    const double consumed = std::min(ConsumedLocked(), static_cast<double>(nextFrame_));
    if (decodeOnly_ || records_.empty())
        return consumed;
    double p = records_.front().streamStart;
    for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
        if (it->outStart > audible)
            continue;
        const uint64_t into = std::min(audible - it->outStart, it->count);
        p = it->streamStart + static_cast<double>(into) * it->ratio;
        break;
    }
    return std::clamp(p, 0.0, consumed);
}

uint64_t TStream::PositionFramesLocked(uint64_t audible) const {
    return static_cast<uint64_t>(HeardAtLocked(audible));
}

void TStream::RewindLocked(uint64_t audible) {
    if (decodeOnly_)
        return;
    const double heard = HeardAtLocked(audible);
    while (!records_.empty() && records_.back().outStart >= audible)
        records_.pop_back();
    if (!records_.empty()) {
        TRecord& last = records_.back();
        last.count = std::min(last.count, audible - last.outStart);
    }
    srcPos_ = std::max(0.0, heard - static_cast<double>(srcBase_));
    if (endOut_ && *endOut_ > audible)
        endOut_.reset();
}

void TStream::Rewind(uint64_t audible) {
    std::lock_guard lock(mutex_);
    if (state_ == TState::Playing && !freed_)
        RewindLocked(audible);
}

uint64_t TStream::PositionFrames(uint64_t audible) {
    std::lock_guard lock(mutex_);
    return PositionFramesLocked(audible);
}

void TStream::ResetPlaybackLocked(uint64_t frame) {
    nextFrame_ = frame;
    srcBase_ = frame;
    srcPos_ = 0.0;
    src_.clear();
    records_.clear();
    historyStart_ = frame;
    decoderEnded_ = false;
    ended_ = false;
    endOut_.reset();
}

bool TStream::Seek(uint64_t frame) {
    std::lock_guard lock(mutex_);
    return SeekLocked(frame);
}

bool TStream::SeekLocked(uint64_t frame) {
    if (!decoder_->CanSeek())
        return false;
    const int64_t length =
        knownLength_ ? static_cast<int64_t>(*knownLength_) : decoder_->LengthFrames();
    if (length >= 0 && frame > static_cast<uint64_t>(length))
        return false;
    if (!decoder_->Seek(static_cast<int64_t>(frame)))
        return false;
    ResetPlaybackLocked(frame);
    return true;
}

TStream::TState TStream::State() {
    std::lock_guard lock(mutex_);
    return state_;
}

bool TStream::Play(bool restart) {
    std::lock_guard lock(mutex_);
    if (decodeOnly_ || freed_)
        return false;
    if (restart || ended_) {
        const bool atStart = nextFrame_ == 0 && srcBase_ == 0 && srcPos_ == 0.0 && !ended_;
        if (!atStart && !SeekLocked(0))
            return false;
    }
    state_ = TState::Playing;
    return true;
}

bool TStream::Pause(uint64_t audible) {
    std::lock_guard lock(mutex_);
    if (state_ != TState::Playing)
        return false;
    if (!ended_)
        RewindLocked(audible);
    state_ = TState::Paused;
    return true;
}

void TStream::Stop(uint64_t audible) {
    std::lock_guard lock(mutex_);
    if (state_ == TState::Playing && !ended_)
        RewindLocked(audible);
    state_ = TState::Stopped;
}

HSYNC TStream::AddEndSync(HSYNC id, SyncProc proc, void* user, bool once) {
    std::lock_guard lock(mutex_);
    syncs_.push_back({id, proc, user, once});
    return id;
}

long TStream::DecodeLocked(float* native, long frames, uint64_t firstFrame) {
    const long got = decoder_->Read(native, frames);
    if (got <= 0) {
        decoderEnded_ = true;
        knownLength_ = firstFrame;
        return 0;
    }
    return got;
}

void TStream::PushHistoryLocked(const float* native, long frames) {
    if (history_.empty())
        history_.assign(kHistoryFrames, 0.0f);
    const float scale = 1.0f / static_cast<float>(channels_);
    for (long i = 0; i < frames; ++i) {
        float sum = 0.0f;
        for (int c = 0; c < channels_; ++c)
            sum += native[i * channels_ + c];
        history_[(nextFrame_ + static_cast<uint64_t>(i)) & (kHistoryFrames - 1)] = sum * scale;
    }
    const uint64_t end = nextFrame_ + static_cast<uint64_t>(frames);
    if (end - historyStart_ > kHistoryFrames)
        historyStart_ = end - kHistoryFrames;
}

bool TStream::NetStalledLocked() {
    if (!net_ || net_->Finished()) {
        stalled_ = false;
        return false;
    }
    const size_t ahead = net_->Available();
    if (stalled_) {
        if (ahead < std::max(prebufferBytes_, kResumeBytes))
            return true;
        stalled_ = false;
        return false;
    }
    if (ahead < kLowWater) {
        stalled_ = true;
        return true;
    }
    return false;
}

bool TStream::FillLocked(size_t needFrames) {
    while (!decoderEnded_) {
        const size_t have = src_.size() / 2;
        const auto used = static_cast<size_t>(srcPos_);
        if (have >= used + needFrames)
            return true;
        if (NetStalledLocked())
            return false;
        native_.resize(static_cast<size_t>(kDecodeBlock) * static_cast<size_t>(channels_));
        const long got = DecodeLocked(native_.data(), kDecodeBlock, nextFrame_);
        if (got == 0)
            break;
        PushHistoryLocked(native_.data(), got);
        nextFrame_ += static_cast<uint64_t>(got);
        // Stereo for the mix: mono is doubled, more channels fold into left and right.
        const size_t old = src_.size();
        src_.resize(old + static_cast<size_t>(got) * 2);
        float* dst = src_.data() + old;
        const float* in = native_.data();
        for (long i = 0; i < got; ++i, in += channels_, dst += 2) {
            if (channels_ == 1) {
                dst[0] = dst[1] = in[0];
            } else if (channels_ == 2) {
                dst[0] = in[0];
                dst[1] = in[1];
            } else {
                float l = 0.0f, r = 0.0f;
                for (int c = 0; c < channels_; ++c)
                    (c % 2 == 0 ? l : r) += in[c];
                const float scale = 1.0f / static_cast<float>((channels_ + 1) / 2);
                dst[0] = l * scale;
                dst[1] = r * scale;
            }
        }
    }
    return false;
}

size_t TStream::Mix(float* mix, size_t frames, int outRate, uint64_t outStart, uint64_t audible) {
    std::lock_guard lock(mutex_);
    if (state_ != TState::Playing || freed_ || decodeOnly_)
        return 0;
    while (records_.size() > 1 && records_[1].outStart <= audible)
        records_.pop_front();
    if (endOut_)
        return 0; // everything was mixed; waiting for it to be heard

    size_t produced = 0;
    const double startPos = ConsumedLocked();
    if (rate_ == outRate) {
        FillLocked(frames);
        const size_t have = src_.size() / 2 - static_cast<size_t>(srcPos_);
        produced = std::min(frames, have);
        const float* in = src_.data() + static_cast<size_t>(srcPos_) * 2;
        for (size_t i = 0; i < produced * 2; ++i)
            mix[i] += in[i];
        srcPos_ += static_cast<double>(produced);
    } else {
        const double ratio = static_cast<double>(rate_) / outRate;
        FillLocked(static_cast<size_t>(std::ceil(static_cast<double>(frames) * ratio)) + 3);
        const auto have = static_cast<int64_t>(src_.size() / 2);
        const auto at = [&](int64_t i, int c) -> float {
            if (i < 0)
                i = 0;
            return i < have ? src_[static_cast<size_t>(i) * 2 + c] : 0.0f;
        };
        for (; produced < frames; ++produced) {
            const double pos = srcPos_ + static_cast<double>(produced) * ratio;
            const auto i = static_cast<int64_t>(pos);
            // Before the decoder's end the interpolator needs two frames ahead.
            if (i >= have || (!decoderEnded_ && i + 2 >= have))
                break;
            const auto t = static_cast<float>(pos - static_cast<double>(i));
            for (int c = 0; c < 2; ++c)
                mix[produced * 2 + c] +=
                    CatmullRom(at(i - 1, c), at(i, c), at(i + 1, c), at(i + 2, c), t);
        }
        srcPos_ += static_cast<double>(produced) * ratio;
    }
    if (produced > 0) {
        const double ratio = static_cast<double>(rate_) / outRate;
        TRecord& last =
            records_.empty() ? records_.emplace_back(TRecord{0, 0, 0, 0}) : records_.back();
        const bool contiguous = last.count > 0 && last.outStart + last.count == outStart &&
                                last.ratio == ratio &&
                                std::abs(last.streamStart + last.count * ratio - startPos) < 1e-6;
        if (contiguous)
            last.count += produced;
        else if (last.count == 0)
            last = TRecord{outStart, produced, startPos, ratio};
        else
            records_.push_back(TRecord{outStart, produced, startPos, ratio});
    }
    if (decoderEnded_ && ConsumedLocked() >= static_cast<double>(nextFrame_))
        endOut_ = outStart + produced;

    // Drop what was heard, keeping one frame before it for the interpolator; in steps of a
    // decode block, so the copy is rare.
    const double heard = std::min(HeardAtLocked(audible), ConsumedLocked());
    const auto heardAt = static_cast<size_t>(std::max(0.0, heard - static_cast<double>(srcBase_)));
    if (heardAt > static_cast<size_t>(kDecodeBlock) + 1) {
        const size_t drop = heardAt - 1;
        src_.erase(src_.begin(), src_.begin() + static_cast<std::ptrdiff_t>(drop * 2));
        srcBase_ += drop;
        srcPos_ -= static_cast<double>(drop);
    }
    return produced;
}

void TStream::CollectEndLocked(std::vector<TPendingSync>& fired) {
    for (const auto& [id, proc, user, once] : syncs_)
        fired.push_back({id, handle_, proc, user});
    std::erase_if(syncs_, [](const auto& s) { return std::get<3>(s); });
}

bool TStream::CheckEnd(uint64_t audible, std::vector<TPendingSync>& fired) {
    std::lock_guard lock(mutex_);
    if (freed_ || state_ != TState::Playing)
        return false;
    if (endOut_ && audible >= *endOut_ && !ended_) {
        ended_ = true;
        state_ = TState::Stopped;
        CollectEndLocked(fired);
        return false;
    }
    return true;
}

bool TStream::Spectrum(uint64_t audible, float* out, std::vector<TPendingSync>& fired) {
    std::lock_guard lock(mutex_);
    float mono[TFft512::kSize] = {};
    if (decodeOnly_) {
        native_.resize(static_cast<size_t>(TFft512::kSize) * static_cast<size_t>(channels_));
        long got = 0;
        while (got < TFft512::kSize && !decoderEnded_) {
            const long n = DecodeLocked(native_.data() + got * channels_, TFft512::kSize - got,
                                        nextFrame_ + static_cast<uint64_t>(got));
            got += n;
        }
        if (got == 0) {
            if (!ended_) {
                ended_ = true;
                CollectEndLocked(fired);
            }
            return false;
        }
        for (long i = 0; i < got; ++i) {
            float sum = 0.0f;
            for (int c = 0; c < channels_; ++c)
                sum += native_[static_cast<size_t>(i * channels_ + c)];
            mono[i] = sum / static_cast<float>(channels_);
        }
        nextFrame_ += static_cast<uint64_t>(got);
        srcBase_ = nextFrame_;
    } else {
        const uint64_t heard = PositionFramesLocked(audible);
        for (int k = 0; k < TFft512::kSize; ++k) {
            const int64_t f = static_cast<int64_t>(heard) - TFft512::kSize + k;
            if (f >= 0 && static_cast<uint64_t>(f) >= historyStart_ &&
                static_cast<uint64_t>(f) < nextFrame_ && !history_.empty())
                mono[k] = history_[static_cast<uint64_t>(f) & (kHistoryFrames - 1)];
        }
    }
    if (!fft_)
        fft_ = std::make_unique<TFft512>();
    fft_->Magnitudes(mono, out);
    return true;
}

long TStream::ReadPcm(void* buffer, size_t bytes, bool asFloat, std::vector<TPendingSync>& fired) {
    std::lock_guard lock(mutex_);
    if (!decodeOnly_)
        return -1;
    const size_t sampleBytes = asFloat ? sizeof(float) : sizeof(int16_t);
    const size_t frameBytes = sampleBytes * static_cast<size_t>(channels_);
    const auto frames = static_cast<long>(std::min<size_t>(bytes / frameBytes, 1u << 20));
    if (frames == 0)
        return 0;
    native_.resize(static_cast<size_t>(frames) * static_cast<size_t>(channels_));
    long got = 0;
    while (got < frames && !decoderEnded_)
        got += DecodeLocked(native_.data() + got * channels_, frames - got,
                            nextFrame_ + static_cast<uint64_t>(got));
    if (got == 0) {
        if (!ended_) {
            ended_ = true;
            CollectEndLocked(fired);
        }
        return -1;
    }
    nextFrame_ += static_cast<uint64_t>(got);
    srcBase_ = nextFrame_;
    const size_t samples = static_cast<size_t>(got) * static_cast<size_t>(channels_);
    if (asFloat) {
        std::copy_n(native_.data(), samples, static_cast<float*>(buffer));
    } else {
        auto* out = static_cast<int16_t*>(buffer);
        for (size_t i = 0; i < samples; ++i) {
            out[i] = ToPcm16(native_[i]);
        }
    }
    return static_cast<long>(samples * sampleBytes);
}

TTags TStream::Tags() {
    std::lock_guard lock(mutex_);
    if (!tags_) {
        if (decoder_->Container() == TContainer::Addon)
            tags_ = TTags{decoder_->Tag("TITLE"), decoder_->Tag("ARTIST")};
        else if (tagOrigin_.memory)
            tags_ = ReadMemoryTags(*tagOrigin_.memory, decoder_->Container());
        else if (!tagOrigin_.path.empty())
            tags_ = ReadFileTags(tagOrigin_.path, decoder_->Container());
        else
            tags_ = TTags{};
    }
    return *tags_;
}

uint64_t TStream::FilePosition(DWORD mode) {
    std::lock_guard lock(mutex_);
    const auto orUnknown = [](int64_t v) { return v < 0 ? kUnknown : static_cast<uint64_t>(v); };
    switch (mode) {
    case 0:
        return orUnknown(source_->Tell());
    case kFilePosDownload:
        return orUnknown(net_ ? net_->Downloaded() : source_->Size());
    case kFilePosEnd:
        return orUnknown(source_->Size());
    default:
        return kUnknown;
    }
}

} // namespace tunaudio
