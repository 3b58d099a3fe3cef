#include "VorbisDecoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>

namespace tunaudio {

namespace {

struct VorbisFileDeleter {
    void operator()(OggVorbis_File* vf) const {
        ov_clear(vf);
        delete vf;
    }
};
using VorbisFile = std::unique_ptr<OggVorbis_File, VorbisFileDeleter>;

size_t ReadCallback(void* buffer, size_t size, size_t count, void* io) {
    if (size == 0)
        return 0;
    return static_cast<TByteSource*>(io)->Read(buffer, size * count) / size;
}

int SeekCallback(void* io, ogg_int64_t offset, int whence) {
    return SeekFrom(*static_cast<TByteSource*>(io), offset, whence) < 0 ? -1 : 0;
}

long TellCallback(void* io) {
    return static_cast<long>(static_cast<TByteSource*>(io)->Tell());
}

VorbisFile OpenFile(TByteSource& source, bool seekable) {
    ov_callbacks callbacks{};
    callbacks.read_func = ReadCallback;
    callbacks.seek_func = seekable ? SeekCallback : nullptr;
    callbacks.tell_func = TellCallback;
    callbacks.close_func = nullptr;
    VorbisFile vf(new OggVorbis_File{});
    // On failure the open has already released what it allocated; ov_clear on the cleared
    // structure is harmless.
    if (ov_open_callbacks(&source, vf.get(), nullptr, 0, callbacks) != 0)
        return nullptr;
    return vf;
}

class TVorbisDecoder final : public TDecoder {
public:
    TVorbisDecoder(VorbisFile vf, int rate, int channels, int64_t length, bool seekable)
        : vf_(std::move(vf)), rate_(rate), channels_(channels), length_(length),
          seekable_(seekable) {}

    TContainer Container() const override { return TContainer::OggVorbis; }
    int Rate() const override { return rate_; }
    int Channels() const override { return channels_; }
    int64_t LengthFrames() const override { return length_; }

    long Read(float* out, long frames) override {
        long done = 0;
        int holes = 0;
        while (done < frames) {
            float** pcm = nullptr;
            int link = 0;
            const long got = ov_read_float(vf_.get(), &pcm, static_cast<int>(frames - done), &link);
            if (got == OV_HOLE && ++holes < 64)
                continue; // a gap in the page sequence: the next packet decodes again
            if (got <= 0)
                break;
            // A chained file whose next part has another shape ends here: mixing it in at the
            // wrong speed or with missing channels would be worse.
            const vorbis_info* info = ov_info(vf_.get(), link);
            if (!info || info->channels != channels_ || info->rate != rate_)
                break;
            for (long i = 0; i < got; ++i)
                for (int c = 0; c < channels_; ++c)
                    out[(done + i) * channels_ + c] = pcm[c][i];
            done += got;
        }
        return done;
    }

    bool Seek(int64_t frame) override {
        return seekable_ && ov_pcm_seek(vf_.get(), static_cast<ogg_int64_t>(frame)) == 0;
    }
    bool CanSeek() const override { return seekable_; }

private:
    VorbisFile vf_;
    int rate_;
    int channels_;
    int64_t length_;
    bool seekable_;
};

} // namespace

std::unique_ptr<TDecoder> OpenVorbisDecoder(TByteSource& source) {
    // Cheap rejection before libvorbisfile scans the data for a page.
    char magic[4] = {};
    const int64_t start = source.Tell();
    if (source.Read(magic, 4) != 4 || std::string_view(magic, 4) != "OggS" || !source.Seek(start))
        return nullptr;

    // Without random access libvorbisfile would read a download to its end to find the length.
    bool seekable = source.RandomAccess();
    VorbisFile vf = OpenFile(source, seekable);
    if (!vf && seekable && source.Seek(start)) {
        // A cut-off file has no valid last page to take the length from; it still plays
        // from the front as a stream.
        seekable = false;
        vf = OpenFile(source, false);
    }
    if (!vf)
        return nullptr;
    const vorbis_info* info = ov_info(vf.get(), -1);
    if (!info || info->channels < 1 || info->channels > 8 || info->rate <= 0 || info->rate > 384000)
        return nullptr;
    int64_t length = -1;
    if (seekable) {
        const ogg_int64_t total = ov_pcm_total(vf.get(), -1);
        length = total < 0 ? -1 : static_cast<int64_t>(total);
    } else if (source.Size() > 0 && info->bitrate_nominal > 0) {
        // A download cannot be searched for its last page; estimate from the nominal bit rate.
        length = static_cast<int64_t>(static_cast<double>(source.Size()) * 8.0 /
                                      static_cast<double>(info->bitrate_nominal) *
                                      static_cast<double>(info->rate));
    }
    const int rate = static_cast<int>(info->rate);
    const int channels = info->channels;
    return std::make_unique<TVorbisDecoder>(std::move(vf), rate, channels, length, seekable);
}

} // namespace tunaudio
