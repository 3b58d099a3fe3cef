#pragma once
// A local file, or a window of it (offset, length), as a byte source.

#include "ByteSource.h"

#include <cstdio>
#include <memory>
#include <string>

namespace tunaudio {

class TFileByteSource final : public TByteSource {
public:
    // `path` is UTF-8. `length` 0 means "to the end of the file". Returns null when the file
    // cannot be opened or the window lies outside it.
    static std::unique_ptr<TFileByteSource> Open(const std::string& path, uint64_t offset,
                                                 uint64_t length);

    size_t Read(void* buffer, size_t size) override;
    bool Seek(int64_t offset) override;
    int64_t Tell() const override { return position_; }
    int64_t Size() const override { return length_; }
    bool Seekable() const override { return true; }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    TFileByteSource(std::unique_ptr<std::FILE, FileCloser> file, int64_t offset, int64_t length);

    std::unique_ptr<std::FILE, FileCloser> file_;
    int64_t offset_; // start of the window in the file
    int64_t length_; // size of the window
    int64_t position_ = 0;
};

} // namespace tunaudio
