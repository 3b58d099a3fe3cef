#pragma once
// A decoder turns the bytes of one stream into interleaved float PCM in [-1, 1] at the stream's
// own rate and channel count. It opens, reads frames, seeks to a frame, and reports its length.
// A decoder is not synchronised: its owner (the stream) serialises every call.

#include <cstdint>
#include <string>

namespace tunaudio {

// What the bytes turned out to be; the tag reader picks its parser by it.
enum class TContainer { Mpeg, OggVorbis, Wav, Aiff, Addon };

class TDecoder {
public:
    virtual ~TDecoder() = default;

    virtual TContainer Container() const = 0;
    virtual int Rate() const = 0;
    virtual int Channels() const = 0;
    // Length in frames, -1 when unknown (a live stream). May be an estimate for streams whose
    // length the data does not state (an MP3 without a frame count, a network Ogg stream).
    virtual int64_t LengthFrames() const = 0;
    // Decodes up to `frames` frames into `out` (frames × Channels() floats). Returns the frames
    // written; 0 means the end of the stream or a decoding failure that cannot be passed.
    virtual long Read(float* out, long frames) = 0;
    // Positions the decoder so that the next Read starts exactly at `frame`.
    virtual bool Seek(int64_t frame) = 0;
    virtual bool CanSeek() const = 0;
    // Title ("TITLE") or artist ("ARTIST") that the decoder itself found, for formats whose
    // tags the tag reader does not parse. Empty when absent.
    virtual std::string Tag(const std::string& /*key*/) const { return {}; }
};

} // namespace tunaudio
