#pragma once
// Where a decoder's bytes come from: a local file, a block of memory, or a network download.
// A source is used by one decoder at a time; calls on it are not synchronised except where a
// subclass says so (the network source is written by its download thread).

#include <cstddef>
#include <cstdint>

namespace tunaudio {

class TByteSource {
public:
    virtual ~TByteSource() = default;

    // Reads up to `size` bytes; returns how many were read, 0 at the end or on failure.
    // May block (a network source waits for its download).
    virtual size_t Read(void* buffer, size_t size) = 0;
    // Moves to an absolute offset. False when the offset is outside the data or the source
    // cannot seek there.
    virtual bool Seek(int64_t offset) = 0;
    virtual int64_t Tell() const = 0;
    // Total size in bytes, -1 when unknown (a live stream).
    virtual int64_t Size() const = 0;
    // True when Seek works (on a download it may wait for the bytes to arrive).
    virtual bool Seekable() const = 0;
    // True when any offset can be reached at once, so a decoder may look at the end of the
    // data while it opens. False for downloads: that would wait for the whole file.
    virtual bool RandomAccess() const { return Seekable(); }
};

// Helpers for decoders whose callbacks speak the C library's (offset, whence) language.
// Returns the new offset, or -1.
int64_t SeekFrom(TByteSource& source, int64_t offset, int whence);

} // namespace tunaudio
