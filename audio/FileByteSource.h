#pragma once
// A local file, or a window of it (offset, length), as a byte source.

#include "ByteSource.h"

#include <memory>
#include <string>
#include <vector>

namespace tunaudio {

class TFileByteSource final : public TByteSource {
public:
    // `path` is UTF-8. `length` 0 means "to the end of the file". Returns null when the file
    // cannot be opened, is not a regular file or the window lies outside it.
    static std::unique_ptr<TFileByteSource> Open(const std::string& path, uint64_t offset,
                                                 uint64_t length);
    ~TFileByteSource() override;
    TFileByteSource(const TFileByteSource&) = delete;
    TFileByteSource& operator=(const TFileByteSource&) = delete;

    size_t Read(void* buffer, size_t size) override;
    bool Seek(int64_t offset) override;
    int64_t Tell() const override { return position_; }
    int64_t Size() const override { return length_; }
    bool Seekable() const override { return true; }

private:
    TFileByteSource(int descriptor, int64_t offset, int64_t length);
    // Reads at the window's `position_` straight from the file, past the buffer.
    size_t ReadFile(void* buffer, size_t size);

    // A plain descriptor rather than a C stream: the decoders and the tag reader make many
    // small reads, which the buffer below serves, and no stream is opened and closed per file.
    int descriptor_;
    int64_t offset_; // start of the window in the file
    int64_t length_; // size of the window
    int64_t position_ = 0;
    int64_t filePosition_ = -1; // where the descriptor stands in the window, -1 when unknown
    // The bytes of the window from bufferStart_ on, for reads smaller than the buffer.
    std::vector<unsigned char> buffer_;
    int64_t bufferStart_ = 0;
    size_t bufferFill_ = 0;
};

} // namespace tunaudio
