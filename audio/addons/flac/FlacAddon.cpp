// FLAC decoder add-on for Tunola's audio library, built as b_flac.so beside the program.
// It speaks only the C interface of AddonApi.h: the library hands it a byte source and takes
// float frames, sample-accurate seeks and the TITLE/ARTIST comments back.

#include "AddonApi.h"

#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct DecoderDeleter {
    void operator()(FLAC__StreamDecoder* d) const { FLAC__stream_decoder_delete(d); }
};

struct FlacStream {
    const TunAddonSource* source = nullptr;
    std::unique_ptr<FLAC__StreamDecoder, DecoderDeleter> decoder;
    unsigned rate = 0;
    unsigned channels = 0;
    unsigned bits = 0;
    int64_t total = -1;
    std::vector<float> pending; // decoded frames not handed out yet
    size_t pendingPos = 0;      // in samples
    bool badFrame = false;      // a frame whose shape differs from the stream info
    std::string title;
    std::string artist;
};

FlacStream& StreamOf(void* client) {
    return *static_cast<FlacStream*>(client);
}

FLAC__StreamDecoderReadStatus ReadCallback(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                           size_t* bytes, void* client) {
    const TunAddonSource* src = StreamOf(client).source;
    if (*bytes == 0)
        return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    *bytes = src->read(src->context, buffer, *bytes);
    return *bytes == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM
                       : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderSeekStatus SeekCallback(const FLAC__StreamDecoder*, FLAC__uint64 offset,
                                           void* client) {
    const TunAddonSource* src = StreamOf(client).source;
    if (!src->seekable)
        return FLAC__STREAM_DECODER_SEEK_STATUS_UNSUPPORTED;
    return src->seek(src->context, static_cast<int64_t>(offset)) == 0
               ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
               : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
}

FLAC__StreamDecoderTellStatus TellCallback(const FLAC__StreamDecoder*, FLAC__uint64* offset,
                                           void* client) {
    const TunAddonSource* src = StreamOf(client).source;
    const int64_t at = src->tell(src->context);
    if (at < 0)
        return FLAC__STREAM_DECODER_TELL_STATUS_ERROR;
    *offset = static_cast<FLAC__uint64>(at);
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus LengthCallback(const FLAC__StreamDecoder*, FLAC__uint64* length,
                                               void* client) {
    const TunAddonSource* src = StreamOf(client).source;
    const int64_t size = src->size(src->context);
    if (size < 0)
        return FLAC__STREAM_DECODER_LENGTH_STATUS_UNSUPPORTED;
    *length = static_cast<FLAC__uint64>(size);
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool EofCallback(const FLAC__StreamDecoder*, void* client) {
    const TunAddonSource* src = StreamOf(client).source;
    const int64_t size = src->size(src->context);
    return size >= 0 && src->tell(src->context) >= size;
}

FLAC__StreamDecoderWriteStatus WriteCallback(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                             const FLAC__int32* const buffer[], void* client) {
    FlacStream& s = StreamOf(client);
    if (frame->header.channels != s.channels || frame->header.bits_per_sample != s.bits) {
        s.badFrame = true;
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    const float scale = 1.0f / static_cast<float>(1u << (s.bits - 1));
    const unsigned n = frame->header.blocksize;
    if (s.pendingPos > 0) { // drop what was handed out before growing
        s.pending.erase(s.pending.begin(),
                        s.pending.begin() + static_cast<std::ptrdiff_t>(s.pendingPos));
        s.pendingPos = 0;
    }
    const size_t old = s.pending.size();
    s.pending.resize(old + static_cast<size_t>(n) * s.channels);
    float* out = s.pending.data() + old;
    for (unsigned i = 0; i < n; ++i)
        for (unsigned c = 0; c < s.channels; ++c)
            *out++ = static_cast<float>(buffer[c][i]) * scale;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void TakeComment(FlacStream& s, const FLAC__StreamMetadata_VorbisComment_Entry& entry) {
    const std::string text(reinterpret_cast<const char*>(entry.entry), entry.length);
    const size_t eq = text.find('=');
    if (eq == std::string::npos)
        return;
    std::string key = text.substr(0, eq);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (key == "TITLE" && s.title.empty())
        s.title = text.substr(eq + 1);
    else if (key == "ARTIST" && s.artist.empty())
        s.artist = text.substr(eq + 1);
}

void MetadataCallback(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                      void* client) {
    FlacStream& s = StreamOf(client);
    if (metadata->type == FLAC__METADATA_TYPE_STREAMINFO) {
        const auto& info = metadata->data.stream_info;
        s.rate = info.sample_rate;
        s.channels = info.channels;
        s.bits = info.bits_per_sample;
        s.total = info.total_samples > 0 ? static_cast<int64_t>(info.total_samples) : -1;
    } else if (metadata->type == FLAC__METADATA_TYPE_VORBIS_COMMENT) {
        const auto& vc = metadata->data.vorbis_comment;
        for (FLAC__uint32 i = 0; i < vc.num_comments; ++i)
            TakeComment(s, vc.comments[i]);
    }
}

void ErrorCallback(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {
    // Lost sync and bad frames: libFLAC skips to the next frame by itself.
}

// "fLaC" at the start, possibly behind an ID3v2 tag. Checked before libFLAC is started so that
// an MP3 with an ID3v2 tag is not searched to its end for a FLAC frame.
bool HasFlacMagic(const TunAddonSource* src) {
    unsigned char head[10] = {};
    if (src->read(src->context, head, 4) != 4)
        return false;
    int64_t at = 0;
    if (std::memcmp(head, "ID3", 3) == 0) {
        if (src->read(src->context, head + 4, 6) != 6)
            return false;
        const int64_t size = (int64_t{head[6] & 0x7F} << 21) | (int64_t{head[7] & 0x7F} << 14) |
                             (int64_t{head[8] & 0x7F} << 7) | int64_t{head[9] & 0x7F};
        at = 10 + size + ((head[5] & 0x10) ? 10 : 0);
        if (src->seek(src->context, at) != 0 || src->read(src->context, head, 4) != 4)
            return false;
    }
    return std::memcmp(head, "fLaC", 4) == 0 && src->seek(src->context, 0) == 0;
}

void* Open(const TunAddonSource* source, TunAddonStreamInfo* info) {
    if (!source || !info || !HasFlacMagic(source))
        return nullptr;
    auto s = std::make_unique<FlacStream>();
    s->source = source;
    s->decoder.reset(FLAC__stream_decoder_new());
    if (!s->decoder)
        return nullptr;
    FLAC__stream_decoder_set_md5_checking(s->decoder.get(), false);
    FLAC__stream_decoder_set_metadata_respond(s->decoder.get(), FLAC__METADATA_TYPE_VORBIS_COMMENT);
    if (FLAC__stream_decoder_init_stream(s->decoder.get(), ReadCallback, SeekCallback, TellCallback,
                                         LengthCallback, EofCallback, WriteCallback,
                                         MetadataCallback, ErrorCallback,
                                         s.get()) != FLAC__STREAM_DECODER_INIT_STATUS_OK)
        return nullptr;
    if (!FLAC__stream_decoder_process_until_end_of_metadata(s->decoder.get()))
        return nullptr;
    if (s->rate == 0 || s->rate > 655350 || s->channels < 1 || s->channels > 8 || s->bits < 4 ||
        s->bits > 32)
        return nullptr;
    info->rate = static_cast<int>(s->rate);
    info->channels = static_cast<int>(s->channels);
    info->frames = s->total;
    return s.release();
}

long Read(void* stream, float* out, long frames) {
    FlacStream& s = *static_cast<FlacStream*>(stream);
    const size_t want = static_cast<size_t>(frames) * s.channels;
    size_t done = 0;
    int idle = 0;
    while (done < want) {
        const size_t ready = s.pending.size() - s.pendingPos;
        if (ready > 0) {
            const size_t n = std::min(ready, want - done);
            std::memcpy(out + done, s.pending.data() + s.pendingPos, n * sizeof(float));
            s.pendingPos += n;
            done += n;
            idle = 0;
            continue;
        }
        const FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(s.decoder.get());
        if (s.badFrame || state == FLAC__STREAM_DECODER_END_OF_STREAM ||
            state >= FLAC__STREAM_DECODER_OGG_ERROR)
            break;
        // A run of calls that yield nothing means garbage libFLAC cannot get through.
        if (!FLAC__stream_decoder_process_single(s.decoder.get()) || ++idle > 256)
            break;
    }
    return static_cast<long>(done / s.channels);
}

int Seek(void* stream, int64_t frame) {
    FlacStream& s = *static_cast<FlacStream*>(stream);
    if (frame < 0 || (s.total >= 0 && frame > s.total))
        return -1;
    s.pending.clear();
    s.pendingPos = 0;
    s.badFrame = false;
    if (s.total >= 0 && frame == s.total) {
        // libFLAC cannot seek onto the end itself; decode through the last frame instead.
        if (!FLAC__stream_decoder_seek_absolute(s.decoder.get(),
                                                static_cast<FLAC__uint64>(frame - 1)))
            return -1;
        s.pending.clear();
        return 0;
    }
    if (FLAC__stream_decoder_seek_absolute(s.decoder.get(), static_cast<FLAC__uint64>(frame)))
        return 0;
    // A failed seek leaves the decoder in the seek-error state; flushing makes it usable.
    FLAC__stream_decoder_flush(s.decoder.get());
    return -1;
}

size_t Tag(void* stream, const char* key, char* out, size_t size) {
    if (!out || size == 0)
        return 0;
    const FlacStream& s = *static_cast<FlacStream*>(stream);
    const std::string& text = std::strcmp(key, "TITLE") == 0    ? s.title
                              : std::strcmp(key, "ARTIST") == 0 ? s.artist
                                                                : std::string();
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return n;
}

void Close(void* stream) {
    if (stream) {
        auto* s = static_cast<FlacStream*>(stream);
        FLAC__stream_decoder_finish(s->decoder.get());
        delete s;
    }
}

const TunAddonFormat kFormats[] = {{"FLAC", "*.flac"}};

const TunAddon kAddon = {
    TUN_ADDON_API_VERSION, 0x01000000u, 1, kFormats, Open, Read, Seek, Tag, Close,
};

} // namespace

#ifdef _WIN32
#define TUN_ADDON_EXPORT __declspec(dllexport)
#else
#define TUN_ADDON_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TUN_ADDON_EXPORT const TunAddon* tunola_audio_addon(void) {
    return &kAddon;
}
