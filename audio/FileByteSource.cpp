#include "FileByteSource.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace tunaudio {

namespace {

std::FILE* OpenForReading(const std::string& path) {
#ifdef _WIN32
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return nullptr;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
    return _wfopen(wide.c_str(), L"rb");
#else
    // Only regular files: opening a FIFO would block until someone writes into it.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    return std::fopen(path.c_str(), "rb");
#endif
}

bool SeekFile(std::FILE* f, int64_t offset) {
#ifdef _WIN32
    return _fseeki64(f, offset, SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

int64_t FileSize(std::FILE* f) {
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0)
        return -1;
    return _ftelli64(f);
#else
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode))
        return -1; // folders, pipes and devices are not audio files
    return static_cast<int64_t>(st.st_size);
#endif
}

} // namespace

std::unique_ptr<TFileByteSource> TFileByteSource::Open(const std::string& path, uint64_t offset,
                                                       uint64_t length) {
    std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(path));
    if (!file)
        return nullptr;
    const int64_t size = FileSize(file.get());
    if (size < 0 || offset > static_cast<uint64_t>(size))
        return nullptr;
    const auto available = static_cast<uint64_t>(size) - offset;
    const uint64_t window = length == 0 ? available : std::min(length, available);
    if (!SeekFile(file.get(), static_cast<int64_t>(offset)))
        return nullptr;
    return std::unique_ptr<TFileByteSource>(new TFileByteSource(
        std::move(file), static_cast<int64_t>(offset), static_cast<int64_t>(window)));
}

TFileByteSource::TFileByteSource(std::unique_ptr<std::FILE, FileCloser> file, int64_t offset,
                                 int64_t length)
    : file_(std::move(file)), offset_(offset), length_(length) {}

size_t TFileByteSource::Read(void* buffer, size_t size) {
    const int64_t left = length_ - position_;
    if (left <= 0 || size == 0)
        return 0;
    const size_t want = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(size)));
    const size_t got = std::fread(buffer, 1, want, file_.get());
    position_ += static_cast<int64_t>(got);
    return got;
}

bool TFileByteSource::Seek(int64_t offset) {
    if (offset < 0 || offset > length_)
        return false;
    if (offset == position_)
        return true;
    if (!SeekFile(file_.get(), offset_ + offset))
        return false;
    position_ = offset;
    return true;
}

} // namespace tunaudio
