#include "Mpg123Decoder.h"

#include <mpg123.h>

#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>

namespace tunaudio {

namespace {

// A new handle costs more than the file it opens when many short files are read in a row
// (libmpg123 queries the processor's features for each, which in a virtual machine means a
// trap into the hypervisor per query: a third of the time of reading 10,000 files' lengths).
// So a thread keeps the handle of a local file it has finished with, and its next local
// file reuses it; the spare goes with the thread. A handle that moved to another thread, or
// served a network stream, is simply deleted.
struct HandleDeleter {
    void operator()(mpg123_handle* h) const;
    // The handle came from this thread and read a local file: it may be kept for reuse.
    std::thread::id owner;
    bool reusable = false;
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

struct TSpare {
    ~TSpare() {
        if (handle)
            mpg123_delete(handle);
    }
    mpg123_handle* handle = nullptr;
};
thread_local TSpare spare;

void HandleDeleter::operator()(mpg123_handle* h) const {
    mpg123_close(h);
    if (reusable && owner == std::this_thread::get_id() && !spare.handle)
        spare.handle = h;
    else
        mpg123_delete(h);
}

mpg123_ssize_t ReadCallback(void* io, void* buffer, size_t size) {
    return static_cast<mpg123_ssize_t>(static_cast<TByteSource*>(io)->Read(buffer, size));
}

off_t SeekCallback(void* io, off_t offset, int whence) {
    return static_cast<off_t>(SeekFrom(*static_cast<TByteSource*>(io), offset, whence));
}

class TMpg123Decoder final : public TDecoder {
public:
    TMpg123Decoder(Handle handle, int rate, int channels, bool seekable)
        : handle_(std::move(handle)), rate_(rate), channels_(channels), seekable_(seekable) {}

    TContainer Container() const override { return TContainer::Mpeg; }
    int Rate() const override { return rate_; }
    int Channels() const override { return channels_; }

    int64_t LengthFrames() const override {
        const off_t length = mpg123_length(handle_.get());
        return length < 0 ? -1 : static_cast<int64_t>(length);
    }

    long Read(float* out, long frames) override {
        const size_t want =
            static_cast<size_t>(frames) * static_cast<size_t>(channels_) * sizeof(float);
        size_t done = 0;
        auto* bytes = reinterpret_cast<unsigned char*>(out);
        while (done < want) {
            size_t got = 0;
            const int err = mpg123_read(handle_.get(), bytes + done, want - done, &got);
            done += got;
            // A format change is converted to the locked output format by libmpg123 itself.
            if (err == MPG123_NEW_FORMAT || (err == MPG123_OK && got > 0))
                continue;
            break; // MPG123_DONE, or an error that resync could not get past
        }
        return static_cast<long>(done / (static_cast<size_t>(channels_) * sizeof(float)));
    }

    bool Seek(int64_t frame) override {
        return mpg123_seek(handle_.get(), static_cast<off_t>(frame), SEEK_SET) ==
               static_cast<off_t>(frame);
    }
    bool CanSeek() const override { return seekable_; }

private:
    Handle handle_;
    int rate_;
    int channels_;
    bool seekable_;
};

void InitLibraryOnce() {
    // Older libmpg123 releases need this before the first handle; newer ones ignore it.
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

} // namespace

std::unique_ptr<TDecoder> OpenMpg123Decoder(TByteSource& source) {
    InitLibraryOnce();
    const bool local = source.RandomAccess() && source.Size() > 0;
    mpg123_handle* reused = local ? std::exchange(spare.handle, nullptr) : nullptr;
    int err = MPG123_OK;
    Handle mh(reused ? reused : mpg123_new(nullptr, &err),
              HandleDeleter{std::this_thread::get_id(), local});
    if (!mh)
        return nullptr;
    long flags = MPG123_FORCE_FLOAT | MPG123_QUIET | MPG123_GAPLESS;
    // A network download must not be asked for its last bytes before playback starts.
    if (!source.RandomAccess())
        flags |= MPG123_NO_PEEK_END;
    if (mpg123_param(mh.get(), MPG123_ADD_FLAGS, flags, 0) != MPG123_OK)
        return nullptr;
    mpg123_format_none(mh.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_replace_reader_handle(mh.get(), ReadCallback, SeekCallback, nullptr) != MPG123_OK)
        return nullptr;
    if (mpg123_open_handle(mh.get(), &source) != MPG123_OK)
        return nullptr;
    if (source.Size() > 0)
        mpg123_set_filesize(mh.get(), static_cast<off_t>(source.Size()));

    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(mh.get(), &rate, &channels, &encoding) != MPG123_OK)
        return nullptr;
    if (rate <= 0 || (channels != 1 && channels != 2) || encoding != MPG123_ENC_FLOAT_32)
        return nullptr;
    // Lock the format: should a later frame change rate or mode (joined files), libmpg123
    // converts it instead of handing us a stream with a different shape.
    mpg123_format_none(mh.get());
    mpg123_format(mh.get(), rate, channels, MPG123_ENC_FLOAT_32);
    return std::make_unique<TMpg123Decoder>(std::move(mh), static_cast<int>(rate), channels,
                                            source.Seekable());
}

} // namespace tunaudio
