#include "FileByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tunaudio {

namespace {

// What one read from the file asks for when a decoder wants less.
constexpr size_t kBufferBytes = 16 * 1024;

#ifdef _WIN32
int OpenForReading(const std::string& path) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return -1;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
    return _wopen(wide.c_str(), _O_RDONLY | _O_BINARY);
}
int64_t RegularFileSize(int fd) {
    struct _stat64 st {};
    if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)
        return -1;
    return static_cast<int64_t>(st.st_size);
}
bool SeekTo(int fd, int64_t offset) { return _lseeki64(fd, offset, SEEK_SET) == offset; }
long long ReadSome(int fd, void* buffer, size_t size) {
    return _read(fd, buffer, static_cast<unsigned>(std::min<size_t>(size, 1u << 30)));
}
void CloseFile(int fd) { _close(fd); }
#else
int OpenForReading(const std::string& path) {
    // Non-blocking, so that a FIFO does not wait for a writer; what is not a regular file is
    // refused by RegularFileSize, and for a regular file the flag changes nothing.
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}
int64_t RegularFileSize(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return -1; // folders, pipes and devices are not audio files
    return static_cast<int64_t>(st.st_size);
}
bool SeekTo(int fd, int64_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}
long long ReadSome(int fd, void* buffer, size_t size) {
    ssize_t got;
    do
        got = ::read(fd, buffer, size);
    while (got < 0 && errno == EINTR);
    return got;
}
void CloseFile(int fd) { ::close(fd); }
#endif

} // namespace

std::unique_ptr<TFileByteSource> TFileByteSource::Open(const std::string& path, uint64_t offset,
                                                       uint64_t length) {
    const int fd = OpenForReading(path);
    if (fd < 0)
        return nullptr;
    const int64_t size = RegularFileSize(fd);
    if (size < 0 || offset > static_cast<uint64_t>(size)) {
        CloseFile(fd);
        return nullptr;
    }
    const auto available = static_cast<uint64_t>(size) - offset;
    const uint64_t window = length == 0 ? available : std::min(length, available);
    return std::unique_ptr<TFileByteSource>(new TFileByteSource(
        fd, static_cast<int64_t>(offset), static_cast<int64_t>(window)));
}

TFileByteSource::TFileByteSource(int descriptor, int64_t offset, int64_t length)
    : descriptor_(descriptor), offset_(offset), length_(length) {}

TFileByteSource::~TFileByteSource() { CloseFile(descriptor_); }

size_t TFileByteSource::ReadFile(void* buffer, size_t size) {
    if (filePosition_ != position_) {
        if (!SeekTo(descriptor_, offset_ + position_)) {
            filePosition_ = -1;
            return 0;
        }
        filePosition_ = position_;
    }
    size_t total = 0;
    while (total < size) {
        const long long got =
            ReadSome(descriptor_, static_cast<unsigned char*>(buffer) + total, size - total);
        if (got <= 0)
            break;
        total += static_cast<size_t>(got);
    }
    filePosition_ += static_cast<int64_t>(total);
    return total;
}

size_t TFileByteSource::Read(void* buffer, size_t size) {
    const int64_t left = length_ - position_;
    if (left <= 0 || size == 0)
        return 0;
    const size_t want = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(size)));
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    // What the buffer holds at the position first.
    if (position_ >= bufferStart_ && position_ < bufferStart_ + int64_t(bufferFill_)) {
        const size_t at = size_t(position_ - bufferStart_);
        done = std::min(want, bufferFill_ - at);
        std::memcpy(out, buffer_.data() + at, done);
        position_ += int64_t(done);
    }
    if (done == want)
        return done;
    if (want - done >= kBufferBytes) {
        // A large read goes straight to the caller's memory.
        const size_t got = ReadFile(out + done, want - done);
        position_ += int64_t(got);
        return done + got;
    }
    buffer_.resize(kBufferBytes);
    const size_t fill = static_cast<size_t>(
        std::min<int64_t>(length_ - position_, static_cast<int64_t>(kBufferBytes)));
    bufferStart_ = position_;
    bufferFill_ = ReadFile(buffer_.data(), fill);
    const size_t more = std::min(want - done, bufferFill_);
    std::memcpy(out + done, buffer_.data(), more);
    position_ += int64_t(more);
    return done + more;
}

bool TFileByteSource::Seek(int64_t offset) {
    if (offset < 0 || offset > length_)
        return false;
    position_ = offset; // the next read moves the descriptor if the buffer does not hold it
    return true;
}

} // namespace tunaudio
