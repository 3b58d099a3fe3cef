#include "MemoryByteSource.h"

#include <algorithm>
#include <cstring>

namespace tunaudio {

size_t TMemoryByteSource::Read(void* buffer, size_t size) {
    const auto left = static_cast<int64_t>(bytes_.size()) - position_;
    if (left <= 0)
        return 0;
    const size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(size)));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<int64_t>(n);
    return n;
}

bool TMemoryByteSource::Seek(int64_t offset) {
    if (offset < 0 || offset > static_cast<int64_t>(bytes_.size()))
        return false;
    position_ = offset;
    return true;
}

} // namespace tunaudio
