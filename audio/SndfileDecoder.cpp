#include "SndfileDecoder.h"

#include <sndfile.h>

#include <cstdio>

namespace tunaudio {

namespace {

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using Sndfile = std::unique_ptr<SNDFILE, SndfileCloser>;

TByteSource& SourceOf(void* io) {
    return *static_cast<TByteSource*>(io);
}

sf_count_t LengthCallback(void* io) {
    const int64_t size = SourceOf(io).Size();
    // A live stream has no end; libsndfile then relies on the lengths in the header.
    return size < 0 ? SF_COUNT_MAX : static_cast<sf_count_t>(size);
}

sf_count_t SeekCallback(sf_count_t offset, int whence, void* io) {
    return static_cast<sf_count_t>(SeekFrom(SourceOf(io), offset, whence));
}

sf_count_t ReadCallback(void* buffer, sf_count_t count, void* io) {
    if (count <= 0)
        return 0;
    return static_cast<sf_count_t>(SourceOf(io).Read(buffer, static_cast<size_t>(count)));
}

sf_count_t WriteCallback(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t TellCallback(void* io) {
    return static_cast<sf_count_t>(SourceOf(io).Tell());
}

class TSndfileDecoder final : public TDecoder {
public:
    TSndfileDecoder(Sndfile file, const SF_INFO& info, TContainer container, bool seekable)
        : file_(std::move(file)), info_(info), container_(container), seekable_(seekable) {}

    TContainer Container() const override { return container_; }
    int Rate() const override { return info_.samplerate; }
    int Channels() const override { return info_.channels; }
    int64_t LengthFrames() const override { return static_cast<int64_t>(info_.frames); }

    long Read(float* out, long frames) override {
        const sf_count_t got = sf_readf_float(file_.get(), out, frames);
        return got < 0 ? 0 : static_cast<long>(got);
    }

    bool Seek(int64_t frame) override {
        return seekable_ && sf_seek(file_.get(), frame, SEEK_SET) == frame;
    }
    bool CanSeek() const override { return seekable_; }

private:
    Sndfile file_;
    SF_INFO info_;
    TContainer container_;
    bool seekable_;
};

} // namespace

std::unique_ptr<TDecoder> OpenSndfileDecoder(TByteSource& source) {
    // Look at the magic first: libsndfile would otherwise try every container it knows.
    char magic[4] = {};
    const int64_t start = source.Tell();
    if (source.Read(magic, 4) != 4 || !source.Seek(start))
        return nullptr;
    const std::string_view m(magic, 4);
    if (m != "RIFF" && m != "RIFX" && m != "RF64" && m != "FORM")
        return nullptr;

    SF_VIRTUAL_IO io{};
    io.get_filelen = LengthCallback;
    io.seek = SeekCallback;
    io.read = ReadCallback;
    io.write = WriteCallback;
    io.tell = TellCallback;
    SF_INFO info{};
    Sndfile file(sf_open_virtual(&io, SFM_READ, &info, &source));
    if (!file)
        return nullptr;
    TContainer container;
    switch (info.format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
        container = TContainer::Wav;
        break;
    case SF_FORMAT_AIFF:
        container = TContainer::Aiff;
        break;
    default:
        return nullptr;
    }
    if (info.channels < 1 || info.channels > 8 || info.samplerate <= 0 ||
        info.samplerate > 384000 || info.frames < 0)
        return nullptr;
    sf_command(file.get(), SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    return std::make_unique<TSndfileDecoder>(std::move(file), info, container, source.Seekable());
}

} // namespace tunaudio
