#include "ByteSource.h"

#include <cstdio>

namespace tunaudio {

int64_t SeekFrom(TByteSource& source, int64_t offset, int whence) {
    int64_t target;
    switch (whence) {
    case SEEK_SET:
        target = offset;
        break;
    case SEEK_CUR:
        target = source.Tell() + offset;
        break;
    case SEEK_END: {
        const int64_t size = source.Size();
        if (size < 0)
            return -1;
        target = size + offset;
        break;
    }
    default:
        return -1;
    }
    if (target < 0 || !source.Seek(target))
        return -1;
    return target;
}

} // namespace tunaudio
