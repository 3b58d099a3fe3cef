#pragma once
// Bytes held in memory (a copy the source owns) as a byte source.

#include "ByteSource.h"

#include <string>

namespace tunaudio {

class TMemoryByteSource final : public TByteSource {
public:
    explicit TMemoryByteSource(std::string bytes) : bytes_(std::move(bytes)) {}

    size_t Read(void* buffer, size_t size) override;
    bool Seek(int64_t offset) override;
    int64_t Tell() const override { return position_; }
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
    bool Seekable() const override { return true; }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
    int64_t position_ = 0;
};

} // namespace tunaudio
